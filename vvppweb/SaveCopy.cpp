// Writing a copy on a worker thread into a file beside the chosen one, put in its place once
// whole, with a progress window to cancel it from; the GUI thread goes on dispatching messages.
#include "vvppweb/SaveCopy.h"

#include <algorithm>
#include <atomic>

#include "vvppweb/Module.h"

namespace {

const char* const SavingClass = "VvPPWebSaving";
constexpr UINT_PTR TickTimer = 1;
constexpr UINT TickMs = 100;
// A copy done sooner shows no window, which would only flash.
constexpr ULONGLONG ShowAfterMs = 300;
constexpr int ClientWidth = 340, ClientHeight = 106, Margin = 12;
constexpr RECT BarRect{Margin, 36, ClientWidth - Margin, 52};
// Names tried for the copy while it is written, before giving up.
constexpr int PartNames = 1000;

TCopyResult FailedWith(const std::string& Reason) { return {TCopyResult::Failed, Reason}; }

// The copy's bytes into our file, with the system's reason when a write fails.
class TFileOutput final : public TCopyOutput {
public:
  explicit TFileOutput(HANDLE File) : File(File) {}
  bool Write(const uint8_t* Data, size_t Size) override {
    while (Size > 0) {
      DWORD Done = 0;
      if (!WriteFile(File, Data, static_cast<DWORD>(std::min<size_t>(Size, 1u << 30)), &Done, nullptr)) return Fail();
      if (Done == 0) {
        SetLastError(ERROR_WRITE_FAULT);
        return Fail();
      }
      Data += Done;
      Size -= Done;
    }
    return true;
  }
  bool Seek(uint64_t Position) override {
    LARGE_INTEGER To;
    To.QuadPart = static_cast<LONGLONG>(Position);
    return SetFilePointerEx(File, To, nullptr, FILE_BEGIN) || Fail();
  }

private:
  bool Fail() {
    Failure = SystemText(GetLastError());
    return false;
  }
  HANDLE File;
};

// The copy while it is written: a file of our own making beside the chosen name, under a name no
// file had, so no one's file is touched, and on the same volume for the rename. It goes unless it
// was put in place.
class TPartFile {
public:
  TPartFile() = default;
  ~TPartFile() {
    if (File != INVALID_HANDLE_VALUE) CloseHandle(File);
    if (!Path.empty()) DeleteFileA(Path.c_str());
  }
  TPartFile(const TPartFile&) = delete;
  TPartFile& operator=(const TPartFile&) = delete;

  // Creates it beside Target: TARGET.1.part, else the next number free. False, with the system's
  // error, when none is free or the folder takes no new file.
  bool Create(const std::string& Target) {
    for (int Number = 1; Number <= PartNames; ++Number) {
      std::string Name = Target + "." + std::to_string(Number) + ".part";
      File = CreateFileA(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (File != INVALID_HANDLE_VALUE) {
        Path = Name;
        return true;
      }
      // Taken by a file, or by a folder, refused as access denied like a folder we may not write
      // in (where no other name would do).
      DWORD Error = GetLastError();
      bool Taken = Error == ERROR_FILE_EXISTS || Error == ERROR_ALREADY_EXISTS ||
                   (Error == ERROR_ACCESS_DENIED && GetFileAttributesA(Name.c_str()) != INVALID_FILE_ATTRIBUTES);
      SetLastError(Error);
      if (!Taken) return false;
    }
    return false;
  }

  HANDLE Handle() const { return File; }

  // Puts the whole copy in Target's place; false, with the system's error, when it could not.
  bool PutInPlace(const std::string& Target) {
    // On the disk before it replaces the old file: a crash just after the rename must not leave
    // an empty file where the user's was.
    bool Flushed = FlushFileBuffers(File);
    DWORD Error = GetLastError();
    // Closing writes what the system still held: a full disk may show only now.
    bool Closed = CloseHandle(File);
    File = INVALID_HANDLE_VALUE;
    if (!Flushed) SetLastError(Error);
    if (!Flushed || !Closed ||
        !MoveFileExA(Path.c_str(), Target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return false;
    Path.clear();
    return true;
  }

private:
  HANDLE File = INVALID_HANDLE_VALUE;
  std::string Path;  // of the file we made, until it is put in place
};

struct TSaveJob {
  std::shared_ptr<const std::string> Bytes;
  TClipInfo Info;
  TCopyFormat Format;
  std::string Target;
  std::atomic<int> PerMille{0};
  std::atomic<bool> Cancel{false};
  TCopyResult Result;  // the worker's, read once it has ended
};

TCopyResult WriteCopy(TSaveJob& Job) {
  TPartFile Part;
  if (!Part.Create(Job.Target)) return FailedWith(SystemText(GetLastError()));
  TFileOutput Output(Part.Handle());
  TCopyResult Result = CopyClip(Job.Bytes, Job.Info, Job.Format, Output, [&Job](double Done) {
    Job.PerMille.store(static_cast<int>(Done * 1000));
    return !Job.Cancel.load();
  });
  if (Result.Outcome == TCopyResult::Written && !Part.PutInPlace(Job.Target))
    Result = FailedWith(SystemText(GetLastError()));
  return Result;
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

std::string SystemText(DWORD Error) {
  char Text[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, Error, 0, Text, sizeof Text,
                 nullptr);
  std::string Result = Text;
  while (!Result.empty() && std::string("\r\n .").find(Result.back()) != std::string::npos) Result.pop_back();
  return Result.empty() ? "System error " + std::to_string(Error) : Result;
}

TCopyResult SaveCopy(HWND Owner, std::shared_ptr<const std::string> Bytes, const TClipInfo& Info, TCopyFormat Format,
                     const std::string& Target) {
  TSaveJob Job;
  Job.Bytes = std::move(Bytes);
  Job.Info = Info;
  Job.Format = Format;
  Job.Target = Target;
  HANDLE Thread = CreateThread(nullptr, 0, SaveThread, &Job, 0, nullptr);
  if (!Thread) return FailedWith(SystemText(GetLastError()));
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
