// The player window under test, with its control, dialogs and scratch folder.
#include "tests/win/MainFormFixture.h"

#include <shlobj.h>

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

namespace {
TForm* ModalDialog = nullptr;
std::function<void()> ModalSteps;
bool ModalStepsRan = false;
UINT_PTR ModalTimer = 0;

void CALLBACK RunModalSteps(HWND, UINT, UINT_PTR, DWORD) {
  if (!ModalSteps || !ModalDialog->Modal() || !IsWindowVisible(ModalDialog->Handle())) return;
  KillTimer(nullptr, ModalTimer);
  std::function<void()> Steps = std::move(ModalSteps);
  ModalSteps = nullptr;
  ModalStepsRan = true;
  Steps();
  if (ModalDialog->Modal() && ModalDialog->ModalResult() == mrNone) ModalDialog->Close();
}
}  // namespace

bool InsideModal(TForm* Dialog, const std::function<void()>& Open, std::function<void()> Steps) {
  ModalDialog = Dialog;
  ModalSteps = std::move(Steps);
  ModalStepsRan = false;
  ModalTimer = SetTimer(nullptr, 0, 20, RunModalSteps);
  Open();
  // Open may only have pressed the key that shows the dialog.
  ULONGLONG End = GetTickCount64() + 10000;
  while ((!ModalStepsRan || Dialog->Modal()) && GetTickCount64() < End) {
    Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  KillTimer(nullptr, ModalTimer);
  ModalSteps = nullptr;
  return ModalStepsRan && !Dialog->Modal();
}

HDROP MakeDrop(const std::vector<std::string>& Names) {
  size_t Chars = 1;
  for (const std::string& Name : Names) Chars += Name.size() + 1;
  HGLOBAL Memory = GlobalAlloc(GHND, sizeof(DROPFILES) + Chars);
  auto* Drop = static_cast<DROPFILES*>(GlobalLock(Memory));
  Drop->pFiles = sizeof(DROPFILES);
  Drop->fWide = FALSE;
  char* At = reinterpret_cast<char*>(Drop + 1);
  for (const std::string& Name : Names) {
    std::memcpy(At, Name.c_str(), Name.size() + 1);
    At += Name.size() + 1;
  }
  GlobalUnlock(Memory);
  return static_cast<HDROP>(Memory);
}

std::string PlaylistBytes(const std::vector<std::string>& Entries) {
  std::string Bytes = PlaylistHeader;
  for (const std::string& Entry : Entries) Bytes += "next " + Entry + "\r\n";
  return Bytes;
}

std::vector<std::string> Items(const TStrings& List) { return {List.begin(), List.end()}; }

std::vector<std::string> Items(const TVivoListBox& List) { return Items(List.Strings); }
