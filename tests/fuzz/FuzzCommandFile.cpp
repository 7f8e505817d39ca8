// Vivo command files. Any bytes: the entries read are never empty and never hold a line break.
// And the other way round: the entries of a playlist as Quillo writes it read back as the same
// entries, in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "playlist/PlaylistText.h"
#include "toolkit/Errors.h"
#include "vvppweb/VivoFile.h"

namespace {

void Require(bool Holds) {
  if (!Holds) std::abort();
}

// Entries cut from the input at NUL bytes. The file format cannot carry two kinds of entry: an
// empty one (its line is skipped) and one holding the text "%20" (read back as a space).
std::vector<std::string> EntriesOf(const std::string& Bytes) {
  std::vector<std::string> Entries;
  size_t Start = 0;
  while (Start < Bytes.size()) {
    size_t End = Bytes.find('\0', Start);
    if (End == std::string::npos) End = Bytes.size();
    std::string Entry = Bytes.substr(Start, End - Start);
    if (!Entry.empty() && Entry.find("%20") == std::string::npos) Entries.push_back(Entry);
    Start = End + 1;
  }
  return Entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  if (IsCommandFile(Bytes))
    for (const std::string& Entry : CommandFileEntries(Bytes))
      Require(!Entry.empty() && Entry.find_first_of("\r\n") == std::string::npos);

  TStrings Items;
  bool Writable = true;
  for (const std::string& Entry : EntriesOf(Bytes)) {
    Items.Add(Entry);
    Writable = Writable && IsPlaylistEntry(Entry);
  }
  std::string File;
  try {
    for (const std::string& Line : PlaylistLines(Items, true)) File += Line + "\r\n";
  } catch (const Exception&) {
    // Only an entry with a control character is refused, and then the whole list is.
    Require(!Writable);
    return 0;
  }
  Require(Writable);
  Require(IsCommandFile(File));
  Require(CommandFileEntries(File) == std::vector<std::string>(Items.begin(), Items.end()));
  return 0;
}
