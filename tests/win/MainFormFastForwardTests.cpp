// Fast forward: the loop that hands every buffer-done notice to its window six times, its guard
// against a second loop, its end when a command clears the flag, and the clip it speeds up.
#include <doctest.h>

#include <functional>
#include <map>

#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"

namespace {

// A window that counts the messages dispatched to it and runs Action on the ones it is given.
class TCountingWindow {
public:
  TCountingWindow() {
    WNDCLASSA Class{};
    Class.lpfnWndProc = Proc;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "QuilloFastForwardCounter";
    RegisterClassA(&Class);
    Window = CreateWindowExA(0, Class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             Class.hInstance, this);
  }
  ~TCountingWindow() { DestroyWindow(Window); }
  void Post(UINT Msg, WPARAM W = 0) { PostMessageA(Window, Msg, W, 0); }

  std::map<UINT, int> Count;
  std::map<UINT, std::function<void()>> Action;

private:
  static LRESULT CALLBACK Proc(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
    if (Msg == WM_NCCREATE)
      SetWindowLongPtrA(Window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(L)->lpCreateParams));
    auto* Self = reinterpret_cast<TCountingWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (Self && Msg >= WaveOutDone) {
      ++Self->Count[Msg];
      if (auto Found = Self->Action.find(Msg); Found != Self->Action.end()) Found->second();
    }
    return DefWindowProcA(Window, Msg, W, L);
  }
  HWND Window = nullptr;
};

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) { FastForwarding = false; }

void CALLBACK PressPlayPause(HWND, UINT, UINT_PTR Timer, DWORD) {
  KillTimer(nullptr, Timer);
  MainForm->PlayPause1Click(nullptr);
}

// Should a loop never end, this ends it after a while, from inside the loop.
struct TLoopGuard {
  TLoopGuard() : Timer(SetTimer(nullptr, 0, 10000, EndLoop)) {}
  ~TLoopGuard() { KillTimer(nullptr, Timer); }
  UINT_PTR Timer;
};

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "fast forward: buffer-done notices six times, others once, one loop at a time") {
  StartClip("clip.viv");
  TCountingWindow Counter;
  constexpr UINT Other = WM_APP + 1, Nested = WM_APP + 2, Ending = WM_APP + 3;
  bool NestedReturned = false, FastInside = false;
  Counter.Action[Nested] = [&] {
    FastInside = FastForwarding;
    Form->Fastforward1Click(nullptr);
    NestedReturned = true;
  };
  Counter.Action[Ending] = [&] { Form->PlayPause1Click(nullptr); };
  Counter.Post(WaveOutDone, 1);
  Counter.Post(Other);
  Counter.Post(WaveOutDone, 2);
  Counter.Post(Nested);
  Counter.Post(WaveOutDone, 3);
  Counter.Post(Ending);
  Counter.Post(WaveOutDone, 4);
  Form->PlayState = psPlaying;
  ClearCalls();
  {
    TLoopGuard Guard;
    Form->Fastforward1Click(nullptr);
  }
  CHECK(FastInside);
  CHECK(NestedReturned);
  // Three notices before Play / Pause ended the loop; the fourth waits for whoever comes next.
  CHECK(Counter.Count[WaveOutDone] == 18);
  CHECK(Counter.Count[Other] == 1);
  CHECK(Counter.Count[Nested] == 1);
  CHECK(Counter.Count[Ending] == 1);
  // Play / Pause during fast forward plays on and ends it; the loop itself gives no orders.
  CHECK(Form->PlayState == psPlaying);
  CHECK_FALSE(FastForwarding);
  CHECK(Commands() == std::vector<std::string>{"Play"});
  ProcessMessages();
  CHECK(Counter.Count[WaveOutDone] == 19);
}

TEST_CASE_FIXTURE(TMainFormFixture, "fast forward runs the clip several times as fast; Restart inside it keeps it going") {
  StartClip("clip.viv", 60000);
  // Clip milliseconds per real millisecond while Run runs.
  auto Rate = [&](const std::function<void()>& Run) {
    ULONG From = Control->Position();
    ULONGLONG Start = GetTickCount64();
    Run();
    return double(Control->Position() - From) / double(GetTickCount64() - Start);
  };
  auto FastForwardFor = [&](UINT Ms) {
    TLoopGuard Guard;
    SetTimer(nullptr, 0, Ms, PressPlayPause);
    Form->Fastforward1Click(nullptr);
  };
  // The processor time this thread has taken, in milliseconds.
  auto BusyMs = [] {
    FILETIME Created, Ended, Kernel, User;
    GetThreadTimes(GetCurrentThread(), &Created, &Ended, &Kernel, &User);
    auto Ms = [](const FILETIME& Time) { return (ULONGLONG(Time.dwHighDateTime) << 32 | Time.dwLowDateTime) / 10000; };
    return Ms(Kernel) + Ms(User);
  };
  double Normal = Rate([&] { RunUntil([] { return false; }, 1000); });
  ULONGLONG BusyBefore = BusyMs();
  double Fast = Rate([&] { FastForwardFor(1000); });
  ULONGLONG Busy = BusyMs() - BusyBefore;
  INFO("normal ", Normal, ", fast ", Fast, ", busy ", Busy, " ms of 1000");
  CHECK(Normal > 0.5);
  CHECK(Normal < 1.5);
  CHECK(Fast > 3 * Normal);
  // Between the notices the loop waits: it does not take the core it runs on.
  CHECK(Busy < 200);

  // Restart inside the loop: the clip starts again and the loop runs on until Play / Pause.
  TCountingWindow Counter;
  bool FastAfterRestart = false;
  Counter.Action[WM_APP + 1] = [&] {
    Form->Restart1Click(nullptr);
    FastAfterRestart = FastForwarding;
  };
  Counter.Post(WM_APP + 1);
  ULONG Before = Control->Position();
  FastForwardFor(500);
  CHECK(Counter.Count[WM_APP + 1] == 1);
  CHECK(FastAfterRestart);
  CHECK(Control->Position() < Before);
  CHECK(Form->PlayState == psPlaying);
  CHECK_FALSE(FastForwarding);
}
