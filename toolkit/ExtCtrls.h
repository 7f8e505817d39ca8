// Pictures on forms.
#pragma once

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

// A windowless picture. Empty pictures draw nothing, so what lies beneath shows.
class TImage : public TGraphicControl {
public:
  explicit TImage(TComponent* Owner);

  // The picture; changing it repaints the image.
  TBitmap Picture;
  // Stretch: the picture fills the control; otherwise drawn at its own size at the top left.
  bool Stretch() const { return StretchPicture; }
  void SetStretch(bool Value);
  // Transparent: pixels of the picture's bottom-left colour are not drawn.
  bool Transparent() const { return TransparentPicture; }
  void SetTransparent(bool Value);

protected:
  void Paint(HDC DC) override;

private:
  bool StretchPicture = false;
  bool TransparentPicture = false;
};
