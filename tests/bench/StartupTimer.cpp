// Times one start of a program, from CreateProcess until what the mode waits for; prints
// "ms=<time> peak_kb=<peak working set>" and ends the program if it still runs.
//   StartupTimer window WINDOWCLASS CHILDCLASS|- PROGRAM [ARGS...]
//       until its window of that class is visible (with a visible child of the given class,
//       when one is named) and has handled the messages queued so far, painting included
//   StartupTimer exit PROGRAM [ARGS...]
//       until the process has ended: a bare process start
//   StartupTimer handover LOGFILE PROGRAM [ARGS...]
//       until LOGFILE (the running player's control log) has a new "Play" line: a later
//       start handing its command line over until the first instance plays it
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TChildSearch {
  const char* Class;
  bool Found;
};

BOOL CALLBACK FindChild(HWND Child, LPARAM Data) {
  auto* Search = reinterpret_cast<TChildSearch*>(Data);
  char Class[128];
  if (IsWindowVisible(Child) && GetClassNameA(Child, Class, sizeof Class) &&
      std::string(Class) == Search->Class) {
    Search->Found = true;
    return FALSE;
  }
  return TRUE;
}

bool WindowReady(const char* Class, const char* Child) {
  HWND Window = FindWindowA(Class, nullptr);
  if (!Window || !IsWindowVisible(Window)) return false;
  TChildSearch Search{Child, std::string(Child) == "-"};
  if (!Search.Found) EnumChildWindows(Window, FindChild, reinterpret_cast<LPARAM>(&Search));
  DWORD_PTR Result;
  // Answered only once the messages before it, the first paint among them, are handled.
  return Search.Found && SendMessageTimeoutA(Window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Result) != 0;
}

std::string FileText(const char* Name) {
  std::string Text;
  HANDLE File = CreateFileA(Name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (File == INVALID_HANDLE_VALUE) return Text;
  char Buffer[4096];
  DWORD Read = 0;
  while (ReadFile(File, Buffer, sizeof Buffer, &Read, nullptr) && Read) Text.append(Buffer, Read);
  CloseHandle(File);
  return Text;
}

bool PlayedSince(const char* Log, size_t Before) {
  std::string Text = FileText(Log);
  return Text.size() > Before && Text.find("\nPlay\r\n", Before ? Before - 1 : 0) != std::string::npos;
}

}  // namespace

int main(int argc, char** argv) {
  std::string Mode = argc > 1 ? argv[1] : "";
  int First = Mode == "window" ? 4 : Mode == "handover" ? 3 : Mode == "exit" ? 2 : 0;
  if (!First || argc <= First) {
    std::fprintf(stderr, "usage: StartupTimer window CLASS CHILD|- PROGRAM [ARGS...] | exit PROGRAM"
                         " [ARGS...] | handover LOGFILE PROGRAM [ARGS...]\n");
    return 2;
  }
  std::string Command = "\"" + std::string(argv[First]) + "\"";
  for (int I = First + 1; I < argc; ++I) Command += " \"" + std::string(argv[I]) + "\"";
  size_t LogBefore = Mode == "handover" ? FileText(argv[2]).size() : 0;

  if (Mode == "window" && FindWindowA(argv[2], nullptr)) {
    std::fprintf(stderr, "window: a window of class %s is there before the start\n", argv[2]);
    return 1;
  }
  LARGE_INTEGER Frequency, Start, Now;
  QueryPerformanceFrequency(&Frequency);
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  QueryPerformanceCounter(&Start);
  if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &Startup, &Process)) {
    std::fprintf(stderr, "cannot start %s\n", argv[First]);
    return 1;
  }
  bool Ready = false;
  for (int Poll = 0; Poll < 60000 && !Ready; ++Poll) {
    if (Mode == "window") Ready = WindowReady(argv[2], argv[3]);
    if (Mode == "exit") Ready = WaitForSingleObject(Process.hProcess, 0) == WAIT_OBJECT_0;
    if (Mode == "handover") Ready = PlayedSince(argv[2], LogBefore);
    if (!Ready) Sleep(1);
  }
  QueryPerformanceCounter(&Now);
  PROCESS_MEMORY_COUNTERS Memory{};
  Memory.cb = sizeof Memory;
  GetProcessMemoryInfo(Process.hProcess, &Memory, sizeof Memory);
  if (Mode == "window") TerminateProcess(Process.hProcess, 0);
  WaitForSingleObject(Process.hProcess, 10000);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  if (!Ready) {
    std::fprintf(stderr, "%s: what it waited for did not come\n", Mode.c_str());
    return 1;
  }
  std::printf("ms=%.1f peak_kb=%llu\n", (Now.QuadPart - Start.QuadPart) * 1000.0 / Frequency.QuadPart,
              static_cast<unsigned long long>(Memory.PeakWorkingSetSize / 1024));
  return 0;
}
