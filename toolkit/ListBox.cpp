// List boxes that follow a list of texts.
#include "toolkit/StdCtrls.h"

TListBox::TListBox(TComponent* Owner, TWinControl* Parent, bool MultiSelect)
    : TWinControl(Owner), Multi(MultiSelect) {
  DWORD Style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | WS_BORDER |
                LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | (MultiSelect ? LBS_EXTENDEDSEL : 0);
  CreateHandle(0, "LISTBOX", true, Style, RECT{0, 0, 121, 97}, Parent->Handle());
  SetParent(Parent);
}

TListBox::~TListBox() {
  if (List) List->OnChange = nullptr;
}

void TListBox::SetItems(TStrings* Value) {
  if (List) List->OnChange = nullptr;
  List = Value;
  if (List) List->OnChange = [this](const TStringsChange& Change) { Follow(Change); };
  Reload();
}

void TListBox::Follow(const TStringsChange& Change) {
  switch (Change.Kind) {
    case TStringsChange::scAdded:
      SendMessageA(Handle(), LB_INSERTSTRING, static_cast<WPARAM>(Change.Index),
                   reinterpret_cast<LPARAM>((*List)[Change.Index].c_str()));
      break;
    case TStringsChange::scDeleted:
      // Deleting one entry keeps the others' selection, which a removal walking the list needs.
      SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(Change.Index), 0);
      break;
    case TStringsChange::scReplaced:
      Reload();
      break;
  }
}

void TListBox::Reload() {
  int Focus = ItemIndex();
  SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
  SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
  if (List)
    for (const std::string& Text : *List)
      SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str()));
  SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Handle(), nullptr, TRUE);
  if (Focus >= 0 && Focus < Count()) SetItemIndex(Focus);
}

int TListBox::Count() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0));
}

int TListBox::ItemIndex() const {
  LRESULT Index = SendMessageA(Handle(), Multi ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
  if (Multi && Index >= 0 && Count() == 0) return -1;
  return Index == LB_ERR ? -1 : static_cast<int>(Index);
}

void TListBox::SetItemIndex(int Index) {
  if (Multi)
    SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(Index), FALSE);
  else
    SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

bool TListBox::Selected(int Index) const {
  LRESULT State = SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0);
  return State != LB_ERR && State > 0;
}

void TListBox::SetSelected(int Index, bool Value) {
  if (Multi)
    SendMessageA(Handle(), LB_SETSEL, Value, static_cast<LPARAM>(Index));
  else
    SendMessageA(Handle(), LB_SETCURSEL, Value ? static_cast<WPARAM>(Index) : static_cast<WPARAM>(-1), 0);
}

int TListBox::SelCount() const {
  if (!Multi) return ItemIndex() >= 0 ? 1 : 0;
  LRESULT Result = SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0);
  return Result == LB_ERR ? 0 : static_cast<int>(Result);
}

void TListBox::SetColor(TColor Value) {
  if (Value == Background) return;
  Background = Value;
  BackgroundBrush.Reset();
  Invalidate();
}

int TListBox::ItemHeight() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

void TListBox::SetItemHeight(int Value) {
  FixedItemHeight = Value;
  if (Value > 0) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(Value, 0));
  Invalidate();
}

void TListBox::FontChanged() {
  TWinControl::FontChanged();
  // A new font sets the entries' height from itself; a height of our own is put back.
  if (FixedItemHeight > 0) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(FixedItemHeight, 0));
}

HBRUSH TListBox::ControlColor(HDC DC) {
  if (!BackgroundBrush) BackgroundBrush.Reset(CreateSolidBrush(ColorToRGB(Background)));
  SetTextColor(DC, ColorToRGB(Font().Color()));
  SetBkColor(DC, ColorToRGB(Background));
  return BackgroundBrush.Get();
}

void TListBox::Notified(UINT Code) {
  if (Code == LBN_SELCHANGE && OnSelChange) OnSelChange(this);
  if (Code == LBN_DBLCLK && OnDblClick) OnDblClick(this);
}
