// The command table the player's menu is made from, checked against the menu written out here
// entry by entry: place, name, caption, shortcut and handler; and the keys the fast-forward loop
// carries out itself, which are read from the table, against the key table written out here.
#include <doctest.h>

#include <iterator>
#include <string>

#include "tests/win/MainFormFixture.h"
#include "toolkit/ShortCuts.h"

namespace {

using F = TMainForm;
using THandler = void (F::*)(TObject*);

struct TEntry {
  int Depth;
  const char* Name;
  const char* Caption;
  const char* Keys;
  bool KeysAtCreation;
  THandler Handler;
};

const TEntry Menu[] = {
    {0, "VideoControl1", "Video &Control", "", false, nullptr},
    {1, "OpenFile1", "&Open File", "Ctrl+O", false, &F::OpenFile1Click},
    {1, "OpenURL1", "Open &URL", "Ctrl+U", false, &F::OpenURL1Click},
    {1, "N3", "-", "", false, nullptr},
    {1, "Playlist1", "Play&list", "Ctrl+L", false, &F::Playlist1Click},
    {1, "N2", "-", "", false, nullptr},
    {1, "PlayPause1", "&Play / Pause", "Ctrl+P", false, &F::PlayPause1Click},
    {1, "Fastforward1", "&Fast Forward", "Ctrl+F", false, &F::Fastforward1Click},
    {1, "Stop1", "&Stop", "Ctrl+S", false, &F::Stop1Click},
    {1, "Restart1", "&Restart", "Ctrl+R", false, &F::Restart1Click},
    {1, "Close1", "&Close", "Ctrl+C", false, &F::Close1Click},
    {1, "N5", "-", "", false, nullptr},
    {1, "SaveAs1", "Sa&ve As...", "Ctrl+Shift+S", true, &F::SaveAs1Click},
    {0, "View1", "&View", "", false, nullptr},
    {1, "HalfSize1", "&Half Size", "Ctrl+0", true, &F::HalfSize1Click},
    {1, "OriginalSize1", "&Original Size", "Ctrl+1", true, &F::OriginalSize1Click},
    {1, "DoubleSize1", "&Double Size", "Ctrl+2", true, &F::DoubleSize1Click},
    {1, "TripleSize1", "&Triple Size", "Ctrl+3", true, &F::TripleSize1Click},
    {1, "FullScreen1", "&Full Screen", "Ctrl+4", true, &F::FullScreen1Click},
    {1, "ScaledFullScreen1", "&Scaled Full Screen", "Ctrl+5", true, &F::ScaledFullScreen1Click},
    {1, "N6", "-", "", false, nullptr},
    {1, "DirectXMode1", "Direct&X Mode", "Ctrl+Shift+X", true, &F::DirectXMode1Click},
    {1, "PresentationMode1", "&Presentation Mode", "Ctrl+Shift+P", true, &F::PresentationMode1Click},
    {1, "CompactMode1", "&Compact Mode", "Ctrl+Shift+C", true, &F::CompactMode1Click},
    {1, "N4", "-", "", false, nullptr},
    {0, "Options1", "&Options", "Ctrl+Shift+O", true, &F::Options1Click},
    {1, "AlwaysOnTop1", "&Always On Top", "Ctrl+Shift+A", true, &F::AlwaysOnTop1Click},
    {1, "Minimize1", "&Minimize", "Ctrl+M", false, &F::Minimize1Click},
    {1, "N7", "-", "", false, nullptr},
    {1, "DisableScreenSaver1", "&Disable Screen Saver", "Ctrl+D", false, &F::DisableScreenSaver1Click},
    {1, "SystemTray1", "System &Tray", "Ctrl+T", false, &F::SystemTray1Click},
    {1, "ChangeDirectXresolution1", "Change DirectX resolution", "F10", false, &F::ChangeDirectXresolution1Click},
    {1, "Help1", "&Help", "F1", false, &F::Help1Click},
    {0, "N1", "-", "", false, nullptr},
    {0, "About1", "&About", "", false, nullptr},
    {1, "AboutthisMovie1", "&About this Movie...", "Ctrl+A", false, &F::AboutthisMovie1Click},
    {1, "AboutQuillo1", "About Quillo", "Shift+F1", false, &F::AboutQuillo1Click},
    {1, "AboutOstra1", "About [Ostra]", "Ctrl+F1", false, &F::AboutOstra1Click},
    {0, "Exit1", "E&xit", "Ctrl+X", false, &F::Exit1Click},
};

// What fast forward's key handling runs for a digit or letter key with Ctrl, and with Ctrl+Shift.
struct TFastForwardKey {
  char Key;
  THandler WithCtrl, WithCtrlShift;
};

const TFastForwardKey FastForwardKeys[] = {
    {'0', &F::HalfSize1Click, nullptr},
    {'1', &F::OriginalSize1Click, nullptr},
    {'2', &F::DoubleSize1Click, nullptr},
    {'3', &F::TripleSize1Click, nullptr},
    {'4', &F::FullScreen1Click, nullptr},
    {'5', &F::ScaledFullScreen1Click, nullptr},
    {'A', &F::AboutthisMovie1Click, &F::AlwaysOnTop1Click},
    {'C', &F::Close1Click, &F::CompactMode1Click},
    {'D', &F::DisableScreenSaver1Click, nullptr},
    {'L', &F::Playlist1Click, nullptr},
    {'O', &F::OpenFile1Click, &F::Options1Click},
    {'P', &F::PlayPause1Click, &F::PresentationMode1Click},
    {'R', &F::Restart1Click, nullptr},
    {'S', &F::Stop1Click, &F::SaveAs1Click},
    {'U', &F::OpenURL1Click, nullptr},
    {'X', &F::Exit1Click, &F::DirectXMode1Click},
};

// The name of the entry whose handler is Handler, for the messages.
std::string HandlerName(THandler Handler) {
  if (!Handler) return "nothing";
  for (const TEntry& Entry : Menu)
    if (Entry.Handler == Handler) return std::string(Entry.Name) + "Click";
  return "an unknown handler";
}

std::string FastForwardRuns(uint16_t Key, TShiftState Shift) {
  const TMenuCommand* Command = FastForwardCommand(Key, Shift);
  return HandlerName(Command ? Command->Handler : nullptr);
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "the command table: each entry in display order with its name, caption, shortcut and handler") {
  const auto Commands = MenuCommands();
  REQUIRE(Commands.size() == std::size(Menu));
  const TMenuItem* Submenu = nullptr;
  for (size_t Index = 0; Index < Commands.size(); ++Index) {
    const TMenuCommand& Command = Commands[Index];
    const TEntry& Expected = Menu[Index];
    INFO("entry ", Index, ", expected ", Expected.Name, ", got ", Command.Name);
    CHECK(Command.Depth == Expected.Depth);
    CHECK(std::string(Command.Name) == Expected.Name);
    CHECK(std::string(Command.Caption) == Expected.Caption);
    CHECK(ShortCutToText(Command.ShortCut) == Expected.Keys);
    CHECK(Command.ShortCutAtCreation == Expected.KeysAtCreation);
    CHECK(HandlerName(Command.Handler) == HandlerName(Expected.Handler));
    CHECK(&MenuCommand(Command.Item) == &Command);
    // The form's field holds the item of that name, in its place in the tree, with the shortcut.
    const TMenuItem* Item = Form->*Command.Item;
    REQUIRE(Item != nullptr);
    CHECK(Item->Name == Expected.Name);
    CHECK(Item->ShortCut == Command.ShortCut);
    CHECK(Item->Parent() == (Expected.Depth == 0 ? &Form->PopupMenu1->Items : Submenu));
    if (Expected.Depth == 0) Submenu = Item;
  }
}

TEST_CASE("fast forward's own keys: the table's Ctrl and Ctrl+Shift digit and letter shortcuts but Fast Forward, Minimize and System Tray") {
  const TShiftState Ctrl = ssCtrl, CtrlShift = ssCtrl | ssShift;
  std::string Keys = "0123456789";
  for (char Letter = 'A'; Letter <= 'Z'; ++Letter) Keys += Letter;
  for (char Key : Keys) {
    THandler WithCtrl = nullptr, WithCtrlShift = nullptr;
    for (const TFastForwardKey& Expected : FastForwardKeys)
      if (Expected.Key == Key) {
        WithCtrl = Expected.WithCtrl;
        WithCtrlShift = Expected.WithCtrlShift;
      }
    INFO("key ", std::string(1, Key));
    CHECK(FastForwardRuns(Key, Ctrl) == HandlerName(WithCtrl));
    CHECK(FastForwardRuns(Key, CtrlShift) == HandlerName(WithCtrlShift));
    // Without Ctrl, or with Alt, a key is no shortcut of the loop's.
    for (TShiftState Other : {TShiftState(), TShiftState(ssShift), TShiftState(ssAlt), ssCtrl | ssAlt})
      CHECK(FastForwardRuns(Key, Other) == "nothing");
  }
  // The function keys' commands are left undone there, with their modifiers or without.
  CHECK(FastForwardRuns(VK_F10, TShiftState()) == "nothing");
  CHECK(FastForwardRuns(VK_F1, TShiftState()) == "nothing");
  CHECK(FastForwardRuns(VK_F1, TShiftState(ssShift)) == "nothing");
  CHECK(FastForwardRuns(VK_F1, Ctrl) == "nothing");
}
