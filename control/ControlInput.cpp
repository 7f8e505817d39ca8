// What reaches the host from the control: its events, decoded from their DISPPARAMS, and the
// mouse and keys over its window, taken from that window (which IOleWindow gave us) by a
// subclassing window procedure.
#include "control/VVPPWEBLib_TLB.h"

#include <windowsx.h>

#include <stdexcept>

#include "toolkit/Errors.h"

namespace {

const char* const HostProperty = "TVvPPWeb";

// Argument Index of an event (in the event's own order), as the type it is declared with.
VARIANT EventArgument(const DISPPARAMS& Params, UINT Index, VARTYPE Type) {
  if (Index >= Params.cArgs) throw std::runtime_error("The video control sent an event with too few arguments.");
  VARIANT Value;
  VariantInit(&Value);
  HRESULT Error = VariantChangeType(&Value, &Params.rgvarg[Params.cArgs - 1 - Index], 0, Type);
  if (FAILED(Error)) throw EOleSysError("The video control sent an event argument of the wrong type.", Error);
  return Value;
}

std::string TextArgument(const DISPPARAMS& Params, UINT Index) {
  VARIANT Value = EventArgument(Params, Index, VT_BSTR);
  std::string Text;
  if (UINT Length = SysStringLen(Value.bstrVal)) {
    int Size = WideCharToMultiByte(CP_ACP, 0, Value.bstrVal, static_cast<int>(Length), nullptr, 0, nullptr, nullptr);
    Text.resize(static_cast<size_t>(Size));
    WideCharToMultiByte(CP_ACP, 0, Value.bstrVal, static_cast<int>(Length), Text.data(), Size, nullptr, nullptr);
  }
  VariantClear(&Value);
  return Text;
}

int32_t LongArgument(const DISPPARAMS& Params, UINT Index) { return EventArgument(Params, Index, VT_I4).lVal; }
int16_t ShortArgument(const DISPPARAMS& Params, UINT Index) { return EventArgument(Params, Index, VT_I2).iVal; }

TShiftState KeyShift(bool AltFromMessage) {
  uint8_t Bits = 0;
  if (GetKeyState(VK_SHIFT) < 0) Bits |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) Bits |= ssCtrl;
  if (AltFromMessage || GetKeyState(VK_MENU) < 0) Bits |= ssAlt;
  return TShiftState::FromBits(Bits);
}

TShiftState MouseShift(WPARAM Keys) {
  uint8_t Bits = KeyShift(false).Value() & ssAlt;
  if (Keys & MK_SHIFT) Bits |= ssShift;
  if (Keys & MK_CONTROL) Bits |= ssCtrl;
  if (Keys & MK_LBUTTON) Bits |= ssLeft;
  if (Keys & MK_RBUTTON) Bits |= ssRight;
  if (Keys & MK_MBUTTON) Bits |= ssMiddle;
  return TShiftState::FromBits(Bits);
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
    case 1:
      if (OnAtStart) OnAtStart(this, TextArgument(Params, 0));
      break;
    case 2:
      if (OnAtEnd) OnAtEnd(this, TextArgument(Params, 0));
      break;
    case 3:
      if (OnTime) OnTime(this, LongArgument(Params, 0), TextArgument(Params, 1));
      break;
    case 4:
      if (OnVideoSize) OnVideoSize(this, ShortArgument(Params, 0), ShortArgument(Params, 1));
      break;
    case 5:
      if (OnStateChange) OnStateChange(this, LongArgument(Params, 0), TextArgument(Params, 1));
      break;
    case 6:
      if (OnFetchError) OnFetchError(this, LongArgument(Params, 0));
      break;
    case 7:
      if (OnAudioDevOpen) OnAudioDevOpen(this, LongArgument(Params, 0));
      break;
    case 8:
      if (OnAudioDevClose) OnAudioDevClose(this);
      break;
    default:
      break;
  }
}

void TVvPPWeb::HookWindow() {
  if (!Window || ControlProc) return;
  SetPropA(Window, HostProperty, this);
  ControlProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TVvPPWeb::WindowHook)));
}

void TVvPPWeb::UnhookWindow() {
  if (Window && ControlProc) {
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
    RemovePropA(Window, HostProperty);
  }
  ControlProc = nullptr;
  Window = nullptr;
}

LRESULT CALLBACK TVvPPWeb::WindowHook(HWND Hooked, UINT Message, WPARAM WParam, LPARAM LParam) {
  auto* Host = static_cast<TVvPPWeb*>(GetPropA(Hooked, HostProperty));
  if (!Host || !Host->ControlProc) return DefWindowProcA(Hooked, Message, WParam, LParam);
  WNDPROC Next = Host->ControlProc;
  if (Message == WM_NCDESTROY) {
    // The control is taking its window away: let go of it before it is gone.
    Host->UnhookWindow();
    return CallWindowProcA(Next, Hooked, Message, WParam, LParam);
  }
  LRESULT Result = 0;
  bool Handled = false;
  try {
    Handled = Host->HandleInput(Message, WParam, LParam, Result);
  } catch (const std::exception& Error) {
    ReportHandlerError(Error);
  } catch (...) {
    ReportHandlerError(std::runtime_error("A mouse or key handler failed."));
  }
  return Handled ? Result : CallWindowProcA(Next, Hooked, Message, WParam, LParam);
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
      TShiftState Shift = MouseShift(WParam);
      if (Double) Shift |= ssDouble;
      if (Message == WM_LBUTTONDBLCLK && OnDblClick) OnDblClick(this);
      if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
      return false;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (GetCapture() == Window && !(WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
      TMouseButton Button = Message == WM_LBUTTONUP ? mbLeft : Message == WM_RBUTTONUP ? mbRight : mbMiddle;
      if (OnMouseUp) OnMouseUp(this, Button, MouseShift(WParam), X, Y);
      return false;
    }
    case WM_MOUSEMOVE:
      if (OnMouseMove) OnMouseMove(this, MouseShift(WParam), X, Y);
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (!OnKeyDown) return false;
      auto Key = static_cast<uint16_t>(WParam);
      OnKeyDown(this, Key, KeyShift(Message == WM_SYSKEYDOWN && (LParam & (1 << 29))));
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
