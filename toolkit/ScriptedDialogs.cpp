// A dialog service for tests: answers from a script and records everything shown.
#include "toolkit/ScriptedDialogs.h"

TScriptedDialogs::TScriptedDialogs() : Previous(SetDialogService(this)) {}

TScriptedDialogs::~TScriptedDialogs() { SetDialogService(Previous); }

TScriptedDialogs& TScriptedDialogs::Answer(int Button) {
  TDialogAnswer A;
  A.Button = Button;
  Answers.push_back(std::move(A));
  return *this;
}

TScriptedDialogs& TScriptedDialogs::AnswerText(bool Ok, const std::string& Value) {
  TDialogAnswer A;
  A.Ok = Ok;
  A.Value = Value;
  Answers.push_back(std::move(A));
  return *this;
}

TScriptedDialogs& TScriptedDialogs::AnswerFiles(bool Ok, const std::vector<std::string>& Files) {
  TDialogAnswer A;
  A.Ok = Ok;
  A.Files = Files;
  Answers.push_back(std::move(A));
  return *this;
}

bool TScriptedDialogs::Next(TDialogAnswer& Answer) {
  if (Answers.empty()) {
    ++Unanswered;
    return false;
  }
  Answer = std::move(Answers.front());
  Answers.pop_front();
  if (Answer.OnShow) Answer.OnShow();
  return true;
}

int TScriptedDialogs::MessageBox(HWND, const std::string& Text, const std::string& Caption,
                                 UINT Flags) {
  TShownDialog Box;
  Box.Kind = TShownDialog::dkMessageBox;
  Box.Caption = Caption;
  Box.Text = Text;
  Box.Buttons = Flags & MB_TYPEMASK;
  Box.Icon = Flags & MB_ICONMASK;
  Shown.push_back(Box);
  TDialogAnswer A;
  if (Next(A)) return A.Button;
  switch (Box.Buttons) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
  }
}

bool TScriptedDialogs::InputQuery(const std::string& Caption, const std::string& Prompt,
                                  std::string& Value) {
  TShownDialog Box;
  Box.Kind = TShownDialog::dkInputQuery;
  Box.Caption = Caption;
  Box.Text = Prompt;
  Box.Value = Value;
  Shown.push_back(Box);
  TDialogAnswer A;
  if (!Next(A) || !A.Ok) return false;
  Value = A.Value;
  return true;
}

bool TScriptedDialogs::FileDialog(const TFileDialogRequest& Request,
                                  std::vector<std::string>& Files) {
  TShownDialog Box;
  Box.Kind = Request.Save ? TShownDialog::dkSaveDialog : TShownDialog::dkOpenDialog;
  Box.Caption = Request.Title;
  Box.Request = Request;
  Shown.push_back(Box);
  TDialogAnswer A;
  if (!Next(A) || !A.Ok) return false;
  Files = A.Files;
  return true;
}
