// The playlist editor's commands: Add, Remove, Export, OK and Cancel, its keys and dropped
// files.
#include <vector>

#include "playlist/Playlist.h"

void TPlayListForm::FormShow(TObject*) {
  Backup = VivoList.Strings;
  PlaylistModified = false;
}

void TPlayListForm::FormKeyPress(TObject*, char& Key) {
  if (Key == '\x1B') {
    Key = 0;
    TransparentButton5Click(nullptr);
  } else if (Key == '\r') {
    Key = 0;
    TransparentButton4Click(nullptr);
  }
}

void TPlayListForm::TransparentButton1Click(TObject*) {
  if (!Player.OpenDialog->Execute()) return;
  for (const std::string& File : Player.OpenDialog->Files) VivoList.Add(File);
  PlaylistModified = true;
}

void TPlayListForm::TransparentButton2Click(TObject*) {
  if (VivoList.SelCount() == 0) return;
  // A selected entry goes and the same place is looked at again.
  for (int Index = 0; Index < VivoList.Count();) {
    if (VivoList.Selected(Index))
      VivoList.Strings.Delete(Index);
    else
      ++Index;
  }
  PlaylistModified = true;
}

void TPlayListForm::TransparentButton3Click(TObject*) {
  if (VivoList.Count() == 0) {
    MessageDlg("Playlist is empty!", mtError, mbOK);
    return;
  }
  if (!SaveDialog1->Execute()) return;
  const bool WithPaths =
      MessageDlg("Save path name in the playlist? Click \"no\" if the playlist is in the same "
                 "directory",
                 mtConfirmation, mbYes | mbNo) == mrYes;
  WritePlaylist(SaveDialog1->FileName, WithPaths);
}

void TPlayListForm::TransparentButton4Click(TObject*) {
  if (PlaylistModified &&
      MessageDlg("Reload current playlist? (Start from beginning)", mtConfirmation,
                 mbYes | mbNo) == mrYes) {
    // A playlist that cannot be written ends the command here: the clip is closed already, the
    // editor stays open with the list as edited.
    Player.PlayList(VivoList.Strings);
  }
  Backup = VivoList.Strings;
  Close();
}

void TPlayListForm::TransparentButton5Click(TObject*) {
  VivoList.Strings = Backup;
  Close();
}

void TPlayListForm::WMDropFiles(HDROP Drop) {
  UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT Index = 0; Index < Count; ++Index) {
    // Asked for its length first, so a name of any length arrives whole.
    std::vector<char> Name(DragQueryFileA(Drop, Index, nullptr, 0) + 1);
    UINT Length = DragQueryFileA(Drop, Index, Name.data(), static_cast<UINT>(Name.size()));
    VivoList.Add(std::string(Name.data(), Length));
    PlaylistModified = true;
  }
  DragFinish(Drop);
}
