// A dialog service for tests: answers from a script and records everything shown.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "toolkit/Dialogs.h"

// One box or dialog as it was shown.
struct TShownDialog {
  enum TKind { dkMessageBox, dkInputQuery, dkOpenDialog, dkSaveDialog };
  TKind Kind = dkMessageBox;
  std::string Caption;  // the box's caption, the input box's title, the dialog's title
  std::string Text;     // the message, the input box's prompt
  UINT Buttons = 0;     // MB_OK, MB_YESNO, ... (message boxes)
  UINT Icon = 0;        // MB_ICONERROR, MB_ICONQUESTION, ... (message boxes)
  std::string Value;    // the input box's start text
  TFileDialogRequest Request;  // file dialogs
};

// One scripted answer: Button for message boxes (IDYES, ...); Ok with Value or Files for the
// input box and file dialogs. OnShow runs while the box is "up", as a user's other actions
// would.
struct TDialogAnswer {
  int Button = IDOK;
  bool Ok = true;
  std::string Value;
  std::vector<std::string> Files;
  std::function<void()> OnShow;
};

// Installs itself for its lifetime. A box shown with no answer left is recorded and answered
// as a careful user would: OK for a box with only OK, Cancel or No otherwise; Cancel for the
// input box and the file dialogs.
class TScriptedDialogs : public TDialogService {
public:
  TScriptedDialogs();
  ~TScriptedDialogs() override;

  std::deque<TDialogAnswer> Answers;
  std::vector<TShownDialog> Shown;
  int Unanswered = 0;

  TScriptedDialogs& Answer(int Button);
  TScriptedDialogs& AnswerText(bool Ok, const std::string& Value);
  TScriptedDialogs& AnswerFiles(bool Ok, const std::vector<std::string>& Files);

  int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption,
                 UINT Flags) override;
  bool InputQuery(const std::string& Caption, const std::string& Prompt,
                  std::string& Value) override;
  bool FileDialog(const TFileDialogRequest& Request, std::vector<std::string>& Files) override;

private:
  bool Next(TDialogAnswer& Answer);
  TDialogService* Previous;
};
