// The playback commands' shortcut keys, pressed for real with the player window in front, and
// the keys that still work while fast forward keeps the menu from seeing them.
#include <doctest.h>

#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"

namespace {

struct TKeyCase {
  const char* Name;
  WORD Key;
  std::vector<WORD> Modifiers;
  int Answer;  // the button a box it asks is answered with; 0: none
  std::vector<std::string> Commands;
  std::string Shown;  // the caption or text of the box or dialog it brings up
  std::string ControlDialog;
  int After;  // the PlayState it leaves, or -1 when the clip's own events decide
};

void CALLBACK PressCtrlP(HWND, UINT, UINT_PTR Timer, DWORD) {
  KillTimer(nullptr, Timer);
  PressKey('P', {VK_CONTROL});
}

void CALLBACK EndLoop(HWND, UINT, UINT_PTR, DWORD) { FastForwarding = false; }

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "shortcut keys run their commands") {
  const WORD Ctrl = VK_CONTROL, Shift = VK_SHIFT;
  const TKeyCase Cases[] = {
      {"Ctrl+P pauses", 'P', {Ctrl}, 0, {"Pause"}, "", "", psPaused},
      {"Ctrl+S stops", 'S', {Ctrl}, 0, {"Autostart=FALSE", "Rewind", "Autostart=TRUE"}, "", "", psStopped},
      {"Ctrl+R restarts", 'R', {Ctrl}, 0, {"Rewind"}, "", "", -1},
      {"Ctrl+C closes on Yes", 'C', {Ctrl}, IDYES, {"Load()"}, "Are you sure you want to close the vivo?", "", psStopped},
      {"Ctrl+Shift+S saves a copy", 'S', {Ctrl, Shift}, 0, {"Pause", "SaveAs"}, "", "Save a Copy of the Clip", psPaused},
      {"Ctrl+A tells about the movie", 'A', {Ctrl}, 0, {"AboutMovie"}, "", "About this Movie", psPlaying},
      {"Ctrl+U asks for a URL", 'U', {Ctrl}, 0, {}, "Open URL", "", psPlaying},
      {"Ctrl+O asks for files", 'O', {Ctrl}, 0, {}, "open", "", psPlaying},
      {"Ctrl+X asks before quitting", 'X', {Ctrl}, IDNO, {}, "Are you sure you want to quit Quillo?", "", psPlaying},
  };
  for (const TKeyCase& Case : Cases) {
    INFO(std::string(Case.Name));
    StartClip("clip.viv");
    ShowInFront();
    ClearCalls();
    Dialogs.Shown.clear();
    if (Case.Answer) Dialogs.Answer(Case.Answer);
    TControlDialogCloser Closer;
    PressKey(Case.Key, Case.Modifiers);
    size_t Boxes = Case.Shown.empty() ? 0 : 1, ControlBoxes = Case.ControlDialog.empty() ? 0 : 1;
    CHECK(RunUntil([&] {
      return Commands().size() >= Case.Commands.size() && Dialogs.Shown.size() >= Boxes &&
             TControlDialogCloser::Titles.size() >= ControlBoxes;
    }));
    RunUntil([] { return false; }, 100);
    CHECK(Commands() == Case.Commands);
    REQUIRE(Dialogs.Shown.size() == Boxes);
    if (Boxes) {
      const TShownDialog& Box = Dialogs.Shown[0];
      std::string Seen = Box.Kind == TShownDialog::dkMessageBox   ? Box.Text
                         : Box.Kind == TShownDialog::dkInputQuery ? Box.Caption
                                                                  : "open";
      CHECK(Seen == Case.Shown);
    }
    CHECK(TControlDialogCloser::Titles.size() == ControlBoxes);
    if (ControlBoxes) CHECK(TControlDialogCloser::Titles[0] == Case.ControlDialog);
    if (Case.After >= 0) CHECK(int(Form->PlayState) == Case.After);
    CHECK_FALSE(Closing);
  }
}

TEST_CASE_FIXTURE(TMainFormFixture, "Ctrl+F fast forwards; Ctrl+P inside the loop plays on and ends it") {
  StartClip("clip.viv", 60000);
  ShowInFront();
  ClearCalls();
  UINT_PTR Guard = SetTimer(nullptr, 0, 10000, EndLoop);
  SetTimer(nullptr, 0, 700, PressCtrlP);
  PressKey('F', {VK_CONTROL});
  // The key's command runs the loop from inside this wait, until Ctrl+P ends it.
  bool Ended = RunUntil([&] { return Control->Position() > 2000 && !FastForwarding; }, 8000);
  KillTimer(nullptr, Guard);
  CHECK(Ended);
  CHECK(Commands() == std::vector<std::string>{"Play"});
  CHECK(Form->PlayState == psPlaying);
  // 700 ms at six times the speed.
  CHECK_MESSAGE(Control->Position() > 2500, "position ", Control->Position());
}

TEST_CASE_FIXTURE(TMainFormFixture, "a clip's start leaves the keyboard with the player window") {
  ShowInFront();
  StartClip("clip.viv");
  RunUntil([] { return false; }, 200);
  CHECK(GetForegroundWindow() == Form->Handle());
  ClearCalls();
  PressKey('P', {VK_CONTROL});
  CHECK(RunUntil([&] { return Commands() == std::vector<std::string>{"Pause"}; }, 2000));
}
