// The notification-area icon: one icon with a tooltip, its mouse notices turned into events, a
// popup menu on a right click, and the application's taskbar button shown or hidden.
#pragma once

#include <windows.h>
// After windows.h: shellapi.h needs its types.
#include <shellapi.h>

#include <cstdint>
#include <string>

#include "components/TrayiconIcon.h"
#include "toolkit/Classes.h"
#include "toolkit/Component.h"
#include "toolkit/WindowBinding.h"

class TPopupMenu;

// Every Shell_NotifyIconA call of the tray icon goes through this pointer, so a test can put a
// recorder in its place; the program leaves the system's call here.
using TShellNotifyIcon = BOOL(WINAPI*)(DWORD Message, PNOTIFYICONDATAA Data);
extern TShellNotifyIcon ShellNotifyIcon;

// The shell's notices for our icon come as this message, with the mouse message in lParam.
inline constexpr UINT WM_TRAYICON = WM_USER + 1;
// Posted to ourselves when the icon was added without a tooltip: the refresh it triggers sends
// the icon and tooltip set after activation.
inline constexpr UINT WM_TRAYREFRESH = WM_USER + 2;
// The shell shows at most 63 characters; we keep one in reserve.
inline constexpr size_t MaxToolTip = 62;

// The icon is in the notification area exactly while Active is true. The owner sets the
// properties it keeps in the order they are declared here, then calls Loaded once.
// Constructing the component hides the application's taskbar button until ShowApp is set.
class TTrayIcon : public TComponent {
public:
  explicit TTrayIcon(TComponent* Owner);
  ~TTrayIcon() override;

  bool Active() const { return IsActive; }
  void SetActive(bool Value);
  // The icon shown in a form designer; this program has none, so it is only kept.
  bool ShowDesigning() const { return DesigningShown; }
  void SetShowDesigning(bool Value) { DesigningShown = Value; }
  // The component's own copy of the icon.
  TIcon* Icon() { return &OwnIcon; }
  // Copies Value (unless it is the component's own icon), then refreshes the shown icon.
  void SetIcon(const TIcon* Value);
  // With a name here, Loaded ends a second instance of the program (see Loaded).
  const std::string& IDMessage() const { return InstanceName; }
  void SetIDMessage(const std::string& Value) { InstanceName = Value; }
  bool ShowApp() const { return AppShown; }
  // Shows or hides the application's taskbar button, also when the value does not change.
  void SetShowApp(bool Value);
  const std::string& ToolTip() const { return Tip; }
  // Keeps the first MaxToolTip characters of Value, then refreshes the shown icon.
  void SetToolTip(const std::string& Value);

  // A left button released over the icon (also the releases of a double click).
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  // The right button released over the icon, after PopupMenu (if any) has closed: with the
  // right button, no shift keys, and the pointer's screen position.
  TMouseEvent OnRightClick;
  // Popped up at the pointer on a right click; not owned, and forgotten when it is destroyed.
  TPopupMenu* PopupMenu() const { return Menu; }
  void SetPopupMenu(TPopupMenu* Value);

  // Loading is complete. With IDMessage set, registers the window message of that name and
  // creates a named mapping of it; when the mapping exists already another instance runs:
  // the message is broadcast to every top-level window and this process ends with exit code 0.
  // Then the taskbar button is shown or hidden as ShowApp says.
  void Loaded();

protected:
  void Notification(TComponent* Component, TOperation Operation) override;

private:
  static const TWindowBinding<TTrayIcon> Binding;
  static LRESULT CALLBACK WindowProc(HWND Window, UINT Msg, WPARAM W, LPARAM L);
  LRESULT HandleMessage(UINT Msg, WPARAM W, LPARAM L);
  void RightClick();
  void FillNotifyData();
  void AddIcon();
  void ModifyIcon();
  void DeleteIcon();

  bool IsActive = false;
  bool DesigningShown = false;
  TIcon OwnIcon;
  std::string InstanceName;
  bool AppShown = false;
  std::string Tip;
  TPopupMenu* Menu = nullptr;

  HWND MessageWindow = nullptr;
  NOTIFYICONDATAA NotifyData{};
  uint32_t InstanceMessage = 0;
  HANDLE InstanceMapping = nullptr;
};
