// Pictures on forms.
#include "toolkit/ExtCtrls.h"

TImage::TImage(TComponent* Owner) : TGraphicControl(Owner) {
  SetBounds(0, 0, 105, 105);
  Picture.OnChange = [this](TObject*) { Invalidate(); };
}

void TImage::SetStretch(bool Value) {
  if (Value == StretchPicture) return;
  StretchPicture = Value;
  Invalidate();
}

void TImage::SetTransparent(bool Value) {
  if (Value == TransparentPicture) return;
  TransparentPicture = Value;
  Invalidate();
}

void TImage::Paint(HDC DC) {
  if (Picture.Empty()) return;
  if (StretchPicture)
    Picture.Draw(DC, 0, 0, Width(), Height(), TransparentPicture);
  else
    Picture.Draw(DC, 0, 0, Picture.Width(), Picture.Height(), TransparentPicture);
}
