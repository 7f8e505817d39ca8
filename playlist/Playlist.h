// The playlist editor: the "Playlist Editor" dialog, whose list box VivoList is the program's
// current playlist, with the temporary folder and the file writer every open goes through.
#pragma once

#include <windows.h>
// After windows.h: shellapi.h needs its types.
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <string>

#include "components/TransBtn.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/Strings.h"
#include "toolkit/WindowDrag.h"

// The editor's list box, which is also the program's current playlist: it keeps the texts it
// shows (full file names, or URLs when the list came from a command line), so every part of
// the program that fills the playlist fills the box.
class TVivoListBox : public TListBox {
public:
  explicit TVivoListBox(TWinControl* Parent);
  ~TVivoListBox() override;

  TStrings Strings;
  const std::string& operator[](int Index) const { return Strings[Index]; }
  void Clear() { Strings.Clear(); }
  int Add(const std::string& Text) { return Strings.Add(Text); }
  auto begin() const { return Strings.begin(); }
  auto end() const { return Strings.end(); }
};

// What the editor borrows from the player window, which it cannot know: the file-open dialog,
// and playing a list from its first entry through the temporary playlist, the clip that plays
// closed first.
struct TPlaylistPlayer {
  TOpenDialog* OpenDialog = nullptr;
  std::function<void(const TStrings& Entries)> PlayList;
};

// Its FormMouseDown, FormMouseMove, FormMouseUp and FormCaptureLost drag it, bound to the form and
// BackGround.
class TPlayListForm : public TForm, public TWindowDrag {
public:
  // The text height the window is laid out for: its 13-pixel "MS Sans Serif" at 120 pixels per
  // inch. Created, the window is scaled by the font's real text height over this one.
  static constexpr int DesignTextHeight = 16;

  explicit TPlayListForm(TComponent* Owner);
  ~TPlayListForm() override;

  TImage* BackGround;
  TVivoListBox VivoList;
  TTransparentButton *TransparentButton1, *TransparentButton2, *TransparentButton3,
      *TransparentButton4, *TransparentButton5;  // Add, Remove, Export, OK, Cancel
  TSaveDialog* SaveDialog1;

  // The system's temporary folder, ending in a backslash.
  std::string TempDir;
  // VivoList's texts as they were when the window was shown, or as OK confirmed them.
  TStrings Backup;
  // Lent by the player window while it shows the editor.
  TPlaylistPlayer Player;

  // Writes VivoList as a Vivo command file; raises EInOutError when the file cannot be written.
  void WritePlaylist(const std::string& FileName, bool WithPaths);
  static std::string EscapeSpaces(const std::string& Text);
  // TempDir followed by the temporary playlist's name.
  std::string TempPlaylist() const;

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormKeyPress(TObject* Sender, char& Key);
  void TransparentButton1Click(TObject* Sender);  // Add
  void TransparentButton2Click(TObject* Sender);  // Remove
  void TransparentButton3Click(TObject* Sender);  // Export
  void TransparentButton4Click(TObject* Sender);  // OK
  void TransparentButton5Click(TObject* Sender);  // Cancel
  // Files dropped on the editor join the list, in the shell's order.
  void WMDropFiles(HDROP Drop);

protected:
  LRESULT WndProc(UINT Msg, WPARAM W, LPARAM L) override;
};

extern TPlayListForm* PlayListForm;

// The list was changed by Add, Remove or a drop since the editor was last shown.
extern bool PlaylistModified;
// A window drag in progress and where it took hold, in the pressed control's coordinates.
extern bool EditorDragging;
extern int32_t EditorDragX, EditorDragY;

// The system's temporary folder: asks for the length first, then fills a buffer of that size.
std::string GetTempDir();
