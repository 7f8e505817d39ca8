// The player window's playback commands, through their menu handlers and through real shortcut
// keys: what each does to PlayState, FastForwarding and the control; and the control's events.
#include <doctest.h>

#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"

namespace {

// Raises the control's AtStart or AtEnd for URL.
void Fire(TDiagnostics& Control, TVvPPWebEvent Event, const std::string& URL) {
  TVariant Arg = TVariant::Text(URL);
  REQUIRE(Control->FireEvent(Event, Arg.Get(), 1) == S_OK);
}

using THandler = void (TMainForm::*)(TObject*);

struct TCommandCase {
  const char* Name;
  THandler Handler;
  TPlayState Before;
  bool FastBefore;
  int Answer;  // the confirmation's button; 0: no confirmation is asked
  std::vector<std::string> Commands;
  TPlayState After;
  bool FastAfter;
  const char* ControlDialog = "";  // the title of the control's own dialog it shows
};

const char* const CloseQuestion = "Are you sure you want to close the vivo?";
const char* const ExitQuestion = "Are you sure you want to quit Quillo?";

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "playback commands: their effect on PlayState, FastForwarding and the control") {
  const TCommandCase Cases[] = {
      {"Play / Pause while playing", &TMainForm::PlayPause1Click, psPlaying, false, 0, {"Pause"}, psPaused, false},
      {"Play / Pause while paused", &TMainForm::PlayPause1Click, psPaused, false, 0, {"Play"}, psPlaying, false},
      {"Play / Pause while stopped", &TMainForm::PlayPause1Click, psStopped, false, 0, {"Play"}, psPlaying, false},
      {"Play / Pause during fast forward plays and ends it", &TMainForm::PlayPause1Click, psPlaying, true, 0, {"Play"}, psPlaying, false},
      {"Stop during fast forward", &TMainForm::Stop1Click, psPlaying, true, 0,
       {"Autostart=FALSE", "Rewind", "Autostart=TRUE"}, psStopped, false},
      {"Restart during fast forward keeps it", &TMainForm::Restart1Click, psPlaying, true, 0, {"Rewind"}, psStopped, true},
      {"Close answered Yes", &TMainForm::Close1Click, psPlaying, true, IDYES, {"Load()"}, psStopped, false},
      {"Close answered No", &TMainForm::Close1Click, psPlaying, true, IDNO, {}, psPlaying, true},
      {"Save As", &TMainForm::SaveAs1Click, psPlaying, false, 0, {"Pause", "SaveAs"}, psPaused, false, "Save a Copy of the Clip"},
      {"About this Movie", &TMainForm::AboutthisMovie1Click, psPlaying, false, 0, {"AboutMovie"}, psPlaying, false, "About this Movie"},
      {"Options", &TMainForm::Options1Click, psPaused, true, 0, {}, psPaused, true},
      {"Exit answered No", &TMainForm::Exit1Click, psPlaying, false, IDNO, {}, psPlaying, false},
  };
  for (const TCommandCase& Case : Cases) {
    INFO(std::string(Case.Name));
    StartClip("clip.viv");
    Form->PlayState = Case.Before;
    FastForwarding = Case.FastBefore;
    Dialogs.Shown.clear();
    if (Case.Answer) Dialogs.Answer(Case.Answer);
    ClearCalls();
    {
      TControlDialogCloser Closer;
      (Form->*Case.Handler)(nullptr);
    }
    CHECK(Commands() == Case.Commands);
    CHECK(TControlDialogCloser::Titles ==
          (*Case.ControlDialog ? std::vector<std::string>{Case.ControlDialog} : std::vector<std::string>{}));
    CHECK(Form->PlayState == Case.After);
    CHECK(FastForwarding == Case.FastAfter);
    CHECK_FALSE(Closing);
    if (Case.Answer) {
      REQUIRE(Dialogs.Shown.size() == 1);
      CHECK(Dialogs.Shown[0].Text == (Case.Handler == &TMainForm::Exit1Click ? ExitQuestion : CloseQuestion));
      CHECK(Dialogs.Shown[0].Buttons == MB_YESNO);
      CHECK(Dialogs.Shown[0].Icon == MB_ICONQUESTION);
    } else {
      CHECK(Dialogs.Shown.empty());
    }
  }
  FastForwarding = false;
}

