// The playlist editor object: owner of the current playlist and of the temporary folder.
#pragma once

#include <string>

#include "toolkit/Strings.h"

class TPlayListForm {
public:
  TPlayListForm();

  // The current playlist: full file names, or URLs when it came from a command line.
  TStrings VivoList;
  // The system's temporary folder, ending in a backslash.
  std::string TempDir;

  // Writes VivoList as a Vivo command file; raises EInOutError when the file cannot be written.
  void WritePlaylist(const std::string& FileName, bool WithPaths);
  static std::string EscapeSpaces(const std::string& Text);
  // TempDir followed by the temporary playlist's name.
  std::string TempPlaylist() const;
};

extern TPlayListForm* PlayListForm;

// The system's temporary folder: asks for the length first, then fills a buffer of that size.
std::string GetTempDir();
