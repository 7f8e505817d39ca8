// Controls: the base of everything on a form, windowed controls, and windowless controls that
// their parent paints and feeds with mouse input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

class TPopupMenu;
class TWinControl;

// Mouse pointers; crDefault takes the parent's, crNone hides the pointer.
enum TCursor : int16_t {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crHourGlass = -11,
  crNo = -18,
  crHandPoint = -21,
  crSizeAll = -22,
};

// alClient: the control fills its parent's client area and follows its size.
enum class TAlign : uint8_t { alNone, alClient };
using enum TAlign;

using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// What every control has: a parent, bounds in the parent's client coordinates, visibility,
// enabled state, cursor, context menu, font, caption and mouse events.
class TControl : public TComponent {
public:
  explicit TControl(TComponent* Owner);
  ~TControl() override;

  TWinControl* Parent() const { return ParentControl; }
  // Puts the control on Parent, on top of the windowless controls already there.
  virtual void SetParent(TWinControl* NewParent);

  // Bounds: outer rectangle, in the parent's client coordinates (screen for forms).
  virtual RECT BoundsRect() const;
  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { const RECT R = BoundsRect(); return R.right - R.left; }
  int Height() const { const RECT R = BoundsRect(); return R.bottom - R.top; }
  void SetLeft(int Value) { SetBounds(Value, Top(), Width(), Height()); }
  void SetTop(int Value) { SetBounds(Left(), Value, Width(), Height()); }
  void SetWidth(int Value) { SetBounds(Left(), Top(), Value, Height()); }
  void SetHeight(int Value) { SetBounds(Left(), Top(), Width(), Value); }
  virtual void SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight);
  TAlign Align() const { return Alignment; }
  void SetAlign(TAlign Value);
  // Control coordinates to screen coordinates and back.
  POINT ClientToScreen(POINT P) const;
  POINT ScreenToClient(POINT P) const;

  bool Visible() const { return IsVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return IsEnabled; }
  void SetEnabled(bool Value);

  TCursor Cursor() const { return CursorShape; }
  void SetCursor(TCursor Value) { CursorShape = Value; }
  // The context menu, shown on a right click; not owned, forgotten when it is destroyed.
  TPopupMenu* PopupMenu() const { return ContextMenu; }
  void SetPopupMenu(TPopupMenu* Menu);

  // The font; while ParentFont is set it follows the parent's. Changing it clears ParentFont.
  TFont& Font() { return ControlFont; }
  const TFont& Font() const { return ControlFont; }
  bool ParentFont() const { return FollowParentFont; }
  void SetParentFont(bool Value);

  const std::string& Caption() const { return Text; }
  void SetCaption(const std::string& Value);

  // Marks the control's area for the next paint; Repaint paints it before returning.
  virtual void Invalidate();
  void Repaint();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  // The mouse was taken from the control it was held for before every button went up (Alt+Tab,
  // a window that grabbed it): no release will come.
  TNotifyEvent OnCaptureLost;

protected:
  friend class TWinControl;

  // Mouse input in control coordinates. The control pressed keeps getting moves and the
  // release until every button is up. The defaults raise the events.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void CaptureLost();
  // A left press released over the control. Runs before MouseUp for that release.
  virtual void Click();
  virtual void DblClick();
  // The pointer came over the control or left it (also while another control holds the mouse).
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  // A mnemonic character offered by the form (Alt+letter, or a letter nobody else took);
  // return true when the control took it.
  virtual bool DialogChar(char Key, TShiftState Shift);
  virtual void EnabledChanged();
  virtual void VisibleChanged();
  virtual void CaptionChanged();
  virtual void FontChanged();
  // The window of a windowed control, nullptr for a windowless one.
  virtual HWND WindowHandle() const { return nullptr; }
  void Notification(TComponent* Component, TOperation Operation) override;

  // When false, the second press of a double click arrives as an ordinary press.
  bool DoubleClicks = true;

private:
  void ParentFontChanged();
  TWinControl* ParentControl = nullptr;
  RECT Bounds{0, 0, 0, 0};
  TAlign Alignment = alNone;
  bool IsVisible = true;
  bool IsEnabled = true;
  TCursor CursorShape = crDefault;
  TPopupMenu* ContextMenu = nullptr;
  TFont ControlFont;
  bool FollowParentFont = true;
  bool CopyingParentFont = false;
  std::string Text;
  bool LeftPressed = false;
};

// A control without a window of its own: its parent paints it, in creation order (later on
// top), each over what lies beneath it, into one off-screen picture.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* Owner) : TControl(Owner) {}

