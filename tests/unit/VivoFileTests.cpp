// Reading Vivo headers and command files, resolving entry names, and the file generator.
#include <doctest.h>

#include "vvppweb/ClipNames.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/VivoFile.h"

namespace {

std::string Packet(const std::string& Text) { return HeaderPacket(Text); }
const std::string Media = std::string("\x12\x04junk", 6);

}  // namespace

TEST_CASE("a generated file reads back with its picture size, length and rate") {
  TMakeVivoOptions Options;
  Options.Width = 352;
  Options.Height = 288;
  Options.DurationMs = 12345;
  Options.Fps = 7.5;
  std::string File = MakeVivoFile(Options);
  TClipInfo Info;
  REQUIRE(ParseVivoFile(File, Info) == 0);
  CHECK(Info.Width == 352);
  CHECK(Info.Height == 288);
  CHECK(Info.DurationMs == 12345u);
  CHECK(Info.Fps == doctest::Approx(7.5));
  CHECK(Info.Version == "Vivo/1.00");
  CHECK_FALSE(IsCommandFile(File));
}

TEST_CASE("header packets: lengths in one or two bytes, several packets, defaults") {
  SUBCASE("a length over 127 takes two bytes, the first the more significant") {
    std::string Text = "\r\nVersion:Vivo/2.00\r\nWidth:160\r\nTitle:" + std::string(200, 'x') + "\r\n";
    std::string P = Packet(Text);
    REQUIRE(P.size() == Text.size() + 3);
    CHECK(static_cast<unsigned char>(P[1]) == (0x80 | (Text.size() >> 7)));
    CHECK(static_cast<unsigned char>(P[2]) == (Text.size() & 0x7F));
    TClipInfo Info;
    REQUIRE(ParseVivoFile(P + Media, Info) == 0);
    CHECK(Info.Width == 160);
    CHECK(Info.Height == 144);
  }
  SUBCASE("keys from a second packet count too; letter case and spaces do not matter") {
    std::string File = Packet("\r\nVersion:Vivo/0.90\r\nwidth: 128 \r\n") + Packet("HEIGHT:96\r\nDuration:2500\r\n") + Media;
    TClipInfo Info;
    REQUIRE(ParseVivoFile(File, Info) == 0);
    CHECK(Info.Width == 128);
    CHECK(Info.Height == 96);
    CHECK(Info.DurationMs == 2500u);
  }
  SUBCASE("what the header leaves out takes the defaults") {
    TClipInfo Info;
    REQUIRE(ParseVivoFile(Packet("\r\nVersion:Vivo/1.00\r\n"), Info) == 0);
    CHECK(Info.Width == 176);
    CHECK(Info.Height == 144);
    CHECK(Info.DurationMs == 10000u);
    CHECK(Info.Fps == doctest::Approx(15.0));
  }
}

TEST_CASE("broken and hostile headers are refused with their reason, and leave Info alone") {
  TClipInfo Info;
  Info.Width = 999;  // sentinel: a refused file must not touch it
  const std::string Good = "\r\nVersion:Vivo/1.00\r\n";
  struct TCase {
    const char* Name;
    std::string Bytes;
    int32_t Expected;
  };
  const TCase Cases[] = {
      {"empty file", "", VivoNotAClip},
      {"text file", "hello\r\n", VivoNotAClip},
      {"no version line", Packet("\r\nWidth:100\r\n"), VivoNotAClip},
      {"other version key", Packet("\r\nVersion:Other/1.00\r\n"), VivoNotAClip},
      {"version without number", Packet("\r\nVersion:Vivo/\r\n"), VivoNotAClip},
      {"only the zero byte", std::string(1, '\0'), VivoTruncated},
      {"length byte promises more", std::string("\0\x40", 2) + Good, VivoTruncated},
      {"two-byte length cut short", std::string("\0\x81", 2), VivoTruncated},
      {"three length bytes", std::string("\0\x81\x80\x01", 4) + Good, VivoBadHeader},
      {"file cut inside the header", Packet(Good + "Width:100\r\n").substr(0, 12), VivoTruncated},
      {"zero width", Packet(Good + "Width:0\r\n"), VivoBadHeader},
      {"huge height", Packet(Good + "Height:40000\r\n"), VivoBadHeader},
      {"negative width", Packet(Good + "Width:-5\r\n"), VivoBadHeader},
      {"width with junk", Packet(Good + "Width:12px\r\n"), VivoBadHeader},
      {"overflowing width", Packet(Good + "Width:99999999999999999999\r\n"), VivoBadHeader},
      {"duration past a day", Packet(Good + "Duration:86400001\r\n"), VivoBadHeader},
      {"zero frame rate", Packet(Good + "FPS:0\r\n"), VivoBadHeader},
      {"less than a picture a second", Packet(Good + "FPS:0.0001\r\n"), VivoBadHeader},
      {"frame rate with two dots", Packet(Good + "FPS:1.2.3\r\n"), VivoBadHeader},
      {"bad value in a later packet", Packet(Good) + Packet("Width:5000\r\n"), VivoBadHeader},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Name);
    CHECK(ParseVivoFile(Case.Bytes, Info) == Case.Expected);
    CHECK(Info.Width == 999);
  }
}

