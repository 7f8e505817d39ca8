// The tray icon under Wine: its shell calls and their records, the deferred refresh, the
// mouse notices, the taskbar button, its lifetime and the instance check.
#include <doctest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
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

struct TShellCall {
  DWORD Message;
  NOTIFYICONDATAA Data;
  bool WindowAlive;  // the record's window still existed when the call was made
};

// Stands in for the shell while it lives and records every call with a copy of its record;
// the calls answer Answer.
class TShellRecorder {
public:
  TShellRecorder() : Previous(ShellNotifyIcon) {
    Current = this;
    ShellNotifyIcon = Record;
  }
  ~TShellRecorder() {
    ShellNotifyIcon = Previous;
    Current = nullptr;
  }
  std::vector<TShellCall> Calls;
  BOOL Answer = TRUE;

private:
  static BOOL WINAPI Record(DWORD Message, PNOTIFYICONDATAA Data) {
    TShellCall Call{Message, {}, IsWindow(Data->hWnd) != FALSE};
    std::memcpy(&Call.Data, Data, std::min<size_t>(Data->cbSize, sizeof Call.Data));
    Current->Calls.push_back(Call);
    return Current->Answer;
  }
  static inline TShellRecorder* Current = nullptr;
  TShellNotifyIcon Previous;
};

// Handles every message already queued for this thread.
void Pump() {
  MSG Msg;
  while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
}

// Checks every field of a call's record: which call, the icon and the tooltip vary, the rest
// is the same for every call.
void CheckCall(const TShellCall& Call, DWORD Message, HWND Window, HICON Icon,
               const std::string& Tip) {
  CHECK_MESSAGE(Call.Message == Message, "expected call " << Message << ", got " << Call.Message);
  CHECK_MESSAGE(Call.Data.cbSize == NOTIFYICONDATAA_V1_SIZE, "got cbSize " << Call.Data.cbSize);
  CHECK(Call.Data.hWnd == Window);
  CHECK(Call.Data.uID == 0);
  CHECK_MESSAGE(Call.Data.uFlags == 7u, "got uFlags " << Call.Data.uFlags);
  CHECK_MESSAGE(Call.Data.uCallbackMessage == 0x0401u, "got " << Call.Data.uCallbackMessage);
  CHECK(Call.Data.hIcon == Icon);
  CHECK(std::string(Call.Data.szTip) == Tip);
}

void LoadSystemIcon(TIcon& Icon, const char* Id) {
  Icon.SetHandle(CopyIcon(LoadIconA(nullptr, Id)));
  REQUIRE(!Icon.Empty());
}

// Adds the icon so the recorder learns the message window, then forgets that call.
HWND ActivateAndForget(TTrayIcon& Tray, TShellRecorder& Shell) {
  Tray.SetToolTip("Quillo");
  Tray.SetActive(true);
  REQUIRE(Shell.Calls.size() == 1);
  HWND Window = Shell.Calls[0].Data.hWnd;
  Shell.Calls.clear();
  return Window;
}

// A top-level window of the test that passes one message to a handler; other windows of the
// program, like the running instance's, would see a broadcast the same way.
class TListenerWindow {
public:
  TListenerWindow(UINT Message, std::function<void(WPARAM, LPARAM)> Handler)
      : Message(Message), Handler(std::move(Handler)) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = Procedure;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "TrayiconTestListener";
    RegisterClassA(&Class);
    Window = CreateWindowExA(0, Class.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             Class.hInstance, nullptr);
    REQUIRE(Window != nullptr);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~TListenerWindow() { DestroyWindow(Window); }
  TListenerWindow(const TListenerWindow&) = delete;
  TListenerWindow& operator=(const TListenerWindow&) = delete;
  HWND Handle() const { return Window; }

private:
  static LRESULT CALLBACK Procedure(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
    auto* Self = reinterpret_cast<TListenerWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (Self && Msg == Self->Message) {
      Self->Handler(W, L);
      return 0;
    }
    return DefWindowProcA(Window, Msg, W, L);
  }
  UINT Message;
  std::function<void(WPARAM, LPARAM)> Handler;
  HWND Window;
};

void Notice(HWND Window, UINT MouseMessage) {
  REQUIRE(PostMessageA(Window, 0x0401, 0, MouseMessage));
}

}  // namespace

