// Small system helpers: the text of a system error code, the program's file and icon, and
// text between the ANSI code page and UTF-16.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The system's own description of ErrorCode, without the trailing full stop and line break.
std::string SysErrorMessage(uint32_t ErrorCode);

// The full name of the running program file.
std::string ProgramFileName();

// The program's own icon for its windows: the one named MAINICON, else the icon numbered 1 (the
// first icon group), else the system's application icon. Returned as a void* HICON.
void* ProgramIcon();

// Text in the system's ANSI code page as UTF-16, the form COM and the video control take, and
// back. The only place the program converts: every BSTR goes through these two.
std::wstring AnsiToWide(std::string_view Text);
std::string WideToAnsi(std::wstring_view Text);
