// The dialog service in use, and the helpers every part of the program calls.
#include "toolkit/Dialogs.h"

#include "toolkit/SystemDialogs.h"

namespace {
TDialogService* Current = nullptr;

// The window a box or dialog belongs to: the active window of this thread, else the main form.
HWND DialogOwner() {
  HWND Owner = GetActiveWindow();
  if (!Owner && Application->MainForm() && IsWindowVisible(Application->MainForm()->Handle()))
    Owner = Application->MainForm()->Handle();
  return Owner;
}

std::string BoxCaption(TMsgDlgType Type) {
  if (!Application->Title().empty()) return Application->Title();
  switch (Type) {
    case mtWarning: return "Warning";
    case mtError: return "Error";
    case mtInformation: return "Information";
    case mtConfirmation: return "Confirm";
    default: return "Message";
  }
}
}  // namespace

TDialogService& DialogService() { return Current ? *Current : SystemDialogService(); }

TDialogService* SetDialogService(TDialogService* Service) {
  TDialogService* Previous = Current;
  Current = Service;
  return Previous;
}

TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, uint8_t Buttons) {
  UINT Flags = MB_OK;
  if ((Buttons & (mbYes | mbNo | mbCancel)) == (mbYes | mbNo | mbCancel))
    Flags = MB_YESNOCANCEL;
  else if (Buttons & (mbYes | mbNo))
    Flags = MB_YESNO;
  else if (Buttons & mbCancel)
    Flags = MB_OKCANCEL;
  switch (Type) {
    case mtWarning: Flags |= MB_ICONWARNING; break;
    case mtError: Flags |= MB_ICONERROR; break;
    case mtInformation: Flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: Flags |= MB_ICONQUESTION; break;
    case mtCustom: break;
  }
  return Application->MessageBox(Text, BoxCaption(Type), Flags);
}

void ShowMessage(const std::string& Text) { MessageDlg(Text, mtInformation, mbOK); }

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  return DialogService().InputQuery(Caption, Prompt, Value);
}

bool TOpenDialog::Execute() {
  const TFileDialogRequest Request{.Save = SaveDialog,
                                   .Owner = DialogOwner(),
                                   .Title = Title,
                                   .Filter = Filter,
                                   .FilterIndex = FilterIndex,
                                   .DefaultExt = DefaultExt,
                                   .InitialDir = InitialDir,
                                   .FileName = FileName,
                                   .Options = Options};
  std::vector<std::string> Chosen;
  if (!DialogService().FileDialog(Request, Chosen) || Chosen.empty()) return false;
  Files.Clear();
  for (const std::string& Name : Chosen) Files.Add(Name);
  FileName = Chosen.front();
  // The folder chosen becomes the current one, as the program's settings rely on.
  size_t Slash = FileName.find_last_of("\\/");
  if (Slash != std::string::npos)
    SetCurrentDirectoryA(FileName.substr(0, Slash == 2 && FileName[1] == ':' ? 3 : Slash).c_str());
  return true;
}
