// Forms, the application object with its message loop, and the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Component.h"
#include "toolkit/Controls.h"
#include "toolkit/Errors.h"

class TPopupMenu;

// The result of a modal form or box; the values are the system's button ids.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = IDABORT;
inline constexpr TModalResult mrRetry = IDRETRY;
inline constexpr TModalResult mrIgnore = IDIGNORE;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;

enum class TFormBorderStyle : uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
using enum TFormBorderStyle;
enum TBorderIcon : uint8_t { biSystemMenu = 0x01, biMinimize = 0x02, biMaximize = 0x04 };
enum class TPosition : uint8_t { poDesigned, poScreenCenter };
using enum TPosition;
// What closing does: caNone keeps the form, caHide hides it, caMinimize minimises it.
// Closing the main form (unless caNone) ends the application.
enum class TCloseAction : uint8_t { caNone, caHide, caMinimize };
using enum TCloseAction;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

// A top-level window owned by the application's window. It is created hidden, 320 x 240 at
// 0, 0, with a sizeable frame and all border icons; bounds and client size are applied at once.
// Its window class is WindowClass, registered on first use.
class TForm : public TWinControl {
public:
  explicit TForm(TComponent* Owner, const char* WindowClass = "TForm");
  ~TForm() override;

  TColor Color() const { return BackgroundColor; }
  void SetColor(TColor Value);
  TFormBorderStyle BorderStyle() const { return Border; }
  void SetBorderStyle(TFormBorderStyle Value);
  uint8_t BorderIcons() const { return Icons; }
  void SetBorderIcons(uint8_t Value);
  // poScreenCenter: centred on the screen when first shown.
  TPosition Position() const { return Placement; }
  void SetPosition(TPosition Value) { Placement = Value; }
  // With KeyPreview, OnKeyDown and OnKeyPress see the keys meant for the form's child windows
  // before they do; a handler that sets the key to 0 consumes it.
  bool KeyPreview() const { return PreviewKeys; }
  void SetKeyPreview(bool Value) { PreviewKeys = Value; }

  void SetVisible(bool Value) override;
  // Shows the form, disables the application's other windows, and handles messages until
  // ModalResult is set (Close sets mrCancel; ending the application too). Returns it.
  TModalResult ShowModal();
  bool Modal() const { return InModalLoop; }
  TModalResult ModalResult() const { return Result; }
  void SetModalResult(TModalResult Value) { Result = Value; }
  // Asks OnClose what to do, then does it; see TCloseAction.
  void Close();

  // The height of a line in the form's font, as the system draws it.
  int TextHeight() const;
  // Scales the client size and the bounds of every control on the form by M / D, as a layout
  // made for another size of font needs; edges that met before still meet.
  void ScaleBy(int M, int D);

  TNotifyEvent OnCreate;
  TCloseEvent OnClose;
  TNotifyEvent OnResize;
  // OnShow and OnHide follow the form's own showing and hiding, not the application's
  // minimising and restoring.
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

protected:
  // Derived forms call this as the last step of their constructor: it raises OnCreate.
  void DoCreate();
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override;
  void Resize() override;

private:
  void ApplyStyle();
  void CloseModal();
  TFormBorderStyle Border = bsSizeable;
  uint8_t Icons = biSystemMenu | biMinimize | biMaximize;
  TPosition Placement = poDesigned;
  bool PreviewKeys = false;
  bool ShownBefore = false;
  bool InModalLoop = false;
  bool UserSizing = false;
  TModalResult Result = mrNone;
  HWND FocusedChild = nullptr;
};

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;

// The application: its hidden window carries the taskbar button and the title and owns every
// form; the message loop and the reporting of errors that reach it.
class TApplication : public TComponent {
public:
  TApplication();
  ~TApplication() override;

  // The hidden application window, made on first use.
  HWND Handle();
  void Initialize() { Handle(); }

  const std::string& Title() const { return AppTitle; }
  void SetTitle(const std::string& Value);
  const std::string& HelpFile() const { return Help; }
  void SetHelpFile(const std::string& Value) { Help = Value; }
  // WinHelpA on HelpFile with the main form's window (the application's when there is none).
  bool HelpCommand(UINT Command, ULONG_PTR Data);

  // Creates a form of class T owned by the application; the first one becomes the main form.
  // Reference is set as soon as the form exists; if its constructor fails, it is nullptr again.
  template <class T, class... Args>
  T* CreateForm(T*& Reference, Args&&... Arguments) {
    Reference = nullptr;
    T* Form = new T(this, std::forward<Args>(Arguments)...);
    Reference = Form;
    if (!Main) Main = Form;
    return Form;
  }
  TForm* MainForm() const { return Main; }
  // Frees every form, the last created first (before COM goes away, say).
  void DestroyForms();

  // Shows the main form and handles messages until Terminated.
  void Run();
  // Handles one message, waiting for one when none is queued.
  void HandleMessage();
  // Handles every message already queued, then returns without waiting.
  void ProcessMessages();
  // The loop ends after the message being handled now.
  void Terminate();
  bool Terminated() const { return Ending; }

  // Hides every form and minimises the taskbar button; Restore brings them back.
  void Minimize();
  void Restore();
  bool Minimized() const { return IsMinimized; }
  // Brings the application's active form to the foreground.
  void BringToFront();

  // The application-wide message filter: sees every message the loop takes from the queue
  // before anything else does; setting Handled drops the message.
  TMessageEvent OnMessage;
  // Runs instead of the error box when set.
  std::function<void(const std::exception& E)> OnException;

  // Shows E's text in an error box (through the dialog service).
  void ShowException(const std::exception& E);
  // Runs one dispatch (a message, a notice from the system); an error it raises is shown by
  // ShowException and goes no further. Returns whether Work ran to its end.
  template <typename TWork>
  bool ReportErrors(TWork&& Work) {
    return CatchAndReport(std::forward<TWork>(Work), [this](const std::exception& E) { ShowException(E); });
  }
  // A message box through the dialog service, owned by the active form; returns the button.
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

private:
  friend class TForm;
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM W, LPARAM L);
  LRESULT AppWndProc(UINT Msg, WPARAM W, LPARAM L);
  bool ProcessMessage(MSG& Msg);
  bool IsShortCut(const MSG& Msg);
  bool IsKeyPreview(MSG& Msg);
  void FormDestroyed(TForm* Form);
  void Notification(TComponent* Component, TOperation Operation) override;

  HWND Window = nullptr;
  std::string AppTitle;
  std::string Help;
  TForm* Main = nullptr;
  bool Ending = false;
  bool IsMinimized = false;
  bool ShowingForMinimize = false;  // Minimize or Restore is hiding or showing the forms
  std::vector<HWND> HiddenByMinimize;
};

// The application; a test may point it at an application of its own for a while.
extern TApplication* Application;

// The primary screen, in pixels.
class TScreen {
public:
  int Width() const;
  int Height() const;
};
extern TScreen* Screen;

// The default error report for failures before the loop runs: an error box with E's text
// (through the dialog service), then the process ends with exit code 1.
[[noreturn]] void ReportStartupError(const std::exception& E);

// Disables the application's enabled, visible top-level windows except Keep while it lives,
// as a modal window needs; enables them again at the end.
class TTaskWindowsDisabler {
public:
  explicit TTaskWindowsDisabler(HWND Keep);
  ~TTaskWindowsDisabler();
  TTaskWindowsDisabler(const TTaskWindowsDisabler&) = delete;
  TTaskWindowsDisabler& operator=(const TTaskWindowsDisabler&) = delete;

private:
  std::vector<HWND> Disabled;
};
