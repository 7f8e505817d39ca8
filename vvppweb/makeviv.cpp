// makeviv: writes a small generated Vivo file, for tests and the demo clip.
//   makeviv OUTPUT [WIDTH HEIGHT [DURATION_MS [FPS]]]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "vvppweb/MakeVivo.h"

namespace {

bool ParseNumber(const char* Text, long Low, long High, long& Value) {
  char* End = nullptr;
  Value = std::strtol(Text, &End, 10);
  return End != Text && *End == '\0' && Value >= Low && Value <= High;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4 && argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: makeviv OUTPUT [WIDTH HEIGHT [DURATION_MS [FPS]]]\n");
    return 2;
  }
  TMakeVivoOptions Options;
  long Value = 0;
  if (argc >= 4) {
    if (!ParseNumber(argv[2], 1, 4096, Value)) return std::fprintf(stderr, "makeviv: bad width %s\n", argv[2]), 2;
    Options.Width = static_cast<int>(Value);
    if (!ParseNumber(argv[3], 1, 4096, Value)) return std::fprintf(stderr, "makeviv: bad height %s\n", argv[3]), 2;
    Options.Height = static_cast<int>(Value);
  }
  if (argc >= 5) {
    if (!ParseNumber(argv[4], 0, 86400000, Value)) return std::fprintf(stderr, "makeviv: bad duration %s\n", argv[4]), 2;
    Options.DurationMs = static_cast<uint32_t>(Value);
  }
  if (argc >= 6) {
    if (!ParseNumber(argv[5], 1, 120, Value)) return std::fprintf(stderr, "makeviv: bad frame rate %s\n", argv[5]), 2;
    Options.Fps = static_cast<double>(Value);
  }
  std::ofstream Out(argv[1], std::ios::binary | std::ios::trunc);
  Out << MakeVivoFile(Options);
  Out.close();
  if (!Out) {
    std::fprintf(stderr, "makeviv: cannot write %s\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
