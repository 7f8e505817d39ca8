// A Vivo file's text header on any bytes: a header that reads has values within their limits, and
// one that does not leaves what the caller had untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "vvppweb/VivoFile.h"

namespace {
void Require(bool Holds) {
  if (!Holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::string Bytes(reinterpret_cast<const char*>(Data), Size);
  TClipInfo Info;
  Info.Version = "untouched";
  int32_t Result = ParseVivoFile(Bytes, Info);
  if (Result != 0) {
    Require(Result == VivoNotAClip || Result == VivoTruncated || Result == VivoBadHeader ||
            Result == VivoTooLarge);
    Require(Info.Version == "untouched");
    return 0;
  }
  Require(LooksLikeVivoFile(Bytes));
  Require(!IsCommandFile(Bytes));
  Require(Info.Width > 0 && Info.Width <= MaxPictureSide && Info.Height > 0 &&
          Info.Height <= MaxPictureSide);
  Require(Info.DurationMs <= MaxDurationMs && Info.Fps > 0 && Info.Fps <= MaxFps);
  Require(Info.Version.size() > 5);
  return 0;
}
