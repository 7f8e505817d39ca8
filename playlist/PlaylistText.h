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

// The lines of the file without their CR LF: the two header lines, then one "next " line an item.
std::vector<std::string> PlaylistLines(const TStrings& Items, bool WithPaths);