TEST_CASE("activation adds the icon with the first-version record; deactivation deletes it") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_APPLICATION);
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Quillo");
  CHECK(Shell.Calls.empty());

  Tray.SetActive(false);
  CHECK(Shell.Calls.empty());

  Tray.SetActive(true);
  REQUIRE(Shell.Calls.size() == 1);
  HWND Window = Shell.Calls[0].Data.hWnd;
  CheckCall(Shell.Calls[0], NIM_ADD, Window, Tray.Icon()->Handle(), "Quillo");
  // A hidden top-level window of its own, without a taskbar button.
  REQUIRE(IsWindow(Window));
  CHECK(GetAncestor(Window, GA_PARENT) == GetDesktopWindow());
  CHECK(GetWindow(Window, GW_OWNER) == nullptr);
  CHECK(!IsWindowVisible(Window));
  CHECK((GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0);

  Tray.SetActive(true);
  Pump();
  CHECK(Shell.Calls.size() == 1);

  Tray.SetActive(false);
  REQUIRE(Shell.Calls.size() == 2);
  CheckCall(Shell.Calls[1], NIM_DELETE, Window, Tray.Icon()->Handle(), "Quillo");
  CHECK(!Tray.Active());

  Tray.SetActive(true);
  REQUIRE(Shell.Calls.size() == 3);
  CheckCall(Shell.Calls[2], NIM_ADD, Window, Tray.Icon()->Handle(), "Quillo");
}

TEST_CASE("an icon added without a tooltip is refreshed later with the icon and tooltip set since") {
  // The order a form applies what it stores: Active, Icon, ..., ToolTip.
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_APPLICATION);

  Tray.SetActive(true);
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Quillo player");
  REQUIRE(Shell.Calls.size() == 3);
  HWND Window = Shell.Calls[0].Data.hWnd;
  HICON Own = Tray.Icon()->Handle();
  CheckCall(Shell.Calls[0], NIM_ADD, Window, nullptr, "");
  CheckCall(Shell.Calls[1], NIM_MODIFY, Window, Own, "");
  CheckCall(Shell.Calls[2], NIM_MODIFY, Window, Own, "Quillo player");

  // The refresh was posted, not sent: it comes with the messages, and carries what is set then.
  Tray.SetToolTip("Changed before the refresh");
  Shell.Calls.clear();
  Pump();
  REQUIRE(Shell.Calls.size() == 1);
  CheckCall(Shell.Calls[0], NIM_MODIFY, Window, Own, "Changed before the refresh");

  SUBCASE("an icon added with a tooltip brings no refresh") {
    Tray.SetActive(false);
    Shell.Calls.clear();
    Tray.SetActive(true);
    Pump();
    REQUIRE(Shell.Calls.size() == 1);
    CHECK(Shell.Calls[0].Message == static_cast<DWORD>(NIM_ADD));
  }
  SUBCASE("a refresh that arrives after deactivation sends nothing") {
    Tray.SetActive(false);
    Tray.SetToolTip("");
    Tray.SetActive(true);
    Tray.SetActive(false);
    Shell.Calls.clear();
    Pump();
    CHECK(Shell.Calls.empty());
  }
}

TEST_CASE("icon and tooltip changes while inactive reach the shell only with the activation") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_WARNING);
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Waiting");
  Pump();
  CHECK(Shell.Calls.empty());

  Tray.SetActive(true);
  REQUIRE(Shell.Calls.size() == 1);
  CHECK(Shell.Calls[0].Data.hIcon == Tray.Icon()->Handle());
  CHECK(std::string(Shell.Calls[0].Data.szTip) == "Waiting");
}

TEST_CASE("the tooltip keeps its first 62 characters") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  const std::string Kept = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::string Seventy = Kept + "overflow";
  REQUIRE(Seventy.size() == 70);

  Tray.SetToolTip(Seventy);
  CHECK(Tray.ToolTip() == Kept);
  REQUIRE(Shell.Calls.size() == 1);
  CheckCall(Shell.Calls[0], NIM_MODIFY, Window, nullptr, Kept);
  CHECK(Shell.Calls[0].Data.szTip[62] == '\0');

  Tray.SetToolTip(Kept);
  CHECK(Tray.ToolTip() == Kept);

  Tray.SetToolTip("");
  CHECK(Tray.ToolTip().empty());
  REQUIRE(Shell.Calls.size() == 3);
  CheckCall(Shell.Calls[2], NIM_MODIFY, Window, nullptr, "");
}

