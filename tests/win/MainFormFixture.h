// The player window under test: a fresh application, the registered video control, scripted
// dialogs, and the secondary windows made as start-up makes them, the playlist editor's
// temporary folder a scratch folder of the test's own.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "player/Main.h"
#include "playlist/Playlist.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"
#include "tests/win/ToolkitTestSupport.h"
#include "toolkit/ScriptedDialogs.h"

// The first two lines of every playlist the program writes.
inline const std::string PlaylistHeader = "Version:   Vivo/2.00\r\nBegin:     commands\r\n";

struct TMainFormFixture : TControlFixture {
  TMainFormFixture();
  ~TMainFormFixture();

  TScratchDir Dir;
  // Open File makes the chosen folder the current one; the scratch folder can only go once it is
  // not, so this one is put back first.
  struct TCurrentDirectory {
    TCurrentDirectory();
    ~TCurrentDirectory();
    std::string Saved;
  } CurrentDirectory;
  TScriptedDialogs Dialogs;
  TFreshApplication App;
  TMainForm* Form = nullptr;
  TPlayListForm* Playlist = nullptr;
  std::unique_ptr<TDiagnostics> Control;

  // Every member call the form made on the control since the last ClearCalls.
  std::vector<std::string> Calls() const;
  // The same without reading properties and picture sizes: the commands the form gave.
  std::vector<std::string> Commands() const;
  void ClearCalls();

  std::string TempPlaylist() const { return Dir / "~~quillo.viv.tmp"; }
  // The player window shown and in front, as a user would have it.
  void ShowInFront();
  // A generated clip in the scratch folder, played through PlayFile until it has started.
  std::string StartClip(const std::string& Name, uint32_t DurationMs = 20000);
  // Handles messages through the application (shortcuts and key preview included) until Done.
  bool RunUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 5000);
};

// Closes the control's own dialogs (Save As, About this Movie) as a user would: a thread timer
// runs inside the dialog's modal loop, notes the dialog's title and cancels it.
struct TControlDialogCloser {
  TControlDialogCloser();
  ~TControlDialogCloser();
  static inline std::vector<std::string> Titles;

private:
  static BOOL CALLBACK Find(HWND Window, LPARAM Found);
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static inline HWND LastClosed = nullptr;
  UINT_PTR Timer;
};

// Runs Steps inside Dialog's modal loop once it is up, as a user acting on it would; Open is
// what shows it (a menu handler, a key press). Returns whether Steps ran. A dialog that Steps
// leaves open is closed after it, so a failing check cannot hang the test; Steps uses CHECK,
// not REQUIRE, since it runs inside the message loop.
bool InsideModal(TForm* Dialog, const std::function<void()>& Open, std::function<void()> Steps);

// A drop handle as the shell makes it: DROPFILES followed by the names, each ended by a zero,
// and one more zero at the end.
HDROP MakeDrop(const std::vector<std::string>& Names);

// A playlist file's bytes for those entries, as written with paths.
std::string PlaylistBytes(const std::vector<std::string>& Entries);

// The list as a vector, for comparing.
std::vector<std::string> Items(const TStrings& List);
std::vector<std::string> Items(const TVivoListBox& List);
