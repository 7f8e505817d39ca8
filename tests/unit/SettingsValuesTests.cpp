// Reading the settings file's integers and booleans back.
#include <doctest.h>

#include <climits>
#include <map>
#include <string>

#include "app/SettingsValues.h"

TEST_CASE("integers: decimal, hexadecimal after 0x, and the default for anything else") {
  struct TCase {
    const char* Value;
    int32_t Expected;  // with the default 77
  };
  const TCase Cases[] = {
      {"3", 3},       {"0", 0},          {"-1", -1},          {"+2", 2},       {"7", 7},
      {"0x3", 3},     {"0X1f", 31},      {"0xFFFFFFFF", -1},  {"0x7fffffff", INT32_MAX},
      {"03", 3},      {"2147483647", INT32_MAX},              {"-2147483648", INT32_MIN},
      // Two characters are never hexadecimal, and "0x" alone is no number.
      {"0x", 77},     {"0x1G", 77},      {"0x100000000", 77}, {"2147483648", 77},
      {"-2147483649", 77},               {"99999999999999999999", 77},
      {"", 77},       {"yes", 77},       {"-", 77},           {"+", 77},       {"1.5", 77},
      {" 1", 77},     {"1 ", 77},        {"-0x5", 77},        {"$10", 77},     {"1e3", 77},
  };
  for (const TCase& Case : Cases) {
    INFO("value \"", Case.Value, "\"");
    CHECK(DecodeInteger(Case.Value, 77) == Case.Expected);
  }
}

TEST_CASE("booleans: any non-zero number is true, no number gives the default") {
  CHECK(DecodeBoolean("1", false));
  CHECK(DecodeBoolean("2", false));
  CHECK(DecodeBoolean("-1", false));
  CHECK(DecodeBoolean("0x10", false));
  CHECK_FALSE(DecodeBoolean("0", true));
  CHECK_FALSE(DecodeBoolean("yes", false));
  CHECK(DecodeBoolean("yes", true));
  CHECK(DecodeBoolean("", true));
  CHECK_FALSE(DecodeBoolean("", false));
}

TEST_CASE("a settings file's keys: what each asks for, defaults where they are missing or junk") {
  using TKeys = std::map<std::string, std::string>;
  struct TCase {
    TKeys Keys;  // "Section.Key" -> text
    TStoredSettings Expected;
  };
  auto Stored = [](int32_t Size, int32_t Mode, bool Top, bool Saver, bool Tray, std::string Dir) {
    return TStoredSettings{Size, Mode, Top, Saver, Tray, std::move(Dir)};
  };
  const TCase Cases[] = {
      // A first start: no file at all.
      {{}, Stored(1, 0, false, false, false, "")},
      {{{"View.Size", "2"}, {"View.Mode", "3"}, {"View.AlwaysOnTop", "1"},
        {"Misc.DisableScreenSaver", "1"}, {"Misc.SystemTray", "1"}, {"Misc.LastDir", "C:\\Clips"}},
       Stored(2, 3, true, true, true, "C:\\Clips")},
      {{{"View.Size", "7"}}, Stored(1, 0, false, false, false, "")},
      {{{"View.Size", "-1"}}, Stored(1, 0, false, false, false, "")},
      {{{"View.Size", "0x3"}}, Stored(3, 0, false, false, false, "")},
      {{{"View.Size", "0"}, {"View.Mode", "4"}}, Stored(0, 0, false, false, false, "")},
      {{{"View.Size", "5"}, {"View.Mode", "-1"}}, Stored(5, 0, false, false, false, "")},
      {{{"View.Mode", "0x1"}, {"View.AlwaysOnTop", "2"}}, Stored(1, 1, true, false, false, "")},
      {{{"View.AlwaysOnTop", "yes"}, {"Misc.SystemTray", "0"}}, Stored(1, 0, false, false, false, "")},
      {{{"View.Size", "99999999999"}, {"Misc.DisableScreenSaver", "\x01\xFF"}},
       Stored(1, 0, false, false, false, "")},
  };
  for (const TCase& Case : Cases) {
    TStoredSettings Got = DecodeSettings([&](const char* Section, const char* Key) {
      auto Found = Case.Keys.find(std::string(Section) + "." + Key);
      return Found == Case.Keys.end() ? std::string() : Found->second;
    });
    INFO("keys: ", Case.Keys.size(), " Size=", Case.Keys.count("View.Size") ? Case.Keys.at("View.Size") : "-");
    CHECK(Got.Size == Case.Expected.Size);
    CHECK(Got.Mode == Case.Expected.Mode);
    CHECK(Got.AlwaysOnTop == Case.Expected.AlwaysOnTop);
    CHECK(Got.DisableScreenSaver == Case.Expected.DisableScreenSaver);
    CHECK(Got.SystemTray == Case.Expected.SystemTray);
    CHECK(Got.LastDir == Case.Expected.LastDir);
  }
}
