// Labels: captions drawn on their parent.
#include "toolkit/StdCtrls.h"

TLabel::TLabel(TComponent* Owner) : TGraphicControl(Owner) { SetBounds(0, 0, 65, 17); }

void TLabel::SetTransparent(bool Value) {
  if (Value != SeeThrough) { SeeThrough = Value; Invalidate(); }
}

void TLabel::SetColor(TColor Value) {
  if (Value != Background) { Background = Value; Invalidate(); }
}

void TLabel::SetWordWrap(bool Value) {
  if (Value != Wrap) { Wrap = Value; AdjustBounds(); Invalidate(); }
}

void TLabel::SetAlignment(TAlignment Value) {
  if (Value != TextAlignment) { TextAlignment = Value; Invalidate(); }
}

void TLabel::SetAutoSize(bool Value) {
  FitText = Value;
  AdjustBounds();
}

void TLabel::SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  TGraphicControl::SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
  AdjustBounds();
}

void TLabel::CaptionChanged() {
  AdjustBounds();
  TGraphicControl::CaptionChanged();
}

void TLabel::FontChanged() {
  AdjustBounds();
  TGraphicControl::FontChanged();
}

void TLabel::AdjustBounds() {
  if (!FitText) return;
  RECT Area{0, 0, Wrap ? Width() : 0, 0};
  {
    TWindowDC Screen;
    TSelection Selected(Screen.Get(), Font().Handle());
    // An empty caption still takes a line's height, as the label would show one.
    const std::string Text = Caption().empty() ? " " : Caption();
    DrawTextA(Screen.Get(), Text.c_str(), -1, &Area, DT_CALCRECT | (Wrap ? DT_WORDBREAK : DT_SINGLELINE));
  }
  TGraphicControl::SetBounds(Left(), Top(), Wrap ? Width() : Area.right, Area.bottom);
}

void TLabel::Paint(HDC DC) {
  RECT Area{0, 0, Width(), Height()};
  if (!SeeThrough) FillSolid(DC, Area, ColorToRGB(Background));
  if (Caption().empty()) return;
  SelectObject(DC, Font().Handle());
  SetBkMode(DC, TRANSPARENT);
  UINT Flags = Wrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (TextAlignment == taCenter) Flags |= DT_CENTER;
  if (TextAlignment == taRightJustify) Flags |= DT_RIGHT;
  if (Enabled()) {
    SetTextColor(DC, ColorToRGB(Font().Color()));
    DrawTextA(DC, Caption().c_str(), -1, &Area, Flags);
  } else {
    // The engraved look of disabled text.
    RECT Shifted = Area;
    OffsetRect(&Shifted, 1, 1);
    SetTextColor(DC, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(DC, Caption().c_str(), -1, &Shifted, Flags);
    SetTextColor(DC, GetSysColor(COLOR_BTNSHADOW));
    DrawTextA(DC, Caption().c_str(), -1, &Area, Flags);
  }
}
