// The tray icon under Wine: its shell calls and their records, the deferred refresh, the
// mouse notices and the menu, the taskbar button, its lifetime and the instance check.
#include <doctest.h>
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "components/Trayicon.h"
#include "res/Resources.h"
#include "tests/win/TestFiles.h"
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/ScriptedDialogs.h"

namespace {
using TLines = std::vector<std::string>;

// Stands in for the shell while it lives. Every call must carry the first-version record for
// the component's window; what varies is noted as "add|modify|delete ICON 'TIP'", ICON being
// none, own (the component's icon at the time of the call) or other.
class TShellRecorder {
public:
  explicit TShellRecorder(TTrayIcon& Tray)
      : Tray(Tray), Previous(ShellNotifyIcon), Outer(Current) {
    Current = this;
    ShellNotifyIcon = Record;
  }
  ~TShellRecorder() {
    ShellNotifyIcon = Previous;
    Current = Outer;
  }
  TLines Calls;
  HWND Window = nullptr;     // the record's window, from the first call on
  bool WindowAlive = false;  // whether it existed at the last call
  BOOL Answer = TRUE;

private:
  static BOOL WINAPI Record(DWORD Message, PNOTIFYICONDATAA Data) {
    TShellRecorder& Self = *Current;
    if (!Self.Window) Self.Window = Data->hWnd;
    CHECK(Data->hWnd == Self.Window);
    CHECK_MESSAGE(Data->cbSize == NOTIFYICONDATAA_V1_SIZE, "got cbSize " << Data->cbSize);
    CHECK(Data->uID == 0);
    CHECK_MESSAGE(Data->uFlags == 7u, "got uFlags " << Data->uFlags);
    CHECK_MESSAGE(Data->uCallbackMessage == 0x0401u, "got " << Data->uCallbackMessage);
    REQUIRE(std::memchr(Data->szTip, 0, 63) != nullptr);
    Self.WindowAlive = IsWindow(Data->hWnd);
    const char* Kind = Message == NIM_ADD ? "add" : Message == NIM_MODIFY ? "modify" : "delete";
    const char* Icon = !Data->hIcon                               ? "none"
                       : Data->hIcon == Self.Tray.Icon()->Handle() ? "own"
                                                                   : "other";
    Self.Calls.push_back(std::string(Kind) + " " + Icon + " '" + Data->szTip + "'");
    return Self.Answer;
  }
  static inline TShellRecorder* Current = nullptr;
  TTrayIcon& Tray;
  TShellNotifyIcon Previous;
  TShellRecorder* Outer;
};

// Handles every message already queued for this thread.
void Pump() {
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Msg);
}

void LoadSystemIcon(TIcon& Icon, const char* Id) {
  Icon.SetHandle(CopyIcon(LoadIconA(nullptr, Id)));
  REQUIRE(!Icon.Empty());
}

// Adds the icon with a tooltip, so the recorder learns the window; then forgets that call.
HWND Activate(TTrayIcon& Tray, TShellRecorder& Shell) {
  Tray.SetToolTip("Quillo");
  Tray.SetActive(true);
  Shell.Calls.clear();
  return Shell.Window;
}

void Notice(HWND Window, UINT MouseMessage) {
  REQUIRE(PostMessageA(Window, 0x0401, 0, MouseMessage));
}
}  // namespace

