// Closing the player window: the switch-off animation step by step on the real window, the
// temporary playlist deleted, a second close during the animation, and the application's end.
#include <doctest.h>

#include <functional>

#include "control/VVPPWEBLib_TLB.h"
#include "player/DDraw.h"
#include "tests/win/MainFormFixture.h"

namespace {

// Every change of a window's rectangle, watched through the messages it is sent.
class TGeometryLog {
public:
  explicit TGeometryLog(HWND Watched) {
    Window = Watched;
    Rects.clear();
    RECT R;
    GetWindowRect(Window, &R);
    Rects.push_back(R);
    Hook = SetWindowsHookExA(WH_CALLWNDPROCRET, Proc, nullptr, GetCurrentThreadId());
  }
  ~TGeometryLog() {
    UnhookWindowsHookEx(Hook);
    OnChange = nullptr;
  }
  static inline std::vector<RECT> Rects;
  // Runs after change number N (1 = the first).
  static inline std::function<void(size_t N)> OnChange;

  // Each change as the edges it moved, e.g. "top+6" or "height-12"; a change that moved and
  // sized at once reads "left+4 width-8".
  static std::vector<std::string> Changes() {
    std::vector<std::string> Out;
    for (size_t I = 1; I < Rects.size(); ++I) {
      const RECT &A = Rects[I - 1], &B = Rects[I];
      std::string Change;
      auto Note = [&](const char* Name, long Delta) {
        if (!Delta) return;
        if (!Change.empty()) Change += ' ';
        Change += Name;
        if (Delta > 0) Change += '+';
        Change += std::to_string(Delta);
      };
      Note("left", B.left - A.left);
      Note("top", B.top - A.top);
      Note("width", (B.right - B.left) - (A.right - A.left));
      Note("height", (B.bottom - B.top) - (A.bottom - A.top));
      Out.push_back(Change);
    }
    return Out;
  }

private:
  static LRESULT CALLBACK Proc(int Code, WPARAM W, LPARAM L) {
    auto* Sent = reinterpret_cast<CWPRETSTRUCT*>(L);
    if (Code == HC_ACTION && Sent->hwnd == Window && Sent->message == WM_WINDOWPOSCHANGED) {
      RECT R;
      GetWindowRect(Window, &R);
      if (!EqualRect(&R, &Rects.back())) {
        Rects.push_back(R);
        if (OnChange) OnChange(Rects.size() - 1);
      }
    }
    return CallNextHookEx(nullptr, Code, W, L);
  }
  static inline HWND Window = nullptr;
  HHOOK Hook;
};

// The 1,024-pixel screen of the example: a 248 x 213 window collapses in 17 steps, is 6 high,
// shrinks in 31 steps to nothing and grows in 129 to 1,032 pixels; one edge at a time.
std::vector<std::string> SwitchOffChanges() {
  std::vector<std::string> Steps;
  auto Repeat = [&](int Times, const char* First, const char* Second) {
    for (int I = 0; I < Times; ++I) Steps.insert(Steps.end(), {First, Second});
  };
  Repeat(17, "top+6", "height-12");
  Steps.push_back("height-3");
  Repeat(31, "left+4", "width-8");
  Repeat(129, "left-4", "width+8");
  return Steps;
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "Exit answered Yes: the switch-off animation, the playlist deleted, the end") {
  StartClip("clip.viv");
  Playlist->VivoList.Clear();
  Playlist->VivoList.Add(Dir / "clip.viv");
  Playlist->WritePlaylist(TempPlaylist(), true);
  // The example's window: the set in a frame of 4 pixels (Wine draws 3), in the middle of the
  // screen.
  Form->SetBounds(Form->Left(), Form->Top(), 248, 213);
  ShowInFront();
  RECT Start;
  GetWindowRect(Form->Handle(), &Start);
  REQUIRE(GetSystemMetrics(SM_CXSCREEN) == 1024);
  REQUIRE(Start.right - Start.left == 248);
  REQUIRE(Start.bottom - Start.top == 213);
  FastForwarding = true;
  ClearCalls();

  Dialogs.Answer(IDYES);
  TGeometryLog Log(Form->Handle());
  Form->Exit1Click(nullptr);

  CHECK(TGeometryLog::Changes() == SwitchOffChanges());
  const RECT& End = TGeometryLog::Rects.back();
  CHECK(End.bottom - End.top == 6);
  CHECK(End.right - End.left == 1032);
  CHECK(End.top == Start.top + 17 * 6);
  // Centred on the old window's centre.
  CHECK(End.left + (End.right - End.left) / 2 == Start.left + (Start.right - Start.left) / 2);

  CHECK(Calls().at(0) == "Load()");
  CHECK_FALSE(FastForwarding);
  CHECK(Closing);
  CHECK(Resizing);
  // Held for good: a layout run after it (a clip handed over by a later start, say) leaves it set.
  Form->ScaleSkin(240, 240, 205, 205);
  CHECK(Resizing);
  CHECK_FALSE(Form->Button1->Visible());
  CHECK_FALSE(Form->TVImage->Visible());
  CHECK_FALSE(FileExists(TempPlaylist()));
  CHECK(Application->Terminated());
  REQUIRE(Dialogs.Shown.size() == 1);
  CHECK(Dialogs.Shown[0].Text == "Are you sure you want to quit Quillo?");
}

TEST_CASE_FIXTURE(TMainFormFixture, "the system's close runs the animation once, even when a second close comes during it") {
  Form->SetBounds(Form->Left(), Form->Top(), 248, 213);
  ShowInFront();
  DDraw::LoadDDraw();
  DirectDrawUsed = true;
  size_t SecondCloseAt = 0;
  TGeometryLog Log(Form->Handle());
  TGeometryLog::OnChange = [&](size_t N) {
    if (N == 10) {
      SecondCloseAt = N;
      PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
    }
  };
  PostMessageA(Form->Handle(), WM_CLOSE, 0, 0);
  CHECK(RunUntil([] { return Application->Terminated(); }));
  RunUntil([] { return false; }, 200);

  CHECK(SecondCloseAt == 10);
  CHECK(TGeometryLog::Changes() == SwitchOffChanges());
  // No temporary playlist was there to delete, and nothing is said about it.
  CHECK(Dialogs.Shown.empty());
  // A program that used DirectDraw makes a new object at its close.
  CHECK(DirectDrawObject != nullptr);
  if (DirectDrawObject) {
    DirectDrawObject->Release();
    DirectDrawObject = nullptr;
  }
  DirectDrawUsed = false;
  DDraw::FreeDDraw();
}
