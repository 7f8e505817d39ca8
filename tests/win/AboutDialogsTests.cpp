// The two About dialogs: their layout, opening centred by their shortcut keys, the keys that
// close them, and the link that opens its web address through the shell.
#include <doctest.h>

#include <string>
#include <vector>

#include "components/About.h"
#include "components/AboutOstra.h"
#include "components/FmxUtils.h"
#include "components/Trayicon.h"
#include "tests/win/MainFormFixture.h"

namespace {

std::string BoundsText(const RECT& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + " " +
         std::to_string(R.right - R.left) + "x" + std::to_string(R.bottom - R.top);
}

int TextWidth(const TFont& Font, const std::string& Text) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font.Handle());
  RECT R{0, 0, 0, 0};
  DrawTextA(DC, Text.c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return R.right;
}

// Stands in for the shell: notes each call instead of starting a browser.
struct TShellCalls {
  TShellCalls() : Previous(SetShellExecute(Record)) { Calls.clear(); }
  ~TShellCalls() { SetShellExecute(Previous); }
  struct TCall {
    HWND Window;
    bool DefaultVerb;
    std::string File, Params, Dir;
    INT Show;
  };
  static HINSTANCE WINAPI Record(HWND Window, LPCSTR Verb, LPCSTR File, LPCSTR Params, LPCSTR Dir,
                                 INT Show) {
    Calls.push_back({Window, Verb == nullptr, File ? File : "(none)", Params ? Params : "(none)",
                     Dir ? Dir : "(none)", Show});
    return reinterpret_cast<HINSTANCE>(33);
  }
  static inline std::vector<TCall> Calls;
  TShellExecuteA Previous;
};

// How many pixels of the window's client area, inside Area, have exactly that colour.
int PixelsOf(HWND Window, const RECT& Area, COLORREF Colour) {
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC DC = GetDC(Window);
  int Count = 0;
  for (int Y = Area.top; Y < Area.bottom; ++Y)
    for (int X = Area.left; X < Area.right; ++X) Count += GetPixel(DC, X, Y) == Colour;
  ReleaseDC(Window, DC);
  return Count;
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "the About dialogs' windows: 300 x 300 without caption bar, logo, labels that fit their text, the link and OK") {
  struct TCase {
    TAboutDialog* Dialog;
    const char* Class;
    RECT Logo, Link;
    std::vector<std::pair<const char*, POINT>> Headings;
  };
  const TCase Cases[] = {
      {AboutForm, "TAboutForm", {48, 16, 248, 66}, {112, 128, 273, 148}, {}},
      {AboutOstraForm, "TAboutOstraForm", {80, 5, 210, 60}, {136, 136, 276, 156},
       {{"President:", {32, 64}}, {"Vice President:", {32, 88}}, {"URL:", {32, 136}},
        {"IRC:", {32, 168}}}},
  };
  for (const TCase& C : Cases) {
    INFO(C.Class);
    TAboutDialog* D = C.Dialog;
    HWND Window = D->Handle();
    char Text[64] = "";
    GetClassNameA(Window, Text, sizeof Text);
    CHECK(std::string(Text) == C.Class);
    GetWindowTextA(Window, Text, sizeof Text);
    CHECK(std::string(Text) == "About Quillo");
    CHECK(D->Width() == 300);
    CHECK(D->Height() == 300);
    CHECK(BoundsText(D->ClientRect()) == "0,0 300x300");
    CHECK((GetWindowLongA(Window, GWL_STYLE) & (WS_CAPTION | WS_SYSMENU)) == 0);
    CHECK(D->Color() == clBlue);
    CHECK(D->Position() == poScreenCenter);

    CHECK(BoundsText(D->BackGround->BoundsRect()) == "0,0 300x300");
    CHECK(D->BackGround->Stretch());
    CHECK(D->BackGround->Picture.Width() == 300);
    CHECK(BoundsText(D->Image1->BoundsRect()) == BoundsText(C.Logo));
    CHECK(D->Image1->Stretch());
    CHECK(D->Image1->Transparent());
    CHECK_FALSE(D->Image1->Picture.Empty());
    CHECK(BoundsText(D->TransparentButton1->BoundsRect()) == "96,256 105x24");
    CHECK(D->TransparentButton1->Caption() == "&OK");
    CHECK(D->TransparentButton1->FrameStyle() == fsDark);
    CHECK(D->TransparentButton1->Cursor() == crHandPoint);
    CHECK(D->TransparentButton1->Font().Style() == fsBold);
    CHECK(D->TransparentButton1->Font().Color() == clWhite);

    CHECK(BoundsText(D->Label7->BoundsRect()) == BoundsText(C.Link));
    CHECK(D->Label7->Font().Style() == (fsBold | fsUnderline));
    CHECK(D->Label7->Font().Color() == clWhite);
    CHECK(D->Label7->Cursor() == crHandPoint);
    CHECK(D->WebAddress.rfind("http://", 0) == 0);

    // Every label: transparent bold white 17-pixel "MS Sans Serif", its text whole on the
    // dialog; the headings where the layout puts them.
    int Labels = 0;
    for (TControl* Control : D->Controls()) {
      auto* Label = dynamic_cast<TLabel*>(Control);
      if (!Label) continue;
      ++Labels;
      INFO(Label->Name, " \"", Label->Caption(), "\" at ", BoundsText(Label->BoundsRect()));
      CHECK(Label->Transparent());
      CHECK(Label->Font().Name() == "MS Sans Serif");
      CHECK(Label->Font().Height() == -17);
      CHECK((Label->Font().Style() & fsBold));
      CHECK(Label->BoundsRect().right <= 300);
      if (!Label->WordWrap()) CHECK(TextWidth(Label->Font(), Label->Caption()) <= Label->Width());
      for (const auto& [Heading, At] : C.Headings)
        if (Label->Caption() == Heading) {
          CHECK(Label->Left() == At.x);
          CHECK(Label->Top() == At.y);
        }
    }
    CHECK(Labels >= 7);
  }
  CHECK(AboutOstraForm->Label2->WordWrap());
  CHECK(BoundsText(AboutOstraForm->Label2->BoundsRect()) == "32,88 87x40");
}

