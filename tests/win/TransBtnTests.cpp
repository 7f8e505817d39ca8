// TTransparentButton on a real form: glyph cells, press / move / release, enter and leave, the
// press menu, latching, Movable and the mnemonic.
#include <doctest.h>

#include <memory>
#include <string>
#include <vector>

#include "components/TransBtn.h"
#include "toolkit/Forms.h"
#include "toolkit/Menus.h"

namespace {

// A visible form with one button at (20, 30), 80 x 40, and a log of the button's events.
class TButtonOnForm {
public:
  TButtonOnForm() : Form(std::make_unique<TForm>(Application)) {
    Form->SetBounds(200, 150, 320, 240);
    Form->Show();
    Button = new TTransparentButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(20, 30, 80, 40);
    auto Where = [](int X, int Y) {
      return std::string(" ").append(std::to_string(X)).append(",").append(std::to_string(Y));
    };
    Button->OnMouseDown = [=, this](TObject*, TMouseButton B, TShiftState, int X, int Y) {
      Log.push_back("down " + Name(B) + Where(X, Y));
    };
    Button->OnMouseUp = [=, this](TObject*, TMouseButton B, TShiftState, int X, int Y) {
      Log.push_back("up " + Name(B) + Where(X, Y));
    };
    Button->OnMouseMove = [=, this](TObject*, TShiftState, int X, int Y) {
      Log.push_back("move" + Where(X, Y));
    };
    Button->OnClick = [this](TObject* Sender) { Log.push_back(Sender == Button ? "click" : "?"); };
    Button->OnMouseEnter = [this](TObject*) { Log.push_back("enter"); };
    Button->OnMouseExit = [this](TObject*) { Log.push_back("exit"); };
    // The real pointer rests on the form beside the button, so the form keeps the mouse.
    const POINT Rest = Form->ClientToScreen({4, 4});
    SetCursorPos(Rest.x, Rest.y);
    Pump();
    Log.clear();
  }

  static std::string Name(TMouseButton B) {
    return B == mbLeft ? "left" : B == mbRight ? "right" : "middle";
  }
  static void Pump() {
    MSG Msg;
    while (PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Msg);
  }

  // A mouse message at the form's client point (X, Y), handled before this returns.
  void Mouse(UINT Msg, WPARAM Keys, int X, int Y) {
    SendMessageA(Form->Handle(), Msg, Keys, MAKELPARAM(X, Y));
  }
  // The same at a point of the button, wherever it is now.
  void Press(int X = 10, int Y = 10) { At(WM_LBUTTONDOWN, MK_LBUTTON, X, Y); }
  void Release(int X = 10, int Y = 10) { At(WM_LBUTTONUP, 0, X, Y); }
  void Move(int X, int Y, WPARAM Keys = MK_LBUTTON) { At(WM_MOUSEMOVE, Keys, X, Y); }
  void At(UINT Msg, WPARAM Keys, int X, int Y) {
    Mouse(Msg, Keys, Button->Left() + X, Button->Top() + Y);
  }
  // The pointer comes over the button first, as it does before any press.
  void Hover() {
    Move(1, 1, 0);
    Log.clear();
  }
  bool Pressed() const { return Button->Look().DrawPressed; }
  // The events so far, separated by "; ".
  std::string Events() const {
    std::string Text;
    for (const std::string& E : Log) Text.append(Text.empty() ? "" : "; ").append(E);
    return Text;
  }

  std::unique_ptr<TForm> Form;
  TTransparentButton* Button;
  std::vector<std::string> Log;
};

TBitmap GlyphOf(int Width, int Height) {
  TBitmap Bitmap;
  Bitmap.SetSize(Width, Height, RGB(255, 0, 255));
  return Bitmap;
}

// The prepared cells: how many, and how wide.
std::pair<int, int> Cells(const TTransparentButton& Button) {
  int CX = 0, CY = 0;
  HIMAGELIST List = Button.Look().GlyphCells;
  if (!List) return {-1, 0};
  ImageList_GetIconSize(List, &CX, &CY);
  return {ImageList_GetImageCount(List), CX};
}

}  // namespace

