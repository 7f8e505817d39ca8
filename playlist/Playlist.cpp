// The playlist editor's window, the current playlist, the temporary folder and the writer.
#include "playlist/Playlist.h"

#include <vector>

#include "components/SkinDialog.h"
#include "playlist/PlaylistText.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"
#include "toolkit/TextFile.h"

TPlayListForm* PlayListForm = nullptr;
bool PlaylistModified = false;
bool EditorDragging = false;
int32_t EditorDragX = 0;
int32_t EditorDragY = 0;

std::string GetTempDir() {
  DWORD Needed = GetTempPathA(0, nullptr);
  // The folder could change between the two calls; ask again until the answer fits.
  for (int Attempt = 0; Needed != 0 && Attempt < 4; ++Attempt) {
    std::vector<char> Buffer(Needed + 1);
    DWORD Length = GetTempPathA(static_cast<DWORD>(Buffer.size()), Buffer.data());
    if (Length != 0 && Length < Buffer.size()) return std::string(Buffer.data(), Length);
    Needed = Length;
  }
  throw Exception("Cannot find the temporary folder: " + SysErrorMessage(GetLastError()));
}

TVivoListBox::TVivoListBox(TWinControl* Parent) : TListBox(nullptr, Parent, true) {
  Name = "VivoList";
  SetItems(&Strings);
}

TVivoListBox::~TVivoListBox() { SetItems(nullptr); }

TPlayListForm::TPlayListForm(TComponent* Owner)
    : TForm(Owner, "TPlayListForm"),
      TWindowDrag(*this, EditorDragging, EditorDragX, EditorDragY),
      VivoList(this) {
  SetUpSkinDialog(*this, "Playlist Editor");
  Font().SetColor(clWhite);

  BackGround = NewBackGround(*this);
  VivoList.SetBounds(8, 8, 281, 241);
  VivoList.SetColor(RGB(134, 145, 156));
  TransparentButton1 = NewSkinButton(*this, "TransparentButton1", "&Add", 8, 256, 57, 33);
  TransparentButton2 = NewSkinButton(*this, "TransparentButton2", "&Remove", 72, 256, 57, 33);
  TransparentButton3 = NewSkinButton(*this, "TransparentButton3", "&Export", 136, 256, 57, 33);
  TransparentButton4 = NewSkinButton(*this, "TransparentButton4", "&OK", 232, 255, 57, 17);
  TransparentButton5 = NewSkinButton(*this, "TransparentButton5", "&Cancel", 232, 275, 57, 17);

  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->Name = "SaveDialog1";
  SaveDialog1->Filter = "Vivo files (*.viv)|*.viv";
  SaveDialog1->DefaultExt = "viv";
  SaveDialog1->Options = ofOverwritePrompt | ofHideReadOnly | ofNoReadOnlyReturn;

  OnCreate = [this](TObject* S) { FormCreate(S); };
  OnShow = [this](TObject* S) { FormShow(S); };
  OnKeyPress = [this](TObject* S, char& Key) { FormKeyPress(S, Key); };
  VivoList.OnKeyPress = OnKeyPress;
  DragBy({this, BackGround});
  TransparentButton1->OnClick = [this](TObject* S) { TransparentButton1Click(S); };
  TransparentButton2->OnClick = [this](TObject* S) { TransparentButton2Click(S); };
  TransparentButton3->OnClick = [this](TObject* S) { TransparentButton3Click(S); };
  TransparentButton4->OnClick = [this](TObject* S) { TransparentButton4Click(S); };
  TransparentButton5->OnClick = [this](TObject* S) { TransparentButton5Click(S); };

  // Laid out for a 16-pixel text height; the entries' height goes with the layout.
  const int TextPixels = TextHeight();
  ScaleBy(TextPixels, DesignTextHeight);
  VivoList.SetItemHeight(MulDiv(16, TextPixels, DesignTextHeight));
  DoCreate();
}

TPlayListForm::~TPlayListForm() {
  if (PlayListForm == this) PlayListForm = nullptr;
}

void TPlayListForm::FormCreate(TObject*) {
  RemoveCaptionBar(*this);
  DragAcceptFiles(Handle(), TRUE);
  // Long names can be scrolled into view.
  SendMessageA(VivoList.Handle(), LB_SETHORIZONTALEXTENT, 1000, 0);
  TempDir = GetTempDir();
  Backup.Clear();
}

std::string TPlayListForm::EscapeSpaces(const std::string& Text) { return ::EscapeSpaces(Text); }

std::string TPlayListForm::TempPlaylist() const { return TempDir + TempPlaylistName; }

void TPlayListForm::WritePlaylist(const std::string& FileName, bool WithPaths) {
  TTextFileWriter File(FileName);
  for (const std::string& Line : PlaylistLines(VivoList.Strings, WithPaths)) File.WriteLine(Line);
  File.Close();
}

LRESULT TPlayListForm::WndProc(UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_DROPFILES) {
    WMDropFiles(reinterpret_cast<HDROP>(W));
    return 0;
  }
  return TForm::WndProc(Msg, W, L);
}
