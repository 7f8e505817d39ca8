// The pieces the skinned dialogs are made of.
#include "components/SkinDialog.h"

void SetUpSkinDialog(TForm& Form, const std::string& Caption) {
  Form.SetBorderStyle(bsDialog);
  Form.SetBorderIcons(0);
  Form.SetCaption(Caption);
  Form.SetColor(clBlue);
  Form.Font().SetName("MS Sans Serif");
  Form.Font().SetHeight(-13);
  Form.SetPosition(poScreenCenter);
  Form.SetClientSize(SkinDialogSize, SkinDialogSize);
}

void RemoveCaptionBar(TForm& Form) {
  const int Width = Form.ClientWidth(), Height = Form.ClientHeight();
  HWND Window = Form.Handle();
  SetWindowLongA(Window, GWL_STYLE,
                 GetWindowLongA(Window, GWL_STYLE) & ~static_cast<LONG>(WS_CAPTION));
  // Without its caption bar a dialog keeps the frame of WS_EX_DLGMODALFRAME, a few pixels on
  // every side that would shorten the client area; it goes too.
  SetWindowLongA(Window, GWL_EXSTYLE,
                 GetWindowLongA(Window, GWL_EXSTYLE) &
                     ~static_cast<LONG>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
  SetWindowPos(Window, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Form.SetClientSize(Width, Height);
}

TImage* NewBackGround(TForm& Form) {
  auto* Image = new TImage(&Form);
  Image->Name = "BackGround";
  Image->SetStretch(true);
  Image->SetAlign(alClient);
  Image->SetParent(&Form);
  return Image;
}

TTransparentButton* NewSkinButton(TForm& Form, const char* Name, const std::string& Caption,
                                  int Left, int Top, int Width, int Height) {
  auto* Button = new TTransparentButton(&Form);
  Button->Name = Name;
  Button->SetBounds(Left, Top, Width, Height);
  Button->SetCaption(Caption);
  Button->SetFrameStyle(fsDark);
  Button->Font().SetName("MS Sans Serif");
  Button->Font().SetHeight(-13);
  Button->Font().SetStyle(fsBold);
  Button->Font().SetColor(clWhite);
  Button->SetCursor(crHandPoint);
  Button->SetParent(&Form);
  return Button;
}

TLabel* NewSkinLabel(TForm& Form, const char* Name, const std::string& Caption, int Left,
                     int Top, int Height) {
  auto* Label = new TLabel(&Form);
  Label->Name = Name;
  Label->SetBounds(Left, Top, 0, 0);
  Label->SetTransparent(true);
  Label->Font().SetName("MS Sans Serif");
  Label->Font().SetHeight(-Height);
  Label->Font().SetStyle(fsBold);
  Label->Font().SetColor(clWhite);
  Label->SetAutoSize(true);
  Label->SetCaption(Caption);
  Label->SetParent(&Form);
  return Label;
}
