// The settings file "Quillo.ini": the view size, the mode, always-on-top, the screen-saver block,
// the tray icon and the last folder, read once after the windows exist and written once after
// the message loop. The player window's check marks are the live state.
#pragma once

#include <string>

// Reads the file and applies each value through the player window's own menu handlers, with no
// sender, as if the user had chosen the command.
void LoadSettings();

// Writes the check marks and the current folder, key by key; a write that every place refuses
// raises "Unable to write to Quillo.ini".
void SaveSettings();

// Where the settings live. The file keeps its bare name, which places it in the Windows folder,
// while it can be written there; where it cannot (a standard user on current Windows), it lives
// in the user's application data folder as Quillo\Quillo.ini, which is then read first.
// The second is empty when the system names no such folder.
std::string WindowsSettingsFile();
std::string UserSettingsFile();
