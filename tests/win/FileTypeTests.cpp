// The .viv association written into a classes root of the test's own: the four keys and their
// texts, repointed when the program moves, and the user's classes taking over a refused root.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/FileType.h"
#include "toolkit/Errors.h"

namespace {

const char* const TestRoot = "Software\\QuilloFileTypeTest";

// A key of the test's own under HKCU; removed with everything in it. A refusing one is deleted
// while its handle stays open, so the system refuses every key made under it.
enum class TKeyKind { Writable, Refusing };
struct TTestKey {
  TTestKey(const std::string& Name, TKeyKind Kind = TKeyKind::Writable)
      : Path(std::string(TestRoot) + "\\" + Name) {
    HKEY Made = nullptr;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, Path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &Made, nullptr) == ERROR_SUCCESS);
    RegCloseKey(Made);
    REQUIRE(RegOpenKeyExA(HKEY_CURRENT_USER, Path.c_str(), 0, KEY_ALL_ACCESS, &Handle) ==
            ERROR_SUCCESS);
    if (Kind == TKeyKind::Refusing) {
      REQUIRE(RegDeleteKeyA(HKEY_CURRENT_USER, Path.c_str()) == ERROR_SUCCESS);
      HKEY Probe = nullptr;
      REQUIRE(RegCreateKeyExA(Handle, "x", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Probe,
                              nullptr) != ERROR_SUCCESS);
    }
  }
  ~TTestKey() {
    RegCloseKey(Handle);
    RegDeleteTreeA(HKEY_CURRENT_USER, Path.c_str());
  }
  std::string Path;
  HKEY Handle = nullptr;
};

// Each of the four keys' default value under Root; "<missing>" for a key that is not there.
std::vector<std::string> Association(HKEY Root) {
  std::vector<std::string> Values;
  for (const char* Key : {".viv", "VivoFile", "VivoFile\\DefaultIcon", "VivoFile\\shell\\open\\command"}) {
    char Value[1024] = "";
    LONG Size = sizeof Value;
    Values.push_back(RegQueryValueA(Root, Key, Value, &Size) == ERROR_SUCCESS ? Value : "<missing>");
  }
  return Values;
}

}  // namespace

TEST_CASE("the four keys, with the program path unquoted and only %1 in quotes") {
  TTestKey Classes("Classes");
  // A value another program left is taken over without asking.
  RegSetValueA(Classes.Handle, ".viv", REG_SZ, "OtherPlayer.File", 0);

  RegisterFileType("C:\\Program Files\\Quillo\\Quillo.exe", Classes.Handle);
  CHECK(Association(Classes.Handle) ==
        std::vector<std::string>{"VivoFile", "Vivo Files", "C:\\Program Files\\Quillo\\Quillo.exe,0",
                                 "C:\\Program Files\\Quillo\\Quillo.exe \"%1\""});

  // Started once from a new place, the icon and the command point there.
  RegisterFileType("D:\\Q\\Quillo.exe", Classes.Handle);
  CHECK(Association(Classes.Handle) ==
        std::vector<std::string>{"VivoFile", "Vivo Files", "D:\\Q\\Quillo.exe,0",
                                 "D:\\Q\\Quillo.exe \"%1\""});
}

TEST_CASE("a classes root that refuses: the user's classes get the keys; both refusing is an error") {
  TTestKey Refusing("Refusing", TKeyKind::Refusing);
  TTestKey UserClasses("UserClasses");

  RegisterFileType("C:\\Q\\Quillo.exe", Refusing.Handle, UserClasses.Handle);
  CHECK(Association(Refusing.Handle) ==
        std::vector<std::string>(4, "<missing>"));
  CHECK(Association(UserClasses.Handle) ==
        std::vector<std::string>{"VivoFile", "Vivo Files", "C:\\Q\\Quillo.exe,0",
                                 "C:\\Q\\Quillo.exe \"%1\""});

  TTestKey AlsoRefusing("AlsoRefusing", TKeyKind::Refusing);
  CHECK_THROWS_WITH_AS(RegisterFileType("C:\\Q\\Quillo.exe", Refusing.Handle, AlsoRefusing.Handle),
                       "Failed to create key .viv", Exception);
}
