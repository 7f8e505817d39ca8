// The bytes of a Vivo command file.
#include <doctest.h>

#include <string>

#include "playlist/PlaylistText.h"

namespace {

TStrings List(std::initializer_list<const char*> Texts) {
  TStrings Items;
  for (const char* T : Texts) Items.Add(T);
  return Items;
}

std::string FileBytes(const TStrings& Items, bool WithPaths) {
  std::string Bytes;
  for (const std::string& Line : PlaylistLines(Items, WithPaths)) Bytes += Line + "\r\n";
  return Bytes;
}

}  // namespace

TEST_CASE("a two-clip playlist with and without folders") {
  TStrings Items = List({"C:\\Clips\\intro.viv", "D:\\My Videos\\part 2.viv"});

  std::string WithPaths = FileBytes(Items, true);
  CHECK(WithPaths ==
        "Version:   Vivo/2.00\r\n"
        "Begin:     commands\r\n"
        "next C:\\Clips\\intro.viv\r\n"
        "next D:\\My%20Videos\\part%202.viv\r\n");
  CHECK(WithPaths.size() == 102);

  CHECK(FileBytes(Items, false) ==
        "Version:   Vivo/2.00\r\n"
        "Begin:     commands\r\n"
        "next intro.viv\r\n"
        "next part%202.viv\r\n");
}

TEST_CASE("an empty playlist is the two header lines") {
  TStrings Empty;
  std::string Bytes = FileBytes(Empty, true);
  CHECK(Bytes == "Version:   Vivo/2.00\r\nBegin:     commands\r\n");
  CHECK(Bytes.size() == 43);
  CHECK(FileBytes(Empty, false) == Bytes);
}

TEST_CASE("only spaces are escaped") {
  CHECK(EscapeSpaces("") == "");
  CHECK(EscapeSpaces("a  b") == "a%20%20b");
  CHECK(EscapeSpaces(" x ") == "%20x%20");
  // An escape already there is indistinguishable from an escaped space, and stays as it is.
  CHECK(EscapeSpaces("my%20clip 1.viv") == "my%20clip%201.viv");
  CHECK(EscapeSpaces("100% \t\"q\"") == "100%%20\t\"q\"");
  const std::string High = "caf\xE9 \xFF\x80.viv";
  CHECK(EscapeSpaces(High) == "caf\xE9%20\xFF\x80.viv");
}

TEST_CASE("without folders only what follows the last backslash or colon is kept") {
  CHECK(PlaylistEntry("http://host/dir/a b.viv", false) == "//host/dir/a%20b.viv");
  CHECK(PlaylistEntry("http://host/dir/a b.viv", true) == "http://host/dir/a%20b.viv");
  CHECK(PlaylistEntry("C:clip.viv", false) == "clip.viv");
  CHECK(PlaylistEntry("C:\\dir:stream\\x.viv", false) == "x.viv");
  CHECK(PlaylistEntry("C:\\dir\\", false) == "");
  CHECK(PlaylistEntry("plain name.viv", false) == "plain%20name.viv");
  CHECK(PlaylistEntry("a/b/c.viv", false) == "a/b/c.viv");
}

TEST_CASE("long entries are written whole") {
  std::string Folder(1500, 'd');
  std::string Item = "C:\\" + Folder + "\\" + std::string(600, 'n') + " x.viv";
  TStrings Items;
  Items.Add(Item);
  std::vector<std::string> Lines = PlaylistLines(Items, true);
  REQUIRE(Lines.size() == 3);
  CHECK(Lines[2].size() == 5 + Item.size() + 2);
  CHECK(Lines[2] == "next " + EscapeSpaces(Item));
  CHECK(PlaylistLines(Items, false)[2] == "next " + std::string(600, 'n') + "%20x.viv");
}

TEST_CASE("duplicates and order are kept") {
  TStrings Items = List({"b.viv", "a.viv", "b.viv"});
  std::vector<std::string> Lines = PlaylistLines(Items, true);
  REQUIRE(Lines.size() == 5);
  CHECK(Lines[2] == "next b.viv");
  CHECK(Lines[3] == "next a.viv");
  CHECK(Lines[4] == "next b.viv");
}

TEST_CASE("an entry with a line break or another control character is refused, never split") {
  // One argument holding a line feed would otherwise become a second "next" line.
  TStrings Split = List({"C:\\clip.viv", "C:\\clip.viv\nnext\tC:\\other.viv"});
  CHECK_THROWS_WITH(PlaylistLines(Split, true),
                    "\"C:\\clip.viv?next?C:\\other.viv\" cannot be played: it holds a line break "
                    "or another control character.");
  for (const char* Bad : {"a\rb", "a\tb", "\x01", "x\x7F"}) {
    INFO("entry ", Bad);
    CHECK_FALSE(IsPlaylistEntry(Bad));
  }
  for (const char* Good : {"", "C:\\a b.viv", "http://h/x%20y.viv", "caf\xE9.viv", "\xA0"}) {
    INFO("entry ", Good);
    CHECK(IsPlaylistEntry(Good));
  }
}
