// The playlist editor through its window, shown by the player's Playlist command: its layout
// and colours, edits undone by Cancel, OK with and without a reload, Export's bytes and what
// happens when a file cannot be written.
#include <doctest.h>

#include "components/About.h"
#include "components/Trayicon.h"
#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"
#include "toolkit/SysUtils.h"

namespace {

// A left click in the middle of a windowless control, through its window's queue.
void ClickOn(TControl* Control) {
  const int X = Control->Left() + Control->Width() / 2, Y = Control->Top() + Control->Height() / 2;
  PostMouse(Control->Parent(), WM_LBUTTONDOWN, X, Y, MK_LBUTTON);
  PostMouse(Control->Parent(), WM_LBUTTONUP, X, Y, 0);
  Application->ProcessMessages();
}

void DropOn(TPlayListForm* Editor, const std::vector<std::string>& Names) {
  SendMessageA(Editor->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(Names)), 0);
}

std::string BoundsText(const RECT& R) {
  return std::to_string(R.left) + "," + std::to_string(R.top) + " " +
         std::to_string(R.right - R.left) + "x" + std::to_string(R.bottom - R.top);
}

// The text height of the editor's font as the system draws it: what its layout is scaled by.
int FontTextHeight() {
  TFont Font;
  Font.SetName("MS Sans Serif");
  Font.SetHeight(-13);
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font.Handle());
  SIZE Size{};
  GetTextExtentPoint32A(DC, "0", 1, &Size);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Size.cy;
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

