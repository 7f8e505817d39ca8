// Writing a copy on a worker thread, put in its place once whole (CopyFile.h), with a progress
// window to cancel it from; the GUI thread goes on dispatching messages.
#include "vvppweb/SaveCopy.h"

#include <algorithm>
#include <atomic>

#include "vvppweb/CopyFile.h"
#include "vvppweb/CopySystem.h"
#include "vvppweb/Module.h"

namespace {

const char* const SavingClass = "VvPPWebSaving";
constexpr UINT_PTR TickTimer = 1;
constexpr UINT TickMs = 100;
// A copy done sooner shows no window, which would only flash.
constexpr ULONGLONG ShowAfterMs = 300;
constexpr int ClientWidth = 340, ClientHeight = 106, Margin = 12;
constexpr RECT BarRect{Margin, 36, ClientWidth - Margin, 52};

TCopyResult FailedWith(const std::string& Reason) { return {TCopyResult::Failed, Reason}; }

struct TSaveJob {
  std::shared_ptr<const std::string> Bytes;
  TClipInfo Info;
  TCopyFormat Format;
  std::string Target;
  std::atomic<int> PerMille{0};
  std::atomic<bool> Cancel{false};
  TCopyResult Result;  // the worker's, read once it has ended
};

// The user has agreed to replace a file of the chosen name.
TCopyResult WriteCopy(TSaveJob& Job) {
  return WriteCopyFile(Job.Target, true, [&Job](TCopyOutput& Output) {
    return CopyClip(Job.Bytes, Job.Info, Job.Format, Output, [&Job](double Done) {
      Job.PerMille.store(static_cast<int>(Done * 1000));
      return !Job.Cancel.load();
    });
  });
}

DWORD WINAPI SaveThread(void* Parameter) {
  auto& Job = *static_cast<TSaveJob*>(Parameter);
  // Nothing may leave the thread; the copy's file has gone with WriteCopy.
  try {
    Job.Result = WriteCopy(Job);
  } catch (...) {
    Job.Result = FailedWith("there is not enough memory");
  }
  return 0;
}

// The progress window: where the copy goes, a bar, how much is written, and Cancel.
class TProgressWindow {
public:
  TProgressWindow(HWND Owner, TSaveJob& Job) : Job(Job), ShowAt(GetTickCount64() + ShowAfterMs) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = Proc;
    Class.hInstance = ModuleInstance;
    Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Class.lpszClassName = SavingClass;
    RegisterClassA(&Class);
    const DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU, ExStyle = WS_EX_DLGMODALFRAME;
    RECT Outer{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&Outer, Style, FALSE, ExStyle);
    int Width = Outer.right - Outer.left, Height = Outer.bottom - Outer.top;
    RECT Around{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (Owner) GetWindowRect(Owner, &Around);
    Window = CreateWindowExA(ExStyle, SavingClass, SavingTitle, Style, (Around.left + Around.right - Width) / 2,
                             (Around.top + Around.bottom - Height) / 2, Width, Height, Owner, nullptr,
                             ModuleInstance, this);
    if (!Window) return;
    HFONT Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    auto Child = [&](const char* Class, const std::string& Text, DWORD Style, int X, int Y, int W, int H, int Id) {
      HWND Made = CreateWindowExA(0, Class, Text.c_str(), WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(Id)), ModuleInstance, nullptr);
      SendMessageA(Made, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
      return Made;
    };
    Child("STATIC", "Saving " + Job.Target, SS_PATHELLIPSIS | SS_NOPREFIX, Margin, 12, ClientWidth - 2 * Margin, 16, -1);
    Percent = Child("STATIC", "0% written", SS_NOPREFIX, Margin, 74, 200, 16, -1);
    Cancel = Child("BUTTON", "Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON, ClientWidth - Margin - 76, 70, 76, 24, IDCANCEL);
    SetTimer(Window, TickTimer, TickMs, nullptr);
  }
  ~TProgressWindow() {
    if (Window) DestroyWindow(Window);
    UnregisterClassA(SavingClass, ModuleInstance);
  }
  TProgressWindow(const TProgressWindow&) = delete;
  TProgressWindow& operator=(const TProgressWindow&) = delete;

  // The keys of a dialog: Escape cancels, Space or Enter on the focused Cancel button too.
  bool DialogMessage(MSG& Message) { return Window && IsDialogMessageA(Window, &Message); }

private:
  static LRESULT CALLBACK Proc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (Message == WM_NCCREATE)
      SetWindowLongPtrA(Window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams));
    auto* Self = reinterpret_cast<TProgressWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (Self) switch (Message) {
        case WM_COMMAND:
          if (LOWORD(WParam) == IDCANCEL) Self->RequestCancel();
          return 0;
        case WM_CLOSE:
          Self->RequestCancel();
          return 0;
        case WM_TIMER:
          Self->Tick();
          return 0;
        case WM_PAINT:
          Self->Paint();
          return 0;
        case WM_NCDESTROY:
          SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
          break;
      }
    return DefWindowProcA(Window, Message, WParam, LParam);
  }

