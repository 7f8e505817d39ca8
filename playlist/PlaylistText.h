// The bytes of a Vivo command file: the playlists Quillo hands to the video control.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Strings.h"

// Both header values start at the twelfth character of their line.
inline constexpr const char* PlaylistVersionLine = "Version:   Vivo/2.00";
inline constexpr const char* PlaylistBeginLine = "Begin:     commands";
inline constexpr const char* TempPlaylistName = "~~quillo.viv.tmp";

// Every space becomes "%20"; nothing else is touched (a per-cent sign stays as it is).
std::string EscapeSpaces(const std::string& Text);

// The entry written after "next ": the escaped text, or without paths only what follows its
// last backslash or colon.
std::string PlaylistEntry(const std::string& Item, bool WithPaths);

// An entry is one "next" line: a line break, a tab or another control character in it would split
// the line or be trimmed away when the control reads it back. No Windows file name holds one;
// a URL or a command-line argument can.
bool IsPlaylistEntry(const std::string& Item);
// Why Item cannot be an entry, for the user: its text with each control character shown as "?".
std::string RefusedEntryMessage(const std::string& Item);

// The lines of the file without their CR LF: the two header lines, then one "next " line an item.
// Raises an Exception with RefusedEntryMessage for an item that is no entry.
std::vector<std::string> PlaylistLines(const TStrings& Items, bool WithPaths);
