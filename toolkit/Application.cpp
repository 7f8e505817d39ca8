// The application object: its hidden window, title, help, forms, minimising and errors.
#include <algorithm>

#include "toolkit/Dialogs.h"
#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/Guards.h"
#include "toolkit/SysUtils.h"
#include "toolkit/WindowBinding.h"

namespace {
const TWindowBinding<TApplication> ApplicationBinding("QuilloApplication");
TApplication TheApplication;
TScreen TheScreen;
const char* const ApplicationClass = "TApplication";

struct TWindowWalk {
  HWND Owner;  // the windows owned by it; nullptr: any window
  HWND Keep;   // left out
  bool EnabledOnly;
  std::vector<HWND>* Found;
};

BOOL CALLBACK CollectWindow(HWND Candidate, LPARAM Data) {
  auto* Walk = reinterpret_cast<TWindowWalk*>(Data);
  if (Candidate == Walk->Keep || !IsWindowVisible(Candidate)) return TRUE;
  if (Walk->Owner && GetWindow(Candidate, GW_OWNER) != Walk->Owner) return TRUE;
  if (Walk->EnabledOnly && !IsWindowEnabled(Candidate)) return TRUE;
  Walk->Found->push_back(Candidate);
  return TRUE;
}

// The visible top-level windows of this thread, topmost first.
void ThreadWindows(TWindowWalk Walk) {
  EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&Walk));
}
}  // namespace

TApplication* Application = &TheApplication;
TScreen* Screen = &TheScreen;

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() {
  DestroyForms();
  if (Window) {
    ApplicationBinding.Unbind(Window);
    DestroyWindow(Window);
  }
}

HWND TApplication::Handle() {
  if (Window) return Window;
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  Class.lpfnWndProc = WindowProc;
  Class.hInstance = Instance;
  Class.hIcon = static_cast<HICON>(ProgramIcon());
  Class.lpszClassName = ApplicationClass;
  if (!RegisterClassA(&Class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception("Cannot register the application window: " + SysErrorMessage(GetLastError()));
  // A shown window of no size: it carries the taskbar button without covering anything.
  Window = CreateWindowExA(0, ApplicationClass, AppTitle.c_str(),
                           WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0,
                           0, nullptr, nullptr, Instance, this);
  if (!Window)
    throw Exception("Cannot create the application window: " + SysErrorMessage(GetLastError()));
  ShowWindow(Window, SW_SHOWNOACTIVATE);
  return Window;
}

LRESULT CALLBACK TApplication::WindowProc(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
  return ApplicationBinding.Dispatch(Window, Msg, W, L, &TApplication::Window,
                                     &TApplication::AppWndProc);
}

LRESULT TApplication::AppWndProc(UINT Msg, WPARAM W, LPARAM L) {
  switch (Msg) {
    case WM_SYSCOMMAND:
      switch (W & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return 0;
        case SC_RESTORE: Restore(); return 0;
        case SC_CLOSE: if (Main) Main->Close(); return 0;
        default: break;
      }
      break;
    case WM_CLOSE:
      if (Main) Main->Close();
      return 0;
    case WM_SETFOCUS: {
      // The hidden window passes the focus on to the form that had it last; when the system
      // names none (Wine, after the window is shown again), to the main form.
      HWND Top = GetLastActivePopup(Window);
      if ((!Top || Top == Window) && Main) Top = Main->Handle();
      if (Top && Top != Window && IsWindowVisible(Top) && IsWindowEnabled(Top)) SetFocus(Top);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(Window, Msg, W, L);
}

void TApplication::SetTitle(const std::string& Value) {
  AppTitle = Value;
  if (Window) SetWindowTextA(Window, Value.c_str());
}

bool TApplication::HelpCommand(UINT Command, ULONG_PTR Data) {
  HWND Owner = Main ? Main->Handle() : Handle();
  return WinHelpA(Owner, Help.empty() ? nullptr : Help.c_str(), Command, Data) != 0;
}

void TApplication::DestroyForms() {
  DestroyComponents();
  Main = nullptr;
}

void TApplication::FormDestroyed(TForm* Form) {
  if (Main == Form) Main = nullptr;
}

void TApplication::Notification(TComponent* Component, TOperation Operation) {
  TComponent::Notification(Component, Operation);
  if (Operation == opRemove && Component == Main) Main = nullptr;
}

void TApplication::Minimize() {
  if (IsMinimized) return;
  IsMinimized = true;
  HiddenByMinimize.clear();
  ThreadWindows(TWindowWalk{Handle(), nullptr, false, &HiddenByMinimize});
  {
    TFlagGuard Showing(ShowingForMinimize);
    for (HWND Form : HiddenByMinimize) ShowWindow(Form, SW_HIDE);
  }
  if (IsWindowVisible(Window)) ShowWindow(Window, SW_MINIMIZE);
}

void TApplication::Restore() {
  if (!IsMinimized) return;
  IsMinimized = false;
  if (IsIconic(Handle())) ShowWindow(Window, SW_RESTORE);
  std::vector<HWND> Forms = std::move(HiddenByMinimize);
  HiddenByMinimize.clear();
  // The enumeration found them topmost first; shown bottom first they keep their order.
  {
    TFlagGuard Showing(ShowingForMinimize);
    for (auto It = Forms.rbegin(); It != Forms.rend(); ++It)
      if (IsWindow(*It)) ShowWindow(*It, SW_SHOWNA);
  }
  HWND Top = GetLastActivePopup(Window);
  if (Top && Top != Window && IsWindowVisible(Top) && IsWindowEnabled(Top)) SetActiveWindow(Top);
}

void TApplication::BringToFront() {
  HWND Top = GetLastActivePopup(Handle());
  if (Top && Top != Window && IsWindowVisible(Top) && IsWindowEnabled(Top))
    SetForegroundWindow(Top);
  else if (Main && IsWindowVisible(Main->Handle()))
    SetForegroundWindow(Main->Handle());
}

void TApplication::ShowException(const std::exception& E) {
  try {
    if (OnException) {
      OnException(E);
      return;
    }
    MessageBox(E.what(), AppTitle.empty() ? "Error" : AppTitle, MB_OK | MB_ICONERROR);
  } catch (...) {
    // Reporting failed too; the system's own box still gets the text to the user.
    ::MessageBoxA(nullptr, E.what(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  HWND Owner = GetActiveWindow();
  if (!Owner && Main && IsWindowVisible(Main->Handle())) Owner = Main->Handle();
  return DialogService().MessageBox(Owner, Text, Caption, Flags);
}

[[noreturn]] void ReportStartupError(const std::exception& E) {
  try {
    const std::string& Title = Application->Title();
    DialogService().MessageBox(nullptr, E.what(), Title.empty() ? "Error" : Title,
                               MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
    ::MessageBoxA(nullptr, E.what(), "Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  }
  ExitProcess(1);
}

TTaskWindowsDisabler::TTaskWindowsDisabler(HWND Keep) {
  ThreadWindows(TWindowWalk{nullptr, Keep, true, &Disabled});
  for (HWND Window : Disabled) EnableWindow(Window, FALSE);
}

TTaskWindowsDisabler::~TTaskWindowsDisabler() {
  for (auto It = Disabled.rbegin(); It != Disabled.rend(); ++It)
    if (IsWindow(*It)) EnableWindow(*It, TRUE);
}
