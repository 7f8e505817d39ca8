// The bytes of a Vivo command file.
#include "playlist/PlaylistText.h"

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
  for (const std::string& Item : Items) Lines.push_back("next " + PlaylistEntry(Item, WithPaths));
  return Lines;
}
