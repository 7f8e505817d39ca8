// The player window as it is created: its frame and size, the components' places, the shared
// state's start values, the help file, and the whole command menu with its shortcuts.
#include <doctest.h>

#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"
#include "toolkit/FileNames.h"
#include "toolkit/ShortCuts.h"
#include "toolkit/SysUtils.h"

namespace {

// The menu as indented lines: "Caption\tShortcut", "[x]" for a check, "-" for a separator.
void Flatten(const std::vector<TMenuLine>& Lines, const std::string& Indent,
             std::vector<std::string>& Out) {
  for (const TMenuLine& Line : Lines) {
    Out.push_back(Indent + (Line.Separator ? "-" : Line.Text) + (Line.Checked ? " [x]" : "") +
                  (Line.Enabled ? "" : " (disabled)"));
    Flatten(Line.Lines, Indent + "  ", Out);
  }
}

std::string Box(long Left, long Top, long Width, long Height) {
  return std::to_string(Left) + "," + std::to_string(Top) + " " + std::to_string(Width) + "x" +
         std::to_string(Height);
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "creation: a captionless window with a sizing frame around a 240 x 205 picture") {
  HWND Window = Form->Handle();
  LONG Style = GetWindowLongA(Window, GWL_STYLE);
  INFO("style ", Style);
  CHECK((Style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
  CHECK((Style & WS_THICKFRAME) != 0);
  CHECK((GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
  RECT Client;
  GetClientRect(Window, &Client);
  CHECK(Box(0, 0, Client.right, Client.bottom) == "0,0 240x205");
  char Caption[64] = "";
  GetWindowTextA(Window, Caption, sizeof Caption);
  CHECK(std::string(Caption) == "Quillo");
  CHECK(Form->KeyPreview());
  CHECK(Form->PopupMenu() == Form->PopupMenu1);

  // The picture fills the client area, the menu key sits on the set's front, the video in its
  // screen.
  CHECK(Box(Form->TVImage->Left(), Form->TVImage->Top(), Form->TVImage->Width(), Form->TVImage->Height()) == "0,0 240x205");
  CHECK(Box(Form->Button1->Left(), Form->Button1->Top(), Form->Button1->Width(), Form->Button1->Height()) == "200,182 20x20");
  HWND Video = Form->vivo->Handle();
  REQUIRE(Video != nullptr);
  CHECK(GetParent(Video) == Window);
  RECT Place;
  GetWindowRect(Video, &Place);
  MapWindowPoints(HWND_DESKTOP, Window, reinterpret_cast<POINT*>(&Place), 2);
  CHECK(Box(Place.left, Place.top, Place.right - Place.left, Place.bottom - Place.top) == "16,20 206x154");

  CHECK(Form->OpenDialog1->DefaultExt == "viv");
  CHECK(Form->OpenDialog1->Filter == "Vivo files (*.viv)|*.viv");
  CHECK(Form->OpenDialog1->Options ==
        (ofAllowMultiSelect | ofPathMustExist | ofFileMustExist | ofHideReadOnly));
  CHECK(Application->HelpFile() == ExtractFileDir(ProgramFileName()) + "\\Quillo.hlp");

  // Shown for the first time, it stands in the middle of the screen.
  Form->Show();
  RECT Outer;
  GetWindowRect(Window, &Outer);
  CHECK(Outer.left == (GetSystemMetrics(SM_CXSCREEN) - (Outer.right - Outer.left)) / 2);
  CHECK(Outer.top == (GetSystemMetrics(SM_CYSCREEN) - (Outer.bottom - Outer.top)) / 2);
}

TEST_CASE("creation: the shared state starts as the program's start wants it, whatever came before") {
  Closing = true;
  DirectDrawUsed = true;
  TMainFormFixture Fresh;
  CHECK(Fresh.Form->PlayState == psStopped);
  CHECK_FALSE(Closing);
  CHECK_FALSE(DirectDrawUsed);
  CHECK(Fresh.Form->DirectXWidth == 640);
  CHECK(Fresh.Form->DirectXHeight == 480);
  CHECK_FALSE(FastForwarding);
  CHECK(LastURL.empty());
  // Creating the window gives the control no orders: nothing is loaded or played.
  CHECK(Fresh.Calls().empty());
}

TEST_CASE_FIXTURE(TMainFormFixture, "the command menu: captions, shortcuts, checks and separators in display order") {
  std::vector<std::string> Menu;
  Flatten(Form->PopupMenu1->Lines(), "", Menu);
  const std::vector<std::string> Expected{
      "Video &Control",
      "  &Open File\tCtrl+O",
      "  Open &URL\tCtrl+U",
      "  -",
      "  Play&list\tCtrl+L",
      "  -",
      "  &Play / Pause\tCtrl+P",
      "  &Fast Forward\tCtrl+F",
      "  &Stop\tCtrl+S",
      "  &Restart\tCtrl+R",
      "  &Close\tCtrl+C",
      "  -",
      "  Sa&ve As...\tCtrl+Shift+S",
      "&View",
      "  &Half Size\tCtrl+0",
      "  &Original Size\tCtrl+1 [x]",
      "  &Double Size\tCtrl+2",
      "  &Triple Size\tCtrl+3",
      "  &Full Screen\tCtrl+4",
      "  &Scaled Full Screen\tCtrl+5",
      "  -",
      "  Direct&X Mode\tCtrl+Shift+X",
      "  &Presentation Mode\tCtrl+Shift+P",
      "  &Compact Mode\tCtrl+Shift+C",
      "&Options\tCtrl+Shift+O",
      "  &Always On Top\tCtrl+Shift+A",
      "  &Minimize\tCtrl+M",
      "  -",
      "  &Disable Screen Saver\tCtrl+D",
      "  System &Tray\tCtrl+T",
      "  Change DirectX resolution\tF10",
      "  &Help\tF1",
      "-",
      "&About",
      "  &About this Movie...\tCtrl+A",
      "  About Quillo\tShift+F1",
      "  About [Ostra]\tCtrl+F1",
      "E&xit\tCtrl+X",
  };
  CHECK(Menu == Expected);

  // N4 is in the tree, but never shown.
  TMenuItem* N4 = Form->PopupMenu1->Items.Find("N4");
  REQUIRE(N4 != nullptr);
  CHECK(N4->IsLine());
  CHECK_FALSE(N4->Visible);
  CHECK(N4->Parent() == Form->View1);

  // Options1 opens a submenu and still answers its own shortcut, doing nothing with it.
  CHECK(Form->Options1->Count() == 7);
  CHECK(Form->PopupMenu1->IsShortCut(ShortCut('O', ssCtrl | ssShift)));
  CHECK(Form->PlayState == psStopped);
  CHECK(Calls().empty());
  CHECK(Dialogs.Shown.empty());
}
