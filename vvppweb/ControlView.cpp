// The control's window in the container: the clip's picture scaled to the window (or the
// generated picture of a clip with a header only), the control strip when Videocontrols is on,
// and taking the focus on a click so keys reach the window.
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

namespace {

// Pixels of Width x Height, top row first, onto Dc at Left, Top in one blit: the whole picture
// changes at once, without a blank in between.
void Blit(HDC Dc, int Left, int Top, int Width, int Height, const std::vector<uint32_t>& Pixels) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(Dc, Left, Top, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0, 0, 0,
                    static_cast<UINT>(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
}

}  // namespace

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
  PaintPicture(Dc, Picture);
  const TClipInfo* Clip = Playback.Clip();

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
    if (Clip && Playback.LengthMs() > 0 && Track.right > Track.left) {
      LONG Done = static_cast<LONG>(static_cast<int64_t>(Track.right - Track.left) * Playback.Position() / Playback.LengthMs());
      FillSolid(Dc, RECT{Track.left, Track.top, Track.left + Done, Track.bottom}, RGB(80, 200, 80));
    }
  }
}

void TVivoControl::PaintPicture(HDC Dc, const RECT& Area) {
  int Width = Area.right - Area.left, Height = Area.bottom - Area.top;
  const TClipInfo* Clip = Playback.Clip();
  const TPicture* Decoded = Playback.Picture();
  ShownSerial = Decoded ? Decoded->Serial : 0;
  ShownPicture = Clip && !Playback.ClipMedia() && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
  ShownFrame = ShownPicture ? FrameAt(Playback.Position(), Clip->Fps) : 0;
  if (Width <= 0 || Height <= 0) return;

  if (Decoded) {
    // The clip's picture, converted and scaled to the window as the host has sized it.
    bool Fresh = Decoded->Serial != RenderedSerial || FrameWidth != Width || FrameHeight != Height;
    if (Fresh) {
      if (!Scaler.Draw(*Decoded, Width, Height, FramePixels)) {
        FillSolid(Dc, Area, RGB(0, 0, 0));
        return;
      }
      RenderedSerial = Decoded->Serial;
      RenderedFrame = UINT32_MAX;
      FrameWidth = Width;
      FrameHeight = Height;
    }
    Blit(Dc, Area.left, Area.top, Width, Height, FramePixels);
    if (Fresh && Recording) {
      RecordedShown.push_back({static_cast<LONG>(Decoded->TimeMs), static_cast<LONG>(Playback.Position()),
                               GetTickCount64(), Width, Height});
      RecordedPixels.push_back(RecordingPixels ? FramePixels : std::vector<uint32_t>{});
    }
  } else if (ShownPicture) {
    // A clip of a header only: the pattern drawn at the window's size, moving with the clock.
    if (FrameWidth != Width || FrameHeight != Height || RenderedFrame != ShownFrame) {
      FramePixels = RenderFrame(Width, Height, ShownFrame);
      FrameWidth = Width;
      FrameHeight = Height;
      RenderedFrame = ShownFrame;
      RenderedSerial = 0;
    }
    Blit(Dc, Area.left, Area.top, Width, Height, FramePixels);
  } else {
    FillSolid(Dc, Area, RGB(0, 0, 0));
  }
}
