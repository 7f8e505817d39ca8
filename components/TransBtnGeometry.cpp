// Glyph box, caption offsets, glyph cell choice and the caption's mnemonic.
#include "components/TransBtnGeometry.h"

#include <algorithm>
#include <climits>

namespace {

// Sums are taken in 64 bits and brought back into range, so no Spacing overflows.
int Clamped(int64_t Value) {
  return static_cast<int>(std::clamp<int64_t>(Value, INT_MIN, INT_MAX));
}

bool CaptionOnTop(TTextAlign Align) {
  return Align == ttaTopLeft || Align == ttaTop || Align == ttaTopRight;
}

bool CaptionOnBottom(TTextAlign Align) {
  return Align == ttaBottomLeft || Align == ttaBottom || Align == ttaBottomRight;
}

}  // namespace

int GlyphCellWidth(int GlyphWidth, int NumGlyphs) {
  int Cell = NumGlyphs > 0 ? GlyphWidth / NumGlyphs : GlyphWidth;
  return Cell <= 0 ? GlyphWidth : Cell;
}

TBox GlyphBox(TTextAlign Align, int W, int H, int GlyphWidth, int GlyphHeight, int NumGlyphs,
              int Spacing) {
  const int64_t CW = GlyphCellWidth(GlyphWidth, NumGlyphs);
  const int64_t GH = GlyphHeight;
  const int64_t CentredX = (W - CW) / 2;
  const int64_t CentredY = (H - GH) / 2;
  int64_t X = CentredX, Y = CentredY;
  if (CaptionOnTop(Align)) {
    Y = H - GH - Spacing;
  } else if (CaptionOnBottom(Align)) {
    Y = Spacing;
  } else if (Align == ttaRight) {
    X = Spacing;
  } else if (Align == ttaLeft) {
    X = W - CW - Spacing;
  }
  return {Clamped(X), Clamped(Y), Clamped(X + CW), Clamped(Y + GH)};
}

TOffset CaptionOffset(TTextAlign Align, int W, int H, int TextWidth, int TextHeight,
                      const TBox& Glyph, int Spacing) {
  // Each half is truncated on its own: W div 2 - tw div 2, not (W - tw) div 2.
  const int64_t CentreX = int64_t{W / 2} - TextWidth / 2;
  const int64_t CentreY = int64_t{H / 2} - TextHeight / 2;
  const int64_t LeftX = Spacing;
  const int64_t RightX = int64_t{W} - TextWidth - Spacing;
  const int64_t AboveY = int64_t{Glyph.Top} - TextHeight - Spacing;
  const int64_t BelowY = int64_t{Glyph.Bottom} + Spacing;
  int64_t DX = CentreX, DY = CentreY;
  switch (Align) {
    case ttaTopLeft:
      DX = LeftX;
      DY = AboveY;
      break;
    case ttaTop: DY = AboveY; break;
    case ttaTopRight:
      DX = RightX;
      DY = AboveY;
      break;
    case ttaRight: DX = RightX; break;
    case ttaBottomRight:
      DX = RightX;
      DY = BelowY;
      break;
    case ttaBottom: DY = BelowY; break;
    case ttaBottomLeft:
      DX = LeftX;
      DY = BelowY;
      break;
    case ttaLeft: DX = LeftX; break;
    case ttaCenter: break;
  }
  return {Clamped(DX), Clamped(DY)};
}

TNumGlyphs NumGlyphsForGlyph(int GlyphWidth, int GlyphHeight, TNumGlyphs Current) {
  if (GlyphHeight <= 0 || GlyphWidth <= 0 || GlyphWidth % GlyphHeight != 0) return Current;
  const int Cells = GlyphWidth / GlyphHeight;
  return Cells <= MaxNumGlyphs ? static_cast<TNumGlyphs>(Cells) : MinNumGlyphs;
}

int GlyphCellIndex(const TCellChoice& Choice) {
  int Index = 0;
  if (Choice.NumGlyphs == 2) {
    Index = Choice.Enabled ? 0 : 1;
  } else if (Choice.NumGlyphs >= 3) {
    Index = !Choice.Enabled ? 1 : Choice.DrawPressed ? 2 : 0;
  }
  if (Choice.FrameStyle == fsExplorer && Choice.AutoGray && !Choice.MouseInside) {
    Index = Choice.CellCount - 2;
  }
  // The disabled image of a one-cell glyph wins over everything else.
  if (!Choice.Enabled && Choice.NumGlyphs == 1) Index = Choice.CellCount - 1;
  return Index >= 0 && Index < Choice.CellCount ? Index : -1;
}

char CaptionMnemonic(std::string_view Caption) {
  for (size_t I = 0; I + 1 < Caption.size(); ++I) {
    if (Caption[I] != '&') continue;
    if (Caption[I + 1] != '&') return Caption[I + 1];
    ++I;
  }
  return 0;
}
