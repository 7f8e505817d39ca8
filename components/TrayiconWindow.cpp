// The tray icon's hidden window: the shell's mouse notices become events, a right click pops
// the menu up at the pointer.
#include "components/Trayicon.h"

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

LRESULT CALLBACK TTrayIcon::WindowProc(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
  return Binding.Dispatch(Window, Msg, W, L, &TTrayIcon::MessageWindow, &TTrayIcon::HandleMessage);
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
