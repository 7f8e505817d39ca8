// Forms: top-level windows owned by the application window, with modal showing and closing.
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/Guards.h"

namespace {
// The window styles of a border style and its icons.
void StylesFor(TFormBorderStyle Border, uint8_t Icons, DWORD& Style, DWORD& ExStyle) {
  Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  ExStyle = 0;
  switch (Border) {
    case bsNone: Style |= WS_POPUP; return;
    case bsSingle: Style |= WS_CAPTION; break;
    case bsSizeable: Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Style |= WS_CAPTION;
      ExStyle |= WS_EX_DLGMODALFRAME;
      if (Icons & biSystemMenu) Style |= WS_SYSMENU;
      return;
  }
  if (Icons & biSystemMenu) {
    Style |= WS_SYSMENU;
    if (Icons & biMinimize) Style |= WS_MINIMIZEBOX;
    if (Icons & biMaximize) Style |= WS_MAXIMIZEBOX;
  }
}
}  // namespace

TForm::TForm(TComponent* Owner, const char* WindowClass) : TWinControl(Owner) {
  DWORD Style, ExStyle;
  StylesFor(Border, Icons, Style, ExStyle);
  CreateHandle(ExStyle, WindowClass, false, Style, RECT{0, 0, 320, 240},
               Application->Handle());
}

TForm::~TForm() {
  if (Application) Application->FormDestroyed(this);
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TForm::SetColor(TColor Value) {
  BackgroundColor = Value;
  Invalidate();
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  Border = Value;
  ApplyStyle();
}

void TForm::SetBorderIcons(uint8_t Value) {
  Icons = Value;
  ApplyStyle();
}

void TForm::ApplyStyle() {
  DWORD Style, ExStyle;
  StylesFor(Border, Icons, Style, ExStyle);
  DWORD Kept = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED);
  SetWindowLongA(Handle(), GWL_STYLE, static_cast<LONG>(Style | Kept));
  SetWindowLongA(Handle(), GWL_EXSTYLE, static_cast<LONG>(ExStyle));
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetVisible(bool Value) {
  if (Value && !ShownBefore) {
    ShownBefore = true;
    if (Placement == poScreenCenter)
      SetBounds((Screen->Width() - Width()) / 2, (Screen->Height() - Height()) / 2, Width(),
                Height());
  }
  TWinControl::SetVisible(Value);
}

TModalResult TForm::ShowModal() {
  if (Visible() || InModalLoop) throw Exception("Cannot make a visible window modal");
  if (HWND Holder = GetCapture()) SendMessageA(Holder, WM_CANCELMODE, 0, 0);
  HWND Previous = GetActiveWindow();
  TFlagGuard Modal(InModalLoop);
  Result = mrNone;
  try {
    TTaskWindowsDisabler Disabler(Handle());
    Show();
    do {
      Application->HandleMessage();
      if (Application->Terminated())
        Result = mrCancel;
      else if (Result != mrNone)
        CloseModal();
    } while (Result == mrNone);
  } catch (...) {
    // An OnClose that fails ends the modal state all the same: left up, the form could be
    // closed no more, and never shown modally again.
    Hide();
    throw;
  }
  // The other windows are enabled again before this one hides, so activation returns to them.
  Hide();
  if (Previous && IsWindow(Previous)) SetActiveWindow(Previous);
  return Result;
}

void TForm::CloseModal() {
  TCloseAction Action = caHide;
  if (OnClose) OnClose(this, Action);
  if (Action == caNone) Result = mrNone;
}

void TForm::Close() {
  if (InModalLoop) {
    Result = mrCancel;
    return;
  }
  TCloseAction Action = caHide;
  if (OnClose) OnClose(this, Action);
  if (Action == caNone) return;
  if (Application->MainForm() == this)
    Application->Terminate();
  else if (Action == caHide)
    Hide();
  else
    ShowWindow(Handle(), SW_MINIMIZE);
}

int TForm::TextHeight() const {
  TWindowDC Screen;
  TSelection Selected(Screen.Get(), Font().Handle());
  SIZE Size{0, 0};
  GetTextExtentPoint32A(Screen.Get(), "0", 1, &Size);
  return Size.cy;
}

void TForm::ScaleBy(int M, int D) {
  if (M == D || D == 0) return;
  auto Scale = [M, D](LONG Value) { return MulDiv(Value, M, D); };
  for (TControl* Child : Controls()) {
    if (Child->Align() == alClient) continue;
    const RECT B = Child->BoundsRect();
    Child->SetBounds(Scale(B.left), Scale(B.top), Scale(B.right) - Scale(B.left),
                     Scale(B.bottom) - Scale(B.top));
  }
  SetClientSize(Scale(ClientWidth()), Scale(ClientHeight()));
}

void TForm::Resize() {
  if (OnResize) OnResize(this);
}

LRESULT TForm::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SHOWWINDOW:
      // L is non-zero when the owner is minimised or restored; the application's own
      // minimising hides and shows the forms itself.
      if (L || Application->ShowingForMinimize) break;
      if (W && OnShow) OnShow(this);
      if (!W && OnHide) OnHide(this);
      break;
    case WM_ACTIVATE:
      if (LOWORD(W) == WA_INACTIVE) {
        HWND Focus = GetFocus();
        if (Focus && IsChild(Handle(), Focus)) FocusedChild = Focus;
      } else if (!HIWORD(W)) {
        HWND Target = FocusedChild && IsWindow(FocusedChild) && IsChild(Handle(), FocusedChild)
                          ? FocusedChild
                          : GetNextDlgTabItem(Handle(), nullptr, FALSE);
        ::SetFocus(Target && IsChild(Handle(), Target) ? Target : Handle());
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((W & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this) {
        Application->Minimize();
        return 0;
      }
      break;
    case WM_ENTERSIZEMOVE:
      UserSizing = true;
      break;
    case WM_EXITSIZEMOVE:
      UserSizing = false;
      break;
    case WM_GETMINMAXINFO:
      // Layouts set exact pixel sizes, smaller or larger than the screen; only the user's own
      // dragging keeps the system's limits.
      if (!UserSizing) {
        auto* Info = reinterpret_cast<MINMAXINFO*>(L);
        Info->ptMinTrackSize = POINT{0, 0};
        Info->ptMaxTrackSize = POINT{32767, 32767};
        return 0;
      }
      break;
    default:
      break;
  }
  return TWinControl::WndProc(Msg, W, L);
}
