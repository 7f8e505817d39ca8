// The player window's command menu, written once as a table: every entry with its caption,
// shortcut and handler. The menu is made from it, and so are the keys that the fast-forward
// loop carries out itself and the commands the settings and the views run.
#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "player/Main.h"

namespace {

using F = TMainForm;

constexpr TShortCut Ctrl(char Key) { return ShortCut(Key, ssCtrl); }
constexpr TShortCut CtrlShift(char Key) { return ShortCut(Key, ssCtrl | ssShift); }
// When an entry gets its shortcut: with the menu, or from FormCreate.
constexpr bool WithMenu = false, AtCreation = true;

// Depth 0 is the menu's own entry; an entry of depth 1 belongs to the last one of depth 0 above
// it. Separators and submenus without a command of their own have no handler.
const TMenuCommand Commands[] = {
    {0, &F::VideoControl1, "VideoControl1", "Video &Control"},
    {1, &F::OpenFile1, "OpenFile1", "&Open File", Ctrl('O'), WithMenu, &F::OpenFile1Click},
    {1, &F::OpenURL1, "OpenURL1", "Open &URL", Ctrl('U'), WithMenu, &F::OpenURL1Click},
    {1, &F::N3, "N3", "-"},
    {1, &F::Playlist1, "Playlist1", "Play&list", Ctrl('L'), WithMenu, &F::Playlist1Click},
    {1, &F::N2, "N2", "-"},
    {1, &F::PlayPause1, "PlayPause1", "&Play / Pause", Ctrl('P'), WithMenu, &F::PlayPause1Click},
    {1, &F::Fastforward1, "Fastforward1", "&Fast Forward", Ctrl('F'), WithMenu, &F::Fastforward1Click},
    {1, &F::Stop1, "Stop1", "&Stop", Ctrl('S'), WithMenu, &F::Stop1Click},
    {1, &F::Restart1, "Restart1", "&Restart", Ctrl('R'), WithMenu, &F::Restart1Click},
    {1, &F::Close1, "Close1", "&Close", Ctrl('C'), WithMenu, &F::Close1Click},
    {1, &F::N5, "N5", "-"},
    {1, &F::SaveAs1, "SaveAs1", "Sa&ve As...", CtrlShift('S'), AtCreation, &F::SaveAs1Click},
    {0, &F::View1, "View1", "&View"},
    {1, &F::HalfSize1, "HalfSize1", "&Half Size", Ctrl('0'), AtCreation, &F::HalfSize1Click},
    {1, &F::OriginalSize1, "OriginalSize1", "&Original Size", Ctrl('1'), AtCreation, &F::OriginalSize1Click},
    {1, &F::DoubleSize1, "DoubleSize1", "&Double Size", Ctrl('2'), AtCreation, &F::DoubleSize1Click},
    {1, &F::TripleSize1, "TripleSize1", "&Triple Size", Ctrl('3'), AtCreation, &F::TripleSize1Click},
    {1, &F::FullScreen1, "FullScreen1", "&Full Screen", Ctrl('4'), AtCreation, &F::FullScreen1Click},
    {1, &F::ScaledFullScreen1, "ScaledFullScreen1", "&Scaled Full Screen", Ctrl('5'), AtCreation,
     &F::ScaledFullScreen1Click},
    {1, &F::N6, "N6", "-"},
    {1, &F::DirectXMode1, "DirectXMode1", "Direct&X Mode", CtrlShift('X'), AtCreation, &F::DirectXMode1Click},
    {1, &F::PresentationMode1, "PresentationMode1", "&Presentation Mode", CtrlShift('P'), AtCreation,
     &F::PresentationMode1Click},
    {1, &F::CompactMode1, "CompactMode1", "&Compact Mode", CtrlShift('C'), AtCreation, &F::CompactMode1Click},
    {1, &F::N4, "N4", "-"},
    {0, &F::Options1, "Options1", "&Options", CtrlShift('O'), AtCreation, &F::Options1Click},
    {1, &F::AlwaysOnTop1, "AlwaysOnTop1", "&Always On Top", CtrlShift('A'), AtCreation, &F::AlwaysOnTop1Click},
    {1, &F::Minimize1, "Minimize1", "&Minimize", Ctrl('M'), WithMenu, &F::Minimize1Click},
    {1, &F::N7, "N7", "-"},
    {1, &F::DisableScreenSaver1, "DisableScreenSaver1", "&Disable Screen Saver", Ctrl('D'), WithMenu,
     &F::DisableScreenSaver1Click},
    {1, &F::SystemTray1, "SystemTray1", "System &Tray", Ctrl('T'), WithMenu, &F::SystemTray1Click},
    {1, &F::ChangeDirectXresolution1, "ChangeDirectXresolution1", "Change DirectX resolution", VK_F10,
     WithMenu, &F::ChangeDirectXresolution1Click},
    {1, &F::Help1, "Help1", "&Help", VK_F1, WithMenu, &F::Help1Click},
    {0, &F::N1, "N1", "-"},
    {0, &F::About1, "About1", "&About"},
    {1, &F::AboutthisMovie1, "AboutthisMovie1", "&About this Movie...", Ctrl('A'), WithMenu,
     &F::AboutthisMovie1Click},
    {1, &F::AboutQuillo1, "AboutQuillo1", "About Quillo", ShortCut(VK_F1, ssShift), WithMenu,
     &F::AboutQuillo1Click},
    {1, &F::AboutOstra1, "AboutOstra1", "About [Ostra]", ShortCut(VK_F1, ssCtrl), WithMenu,
     &F::AboutOstra1Click},
    {0, &F::Exit1, "Exit1", "E&xit", Ctrl('X'), WithMenu, &F::Exit1Click},
};

// The shortcuts the fast-forward loop leaves undone: Fast Forward's own (it runs already),
// Minimize's and System Tray's.
constexpr TMenuItem* TMainForm::*NotDuringFastForward[] = {&F::Fastforward1, &F::Minimize1,
                                                          &F::SystemTray1};

}  // namespace

