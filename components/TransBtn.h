// TTransparentButton: the flat windowless push button of the skinned windows.
#pragma once

#include <cstdint>
#include <memory>

#include "components/TransBtnGeometry.h"
#include "components/TransBtnPaint.h"
#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

class TPopupMenu;

// A push button without a window of its own: it paints onto its parent, so with Transparent
// on the parent's picture shows wherever it draws nothing. Seven frame styles, a glyph strip
// of up to four cells (normal, disabled, pressed, unused) with derived gray and embossed
// images, nine arrangements of caption and glyph, a latched Down look, a menu opened by any
// press, and a Movable mode in which the user drags it about its parent.
class TTransparentButton : public TGraphicControl {
public:
  explicit TTransparentButton(TComponent* Owner);
  ~TTransparentButton() override;

  // fsExplorer only: the gray image while the pointer is not over the button.
  bool AutoGray() const { return GrayWhenAway; }
  void SetAutoGray(bool Value) { GrayWhenAway = Value; }
  uint32_t BorderWidth() const { return Border; }
  void SetBorderWidth(uint32_t Value);
  // Latched: the pressed look without a press; clicks still come through.
  bool Down() const { return Latched; }
  void SetDown(bool Value);
  TFrameStyle FrameStyle() const { return Style; }
  void SetFrameStyle(TFrameStyle Value);
  // An owned copy; whenever its picture changes the cells are cut again and NumGlyphs follows
  // a strip of square cells.
  TBitmap& Glyph() { return GlyphBitmap; }
  const TBitmap& Glyph() const { return GlyphBitmap; }
  void SetGlyph(const TBitmap& Value) { GlyphBitmap.Assign(Value); }
  // Changing it repaints but does not cut the cells again.
  TNumGlyphs NumGlyphs() const { return Cells; }
  void SetNumGlyphs(TNumGlyphs Value);
  // Opened below the button by a press of any mouse button; not owned. (PopupMenu, the
  // toolkit's context menu, is a different one.)
  TPopupMenu* PopUpMenu() const { return PressMenu; }
  void SetPopUpMenu(TPopupMenu* Menu);
  // Whether the pressed look shows: sunken frame, glyph and caption one pixel down and right.
  bool ShowPressed() const { return Sinks; }
  void SetShowPressed(bool Value) { Sinks = Value; }
  int Spacing() const { return Gap; }
  void SetSpacing(int Value);
  TTextAlign TextAlign() const { return Align; }
  void SetTextAlign(TTextAlign Value);
  bool Transparent() const { return SeeThrough; }
  void SetTransparent(bool Value);
  bool WordWrap() const { return Wrap; }
  void SetWordWrap(bool Value);
  bool Movable() const { return Dragable; }
  void SetMovable(bool Value) { Dragable = Value; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;

  // Everything the next paint will show, as the painter takes it.
  TButtonLook Look() const;

protected:
  void Paint(HDC DC) override;
  void Notification(TComponent* Component, TOperation Operation) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool DialogChar(char Key, TShiftState Shift) override;
  void EnabledChanged() override;
  void CaptionChanged() override;
  void FontChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void GlyphChanged();
  void BuildGlyphCells();
  bool Inside(int X, int Y) const;

  bool GrayWhenAway = true;
  uint32_t Border = 1;
  bool Latched = false;
  TFrameStyle Style = fsExplorer;
  TBitmap GlyphBitmap;
  TNumGlyphs Cells = 1;
  TPopupMenu* PressMenu = nullptr;
  bool Sinks = true;
  int Gap = 2;
  TTextAlign Align = ttaCenter;
  bool SeeThrough = true;
  bool Wrap = false;
  bool Dragable = false;

  bool MouseHeld = false;    // a press is being handled; others wait for its release
  bool Tracking = false;     // the pressed look follows the pointer
  bool DrawPressed = false;  // paint the pressed look
  bool MouseInside = false;  // the pointer is over the button: the hot look
  POINT GrabPoint{0, 0};     // where a Movable button was taken hold of
  // The cut cells, then the gray image, then the embossed disabled image.
  HIMAGELIST GlyphCells;
  // Cleared when the button is destroyed, so a press that ran a handler freeing it stops.
  std::shared_ptr<bool> Alive = std::make_shared<bool>(true);
};
