// Windowless controls: painting in z-order into the form, hit testing, capture across the
// release, enter and leave, double clicks, mnemonics, cursors and context menus.
#include <doctest.h>
#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/StdCtrls.h"

namespace {
constexpr COLORREF Red = RGB(255, 0, 0), Green = RGB(0, 255, 0), Blue = RGB(0, 0, 255),
                   Yellow = RGB(255, 255, 0);

// A main form of client 100 x 60 with a black background, shown.
struct TFormFixture {
  TFreshApplication A;
  TForm* Form = nullptr;
  std::vector<std::string> Log;
  TFormFixture() {
    A.App.CreateForm(Form);
    Form->SetBorderStyle(bsNone);
    Form->SetColor(clBlack);
    Form->SetBounds(100, 100, 100, 60);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    // The real pointer rests inside, so the system sees no reason to report a leave. The moves
    // the system itself reports there, whenever they come (late on a busy machine), are not the
    // test's: no test posts one at (50,30).
    Resting = Form->Handle();
    Hook = SetWindowsHookExA(WH_GETMESSAGE, DropRestingMoves, nullptr, GetCurrentThreadId());
    SetCursorPos(150, 130);
    PumpFor(100);
  }
  ~TFormFixture() {
    if (Hook) UnhookWindowsHookEx(Hook);
    Resting = nullptr;
  }
  static inline HWND Resting = nullptr;
  HHOOK Hook = nullptr;
  static LRESULT CALLBACK DropRestingMoves(int Code, WPARAM Remove, LPARAM Param) {
    auto* Msg = reinterpret_cast<MSG*>(Param);
    if (Code == HC_ACTION && Msg->message == WM_MOUSEMOVE && Msg->hwnd == Resting &&
        GET_X_LPARAM(Msg->lParam) == 50 && GET_Y_LPARAM(Msg->lParam) == 30)
      Msg->message = WM_NULL;
    return CallNextHookEx(nullptr, Code, Remove, Param);
  }
  TProbe* Probe(const std::string& Name, COLORREF Fill, RECT Bounds) {
    auto* P = new TProbe(Form, Name, Fill, Bounds);
    P->Log = &Log;
    return P;
  }
  std::vector<std::string> Mouse(UINT Msg, int X, int Y, WPARAM Buttons = 0) {
    Log.clear();
    PostMouse(Form, Msg, X, Y, Buttons);
    A.App.ProcessMessages();
    return Log;
  }
  COLORREF PixelAt(int X, int Y) {
    UpdateWindow(Form->Handle());
    HDC DC = GetDC(Form->Handle());
    COLORREF C = GetPixel(DC, X, Y);
    ReleaseDC(Form->Handle(), DC);
    return C;
  }
};
using TLog = std::vector<std::string>;

// The log without enter and leave notices.
TLog Presses(TLog Log) {
  Log.erase(std::remove_if(Log.begin(), Log.end(),
                           [](const std::string& S) {
                             return S.find(".enter") != std::string::npos ||
                                    S.find(".leave") != std::string::npos;
                           }),
            Log.end());
  return Log;
}
}  // namespace

TEST_CASE("windowless controls are painted in creation order, each over what lies beneath") {
  TFormFixture F;
  F.Probe("back", Red, RECT{0, 0, 100, 60});
  TProbe* Half = F.Probe("half", Green, RECT{10, 0, 60, 60});
  Half->LeftHalfOnly = true;  // paints 10..34; 35..59 shows the red beneath
  TProbe* Top = F.Probe("top", Blue, RECT{50, 0, 80, 60});
  F.Probe("hidden", Yellow, RECT{0, 0, 100, 60})->Hide();
  F.Form->Invalidate();
  CHECK(F.PixelAt(5, 30) == Red);
  CHECK(F.PixelAt(20, 30) == Green);
  CHECK(F.PixelAt(40, 30) == Red);
  CHECK(F.PixelAt(60, 30) == Blue);
  CHECK(F.PixelAt(90, 30) == Red);
  Top->Hide();
  CHECK(F.PixelAt(60, 30) == Red);
  Top->Show();
  Top->SetBounds(0, 0, 5, 5);
  CHECK(F.PixelAt(2, 2) == Blue);
  CHECK(F.PixelAt(60, 30) == Red);

  // A stretched picture filling the client follows the form's size.
  TImage* Image = new TImage(F.Form);
  Image->Picture.SetSize(2, 2, clLime);
  Image->SetStretch(true);
  Image->SetAlign(alClient);
  Image->SetParent(F.Form);
  CHECK(Image->Width() == 100);
  F.Form->SetClientSize(120, 70);
  CHECK(Image->Width() == 120);
  CHECK(Image->Height() == 70);
  CHECK(F.PixelAt(110, 65) == Green);

  // A transparent picture leaves the pixels of its bottom-left colour to what is beneath.
  TImage* Mask = new TImage(F.Form);
  Mask->Picture.SetSize(2, 1, clBlue);
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Mask->Picture.Handle());
  SetPixel(DC, 1, 0, Red);
  SelectObject(DC, Old);
  DeleteDC(DC);
  Mask->SetStretch(true);
  Mask->SetTransparent(true);
  Mask->SetBounds(0, 0, 20, 10);
  Mask->SetParent(F.Form);
  CHECK(F.PixelAt(5, 5) == Green);
  CHECK(F.PixelAt(15, 5) == Red);
}

