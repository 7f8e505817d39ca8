// Start-up steps: creating the player window with the video control's recovery, and opening
// the command line.
#include "app/Startup.h"

#include <windows.h>

#include "app/CommandLine.h"
#include "components/About.h"
#include "components/AboutOstra.h"
#include "player/Main.h"
#include "playlist/Playlist.h"
#include "playlist/PlaylistText.h"
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

void CreateSecondaryForms() {
  Application->CreateForm(AboutForm);
  Application->CreateForm(AboutOstraForm);
  AboutOstraForm->BackGround->Picture.Assign(AboutForm->BackGround->Picture);
  Application->CreateForm(PlayListForm);
  PlayListForm->BackGround->Picture.Assign(AboutForm->BackGround->Picture);
}

std::string FullArgument(const std::string& Argument) {
  if (Argument.find("://") != std::string::npos ||
      GetFileAttributesA(Argument.c_str()) == INVALID_FILE_ATTRIBUTES)
    return Argument;
  DWORD Needed = GetFullPathNameA(Argument.c_str(), 0, nullptr, nullptr);
  if (Needed == 0) return Argument;
  std::string Full(Needed, '\0');
  DWORD Length = GetFullPathNameA(Argument.c_str(), Needed, Full.data(), nullptr);
  if (Length == 0 || Length >= Needed) return Argument;
  Full.resize(Length);
  return Full;
}

TStrings PlayableArguments(const std::vector<std::string>& Arguments) {
  TStrings Playable;
  for (const std::string& Argument : Arguments) {
    if (IsPlaylistEntry(Argument))
      Playable.Add(Argument);
    else
      MessageDlg(RefusedEntryMessage(Argument), mtError, mbOK);
  }
  return Playable;
}

void OpenCommandLine() {
  std::vector<std::string> Arguments = CommandLineArguments(GetCommandLineA());
  for (std::string& Argument : Arguments) Argument = FullArgument(Argument);
  TStrings Entries = PlayableArguments(Arguments);
  if (Entries.Count() > 0) MainForm->PlayEntries(Entries, false);
}
