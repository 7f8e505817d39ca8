// The player window's arithmetic, checked against worked examples.
#include <doctest.h>

#include "player/ViewGeometry.h"

TEST_CASE("rounding goes half to even, div 2 toward zero") {
  CHECK(RoundEven(154.5) == 154);
  CHECK(RoundEven(51.5) == 52);
  CHECK(RoundEven(-0.5) == 0);
  CHECK(RoundEven(-1.5) == -2);
  CHECK(RoundEven(2.4999) == 2);
  CHECK(RoundEven(2.5001) == 3);
  CHECK(FixedVideoSize(TViewFactor::Half, 175, 143) == TSize{87, 71});
}

TEST_CASE("a picture size not usable yet gives the skin's own screen at every size") {
  for (TViewFactor F : {TViewFactor::Half, TViewFactor::Original, TViewFactor::Triple}) {
    CHECK(FixedVideoSize(F, -1, -1) == TSize{206, 154});
    CHECK(FixedVideoSize(F, 176, 0) == TSize{206, 154});
    CHECK(FixedVideoSize(F, 0, 144) == TSize{206, 154});
  }
  CHECK(FixedVideoSize(TViewFactor::Triple, 1, 1) == TSize{3, 3});
}

TEST_CASE("the skin scales around the video") {
  SUBCASE("scale 1 is the design layout") {
    TSkinLayout L = ScaleSkinLayout(240, 240, 205, 205);
    CHECK(L.Video == SkinVideo);
    CHECK(L.Button == SkinButton);
    CHECK(L.ClientWidth == 240);
    CHECK(L.ClientHeight == 205);
  }
  SUBCASE("Original Size of 176 x 144") {
    TSize V = FixedVideoSize(TViewFactor::Original, 176, 144);
    TSkinLayout L = ScaleSkinLayout(V.Width, 206, V.Height, 154);
    CHECK(L.ClientWidth == 205);
    CHECK(L.ClientHeight == 192);
    CHECK(L.Video == TRect{14, 19, 176, 144});
    CHECK(L.Button == TRect{171, 170, 17, 19});
  }
  SUBCASE("Double Size of 176 x 144") {
    TSize V = FixedVideoSize(TViewFactor::Double, 176, 144);
    TSkinLayout L = ScaleSkinLayout(V.Width, 206, V.Height, 154);
    CHECK(L.ClientWidth == 410);
    CHECK(L.ClientHeight == 383);
    CHECK(L.Video == TRect{27, 37, 352, 288});
    CHECK(L.Button == TRect{342, 340, 34, 37});
  }
  SUBCASE("Half Size of 176 x 144") {
    TSize V = FixedVideoSize(TViewFactor::Half, 176, 144);
    TSkinLayout L = ScaleSkinLayout(V.Width, 206, V.Height, 154);
    CHECK(L.ClientWidth == 103);
    CHECK(L.ClientHeight == 96);
    CHECK(L.Video == TRect{7, 9, 88, 72});
    CHECK(L.Button == TRect{85, 85, 9, 9});
    CHECK(FixedVideoSize(TViewFactor::Half, 175, 144).Width == 87);
  }
  SUBCASE("a user resize to 180 x 150 keeps that client") {
    TSkinLayout L = ScaleSkinLayout(180, 240, 150, 205);
    CHECK(L.ClientWidth == 180);
    CHECK(L.ClientHeight == 150);
    CHECK(L.Video == TRect{12, 15, 154, 113});
  }
}

