// Writing a copy into its file whole or not at all, for Save As and vivcopy alike: into a file of
// its own beside the target, created under a name no file has (TARGET.1.part, else the next
// number free), so no one's file is opened or removed, and on the same volume for the rename; put
// in the target's place only once written, flushed to the disk and closed.
#pragma once

#include <functional>
#include <string>

#include "vvppweb/ClipExport.h"

// Writes the copy onto the output it is given, from position 0.
using TCopyWriter = std::function<TCopyResult(TCopyOutput& Output)>;

// Writes Target with Write. A copy that fails or is cancelled leaves no file, and an earlier file
// of Target's name as it was; Reason then says why it failed. Unless Replace, an earlier file is
// left as it is, and the outcome is Taken (found before the copy is written, or after).
TCopyResult WriteCopyFile(const std::string& Target, bool Replace, const TCopyWriter& Write);
