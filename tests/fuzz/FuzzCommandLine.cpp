// The command-line splitter on any bytes: arguments are never empty, never hold a double quote
// or a NUL, and quoting them back splits to the same arguments; the hand-over line stays within
// its block.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/CommandLine.h"

namespace {
void Require(bool Holds) {
  if (!Holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::string Line(reinterpret_cast<const char*>(Data), Size);

  size_t Pos = 0, Before = 0;
  for (std::string Param = NextParam(Line, Pos); !Param.empty(); Param = NextParam(Line, Pos)) {
    Require(Pos > Before && Pos <= Line.size());
    Require(Param.find('"') == std::string::npos && Param.find('\0') == std::string::npos);
    Before = Pos;
  }

  std::vector<std::string> Arguments = CommandLineArguments(Line);
  Require(CommandLineArguments(QuotedCommandLine("C:\\Quillo\\Quillo.exe", Arguments)) == Arguments);
  Require(HandOverLine(Line).size() <= HandOverLineMax);
  Require(Line.compare(0, HandOverLine(Line).size(), HandOverLine(Line)) == 0);
  return 0;
}
