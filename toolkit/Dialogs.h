// Message boxes, the input box and the file dialogs, all through one replaceable service.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Forms.h"
#include "toolkit/Strings.h"

enum TOpenOption : uint16_t {
  ofAllowMultiSelect = 0x0001,
  ofPathMustExist = 0x0002,
  ofFileMustExist = 0x0004,
  ofHideReadOnly = 0x0008,
  ofOverwritePrompt = 0x0010,
  ofNoReadOnlyReturn = 0x0020,  // a read-only file cannot be chosen
};

// What a file dialog is asked to show.
struct TFileDialogRequest {
  bool Save = false;
  HWND Owner = nullptr;
  std::string Title;
  std::string Filter;  // "Vivo files (*.viv)|*.viv"
  int FilterIndex = 1;
  std::string DefaultExt;
  std::string InitialDir;
  std::string FileName;
  uint16_t Options = 0;
};

// Every box and dialog the program shows goes through this service; tests put a scripted one
// in place to answer and to read back what was shown.
class TDialogService {
public:
  virtual ~TDialogService() = default;
  // A message box; Flags and the result are MessageBoxA's.
  virtual int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption,
                         UINT Flags) = 0;
  // A one-line input box with OK and Cancel; Value is the start text and, on OK, the answer.
  virtual bool InputQuery(const std::string& Caption, const std::string& Prompt,
                          std::string& Value) = 0;
  // An open or save dialog; on OK, Files holds the chosen full names in the dialog's order.
  virtual bool FileDialog(const TFileDialogRequest& Request, std::vector<std::string>& Files) = 0;
};

// The service in use: the system's unless another was set.
TDialogService& DialogService();
// Puts Service in place (nullptr: the system's again) and returns the one it replaces.
TDialogService* SetDialogService(TDialogService* Service);

enum class TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum TMsgDlgBtn : uint8_t { mbYes = 0x01, mbNo = 0x02, mbOK = 0x04, mbCancel = 0x08 };

// A message box with the application's title as caption, the type's icon and the buttons
// (Yes+No, Yes+No+Cancel, OK+Cancel, or OK); returns the button chosen.
TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, uint8_t Buttons);
// An information box with OK.
void ShowMessage(const std::string& Text);
// The input box; true on OK, with Value the text as typed.
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);

// The file-open dialog. After a successful Execute, Files holds the chosen full names in the
// dialog's order and FileName the first of them. The current folder becomes the chosen one.
class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* Owner) : TComponent(Owner) {}

  std::string DefaultExt;
  std::string Filter;
  int FilterIndex = 1;
  std::string InitialDir;
  std::string Title;
  std::string FileName;
  uint16_t Options = ofHideReadOnly;
  TStrings Files;

  bool Execute();

protected:
  bool SaveDialog = false;
};

// The file-save dialog: one name; ofOverwritePrompt asks before replacing a file.
class TSaveDialog : public TOpenDialog {
public:
  explicit TSaveDialog(TComponent* Owner) : TOpenDialog(Owner) { SaveDialog = true; }
};
