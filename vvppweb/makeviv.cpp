// makeviv: writes Vivo clips, for the tests, the benchmarks and the demo clip.
//   makeviv [--header-only | --pattern NAME] OUTPUT [WIDTH HEIGHT [DURATION_MS [FPS]]]
//   makeviv --corpus FOLDER
//   makeviv --fill CLIP BYTES OUTPUT   CLIP's media again and again, to exactly BYTES
// A clip has the demo picture and tone coded with libavcodec's H.263 and G.723.1 encoders; the
// Windows build has no encoders, and writes clips of a header only, which the control shows
// with its generated picture. --pattern codes one of the timing patterns of BenchClips.h
// instead of the demo; --corpus writes the test clips of MakeCorpus.h.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "vvppweb/MakeVivo.h"
#ifdef QUILLO_ENCODERS
#include "vvppweb/BenchClips.h"
#include "vvppweb/ClipEncoder.h"
#include "vvppweb/MakeCorpus.h"
#endif

namespace {

bool ParseNumber(const char* Text, long Low, long High, long& Value) {
  char* End = nullptr;
  Value = std::strtol(Text, &End, 10);
  return End != Text && *End == '\0' && Value >= Low && Value <= High;
}

// Writes Bytes to Name whole, or leaves no file.
bool WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream Out(Name, std::ios::binary | std::ios::trunc);
  Out << Bytes;
  Out.close();
  if (Out) return true;
  std::fprintf(stderr, "makeviv: cannot write %s\n", Name.c_str());
  std::remove(Name.c_str());
  return false;
}

int Usage() {
  std::fprintf(stderr,
               "usage: makeviv [--header-only | --pattern flash|alternate|tones|turn] OUTPUT [WIDTH HEIGHT [DURATION_MS [FPS]]]\n"
               "       makeviv --corpus FOLDER\n"
               "       makeviv --fill CLIP BYTES OUTPUT\n");
  return 2;
}

}  // namespace

// A clip of exactly Bytes bytes: Clip's media repeated, the rest filled with text packets.
int Fill(const char* Clip, const char* Bytes, const char* Output) {
  long Size = 0;
  if (!ParseNumber(Bytes, 1, 1l << 30, Size)) return std::fprintf(stderr, "makeviv: bad size %s\n", Bytes), 2;
  std::ifstream In(Clip, std::ios::binary);
  std::ostringstream Read;
  Read << In.rdbuf();
  const std::string Source = Read.str();
  try {
    size_t Copies = static_cast<size_t>(Size) / std::max<size_t>(Source.size(), 1);
    return WriteFile(Output, RepeatMedia(Source, Copies > 0 ? Copies - 1 : 0, static_cast<size_t>(Size))) ? 0 : 1;
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "makeviv: %s: %s\n", Clip, Error.what());
    return 2;
  }
}

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "--fill") == 0) return Fill(argv[2], argv[3], argv[4]);
  int First = 1;
#ifdef QUILLO_ENCODERS
  bool HeaderOnly = false;
  TClipOptions Clip;
  if (argc > 2 && std::strcmp(argv[1], "--pattern") == 0) {
    if (!SetBenchPattern(argv[2], Clip)) return std::fprintf(stderr, "makeviv: no pattern %s\n", argv[2]), 2;
    First = 3;
  }
  if (argc == 3 && std::strcmp(argv[1], "--corpus") == 0) {
    try {
      for (const auto& [Name, Bytes] : MakeCorpus())
        if (!WriteFile(std::string(argv[2]) + "/" + Name, Bytes)) return 1;
    } catch (const std::exception& Error) {
      std::fprintf(stderr, "makeviv: %s\n", Error.what());
      return 1;
    }
    return 0;
  }
#else
  const bool HeaderOnly = true;
#endif
  if (First == 1 && argc > 1 && std::strcmp(argv[1], "--header-only") == 0) {
#ifdef QUILLO_ENCODERS
    HeaderOnly = true;
#endif
    First = 2;
  }
  int Args = argc - First;
  if (Args != 1 && Args != 3 && Args != 4 && Args != 5) return Usage();
  TMakeVivoOptions Options;
  long Value = 0;
  const char* Output = argv[First];
  if (Args >= 3) {
    if (!ParseNumber(argv[First + 1], 1, 4096, Value)) return std::fprintf(stderr, "makeviv: bad width %s\n", argv[First + 1]), 2;
    Options.Width = static_cast<int>(Value);
    if (!ParseNumber(argv[First + 2], 1, 4096, Value)) return std::fprintf(stderr, "makeviv: bad height %s\n", argv[First + 2]), 2;
    Options.Height = static_cast<int>(Value);
  }
  if (Args >= 4) {
    if (!ParseNumber(argv[First + 3], 0, 86400000, Value)) return std::fprintf(stderr, "makeviv: bad duration %s\n", argv[First + 3]), 2;
    Options.DurationMs = static_cast<uint32_t>(Value);
  }
  if (Args >= 5) {
    if (!ParseNumber(argv[First + 4], 1, 120, Value)) return std::fprintf(stderr, "makeviv: bad frame rate %s\n", argv[First + 4]), 2;
    Options.Fps = static_cast<double>(Value);
  }
  if (HeaderOnly) return WriteFile(Output, MakeVivoFile(Options)) ? 0 : 1;
#ifdef QUILLO_ENCODERS
  Clip.Width = Options.Width;
  Clip.Height = Options.Height;
  Clip.DurationMs = Options.DurationMs;
  Clip.Fps = Options.Fps;
  try {
    return WriteFile(Output, MakeDemoClip(Clip)) ? 0 : 1;
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "makeviv: %s\n", Error.what());
    return 2;
  }
#endif
}
