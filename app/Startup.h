// The start-up steps that can go wrong in ways the program recovers from or reports itself.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Strings.h"

// Registers the COM server in LibraryPath through its own DllRegisterServer; a library that
// cannot be loaded is reported in an error box.
void RegisterControl(const std::string& LibraryPath);

// Creates MainForm. When the video control's class is not registered, registers VVPPWEB.OCX
// from the program's folder and tries once more; without that file it says so and ends the
// program.
void CreateMainForm();

// A file named relative to the folder Quillo was started in, made a full name: the control
// reads playlist entries relative to the playlist's own folder, the temporary one, and the
// running player has a folder of its own. URLs and names of no existing file stay as typed.
std::string FullArgument(const std::string& Argument);

// Creates the About dialogs and the playlist editor, in that order, and gives the second
// About dialog and the editor a copy of the first About dialog's background picture.
void CreateSecondaryForms();

// The arguments that can be playlist entries; each of the others is refused in an error box, so
// none is lost without a word.
TStrings PlayableArguments(const std::vector<std::string>& Arguments);

// Makes the process's arguments the playlist and plays it through the temporary playlist.
void OpenCommandLine();
