// The player window under test, with its control, dialogs and scratch folder.
#include "tests/win/MainFormFixture.h"

#include <cstring>

#include "components/About.h"
#include "components/AboutOstra.h"
#include "control/VVPPWEBLib_TLB.h"

TMainFormFixture::TMainFormFixture() {
  // The window's shared state outlives a window; each test starts from the program's start.
  Resizing = false;
  Dragging = false;
  FastForwarding = false;
  LastURL.clear();
  DirectDrawActive = false;
  Application->CreateForm(MainForm);
  Form = MainForm;
  Application->CreateForm(AboutForm);
  Application->CreateForm(AboutOstraForm);
  AboutOstraForm->BackGround->Picture.Assign(AboutForm->BackGround->Picture);
  Application->CreateForm(PlayListForm);
  PlayListForm->BackGround->Picture.Assign(AboutForm->BackGround->Picture);
  Playlist = PlayListForm;
  Playlist->TempDir = Dir.Path();
  Control = std::make_unique<TDiagnostics>(*Form->vivo);
}

TMainFormFixture::~TMainFormFixture() {
  Control.reset();
  App.App.DestroyForms();
}

TMainFormFixture::TCurrentDirectory::TCurrentDirectory() {
  char Path[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof Path, Path);
  Saved = Path;
}

TMainFormFixture::TCurrentDirectory::~TCurrentDirectory() { SetCurrentDirectoryA(Saved.c_str()); }

std::vector<std::string> TMainFormFixture::Calls() const { return Control->Calls(); }

std::vector<std::string> TMainFormFixture::Commands() const {
  std::vector<std::string> Given;
  for (const std::string& Call : Calls())
    if (Call != "Autostart" && Call != "Videocontrols" && Call != "URL" && Call != "VideoWidth" &&
        Call != "VideoHeight")
      Given.push_back(Call);
  return Given;
}

void TMainFormFixture::ClearCalls() { (*Control)->ClearCalls(); }

void TMainFormFixture::ShowInFront() {
  Form->Show();
  SetForegroundWindow(Form->Handle());
  REQUIRE(RunUntil([&] { return GetForegroundWindow() == Form->Handle(); }, 2000));
}

std::string TMainFormFixture::StartClip(const std::string& Name, uint32_t DurationMs) {
  std::string Path = Dir / Name;
  WriteClip(Path, 160, 120, DurationMs);
  Form->PlayState = psStopped;
  Form->PlayFile(Path);
  REQUIRE(RunUntil([&] { return Form->PlayState == psPlaying; }));
  return Path;
}

bool TMainFormFixture::RunUntil(const std::function<bool()>& Done, DWORD TimeoutMs) {
  ULONGLONG End = GetTickCount64() + TimeoutMs;
  while (!Done()) {
    if (GetTickCount64() >= End) return false;
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

TControlDialogCloser::TControlDialogCloser() {
  Titles.clear();
  LastClosed = nullptr;
  Timer = SetTimer(nullptr, 0, 50, Tick);
}

TControlDialogCloser::~TControlDialogCloser() { KillTimer(nullptr, Timer); }

BOOL CALLBACK TControlDialogCloser::Find(HWND Window, LPARAM Found) {
  char Class[16] = "";
  GetClassNameA(Window, Class, sizeof Class);
  if (IsWindowVisible(Window) && std::strcmp(Class, "#32770") == 0)
    *reinterpret_cast<HWND*>(Found) = Window;
  return TRUE;
}

void CALLBACK TControlDialogCloser::Tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND Dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), Find, reinterpret_cast<LPARAM>(&Dialog));
  if (!Dialog || Dialog == LastClosed) return;
  LastClosed = Dialog;
  char Title[256] = "";
  GetWindowTextA(Dialog, Title, sizeof Title);
  Titles.push_back(Title);
  PostMessageA(Dialog, WM_COMMAND, IDCANCEL, 0);
}

std::string PlaylistBytes(const std::vector<std::string>& Entries) {
  std::string Bytes = PlaylistHeader;
  for (const std::string& Entry : Entries) Bytes += "next " + Entry + "\r\n";
  return Bytes;
}

std::vector<std::string> Items(const TStrings& List) { return {List.begin(), List.end()}; }

std::vector<std::string> Items(const TVivoListBox& List) { return Items(List.Strings); }