// The editor shown by the Playlist command with the player window in front; Steps runs inside.
struct TEditorFixture : TMainFormFixture {
  TEditorFixture() { ShowInFront(); }
  bool ShowEditor(std::function<void()> Steps) {
    return InsideModal(Playlist, [&] { Form->Playlist1Click(nullptr); }, std::move(Steps));
  }
  bool ListHasFocus() {
    SetForegroundWindow(Playlist->Handle());
    Playlist->VivoList.SetFocus();
    return RunUntil([&] { return GetFocus() == Playlist->VivoList.Handle(); }, 3000);
  }
  // The editor asked to close; it goes once the steps give the modal loop back.
  bool Closing() { return RunUntil([&] { return Playlist->ModalResult() != mrNone; }, 3000); }
};

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "the editor's window: its layout scaled for its font, the list's colours, the buttons and the save dialog") {
  TPlayListForm* Editor = Playlist;
  const int M = FontTextHeight();
  MESSAGE("text height of the 13-pixel MS Sans Serif here: ", M, " (designed for 16)");
  auto Edge = [M](int Value) { return MulDiv(Value, M, 16); };
  struct TPlace { TControl* Control; int Left, Top, Width, Height; const char* Caption; };
  const TPlace Places[] = {
      {&Editor->VivoList, 8, 8, 281, 241, ""},
      {Editor->TransparentButton1, 8, 256, 57, 33, "&Add"},
      {Editor->TransparentButton2, 72, 256, 57, 33, "&Remove"},
      {Editor->TransparentButton3, 136, 256, 57, 33, "&Export"},
      {Editor->TransparentButton4, 232, 255, 57, 17, "&OK"},
      {Editor->TransparentButton5, 232, 275, 57, 17, "&Cancel"},
  };
  for (const TPlace& P : Places) {
    const RECT Expected{Edge(P.Left), Edge(P.Top), Edge(P.Left + P.Width), Edge(P.Top + P.Height)};
    INFO(P.Control->Name, " expected ", BoundsText(Expected));
    CHECK(BoundsText(P.Control->BoundsRect()) == BoundsText(Expected));
    if (auto* Button = dynamic_cast<TTransparentButton*>(P.Control)) {
      CHECK(Button->Caption() == P.Caption);
      CHECK(Button->FrameStyle() == fsDark);
      CHECK(Button->Transparent());
      CHECK(Button->Cursor() == crHandPoint);
      CHECK(Button->Font().Name() == "MS Sans Serif");
      CHECK(Button->Font().Height() == -13);
      CHECK(Button->Font().Style() == fsBold);
      CHECK(Button->Font().Color() == clWhite);
      // Legible: the caption is not cut at the button's edges.
      std::string Shown = P.Caption;
      Shown.erase(Shown.find('&'), 1);
      CHECK(TextWidth(Button->Font(), Shown) <= Button->Width());
    }
  }

  // No caption bar and no frame: the window is its square client area.
  HWND Window = Editor->Handle();
  CHECK(Editor->ClientWidth() == Edge(300));
  CHECK(Editor->ClientHeight() == Edge(300));
  CHECK(Editor->Width() == Editor->ClientWidth());
  CHECK(Editor->Height() == Editor->ClientHeight());
  CHECK((GetWindowLongA(Window, GWL_STYLE) & WS_CAPTION) == 0);
  CHECK((GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0);
  char Title[64] = "";
  GetWindowTextA(Window, Title, sizeof Title);
  CHECK(std::string(Title) == "Playlist Editor");
  CHECK(Editor->Color() == clBlue);
  CHECK(Editor->Font().Name() == "MS Sans Serif");
  CHECK(Editor->Font().Height() == -13);
  CHECK(Editor->Font().Color() == clWhite);
  CHECK_FALSE(Editor->Visible());

  // The background: the first About dialog's picture, a copy of it, stretched over everything.
  CHECK(Editor->BackGround->Align() == alClient);
  CHECK(Editor->BackGround->Stretch());
  CHECK(BoundsText(Editor->BackGround->BoundsRect()) == BoundsText(Editor->ClientRect()));
  REQUIRE_FALSE(Editor->BackGround->Picture.Empty());
  CHECK(Editor->BackGround->Picture.Handle() != AboutForm->BackGround->Picture.Handle());
  CHECK(Editor->BackGround->Picture.Pixel(150, 20) == AboutForm->BackGround->Picture.Pixel(150, 20));

  // The list: several entries selectable, 16-pixel entries scaled, long names scrolled into
  // view, first in the tab order, white text on RGB(134, 145, 156).
  HWND List = Editor->VivoList.Handle();
  CHECK((GetWindowLongA(List, GWL_STYLE) & LBS_EXTENDEDSEL) != 0);
  CHECK(Editor->VivoList.ItemHeight() == Edge(16));
  CHECK(SendMessageA(List, LB_GETHORIZONTALEXTENT, 0, 0) == 1000);
  CHECK(GetNextDlgTabItem(Window, nullptr, FALSE) == List);
  HDC DC = CreateCompatibleDC(nullptr);
  auto Brush = reinterpret_cast<HBRUSH>(
      SendMessageA(Window, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(List)));
  LOGBRUSH Face{};
  REQUIRE(GetObjectA(Brush, sizeof Face, &Face) == sizeof Face);
  CHECK(Face.lbColor == RGB(134, 145, 156));
  CHECK(GetBkColor(DC) == RGB(134, 145, 156));
  CHECK(GetTextColor(DC) == RGB(255, 255, 255));
  DeleteDC(DC);

  CHECK(Editor->SaveDialog1->Filter == "Vivo files (*.viv)|*.viv");
  CHECK(Editor->SaveDialog1->DefaultExt == "viv");
  CHECK(Editor->SaveDialog1->Options == (ofOverwritePrompt | ofHideReadOnly | ofNoReadOnlyReturn));
}

TEST_CASE_FIXTURE(TEditorFixture, "Add, drops and Remove, the application minimised and restored, then Esc in the list: all undone") {
  const std::string A = Dir / "a.viv", B = Dir / "b c.viv", C = Dir / "c.viv", D = Dir / "d.viv";
  Playlist->VivoList.Add(A);
  Playlist->VivoList.Add(B);
  std::vector<std::string> Dropped;
  for (int I = 0; I < 200; ++I) Dropped.push_back(Dir / ("drop " + std::to_string(I) + ".viv"));
  const std::string Long = "C:\\clips\\" + std::string(2000, 'n') + ".viv";
  Dropped.push_back(Long);
  Dialogs.AnswerFiles(true, {C, D});
  ClearCalls();

  const bool Ran = ShowEditor([&] {
    // Shown in the middle of the screen for the first time.
    CHECK(Playlist->Left() == (Screen->Width() - Playlist->Width()) / 2);
    CHECK(Playlist->Top() == (Screen->Height() - Playlist->Height()) / 2);
    CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, B});

    ClickOn(Playlist->TransparentButton1);
    CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, B, C, D});

    DropOn(Playlist, Dropped);
    std::vector<std::string> Expected{A, B, C, D};
    Expected.insert(Expected.end(), Dropped.begin(), Dropped.end());
    CHECK(Items(Playlist->VivoList) == Expected);
    CHECK(Playlist->VivoList.Count() == 205);
    CHECK(Playlist->VivoList[204].size() == Long.size());

    // Nothing selected: Remove does nothing.
    ClickOn(Playlist->TransparentButton2);
    CHECK(Playlist->VivoList.Count() == 205);

    // C, D and the first drop side by side, and the last entry: all four go.
    for (int Index : {2, 3, 4, 204}) Playlist->VivoList.SetSelected(Index, true);
    ClickOn(Playlist->TransparentButton2);
    Expected.erase(Expected.begin() + 204);
    Expected.erase(Expected.begin() + 2, Expected.begin() + 5);
    CHECK(Items(Playlist->VivoList) == Expected);
    CHECK(Playlist->VivoList.SelCount() == 0);

    // The showing's copy survives the application going to the taskbar and back.
    Application->Minimize();
    CHECK_FALSE(IsWindowVisible(Playlist->Handle()));
    Application->Restore();
    CHECK(IsWindowVisible(Playlist->Handle()));

    CHECK(ListHasFocus());
    PressKey(VK_ESCAPE);
    CHECK(Closing());
  });
  CHECK(Ran);
  CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, B});
  // The only box was the player window's open dialog, lent to the editor.
  REQUIRE(Dialogs.Shown.size() == 1);
  CHECK(Dialogs.Shown[0].Kind == TShownDialog::dkOpenDialog);
  CHECK(Dialogs.Shown[0].Request.Options == Form->OpenDialog1->Options);
  CHECK(Dialogs.Shown[0].Request.Filter == "Vivo files (*.viv)|*.viv");
  CHECK(Calls().empty());
  CHECK_FALSE(FileExists(TempPlaylist()));
  // Closed, the player window sets the taskbar button again from System Tray.
  CHECK(Form->TrayIcon1->ShowApp());
  CHECK_FALSE(Form->TrayIcon1->Active());
}

