// The control's one place for text crossing COM: the host's wide strings to the system's ANSI
// code page and back.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

std::string WideToAnsi(std::wstring_view Text);
// A new BSTR holding Text, or nullptr when out of memory.
BSTR AnsiToBstr(std::string_view Text);
