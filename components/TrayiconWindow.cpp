// The tray icon's hidden window: the shell's mouse notices become events, a right click pops
// the menu up at the pointer.
#include "components/Trayicon.h"

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

LRESULT CALLBACK TTrayIcon::WindowProc(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_NCCREATE) {
    // The component knows its window from the first message on, before CreateWindowExA returns.
    auto* Created = static_cast<TTrayIcon*>(reinterpret_cast<CREATESTRUCTA*>(L)->lpCreateParams);
    Created->MessageWindow = Window;
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Created));
  }
  auto* Self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (!Self) return DefWindowProcA(Window, Msg, W, L);
  // An error in a handler ends that handler only; it must not unwind through the system.
  LRESULT Result = 0;
  Application->ReportErrors([&] { Result = Self->HandleMessage(Msg, W, L); });
  return Result;
}

LRESULT TTrayIcon::HandleMessage(UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_TRAYREFRESH:
      SetToolTip(Tip);
      return 0;
    case WM_TRAYICON:
      switch (L) {
        case WM_LBUTTONUP:
          if (OnClick) OnClick(this);
          break;
        case WM_LBUTTONDBLCLK:
          if (OnDblClick) OnDblClick(this);
          break;
        case WM_RBUTTONUP:
          RightClick();
          break;
      }
      return 0;
  }
  return DefWindowProcA(MessageWindow, Msg, W, L);
}

void TTrayIcon::RightClick() {
  POINT Pointer{};
  GetCursorPos(&Pointer);
  if (Menu) {
    // The menu closes properly on a click elsewhere only when our program is in front.
    SetForegroundWindow(Application->Handle());
    Application->ProcessMessages();
    Menu->Popup(Pointer.x, Pointer.y);
  }
  if (OnRightClick) OnRightClick(this, mbRight, TShiftState(), Pointer.x, Pointer.y);
}