TEST_CASE("the icon is the component's own copy; setting its own icon only refreshes") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  HICON Own;
  {
    TIcon Picture;
    LoadSystemIcon(Picture, IDI_INFORMATION);
    Tray.SetIcon(&Picture);
    Own = Tray.Icon()->Handle();
    CHECK(Own != nullptr);
    CHECK(Own != Picture.Handle());
  }
  // The given icon is gone; the copy lives on.
  ICONINFO Info{};
  CHECK(GetIconInfo(Own, &Info));
  DeleteObject(Info.hbmColor);
  DeleteObject(Info.hbmMask);

  Tray.SetIcon(Tray.Icon());
  CHECK(Tray.Icon()->Handle() == Own);
  REQUIRE(Shell.Calls.size() == 2);
  CheckCall(Shell.Calls[0], NIM_MODIFY, Window, Own, "Quillo");
  CheckCall(Shell.Calls[1], NIM_MODIFY, Window, Own, "Quillo");

  TIcon Empty;
  Tray.SetIcon(&Empty);
  CHECK(Tray.Icon()->Empty());
  REQUIRE(Shell.Calls.size() == 3);
  CHECK(Shell.Calls[2].Data.hIcon == nullptr);
}

TEST_CASE("the notification-area icon loads from the program's resources") {
  TIcon Picture;
  Picture.LoadFromResource(nullptr, IDI_TRAY, GetSystemMetrics(SM_CXSMICON),
                           GetSystemMetrics(SM_CYSMICON));
  ICONINFO Info{};
  REQUIRE(GetIconInfo(Picture.Handle(), &Info));
  BITMAP Mask{};
  GetObjectA(Info.hbmMask, sizeof Mask, &Mask);
  CHECK(Mask.bmWidth == GetSystemMetrics(SM_CXSMICON));
  DeleteObject(Info.hbmColor);
  DeleteObject(Info.hbmMask);

  TIcon Missing;
  CHECK_THROWS_AS(Missing.LoadFromResource(nullptr, "NO_SUCH_ICON"), Exception);
  CHECK(Missing.Empty());
}

TEST_CASE("failing shell calls are ignored and the properties keep their values") {
  TShellRecorder Shell;
  Shell.Answer = FALSE;
  TTrayIcon Tray(nullptr);
  TIcon Picture;
  LoadSystemIcon(Picture, IDI_APPLICATION);

  Tray.SetActive(true);
  CHECK(Tray.Active());
  Tray.SetIcon(&Picture);
  Tray.SetToolTip("Still here");
  CHECK(!Tray.Icon()->Empty());
  CHECK(Tray.ToolTip() == "Still here");
  Tray.SetActive(false);
  CHECK(!Tray.Active());

  REQUIRE(Shell.Calls.size() == 4);
  CHECK(Shell.Calls[0].Message == static_cast<DWORD>(NIM_ADD));
  CHECK(Shell.Calls[3].Message == static_cast<DWORD>(NIM_DELETE));
}

TEST_CASE("the shell's mouse notices become the component's events") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  std::vector<std::string> Events;
  Tray.OnClick = [&](TObject* Sender) {
    CHECK(Sender == &Tray);
    Events.push_back("click");
  };
  Tray.OnDblClick = [&](TObject* Sender) {
    CHECK(Sender == &Tray);
    Events.push_back("double click");
  };
  Tray.OnRightClick = [&](TObject*, TMouseButton, TShiftState, int, int) {
    Events.push_back("right click");
  };

  // A double click as the shell reports it: down, up, double click, up.
  for (UINT Mouse : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    Notice(Window, Mouse);
  }
  // Neither the middle button, nor moves, nor presses raise anything.
  for (UINT Mouse : {WM_MOUSEMOVE, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_RBUTTONDOWN,
                     WM_RBUTTONDBLCLK}) {
    Notice(Window, Mouse);
  }
  Notice(Window, WM_RBUTTONUP);
  Pump();
  CHECK(Events == std::vector<std::string>{"click", "double click", "click", "right click"});
  CHECK(Shell.Calls.empty());

  SUBCASE("notices without handlers do nothing") {
    Tray.OnClick = nullptr;
    Tray.OnDblClick = nullptr;
    Tray.OnRightClick = nullptr;
    Events.clear();
    for (UINT Mouse : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP}) Notice(Window, Mouse);
    Pump();
    CHECK(Events.empty());
  }
  SUBCASE("other messages get the system's default handling") {
    CHECK(SendMessageA(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("tray")) == TRUE);
    char Text[16] = {};
    CHECK(GetWindowTextA(Window, Text, sizeof Text) == 4);
    CHECK(std::string(Text) == "tray");
  }
}

