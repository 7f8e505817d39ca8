// Start-up steps: creating the player window with the video control's recovery, and opening
// the command line.
#include "app/Startup.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "player/Main.h"
#include "playlist/Playlist.h"
#include "toolkit/Errors.h"
#include "toolkit/FileNames.h"
#include "toolkit/SysUtils.h"

void RegisterControl(const std::string& LibraryPath) {
  HMODULE Library = LoadLibraryA(LibraryPath.c_str());
  if (!Library) {
    MessageDlg("Failed to load \"" + LibraryPath + "\".\rThe Program will not work properly!!",
               mtError, mbOK);
    return;
  }
  using TRegisterServer = HRESULT(STDAPICALLTYPE*)();
  auto Register = reinterpret_cast<TRegisterServer>(
      reinterpret_cast<void*>(GetProcAddress(Library, "DllRegisterServer")));
  if (Register) Register();
  FreeLibrary(Library);
}

void CreateMainForm() {
  try {
    Application->CreateForm(MainForm);
  } catch (const EOleSysError&) {
    std::string Path = ExtractFileDir(ProgramFileName()) + "\\VVPPWEB.OCX";
    if (GetFileAttributesA(Path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      MessageDlg("vvppweb.ocx not registered/not found!!\rPlease put it in Quillo's directory.",
                 mtError, mbOK);
      ExitProcess(1);
    }
    RegisterControl(Path);
    Application->CreateForm(MainForm);
  }
}

void OpenCommandLine() {
  PlayListForm->VivoList.Clear();
  for (const std::string& Argument : CommandLineArguments(GetCommandLineA()))
    PlayListForm->VivoList.Add(Argument);
  std::string TempPlaylist = PlayListForm->TempPlaylist();
  PlayListForm->WritePlaylist(TempPlaylist, true);
  MainForm->PlayFile(TempPlaylist);
}