TEST_CASE("a windowless control whose form has lost its window repaints no other window") {
  TFormFixture F;
  TProbe* Probe = F.Probe("probe", Red, RECT{0, 0, 100, 60});
  // A window of ours where the probe's rectangle would lie on the screen if taken as the
  // desktop's, away from the form.
  HWND Witness = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 90, 90,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  REQUIRE(Witness != nullptr);
  DestroyWindow(F.Form->Handle());
  REQUIRE(F.Form->Handle() == nullptr);
  ValidateRect(Witness, nullptr);
  Probe->Hide();
  Probe->Show();
  Probe->SetEnabled(false);
  Probe->SetBounds(5, 5, 50, 50);
  CHECK_FALSE(GetUpdateRect(Witness, nullptr, FALSE));
  DestroyWindow(Witness);
}

TEST_CASE("a list box follows its list and reports the user's selection") {
  TFormFixture F;
  TStrings List;
  List.Add("a.viv");
  List.Add("b c.viv");
  auto* Box = new TListBox(F.Form, F.Form, true);
  Box->SetBounds(0, 0, 100, 60);
  Box->SetItems(&List);
  CHECK(Box->Count() == 2);
  List.Add("http://host/x.viv");
  REQUIRE(Box->Count() == 3);
  char Text[64] = "";
  SendMessageA(Box->Handle(), LB_GETTEXT, 2, reinterpret_cast<LPARAM>(Text));
  CHECK(std::string(Text) == "http://host/x.viv");

  int Changes = 0;
  Box->OnSelChange = [&](TObject* Sender) { Changes += Sender == Box; };
  int Line = static_cast<int>(SendMessageA(Box->Handle(), LB_GETITEMHEIGHT, 0, 0));
  PostMouse(Box, WM_LBUTTONDOWN, 5, Line + Line / 2, MK_LBUTTON);
  PostMouse(Box, WM_LBUTTONUP, 5, Line + Line / 2, 0);
  F.A.App.ProcessMessages();
  CHECK(Changes == 1);
  CHECK(Box->ItemIndex() == 1);
  CHECK(Box->Selected(1));
  CHECK_FALSE(Box->Selected(0));
  Box->SetSelected(2, true);
  CHECK(Box->SelCount() == 2);
  List.Clear();
  CHECK(Box->Count() == 0);
  Box->SetItems(nullptr);
  CHECK_FALSE(List.OnChange);
}

