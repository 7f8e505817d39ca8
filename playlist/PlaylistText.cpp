// The bytes of a Vivo command file.
#include "playlist/PlaylistText.h"

#include <algorithm>

#include "toolkit/Errors.h"

namespace {

bool IsControl(char C) {
  unsigned char Code = static_cast<unsigned char>(C);
  return Code < 32 || Code == 127;
}

}  // namespace

bool IsPlaylistEntry(const std::string& Item) {
  return std::none_of(Item.begin(), Item.end(), IsControl);
}

std::string RefusedEntryMessage(const std::string& Item) {
  std::string Shown = Item;
  std::replace_if(Shown.begin(), Shown.end(), IsControl, '?');
  return "\"" + Shown + "\" cannot be played: it holds a line break or another control character.";
}

std::string EscapeSpaces(const std::string& Text) {
  std::string Result;
  Result.reserve(Text.size());
  for (char C : Text) {
    if (C == ' ')
      Result += "%20";
    else
      Result += C;
  }
  return Result;
}

std::string PlaylistEntry(const std::string& Item, bool WithPaths) {
  std::string Escaped = EscapeSpaces(Item);
  if (WithPaths) return Escaped;
  size_t Separator = Escaped.find_last_of("\\:");
  return Separator == std::string::npos ? Escaped : Escaped.substr(Separator + 1);
}

std::vector<std::string> PlaylistLines(const TStrings& Items, bool WithPaths) {
  std::vector<std::string> Lines{PlaylistVersionLine, PlaylistBeginLine};
  for (const std::string& Item : Items) {
    if (!IsPlaylistEntry(Item)) throw Exception(RefusedEntryMessage(Item));
    Lines.push_back("next " + PlaylistEntry(Item, WithPaths));
  }
  return Lines;
}
