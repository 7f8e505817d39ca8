// The control base: parent, bounds, visibility, enabled state, context menu, font, caption.
#include "toolkit/Controls.h"

#include "toolkit/Guards.h"
#include "toolkit/Menus.h"

TControl::TControl(TComponent* Owner) : TComponent(Owner) {
  ControlFont.OnChange = [this](TObject*) {
    if (!CopyingParentFont) FollowParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  ControlFont.OnChange = nullptr;
  if (ParentControl) ParentControl->RemoveControl(this);
}

void TControl::SetParent(TWinControl* NewParent) {
  if (NewParent == ParentControl) return;
  if (ParentControl) ParentControl->RemoveControl(this);
  ParentControl = NewParent;
  if (!NewParent) return;
  if (HWND Own = WindowHandle(); Own && (GetWindowLongA(Own, GWL_STYLE) & WS_CHILD))
    ::SetParent(Own, NewParent->Handle());
  NewParent->InsertControl(this);
  ParentFontChanged();
}

RECT TControl::BoundsRect() const { return Bounds; }

void TControl::SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  RECT New{NewLeft, NewTop, NewLeft + NewWidth, NewTop + NewHeight};
  if (EqualRect(&New, &Bounds)) return;
  Invalidate();
  Bounds = New;
  Invalidate();
}

void TControl::SetAlign(TAlign Value) {
  Alignment = Value;
  if (ParentControl) ParentControl->Realign();
}

POINT TControl::ClientToScreen(POINT P) const {
  if (HWND Own = WindowHandle()) {
    ::ClientToScreen(Own, &P);
    return P;
  }
  if (!ParentControl) return P;
  return ParentControl->ClientToScreen(POINT{P.x + Bounds.left, P.y + Bounds.top});
}

POINT TControl::ScreenToClient(POINT P) const {
  if (HWND Own = WindowHandle()) {
    ::ScreenToClient(Own, &P);
    return P;
  }
  if (!ParentControl) return P;
  POINT Q = ParentControl->ScreenToClient(P);
  return POINT{Q.x - Bounds.left, Q.y - Bounds.top};
}

void TControl::SetVisible(bool Value) {
  if (Value == IsVisible) return;
  IsVisible = Value;
  if (ParentControl) ParentControl->ControlChanged(this);
  VisibleChanged();
}

void TControl::SetEnabled(bool Value) {
  if (Value == IsEnabled) return;
  IsEnabled = Value;
  if (ParentControl) ParentControl->ControlChanged(this);
  EnabledChanged();
}

void TControl::SetPopupMenu(TPopupMenu* Menu) {
  if (Menu == ContextMenu) return;
  if (ContextMenu) RemoveFreeNotification(ContextMenu);
  ContextMenu = Menu;
  if (Menu) FreeNotification(Menu);
}

void TControl::Notification(TComponent* Component, TOperation Operation) {
  TComponent::Notification(Component, Operation);
  if (Operation == opRemove && Component == ContextMenu) ContextMenu = nullptr;
}

void TControl::SetParentFont(bool Value) {
  FollowParentFont = Value;
  ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FollowParentFont || !ParentControl) return;
  TFlagGuard Copying(CopyingParentFont);
  ControlFont.Assign(ParentControl->Font());
}

void TControl::SetCaption(const std::string& Value) {
  if (Value == Text) return;
  Text = Value;
  CaptionChanged();
}

void TControl::Invalidate() {
  if (ParentControl && ParentControl->Handle())
    InvalidateRect(ParentControl->Handle(), &Bounds, FALSE);
}

void TControl::Repaint() {
  Invalidate();
  if (HWND Own = WindowHandle())
    UpdateWindow(Own);
  else if (ParentControl && ParentControl->Handle())
    UpdateWindow(ParentControl->Handle());
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::CaptureLost() {
  if (OnCaptureLost) OnCaptureLost(this);
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

bool TControl::DialogChar(char, TShiftState) { return false; }

void TControl::EnabledChanged() { Invalidate(); }

void TControl::VisibleChanged() {}

void TControl::CaptionChanged() { Invalidate(); }

void TControl::FontChanged() { Invalidate(); }

TShiftState KeyboardShift() {
  TShiftState Shift;
  if (GetKeyState(VK_SHIFT) < 0) Shift |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) Shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
  return Shift;
}

TShiftState MouseShift(WPARAM W) {
  TShiftState Shift;
  if (W & MK_SHIFT) Shift |= ssShift;
  if (W & MK_CONTROL) Shift |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
  if (W & MK_LBUTTON) Shift |= ssLeft;
  if (W & MK_RBUTTON) Shift |= ssRight;
  if (W & MK_MBUTTON) Shift |= ssMiddle;
  return Shift;
}
