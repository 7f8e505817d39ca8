// Copying one clip file as Save As copies it: the one piece of copying vivcopy uses. Natively it
// is linked in; for Windows vivcopy.exe takes it from the VVPPWEB.OCX beside it (CopyExport.h),
// so the release holds FFmpeg and the copying code once.
#pragma once

#include <functional>
#include <string>

#include "vvppweb/ClipExport.h"

// Copies the clip in the file Clip to Target as Format, whole or not at all (CopyFile.h): a file
// of Target's name is replaced only when Replace. Never throws.
TCopyResult CopyClipFile(const std::string& Clip, const std::string& Target, TCopyFormat Format, bool Replace,
                         const TCopyProgress& Progress);

using TClipCopier = std::function<TCopyResult(const std::string& Clip, const std::string& Target, TCopyFormat Format,
                                              bool Replace, const TCopyProgress& Progress)>;

// The copier of this program; false, with the reason in Why, when there is none.
bool FindClipCopier(TClipCopier& Copier, std::string& Why);