TEST_CASE_FIXTURE(TMainFormFixture, "Stop rests the clip at its start; Play / Pause then plays it from there") {
  StartClip("clip.viv");
  REQUIRE(RunUntil([&] { return Control->Position() >= 300; }));
  Form->Stop1Click(nullptr);
  // The start the rewind causes comes while Autostart is FALSE: the clip does not run on.
  RunUntil([] { return false; }, 400);
  CHECK(Form->PlayState == psStopped);
  CHECK(Control->Position() == 0);
  CHECK(Form->vivo->Autostart() == "TRUE");

  Form->PlayPause1Click(nullptr);
  CHECK(Form->PlayState == psPlaying);
  CHECK(RunUntil([&] { return Control->Position() > 0; }));
  CHECK(Control->Position() < 2000);
}

TEST_CASE_FIXTURE(TMainFormFixture, "Restart plays the clip again from its start, and its start sets psPlaying") {
  StartClip("clip.viv");
  REQUIRE(RunUntil([&] { return Control->Position() >= 500; }));
  Form->Restart1Click(nullptr);
  CHECK(Form->PlayState == psStopped);
  CHECK(RunUntil([&] { return Form->PlayState == psPlaying; }));
  CHECK(Control->Position() < 500);
}

TEST_CASE_FIXTURE(TMainFormFixture, "the control's events") {
  // A clip of 160 x 120 is loaded and laid out.
  StartClip("clip.viv");
  Form->PlayState = psPaused;
  Form->DisableScreenSaver1->Checked = true;
  ClearCalls();
  RECT Before;
  GetClientRect(Form->Handle(), &Before);

  SUBCASE("AtStart while the picture size is still negative changes nothing") {
    (*Control)->SetPictureSize(-1, 120);
    Fire(*Control, dispOnAtStart, "C:\\a.viv");
    CHECK(Form->PlayState == psPaused);
    CHECK_FALSE(Application->OnMessage);
    RECT After;
    GetClientRect(Form->Handle(), &After);
    CHECK(After.right == Before.right);
    CHECK(After.bottom == Before.bottom);
    // Not even Autostart is asked.
    for (const std::string& Call : Calls()) CHECK(Call != "Autostart");
  }
  SUBCASE("AtStart with Autostart in lower case installs the filter and lays the window out anew, but does not set psPlaying") {
    Form->vivo->SetAutostart("true");
    (*Control)->SetPictureSize(320, 240);
    Form->PlayState = psStopped;
    Fire(*Control, dispOnAtStart, "C:\\a.viv");
    CHECK(Form->PlayState == psStopped);
    CHECK(static_cast<bool>(Application->OnMessage));
    RECT After;
    GetClientRect(Form->Handle(), &After);
    CHECK_MESSAGE(After.right > Before.right, "client width ", After.right);
  }
  SUBCASE("AtStart with Autostart TRUE sets psPlaying") {
    (*Control)->SetPictureSize(160, 120);
    Fire(*Control, dispOnAtStart, "C:\\a.viv");
    CHECK(Form->PlayState == psPlaying);
  }
  SUBCASE("AtEnd stops, ends fast forward and removes whatever filter there was") {
    Form->PlayState = psPlaying;
    FastForwarding = true;
    Application->OnMessage = [](MSG&, bool&) {};
    Fire(*Control, dispOnAtEnd, "C:\\a.viv");
    CHECK(Form->PlayState == psStopped);
    CHECK_FALSE(FastForwarding);
    CHECK_FALSE(Application->OnMessage);
  }
  SUBCASE("FetchError shows the clip's name in an information box and stops") {
    std::string Missing = Dir / "missing.viv";
    Form->PlayState = psPlaying;
    Form->PlayFile(Missing);
    REQUIRE(RunUntil([&] { return !Dialogs.Shown.empty(); }));
    CHECK(Dialogs.Shown[0].Text == "Error loading file/URL \"" + Missing + "\"");
    CHECK(Dialogs.Shown[0].Buttons == MB_OK);
    CHECK(Dialogs.Shown[0].Icon == MB_ICONINFORMATION);
    CHECK(Form->PlayState == psStopped);
    CHECK(Dialogs.Shown.size() == 1);
  }
}