TEST_CASE("an error in a handler is shown in a box and the next notice is handled") {
  TShellRecorder Shell;
  TScriptedDialogs Dialogs;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  int Clicks = 0;
  Tray.OnClick = [&](TObject*) {
    if (++Clicks == 1) throw Exception("Cannot restore the player");
  };
  Notice(Window, WM_LBUTTONUP);
  Notice(Window, WM_LBUTTONUP);
  Pump();
  CHECK(Clicks == 2);
  REQUIRE(Dialogs.Shown.size() == 1);
  CHECK(Dialogs.Shown[0].Text == "Cannot restore the player");
  CHECK(Dialogs.Shown[0].Icon == static_cast<UINT>(MB_ICONERROR));
}

TEST_CASE("a right click without a menu raises the event at the pointer when it is handled") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  int Calls = 0;
  Tray.OnRightClick = [&](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    ++Calls;
    CHECK(Sender == &Tray);
    CHECK(Button == mbRight);
    CHECK(Shift.Empty());
    CHECK_MESSAGE(X == 321, "expected x 321, got " << X);
    CHECK_MESSAGE(Y == 234, "expected y 234, got " << Y);
  };
  SetCursorPos(10, 10);
  Notice(Window, WM_RBUTTONUP);
  REQUIRE(SetCursorPos(321, 234));
  Pump();
  CHECK(Calls == 1);
}