TEST_CASE_FIXTURE(TMainFormFixture, "Shift+F1 and Ctrl+F1 open the dialogs centred; Enter, Escape and OK close them, other keys do not") {
  ShowInFront();
  struct TCase {
    const char* Name;
    WORD Modifier;
    TAboutDialog* Dialog;
    WORD Closer;  // 0: a click on OK
  };
  const TCase Cases[] = {
      {"About Quillo, Enter", VK_SHIFT, AboutForm, VK_RETURN},
      {"About [Ostra], Escape", VK_CONTROL, AboutOstraForm, VK_ESCAPE},
      {"About Quillo, OK", VK_SHIFT, AboutForm, 0},
  };
  for (const TCase& C : Cases) {
    INFO(C.Name);
    C.Dialog->SetBounds(5, 7, C.Dialog->Width(), C.Dialog->Height());
    Form->TrayIcon1->SetShowApp(false);
    const bool Ran = InsideModal(C.Dialog, [&] { PressKey(VK_F1, {C.Modifier}); }, [&] {
      CHECK(C.Dialog->Left() == (Screen->Width() - 300) / 2);
      CHECK(C.Dialog->Top() == (Screen->Height() - 300) / 2);
      SetForegroundWindow(C.Dialog->Handle());
      CHECK(RunUntil([&] { return GetFocus() == C.Dialog->Handle(); }, 3000));
      for (WORD Key : {WORD(VK_SPACE), WORD('X'), WORD(VK_TAB), WORD('L')}) PressKey(Key);
      PressKey('A', {VK_CONTROL});
      RunUntil([] { return false; }, 300);
      CHECK(IsWindowVisible(C.Dialog->Handle()));
      if (C.Closer) {
        PressKey(C.Closer);
      } else {
        PostMouse(C.Dialog, WM_LBUTTONDOWN, 150, 268, MK_LBUTTON);
        PostMouse(C.Dialog, WM_LBUTTONUP, 150, 268, 0);
      }
      CHECK(RunUntil([&] { return C.Dialog->ModalResult() != mrNone; }, 3000));
    });
    CHECK(Ran);
    CHECK_FALSE(IsWindowVisible(C.Dialog->Handle()));
    // Closed, the player window sets the taskbar button again from System Tray.
    CHECK(Form->TrayIcon1->ShowApp());
  }
  CHECK(Dialogs.Shown.empty());
  CHECK(Calls().empty());
}

TEST_CASE_FIXTURE(TMainFormFixture, "the link: aqua while pressed, white after; a click opens the address through the shell, a release outside nothing") {
  TShellCalls Shell;
  for (TAboutDialog* D : {static_cast<TAboutDialog*>(AboutForm), static_cast<TAboutDialog*>(AboutOstraForm)}) {
    INFO(D->Name);
    D->Show();
    const RECT Link = D->Label7->BoundsRect();
    const int X = Link.left + 20, Y = Link.top + D->Label7->Height() / 2;
    const COLORREF Aqua = RGB(0, 255, 255);

    PostMouse(D, WM_LBUTTONDOWN, X, Y, MK_LBUTTON);
    Application->ProcessMessages();
    CHECK(D->Label7->Font().Color() == clAqua);
    CHECK(PixelsOf(D->Handle(), Link, Aqua) > 20);
    // Released outside the label: white again, and nothing opened.
    PostMouse(D, WM_MOUSEMOVE, 20, 280, MK_LBUTTON);
    PostMouse(D, WM_LBUTTONUP, 20, 280, 0);
    Application->ProcessMessages();
    CHECK(D->Label7->Font().Color() == clWhite);
    CHECK(PixelsOf(D->Handle(), Link, Aqua) == 0);
    CHECK(Shell.Calls.empty());
    CHECK_FALSE(D->AboutDragging);

    PostMouse(D, WM_LBUTTONDOWN, X, Y, MK_LBUTTON);
    PostMouse(D, WM_LBUTTONUP, X, Y, 0);
    Application->ProcessMessages();
    CHECK(D->Label7->Font().Color() == clWhite);
    REQUIRE(Shell.Calls.size() == 1);
    const TShellCalls::TCall& Call = Shell.Calls[0];
    CHECK(Call.Window == Form->Handle());
    CHECK(Call.DefaultVerb);
    CHECK(Call.File == D->WebAddress);
    CHECK(Call.Params.empty());
    CHECK(Call.Dir.empty());
    CHECK(Call.Show == SW_SHOW);
    Shell.Calls.clear();
    D->Hide();
  }

  // Addresses longer than 79 characters, and the other texts with them, reach the shell whole.
  const std::string Address = "http://quillo.example.org/" + std::string(300, 'p') + "?q=" + std::string(200, 'q');
  const std::string Params = std::string(120, 'a'), Dir = "C:\\" + std::string(150, 'd');
  ShellOpen(Address, Params, Dir, SW_SHOWNORMAL);
  REQUIRE(Shell.Calls.size() == 1);
  CHECK(Shell.Calls[0].File == Address);
  CHECK(Shell.Calls[0].Params == Params);
  CHECK(Shell.Calls[0].Dir == Dir);
  CHECK(Shell.Calls[0].Show == SW_SHOWNORMAL);
}
