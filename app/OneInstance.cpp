// The single-instance guard and the hand-over of a later start's command line.
#include "app/OneInstance.h"

#include <deque>
#include <optional>

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "player/Main.h"
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

namespace {

const char* const WindowClassName = "OneInstanceWndClass";
// Later instances take turns: each waits for the line before it to be taken.
const char* const WriterMutexName = "QuilloHandOverWriter";
constexpr DWORD WindowWaitMs = 5000;
constexpr DWORD LineTakenWaitMs = 5000;
constexpr DWORD WriterTurnWaitMs = 30000;

HANDLE Mapping = nullptr;
InstanceBlock* Block = nullptr;
bool ClassRegistered = false;
HWND Window = nullptr;

// A hand-over that arrives while one is being played waits for it; a newer one replaces it.
bool HandingOver = false;
std::optional<std::string> PendingLine;

// Hand-overs that came before start-up could take them, in order, and the message that has the
// loop take them once it can.
bool Accepting = false;
std::deque<std::string> HeldLines;
constexpr UINT TakeHeldMessage = HandOverMessage + 1;

[[noreturn]] void Fail(const std::string& Step) {
  DWORD Code = GetLastError();
  ReleaseInstance();
  throw Exception(Step + ", Error #" + std::to_string(static_cast<int32_t>(Code)));
}

volatile LONG* WindowField() { return reinterpret_cast<volatile LONG*>(&Block->Window); }

// Window handles are 32 bits wide in every process, sign-extended in 64-bit ones.
HWND PublishedWindow() {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<int32_t>(Block->Window)));
}

// Polls Ready every few milliseconds for at most TimeoutMs; true once it holds.
template <class TReady>
bool WaitUntil(TReady Ready, DWORD TimeoutMs) {
  ULONGLONG End = GetTickCount64() + TimeoutMs;
  while (!Ready()) {
    if (GetTickCount64() >= End) return false;
    Sleep(5);
  }
  return true;
}

void TakeLines(std::string Line) {
  if (HandingOver) {
    PendingLine = std::move(Line);
    return;
  }
  for (;;) {
    HandingOver = true;
    try {
      ProcessCommandLine(Line);
    } catch (...) {
      HandingOver = false;
      PendingLine.reset();
      throw;
    }
    HandingOver = false;
    if (!PendingLine) return;
    Line = std::move(*PendingLine);
    PendingLine.reset();
  }
}

// Each held line in turn; one that comes meanwhile queues behind them, so the order stays.
void TakeHeldLines() {
  while (!HeldLines.empty()) {
    Application->ReportErrors([] { TakeLines(HeldLines.front()); });
    HeldLines.pop_front();
  }
}

LRESULT CALLBACK OneInstanceWndProc(HWND Wnd, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == TakeHeldMessage) {
    TakeHeldLines();
    return 0;
  }
  if (Msg != HandOverMessage) return DefWindowProcA(Wnd, Msg, W, L);
  // Read within the field's 1024 bytes, whatever a writer left there; then mark it taken.
  std::string Line = FieldText(Block->CommandLine, sizeof Block->CommandLine);
  Block->CommandLine[0] = '\0';
  if (!Accepting || !HeldLines.empty()) {
    HeldLines.push_back(std::move(Line));
    return 0;
  }
  Application->ReportErrors([&] { TakeLines(std::move(Line)); });
  return 0;
}

// The later instance's side. Its arguments travel with full names, since the first instance
// runs in another folder.
void HandOver() {
  std::vector<std::string> Arguments = CommandLineArguments(GetCommandLineA());
  for (std::string& Argument : Arguments) Argument = FullArgument(Argument);
  std::string Line = HandOverLine(QuotedCommandLine(ProgramFileName(), Arguments));

  HANDLE Turn = CreateMutexA(nullptr, FALSE, WriterMutexName);
  bool HoldsTurn = Turn && WaitForSingleObject(Turn, WriterTurnWaitMs) != WAIT_TIMEOUT;
  // A first instance that has only just made the block has not published its window yet.
  bool Published = WaitUntil(
      [] { return PublishedWindow() && IsWindow(PublishedWindow()); },
      WindowWaitMs);
  if (Published) {
    WaitUntil([] { return Block->CommandLine[0] == '\0'; }, LineTakenWaitMs);
    Line.copy(Block->CommandLine, Line.size());
    Block->CommandLine[Line.size()] = '\0';
    // This process was started by the user and may own the foreground; the player's process
    // is to have it when it comes to the front.
    DWORD Owner = 0;
    if (GetWindowThreadProcessId(PublishedWindow(), &Owner) && Owner)
      HandOverCalls.AllowForeground(Owner);
    Published = HandOverCalls.Post(PublishedWindow(), HandOverMessage, 0, 0);
  }
  if (HoldsTurn) ReleaseMutex(Turn);
  if (Turn) CloseHandle(Turn);
  if (!Published) {
    ReleaseInstance();
    throw Exception("Quillo is already running but does not answer");
  }
}

}  // namespace

THandOverCalls HandOverCalls;

bool AcquireInstance() {
  SetLastError(0);
  Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                               sizeof(InstanceBlock), InstanceBlockName);
  if (!Mapping) Fail("OneInstance failed to create file mapping");
  bool AnotherOwns = GetLastError() == ERROR_ALREADY_EXISTS;
  Block = static_cast<InstanceBlock*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  if (!Block) Fail("OneInstance failed to map file view");
  if (AnotherOwns) {
    HandOver();
    return false;
  }

  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  Class.lpfnWndProc = OneInstanceWndProc;
  Class.hInstance = Instance;
  Class.lpszClassName = WindowClassName;
  if (!RegisterClassA(&Class)) Fail("OneInstance failed to create window class");
  ClassRegistered = true;
  Window = CreateWindowExA(0, WindowClassName, "OneInstanceWnd", 0, 0, 0, 0, 0, nullptr, nullptr,
                           Instance, nullptr);
  if (!Window) Fail("OneInstance failed to create window");
  InterlockedExchange(WindowField(), static_cast<LONG>(reinterpret_cast<LONG_PTR>(Window)));
  return true;
}

void ReleaseInstance() {
  Accepting = false;
  HeldLines.clear();
  if (Window) {
    // Later instances stop waiting for a window that is going away.
    if (Block) InterlockedExchange(WindowField(), 0);
    DestroyWindow(Window);
    Window = nullptr;
  }
  if (ClassRegistered) {
    UnregisterClassA(WindowClassName, GetModuleHandleA(nullptr));
    ClassRegistered = false;
  }
  if (Block) {
    UnmapViewOfFile(Block);
    Block = nullptr;
  }
  if (Mapping) {
    CloseHandle(Mapping);
    Mapping = nullptr;
  }
}

void AcceptHandOvers() {
  Accepting = true;
  if (!HeldLines.empty() && Window) PostMessageA(Window, TakeHeldMessage, 0, 0);
}

void ProcessCommandLine(const std::string& CommandLine) {
  std::vector<std::string> Arguments = CommandLineArguments(CommandLine);
  if (!Arguments.empty()) {
    TStrings Entries = PlayableArguments(Arguments);
    if (Entries.Count() > 0) MainForm->PlayEntries(Entries, true);
  }
  if (Application->Minimized()) Application->Restore();
  Application->BringToFront();
}