namespace {
// Plays the user while a popup menu's own loop runs: a timer looks where the menu opened, then
// dismisses it or chooses its first entry with the keyboard.
struct TMenuUser {
  explicit TMenuUser(bool Choose) : Choose(Choose) { Current = this; }
  ~TMenuUser() { Current = nullptr; }
  void Start() { SetTimer(nullptr, 0, 100, Act); }
  bool Choose;
  bool Seen = false;
  RECT Where{};

private:
  static void CALLBACK Act(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    HWND Menu = FindWindowA("#32768", nullptr);
    Current->Seen = Menu && IsWindowVisible(Menu);
    if (Menu) GetWindowRect(Menu, &Current->Where);
    if (Current->Choose && Menu) {
      PostMessageA(Menu, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(Menu, WM_KEYDOWN, VK_RETURN, 0);
    } else {
      EndMenu();
    }
  }
  static inline TMenuUser* Current = nullptr;
};
}  // namespace

TEST_CASE("a right click pops the menu up at the pointer and raises the event after it closed") {
  TShellRecorder Shell;
  TTrayIcon Tray(nullptr);
  HWND Window = ActivateAndForget(Tray, Shell);
  std::vector<std::string> Events;
  TListenerWindow Earlier(WM_APP, [&](WPARAM, LPARAM) { Events.push_back("earlier message"); });
  TPopupMenu Menu(nullptr);
  Menu.Items.Add("Restore1", "&Restore", 0, [&](TObject*) { Events.push_back("restore"); });
  Menu.Items.Add("Exit1", "E&xit", 0, [&](TObject*) { Events.push_back("exit"); });
  Tray.SetPopupMenu(&Menu);
  CHECK(Tray.PopupMenu() == &Menu);
  Tray.OnRightClick = [&](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    CHECK(Sender == &Tray);
    CHECK(Button == mbRight);
    CHECK(Shift.Empty());
    Events.push_back("right click at " + std::to_string(X) + "," + std::to_string(Y));
  };

  SUBCASE("the menu dismissed") {
    TMenuUser User(false);
    Menu.OnPopup = [&](TObject*) {
      Events.push_back("popup");
      CHECK(GetForegroundWindow() == Application->Handle());
      User.Start();
    };
    REQUIRE(SetCursorPos(200, 150));
    Notice(Window, WM_RBUTTONUP);
    // Already queued when the notice is handled: the component lets it through before the menu.
    PostMessageA(Earlier.Handle(), WM_APP, 0, 0);
    Pump();
    CHECK(Events ==
          std::vector<std::string>{"earlier message", "popup", "right click at 200,150"});
    CHECK(User.Seen);
    CHECK_MESSAGE(User.Where.left == 200, "menu's left edge at " << User.Where.left);
    CHECK_MESSAGE(User.Where.top == 150, "menu's top edge at " << User.Where.top);
  }
  SUBCASE("an entry chosen") {
    TMenuUser User(true);
    Menu.OnPopup = [&](TObject*) { User.Start(); };
    REQUIRE(SetCursorPos(300, 250));
    Notice(Window, WM_RBUTTONUP);
    Pump();
    CHECK(Events == std::vector<std::string>{"restore", "right click at 300,250"});
  }
  SUBCASE("a menu destroyed before the component is forgotten") {
    auto* Doomed = new TPopupMenu(nullptr);
    Doomed->OnPopup = [&](TObject*) { Events.push_back("popup"); };
    Tray.SetPopupMenu(Doomed);
    delete Doomed;
    CHECK(Tray.PopupMenu() == nullptr);
    REQUIRE(SetCursorPos(100, 100));
    Notice(Window, WM_RBUTTONUP);
    Pump();
    CHECK(Events == std::vector<std::string>{"right click at 100,100"});
  }
}

TEST_CASE("ShowApp shows or hides the taskbar window on every assignment") {
  HWND App = Application->Handle();
  ShowWindow(App, SW_SHOW);
  TTrayIcon Tray(nullptr);
  CHECK(!Tray.ShowApp());
  CHECK_MESSAGE(!IsWindowVisible(App), "creating the component hides the taskbar button");

  Tray.SetShowApp(true);
  CHECK(IsWindowVisible(App));
  // The same value again still acts: what someone else did to the window is undone.
  ShowWindow(App, SW_HIDE);
  Tray.SetShowApp(true);
  CHECK(IsWindowVisible(App));

  Tray.SetShowApp(false);
  CHECK(!IsWindowVisible(App));
  ShowWindow(App, SW_SHOW);
  Tray.SetShowApp(false);
  CHECK(!IsWindowVisible(App));

  SUBCASE("loading applies ShowApp once more; with no name there is no instance check") {
    Tray.SetShowApp(true);
    ShowWindow(App, SW_HIDE);
    Tray.Loaded();
    CHECK(IsWindowVisible(App));
    Tray.SetShowApp(false);
  }
}

TEST_CASE("destruction removes an active icon while its window still exists") {
  TShellRecorder Shell;
  HWND Window;
  {
    TTrayIcon Tray(nullptr);
    Window = ActivateAndForget(Tray, Shell);
  }
  REQUIRE(Shell.Calls.size() == 1);
  CheckCall(Shell.Calls[0], NIM_DELETE, Window, nullptr, "Quillo");
  CHECK(Shell.Calls[0].WindowAlive);
  CHECK(!IsWindow(Window));

  SUBCASE("an inactive icon goes without a shell call") {
    Shell.Calls.clear();
    { TTrayIcon Tray(nullptr); }
    CHECK(Shell.Calls.empty());
  }
  SUBCASE("a refresh still queued for a destroyed component is dropped") {
    Shell.Calls.clear();
    {
      TTrayIcon Tray(nullptr);
      Tray.SetActive(true);
    }
    REQUIRE(Shell.Calls.size() == 2);
    Pump();
    CHECK(Shell.Calls.size() == 2);
  }
  SUBCASE("the component owned by another goes with it") {
    Shell.Calls.clear();
    TComponent* Owner = new TComponent(nullptr);
    TTrayIcon* Tray = new TTrayIcon(Owner);
    Tray->SetActive(true);
    delete Owner;
    REQUIRE(Shell.Calls.size() == 2);
    CHECK(Shell.Calls[1].Message == static_cast<DWORD>(NIM_DELETE));
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
}  // namespace

TEST_CASE("a second instance broadcasts the instance message and ends with exit code 0") {
  const std::string Name = "QuilloTrayiconTest" + std::to_string(GetCurrentProcessId());
  std::vector<std::pair<WPARAM, LPARAM>> Broadcasts;
  TListenerWindow Listener(RegisterWindowMessageA(Name.c_str()),
                           [&](WPARAM W, LPARAM L) { Broadcasts.emplace_back(W, L); });
  // The broadcast is posted: it may still be on its way when the second copy has ended.
  auto WaitBriefly = [&] {
    for (int Round = 0; Round < 40 && Broadcasts.empty(); ++Round) {
      Pump();
      Sleep(25);
    }
    Pump();
  };
  TScratchDir Dir;
  {
    TTrayIcon First(nullptr);
    First.SetIDMessage(Name);
    First.Loaded();

    CHECK(RunSecondInstance(Name, Dir / "ended.txt") == 0);
    // It removed the icon it had added before it ended.
    CHECK(ReadBytes(Dir / "ended.txt") == "add\ndelete\n");
    WaitBriefly();
    REQUIRE(Broadcasts.size() == 1);
    CHECK(Broadcasts[0] == std::pair<WPARAM, LPARAM>(0, 0));
  }
  // The first instance closed its mapping with its destruction: the name is free again.
  CHECK(RunSecondInstance(Name, Dir / "alone.txt") == 2);
  CHECK(ReadBytes(Dir / "alone.txt") == "add\nloaded\ndelete\n");
  WaitBriefly();
  CHECK(Broadcasts.size() == 1);
}
