// Popup menus: a tree of items with captions, shortcuts, check marks and handlers.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Component.h"

// One menu entry. A caption of "-" makes a separator; "&" marks the mnemonic letter. An item
// with child items opens a submenu. The menu is built from these fields each time it pops up,
// so changing them takes effect at the next popup.
class TMenuItem : public TObject {
public:
  TMenuItem() = default;
  TMenuItem(std::string Name, std::string Caption, TShortCut ShortCut = 0,
            TNotifyEvent OnClick = nullptr);
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;

  std::string Name;
  std::string Caption;
  TShortCut ShortCut = 0;
  bool Checked = false;
  bool Enabled = true;
  bool Visible = true;
  TNotifyEvent OnClick;

  // Adds Item as the last child; the item now belongs to this one. Returns Item.
  TMenuItem* Add(std::unique_ptr<TMenuItem> Item);
  // Adds a new child made from the arguments and returns it.
  TMenuItem* Add(std::string Name, std::string Caption, TShortCut ShortCut = 0,
                 TNotifyEvent OnClick = nullptr);
  int Count() const { return static_cast<int>(Children.size()); }
  TMenuItem* operator[](int Index) const { return Children.at(static_cast<size_t>(Index)).get(); }
  TMenuItem* Parent() const { return ParentItem; }
  // The item of that name in this subtree (this one included), or nullptr.
  TMenuItem* Find(const std::string& ItemName);

  bool IsLine() const { return Caption == "-"; }
  // Raises OnClick with this item as the sender.
  virtual void Click();

  // The visible, enabled item carrying ShortCut, searched in display order through visible,
  // enabled submenus (this item itself not included), or nullptr.
  TMenuItem* FindShortCut(TShortCut Key);

private:
  TMenuItem* ParentItem = nullptr;
  std::vector<std::unique_ptr<TMenuItem>> Children;
};

// One line of a menu as it is shown: the text with the shortcut after a tab, separators, check
// marks, grayed entries and submenus. Invisible items have no line.
struct TMenuLine {
  TMenuItem* Item = nullptr;
  std::string Text;
  bool Separator = false;
  bool Checked = false;
  bool Enabled = true;
  std::vector<TMenuLine> Lines;
};
std::vector<TMenuLine> MenuLines(const TMenuItem& Parent);

// A context menu. Popup builds the system menu from the item tree, lets the user choose, and
// runs the chosen item's Click after the menu has closed.
class TPopupMenu : public TComponent {
public:
  explicit TPopupMenu(TComponent* Owner);

  TMenuItem Items;
  // Runs just before the menu is built, so it can be brought up to date.
  TNotifyEvent OnPopup;

  // Shows the menu with its top-left corner at the screen point X, Y and returns once it has
  // closed and the chosen item (if any) has been clicked.
  void Popup(int X, int Y);
  // Clicks the visible, enabled item carrying Key; false when there is none.
  bool IsShortCut(TShortCut Key);
  // The lines the next popup shows.
  std::vector<TMenuLine> Lines() const { return MenuLines(Items); }
};
