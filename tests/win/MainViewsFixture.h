// The player window's views under test: a clip of a chosen picture size played in the real
// window, and its geometry read back from the windows themselves.
#pragma once

#include <doctest.h>

#include <cstdio>

#include "player/DDraw.h"
#include "tests/win/MainFormFixture.h"

namespace doctest {
template <>
struct StringMaker<TRect> {
  static String convert(const TRect& R) {
    char Text[64];
    std::snprintf(Text, sizeof Text, "(%d, %d) %d x %d", R.Left, R.Top, R.Width, R.Height);
    return Text;
  }
};
template <>
struct StringMaker<TSize> {
  static String convert(const TSize& S) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "%d x %d", S.Width, S.Height);
    return Text;
  }
};
template <>
struct StringMaker<TPoint> {
  static String convert(const TPoint& P) {
    char Text[32];
    std::snprintf(Text, sizeof Text, "(%d, %d)", P.X, P.Y);
    return Text;
  }
};
}  // namespace doctest

struct TViewsFixture : TMainFormFixture {
  TViewsFixture();
  // Gives the display back if a test left DirectX mode on, and puts the binding back.
  ~TViewsFixture();

  // Plays a generated clip of that picture size until its start has laid the window out.
  void Open(int Width, int Height);
  // The size commands as their menu entries run them.
  void Run(void (TMainForm::*Handler)(TObject*)) { (Form->*Handler)(nullptr); }

  TSize Client() const { return {Form->ClientWidth(), Form->ClientHeight()}; }
  // The control's window, in the player window's client area.
  TRect Video() const;
  TRect Button() const;
  // The client area's top-left corner on the screen.
  TPoint ClientOrigin() const;
  // The frame's width on each side.
  TSize Frame() const;
  // The display as the system reports it now.
  static TSize Display();
  // The desktop's own size, as the test started.
  TSize Desktop;
  bool SkinShown() const { return Form->TVImage->Visible() && Form->Button1->Visible(); }
  bool SkinHidden() const { return !Form->TVImage->Visible() && !Form->Button1->Visible(); }

private:
  TDirectDrawCreate SavedCreate;
};
