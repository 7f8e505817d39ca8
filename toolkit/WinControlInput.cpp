// Windowed controls: their message handling, and mouse, cursor, context menu and mnemonic
// routing to the windowless controls on them.
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "toolkit/Controls.h"
#include "toolkit/Menus.h"

namespace {
LPCSTR SystemCursor(TCursor Cursor) {
  switch (Cursor) {
    case crCross: return IDC_CROSS;
    case crIBeam: return IDC_IBEAM;
    case crSizeNESW: return IDC_SIZENESW;
    case crSizeNS: return IDC_SIZENS;
    case crSizeNWSE: return IDC_SIZENWSE;
    case crSizeWE: return IDC_SIZEWE;
    case crHourGlass: return IDC_WAIT;
    case crNo: return IDC_NO;
    case crHandPoint: return IDC_HAND;
    case crSizeAll: return IDC_SIZEALL;
    default: return IDC_ARROW;
  }
}

bool IsMouseMessage(UINT Msg) { return Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK; }
}  // namespace

LRESULT TWinControl::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_ERASEBKGND:
      if (!SystemClass) return 1;
      break;
    case WM_PAINT:
      if (!SystemClass) {
        Paint();
        return 0;
      }
      break;
    case WM_SIZE:
      Realign();
      Resize();
      break;
    case WM_MOUSELEAVE:
      TrackingLeave = false;
      UpdateHover(0, 0, false);
      return 0;
    case WM_CAPTURECHANGED:
      // A release that let go has already forgotten the control; here the mouse was taken.
      if (reinterpret_cast<HWND>(L) != Window && Captured) {
        TControl* Lost = std::exchange(Captured, nullptr);
        Lost->LeftPressed = false;
        Lost->CaptureLost();
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(W) == Window && LOWORD(L) == HTCLIENT && SetControlCursor())
        return TRUE;
      break;
    case WM_CONTEXTMENU:
      if (ShowContextMenu(L)) return 0;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      uint16_t Key = static_cast<uint16_t>(W);
      KeyDown(Key, KeyboardShift());
      if (Key == 0) return 0;
      W = Key;
      break;
    }
    case WM_CHAR: {
      char Key = static_cast<char>(W);
      KeyPress(Key);
      if (Key == 0) return 0;
      if (!SystemClass && OfferDialogChar(Key, KeyboardShift())) return 0;
      W = static_cast<unsigned char>(Key);
      break;
    }
    case WM_SYSCHAR:
      if (OfferDialogChar(static_cast<char>(W), KeyboardShift())) return 0;
      break;
    case WM_CTLCOLORLISTBOX:
      if (TWinControl* Child = FromHandle(reinterpret_cast<HWND>(L)); Child && Child != this)
        if (HBRUSH Brush = Child->ControlColor(reinterpret_cast<HDC>(W)))
          return reinterpret_cast<LRESULT>(Brush);
      break;
    case WM_COMMAND:
      if (TWinControl* Child = FromHandle(reinterpret_cast<HWND>(L)); Child && Child != this) {
        Child->Notified(HIWORD(W));
        return 0;
      }
      break;
    default:
      if (IsMouseMessage(Msg) && Msg != WM_MOUSEWHEEL) {
        if (RouteMouse(Msg, W, L)) return 0;
      }
      break;
  }
  return DefaultHandler(Msg, W, L);
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