TEST_CASE("command files: recognised by their two header lines, entries in order") {
  const std::string Ours =
      "Version:   Vivo/2.00\r\nBegin:     commands\r\nnext C:\\Clips\\a.viv\r\n"
      "next D:\\My%20Videos\\part%202.viv\r\n\r\nnext http://host/x%2Fy.viv\r\n";
  REQUIRE(IsCommandFile(Ours));
  CHECK(CommandFileEntries(Ours) ==
        std::vector<std::string>{"C:\\Clips\\a.viv", "D:\\My Videos\\part 2.viv", "http://host/x%2Fy.viv"});

  CHECK(IsCommandFile("version: Vivo/2.00\nbegin: Commands\n"));
  CHECK(CommandFileEntries("Version: Vivo/2.00\nBegin: commands\n").empty());
  CHECK_FALSE(IsCommandFile("Version:   Vivo/2.00\r\nnext a.viv\r\n"));
  CHECK_FALSE(IsCommandFile("Begin:     commands\r\nVersion:   Vivo/2.00\r\n"));
  CHECK_FALSE(IsCommandFile("Version:   Other/2.00\r\nBegin:     commands\r\n"));
  CHECK_FALSE(IsCommandFile(std::string("\0\x05", 2) + "Version"));
  CHECK(CommandFileEntries("Version: Vivo/2.00\nBegin: commands\nnextx.viv\nnext   \nplay a.viv\nNEXT b.viv\n") ==
        std::vector<std::string>{"b.viv"});
  // A lone carriage return ends a line too: no entry ever holds one.
  CHECK(CommandFileEntries("Version: Vivo/2.00\rBegin: commands\rnext a.viv\rnext b.viv\r;next c.viv") ==
        std::vector<std::string>{"a.viv", "b.viv"});
  // A blank line is blank whatever mix of blanks, tabs and carriage returns it holds.
  for (const char* Blank : {"\r", " \r", "\t\r", "\r\r", " \t \r"}) {
    std::string File = std::string("Version: Vivo/2.00\r\n") + Blank + "\nBegin: commands\r\nnext a.viv\r\n";
    INFO("blank line ", Blank);
    CHECK(IsCommandFile(File));
    CHECK(CommandFileEntries(File) == std::vector<std::string>{"a.viv"});
  }
}

TEST_CASE("entry names resolve against the command file's own place") {
  const std::string Local = "C:\\Users\\me\\Temp\\~~quillo.viv.tmp";
  CHECK(ResolveEntry(Local, "intro.viv") == "C:\\Users\\me\\Temp\\intro.viv");
  CHECK(ResolveEntry(Local, "sub\\part 2.viv") == "C:\\Users\\me\\Temp\\sub\\part 2.viv");
  CHECK(ResolveEntry(Local, "D:\\Clips\\a.viv") == "D:\\Clips\\a.viv");
  CHECK(ResolveEntry(Local, "\\Clips\\a.viv") == "C:\\Clips\\a.viv");
  CHECK(ResolveEntry(Local, "//server/share/a.viv") == "\\\\server\\share\\a.viv");
  CHECK(ResolveEntry(Local, "http://host/a.viv") == "http://host/a.viv");
  CHECK(ResolveEntry(Local, "file:///D:/a.viv") == "file:///D:/a.viv");
  CHECK(ResolveEntry("list.viv", "a.viv") == "a.viv");
  CHECK(ResolveEntry("file:///C:/My%20Lists/list.viv", "a.viv") == "C:\\My Lists\\a.viv");

  const std::string Web = "http://host:8080/lists/today.viv";
  CHECK(ResolveEntry(Web, "a b.viv") == "http://host:8080/lists/a b.viv");
  CHECK(ResolveEntry(Web, "clips\\a.viv") == "http://host:8080/lists/clips/a.viv");
  CHECK(ResolveEntry(Web, "/top.viv") == "http://host:8080/top.viv");
  CHECK(ResolveEntry(Web, "//other/x.viv") == "http://other/x.viv");
  CHECK(ResolveEntry("https://host", "a.viv") == "https://host/a.viv");
}

TEST_CASE("URL kinds and file: URLs") {
  CHECK(IsWebUrl("HTTP://host/a.viv"));
  CHECK(IsWebUrl("https://host/a.viv"));
  CHECK_FALSE(IsWebUrl("httpx://host"));
  CHECK(IsFileUrl("File:///C:/a.viv"));
  CHECK(HasOtherScheme("ftp://host/a.viv"));
  CHECK(HasOtherScheme("rtsp:stream"));
  CHECK_FALSE(HasOtherScheme("C:\\a.viv"));
  CHECK_FALSE(HasOtherScheme("a.viv"));
  CHECK_FALSE(HasOtherScheme("1x:y"));

  CHECK(FileUrlToPath("file:///C:/My%20Clips/a.viv") == "C:\\My Clips\\a.viv");
  CHECK(FileUrlToPath("file://localhost/C:/a.viv") == "C:\\a.viv");
  CHECK(FileUrlToPath("file://server/share/a.viv") == "\\\\server\\share\\a.viv");
  CHECK(FileUrlToPath("file:C:\\a.viv") == "C:\\a.viv");
  CHECK(FileUrlToPath("file:///C:/100%") == "C:\\100%");
  CHECK(FileUrlToPath("file:///C:/a%2") == "C:\\a%2");

  CHECK(ClipFileName("C:\\Clips\\a.viv") == "a.viv");
  CHECK(ClipFileName("http://host/dir/b.viv?x=1/2") == "b.viv");
}
