// What reaches the host from the control: its events, decoded from their DISPPARAMS, and the
// mouse and keys over its window, taken from that window (which IOleWindow gave us) by a
// subclass of the common controls' kind, which lets go of the window without disturbing any
// other subclass of it.
#include "control/VVPPWEBLib_TLB.h"

#include <windowsx.h>
#include <commctrl.h>

#include "toolkit/Controls.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

namespace {

// Our subclass of the control's window, among whatever others it has.
constexpr UINT_PTR HookId = 0x5656;  // "VV"
const char* const WrongType = "The video control sent an event argument of the wrong type.";

// Argument Index of an event, in the event's own order (DISPPARAMS holds them last first).
const VARIANT& EventArgument(const DISPPARAMS& Params, UINT Index) {
  if (Index >= Params.cArgs) throw Exception("The video control sent an event with too few arguments.");
  return Params.rgvarg[Params.cArgs - 1 - Index];
}

std::string TextArgument(const DISPPARAMS& Params, UINT Index) {
  return VariantText(EventArgument(Params, Index), WrongType);
}

int32_t LongArgument(const DISPPARAMS& Params, UINT Index) {
  return ChangeType(EventArgument(Params, Index), VT_I4, WrongType)->lVal;
}

int16_t ShortArgument(const DISPPARAMS& Params, UINT Index) {
  return ChangeType(EventArgument(Params, Index), VT_I2, WrongType)->iVal;
}

}  // namespace

void TVvPPWeb::ReportHandlerError(const std::exception& Error) {
  try {
    if (OnHandlerError) {
      OnHandlerError(Error);
      return;
    }
  } catch (...) {
  }
  MessageBoxA(nullptr, Error.what(), "Error", MB_OK | MB_ICONERROR);
}

void TVvPPWeb::HandleEvent(DISPID DispId, const DISPPARAMS& Params) {
  switch (DispId) {
    case dispOnAtStart:
      if (OnAtStart) OnAtStart(this, TextArgument(Params, 0));
      break;
    case dispOnAtEnd:
      if (OnAtEnd) OnAtEnd(this, TextArgument(Params, 0));
      break;
    case dispOnTime:
      if (OnTime) OnTime(this, LongArgument(Params, 0), TextArgument(Params, 1));
      break;
    case dispOnVideoSize:
      if (OnVideoSize) OnVideoSize(this, ShortArgument(Params, 0), ShortArgument(Params, 1));
      break;
    case dispOnStateChange:
      if (OnStateChange) OnStateChange(this, LongArgument(Params, 0), TextArgument(Params, 1));
      break;
    case dispOnFetchError:
      if (OnFetchError) OnFetchError(this, LongArgument(Params, 0));
      break;
    case dispOnAudioDevOpen:
      if (OnAudioDevOpen) OnAudioDevOpen(this, LongArgument(Params, 0));
      break;
    case dispOnAudioDevClose:
      if (OnAudioDevClose) OnAudioDevClose(this);
      break;
    default:
      break;
  }
}

void TVvPPWeb::HookWindow() {
  if (!Window || Hooked) return;
  Hooked = SetWindowSubclass(Window, &TVvPPWeb::WindowHook, HookId, reinterpret_cast<DWORD_PTR>(this));
  if (!Hooked) {
    const DWORD Error = GetLastError();
    throw EOleSysError("Cannot take the video control's mouse and keys: " + SysErrorMessage(Error),
                       HRESULT_FROM_WIN32(Error));
  }
}

void TVvPPWeb::UnhookWindow() {
  if (Window && Hooked) RemoveWindowSubclass(Window, &TVvPPWeb::WindowHook, HookId);
  Hooked = false;
  Window = nullptr;
}

LRESULT CALLBACK TVvPPWeb::WindowHook(HWND Hooked, UINT Message, WPARAM WParam, LPARAM LParam, UINT_PTR,
                                      DWORD_PTR Data) {
  auto* Host = reinterpret_cast<TVvPPWeb*>(Data);
  if (Message == WM_NCDESTROY) {
    // The control is taking its window away: let go of it before it is gone.
    Host->UnhookWindow();
    return DefSubclassProc(Hooked, Message, WParam, LParam);
  }
  LRESULT Result = 0;
  bool Handled = false;
  CatchAndReport([&] { Handled = Host->HandleInput(Message, WParam, LParam, Result); }, ReportHandlerError,
                 "A mouse or key handler failed.");
  return Handled ? Result : DefSubclassProc(Hooked, Message, WParam, LParam);
}

bool TVvPPWeb::HandleInput(UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
  const int X = GET_X_LPARAM(LParam), Y = GET_Y_LPARAM(LParam);
  switch (Message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      TMouseButton Button = Message == WM_LBUTTONDOWN || Message == WM_LBUTTONDBLCLK   ? mbLeft
                            : Message == WM_RBUTTONDOWN || Message == WM_RBUTTONDBLCLK ? mbRight
                                                                                       : mbMiddle;
      bool Double = Message == WM_LBUTTONDBLCLK || Message == WM_RBUTTONDBLCLK || Message == WM_MBUTTONDBLCLK;
      // Held until the button goes up, so a drag that leaves the video keeps reporting moves.
      SetCapture(Window);
      HoldingMouse = true;
      TShiftState Shift = MouseShift(WParam);
      if (Double) Shift |= ssDouble;
      if (Message == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
      if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
      return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!(WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) {
        HoldingMouse = false;
        if (GetCapture() == Window) ReleaseCapture();
      }
      TMouseButton Button = Message == WM_LBUTTONUP ? mbLeft : Message == WM_RBUTTONUP ? mbRight : mbMiddle;
      if (OnMouseUp) OnMouseUp(this, Button, MouseShift(WParam), X, Y);
      return false;
    }
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, MouseShift(WParam), X, Y);
      return false;
    case WM_CAPTURECHANGED:
      // Our own release has let go already; here another window took the mouse.
      if (HoldingMouse && reinterpret_cast<HWND>(LParam) != Window) {
        HoldingMouse = false;
        if (OnCaptureLost) OnCaptureLost(this);
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (!OnKeyDown) return false;
      auto Key = static_cast<uint16_t>(WParam);
      TShiftState Shift = KeyboardShift();
      // A system key with the context bit came with Alt down, whatever the key state says now.
      if (Message == WM_SYSKEYDOWN && (LParam & (1 << 29))) Shift |= ssAlt;
      OnKeyDown(this, Key, Shift);
      Result = 0;
      return Key == 0;
    }
    case WM_CONTEXTMENU: {
      if (!OnContextPopup) return false;
      POINT At{X, Y};
      if (LParam == -1) {
        // From the keyboard: the menu opens at the middle of the video.
        RECT Area;
        GetClientRect(Window, &Area);
        At = POINT{(Area.right - Area.left) / 2, (Area.bottom - Area.top) / 2};
        ClientToScreen(Window, &At);
      }
      OnContextPopup(At.x, At.y);
      Result = 0;
      return true;
    }
    case WM_SETCURSOR:
      if (NoCursor && LOWORD(LParam) == HTCLIENT) {
        SetCursor(nullptr);
        Result = TRUE;
        return true;
      }
      return false;
    default:
      return false;
  }
}
