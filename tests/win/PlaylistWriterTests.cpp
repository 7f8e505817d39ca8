// Writing playlists to real files.
#include <doctest.h>
#include <windows.h>

#include "playlist/Playlist.h"
#include "tests/win/TestFiles.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

TEST_CASE("the temporary folder is the system's, with its backslash") {
  char Expected[MAX_PATH + 1];
  DWORD Length = GetTempPathA(sizeof Expected, Expected);
  REQUIRE(Length > 0);
  TPlayListForm Form(nullptr);
  CHECK(Form.TempDir == std::string(Expected, Length));
  CHECK(Form.TempDir.back() == '\\');
  CHECK(Form.TempPlaylist() == Form.TempDir + "~~quillo.viv.tmp");
}

TEST_CASE("the file holds exactly the playlist's bytes and is truncated when written again") {
  TScratchDir Dir;
  TPlayListForm Form(nullptr);
  Form.VivoList.Add("C:\\Clips\\intro.viv");
  Form.VivoList.Add("D:\\My Videos\\part 2.viv");
  Form.VivoList.Add("http://host/clips/third one.viv");
  std::string Name = Dir / "list.viv";

  Form.WritePlaylist(Name, true);
  std::string Long = ReadBytes(Name);
  CHECK(Long ==
        "Version:   Vivo/2.00\r\nBegin:     commands\r\n"
        "next C:\\Clips\\intro.viv\r\nnext D:\\My%20Videos\\part%202.viv\r\n"
        "next http://host/clips/third%20one.viv\r\n");

  Form.WritePlaylist(Name, false);
  CHECK(ReadBytes(Name) ==
        "Version:   Vivo/2.00\r\nBegin:     commands\r\n"
        "next intro.viv\r\nnext part%202.viv\r\nnext //host/clips/third%20one.viv\r\n");

  Form.VivoList.Clear();
  Form.WritePlaylist(Name, true);
  CHECK(ReadBytes(Name).size() == 43);
}

TEST_CASE("a file that cannot be created raises the I/O error with the system's reason") {
  TScratchDir Dir;
  TPlayListForm Form(nullptr);
  Form.VivoList.Add("a.viv");

  SUBCASE("missing folder") {
    std::string Name = Dir / "no such folder\\list.viv";
    try {
      Form.WritePlaylist(Name, true);
      FAIL("no error for " << Name);
    } catch (const EInOutError& E) {
      CHECK(E.ErrorCode == ERROR_PATH_NOT_FOUND);
      CHECK_MESSAGE(E.Message().find(SysErrorMessage(ERROR_PATH_NOT_FOUND)) != std::string::npos,
                    E.Message());
      CHECK_MESSAGE(E.Message().find(Name) != std::string::npos, E.Message());
    }
    CHECK_FALSE(FileExists(Name));
  }

  SUBCASE("file held open by another program") {
    std::string Name = Dir / "busy.viv";
    WriteBytes(Name, "keep me");
    HANDLE Other = CreateFileA(Name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(Other != INVALID_HANDLE_VALUE);
    try {
      Form.WritePlaylist(Name, true);
      FAIL("no error for a file another program holds");
    } catch (const EInOutError& E) {
      CHECK(E.ErrorCode == ERROR_SHARING_VIOLATION);
      CHECK_MESSAGE(E.Message().find(SysErrorMessage(ERROR_SHARING_VIOLATION)) != std::string::npos,
                    E.Message());
    }
    CloseHandle(Other);
    CHECK(ReadBytes(Name) == "keep me");
  }

  SUBCASE("a folder of that name") {
    std::string Name = Dir / "folder.viv";
    REQUIRE(CreateDirectoryA(Name.c_str(), nullptr));
    CHECK_THROWS_AS(Form.WritePlaylist(Name, true), EInOutError);
    RemoveDirectoryA(Name.c_str());
  }
}

TEST_CASE("a read-only file is left as it was") {
  TScratchDir Dir;
  TPlayListForm Form(nullptr);
  Form.VivoList.Add("a.viv");
  std::string Name = Dir / "locked.viv";
  WriteBytes(Name, "keep me");
  REQUIRE(SetFileAttributesA(Name.c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE Probe = CreateFileA(Name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (Probe != INVALID_HANDLE_VALUE) {
    // Wine maps the attribute to file modes, which do not bind the superuser.
    CloseHandle(Probe);
    MESSAGE("read-only files are writable here (superuser under Wine); case not checked");
    return;
  }
  try {
    Form.WritePlaylist(Name, true);
    FAIL("no error for a read-only file");
  } catch (const EInOutError& E) {
    CHECK(E.ErrorCode == ERROR_ACCESS_DENIED);
    CHECK_MESSAGE(E.Message().find(SysErrorMessage(ERROR_ACCESS_DENIED)) != std::string::npos,
                  E.Message());
  }
  CHECK(ReadBytes(Name) == "keep me");
}

TEST_CASE("long names and high bytes reach the file unchanged") {
  TScratchDir Dir;
  TPlayListForm Form(nullptr);
  std::string Item = "E:\\" + std::string(2000, 'x') + "\\caf\xE9 \xFF.viv";
  Form.VivoList.Add(Item);
  std::string Name = Dir / "long.viv";
  Form.WritePlaylist(Name, true);
  std::string Bytes = ReadBytes(Name);
  std::string Last = "next E:\\" + std::string(2000, 'x') + "\\caf\xE9%20\xFF.viv\r\n";
  CHECK(Bytes.size() == 43 + Last.size());
  CHECK(Bytes.substr(43) == Last);
}
