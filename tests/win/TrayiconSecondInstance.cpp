// A second copy of a program with a tray icon, started by the tray icon's tests: it loads a
// tray icon that is active and named as the first copy's, and notes in a file, one word a
// line, what reached the shell and whether loading came back.
//   trayicon_second_instance NAME LOGFILE
#include <windows.h>

#include <cstdio>

#include "components/Trayicon.h"

namespace {
const char* LogName = nullptr;

void Log(const char* Word) {
  if (FILE* File = std::fopen(LogName, "ab")) {
    std::fprintf(File, "%s\n", Word);
    std::fclose(File);
  }
}

BOOL WINAPI NoteShellCall(DWORD Message, PNOTIFYICONDATAA) {
  Log(Message == NIM_ADD ? "add" : Message == NIM_DELETE ? "delete" : "modify");
  return TRUE;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 1;
  LogName = argv[2];
  ShellNotifyIcon = NoteShellCall;
  {
    TTrayIcon Tray(nullptr);
    // As a form applies what it stores: Active before the name.
    Tray.SetActive(true);
    Tray.SetIDMessage(argv[1]);
    Tray.Loaded();
    Log("loaded");
  }
  // Loading came back: no other instance was found.
  return 2;
}
