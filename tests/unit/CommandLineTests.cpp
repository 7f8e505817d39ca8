// Splitting command lines into arguments.
#include <doctest.h>

#include <algorithm>
#include <iterator>

#include "app/CommandLine.h"

using Args = std::vector<std::string>;

TEST_CASE("plain and quoted arguments") {
  CHECK(CommandLineArguments("Quillo.exe a.viv b.viv") == Args{"a.viv", "b.viv"});
  CHECK(CommandLineArguments("\"C:\\Program Files\\Quillo.exe\" \"C:\\My Clips\\b c.viv\" x") ==
        Args{"C:\\My Clips\\b c.viv", "x"});
  CHECK(CommandLineArguments("q.exe http://host/x.viv") == Args{"http://host/x.viv"});
  // Quotes group anywhere inside an argument and are dropped.
  CHECK(CommandLineArguments("q.exe C:\\\"My Clips\"\\a.viv") == Args{"C:\\My Clips\\a.viv"});
  // An unclosed quote runs to the end of the line.
  CHECK(CommandLineArguments("q.exe \"open ended") == Args{"open ended"});
}

TEST_CASE("blanks, control characters and empty quotes separate") {
  CHECK(CommandLineArguments("q.exe \t a.viv\r\n\x01 b.viv  ") == Args{"a.viv", "b.viv"});
  CHECK(CommandLineArguments("q.exe a.viv \"\" b.viv") == Args{"a.viv", "b.viv"});
  CHECK(CommandLineArguments("q.exe \"\"\"\" a.viv") == Args{"a.viv"});
  CHECK(CommandLineArguments("q.exe \"\"").empty());
  CHECK(CommandLineArguments("q.exe").empty());
  CHECK(CommandLineArguments("").empty());
  // Only a leading pair is skipped; a pair inside an argument groups nothing.
  CHECK(CommandLineArguments("q.exe a\"\"b") == Args{"ab"});
}

TEST_CASE("a quoted blank is an argument of its own") {
  CHECK(CommandLineArguments("q.exe a \" \" b") == Args{"a", " ", "b"});
}

TEST_CASE("bytes above 127 belong to arguments, long arguments are kept whole") {
  CHECK(CommandLineArguments("q.exe caf\xE9.viv \xA0x") == Args{"caf\xE9.viv", "\xA0x"});
  std::string Long(3000, 'n');
  CHECK(CommandLineArguments("q.exe \"" + Long + " x\" y") == Args{Long + " x", "y"});
}

TEST_CASE("NextParam moves past each argument") {
  std::string Line = "prog  one \"two words\"";
  size_t Pos = 0;
  CHECK(NextParam(Line, Pos) == "prog");
  CHECK(NextParam(Line, Pos) == "one");
  CHECK(NextParam(Line, Pos) == "two words");
  CHECK(Pos == Line.size());
  CHECK(NextParam(Line, Pos).empty());
  // An embedded NUL ends the line.
  std::string WithNul("p a\0b", 5);
  Pos = 0;
  NextParam(WithNul, Pos);
  CHECK(NextParam(WithNul, Pos) == "a");
  CHECK(NextParam(WithNul, Pos).empty());
}

TEST_CASE("a later start's line: quoted back, cut to the block, read within its field") {
  // Quoting every token splits back to the same arguments, blanks and high bytes included.
  Args Arguments{"C:\\My Clips\\b c.viv", " ", "caf\xE9.viv", "http://host/x.viv?a=1&b"};
  CHECK(CommandLineArguments(QuotedCommandLine("C:\\Q uillo\\Quillo.exe", Arguments)) == Arguments);
  CHECK(CommandLineArguments(QuotedCommandLine("Quillo.exe", {})).empty());

  std::string Long = "q.exe " + std::string(2000, 'n');
  CHECK(HandOverLine(Long).size() == 1022);
  CHECK(HandOverLine("q.exe a") == "q.exe a");

  // A field with no NUL ends at its last byte; one with a NUL ends there.
  char Junk[1024];
  std::fill(std::begin(Junk), std::end(Junk), '\xFF');
  CHECK(FieldText(Junk, sizeof Junk) == std::string(1024, '\xFF'));
  Junk[7] = '\0';
  CHECK(FieldText(Junk, sizeof Junk) == std::string(7, '\xFF'));
  CHECK(FieldText(Junk + 7, 0).empty());
}