TEST_CASE("activation adds the icon, deactivation deletes it; changes while inactive wait") {
  TTrayIcon Tray(nullptr);
  TShellRecorder Shell(Tray);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_APPLICATION);
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Quillo");
  Tray.SetActive(false);
  CHECK(Shell.Calls.empty());

  SUBCASE("the shell answers") {}
  SUBCASE("the shell fails every call: ignored, the properties keep their values") {
    Shell.Answer = FALSE;
  }
  Tray.SetActive(true);
  Tray.SetActive(true);
  Pump();
  CHECK(Tray.Active());
  // A hidden top-level window of the component's own, without a taskbar button.
  REQUIRE(IsWindow(Shell.Window));
  CHECK(GetAncestor(Shell.Window, GA_PARENT) == GetDesktopWindow());
  CHECK(GetWindow(Shell.Window, GW_OWNER) == nullptr);
  CHECK(!IsWindowVisible(Shell.Window));
  CHECK((GetWindowLongA(Shell.Window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);

  Tray.SetActive(false);
  Tray.SetToolTip("Later");
  LoadSystemIcon(Picture, IDI_WARNING);
  Tray.SetIcon(&Picture);
  CHECK(!Tray.Active());
  CHECK(Tray.ToolTip() == "Later");
  Tray.SetActive(true);
  CHECK(Shell.Calls == TLines{"add own 'Quillo'", "delete own 'Quillo'", "add own 'Later'"});
}

TEST_CASE("an icon added without a tooltip is refreshed later with what was set since") {
  // The order in which a form applies what it stores: Active, Icon, ..., ToolTip.
  TTrayIcon Tray(nullptr);
  TShellRecorder Shell(Tray);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_APPLICATION);
  Tray.SetActive(true);
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Quillo player");
  Tray.SetToolTip("Set before the refresh");
  CHECK(Shell.Calls.size() == 4);
  Shell.Calls.clear();
  Pump();
  CHECK(Shell.Calls == TLines{"modify own 'Set before the refresh'"});

  SUBCASE("a refresh arriving after deactivation sends nothing") {
    Tray.SetActive(false);
    Tray.SetToolTip("");
    Tray.SetActive(true);
    Tray.SetActive(false);
    Shell.Calls.clear();
    Pump();
    CHECK(Shell.Calls.empty());
  }
}

TEST_CASE("tooltip and icon changes reach the shell at once: cut tooltips, copied icons") {
  TTrayIcon Tray(nullptr);
  TShellRecorder Shell(Tray);
  Activate(Tray, Shell);
  const std::string Kept = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  Tray.SetToolTip(Kept + "overflow");
  CHECK(Tray.ToolTip() == Kept);
  Tray.SetToolTip("");
  CHECK(Tray.ToolTip().empty());
  {
    TIcon Picture;
    LoadSystemIcon(Picture, IDI_INFORMATION);
    Tray.SetIcon(&Picture);
    CHECK(Tray.Icon()->Handle() != Picture.Handle());
  }
  // The given icon is gone; the component's copy lives on and setting it again keeps it.
  HICON Own = Tray.Icon()->Handle();
  HDC Screen = GetDC(nullptr);
  CHECK(DrawIconEx(Screen, 0, 0, Own, 16, 16, 0, nullptr, DI_NORMAL));
  ReleaseDC(nullptr, Screen);
  Tray.SetIcon(Tray.Icon());
  CHECK(Tray.Icon()->Handle() == Own);
  TIcon Empty;
  Tray.SetIcon(&Empty);
  CHECK(Tray.Icon()->Empty());
  CHECK(Shell.Calls == TLines{"modify none '" + Kept + "'", "modify none ''", "modify own ''",
                                "modify own ''", "modify none ''"});
}

TEST_CASE("the notification-area icon loads from the program's resources") {
  TIcon Picture;
  Picture.LoadFromResource(nullptr, IDI_TRAY, 16, 16);
  ICONINFO Info{};
  REQUIRE(GetIconInfo(Picture.Handle(), &Info));
  BITMAP Mask{};
  GetObjectA(Info.hbmMask, sizeof Mask, &Mask);
  CHECK(Mask.bmWidth == 16);
  DeleteObject(Info.hbmColor);
  DeleteObject(Info.hbmMask);
  CHECK_THROWS_AS(Picture.LoadFromResource(nullptr, "NO_SUCH_ICON"), Exception);
}

