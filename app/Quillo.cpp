// The main routine: prepares the process, builds the windows, restores the settings, opens what
// the command line names, runs the message loop, and cleans up in the reverse order.
#include <windows.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/FileType.h"
#include "app/OneInstance.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "player/DDraw.h"
#include "player/Main.h"
#include "toolkit/Forms.h"
#include "toolkit/SysUtils.h"

namespace {

// What the process set up before the main routine proper, given back last.
void Finalize() {
  ReleaseInstance();
  DDraw::FreeDDraw();
  CoUninitialize();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CoInitialize(nullptr);
  DDraw::LoadDDraw();
  try {
    // A later instance hands its command line to the running player and leaves nothing behind:
    // no window, no registry or settings writes.
    if (!AcquireInstance()) {
      Finalize();
      return 0;
    }
    RegisterFileType(ProgramFileName());
    Application->Initialize();
    Application->SetTitle("Quillo");
    CreateMainForm();
    CreateSecondaryForms();
    LoadSettings();
    if (!CommandLineArguments(GetCommandLineA()).empty()) OpenCommandLine();
    AcceptHandOvers();
    Application->Run();
    SaveSettings();
    Application->HelpCommand(HELP_QUIT, 0);
  } catch (const std::exception& E) {
    ReportStartupError(E);
  }
  Application->DestroyForms();
  FinalizeMain();
  Finalize();
  return 0;
}
