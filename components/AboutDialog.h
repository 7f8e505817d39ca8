// The shape both About dialogs share: a skinned 300 x 300 window without caption bar, covered
// by its background picture, with a logo, an OK button and a link label that opens a web
// address. The user moves it by dragging its picture and closes it with OK, Enter or Escape.
#pragma once

#include <cstdint>
#include <string>

#include "components/TransBtn.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/WindowDrag.h"

// Its FormMouseDown, FormMouseMove, FormMouseUp and FormCaptureLost drag it, bound to the form,
// BackGround and Image1.
class TAboutDialog : public TForm, public TWindowDrag {
public:
  TImage* BackGround;
  TImage* Image1;  // the logo, drawn transparent
  TTransparentButton* TransparentButton1;
  TLabel* Label7;  // the link

  // What the link opens in the user's browser.
  const std::string WebAddress;

  // A window drag in progress and where it took hold, in the pressed control's coordinates.
  bool AboutDragging = false;
  int32_t AboutDragX = 0;
  int32_t AboutDragY = 0;

  void FormCreate(TObject* Sender);
  void FormKeyPress(TObject* Sender, char& Key);
  void TransparentButton1Click(TObject* Sender);
  void Label7MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Label7MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Label7Click(TObject* Sender);

protected:
  // Makes the window and the parts both dialogs have; the dialog places the logo and the link
  // and adds its own labels, then calls DoCreate.
  TAboutDialog(TComponent* Owner, const char* WindowClass, std::string WebAddress);
};
