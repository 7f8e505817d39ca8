// The .viv file-type association: Quillo opens Vivo files from the shell.
#pragma once

#include <windows.h>

#include <string>

// Writes the four keys ".viv", "VivoFile", "VivoFile\DefaultIcon" and
// "VivoFile\shell\open\command" with their default values, in that order, under Classes. Where
// Classes refuses a key or a value (a standard user may not write there), the same keys go under
// Fallback, which the system merges into the classes root for this user; only when both refuse
// does it raise "Failed to create key %s" or "Failed to set data for '%s'". The shell is told
// when an association changed.
void RegisterFileType(const std::string& ProgramPath, HKEY Classes = HKEY_CLASSES_ROOT,
                      HKEY Fallback = nullptr);