TEST_CASE("the mouse goes to the topmost control under it, which keeps it until release") {
  TFormFixture F;
  TProbe* Under = F.Probe("A", Red, RECT{0, 0, 50, 50});
  TProbe* Over = F.Probe("B", Blue, RECT{40, 0, 90, 50});
  CHECK(F.Form->ControlAtPos(45, 10, false) == Over);
  CHECK(Presses(F.Mouse(WM_LBUTTONDOWN, 45, 10, MK_LBUTTON)) == TLog{"B.down(5,10)"});
  CHECK(F.Form->CaptureControl() == Over);
  CHECK(Presses(F.Mouse(WM_MOUSEMOVE, 10, 10, MK_LBUTTON)) == TLog{"B.move(-30,10)"});
  // Released outside the control that was pressed: no click.
  CHECK(Presses(F.Mouse(WM_LBUTTONUP, 10, 10)) == TLog{"B.up(-30,10)"});
  CHECK(F.Form->CaptureControl() == nullptr);
  CHECK(Presses(F.Mouse(WM_LBUTTONDOWN, 45, 10, MK_LBUTTON)) == TLog{"B.down(5,10)"});
  CHECK(Presses(F.Mouse(WM_LBUTTONUP, 46, 11)) == TLog{"B.click", "B.up(6,11)"});

  // A second button pressed meanwhile keeps the mouse with the first control.
  F.Mouse(WM_LBUTTONDOWN, 45, 10, MK_LBUTTON);
  CHECK(Presses(F.Mouse(WM_RBUTTONDOWN, 10, 10, MK_LBUTTON | MK_RBUTTON)) == TLog{"B.down(-30,10)"});
  CHECK(Presses(F.Mouse(WM_RBUTTONUP, 10, 10, MK_LBUTTON)) == TLog{"B.up(-30,10)"});
  CHECK(F.Form->CaptureControl() == Over);
  F.Mouse(WM_LBUTTONUP, 10, 10);

  // Disabled and hidden controls let the mouse through to what lies beneath.
  Over->SetEnabled(false);
  CHECK(Presses(F.Mouse(WM_LBUTTONDOWN, 45, 10, MK_LBUTTON)) == TLog{"A.down(45,10)"});
  F.Mouse(WM_LBUTTONUP, 45, 10);
  Over->SetEnabled(true);
  Over->Hide();
  CHECK(F.Form->ControlAtPos(45, 10, true) == Under);

  // Bare parts of the form raise the form's own events.
  std::vector<std::string> FormLog;
  F.Form->OnMouseDown = [&](TObject* S, TMouseButton, TShiftState, int X, int Y) {
    FormLog.push_back((S == F.Form ? "form(" : "other(") + std::to_string(X) + "," + std::to_string(Y) + ")");
  };
  F.Mouse(WM_LBUTTONDOWN, 95, 55, MK_LBUTTON);
  F.Mouse(WM_LBUTTONUP, 95, 55);
  CHECK(FormLog == TLog{"form(95,55)"});
}

TEST_CASE("controls hear when the pointer comes over them and leaves, also during capture") {
  TFormFixture F;
  F.Probe("A", Red, RECT{0, 0, 50, 50});
  F.Probe("B", Blue, RECT{40, 0, 90, 50})->SetEnabled(false);
  CHECK(F.Mouse(WM_MOUSEMOVE, 10, 10) == TLog{"A.enter", "A.move(10,10)"});
  CHECK(F.Mouse(WM_MOUSEMOVE, 12, 10) == TLog{"A.move(12,10)"});
  // A disabled control still hears it, whether it reacts is its own business; the moves go
  // to what lies beneath.
  CHECK(F.Mouse(WM_MOUSEMOVE, 45, 10) == TLog{"A.leave", "B.enter", "A.move(45,10)"});
  CHECK(F.Mouse(WM_MOUSEMOVE, 95, 55) == TLog{"B.leave"});  // the form's own
  F.Mouse(WM_MOUSEMOVE, 10, 10);
  CHECK(F.Mouse(WM_MOUSELEAVE, 0, 0) == TLog{"A.leave"});

  F.Mouse(WM_MOUSEMOVE, 10, 10);
  F.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  // Held, and dragged outside the window: the control leaves but keeps the moves.
  CHECK(F.Mouse(WM_MOUSEMOVE, -20, 10, MK_LBUTTON) == TLog{"A.leave", "A.move(-20,10)"});
  F.Mouse(WM_LBUTTONUP, -20, 10);
}

TEST_CASE("double clicks, for controls that want them, and mnemonics") {
  TFormFixture F;
  TProbe* Plain = F.Probe("A", Red, RECT{0, 0, 50, 50});
  TProbe* Button = F.Probe("B", Blue, RECT{50, 0, 90, 50});
  Plain->DoubleClicks = false;
  CHECK(Presses(F.Mouse(WM_LBUTTONDBLCLK, 45, 10, MK_LBUTTON)) == TLog{"A.down(45,10)"});
  CHECK(Presses(F.Mouse(WM_LBUTTONUP, 45, 10)) == TLog{"A.click", "A.up(45,10)"});
  CHECK(Presses(F.Mouse(WM_LBUTTONDBLCLK, 55, 10, MK_LBUTTON)) == TLog{"B.dblclick", "B.down2(5,10)"});
  CHECK(Presses(F.Mouse(WM_LBUTTONUP, 55, 10)) == TLog{"B.up(5,10)"});

  Button->Mnemonic = 'o';
  auto Char = [&](UINT Msg, char C) {
    F.Log.clear();
    PostMessageA(F.Form->Handle(), Msg, static_cast<WPARAM>(C), 0);
    F.A.App.ProcessMessages();
    return F.Log;
  };
  CHECK(Char(WM_SYSCHAR, 'o') == TLog{"B.mnemonic", "B.click"});
  CHECK(Char(WM_CHAR, 'O') == TLog{"B.mnemonic", "B.click"});
  CHECK(Char(WM_CHAR, 'x').empty());
  Button->Hide();
  CHECK(Char(WM_CHAR, 'o').empty());
}

