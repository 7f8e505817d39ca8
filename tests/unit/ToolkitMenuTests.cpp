// Shortcut texts, menu lines as shown, shortcut matching, and component removal notices.
#include <doctest.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/FileDialogText.h"
#include "toolkit/Menus.h"
#include "toolkit/ShortCuts.h"

namespace {
constexpr TShortCut Ctrl(char Key) { return scCtrl | static_cast<TShortCut>(Key); }

// A small tree shaped like the player's command menu, recording every click.
struct TMenuFixture {
  TPopupMenu Menu{nullptr};
  std::vector<std::string> Clicked;
  TNotifyEvent Record(const std::string& Name) {
    return [this, Name](TObject*) { Clicked.push_back(Name); };
  }
  TMenuFixture() {
    TMenuItem& Root = Menu.Items;
    TMenuItem* Video = Root.Add("VideoControl1", "Video &Control");
    Video->Add("OpenFile1", "&Open File", Ctrl('O'), Record("OpenFile1"));
    Video->Add("N3", "-");
    Video->Add("SaveAs1", "Sa&ve As...", scCtrl | scShift | 'S', Record("SaveAs1"));
    TMenuItem* View = Root.Add("View1", "&View");
    View->Add("HalfSize1", "&Half Size", Ctrl('0'), Record("HalfSize1"));
    View->Add("OriginalSize1", "&Original Size", Ctrl('1'), Record("OriginalSize1"))->Checked = true;
    View->Add("DoubleSize1", "&Double Size", Ctrl('2'), Record("DoubleSize1"))->Enabled = false;
    View->Add("N4", "-")->Visible = false;
    TMenuItem* Options = Root.Add("Options1", "&Options", scCtrl | scShift | 'O', Record("Options1"));
    Options->Add("Minimize1", "&Minimize", Ctrl('M'), Record("Minimize1"));
    Options->Add("Help1", "&Help", 0x70, Record("Help1"));
    Root.Add("Hidden1", "Hidden", Ctrl('H'), Record("Hidden1"))->Visible = false;
    Root.Add("Exit1", "E&xit", Ctrl('X'), Record("Exit1"));
  }
};
}  // namespace

TEST_CASE("shortcut texts name the modifiers Ctrl, Shift, Alt, then the key") {
  CHECK(ShortCutToText(Ctrl('O')) == "Ctrl+O");
  CHECK(ShortCutToText(scCtrl | scShift | 'S') == "Ctrl+Shift+S");
  CHECK(ShortCutToText(0x79) == "F10");
  CHECK(ShortCutToText(scShift | 0x70) == "Shift+F1");
  CHECK(ShortCutToText(scCtrl | 0x70) == "Ctrl+F1");
  CHECK(ShortCutToText(Ctrl('0')) == "Ctrl+0");
  CHECK(ShortCutToText(scAlt | scCtrl | scShift | 0x2E) == "Ctrl+Shift+Alt+Del");
  CHECK(ShortCutToText(scCtrl | 0x65) == "Ctrl+Num 5");
  CHECK(ShortCutToText(0x87) == "F24");
  CHECK(ShortCutToText(0) == "");
  CHECK(ShortCutToText(scCtrl | 0xFF) == "");  // a key without a name shows nothing
  CHECK(ShortCutKey(scCtrl | scShift | 'S') == 'S');
  CHECK(ShortCutShift(scCtrl | scShift | 'S') == (ssCtrl | ssShift));
  CHECK(ShortCut('S', ssCtrl | ssShift) == (scCtrl | scShift | 'S'));
}

TEST_CASE("menu lines show captions with shortcuts, checks, grayed items, submenus, no hidden items") {
  TMenuFixture F;
  std::vector<TMenuLine> Lines = F.Menu.Lines();
  REQUIRE(Lines.size() == 4);  // Hidden1 has no line
  CHECK(Lines[0].Text == "Video &Control");
  REQUIRE(Lines[0].Lines.size() == 3);
  CHECK(Lines[0].Lines[0].Text == "&Open File\tCtrl+O");
  CHECK(Lines[0].Lines[1].Separator);
  CHECK(Lines[0].Lines[2].Text == "Sa&ve As...\tCtrl+Shift+S");
  const std::vector<TMenuLine>& View = Lines[1].Lines;
  REQUIRE(View.size() == 3);  // the invisible separator N4 is left out
  CHECK(!View[0].Checked);
  CHECK(View[1].Checked);
  CHECK(View[1].Text == "&Original Size\tCtrl+1");
  CHECK(!View[2].Enabled);
  CHECK(Lines[2].Text == "&Options\tCtrl+Shift+O");
  CHECK(Lines[2].Lines.size() == 2);
  CHECK(Lines[2].Lines[1].Text == "&Help\tF1");
  CHECK(Lines[3].Item == F.Menu.Items.Find("Exit1"));
}

