// The button's background, state frames, glyph cell and caption for all seven frame styles.
#include "components/TransBtnPaint.h"

#include <algorithm>
#include <climits>

#include "toolkit/Graphics.h"

namespace {

constexpr COLORREF Black = RGB(0, 0, 0);

// One pen at a time, selected for as long as it lives.
class TSelectedPen {
public:
  TSelectedPen(HDC DC, COLORREF Colour, int Width)
      : Pen(CreatePen(PS_SOLID, Width, Colour)), Selected(DC, Pen.Get()) {}

private:
  TPen Pen;
  TSelection Selected;
};

int Saturated(int64_t Value) {
  return static_cast<int>(std::clamp<int64_t>(Value, INT_MIN, INT_MAX));
}

void Shrink(RECT& R, uint32_t By) {
  R = {Saturated(int64_t{R.left} + By), Saturated(int64_t{R.top} + By),
       Saturated(int64_t{R.right} - By), Saturated(int64_t{R.bottom} - By)};
}

// Rings of a bevel on the inclusive rectangle R after which every line lies outside the
// surface's clip box: a huge BorderWidth then paints the same and cannot stall the paint.
uint32_t VisibleRings(HDC DC, const RECT& R) {
  RECT Clip;
  if (GetClipBox(DC, &Clip) == ERROR) return 0;
  const int64_t Rings =
      std::max({int64_t{Clip.right} - R.left, int64_t{R.right} - Clip.left + 1,
                int64_t{Clip.bottom} - R.top, int64_t{R.bottom} - Clip.top + 1, int64_t{0}});
  return static_cast<uint32_t>(std::min<int64_t>(Rings, UINT32_MAX));
}

// A rectangle filled with Face and outlined with a pen of the border width.
void OutlinedRectangle(HDC DC, const RECT& R, COLORREF Outline, COLORREF Face, uint32_t Width) {
  TSelectedPen Pen(DC, Outline, static_cast<int>(Width));
  TBrush Brush(CreateSolidBrush(Face));
  TSelection Selected(DC, Brush.Get());
  Rectangle(DC, R.left, R.top, R.right, R.bottom);
}

void PaintBackground(HDC DC, const TButtonLook& Look, const TButtonColors& C, uint32_t BW) {
  const int W = Look.Width, H = Look.Height;
  // A pen twice as wide as the button already covers all of it.
  const uint32_t PenWidth = std::min<uint32_t>(BW, 2 * (std::max(W, H) + 1));
  switch (Look.FrameStyle) {
    case fsRegular:
      if (Look.Transparent) {
        RECT R{1, 1, W, H};
        BevelFrame(DC, R, Black, Black, BW);
      } else {
        OutlinedRectangle(DC, {1, 1, W, H}, Black, C.Face, PenWidth);
      }
      break;
    case fsIndent: {
      if (Look.Transparent) {
        RECT Outer{0, 0, W - 1, H - 1};
        BevelFrame(DC, Outer, C.Shadow, C.Shadow, BW);
      } else {
        OutlinedRectangle(DC, {0, 0, W - 1, H - 1}, C.Shadow, C.Face, PenWidth);
      }
      RECT Inner{1, 1, W, H};
      BevelFrame(DC, Inner, C.Highlight, C.Highlight, BW);
      break;
    }
    default:
      if (!Look.Transparent) FillSolid(DC, {0, 0, W, H}, C.Face);
      break;
  }
}

struct TBevel {
  COLORREF A, B;
  uint32_t Width;
};

void PaintStateFrame(HDC DC, const TButtonLook& Look, const TButtonColors& C, uint32_t BW) {
  TBevel Bevels[2];
  int Count = 0;
  auto Add = [&](COLORREF A, COLORREF B, uint32_t Width) { Bevels[Count++] = {A, B, Width}; };
  const bool Pressed = Look.DrawPressed;
  const bool Sunken = Pressed && Look.ShowPressed;
  switch (Look.FrameStyle) {
    case fsRegular:
      if (!Pressed) {
        Add(C.Highlight, Black, BW);
        Add(C.Face, C.Shadow, BW);
      } else if (Sunken) {
        Add(Black, C.Highlight, BW);
        Add(C.Shadow, C.Face, BW);
      }
      break;
    case fsIndent:
      if (!Pressed) {
        Add(C.Shadow, C.Highlight, BW);
      } else if (Sunken) {
        Add(Black, C.Highlight, BW);
        Add(C.Shadow, C.Face, BW);
      }
      break;
    case fsExplorer:
      if (!Pressed) {
        if (Look.MouseInside) Add(C.Highlight, C.Shadow, BW);
      } else if (Look.MouseInside || Look.Down) {
        if (Look.ShowPressed) {
          Add(C.Shadow, C.Highlight, BW);
        } else {
          Add(C.Highlight, C.Shadow, BW);
        }
      }
      break;
    case fsNone: break;
    case fsLight:
      if (!Pressed) {
        Add(C.Highlight, C.Shadow, 1);
      } else if (Sunken) {
        Add(C.Shadow, C.Highlight, 1);
      }
      break;
    case fsDark:
      if (!Pressed) {
        Add(C.Face, C.DarkShadow, 1);
      } else if (Sunken) {
        Add(C.DarkShadow, C.Face, 1);
      }
      break;
    case fsMono:
      if (!Pressed) {
        Add(C.Highlight, C.DarkShadow, 1);
      } else if (Sunken) {
        Add(C.DarkShadow, C.Highlight, 1);
      }
      break;
  }
  RECT R{0, 0, Look.Width, Look.Height};
  for (int I = 0; I < Count; ++I) BevelFrame(DC, R, Bevels[I].A, Bevels[I].B, Bevels[I].Width);
}

void PaintGlyph(HDC DC, const TButtonLook& Look, const TButtonColors& C, TBox G) {
  TCellChoice Choice;
  Choice.NumGlyphs = Look.NumGlyphs;
  Choice.Enabled = Look.Enabled;
  Choice.DrawPressed = Look.DrawPressed;
  Choice.FrameStyle = Look.FrameStyle;
  Choice.AutoGray = Look.AutoGray;
  Choice.MouseInside = Look.MouseInside;
  Choice.CellCount = Look.GlyphCells ? ImageList_GetImageCount(Look.GlyphCells) : 0;
  const int Index = GlyphCellIndex(Choice);
  if (Index < 0) return;
  if (Look.DrawPressed && Look.ShowPressed) {
    ++G.Left;
    ++G.Top;
  }
  if (Look.Transparent) {
    ImageList_DrawEx(Look.GlyphCells, Index, DC, G.Left, G.Top, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_TRANSPARENT);
  } else {
    ImageList_DrawEx(Look.GlyphCells, Index, DC, G.Left, G.Top, 0, 0, C.Face, CLR_DEFAULT,
                     ILD_NORMAL);
  }
}

void PaintCaption(HDC DC, const TButtonLook& Look, const TButtonColors& C, const TBox& G) {
  if (Look.Font) SelectObject(DC, Look.Font);
  const UINT Breaking = Look.WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  RECT T{0, 0, Look.Width, Look.Height};
  DrawTextA(DC, Look.Caption.c_str(), -1, &T, DT_CALCRECT | Breaking);
  const TOffset Move = CaptionOffset(Look.TextAlign, Look.Width, Look.Height, T.right - T.left,
                                     T.bottom - T.top, G, Look.Spacing);
  OffsetRect(&T, Move.DX, Move.DY);
  if (Look.DrawPressed && Look.ShowPressed) OffsetRect(&T, 1, 1);
  SetBkMode(DC, TRANSPARENT);
  // No DT_NOPREFIX: "&" underlines the mnemonic letter.
  const UINT Flags = DT_CENTER | DT_NOCLIP | Breaking;
  if (Look.Enabled) {
    SetTextColor(DC, Look.FontColor);
    DrawTextA(DC, Look.Caption.c_str(), -1, &T, Flags);
  } else {
    // Engraved: a highlight one pixel down and right, the shadow in place.
    RECT Lit = T;
    OffsetRect(&Lit, 1, 1);
    SetTextColor(DC, C.Highlight);
    DrawTextA(DC, Look.Caption.c_str(), -1, &Lit, Flags);
    SetTextColor(DC, C.Shadow);
    DrawTextA(DC, Look.Caption.c_str(), -1, &T, Flags);
  }
}

}  // namespace

