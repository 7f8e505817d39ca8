// The player window's chores in-process: the screen-saver filter over a clip's life, Always On
// Top, the tray icon with Minimize and a click on the icon (help: HelpTests.cpp).
#include <doctest.h>
#include <windows.h>

#include <cstring>

#include "components/Trayicon.h"
#include "tests/win/MainFormFixture.h"

namespace {

// Notes what reaches the window after the application's loop: screen-saver starts and WM_APP.
struct TArrivals {
  explicit TArrivals(HWND Window) : Window(Window) {
    Self = this;
    Next = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
  }
  ~TArrivals() { SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Next)); }
  // Posts the message, lets the loop take it and says whether it arrived.
  bool Passes(UINT Msg, WPARAM W) {
    Arrived = false;
    PostMessageA(Window, Msg, W, 0);
    Application->ProcessMessages();
    return Arrived;
  }
  bool ScreenSaverPasses(WPARAM Command = SC_SCREENSAVE) { return Passes(WM_SYSCOMMAND, Command); }
  static LRESULT CALLBACK Proc(HWND W, UINT Msg, WPARAM WP, LPARAM LP) {
    if (Msg == WM_APP || (Msg == WM_SYSCOMMAND && (WP & 0xFFF0) == SC_SCREENSAVE)) {
      Self->Arrived = true;
      return 0;
    }
    return CallWindowProcA(Self->Next, W, Msg, WP, LP);
  }
  static inline TArrivals* Self = nullptr;
  HWND Window;
  WNDPROC Next;
  bool Arrived = false;
};

bool Topmost(HWND Window) { return (GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

BOOL CALLBACK FindTrayWindow(HWND Window, LPARAM Found) {
  char Class[64] = "";
  GetClassNameA(Window, Class, sizeof Class);
  if (std::strcmp(Class, "QuilloTrayIconWindow") == 0) *reinterpret_cast<HWND*>(Found) = Window;
  return TRUE;
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "Disable Screen Saver holds the screen saver off while a clip plays") {
  ShowInFront();
  TArrivals Window(Form->Handle());
  CHECK(Window.ScreenSaverPasses());

  Form->DisableScreenSaver1Click(nullptr);
  CHECK(Form->DisableScreenSaver1->Checked);
  CHECK_FALSE(Window.ScreenSaverPasses());
  CHECK_FALSE(Window.ScreenSaverPasses(SC_SCREENSAVE | 2));
  CHECK(Window.Passes(WM_APP, 0));

  StartClip("short.viv", 600);
  CHECK_FALSE(Window.ScreenSaverPasses());
  REQUIRE(RunUntil([&] { return Form->PlayState == psStopped; }, 10000));
  CHECK(Form->DisableScreenSaver1->Checked);
  CHECK(Window.ScreenSaverPasses());

  Form->Restart1Click(nullptr);
  REQUIRE(RunUntil([&] { return Form->PlayState == psPlaying; }));
  CHECK_FALSE(Window.ScreenSaverPasses());
  Form->DisableScreenSaver1Click(nullptr);
  CHECK(Window.ScreenSaverPasses());
}

TEST_CASE_FIXTURE(TMainFormFixture, "Always On Top twice: not topmost, same place, same owner") {
  ShowInFront();
  RECT Before, After;
  GetWindowRect(Form->Handle(), &Before);
  Form->AlwaysOnTop1Click(nullptr);
  CHECK(Form->AlwaysOnTop1->Checked);
  CHECK(Topmost(Form->Handle()));
  Form->AlwaysOnTop1Click(nullptr);
  CHECK_FALSE(Form->AlwaysOnTop1->Checked);
  CHECK_FALSE(Topmost(Form->Handle()));
  GetWindowRect(Form->Handle(), &After);
  CHECK(std::memcmp(&Before, &After, sizeof Before) == 0);
  CHECK(GetWindow(Form->Handle(), GW_OWNER) == App.App.Handle());
}

TEST_CASE_FIXTURE(TMainFormFixture, "System Tray: the icon instead of the taskbar button; its click restores") {
  ShowInFront();
  HWND Window = Form->Handle();
  Form->SystemTray1Click(nullptr);
  CHECK(Form->TrayIcon1->Active());
  CHECK_FALSE(Form->TrayIcon1->ShowApp());
  CHECK_FALSE(IsWindowVisible(App.App.Handle()));

  Form->Minimize1Click(nullptr);
  CHECK_FALSE(IsWindowVisible(Window));
  CHECK(Form->TrayIcon1->Active());
  CHECK_FALSE(IsWindowVisible(App.App.Handle()));

  HWND Tray = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindTrayWindow, reinterpret_cast<LPARAM>(&Tray));
  REQUIRE(Tray);
  PostMessageA(Tray, WM_TRAYICON, 0, WM_LBUTTONUP);
  Application->ProcessMessages();
  CHECK(IsWindowVisible(Window));
  CHECK_FALSE(App.App.Minimized());
  CHECK(GetForegroundWindow() == Window);

  Form->SystemTray1Click(nullptr);
  CHECK_FALSE(Form->TrayIcon1->Active());
  CHECK(IsWindowVisible(App.App.Handle()));
}