protected:
  friend class TWinControl;
  // Paints the control; DC's origin is the control's top-left corner and drawing is clipped
  // to its bounds. What is there already is what lies beneath the control.
  virtual void Paint(HDC DC) = 0;
};

// A control with its own window. Routes the window's messages to the object and hosts
// windowless controls: paints them and feeds them mouse input by hit test.
class TWinControl : public TControl {
public:
  ~TWinControl() override;

  HWND Handle() const { return Window; }
  RECT BoundsRect() const override;
  void SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) override;
  void SetVisible(bool Value) override;
  void Invalidate() override;

  RECT ClientRect() const;
  int ClientWidth() const { return ClientRect().right; }
  int ClientHeight() const { return ClientRect().bottom; }
  void SetClientWidth(int Value) { SetClientSize(Value, ClientHeight()); }
  void SetClientHeight(int Value) { SetClientSize(ClientWidth(), Value); }
  // Sizes the window so that its client area is Width x Height, keeping its top-left corner.
  void SetClientSize(int NewWidth, int NewHeight);

  // Every control placed on this one, bottom first.
  const std::vector<TControl*>& Controls() const { return Children; }
  // The topmost visible windowless control under the client point (X, Y), or nullptr;
  // disabled ones only with AllowDisabled.
  TControl* ControlAtPos(int X, int Y, bool AllowDisabled) const;
  // The windowless control holding the mouse, and the one under the pointer.
  TControl* CaptureControl() const { return Captured; }
  TControl* MouseControl() const { return Hovered; }

  void SetFocus();
  bool Focused() const { return Window && GetFocus() == Window; }

  // The control object of Window (one of ours), or nullptr.
  static TWinControl* FromHandle(HWND Window);

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;

protected:
  explicit TWinControl(TComponent* Owner);
  // Makes the window. OfSystemClass: ClassName is a system class (LISTBOX, EDIT) whose procedure
  // is kept for the messages we pass on; otherwise ClassName is registered as our own class.
  // Parent is the parent window for WS_CHILD styles, the owner otherwise.
  void CreateHandle(DWORD ExStyle, const char* ClassName, bool OfSystemClass, DWORD Style,
                    const RECT& Bounds, HWND Parent);
  // Every message of the window; overrides handle theirs and pass the rest to this one.
  virtual LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L);
  // What the window does without us: DefWindowProcA, or the system class's procedure.
  LRESULT DefaultHandler(UINT Msg, WPARAM W, LPARAM L);
  // Paints the background under the windowless controls; Area is what needs painting.
  virtual void PaintWindow(HDC DC, const RECT& Area);
  // The client area changed size (windowless alClient controls have been laid out).
  virtual void Resize() {}
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // A WM_COMMAND or WM_NOTIFY from a child window that is one of our controls.
  virtual void Notified(UINT Code) { (void)Code; }
  // A system control asks its parent for its colours (WM_CTLCOLOR...): set DC's text and
  // background colours and return the background brush (owned by the control), or nullptr
  // for the system's colours.
  virtual HBRUSH ControlColor(HDC DC) { (void)DC; return nullptr; }
  HWND WindowHandle() const override { return Window; }
  void EnabledChanged() override;
  void CaptionChanged() override;
  void FontChanged() override;

  TColor BackgroundColor = clBtnFace;

private:
  friend class TControl;
  friend class TApplication;
  static LRESULT CALLBACK Thunk(HWND Window, UINT Msg, WPARAM W, LPARAM L);
  static LRESULT CALLBACK SubclassThunk(HWND Window, UINT Msg, WPARAM W, LPARAM L, UINT_PTR Id,
                                        DWORD_PTR Data);
  LRESULT Dispatch(UINT Msg, WPARAM W, LPARAM L);
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);
  void ControlChanged(TControl* Control);
  void Realign();
  void Paint();
  bool RouteMouse(UINT Msg, WPARAM W, LPARAM L);
  void UpdateHover(int X, int Y, bool Inside);
  bool SetControlCursor();
  bool ShowContextMenu(LPARAM L);
  bool OfferDialogChar(char Key, TShiftState Shift);
  void ChildFontsChanged();

  HWND Window = nullptr;
  // A window of a system class (LISTBOX, EDIT), subclassed: its own procedure does the rest.
  bool SystemClass = false;
  std::vector<TControl*> Children;
  TControl* Captured = nullptr;
  TControl* Hovered = nullptr;
  bool TrackingLeave = false;
};

// The keyboard part of the shift state now (Shift, Ctrl, Alt), and with the buttons of a
// mouse message's wParam.
TShiftState KeyboardShift();
TShiftState MouseShift(WPARAM W);
