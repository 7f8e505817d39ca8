// Painting the transparent button onto a device context from a snapshot of its state.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "components/TransBtnGeometry.h"

// The system colours the button draws with, read at each paint.
struct TButtonColors {
  COLORREF Face, Shadow, Highlight, DarkShadow;
  static TButtonColors System();
};

// What one paint needs to know; the origin of the device context is the button's top-left.
struct TButtonLook {
  int Width = 40;
  int Height = 40;
  uint32_t BorderWidth = 1;
  TFrameStyle FrameStyle = fsExplorer;
  TTextAlign TextAlign = ttaCenter;
  int Spacing = 2;
  bool Transparent = true;
  bool Enabled = true;
  bool DrawPressed = false;
  bool ShowPressed = true;
  bool MouseInside = false;
  bool Down = false;
  bool AutoGray = true;
  bool WordWrap = false;
  std::string Caption;
  HFONT Font = nullptr;
  COLORREF FontColor = RGB(0, 0, 0);
  // The prepared cells (cut cells, gray, disabled) and the size of the whole glyph strip.
  HIMAGELIST GlyphCells = nullptr;
  int GlyphWidth = 0;
  int GlyphHeight = 0;
  int NumGlyphs = 1;
};

// Width bevels, A on the top and left, B on the bottom and right, each inside the last; R
// ends shrunk by Width on every side.
void BevelFrame(HDC DC, RECT& R, COLORREF A, COLORREF B, uint32_t Width);

void PaintTransparentButton(HDC DC, const TButtonLook& Look);
