// The transparent button's properties, glyph cells, and its press, move and release handling.
#include "components/TransBtn.h"

#include <algorithm>

#include "components/TransBtnGlyphs.h"
#include "toolkit/Menus.h"

namespace {

// Letters compare as the system's code page cases them.
char Upper(char C) {
  return static_cast<char>(reinterpret_cast<UINT_PTR>(
      CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(C))))));
}

}  // namespace

TTransparentButton::TTransparentButton(TComponent* Owner)
    : TGraphicControl(Owner), GlyphCells(CreateGlyphCells()) {
  SetBounds(0, 0, 40, 40);
  DoubleClicks = false;
  GlyphBitmap.OnChange = [this](TObject*) { GlyphChanged(); };
}

TTransparentButton::~TTransparentButton() {
  *Alive = false;
  if (GlyphCells) ImageList_Destroy(GlyphCells);
}

void TTransparentButton::SetBorderWidth(uint32_t Value) {
  if (Value == Border) return;
  Border = Value;
  Invalidate();
}

void TTransparentButton::SetDown(bool Value) {
  if (Value == Latched) return;
  Latched = Tracking = DrawPressed = Value;
  Repaint();
}

void TTransparentButton::SetFrameStyle(TFrameStyle Value) {
  if (Value == Style) return;
  Style = Value;
  Invalidate();
}

void TTransparentButton::SetNumGlyphs(TNumGlyphs Value) {
  Value = std::clamp(Value, MinNumGlyphs, MaxNumGlyphs);
  if (Value == Cells) return;
  Cells = Value;
  Invalidate();
}

void TTransparentButton::SetPopUpMenu(TPopupMenu* Menu) {
  if (Menu == PressMenu) return;
  if (PressMenu) RemoveFreeNotification(PressMenu);
  PressMenu = Menu;
  if (PressMenu) FreeNotification(PressMenu);
}

void TTransparentButton::SetSpacing(int Value) {
  if (Value == Gap) return;
  Gap = Value;
  Invalidate();
}

void TTransparentButton::SetTextAlign(TTextAlign Value) {
  if (Value == Align) return;
  Align = Value;
  Invalidate();
}

void TTransparentButton::SetTransparent(bool Value) {
  if (Value == SeeThrough) return;
  SeeThrough = Value;
  Invalidate();
}

void TTransparentButton::SetWordWrap(bool Value) {
  if (Value == Wrap) return;
  Wrap = Value;
  Invalidate();
}

TButtonLook TTransparentButton::Look() const {
  TButtonLook L;
  L.Width = Width();
  L.Height = Height();
  L.BorderWidth = Border;
  L.FrameStyle = Style;
  L.TextAlign = Align;
  L.Spacing = Gap;
  L.Transparent = SeeThrough;
  L.Enabled = Enabled();
  L.DrawPressed = DrawPressed;
  L.ShowPressed = Sinks;
  L.MouseInside = MouseInside;
  L.Down = Latched;
  L.AutoGray = GrayWhenAway;
  L.WordWrap = Wrap;
  L.Caption = Caption();
  L.Font = Font().Handle();
  L.FontColor = ColorToRGB(Font().Color());
  if (!GlyphBitmap.Empty()) {
    L.GlyphCells = GlyphCells;
    L.GlyphWidth = GlyphBitmap.Width();
    L.GlyphHeight = GlyphBitmap.Height();
  }
  L.NumGlyphs = Cells;
  return L;
}

void TTransparentButton::Paint(HDC DC) { PaintTransparentButton(DC, Look()); }

void TTransparentButton::GlyphChanged() {
  Invalidate();
  if (GlyphBitmap.Height() == 0) return;
  SetNumGlyphs(NumGlyphsForGlyph(GlyphBitmap.Width(), GlyphBitmap.Height(), Cells));
  BuildGlyphCells();
}

void TTransparentButton::BuildGlyphCells() {
  if (GlyphBitmap.Empty()) return;
  ::BuildGlyphCells(GlyphCells, PixelsOfBitmap(GlyphBitmap.Handle()), Cells);
  Invalidate();
}

void TTransparentButton::Notification(TComponent* Component, TOperation Operation) {
  TGraphicControl::Notification(Component, Operation);
  if (Operation == opRemove && Component == PressMenu) PressMenu = nullptr;
}

void TTransparentButton::MouseEnter() {
  if (!Enabled()) return;
  MouseInside = true;
  if (OnMouseEnter) OnMouseEnter(this);
  if (Style == fsExplorer) Repaint();
}

void TTransparentButton::MouseLeave() {
  if (!Enabled()) return;
  MouseInside = false;
  if (OnMouseExit) OnMouseExit(this);
  if (Style == fsExplorer) Repaint();
}

bool TTransparentButton::DialogChar(char Key, TShiftState Shift) {
  const char Mnemonic = CaptionMnemonic(Caption());
  if (Mnemonic != 0 && Enabled() && Upper(Key) == Upper(Mnemonic)) {
    Click();
    return true;
  }
  return TGraphicControl::DialogChar(Key, Shift);
}

void TTransparentButton::EnabledChanged() {
  TGraphicControl::EnabledChanged();
  if (!Enabled()) DrawPressed = Tracking = MouseHeld = MouseInside = false;
  Repaint();
}

void TTransparentButton::CaptionChanged() {
  TGraphicControl::CaptionChanged();
  Invalidate();
}

void TTransparentButton::FontChanged() {
  TGraphicControl::FontChanged();
  Invalidate();
}

bool TTransparentButton::Inside(int X, int Y) const {
  const RECT R{0, 0, Width(), Height()};
  return PtInRect(&R, POINT{X, Y});
}

void TTransparentButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Enabled() || MouseHeld) return;
  MouseHeld = true;
  if (Dragable) GrabPoint = {X, Y};
  const std::shared_ptr<bool> StillAlive = Alive;
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!*StillAlive) return;
  if (Inside(X, Y)) {
    Tracking = DrawPressed = true;
    Repaint();
  }
  if (!PressMenu) return;
  const POINT Corner = ClientToScreen({0, Height()});
  PressMenu->Popup(Corner.x, Corner.y);
  if (!*StillAlive) return;
  // The menu took the press; its release must not reach anyone as a click.
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_REMOVE)) {
  }
  MouseUp(Button, Shift, X, Y);
}

void TTransparentButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!Tracking) return;
  // Tracking, not the press, decides: a latched Movable button follows the pointer as well,
  // keeping the point of its last press under it.
  if (Dragable) {
    SetTop(Top() + Y - GrabPoint.y);
    SetLeft(Left() + X - GrabPoint.x);
  }
  const bool Over = Inside(X, Y);
  if (Over != DrawPressed) {
    DrawPressed = Over;
    Repaint();
  }
}

void TTransparentButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Enabled() || !MouseHeld) return;
  MouseHeld = false;
  // A latched button ends its press here: its look stays as it is and no OnMouseUp is raised.
  if (Latched) return;
  Tracking = DrawPressed = false;
  Repaint();
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}
