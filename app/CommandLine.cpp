// Command-line splitting.
#include "app/CommandLine.h"

namespace {

unsigned char At(std::string_view Line, size_t Pos) {
  return Pos < Line.size() ? static_cast<unsigned char>(Line[Pos]) : 0;
}

}  // namespace

std::string NextParam(std::string_view Line, size_t& Pos) {
  for (;;) {
    while (At(Line, Pos) >= 1 && At(Line, Pos) <= 32) ++Pos;
    if (At(Line, Pos) == '"' && At(Line, Pos + 1) == '"')
      Pos += 2;
    else
      break;
  }
  std::string Param;
  while (At(Line, Pos) > 32) {
    if (At(Line, Pos) == '"') {
      ++Pos;
      while (At(Line, Pos) != 0 && At(Line, Pos) != '"') Param += Line[Pos++];
      if (At(Line, Pos) == '"') ++Pos;
    } else {
      Param += Line[Pos++];
    }
  }
  return Param;
}

std::vector<std::string> CommandLineArguments(std::string_view Line) {
  size_t Pos = 0;
  NextParam(Line, Pos);
  std::vector<std::string> Args;
  for (std::string Arg = NextParam(Line, Pos); !Arg.empty(); Arg = NextParam(Line, Pos))
    Args.push_back(Arg);
  return Args;
}

std::string QuotedCommandLine(const std::string& Program, const std::vector<std::string>& Arguments) {
  std::string Line = '"' + Program + '"';
  for (const std::string& Argument : Arguments) Line += " \"" + Argument + '"';
  return Line;
}

std::string HandOverLine(std::string_view Line) {
  return std::string(Line.substr(0, HandOverLineMax));
}

std::string FieldText(const char* Field, size_t Capacity) {
  size_t Length = 0;
  while (Length < Capacity && Field[Length] != '\0') ++Length;
  return std::string(Field, Length);
}
