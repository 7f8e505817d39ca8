// Paints every frame style, look and caption alignment of the transparent button into one
// .bmp file, so a person can compare them side by side.
//
//   transbtn_gallery [OUTPUT.bmp]      (default TransBtnGallery.bmp)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "components/TransBtnGlyphs.h"
#include "components/TransBtnPaint.h"
#include "tests/win/TransBtnCanvas.h"

namespace {

constexpr TColorRef Key = MakeColor(255, 0, 255);
constexpr int CellSize = 16;

// A play arrow in a cell: black outline, Fill inside, a white glint.
void DrawArrow(TPixelImage& Strip, int Left, TColorRef Fill) {
  for (int Y = 2; Y < 14; ++Y) {
    const int Reach = 3 + (Y < 8 ? Y - 2 : 13 - Y) * 2;
    for (int X = 3; X <= Reach && X < 15; ++X) {
      const bool Edge = X == 3 || X == Reach || Y == 2 || Y == 13;
      Strip.At(Left + X, Y) = Edge ? PixelBlack : Fill;
    }
  }
  Strip.At(Left + 5, 6) = PixelWhite;
  Strip.At(Left + 5, 7) = PixelWhite;
}

// Normal, disabled, pressed and a fourth cell no state selects.
TPixelImage GlyphStrip() {
  TPixelImage Strip(4 * CellSize, CellSize, Key);
  DrawArrow(Strip, 0, MakeColor(40, 170, 60));
  DrawArrow(Strip, CellSize, MakeColor(150, 150, 150));
  DrawArrow(Strip, 2 * CellSize, MakeColor(20, 110, 220));
  DrawArrow(Strip, 3 * CellSize, MakeColor(230, 30, 30));
  return Strip;
}

class TFontHandle {
public:
  TFontHandle(int Height, int Weight, const char* Face)
      : Font(CreateFontA(-Height, 0, 0, 0, Weight, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, Face)) {}
  ~TFontHandle() { DeleteObject(Font); }
  TFontHandle(const TFontHandle&) = delete;
  TFontHandle& operator=(const TFontHandle&) = delete;
  operator HFONT() const { return Font; }

private:
  HFONT Font;
};

// A diagonal blend under the buttons, so what they leave transparent is plain to see.
void PaintBackdrop(TTestCanvas& Canvas, const RECT& Area) {
  for (int Y = Area.top; Y < Area.bottom; Y += 4) {
    for (int X = Area.left; X < Area.right; X += 4) {
      const int T = ((X - Area.left) + (Y - Area.top)) * 255 /
                    ((Area.right - Area.left) + (Area.bottom - Area.top));
      const bool Check = ((X / 4) + (Y / 4)) % 2 == 0;
      const int Lift = Check ? 0 : 18;
      Canvas.Fill({X, Y, X + 4, Y + 4},
                  RGB(90 + T / 3 + Lift, 140 - T / 4 + Lift, 170 + T / 4 + Lift / 2));
    }
  }
}

void Label(TTestCanvas& Canvas, HFONT Font, const std::string& Text, RECT R, UINT Align) {
  SelectObject(Canvas.DC(), Font);
  SetBkMode(Canvas.DC(), TRANSPARENT);
  SetTextColor(Canvas.DC(), RGB(0, 0, 0));
  DrawTextA(Canvas.DC(), Text.c_str(), -1, &R, Align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void PaintAt(const TTestCanvas& Canvas, int X, int Y, const TButtonLook& Look) {
  TCanvasArea Area(Canvas, X, Y, Look.Width, Look.Height);
  PaintTransparentButton(Canvas.DC(), Look);
}

enum TState { Up, Hot, Pressed, PressedFlat, Latched, Disabled, OpaqueUp, OpaquePressed };
const char* const StateNames[] = {"up",      "hot",      "pressed",   "ShowPressed off",
                                  "latched", "disabled", "opaque up", "opaque pressed"};
const char* const StyleNames[] = {"fsRegular", "fsIndent", "fsExplorer", "fsNone",
                                  "fsLight",   "fsDark",   "fsMono"};
const char* const AlignNames[] = {"ttaTopLeft",    "ttaTop",         "ttaTopRight",
                                  "ttaRight",      "ttaBottomRight", "ttaBottom",
                                  "ttaBottomLeft", "ttaLeft",        "ttaCenter"};

void ApplyState(TButtonLook& Look, TState State) {
  switch (State) {
    case Up: break;
    case Hot: Look.MouseInside = true; break;
    case Pressed: Look.MouseInside = Look.DrawPressed = true; break;
    case PressedFlat:
      Look.MouseInside = Look.DrawPressed = true;
      Look.ShowPressed = false;
      break;
    case Latched: Look.Down = Look.DrawPressed = true; break;
    case Disabled: Look.Enabled = false; break;
    case OpaqueUp:
      Look.Transparent = false;
      Look.MouseInside = true;
      break;
    case OpaquePressed:
      Look.Transparent = false;
      Look.MouseInside = Look.DrawPressed = true;
      break;
  }
}

}  // namespace

int main(int Argc, char** Argv) {
  const std::string Output = Argc > 1 ? Argv[1] : "TransBtnGallery.bmp";
  const int LabelWidth = 110, ColumnWidth = 104, RowHeight = 52, Margin = 8;
  const int StylesTop = 46, StylesBottom = StylesTop + 7 * RowHeight;
  const int AlignTop = StylesBottom + 50, AlignRowHeight = 84, AlignColumn = 120;
  const int ExtrasTop = AlignTop + AlignRowHeight + 50;
  const int Width = std::max(LabelWidth + 8 * ColumnWidth, 9 * AlignColumn) + 2 * Margin;
  const int Height = ExtrasTop + 2 * RowHeight + 4 + Margin;

  TTestCanvas Canvas(Width, Height, RGB(236, 236, 228));
  TFontHandle Heading(13, FW_BOLD, "MS Sans Serif");
  TFontHandle Small(11, FW_NORMAL, "MS Sans Serif");
  TFontHandle Skin(13, FW_BOLD, "MS Sans Serif");
  HIMAGELIST Strip = CreateGlyphCells();
  const TPixelImage StripPixels = GlyphStrip();
  BuildGlyphCells(Strip, StripPixels, 4);
  HIMAGELIST Single = CreateGlyphCells();
  BuildGlyphCells(Single, CutCell(StripPixels, 0, CellSize), 1);

  auto WithGlyph = [&](TButtonLook& Look, HIMAGELIST Cells, int Count) {
    Look.GlyphCells = Cells;
    Look.GlyphWidth = Count * CellSize;
    Look.GlyphHeight = CellSize;
    Look.NumGlyphs = Count;
  };

  // Every style in every look: glyph left, caption right.
  Label(Canvas, Heading, "Frame styles and looks (four-cell glyph strip, caption on the right)",
        {Margin, 4, Width, 22}, DT_LEFT);
  for (int S = 0; S < 8; ++S) {
    Label(Canvas, Small, StateNames[S],
          {LabelWidth + S * ColumnWidth, StylesTop - 16, LabelWidth + (S + 1) * ColumnWidth,
           StylesTop},
          DT_CENTER);
  }
  PaintBackdrop(Canvas,
                {LabelWidth - 4, StylesTop, LabelWidth + 8 * ColumnWidth + 4, StylesBottom});
  for (int Style = fsRegular; Style <= fsMono; ++Style) {
    const int Y = StylesTop + Style * RowHeight;
    Label(Canvas, Small, StyleNames[Style], {Margin, Y, LabelWidth - 8, Y + RowHeight}, DT_LEFT);
    for (int S = 0; S < 8; ++S) {
      TButtonLook Look;
      Look.Width = 92;
      Look.Height = 40;
      Look.FrameStyle = static_cast<TFrameStyle>(Style);
      Look.TextAlign = ttaRight;
      Look.Spacing = 6;
      Look.Caption = "&Play";
      Look.Font = Heading;
      Look.FontColor = RGB(0, 0, 0);
      Look.BorderWidth = 2;
      WithGlyph(Look, Strip, 4);
      ApplyState(Look, static_cast<TState>(S));
      PaintAt(Canvas, LabelWidth + S * ColumnWidth + 6, Y + 6, Look);
    }
  }

  // The nine arrangements of caption and glyph.
  Label(Canvas, Heading, "Caption alignments (fsRegular, the glyph opposite the caption)",
        {Margin, AlignTop - 40, Width, AlignTop - 22}, DT_LEFT);
  PaintBackdrop(Canvas, {Margin, AlignTop, Margin + 9 * AlignColumn, AlignTop + AlignRowHeight});
  for (int A = ttaTopLeft; A <= ttaCenter; ++A) {
    const int X = Margin + A * AlignColumn;
    Label(Canvas, Small, AlignNames[A], {X, AlignTop - 16, X + AlignColumn, AlignTop}, DT_CENTER);
    TButtonLook Look;
    Look.Width = 110;
    Look.Height = 74;
    Look.FrameStyle = fsRegular;
    Look.TextAlign = static_cast<TTextAlign>(A);
    Look.Spacing = 4;
    Look.Caption = "E&xport";
    Look.Font = Heading;
    Look.FontColor = RGB(0, 0, 0);
    WithGlyph(Look, Strip, 4);
    PaintAt(Canvas, X + 5, AlignTop + 5, Look);
  }

  // The program's own buttons, the one-cell disabled image, AutoGray and word wrap.
  Label(Canvas, Heading,
        "As the program uses them (fsDark, bold white caption), one-cell glyphs, AutoGray, "
        "word wrap",
        {Margin, ExtrasTop - 40, Width, ExtrasTop - 22}, DT_LEFT);
  Canvas.Fill({Margin, ExtrasTop, Margin + 5 * 96 + 8, ExtrasTop + RowHeight}, RGB(40, 44, 58));
  const char* const Captions[] = {"&OK", "&Add", "&Remove", "E&xport", "&Cancel"};
  for (int I = 0; I < 5; ++I) {
    TButtonLook Look;
    Look.Width = 88;
    Look.Height = 28;
    Look.FrameStyle = fsDark;
    Look.Caption = Captions[I];
    Look.Font = Skin;
    Look.FontColor = RGB(255, 255, 255);
    if (I == 1) Look.DrawPressed = Look.MouseInside = true;
    if (I == 2) Look.Enabled = false;
    PaintAt(Canvas, Margin + 8 + I * 96, ExtrasTop + 12, Look);
  }
  const int Y2 = ExtrasTop + RowHeight + 4;
  PaintBackdrop(Canvas, {Margin, Y2, Width - Margin, Y2 + RowHeight});
  struct Extra {
    const char* Caption;
    TFrameStyle Style;
    bool Enabled, Inside, AutoGray;
  };
  const Extra Extras[] = {
      {"one cell", fsLight, true, false, false},
      {"one cell off", fsLight, false, false, false},
      {"gray, away", fsExplorer, true, false, true},
      {"colour, hot", fsExplorer, true, true, true},
      {"explorer off", fsExplorer, false, false, true},
  };
  int X = Margin + 8;
  for (const Extra& E : Extras) {
    TButtonLook Look;
    Look.Width = 120;
    Look.Height = 40;
    Look.FrameStyle = E.Style;
    Look.TextAlign = ttaRight;
    Look.Caption = E.Caption;
    Look.Font = Heading;
    Look.FontColor = RGB(0, 0, 0);
    Look.Enabled = E.Enabled;
    Look.MouseInside = E.Inside;
    Look.AutoGray = E.AutoGray;
    WithGlyph(Look, Single, 1);
    PaintAt(Canvas, X, Y2 + 6, Look);
    X += 128;
  }
  TButtonLook Wrapped;
  Wrapped.Width = 140;
  Wrapped.Height = 40;
  Wrapped.FrameStyle = fsMono;
  Wrapped.WordWrap = true;
  Wrapped.Caption = "A caption long enough to wrap";
  Wrapped.Font = Small;
  Wrapped.FontColor = RGB(0, 0, 0);
  PaintAt(Canvas, X, Y2 + 6, Wrapped);

  ImageList_Destroy(Strip);
  ImageList_Destroy(Single);
  if (!Canvas.SaveBmp(Output)) {
    std::fprintf(stderr, "transbtn_gallery: cannot write %s\n", Output.c_str());
    return 1;
  }
  std::printf("%s: %d x %d\n", Output.c_str(), Width, Height);
  return 0;
}
