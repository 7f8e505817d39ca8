// The control's window in the container: the generated picture, the control strip when
// Videocontrols is on, and taking the focus on a click so keys reach the window.
#include "vvppweb/VivoControl.h"

#include "vvppweb/Module.h"
#include "vvppweb/Picture.h"

namespace {

const char* const ViewClass = "VvPPWebView";
constexpr int StripHeight = 12;

LRESULT CALLBACK ViewProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TVivoControl* Control = ControlOfWindow(Window, Message, LParam);
  if (!Control) return DefWindowProcA(Window, Message, WParam, LParam);
  try {
    return Control->ViewMessage(Window, Message, WParam, LParam);
  } catch (...) {
    return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

void FillSolid(HDC Dc, const RECT& Area, COLORREF Colour) {
  SetBkColor(Dc, Colour);
  ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &Area, nullptr, 0, nullptr);
}

}  // namespace

HWND CreateViewWindow(TVivoControl* Control, HWND Parent, const RECT& Position) {
  WNDCLASSA Class{};
  if (!GetClassInfoA(ModuleInstance, ViewClass, &Class)) {
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = ViewProc;
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
      this->Paint(Dc, Client);
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

void TVivoControl::Paint(HDC Dc, const RECT& Client) {
  RECT Picture = Client;
  bool Strip = VideocontrolsOn() && Client.bottom - Client.top > StripHeight;
  if (Strip) Picture.bottom -= StripHeight;
  int Width = Picture.right - Picture.left, Height = Picture.bottom - Picture.top;

  const TClipInfo* Clip = Playback.Clip();
  ShownPicture = Clip && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
  ShownFrame = Clip ? FrameAt(Playback.Position(), Clip->Fps) : 0;
  if (ShownPicture && Width > 0 && Height > 0) {
    // The pattern is drawn at the window's size: the same picture as the clip's, stretched.
    if (FrameWidth != Width || FrameHeight != Height || RenderedFrame != ShownFrame) {
      FramePixels = RenderFrame(Width, Height, ShownFrame);
      FrameWidth = Width;
      FrameHeight = Height;
      RenderedFrame = ShownFrame;
    }
    BITMAPINFO Info{};
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(Dc, Picture.left, Picture.top, static_cast<DWORD>(Width), static_cast<DWORD>(Height),
                      0, 0, 0, static_cast<UINT>(Height), FramePixels.data(), &Info, DIB_RGB_COLORS);
  } else {
    FillSolid(Dc, Picture, RGB(0, 0, 0));
  }

  if (Strip) {
    RECT Bar{Client.left, Picture.bottom, Client.right, Client.bottom};
    FillSolid(Dc, Bar, RGB(48, 48, 48));
    // A play triangle while paused, two bars while playing, then the clip's progress.
    int Top = Bar.top + 2, Bottom = Bar.bottom - 2;
    COLORREF Glyph = RGB(220, 220, 220);
    if (Playback.Playing()) {
      FillSolid(Dc, RECT{Bar.left + 3, Top, Bar.left + 5, Bottom}, Glyph);
      FillSolid(Dc, RECT{Bar.left + 7, Top, Bar.left + 9, Bottom}, Glyph);
    } else {
      POINT Triangle[3] = {{Bar.left + 3, Top}, {Bar.left + 3, Bottom}, {Bar.left + 9, (Top + Bottom) / 2}};
      HGDIOBJ OldBrush = SelectObject(Dc, GetStockObject(DC_BRUSH));
      HGDIOBJ OldPen = SelectObject(Dc, GetStockObject(DC_PEN));
      SetDCBrushColor(Dc, Glyph);
      SetDCPenColor(Dc, Glyph);
      Polygon(Dc, Triangle, 3);
      SelectObject(Dc, OldPen);
      SelectObject(Dc, OldBrush);
    }
    RECT Track{Bar.left + 14, Bar.top + 4, Bar.right - 3, Bar.bottom - 4};
    FillSolid(Dc, Track, RGB(90, 90, 90));
    if (Clip && Clip->DurationMs > 0 && Track.right > Track.left) {
      LONG Done = static_cast<LONG>(static_cast<int64_t>(Track.right - Track.left) * Playback.Position() / Clip->DurationMs);
      FillSolid(Dc, RECT{Track.left, Track.top, Track.left + Done, Track.bottom}, RGB(80, 200, 80));
    }
  }
}