TEST_CASE_FIXTURE(TEditorFixture, "OK: no change asks nothing; No keeps the list without reloading; Yes closes the clip, writes and plays") {
  const std::string A = Dir / "a.viv", B = Dir / "b.viv", C = Dir / "c d.viv";
  for (const std::string& Clip : {A, B, C}) WriteClip(Clip, 160, 120, 5000);
  Playlist->VivoList.Add(A);
  const std::string Question = "Reload current playlist? (Start from beginning)";

  SUBCASE("nothing changed: Enter in the list closes it without a question") {
    ClearCalls();
    CHECK(ShowEditor([&] {
      CHECK(ListHasFocus());
      PressKey(VK_RETURN);
      CHECK(Closing());
    }));
    CHECK(Dialogs.Shown.empty());
    CHECK(Calls().empty());
    CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A});
  }

  SUBCASE("a drop, OK answered No: the list keeps it, nothing reloads, the next showing starts from it") {
    Dialogs.Answer(IDNO);
    ClearCalls();
    CHECK(ShowEditor([&] {
      DropOn(Playlist, {B, C});
      ClickOn(Playlist->TransparentButton4);
      CHECK(Closing());
    }));
    REQUIRE(Dialogs.Shown.size() == 1);
    CHECK(Dialogs.Shown[0].Text == Question);
    CHECK(Dialogs.Shown[0].Buttons == MB_YESNO);
    CHECK(Dialogs.Shown[0].Icon == MB_ICONQUESTION);
    CHECK(Calls().empty());
    CHECK_FALSE(FileExists(TempPlaylist()));
    // Shown again, with the keyboard on the window itself: Escape there cancels too.
    CHECK(ShowEditor([&] {
      CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, B, C});
      SetForegroundWindow(Playlist->Handle());
      Playlist->SetFocus();
      CHECK(RunUntil([&] { return GetFocus() == Playlist->Handle(); }, 3000));
      PressKey(VK_ESCAPE);
      CHECK(Closing());
    }));
    CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, B, C});
  }

  SUBCASE("Add, Enter answered Yes: the clip closed, the temporary playlist written and played") {
    StartClip("playing.viv");
    Dialogs.AnswerFiles(true, {C}).Answer(IDYES);
    ClearCalls();
    CHECK(ShowEditor([&] {
      ClickOn(Playlist->TransparentButton1);
      CHECK(ListHasFocus());
      PressKey(VK_RETURN);
      CHECK(Closing());
    }));
    REQUIRE(Dialogs.Shown.size() == 2);
    CHECK(Dialogs.Shown[1].Text == Question);
    CHECK(Commands() == std::vector<std::string>{"Load()", "Videocontrols=FALSE",
                                                 "Load(" + TempPlaylist() + ")", "Play"});
    CHECK(ReadBytes(TempPlaylist()) == PlaylistBytes({A, TPlayListForm::EscapeSpaces(C)}));
    CHECK(RunUntil([&] { return Form->PlayState == psPlaying; }));
  }

  SUBCASE("Yes with a temporary folder that cannot be written: the clip closed, the error shown, the editor still open") {
    StartClip("playing.viv");
    Playlist->TempDir = Dir / "missing\\";
    Dialogs.AnswerFiles(true, {C}).Answer(IDYES);
    ClearCalls();
    CHECK(ShowEditor([&] {
      ClickOn(Playlist->TransparentButton1);
      ClickOn(Playlist->TransparentButton4);
      CHECK(Playlist->ModalResult() == mrNone);
      CHECK(IsWindowVisible(Playlist->Handle()));
      CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A, C});
      CHECK(Commands() == std::vector<std::string>{"Load()"});
      ClickOn(Playlist->TransparentButton5);
      CHECK(Closing());
    }));
    REQUIRE(Dialogs.Shown.size() == 3);
    const TShownDialog& Error = Dialogs.Shown[2];
    CHECK(Error.Icon == MB_ICONERROR);
    CHECK_MESSAGE(Error.Text.find(SysErrorMessage(ERROR_PATH_NOT_FOUND)) != std::string::npos, Error.Text);
    CHECK_MESSAGE(Error.Text.find("~~quillo.viv.tmp") != std::string::npos, Error.Text);
    // Cancel put the list back as it was shown.
    CHECK(Items(Playlist->VivoList) == std::vector<std::string>{A});
    CHECK(Commands() == std::vector<std::string>{"Load()"});
  }
}