TEST_CASE("the shell's mouse notices become events; an error in one is shown in a box") {
  TTrayIcon Tray(nullptr);
  TShellRecorder Shell(Tray);
  TScriptedDialogs Dialogs;
  HWND Window = Activate(Tray, Shell);
  TLines Events;
  Tray.OnClick = [&](TObject* Sender) {
    Events.push_back(Sender == &Tray ? "click" : "click from elsewhere");
    if (Events.size() == 1) throw Exception("Cannot restore the player");
  };
  Tray.OnDblClick = [&](TObject* Sender) {
    Events.push_back(Sender == &Tray ? "double click" : "double click from elsewhere");
  };
  // A double click as the shell reports it: down, up, double click, up; then what is ignored.
  for (UINT Mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_MOUSEMOVE,
                     WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_RBUTTONDOWN,
                     WM_RBUTTONDBLCLK, WM_RBUTTONUP}) {
    Notice(Window, Mouse);
  }
  Pump();
  CHECK(Events == TLines{"click", "double click", "click"});
  REQUIRE(Dialogs.Shown.size() == 1);
  CHECK(Dialogs.Shown[0].Text == "Cannot restore the player");
  CHECK(Shell.Calls.empty());
  // Other messages get the system's default handling.
  CHECK(SendMessageA(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tray")) == TRUE);
  CHECK(GetWindowTextLengthA(Window) == 4);
}

namespace {
// Plays the user while the popup menu's own loop runs: notes where the menu is, then closes it.
RECT MenuSeenAt{-1, -1, -1, -1};
void CALLBACK DismissMenu(HWND, UINT, UINT_PTR Timer, DWORD) {
  KillTimer(nullptr, Timer);
  HWND Menu = FindWindowA("#32768", nullptr);
  if (Menu && IsWindowVisible(Menu)) GetWindowRect(Menu, &MenuSeenAt);
  EndMenu();
}
}  // namespace

TEST_CASE("a right click pops the menu up at the pointer, then raises the event") {
  TTrayIcon Tray(nullptr);
  TShellRecorder Shell(Tray);
  HWND Window = Activate(Tray, Shell);
  TLines Events;
  Tray.OnRightClick = [&](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    CHECK(Sender == &Tray);
    CHECK(Button == mbRight);
    CHECK(Shift.Empty());
    Events.push_back("right click at " + std::to_string(X) + "," + std::to_string(Y));
  };
  auto* Menu = new TPopupMenu(nullptr);
  Menu->Items.Add("Restore1", "&Restore");
  Menu->OnPopup = [&](TObject*) {
    Events.push_back("popup");
    CHECK(GetForegroundWindow() == Application->Handle());
    SetTimer(nullptr, 0, 100, DismissMenu);
  };
  Application->OnMessage = [&](MSG& Msg, bool&) {
    if (Msg.message == WM_APP) Events.push_back("earlier message");
  };
  SetCursorPos(10, 10);

  SUBCASE("with a menu") {
    Tray.SetPopupMenu(Menu);
    Notice(Window, WM_RBUTTONUP);
    // Queued before the notice is handled: let through before the menu opens.
    PostMessageA(Application->Handle(), WM_APP, 0, 0);
    // The position is read when the notice is handled.
    REQUIRE(SetCursorPos(200, 150));
    Pump();
    CHECK(Events == TLines{"earlier message", "popup", "right click at 200,150"});
    CHECK(MenuSeenAt.left == 200);
    CHECK(MenuSeenAt.top == 150);
  }
  SUBCASE("without a menu, or with one destroyed since") {
    Tray.SetPopupMenu(Menu);
    delete Menu;
    Menu = nullptr;
    CHECK(Tray.PopupMenu() == nullptr);
    Notice(Window, WM_RBUTTONUP);
    Pump();
    CHECK(Events == TLines{"right click at 10,10"});
  }
  Application->OnMessage = nullptr;
  delete Menu;
}

TEST_CASE("ShowApp shows or hides the taskbar window on every assignment and when loaded") {
  HWND App = Application->Handle();
  ShowWindow(App, SW_SHOW);
  TTrayIcon Tray(nullptr);
  CHECK_MESSAGE(!IsWindowVisible(App), "creating the component hides the taskbar button");
  for (bool Value : {true, false}) {
    Tray.SetShowApp(Value);
    CHECK(Tray.ShowApp() == Value);
    CHECK(IsWindowVisible(App) == Value);
    // The same value again still acts: what someone else did to the window is undone.
    ShowWindow(App, Value ? SW_HIDE : SW_SHOW);
    Tray.SetShowApp(Value);
    CHECK(IsWindowVisible(App) == Value);
  }
  // Loading applies it once more; without a name there is no instance check to end us.
  Tray.SetShowApp(true);
  ShowWindow(App, SW_HIDE);
  Tray.Loaded();
  CHECK(IsWindowVisible(App));
  Tray.SetShowApp(false);
}

TEST_CASE("destruction removes an active icon while its window exists, then the window") {
  auto* Tray = new TTrayIcon(nullptr);
  TShellRecorder Shell(*Tray);
  SUBCASE("while active") {
    HWND Window = Activate(*Tray, Shell);
    delete Tray;
    CHECK(Shell.Calls == TLines{"delete none 'Quillo'"});
    CHECK(Shell.WindowAlive);
    CHECK(!IsWindow(Window));
  }
  SUBCASE("with a refresh still queued, by its owner") {
    auto* Owner = new TComponent(nullptr);
    delete Tray;
    Tray = new TTrayIcon(Owner);
    TShellRecorder Again(*Tray);
    Tray->SetActive(true);
    delete Owner;
    Pump();
    CHECK(Again.Calls == TLines{"add none ''", "delete none ''"});
  }
  SUBCASE("while inactive: no shell call") {
    delete Tray;
    CHECK(Shell.Calls.empty());
  }
}

namespace {
// Starts the second copy with the instance name, waits for it and returns its exit code.
DWORD RunSecondInstance(const std::string& Name, const std::string& LogFile) {
  char Self[MAX_PATH];
  REQUIRE(GetModuleFileNameA(nullptr, Self, MAX_PATH) > 0);
  std::string Program(Self);
  Program = Program.substr(0, Program.find_last_of('\\') + 1) + "trayicon_second_instance.exe";
  std::string CommandLine = "\"" + Program + "\" " + Name + " \"" + LogFile + "\"";
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  PROCESS_INFORMATION Process{};
  REQUIRE_MESSAGE(CreateProcessA(Program.c_str(), CommandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &Startup, &Process),
                  "cannot start " << Program << ": error " << GetLastError());
  CHECK(WaitForSingleObject(Process.hProcess, 30000) == WAIT_OBJECT_0);
  DWORD ExitCode = 0;
  GetExitCodeProcess(Process.hProcess, &ExitCode);
  CloseHandle(Process.hThread);
  CloseHandle(Process.hProcess);
  return ExitCode;
}

// The broadcasts of Message that reached the application's window (a top-level window of ours,
// as the running instance's windows are) within a short while.
int BroadcastsReceived(UINT Message) {
  int Received = 0;
  for (int Round = 0; Round < 20; ++Round) {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
      Received += Msg.message == Message && Msg.hwnd == Application->Handle() && Msg.wParam == 0 &&
                  Msg.lParam == 0;
      DispatchMessageA(&Msg);
    }
    Sleep(25);
  }
  return Received;
}
}  // namespace

TEST_CASE("a second instance broadcasts the instance message and ends with exit code 0") {
  const std::string Name = "QuilloTrayiconTest" + std::to_string(GetCurrentProcessId());
  const UINT Message = RegisterWindowMessageA(Name.c_str());
  TScratchDir Dir;
  {
    TTrayIcon First(nullptr);
    First.SetIDMessage(Name);
    First.Loaded();
    CHECK(RunSecondInstance(Name, Dir / "ended.txt") == 0);
    // It removed the icon it had added before it ended.
    CHECK(ReadBytes(Dir / "ended.txt") == "add\ndelete\n");
    CHECK(BroadcastsReceived(Message) == 1);
  }
  // The first instance closed its mapping with its destruction: the name is free again.
  CHECK(RunSecondInstance(Name, Dir / "alone.txt") == 2);
  CHECK(ReadBytes(Dir / "alone.txt") == "add\nloaded\ndelete\n");
  CHECK(BroadcastsReceived(Message) == 0);
}
