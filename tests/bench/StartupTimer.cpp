// Times a program's start-up: from CreateProcess until its window of the given class is
// visible (with a visible child of the given class, when one is named) and has handled the
// messages queued so far, painting included. Prints "ms=<time> peak_kb=<peak working set>",
// then ends the program.
//   StartupTimer WINDOWCLASS CHILDCLASS|- PROGRAM [ARGS...]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: StartupTimer WINDOWCLASS CHILDCLASS|- PROGRAM [ARGS...]\n");
    return 2;
  }
  std::string Command = "\"" + std::string(argv[3]) + "\"";
  for (int I = 4; I < argc; ++I) Command += " \"" + std::string(argv[I]) + "\"";

  LARGE_INTEGER Frequency, Start, Now;
  QueryPerformanceFrequency(&Frequency);
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  QueryPerformanceCounter(&Start);
  if (!CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &Startup, &Process)) {
    std::fprintf(stderr, "cannot start %s\n", argv[3]);
    return 1;
  }
  bool Ready = false;
  for (int Poll = 0; Poll < 60000 && !Ready; ++Poll) {
    HWND Window = FindWindowA(argv[1], nullptr);
    if (Window && IsWindowVisible(Window)) {
      TChildSearch Search{argv[2], std::string(argv[2]) == "-"};
      if (!Search.Found) EnumChildWindows(Window, FindChild, reinterpret_cast<LPARAM>(&Search));
      DWORD_PTR Result;
      // Answered only once the messages before it, the first paint among them, are handled.
      Ready = Search.Found &&
              SendMessageTimeoutA(Window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Result) != 0;
    }
    if (!Ready) Sleep(1);
  }
  QueryPerformanceCounter(&Now);
  PROCESS_MEMORY_COUNTERS Memory{};
  Memory.cb = sizeof Memory;
  GetProcessMemoryInfo(Process.hProcess, &Memory, sizeof Memory);
  TerminateProcess(Process.hProcess, 0);
  WaitForSingleObject(Process.hProcess, 10000);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  if (!Ready) {
    std::fprintf(stderr, "the window of class %s did not appear\n", argv[1]);
    return 1;
  }
  std::printf("ms=%.1f peak_kb=%llu\n", (Now.QuadPart - Start.QuadPart) * 1000.0 / Frequency.QuadPart,
              static_cast<unsigned long long>(Memory.PeakWorkingSetSize / 1024));
  return 0;
}