bool TWinControl::RouteMouse(UINT Msg, WPARAM W, LPARAM L) {
  const int X = GET_X_LPARAM(L), Y = GET_Y_LPARAM(L);
  const TShiftState Shift = MouseShift(W);
  RECT Client = ClientRect();
  const bool Inside = PtInRect(&Client, POINT{X, Y}) != 0;

  if (!SystemClass) {
    UpdateHover(X, Y, Inside);
    if (Inside && !TrackingLeave) {
      TRACKMOUSEEVENT Track{sizeof(Track), TME_LEAVE, Window, 0};
      TrackingLeave = TrackMouseEvent(&Track) != 0;
    }
  }

  TControl* Target = Captured;
  if (!Target) Target = SystemClass ? nullptr : ControlAtPos(X, Y, false);
  if (!Target) Target = this;
  auto Alive = [this](TControl* C) {
    return C == this || std::find(Children.begin(), Children.end(), C) != Children.end();
  };
  const int CX = Target == this ? X : X - Target->Bounds.left;
  const int CY = Target == this ? Y : Y - Target->Bounds.top;

  TMouseButton Button = mbLeft;
  switch (Msg) {
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: Button = mbRight; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: Button = mbMiddle; break;
    default: break;
  }

  switch (Msg) {
    case WM_MOUSEMOVE:
      Target->MouseMove(Shift, CX, CY);
      return !SystemClass;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: {
      if (!SystemClass && !Captured) {
        Captured = Target;
        SetCapture(Window);
      }
      const bool Double = (Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK ||
                           Msg == WM_MBUTTONDBLCLK) && Target->DoubleClicks;
      if (Button == mbLeft) Target->LeftPressed = !Double;
      if (Double) {
        if (Button == mbLeft) Target->DblClick();
        if (Alive(Target)) Target->MouseDown(Button, Shift | ssDouble, CX, CY);
      } else {
        Target->MouseDown(Button, Shift, CX, CY);
      }
      return !SystemClass;
    }
    default: {  // a button released
      // The release reaches the control and the mouse is let go even when the click's handler
      // fails: a control left holding the mouse would take the next press meant for another.
      auto Release = [&] {
        if (Alive(Target)) Target->MouseUp(Button, Shift, CX, CY);
        if (!SystemClass && !(W & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
          Captured = nullptr;
          if (GetCapture() == Window) ReleaseCapture();
        }
      };
      if (Button == mbLeft && Target->LeftPressed) {
        Target->LeftPressed = false;
        const bool Over = Target == this ? Inside
                                         : CX >= 0 && CY >= 0 && CX < Target->Width() &&
                                               CY < Target->Height();
        if (Over) {
          try {
            Target->Click();
          } catch (...) {
            Release();
            throw;
          }
        }
      }
      Release();
      // The right button's release goes on to the system, which asks for the context menu.
      return !SystemClass && Msg != WM_RBUTTONUP;
    }
  }
}

void TWinControl::UpdateHover(int X, int Y, bool Inside) {
  TControl* Now = Inside ? ControlAtPos(X, Y, true) : nullptr;
  if (Now == Hovered) return;
  TControl* Before = Hovered;
  Hovered = Now;
  if (Before) Before->MouseLeave();
  if (Now && Hovered == Now) Now->MouseEnter();
}

bool TWinControl::SetControlCursor() {
  POINT P;
  GetCursorPos(&P);
  ::ScreenToClient(Window, &P);
  TControl* Over = Captured && Captured != this ? Captured : ControlAtPos(P.x, P.y, false);
  TCursor Shape = Over ? Over->Cursor() : crDefault;
  if (Shape == crDefault) Shape = Cursor();
  ::SetCursor(Shape == crNone ? nullptr : LoadCursorA(nullptr, SystemCursor(Shape)));
  return true;
}

bool TWinControl::ShowContextMenu(LPARAM L) {
  POINT Screen{GET_X_LPARAM(L), GET_Y_LPARAM(L)};
  TControl* Over = nullptr;
  if (L == -1) {  // from the keyboard: the middle of the client area
    RECT Client = ClientRect();
    Screen = POINT{Client.right / 2, Client.bottom / 2};
    ::ClientToScreen(Window, &Screen);
  } else {
    POINT Local = Screen;
    ::ScreenToClient(Window, &Local);
    Over = ControlAtPos(Local.x, Local.y, false);
  }
  TPopupMenu* Menu = Over && Over->PopupMenu() ? Over->PopupMenu() : PopupMenu();
  if (!Menu) return false;
  Menu->Popup(Screen.x, Screen.y);
  return true;
}

bool TWinControl::OfferDialogChar(char Key, TShiftState Shift) {
  std::vector<TControl*> Order(Children.rbegin(), Children.rend());
  for (TControl* Child : Order) {
    if (std::find(Children.begin(), Children.end(), Child) == Children.end()) continue;
    if (Child->Visible() && Child->DialogChar(Key, Shift)) return true;
  }
  return false;
}
