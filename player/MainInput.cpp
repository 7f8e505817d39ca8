// The player window's keys, mouse and window chores: the menu key, placement keys, Escape, the
// shortcuts during fast forward, always on top, minimise, tray, screen saver, help.
#include "components/About.h"
#include "components/AboutOstra.h"
#include "components/FmxUtils.h"
#include "components/Trayicon.h"
#include "control/VVPPWEBLib_TLB.h"
#include "player/Main.h"
#include "toolkit/FileNames.h"
#include "toolkit/SysUtils.h"

void TMainForm::FormKeyDown(TObject*, uint16_t& Key, TShiftState Shift) {
  const TShiftState Keys = Shift.Keys();
  if (Keys == TShiftState(ssAlt)) {
    Button1Click(nullptr);
    return;
  }
  if (Keys == TShiftState(ssCtrl)) {
    if (auto Corner = PlacementForKey(Key, Screen->Width(), Screen->Height(), Width(), Height())) {
      SetLeft(Corner->X);
      SetTop(Corner->Y);
    }
  } else if (Keys.Empty() && Key == VK_ESCAPE) {
    FastForwarding = false;
    Application->ProcessMessages();
    PresentationMode1->Checked = false;
    CompactMode1->Checked = false;
    if (DirectDrawActive) LeaveDirectDraw();
    if (FullScreen1->Checked || ScaledFullScreen1->Checked)
      OriginalSize1Click(nullptr);
    else
      ApplyView(nullptr);
    return;
  }

  // The fast-forward loop keeps the menu from seeing its shortcuts; the letter and digit ones
  // are carried out here instead.
  if (!FastForwarding) return;
  if (const TMenuCommand* Command = FastForwardCommand(Key, Keys)) (this->*Command->Handler)(nullptr);
}

void TMainForm::FormDblClick(TObject* Sender) { PlayPause1Click(Sender); }

void TMainForm::Button1Click(TObject*) {
  TRect Window{Left(), Top(), Width(), Height()};
  TRect Button{Button1->Left(), Button1->Top(), Button1->Width(), Button1->Height()};
  TPoint At = MenuPopupPoint(Window, Button, Button1->Visible());
  PopupMenu1->Popup(At.X, At.Y);
}

void TMainForm::Button1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  Button1->SetBounds(Button1->Left() + 1, Button1->Top() + 1, Button1->Width(), Button1->Height());
}

void TMainForm::Button1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  Button1->SetBounds(Button1->Left() - 1, Button1->Top() - 1, Button1->Width(), Button1->Height());
}

void TMainForm::ApplyZOrder() {
  const bool OnTop = AlwaysOnTop1->Checked;
  SetWindowPos(Handle(), OnTop ? HWND_TOPMOST : HWND_NOTOPMOST, Left(), Top(), Width(), Height(),
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  if (!OnTop && (GetWindowLongA(Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    // Wine keeps an owned window topmost when its owner is the first window below the topmost
    // ones; for the moment of the move without its owner, the window leaves them as asked.
    HWND Owner = GetWindow(Handle(), GW_OWNER);
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, 0);
    SetWindowPos(Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Owner));
  }
}

void TMainForm::AlwaysOnTop1Click(TObject*) {
  AlwaysOnTop1->Checked = !AlwaysOnTop1->Checked;
  ApplyZOrder();
}

void TMainForm::UpdateTrayIcon() {
  if (SystemTray1->Checked) {
    TrayIcon1->SetActive(true);
    TrayIcon1->SetShowApp(false);
  } else {
    TrayIcon1->SetActive(false);
    TrayIcon1->SetShowApp(true);
  }
}

void TMainForm::SystemTray1Click(TObject*) {
  SystemTray1->Checked = !SystemTray1->Checked;
  UpdateTrayIcon();
}

void TMainForm::Minimize1Click(TObject*) {
  Application->Minimize();
  UpdateTrayIcon();
}

void TMainForm::TrayIcon1Click(TObject*) {
  Application->Restore();
  Application->BringToFront();
}

void TMainForm::TrayIcon1RightClick(TObject*, TMouseButton, TShiftState, int, int) {
  Application->Restore();
  Application->BringToFront();
}

void TMainForm::DisableScreenSaver1Click(TObject*) {
  DisableScreenSaver1->Checked = !DisableScreenSaver1->Checked;
  InstallScreenSaverFilter(DisableScreenSaver1->Checked);
}

void TMainForm::InstallScreenSaverFilter(bool Install) {
  if (Install)
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { ScreenSaverFilter(Msg, Handled); };
  else
    Application->OnMessage = nullptr;
}

void TMainForm::ScreenSaverFilter(MSG& Msg, bool& Handled) {
  // The system keeps the low four bits of a system command for itself.
  if (Msg.message == WM_SYSCOMMAND && (Msg.wParam & 0xFFF0) == SC_SCREENSAVE) Handled = true;
}

// The help file's contents where the file is there and a viewer takes it; otherwise the manual
// beside the program, in the user's browser. Current Windows has no viewer for the old help
// format, and the release ships the manual only.
void TMainForm::Help1Click(TObject*) {
  const std::string& HelpFile = Application->HelpFile();
  if (GetFileAttributesA(HelpFile.c_str()) != INVALID_FILE_ATTRIBUTES &&
      Application->HelpCommand(HELP_CONTENTS, 0))
    return;
  const std::string Folder = ExtractFileDir(ProgramFileName());
  const std::string Manual = Folder + "\\Quillo.html";
  if (GetFileAttributesA(Manual.c_str()) == INVALID_FILE_ATTRIBUTES) {
    MessageDlg("The manual " + Manual + " is missing.\rPut Quillo.html beside Quillo.exe again.",
               mtError, mbOK);
    return;
  }
  ShellOpen(Manual, "", Folder, SW_SHOWNORMAL);
}

void TMainForm::ShowAboutDialog(TForm* Dialog) {
  Dialog->SetLeft((Screen->Width() - Dialog->Width()) / 2);
  Dialog->SetTop((Screen->Height() - Dialog->Height()) / 2);
  Dialog->ShowModal();
  UpdateTrayIcon();
}

void TMainForm::AboutQuillo1Click(TObject*) { ShowAboutDialog(AboutForm); }

void TMainForm::AboutOstra1Click(TObject*) { ShowAboutDialog(AboutOstraForm); }
