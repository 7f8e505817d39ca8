// The playlist editor object: the current playlist, the temporary folder and the file writer.
#include "playlist/Playlist.h"

#include <windows.h>

#include <vector>

#include "playlist/PlaylistText.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"
#include "toolkit/TextFile.h"

TPlayListForm* PlayListForm = nullptr;

std::string GetTempDir() {
  DWORD Needed = GetTempPathA(0, nullptr);
  // The folder could change between the two calls; ask again until the answer fits.
  for (int Attempt = 0; Needed != 0 && Attempt < 4; ++Attempt) {
    std::vector<char> Buffer(Needed + 1);
    DWORD Length = GetTempPathA(static_cast<DWORD>(Buffer.size()), Buffer.data());
    if (Length != 0 && Length < Buffer.size()) return std::string(Buffer.data(), Length);
    Needed = Length;
  }
  throw Exception("Cannot find the temporary folder: " + SysErrorMessage(GetLastError()));
}

TPlayListForm::TPlayListForm() : TempDir(GetTempDir()) {}

std::string TPlayListForm::EscapeSpaces(const std::string& Text) { return ::EscapeSpaces(Text); }

std::string TPlayListForm::TempPlaylist() const { return TempDir + TempPlaylistName; }

void TPlayListForm::WritePlaylist(const std::string& FileName, bool WithPaths) {
  TTextFileWriter File(FileName);
  for (const std::string& Line : PlaylistLines(VivoList, WithPaths)) File.WriteLine(Line);
  File.Close();
}