std::span<const TMenuCommand> MenuCommands() { return Commands; }

const TMenuCommand& MenuCommand(TMenuItem* TMainForm::*Item) {
  for (const TMenuCommand& Command : Commands)
    if (Command.Item == Item) return Command;
  throw std::logic_error("a menu entry missing from the command table");
}

const TMenuCommand* FastForwardCommand(uint16_t Key, TShiftState Shift) {
  const bool DigitOrLetter = (Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z');
  if (!DigitOrLetter || (Shift != TShiftState(ssCtrl) && Shift != (ssCtrl | ssShift)))
    return nullptr;
  const TShortCut Pressed = ShortCut(Key, Shift);
  for (const TMenuCommand& Command : Commands) {
    if (Command.ShortCut != Pressed || !Command.Handler) continue;
    const bool Left = std::find(std::begin(NotDuringFastForward), std::end(NotDuringFastForward),
                                Command.Item) != std::end(NotDuringFastForward);
    return Left ? nullptr : &Command;
  }
  return nullptr;
}

void TMainForm::CreateMenu() {
  TMenuItem* Submenu = nullptr;
  for (const TMenuCommand& Command : Commands) {
    TNotifyEvent OnClick;
    if (Command.Handler)
      OnClick = [this, Handler = Command.Handler](TObject* Sender) { (this->*Handler)(Sender); };
    TMenuItem& Parent = Command.Depth == 0 ? PopupMenu1->Items : *Submenu;
    TMenuItem* Item = Parent.Add(Command.Name, Command.Caption,
                                 Command.ShortCutAtCreation ? 0 : Command.ShortCut, OnClick);
    this->*Command.Item = Item;
    if (Command.Depth == 0) Submenu = Item;
  }
  OriginalSize1->Checked = true;
  N4->Visible = false;
}

void TMainForm::GiveCreationShortCuts() {
  for (const TMenuCommand& Command : Commands)
    if (Command.ShortCutAtCreation) (this->*Command.Item)->ShortCut = Command.ShortCut;
}

void TMainForm::RunCommand(TMenuItem* TMainForm::*Item, TObject* Sender) {
  (this->*MenuCommand(Item).Handler)(Sender);
}
