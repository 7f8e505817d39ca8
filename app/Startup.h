// The start-up steps that can go wrong in ways the program recovers from or reports itself.
#pragma once

#include <string>

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

// Makes the process's arguments the playlist and plays it through the temporary playlist.
void OpenCommandLine();