TEST_CASE("a shortcut clicks its visible, enabled item anywhere in the tree") {
  TMenuFixture F;
  CHECK(F.Menu.IsShortCut(Ctrl('O')));
  CHECK(F.Menu.IsShortCut(0x70));
  CHECK(F.Menu.IsShortCut(scCtrl | scShift | 'O'));  // a submenu carrying a shortcut
  CHECK(F.Clicked == std::vector<std::string>{"OpenFile1", "Help1", "Options1"});
  F.Clicked.clear();
  CHECK_FALSE(F.Menu.IsShortCut(Ctrl('2')));  // disabled
  CHECK_FALSE(F.Menu.IsShortCut(Ctrl('H')));  // invisible
  CHECK_FALSE(F.Menu.IsShortCut(Ctrl('Q')));  // nobody's
  CHECK_FALSE(F.Menu.IsShortCut(0));
  CHECK_FALSE(F.Menu.IsShortCut('O'));  // Ctrl matters
  F.Menu.Items.Find("Options1")->Visible = false;
  CHECK_FALSE(F.Menu.IsShortCut(Ctrl('M')));  // inside an invisible submenu
  F.Menu.Items.Find("View1")->Enabled = false;
  CHECK_FALSE(F.Menu.IsShortCut(Ctrl('1')));  // inside a disabled submenu
  CHECK(F.Clicked.empty());
  F.Menu.Items.Find("DoubleSize1")->Enabled = true;
  F.Menu.Items.Find("View1")->Enabled = true;
  CHECK(F.Menu.IsShortCut(Ctrl('2')));
  CHECK(F.Clicked == std::vector<std::string>{"DoubleSize1"});
}

namespace {
struct TWatcher : TComponent {
  using TComponent::TComponent;
  std::vector<TComponent*> Removed;
  void Notification(TComponent* C, TOperation Op) override {
    if (Op == opRemove) Removed.push_back(C);
  }
};
}  // namespace

TEST_CASE("components free what they own, last first, and tell those who asked") {
  auto Owner = std::make_unique<TWatcher>(nullptr);
  auto* First = new TWatcher(Owner.get());
  auto* Second = new TWatcher(Owner.get());
  TWatcher Referrer(nullptr);
  Referrer.FreeNotification(Second);
  Referrer.FreeNotification(Second);
  CHECK(Owner->ComponentCount() == 2);

  delete First;  // deleted early: it leaves its owner's list
  CHECK(Owner->ComponentCount() == 1);
  CHECK(Referrer.Removed.empty());

  Owner.reset();  // frees Second
  REQUIRE(Referrer.Removed.size() == 1);
  CHECK(Referrer.Removed[0] == Second);

  // Once the referrer is gone, the other's destruction must not reach it.
  auto* Menu = new TWatcher(nullptr);
  {
    TWatcher ShortLived(nullptr);
    ShortLived.FreeNotification(Menu);
  }
  delete Menu;
}

TEST_CASE("file dialog texts: filters and multiple selections") {
  using namespace std::string_literals;
  CHECK(FilterToSystem("Vivo files (*.viv)|*.viv") == "Vivo files (*.viv)\0*.viv\0\0"s);
  CHECK(FilterToSystem("A|*.a|B|*.b") == "A\0*.a\0B\0*.b\0\0"s);
  CHECK(FilterToSystem("Lonely") == "Lonely\0\0\0"s);
  CHECK(FilterToSystem("").empty());

  CHECK(SplitSelection("C:\\clips\\one.viv\0"s) == std::vector<std::string>{"C:\\clips\\one.viv"});
  CHECK(SplitSelection("C:\\clips\0b c.viv\0a.viv\0"s) ==
        std::vector<std::string>{"C:\\clips\\b c.viv", "C:\\clips\\a.viv"});
  CHECK(SplitSelection("C:\\\0a.viv\0"s) == std::vector<std::string>{"C:\\a.viv"});
  CHECK(SplitSelection("").empty());
  CHECK(JoinPath("C:\\x", "D:\\y.viv") == "D:\\y.viv");
  CHECK(JoinPath("", "y.viv") == "y.viv");
}