TEST_CASE("a new button is a 40 x 40 flat explorer button with a centred caption") {
  TTransparentButton B(nullptr);
  CHECK((B.Left() == 0 && B.Top() == 0 && B.Width() == 40 && B.Height() == 40));
  CHECK((B.FrameStyle() == fsExplorer && B.TextAlign() == ttaCenter && B.NumGlyphs() == 1));
  CHECK((B.BorderWidth() == 1u && B.Spacing() == 2 && !B.Down() && !B.WordWrap() && !B.Movable()));
  CHECK((B.AutoGray() && B.ShowPressed() && B.Transparent() && B.ParentFont()));
}

TEST_CASE("a glyph's shape sets NumGlyphs and the cells are cut from it") {
  TTransparentButton Button(nullptr);
  SUBCASE("64 x 16: four cells, then the gray and the disabled image") {
    Button.SetGlyph(GlyphOf(64, 16));
    CHECK(Button.NumGlyphs() == 4);
    CHECK(Cells(Button) == std::pair{6, 16});
  }
  SUBCASE("80 x 16: five square cells count as one, drawn whole") {
    Button.SetNumGlyphs(3);
    Button.SetGlyph(GlyphOf(80, 16));
    CHECK(Button.NumGlyphs() == 1);
    CHECK(Cells(Button) == std::pair{3, 80});
  }
  SUBCASE("50 x 16 keeps NumGlyphs") {
    Button.SetNumGlyphs(2);
    Button.SetGlyph(GlyphOf(50, 16));
    CHECK(Button.NumGlyphs() == 2);
    CHECK(Cells(Button) == std::pair{4, 25});
  }
  SUBCASE("a change made to the glyph in place cuts again; NumGlyphs set afterwards does not") {
    Button.Glyph().SetSize(32, 16);
    CHECK(Cells(Button) == std::pair{4, 16});
    Button.SetNumGlyphs(9);  // beyond the range: the most a strip has
    CHECK(Button.NumGlyphs() == 4);
    CHECK(Cells(Button) == std::pair{4, 16});
  }
  SUBCASE("an emptied glyph draws nothing and leaves the cells") {
    Button.SetGlyph(GlyphOf(32, 16));
    Button.SetGlyph(TBitmap());
    CHECK(Button.Look().GlyphWidth == 0);
    CHECK(Button.NumGlyphs() == 2);
    Button.Glyph().SetSize(16, 16);
    CHECK(Cells(Button) == std::pair{3, 16});
  }
}

TEST_CASE("a click: down, pressed look, click, up look, up; the look follows the pointer") {
  TButtonOnForm T;
  T.Hover();
  T.Press(10, 12);
  CHECK(T.Pressed());
  T.Release(11, 13);
  CHECK_FALSE(T.Pressed());
  CHECK(T.Events() == "down left 10,12; click; up left 11,13");

  T.Log.clear();
  T.Press();
  T.Move(80, 39);  // just off the right edge
  CHECK_FALSE(T.Pressed());
  T.Move(79, 39);
  CHECK(T.Pressed());
  T.Release(85, 10);  // outside: no click
  CHECK(T.Events() == "down left 10,10; exit; move 80,39; enter; move 79,39; exit; up left 85,10");
}

TEST_CASE("while one mouse button is held another's press is ignored; the first release ends it") {
  TButtonOnForm T;
  T.Hover();
  T.Mouse(WM_RBUTTONDOWN, MK_RBUTTON, 30, 40);
  T.Mouse(WM_LBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, 31, 41);
  T.Mouse(WM_LBUTTONUP, MK_RBUTTON, 31, 41);
  CHECK_FALSE(T.Pressed());
  T.Mouse(WM_RBUTTONUP, 0, 30, 40);
  // The left press and release over the button is still a click to the toolkit.
  CHECK(T.Events() == "down right 10,10; click; up left 11,11");
}

