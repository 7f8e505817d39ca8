// The player window's view sizes on the real window: the skin scaled around the video, which
// sizes fit the screen, the user's own resizing, Compact and Presentation, the two full-screen
// views, and clips whose picture size is not usable yet.
#include <doctest.h>

#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/ControlInterposer.h"
#include "tests/win/MainViewsFixture.h"
#include "toolkit/Errors.h"

namespace {

using THandler = void (TMainForm::*)(TObject*);

bool Fits(TSize Needed, TSize Screen) {
  return Needed.Width <= Screen.Width && Needed.Height <= Screen.Height;
}

}  // namespace

TEST_CASE_FIXTURE(TViewsFixture, "the TV skin around a 176 x 144 clip at each fixed size") {
  struct TCase {
    const char* Name;
    THandler Handler;
    TSize Client;
    TRect Video, Button;
  };
  const TCase Cases[] = {
      {"Original", &TMainForm::OriginalSize1Click, {205, 192}, {14, 19, 176, 144}, {171, 170, 17, 19}},
      {"Half", &TMainForm::HalfSize1Click, {103, 96}, {7, 9, 88, 72}, {85, 85, 9, 9}},
      {"Double", &TMainForm::DoubleSize1Click, {410, 383}, {27, 37, 352, 288}, {342, 340, 34, 37}},
      {"Triple", &TMainForm::TripleSize1Click, {615, 575}, {41, 56, 528, 432}, {513, 511, 51, 56}},
  };
  Open(176, 144);
  const TPoint Corner{Form->Left(), Form->Top()};
  CHECK(Form->DoubleSize1->Enabled);
  CHECK(Form->TripleSize1->Enabled == Fits({615, 575}, Desktop));
  for (const TCase& Case : Cases) {
    INFO(Case.Name);
    if (Case.Handler == &TMainForm::TripleSize1Click && !Form->TripleSize1->Enabled) {
      // A disabled size does nothing at all, not even its check mark.
      Run(Case.Handler);
      CHECK_FALSE(Form->TripleSize1->Checked);
      CHECK(Client() == Cases[2].Client);
      continue;
    }
    Run(Case.Handler);
    CHECK(Client() == Case.Client);
    CHECK(Video() == Case.Video);
    CHECK(Button() == Case.Button);
    CHECK(SkinShown());
    CHECK(Form->TVImage->Width() == Case.Client.Width);
    CHECK(Form->TVImage->Height() == Case.Client.Height);
    // The window keeps its place; only its size follows the view.
    CHECK(TPoint{Form->Left(), Form->Top()} == Corner);
    CHECK_FALSE(Resizing);
  }

  Open(175, 144);
  Run(&TMainForm::HalfSize1Click);
  CHECK(Video() == TRect{7, 9, 87, 72});
}

TEST_CASE_FIXTURE(TViewsFixture, "sizes chosen before a clip take effect at its start, if they fit") {
  SUBCASE("Triple fits a 176 x 144 clip on a screen of 615 x 575 or more, else Original") {
    Run(&TMainForm::TripleSize1Click);
    CHECK(Form->TripleSize1->Checked);
    CHECK_FALSE(Form->OriginalSize1->Checked);
    CHECK(Client() == TSize{240, 205});
    Open(176, 144);
    bool Fit = Fits({615, 575}, Desktop);
    CHECK(Form->TripleSize1->Enabled == Fit);
    CHECK(Form->TripleSize1->Checked == Fit);
    CHECK(Form->OriginalSize1->Checked == !Fit);
    CHECK(Client() == (Fit ? TSize{615, 575} : TSize{205, 192}));
  }
  SUBCASE("Double of a 320 x 240 clip needs a screen of 746 x 639") {
    Run(&TMainForm::DoubleSize1Click);
    CHECK(Form->DoubleSize1->Checked);
    CHECK(Client() == TSize{240, 205});
    Open(320, 240);
    bool Fit = Fits({746, 639}, Desktop);
    CHECK(Form->DoubleSize1->Enabled == Fit);
    CHECK(Form->DoubleSize1->Checked == Fit);
    CHECK(Client() == (Fit ? TSize{746, 639} : TSize{373, 319}));
    CHECK(Video() == (Fit ? TRect{50, 62, 640, 480} : TRect{25, 31, 320, 240}));
  }
  SUBCASE("Full Screen and Scaled Full Screen before a clip: check marks only") {
    for (THandler Handler : {&TMainForm::FullScreen1Click, &TMainForm::ScaledFullScreen1Click}) {
      Run(Handler);
      CHECK(Client() == TSize{240, 205});
      CHECK(SkinShown());
    }
    CHECK(Form->ScaledFullScreen1->Checked);
    CHECK_FALSE(Form->FullScreen1->Checked);
    CHECK_FALSE(Form->OriginalSize1->Checked);
  }
}

