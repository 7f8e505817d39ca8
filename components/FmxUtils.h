// Opening documents and web addresses through the shell.
#pragma once

#include <windows.h>

#include <string>

// Opens FileName (a document, a program or a web address) with what the user's system
// associates with it: ShellExecuteA(main window, default verb, FileName, Params, DefaultDir,
// ShowCmd). The texts reach the shell whole, however long. The result is not examined.
void ShellOpen(const std::string& FileName, const std::string& Params,
               const std::string& DefaultDir, int ShowCmd);

// The shell call ShellOpen makes; tests put a recorder in its place instead of starting a
// browser. Returns the one it replaces; nullptr puts the system's back.
using TShellExecuteA = HINSTANCE(WINAPI*)(HWND Window, LPCSTR Verb, LPCSTR File, LPCSTR Params,
                                          LPCSTR Dir, INT ShowCmd);
TShellExecuteA SetShellExecute(TShellExecuteA Call);
