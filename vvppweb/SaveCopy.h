// Saving a copy of a clip whole or not at all (CopyFile.h), written on a worker thread while the
// calling (GUI) thread keeps dispatching messages and, once the copy takes a while, shows its
// progress with a Cancel button.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "vvppweb/ClipExport.h"

// Title of the progress window.
inline constexpr char SavingTitle[] = "Saving a Copy";

// Saves the clip Bytes (header Info) as Format under Target. Owner, disabled meanwhile, owns the
// progress window. A cancelled or failed copy leaves no file behind, and an earlier file of that
// name as it was; Reason then says why it failed. No other file is touched. A WM_QUIT met on the
// way cancels the copy and is posted again.
TCopyResult SaveCopy(HWND Owner, std::shared_ptr<const std::string> Bytes, const TClipInfo& Info, TCopyFormat Format,
                     const std::string& Target);