TEST_CASE("which sizes fit") {
  SUBCASE("TV skin on 640 x 480: Double fits, Triple does not") {
    CHECK(ViewFits(TPresentation::TVSkin, 2, 176, 144, 640, 480, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::TVSkin, 3, 176, 144, 640, 480, 640, 480));
  }
  SUBCASE("DirectX at 640 x 480 with a 320 x 240 clip") {
    CHECK(ViewFits(TPresentation::DirectX, 2, 320, 240, 1024, 768, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::DirectX, 3, 320, 240, 1024, 768, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::DirectX, 2, 320, 240, 1024, 768, 320, 240));
  }
  SUBCASE("the TV skin of a 320 x 240 clip at Double needs 746 x 639") {
    CHECK_FALSE(ViewFits(TPresentation::TVSkin, 2, 320, 240, 640, 480, 640, 480));
    CHECK(ViewFits(TPresentation::TVSkin, 2, 320, 240, 1024, 768, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::TVSkin, 2, 320, 240, 745, 768, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::TVSkin, 2, 320, 240, 1024, 638, 640, 480));
  }
  SUBCASE("Compact and Presentation test the video alone against the screen") {
    CHECK(ViewFits(TPresentation::Compact, 3, 320, 240, 960, 720, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::Presentation, 3, 320, 240, 959, 720, 640, 480));
    CHECK_FALSE(ViewFits(TPresentation::Compact, 3, 320, 240, 960, 719, 640, 480));
  }
}

TEST_CASE("screen-style layouts") {
  CHECK(ScreenStyleOrigin(248, 213, 240, 205) == TPoint{-4, -4});
  CHECK(ScreenStyleOrigin(1031, 776, 1024, 768) == TPoint{-3, -4});
  // DirectX mode, Original Size, 176 x 144 at 640 x 480.
  CHECK(CentredVideo(640, 480, 176, 144) == TRect{232, 168, 176, 144});

  CHECK(ScaledFullScreenVideo(176, 144, 640, 480) == TRect{26, 0, 587, 480});
  CHECK(ScaledFullScreenVideo(320, 180, 640, 480) == TRect{0, 60, 640, 360});
  CHECK(ScaledFullScreenVideo(320, 240, 1024, 768) == TRect{0, 0, 1024, 768});
  CHECK(ScaledFullScreenVideo(320, 0, 1024, 768) == TRect{0, 0, 1024, 768});
  CHECK(ScaledFullScreenVideo(-1, -1, 640, 480) == TRect{0, 0, 640, 480});
}

TEST_CASE("placement keys for a 248 x 213 window on 1024 x 768") {
  auto At = [](unsigned Key) { return PlacementForKey(Key, 1024, 768, 248, 213); };
  CHECK(At(0x65) == TPoint{388, 277});
  CHECK(At(0x23) == TPoint{0, 555});
  CHECK(At(0x61) == TPoint{0, 555});
  CHECK(At(0x22) == TPoint{776, 555});
  CHECK(At(0x63) == TPoint{776, 555});
  CHECK(At(0x24) == TPoint{0, 0});
  CHECK(At(0x67) == TPoint{0, 0});
  CHECK(At(0x21) == TPoint{776, 0});
  CHECK(At(0x69) == TPoint{776, 0});
  CHECK_FALSE(At(0x66).has_value());
  CHECK_FALSE(At('A').has_value());
  // A window larger than the screen: div 2 truncates toward zero.
  CHECK(PlacementForKey(0x65, 640, 480, 651, 485) == TPoint{-5, -2});
}

TEST_CASE("the menu opens at the button's centre, else the window's") {
  TRect Window{100, 50, 248, 213};
  CHECK(MenuPopupPoint(Window, SkinButton, true) == TPoint{100 + 200 + 10, 50 + 182 + 10});
  CHECK(MenuPopupPoint(Window, {171, 170, 17, 19}, true) == TPoint{279, 229});
  CHECK(MenuPopupPoint(Window, SkinButton, false) == TPoint{224, 156});
}

TEST_CASE("switch-off animation steps") {
  TSwitchOffSteps S = SwitchOffSteps(248, 213, 1024);
  CHECK(S.Collapse == 17);
  CHECK(S.Shrink == 31);
  CHECK(S.Stretch == 129);
  CHECK(248 - 8 * S.Shrink + 8 * S.Stretch == 1032);
  // On a screen narrower than 8 pixels the line stretches once.
  CHECK(SwitchOffSteps(248, 213, 4).Stretch == 1);
  CHECK(SwitchOffSteps(7, 11, 1024).Collapse == 0);
  CHECK(SwitchOffSteps(7, 11, 1024).Shrink == 0);
  CHECK(SwitchOffSteps(7, 11, 1024).Stretch == 128);
}