TEST_CASE_FIXTURE(TEditorFixture, "Export: an empty list refused; Yes and No write with and without folders; a folder that cannot be written") {
  const std::string Name = Dir / "list.viv";
  const std::string Question =
      "Save path name in the playlist? Click \"no\" if the playlist is in the same directory";

  SUBCASE("an empty list") {
    CHECK(ShowEditor([&] { ClickOn(Playlist->TransparentButton3); }));
    REQUIRE(Dialogs.Shown.size() == 1);
    CHECK(Dialogs.Shown[0].Text == "Playlist is empty!");
    CHECK(Dialogs.Shown[0].Buttons == MB_OK);
    CHECK(Dialogs.Shown[0].Icon == MB_ICONERROR);
  }

  SUBCASE("with a list") {
    Playlist->VivoList.Add("C:\\Clips\\intro.viv");
    Playlist->VivoList.Add("D:\\My Videos\\part 2.viv");
    const std::string Header = "Version:   Vivo/2.00\r\nBegin:     commands\r\n";

    SUBCASE("Yes, then No, then OK: the two files, and OK has nothing to reload") {
      const std::string Short = Dir / "short.viv";
      Dialogs.AnswerFiles(true, {Name}).Answer(IDYES).AnswerFiles(true, {Short}).Answer(IDNO);
      CHECK(ShowEditor([&] {
        ClickOn(Playlist->TransparentButton3);
        ClickOn(Playlist->TransparentButton3);
        CHECK(IsWindowVisible(Playlist->Handle()));
        ClickOn(Playlist->TransparentButton4);
        CHECK(Closing());
      }));
      CHECK(ReadBytes(Name) ==
            Header + "next C:\\Clips\\intro.viv\r\nnext D:\\My%20Videos\\part%202.viv\r\n");
      CHECK(ReadBytes(Name).size() == 102);
      CHECK(ReadBytes(Short) == Header + "next intro.viv\r\nnext part%202.viv\r\n");
      REQUIRE(Dialogs.Shown.size() == 4);
      const TFileDialogRequest& Request = Dialogs.Shown[0].Request;
      CHECK(Request.Save);
      CHECK(Request.Filter == "Vivo files (*.viv)|*.viv");
      CHECK(Request.DefaultExt == "viv");
      CHECK(Request.Options == (ofOverwritePrompt | ofHideReadOnly | ofNoReadOnlyReturn));
      CHECK(Dialogs.Shown[1].Text == Question);
      CHECK(Dialogs.Shown[1].Buttons == MB_YESNO);
      CHECK(Dialogs.Shown[1].Icon == MB_ICONQUESTION);
      CHECK(Calls().empty());
    }

    SUBCASE("the save dialog cancelled: no question, no file") {
      Dialogs.AnswerFiles(false, {});
      CHECK(ShowEditor([&] { ClickOn(Playlist->TransparentButton3); }));
      CHECK(Dialogs.Shown.size() == 1);
      CHECK_FALSE(FileExists(Name));
    }

    SUBCASE("into a folder that does not exist: the system's reason, the editor open, the list as it was") {
      const std::string Lost = Dir / "no such folder\\list.viv";
      Dialogs.AnswerFiles(true, {Lost}).Answer(IDYES);
      CHECK(ShowEditor([&] {
        ClickOn(Playlist->TransparentButton3);
        CHECK(Playlist->ModalResult() == mrNone);
        CHECK(Playlist->VivoList.Count() == 2);
      }));
      REQUIRE(Dialogs.Shown.size() == 3);
      CHECK(Dialogs.Shown[2].Icon == MB_ICONERROR);
      CHECK_MESSAGE(Dialogs.Shown[2].Text.find(SysErrorMessage(ERROR_PATH_NOT_FOUND)) != std::string::npos,
                    Dialogs.Shown[2].Text);
      CHECK(Items(Playlist->VivoList) ==
            std::vector<std::string>{"C:\\Clips\\intro.viv", "D:\\My Videos\\part 2.viv"});
    }
  }
}