TEST_CASE("enter and leave give the hot look to enabled buttons only") {
  TButtonOnForm T;
  T.Move(5, 5, 0);
  CHECK(T.Button->Look().MouseInside);
  T.Mouse(WM_MOUSEMOVE, 0, 150, 150);
  CHECK_FALSE(T.Button->Look().MouseInside);
  CHECK(T.Events() == "enter; move 5,5; exit");
  T.Log.clear();
  T.Button->SetEnabled(false);
  T.Move(5, 5, 0);
  CHECK_FALSE(T.Button->Look().MouseInside);
  T.Mouse(WM_MOUSEMOVE, 0, 150, 150);
  CHECK(T.Events().empty());
}

TEST_CASE("disabling a held button drops the press; disabled, it takes no input") {
  TButtonOnForm T;
  T.Hover();
  T.Press();
  T.Button->SetEnabled(false);
  CHECK_FALSE(T.Pressed());
  T.Release();
  T.Press();
  T.Release();
  CHECK(T.Events() == "down left 10,10");
  T.Button->SetEnabled(true);
  T.Press();
  T.Release();
  CHECK(T.Events() == "down left 10,10; down left 10,10; click; up left 10,10");
}

TEST_CASE("a latched button stays pressed after a click and still clicks") {
  TButtonOnForm T;
  T.Hover();
  T.Button->SetDown(true);
  CHECK(T.Pressed());
  T.Press();
  T.Release();
  CHECK(T.Pressed());
  // The release of a latched button ends the press and nothing else: no OnMouseUp.
  CHECK(T.Events() == "down left 10,10; click");
  // Dragged off, it shows the up look; the release there leaves the look as the drag left it,
  // and the pointer back over it brings the pressed look back, since Down keeps it tracking.
  T.Press();
  T.Move(120, 10);
  CHECK_FALSE(T.Pressed());
  T.Release(120, 10);
  CHECK_FALSE(T.Pressed());
  T.Move(10, 10, 0);
  CHECK(T.Pressed());
  T.Button->SetDown(false);
  CHECK_FALSE(T.Pressed());
}

TEST_CASE("a movable button follows the pointer while it tracks: held, or latched") {
  TButtonOnForm T;
  T.Button->SetMovable(true);
  T.Press(10, 10);
  T.Mouse(WM_MOUSEMOVE, MK_LBUTTON, 20 + 25, 30 + 18);  // the grab point moves by (15, 8)
  CHECK((T.Button->Left() == 35 && T.Button->Top() == 38));
  T.Mouse(WM_MOUSEMOVE, MK_LBUTTON, 20 + 30, 30 + 18);
  CHECK((T.Button->Left() == 40 && T.Button->Top() == 38));
  CHECK(T.Pressed());
  T.Mouse(WM_LBUTTONUP, 0, 20 + 30, 30 + 18);
  CHECK(T.Log.back() == "up left 10,10");

  T.Press(3, 4);  // pressed and released without moving: stays
  T.Release(3, 4);
  CHECK((T.Button->Left() == 40 && T.Button->Top() == 38));
  T.Move(30, 30, 0);  // merely hovered while not latched: stays
  CHECK((T.Button->Left() == 40 && T.Button->Top() == 38));
  // Latched, it tracks without a press: hovered, it follows the pointer with the point of its
  // last press, (3, 4), under it.
  T.Button->SetDown(true);
  T.Move(30, 30, 0);
  CHECK((T.Button->Left() == 40 + 27 && T.Button->Top() == 38 + 26));
}

namespace {

// Closes the open menu after leaving in the queue what a user letting go would: a move and
// the release.
TButtonOnForm* Closing = nullptr;
RECT MenuBounds;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR Timer, DWORD) {
  KillTimer(nullptr, Timer);
  GetWindowRect(FindWindowA("#32768", nullptr), &MenuBounds);
  PostMessageA(Closing->Form->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 40));
  PostMessageA(Closing->Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
  EndMenu();
}

}  // namespace

