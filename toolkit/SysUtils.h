// Small system helpers: the text of a system error code.
#pragma once

#include <cstdint>
#include <string>

// The system's own description of ErrorCode, without the trailing full stop and line break.
std::string SysErrorMessage(uint32_t ErrorCode);

// The full name of the running program file.
std::string ProgramFileName();

// The program's own icon for its windows: the one named MAINICON, else the icon numbered 1 (the
// first icon group), else the system's application icon. Returned as a void* HICON.
void* ProgramIcon();
