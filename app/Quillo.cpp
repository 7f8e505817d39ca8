// The main routine: prepares the process, builds the windows, opens what the command line
// names, runs the message loop, and cleans up in the reverse order.
#include <windows.h>
#include <objbase.h>

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "player/DDraw.h"
#include "player/Main.h"
#include "toolkit/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  CoInitialize(nullptr);
  DDraw::LoadDDraw();
  try {
    Application->Initialize();
    Application->SetTitle("Quillo");
    CreateMainForm();
    CreateSecondaryForms();
    if (!CommandLineArguments(GetCommandLineA()).empty()) OpenCommandLine();
    Application->Run();
    Application->HelpCommand(HELP_QUIT, 0);
  } catch (const std::exception& E) {
    ReportStartupError(E);
  }
  Application->DestroyForms();
  FinalizeMain();
  DDraw::FreeDDraw();
  CoUninitialize();
  return 0;
}