TButtonColors TButtonColors::System() {
  return {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT),
          GetSysColor(COLOR_3DDKSHADOW)};
}

void BevelFrame(HDC DC, RECT& R, COLORREF A, COLORREF B, uint32_t Width) {
  --R.right;
  --R.bottom;
  const uint32_t Drawn = std::min(Width, VisibleRings(DC, R));
  {
    TSelectedPen PenA(DC, A, 1);
    TPen PenB(CreatePen(PS_SOLID, 1, B));
    const HGDIOBJ Pens[2] = {GetCurrentObject(DC, OBJ_PEN), PenB.Get()};
    for (uint32_t I = 0; I < Drawn; ++I) {
      // Polyline leaves out its last point.
      const POINT TopLeft[3] = {{R.left, R.bottom}, {R.left, R.top}, {R.right, R.top}};
      SelectObject(DC, Pens[0]);
      Polyline(DC, TopLeft, 3);
      const POINT BottomRight[3] = {{R.right, R.top}, {R.right, R.bottom}, {R.left - 1, R.bottom}};
      SelectObject(DC, Pens[1]);
      Polyline(DC, BottomRight, 3);
      InflateRect(&R, -1, -1);
    }
    SelectObject(DC, Pens[0]);
  }
  Shrink(R, Width - Drawn);
  ++R.right;
  ++R.bottom;
}

void PaintTransparentButton(HDC DC, const TButtonLook& Look) {
  const TButtonColors C = TButtonColors::System();
  const uint32_t BW = Look.BorderWidth;
  const int Saved = SaveDC(DC);
  PaintBackground(DC, Look, C, BW);
  PaintStateFrame(DC, Look, C, BW);
  const TBox G = GlyphBox(Look.TextAlign, Look.Width, Look.Height, Look.GlyphWidth,
                          Look.GlyphHeight, Look.NumGlyphs, Look.Spacing);
  if (Look.GlyphWidth > 0 && Look.GlyphHeight > 0) PaintGlyph(DC, Look, C, G);
  if (!Look.Caption.empty()) PaintCaption(DC, Look, C, G);
  RestoreDC(DC, Saved);
}