TEST_CASE("the cursor is the control's, the form's over bare parts, none for crNone") {
  TFormFixture F;
  F.Form->SetCursor(crNone);
  F.Probe("A", Red, RECT{0, 0, 50, 50})->SetCursor(crHandPoint);
  F.Probe("B", Blue, RECT{50, 0, 90, 50});
  auto CursorAt = [&](int X, int Y) {
    POINT P = F.Form->ClientToScreen(POINT{X, Y});
    SetCursorPos(P.x, P.y);
    // The system takes a moment to settle on the new position: wait for three steady readings.
    for (int Wait = 0, Steady = 0; Wait < 100 && Steady < 3; ++Wait) {
      Sleep(10);
      POINT Now;
      GetCursorPos(&Now);
      Steady = Now.x == P.x && Now.y == P.y ? Steady + 1 : 0;
    }
    SendMessageA(F.Form->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(F.Form->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
  };
  CHECK(CursorAt(10, 10) == LoadCursorA(nullptr, IDC_HAND));
  CHECK(CursorAt(95, 55) == nullptr);
  CHECK(CursorAt(60, 10) == nullptr);  // crDefault takes the form's
  F.Form->SetCursor(crDefault);
  CHECK(CursorAt(60, 10) == LoadCursorA(nullptr, IDC_ARROW));
}

namespace {
// While a popup menu is up: reads it, then chooses its second entry with the keyboard.
std::vector<std::string> MenuSeen;
void CALLBACK ReadAndChoose(HWND, UINT, UINT_PTR Id, DWORD) {
  HWND MenuWindow = FindWindowA("#32768", nullptr);
  if (!MenuWindow || !IsWindowVisible(MenuWindow)) return;
  KillTimer(nullptr, Id);
  HMENU Menu = reinterpret_cast<HMENU>(SendMessageA(MenuWindow, MN_GETHMENU, 0, 0));
  for (int I = 0; I < GetMenuItemCount(Menu); ++I) {
    char Text[100] = "";
    GetMenuStringA(Menu, static_cast<UINT>(I), Text, sizeof(Text), MF_BYPOSITION);
    UINT State = GetMenuState(Menu, static_cast<UINT>(I), MF_BYPOSITION);
    MenuSeen.push_back(std::string(Text) + (State & MF_CHECKED ? " [x]" : "") +
                       (State & MF_GRAYED ? " (off)" : ""));
  }
  PostMessageA(MenuWindow, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(MenuWindow, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(MenuWindow, WM_KEYDOWN, VK_RETURN, 0);
}
}  // namespace

TEST_CASE("a right click pops up the control's menu, and the chosen item runs after it closes") {
  TFormFixture F;
  TProbe* Button = F.Probe("B", Blue, RECT{50, 0, 90, 50});
  auto* Menu = new TPopupMenu(F.Form);
  bool MenuGoneAtClick = false;
  Menu->Items.Add("Play1", "&Play", scCtrl | 'P')->Checked = true;
  Menu->Items.Add("Stop1", "&Stop", 0, [&](TObject* Sender) {
    HWND MenuWindow = FindWindowA("#32768", nullptr);
    MenuGoneAtClick = Sender == Menu->Items.Find("Stop1") && !(MenuWindow && IsWindowVisible(MenuWindow));
  });
  Menu->Items.Add("Gone1", "Gone")->Visible = false;
  Menu->Items.Add("Off1", "Off")->Enabled = false;
  Button->SetPopupMenu(Menu);
  MenuSeen.clear();
  UINT_PTR Timer = SetTimer(nullptr, 0, 50, ReadAndChoose);
  F.Mouse(WM_RBUTTONDOWN, 60, 10, MK_RBUTTON);
  F.Mouse(WM_RBUTTONUP, 60, 10);
  KillTimer(nullptr, Timer);
  CHECK(MenuSeen == TLog{"&Play\tCtrl+P [x]", "&Stop", "Off (off)"});
  CHECK(MenuGoneAtClick);

  delete Menu;
  CHECK(Button->PopupMenu() == nullptr);
}
