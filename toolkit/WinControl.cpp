// Windowed controls: the window procedure thunk, geometry, layout and double-buffered painting.
#include <algorithm>
#include <set>
#include <string>

#include "toolkit/Controls.h"

// After windows.h, which Controls.h brings: commctrl.h needs its types.
#include <commctrl.h>

#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"
#include "toolkit/WindowBinding.h"

namespace {
const TWindowBinding<TWinControl> ControlBinding("QuilloControl");

void RegisterOwnClass(const char* ClassName, WNDPROC Procedure) {
  static std::set<std::string> Registered;
  if (Registered.count(ClassName)) return;
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  Class.lpfnWndProc = Procedure;
  Class.hInstance = Instance;
  Class.hIcon = static_cast<HICON>(ProgramIcon());
  Class.lpszClassName = ClassName;
  if (!RegisterClassA(&Class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception(std::string("Cannot register the window class ") + ClassName + ": " +
                    SysErrorMessage(GetLastError()));
  Registered.insert(ClassName);
}

// Ends a paint cycle and frees the off-screen picture, also when a control's paint fails.
class TPaintBuffer {
public:
  TPaintBuffer(HWND Window) : Window(Window) {
    Screen = BeginPaint(Window, &Paint);
    Area = Paint.rcPaint;
    Width = Area.right - Area.left;
    Height = Area.bottom - Area.top;
    if (Width <= 0 || Height <= 0) return;
    DC = CreateCompatibleDC(Screen);
    Bitmap = CreateCompatibleBitmap(Screen, Width, Height);
    Old = SelectObject(DC, Bitmap);
    SetViewportOrgEx(DC, -Area.left, -Area.top, nullptr);
  }
  ~TPaintBuffer() {
    if (DC) {
      SelectObject(DC, Old);
      DeleteObject(Bitmap);
      DeleteDC(DC);
    }
    EndPaint(Window, &Paint);
  }
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;
  void Present() {
    SetViewportOrgEx(DC, -Area.left, -Area.top, nullptr);
    BitBlt(Screen, Area.left, Area.top, Width, Height, DC, Area.left, Area.top, SRCCOPY);
  }

  HDC DC = nullptr;
  RECT Area;

private:
  HWND Window;
  PAINTSTRUCT Paint;
  HDC Screen;
  int Width, Height;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
};
}  // namespace

TWinControl::TWinControl(TComponent* Owner) : TControl(Owner) {}

TWinControl::~TWinControl() {
  DestroyComponents();
  for (TControl* Child : Children) Child->ParentControl = nullptr;
  Children.clear();
  Captured = Hovered = nullptr;
  if (Window) {
    HWND Gone = Window;
    Window = nullptr;
    ControlBinding.Unbind(Gone);
    if (SystemClass) RemoveWindowSubclass(Gone, SubclassThunk, 0);
    DestroyWindow(Gone);
  }
}

void TWinControl::CreateHandle(DWORD ExStyle, const char* ClassName, bool OfSystemClass,
                               DWORD Style, const RECT& Area, HWND Parent) {
  if (!OfSystemClass) RegisterOwnClass(ClassName, Thunk);
  HWND Made = CreateWindowExA(ExStyle, ClassName, Caption().c_str(), Style, Area.left, Area.top,
                              Area.right - Area.left, Area.bottom - Area.top, Parent, nullptr,
                              GetModuleHandleA(nullptr), OfSystemClass ? nullptr : this);
  if (!Made)
    throw Exception(std::string("Cannot create a window of class ") + ClassName + ": " +
                    SysErrorMessage(GetLastError()));
  Window = Made;
  if (OfSystemClass) {
    // Subclassed through the common controls, so that letting go of the window later leaves
    // any subclass made after ours in place.
    ControlBinding.Bind(Made, this);
    if (!SetWindowSubclass(Made, SubclassThunk, 0, reinterpret_cast<DWORD_PTR>(this))) {
      DWORD Error = GetLastError();
      Window = nullptr;
      ControlBinding.Unbind(Made);
      DestroyWindow(Made);
      throw Exception(std::string("Cannot subclass a window of class ") + ClassName + ": " +
                      SysErrorMessage(Error));
    }
    SystemClass = true;
  }
  IsVisible = (Style & WS_VISIBLE) != 0;
  IsEnabled = (Style & WS_DISABLED) == 0;
}

TWinControl* TWinControl::FromHandle(HWND Window) { return ControlBinding.Find(Window); }

LRESULT CALLBACK TWinControl::Thunk(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
  return ControlBinding.Dispatch(Window, Msg, W, L, &TWinControl::Window, &TWinControl::Dispatch);
}

LRESULT CALLBACK TWinControl::SubclassThunk(HWND, UINT Msg, WPARAM W, LPARAM L, UINT_PTR,
                                            DWORD_PTR Data) {
  auto* Self = reinterpret_cast<TWinControl*>(Data);
  LRESULT Result = 0;
  Application->ReportErrors([&] { Result = Self->Dispatch(Msg, W, L); });
  return Result;
}

LRESULT TWinControl::Dispatch(UINT Msg, WPARAM W, LPARAM L) {
  if (Msg != WM_NCDESTROY) return WndProc(Msg, W, L);
  HWND Gone = Window;
  const bool Subclassed = SystemClass;
  ControlBinding.Unbind(Gone);
  Window = nullptr;
  SystemClass = false;
  if (!Subclassed) return DefWindowProcA(Gone, Msg, W, L);
  RemoveWindowSubclass(Gone, SubclassThunk, 0);
  return DefSubclassProc(Gone, Msg, W, L);
}

LRESULT TWinControl::DefaultHandler(UINT Msg, WPARAM W, LPARAM L) {
  return SystemClass ? DefSubclassProc(Window, Msg, W, L) : DefWindowProcA(Window, Msg, W, L);
}

RECT TWinControl::BoundsRect() const {
  if (!Window) return TControl::BoundsRect();
  RECT R;
  GetWindowRect(Window, &R);
  if (GetWindowLongA(Window, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(nullptr, GetParent(Window), reinterpret_cast<POINT*>(&R), 2);
  return R;
}

void TWinControl::SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  if (!Window) return TControl::SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
  SetWindowPos(Window, nullptr, NewLeft, NewTop, NewWidth, NewHeight,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinControl::SetVisible(bool Value) {
  if (Window) ShowWindow(Window, Value ? SW_SHOW : SW_HIDE);
  TControl::SetVisible(Value);
}

void TWinControl::Invalidate() {
  if (Window) InvalidateRect(Window, nullptr, FALSE);
}

RECT TWinControl::ClientRect() const {
  RECT R{0, 0, 0, 0};
  if (Window) GetClientRect(Window, &R);
  return R;
}

void TWinControl::SetClientSize(int NewWidth, int NewHeight) {
  // The frame may change with the size (a style changed since the last layout), so measure
  // again once after the first try.
  for (int Attempt = 0; Attempt < 2 && Window; ++Attempt) {
    RECT Client = ClientRect();
    int DeltaX = NewWidth - Client.right;
    int DeltaY = NewHeight - Client.bottom;
    if (DeltaX == 0 && DeltaY == 0) return;
    RECT Outer;
    GetWindowRect(Window, &Outer);
    SetWindowPos(Window, nullptr, 0, 0, Outer.right - Outer.left + DeltaX,
                 Outer.bottom - Outer.top + DeltaY, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TWinControl::SetFocus() {
  if (Window) ::SetFocus(Window);
}

void TWinControl::EnabledChanged() {
  if (Window) EnableWindow(Window, Enabled());
}

void TWinControl::CaptionChanged() {
  if (Window) SetWindowTextA(Window, Caption().c_str());
}

void TWinControl::FontChanged() {
  if (Window && SystemClass) SendMessageA(Window, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  ChildFontsChanged();
  Invalidate();
}

void TWinControl::ChildFontsChanged() {
  for (TControl* Child : Children) Child->ParentFontChanged();
}

void TWinControl::InsertControl(TControl* Control) {
  Children.push_back(Control);
  if (Control->Align() == alClient) Realign();
  Control->Invalidate();
}

void TWinControl::RemoveControl(TControl* Control) {
  Control->Invalidate();
  Children.erase(std::remove(Children.begin(), Children.end(), Control), Children.end());
  Control->ParentControl = nullptr;
  if (Hovered == Control) Hovered = nullptr;
  if (Captured == Control) {
    Captured = nullptr;
    if (Window && GetCapture() == Window) ReleaseCapture();
  }
}

void TWinControl::ControlChanged(TControl* Control) {
  if (!Control->Visible() && Hovered == Control) {
    Hovered = nullptr;
    Control->MouseLeave();
  }
  if ((!Control->Visible() || !Control->Enabled()) && Captured == Control) {
    Captured = nullptr;
    if (Window && GetCapture() == Window) ReleaseCapture();
  }
  if (Control->Align() == alClient) Realign();
  // Without a window there is nothing to repaint: a null window would repaint the desktop.
  if (Window && !Control->WindowHandle()) InvalidateRect(Window, &Control->Bounds, FALSE);
}

void TWinControl::Realign() {
  RECT Client = ClientRect();
  for (TControl* Child : Children)
    if (Child->Align() == alClient && Child->Visible())
      Child->SetBounds(0, 0, Client.right, Client.bottom);
}

void TWinControl::PaintWindow(HDC DC, const RECT& Area) {
  FillSolid(DC, Area, ColorToRGB(BackgroundColor));
}

void TWinControl::Paint() {
  TPaintBuffer Buffer(Window);
  if (!Buffer.DC) return;
  PaintWindow(Buffer.DC, Buffer.Area);
  // A copy: a control's paint must not be able to disturb the walk.
  std::vector<TControl*> Order = Children;
  for (TControl* Child : Order) {
    auto* Graphic = dynamic_cast<TGraphicControl*>(Child);
    if (!Graphic || !Graphic->Visible()) continue;
    RECT Overlap;
    if (!IntersectRect(&Overlap, &Graphic->Bounds, &Buffer.Area)) continue;
    int Saved = SaveDC(Buffer.DC);
    SetViewportOrgEx(Buffer.DC, Graphic->Bounds.left - Buffer.Area.left,
                     Graphic->Bounds.top - Buffer.Area.top, nullptr);
    IntersectClipRect(Buffer.DC, 0, 0, Graphic->Bounds.right - Graphic->Bounds.left,
                      Graphic->Bounds.bottom - Graphic->Bounds.top);
    Graphic->Paint(Buffer.DC);
    RestoreDC(Buffer.DC, Saved);
  }
  Buffer.Present();
}

TControl* TWinControl::ControlAtPos(int X, int Y, bool AllowDisabled) const {
  POINT P{X, Y};
  for (auto It = Children.rbegin(); It != Children.rend(); ++It) {
    TControl* Child = *It;
    if (Child->WindowHandle() || !Child->Visible()) continue;
    if (!AllowDisabled && !Child->Enabled()) continue;
    if (PtInRect(&Child->Bounds, P)) return Child;
  }
  return nullptr;
}
