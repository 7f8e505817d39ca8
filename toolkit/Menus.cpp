// Menu item trees: building, lookup, shortcut matching and the lines a popup shows.
#include "toolkit/Menus.h"

#include "toolkit/ShortCuts.h"

TMenuItem::TMenuItem(std::string Name, std::string Caption, TShortCut ShortCut,
                     TNotifyEvent OnClick)
    : Name(std::move(Name)), Caption(std::move(Caption)), ShortCut(ShortCut),
      OnClick(std::move(OnClick)) {}

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> Item) {
  Item->ParentItem = this;
  Children.push_back(std::move(Item));
  return Children.back().get();
}

TMenuItem* TMenuItem::Add(std::string ItemName, std::string ItemCaption, TShortCut Key,
                          TNotifyEvent Handler) {
  return Add(std::make_unique<TMenuItem>(std::move(ItemName), std::move(ItemCaption), Key,
                                         std::move(Handler)));
}

TMenuItem* TMenuItem::Find(const std::string& ItemName) {
  if (Name == ItemName) return this;
  for (auto& Child : Children)
    if (TMenuItem* Found = Child->Find(ItemName)) return Found;
  return nullptr;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindShortCut(TShortCut Key) {
  if (Key == 0) return nullptr;
  for (auto& Child : Children) {
    if (!Child->Visible || !Child->Enabled || Child->IsLine()) continue;
    if (Child->ShortCut == Key) return Child.get();
    if (TMenuItem* Found = Child->FindShortCut(Key)) return Found;
  }
  return nullptr;
}

std::vector<TMenuLine> MenuLines(const TMenuItem& Parent) {
  std::vector<TMenuLine> Lines;
  for (int I = 0; I < Parent.Count(); ++I) {
    TMenuItem* Item = Parent[I];
    if (!Item->Visible) continue;
    TMenuLine Line;
    Line.Item = Item;
    if (Item->IsLine()) {
      Line.Separator = true;
    } else {
      Line.Text = Item->Caption;
      std::string Keys = ShortCutToText(Item->ShortCut);
      if (!Keys.empty()) Line.Text += "\t" + Keys;
      Line.Checked = Item->Checked;
      Line.Enabled = Item->Enabled;
      Line.Lines = MenuLines(*Item);
    }
    Lines.push_back(std::move(Line));
  }
  return Lines;
}

TPopupMenu::TPopupMenu(TComponent* Owner) : TComponent(Owner) {}

bool TPopupMenu::IsShortCut(TShortCut Key) {
  TMenuItem* Item = Items.FindShortCut(Key);
  if (!Item) return false;
  Item->Click();
  return true;
}
