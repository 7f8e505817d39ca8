// The control's window in the container: painted by the view painter (ViewPainter.h), taking the
// focus on a click so keys reach the window.
#include "vvppweb/VivoControl.h"

#include "vvppweb/Module.h"

namespace {

const char* const ViewClass = "VvPPWebView";

}  // namespace

HWND CreateViewWindow(TVivoControl* Control, HWND Parent, const RECT& Position) {
  WNDCLASSA Class{};
  if (!GetClassInfoA(ModuleInstance, ViewClass, &Class)) {
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = ControlWindowProc<&TVivoControl::ViewMessage>;
    Class.hInstance = ModuleInstance;
    Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Class.lpszClassName = ViewClass;
    RegisterClassA(&Class);
  }
  return CreateWindowExA(0, ViewClass, "", WS_CHILD | WS_CLIPSIBLINGS, Position.left, Position.top,
                         Position.right - Position.left, Position.bottom - Position.top, Parent,
                         nullptr, ModuleInstance, Control);
}

void UnregisterViewClass() { UnregisterClassA(ViewClass, ModuleInstance); }

LRESULT TVivoControl::ViewMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT Paint;
      HDC Dc = BeginPaint(Window, &Paint);
      RECT Client;
      GetClientRect(Window, &Client);
      Painter.Paint(Dc, Client, Playback, VideocontrolsOn());
      EndPaint(Window, &Paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (GetFocus() != Window) SetFocus(Window);
      return 0;
    case WM_SIZE:
      InvalidateRect(Window, nullptr, FALSE);
      return 0;
    case WM_NCDESTROY:
      if (View == Window) View = nullptr;
      return DefWindowProcA(Window, Message, WParam, LParam);
    default:
      return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

