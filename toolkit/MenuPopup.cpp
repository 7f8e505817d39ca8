// Showing a popup menu: the system menu is built from the item tree for each popup.
#include <windows.h>

#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {
// Appends Lines to Menu; command ids are positions in Commands, plus one.
void Build(HMENU Menu, const std::vector<TMenuLine>& Lines, std::vector<TMenuItem*>& Commands) {
  for (const TMenuLine& Line : Lines) {
    if (Line.Separator) {
      AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT Flags = MF_STRING | (Line.Checked ? MF_CHECKED : 0) | (Line.Enabled ? 0 : MF_GRAYED);
    if (!Line.Lines.empty()) {
      HMENU Sub = CreatePopupMenu();
      Build(Sub, Line.Lines, Commands);
      AppendMenuA(Menu, Flags | MF_POPUP, reinterpret_cast<UINT_PTR>(Sub), Line.Text.c_str());
    } else {
      Commands.push_back(Line.Item);
      AppendMenuA(Menu, Flags, Commands.size(), Line.Text.c_str());
    }
  }
}

class TMenuHandle {
public:
  TMenuHandle() : Menu(CreatePopupMenu()) {}
  ~TMenuHandle() { DestroyMenu(Menu); }
  TMenuHandle(const TMenuHandle&) = delete;
  TMenuHandle& operator=(const TMenuHandle&) = delete;
  HMENU Menu;
};
}  // namespace

void TPopupMenu::Popup(int X, int Y) {
  if (OnPopup) OnPopup(this);
  std::vector<TMenuItem*> Commands;
  TMenuHandle Handle;
  Build(Handle.Menu, Lines(), Commands);
  HWND Owner = Application->Handle();
  UINT Chosen = TrackPopupMenu(Handle.Menu,
                               TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD |
                                   TPM_NONOTIFY,
                               X, Y, 0, Owner, nullptr);
  // Lets a menu opened for a window in the background close properly next time.
  PostMessageA(Owner, WM_NULL, 0, 0);
  if (Chosen > 0 && Chosen <= Commands.size()) Commands[Chosen - 1]->Click();
}