TEST_CASE("any mouse button opens the press menu below the button, and no click follows") {
  TButtonOnForm T;
  TPopupMenu Menu(nullptr);
  Menu.Items.Add("Item1", "&First");
  bool PressedWhileOpen = false;
  Menu.OnPopup = [&](TObject*) {
    PressedWhileOpen = T.Pressed();
    Closing = &T;
    SetTimer(nullptr, 0, 100, CloseMenu);
  };
  T.Button->SetPopUpMenu(&Menu);
  T.Hover();
  for (UINT Down : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
    CAPTURE(Down);
    T.Log.clear();
    PressedWhileOpen = false;
    T.Mouse(Down, Down == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, 30, 40);
    CHECK(PressedWhileOpen);
    const POINT Corner = T.Form->ClientToScreen({20, 70});  // the button's bottom-left
    CHECK(MenuBounds.left == Corner.x);
    CHECK(MenuBounds.top == Corner.y);
    CHECK_FALSE(T.Pressed());
    MSG Left;
    CHECK_FALSE(PeekMessageA(&Left, nullptr, WM_MOUSEFIRST, WM_MOUSEWHEEL, PM_NOREMOVE));
    TButtonOnForm::Pump();
    const std::string Which = Down == WM_LBUTTONDOWN ? "left" : "right";
    CHECK(T.Events() == "down " + Which + " 10,10; up " + Which + " 10,10");
  }
}

TEST_CASE("the press menu is forgotten when it is destroyed") {
  TTransparentButton Button(nullptr);
  auto Menu = std::make_unique<TPopupMenu>(nullptr);
  Button.SetPopUpMenu(Menu.get());
  CHECK(Button.PopUpMenu() == Menu.get());
  Menu.reset();
  CHECK(Button.PopUpMenu() == nullptr);
}

TEST_CASE("\"&OK\" is clicked by its mnemonic, in either case, when enabled") {
  TButtonOnForm T;
  T.Button->SetCaption("&OK");
  SendMessageA(T.Form->Handle(), WM_CHAR, 'o', 0);
  SendMessageA(T.Form->Handle(), WM_SYSCHAR, 'O', 0);
  SendMessageA(T.Form->Handle(), WM_CHAR, 'k', 0);
  CHECK(T.Events() == "click; click");
  T.Button->SetEnabled(false);
  SendMessageA(T.Form->Handle(), WM_CHAR, 'o', 0);
  T.Button->SetEnabled(true);
  T.Button->SetCaption("Save && Exit");
  SendMessageA(T.Form->Handle(), WM_CHAR, '&', 0);
  CHECK(T.Events() == "click; click");
}

TEST_CASE("on its form: Down repaints at once, a style change at the next paint cycle") {
  TButtonOnForm T;
  T.Button->SetFrameStyle(fsMono);
  UpdateWindow(T.Form->Handle());
  HDC DC = GetDC(T.Form->Handle());
  auto At = [&](int X, int Y) { return GetPixel(DC, 20 + X, 30 + Y); };
  const COLORREF Highlight = GetSysColor(COLOR_BTNHIGHLIGHT), Dark = GetSysColor(COLOR_3DDKSHADOW);
  CHECK(At(40, 0) == Highlight);
  CHECK(At(40, 39) == Dark);
  CHECK(At(40, 20) == GetSysColor(COLOR_BTNFACE));  // the form shows through
  T.Button->SetDown(true);
  CHECK(At(40, 0) == Dark);
  T.Button->SetDown(false);
  T.Button->SetFrameStyle(fsLight);
  CHECK(At(40, 39) == Dark);
  UpdateWindow(T.Form->Handle());
  CHECK(At(40, 39) == GetSysColor(COLOR_BTNSHADOW));
  ReleaseDC(T.Form->Handle(), DC);
}