  void RequestCancel() {
    if (Job.Cancel.exchange(true)) return;
    SetWindowTextA(Percent, "Cancelling...");
    EnableWindow(Cancel, FALSE);
  }

  void Tick() {
    int Now = Job.PerMille.load();
    if (Now != Shown && !Job.Cancel.load()) {
      Shown = Now;
      SetWindowTextA(Percent, (std::to_string(Now / 10) + "% written").c_str());
      InvalidateRect(Window, &BarRect, FALSE);
    }
    if (!IsWindowVisible(Window) && GetTickCount64() >= ShowAt) {
      ShowWindow(Window, SW_SHOWNORMAL);
      SetFocus(Cancel);
    }
  }

  void Paint() {
    PAINTSTRUCT Paint;
    HDC Dc = BeginPaint(Window, &Paint);
    RECT Bar = BarRect;
    DrawEdge(Dc, &Bar, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    RECT Done = Bar;
    Done.right = Bar.left + (Bar.right - Bar.left) * std::clamp(Shown, 0, 1000) / 1000;
    FillRect(Dc, &Done, GetSysColorBrush(COLOR_HIGHLIGHT));
    RECT Rest = Bar;
    Rest.left = Done.right;
    FillRect(Dc, &Rest, GetSysColorBrush(COLOR_WINDOW));
    EndPaint(Window, &Paint);
  }

  TSaveJob& Job;
  HWND Window = nullptr, Percent = nullptr, Cancel = nullptr;
  ULONGLONG ShowAt;
  int Shown = 0;
};

}  // namespace

TCopyResult SaveCopy(HWND Owner, std::shared_ptr<const std::string> Bytes, const TClipInfo& Info, TCopyFormat Format,
                     const std::string& Target) {
  TSaveJob Job;
  Job.Bytes = std::move(Bytes);
  Job.Info = Info;
  Job.Format = Format;
  Job.Target = Target;
  HANDLE Thread = CreateThread(nullptr, 0, SaveThread, &Job, 0, nullptr);
  if (!Thread) return FailedWith(CopySystem::LastFailure());
  // Modal to the host's window, as the save dialog was: the host cannot close or reload under us.
  bool Disabled = Owner && IsWindowEnabled(Owner) && (EnableWindow(Owner, FALSE), true);
  bool Quit = false;
  WPARAM QuitCode = 0;
  {
    TProgressWindow Progress(Owner, Job);
    while (MsgWaitForMultipleObjectsEx(1, &Thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_OBJECT_0) {
      MSG Message;
      while (!Quit && PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
        if (Message.message == WM_QUIT) {
          Quit = true;
          QuitCode = Message.wParam;
          Job.Cancel.store(true);
        } else if (!Progress.DialogMessage(Message)) {
          TranslateMessage(&Message);
          DispatchMessageA(&Message);
        }
      }
      if (Quit) {
        WaitForSingleObject(Thread, INFINITE);
        break;
      }
    }
    // The owner first, so that it is the window activated when ours goes.
    if (Disabled) EnableWindow(Owner, TRUE);
  }
  CloseHandle(Thread);
  if (Quit) PostQuitMessage(static_cast<int>(QuitCode));
  return Job.Result;
}
