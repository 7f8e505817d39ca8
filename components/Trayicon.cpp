// The tray icon's properties, its calls to the shell, the instance check and its lifetime.
#include "components/Trayicon.h"

#include "toolkit/Errors.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"
#include "toolkit/SysUtils.h"

TShellNotifyIcon ShellNotifyIcon = Shell_NotifyIconA;
const TWindowBinding<TTrayIcon> TTrayIcon::Binding("QuilloTrayIcon");

// The first version of the record, understood by every shell: on 32-bit Windows 88 bytes.
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == 88);

namespace {
const char* const WindowClassName = "QuilloTrayIconWindow";

// The hidden window that receives the shell's notices; its procedure is the component's, which
// learns the window's handle from its first message.
void CreateMessageWindow(WNDPROC Procedure, void* Component) {
  HINSTANCE Instance = GetModuleHandleA(nullptr);
  WNDCLASSA Class{};
  Class.lpfnWndProc = Procedure;
  Class.hInstance = Instance;
  Class.lpszClassName = WindowClassName;
  if (!RegisterClassA(&Class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw Exception("Cannot register the tray icon's window class: " +
                    SysErrorMessage(GetLastError()));
  }
  // A tool window never gets a taskbar button of its own.
  if (!CreateWindowExA(WS_EX_TOOLWINDOW, WindowClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                       nullptr, Instance, Component)) {
    throw Exception("Cannot create the tray icon's window: " + SysErrorMessage(GetLastError()));
  }
}
}  // namespace

TTrayIcon::TTrayIcon(TComponent* Owner) : TComponent(Owner) {
  CreateMessageWindow(WindowProc, this);
  SetShowApp(false);
}

TTrayIcon::~TTrayIcon() {
  if (InstanceMapping) CloseHandle(InstanceMapping);
  if (IsActive) DeleteIcon();
  OwnIcon.SetHandle(nullptr);
  // Messages still on their way find no component any more.
  Binding.Unbind(MessageWindow);
  DestroyWindow(MessageWindow);
}

void TTrayIcon::SetActive(bool Value) {
  if (Value == IsActive) return;
  IsActive = Value;
  if (Value) {
    AddIcon();
  } else {
    DeleteIcon();
  }
}

void TTrayIcon::SetIcon(const TIcon* Value) {
  if (Value != &OwnIcon) {
    if (Value) {
      OwnIcon.Assign(*Value);
    } else {
      OwnIcon.SetHandle(nullptr);
    }
  }
  ModifyIcon();
}

void TTrayIcon::SetShowApp(bool Value) {
  AppShown = Value;
  ShowWindow(Application->Handle(), Value ? SW_SHOW : SW_HIDE);
}

void TTrayIcon::SetToolTip(const std::string& Value) {
  Tip = Value.substr(0, MaxToolTip);
  ModifyIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* Value) {
  if (Menu) RemoveFreeNotification(Menu);
  Menu = Value;
  if (Menu) FreeNotification(Menu);
}

void TTrayIcon::Notification(TComponent* Component, TOperation Operation) {
  TComponent::Notification(Component, Operation);
  if (Operation == opRemove && Component == Menu) Menu = nullptr;
}

void TTrayIcon::Loaded() {
  if (!InstanceName.empty()) {
    InstanceMessage = RegisterWindowMessageA(InstanceName.c_str());
    InstanceMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32,
                                         InstanceName.c_str());
    if (InstanceMapping && GetLastError() == ERROR_ALREADY_EXISTS) {
      PostMessageA(HWND_BROADCAST, InstanceMessage, 0, 0);
      // An icon added while loading leaves with us instead of lingering in the notification area.
      if (IsActive) DeleteIcon();
      ExitProcess(0);
    }
  }
  SetShowApp(AppShown);
}

void TTrayIcon::FillNotifyData() {
  NotifyData = NOTIFYICONDATAA{};
  NotifyData.cbSize = NOTIFYICONDATAA_V1_SIZE;
  NotifyData.hWnd = MessageWindow;
  NotifyData.uID = 0;
  NotifyData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  NotifyData.uCallbackMessage = WM_TRAYICON;
  NotifyData.hIcon = OwnIcon.Handle();
  Tip.copy(NotifyData.szTip, sizeof NotifyData.szTip - 1);
}

// The shell's answers are not acted on: a failed call leaves the properties as they were set.
void TTrayIcon::AddIcon() {
  FillNotifyData();
  ShellNotifyIcon(NIM_ADD, &NotifyData);
  if (Tip.empty()) PostMessageA(MessageWindow, WM_TRAYREFRESH, 0, 0);
}

void TTrayIcon::ModifyIcon() {
  if (!IsActive) return;
  FillNotifyData();
  ShellNotifyIcon(NIM_MODIFY, &NotifyData);
}

void TTrayIcon::DeleteIcon() {
  FillNotifyData();
  ShellNotifyIcon(NIM_DELETE, &NotifyData);
}
