// The About dialogs' common window: its parts, keys and the link.
#include "components/AboutDialog.h"

#include <utility>

#include "components/FmxUtils.h"
#include "components/SkinDialog.h"

TAboutDialog::TAboutDialog(TComponent* Owner, const char* WindowClass, std::string WebAddress)
    : TForm(Owner, WindowClass),
      TWindowDrag(*this, AboutDragging, AboutDragX, AboutDragY),
      WebAddress(std::move(WebAddress)) {
  SetUpSkinDialog(*this, "About Quillo");

  BackGround = NewBackGround(*this);
  Image1 = new TImage(this);
  Image1->Name = "Image1";
  Image1->SetStretch(true);
  Image1->SetTransparent(true);
  Image1->SetParent(this);

  Label7 = NewSkinLabel(*this, "Label7", "", 0, 0);
  Label7->SetAutoSize(false);
  Label7->Font().SetStyle(fsBold | fsUnderline);
  Label7->SetCursor(crHandPoint);

  TransparentButton1 = NewSkinButton(*this, "TransparentButton1", "&OK", 96, 256, 105, 24);

  OnKeyPress = [this](TObject* S, char& Key) { FormKeyPress(S, Key); };
  DragBy({this, BackGround, Image1});
  TransparentButton1->OnClick = [this](TObject* S) { TransparentButton1Click(S); };
  Label7->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    Label7MouseDown(S, B, Sh, X, Y);
  };
  Label7->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    Label7MouseUp(S, B, Sh, X, Y);
  };
  Label7->OnClick = [this](TObject* S) { Label7Click(S); };
  OnCreate = [this](TObject* S) { FormCreate(S); };
}

void TAboutDialog::FormCreate(TObject*) { RemoveCaptionBar(*this); }

void TAboutDialog::FormKeyPress(TObject*, char& Key) {
  if (Key != '\r' && Key != '\x1B') return;
  Key = 0;
  Close();
}

void TAboutDialog::TransparentButton1Click(TObject*) { Close(); }

void TAboutDialog::Label7MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  Label7->Font().SetColor(clAqua);
}

void TAboutDialog::Label7MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  Label7->Font().SetColor(clWhite);
}

void TAboutDialog::Label7Click(TObject*) { ShellOpen(WebAddress, "", "", SW_SHOW); }