TEST_CASE_FIXTURE(TViewsFixture, "resizing by the frame: the skin follows, Compact stretches the video") {
  Open(176, 144);
  auto ResizeClientTo = [&](int Width, int Height) {
    TSize F = Frame();
    SetWindowPos(Form->Handle(), nullptr, 0, 0, Width + 2 * F.Width, Height + 2 * F.Height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  ResizeClientTo(180, 150);
  CHECK(Client() == TSize{180, 150});
  CHECK(Video() == TRect{12, 15, 154, 113});
  CHECK(Button() == TRect{150, 133, 15, 15});
  CHECK(SkinShown());

  Run(&TMainForm::CompactMode1Click);
  CHECK(Client() == TSize{176, 144});
  CHECK(Video() == TRect{0, 0, 176, 144});
  CHECK(SkinHidden());
  ResizeClientTo(300, 100);
  CHECK(Client() == TSize{300, 100});
  CHECK(Video() == TRect{0, 0, 300, 100});
  CHECK(SkinHidden());
  CHECK_FALSE(Resizing);

  Run(&TMainForm::CompactMode1Click);
  CHECK(Client() == TSize{205, 192});
  CHECK(SkinShown());
}

TEST_CASE_FIXTURE(TViewsFixture, "Presentation: the video centred on a black screen; twice returns to the skin") {
  Open(176, 144);
  Run(&TMainForm::PresentationMode1Click);
  CHECK(Form->PresentationMode1->Checked);
  CHECK(ClientOrigin() == TPoint{0, 0});
  CHECK(Client() == Desktop);
  CHECK(Video() == TRect{(Desktop.Width - 176) / 2, (Desktop.Height - 144) / 2, 176, 144});
  CHECK(SkinHidden());
  // No dragging and no pointer over the video.
  CHECK_FALSE(Form->vivo->OnMouseMove);
  CHECK(Form->vivo->CursorNone());
  const TPoint Corner{Form->Left(), Form->Top()};

  Run(&TMainForm::PresentationMode1Click);
  CHECK_FALSE(Form->PresentationMode1->Checked);
  CHECK(Client() == TSize{205, 192});
  CHECK(Video() == TRect{14, 19, 176, 144});
  CHECK(SkinShown());
  CHECK(Form->vivo->OnMouseMove);
  CHECK_FALSE(Form->vivo->CursorNone());
  CHECK(TPoint{Form->Left(), Form->Top()} == Corner);
}

TEST_CASE_FIXTURE(TViewsFixture, "Full Screen stretches the video; Scaled Full Screen keeps its proportions") {
  struct TCase {
    int Width, Height;
    TRect On640, On1024;
  };
  const TCase Cases[] = {
      {176, 144, {26, 0, 587, 480}, {42, 0, 939, 768}},
      {320, 180, {0, 60, 640, 360}, {0, 96, 1024, 576}},
      {320, 240, {0, 0, 640, 480}, {0, 0, 1024, 768}},
  };
  REQUIRE((Desktop == TSize{640, 480} || Desktop == TSize{1024, 768}));
  for (const TCase& Case : Cases) {
    INFO(Case.Width << " x " << Case.Height);
    Open(Case.Width, Case.Height);
    Run(&TMainForm::FullScreen1Click);
    CHECK(ClientOrigin() == TPoint{0, 0});
    CHECK(Client() == Desktop);
    CHECK(Video() == TRect{0, 0, Desktop.Width, Desktop.Height});
    CHECK(SkinHidden());

    Run(&TMainForm::ScaledFullScreen1Click);
    CHECK(Client() == Desktop);
    CHECK(Video() == (Desktop.Width == 640 ? Case.On640 : Case.On1024));
    CHECK_FALSE(Resizing);
    // Another size leaves the screen for the skin, which starts at the screen's corner.
    Run(&TMainForm::OriginalSize1Click);
    CHECK(SkinShown());
    CHECK(ClientOrigin() == TPoint{0, 0});
  }
}

TEST_CASE_FIXTURE(TViewsFixture, "a picture size not known yet, or without height: the set at its design size") {
  Open(176, 144);
  for (TSize Picture : {TSize{-1, -1}, TSize{176, -1}, TSize{176, 0}, TSize{0, 0}}) {
    INFO(Picture);
    REQUIRE((*Control)->SetPictureSize(static_cast<short>(Picture.Width),
                                       static_cast<short>(Picture.Height)) == S_OK);
    Run(&TMainForm::DoubleSize1Click);
    CHECK(Client() == TSize{240, 205});
    CHECK(Video() == SkinVideo);
    CHECK(Button() == SkinButton);
    CHECK(SkinShown());
    Run(&TMainForm::CompactMode1Click);
    CHECK(Client() == TSize{206, 154});
    CHECK(Video() == TRect{0, 0, 206, 154});
    Run(&TMainForm::PresentationMode1Click);
    CHECK(Video() == TRect{(Desktop.Width - 206) / 2, (Desktop.Height - 154) / 2, 206, 154});
    // Scaled Full Screen has no proportions to keep: the video fills the screen.
    Run(&TMainForm::ScaledFullScreen1Click);
    CHECK(Video() == TRect{0, 0, Desktop.Width, Desktop.Height});
    Run(&TMainForm::PresentationMode1Click);
    Run(&TMainForm::HalfSize1Click);
    CHECK(Client() == TSize{240, 205});
    CHECK_FALSE(Resizing);
  }
}

namespace {

// The player window with the control behind the stand-in, so that its moves can be made to fail.
struct TStandIn {
  TControlInterposer Interposer;
};
struct TFailingControlFixture : TStandIn, TViewsFixture {};

}  // namespace

TEST_CASE_FIXTURE(TFailingControlFixture, "a layout whose control call fails gives Resizing back: the skin follows the frame again") {
  Open(176, 144);
  struct TCase {
    const char* Name;
    THandler Layout, Undo;
  };
  const TCase Cases[] = {
      {"Double Size", &TMainForm::DoubleSize1Click, &TMainForm::OriginalSize1Click},
      {"Full Screen", &TMainForm::FullScreen1Click, &TMainForm::OriginalSize1Click},
      {"Compact", &TMainForm::CompactMode1Click, &TMainForm::CompactMode1Click},
      {"Presentation", &TMainForm::PresentationMode1Click, &TMainForm::PresentationMode1Click},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Name);
    Interposer.FailMoves = E_UNEXPECTED;
    try {
      Run(Case.Layout);
      FAIL("the layout went through although the control refused to move");
    } catch (const EOleSysError& Error) {
      CHECK(Error.ErrorCode == E_UNEXPECTED);
    }
    CHECK_FALSE(Resizing);
    Interposer.FailMoves = S_OK;
    Run(Case.Undo);
    CHECK(Video() == TRect{14, 19, 176, 144});
    CHECK(SkinShown());
  }
  // The user drags the frame to twice the set's design size: the skin follows.
  const TSize F = Frame();
  SetWindowPos(Form->Handle(), nullptr, 0, 0, 480 + 2 * F.Width, 410 + 2 * F.Height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CHECK(Client() == TSize{480, 410});
  CHECK(Video() == TRect{32, 40, 412, 308});
  CHECK(Button() == TRect{400, 364, 40, 40});
}
