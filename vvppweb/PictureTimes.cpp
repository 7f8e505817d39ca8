// Picture times from the FPS header and the H.263 temporal references.
#include "vvppweb/PictureTimes.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double TrHz = 30000.0 / 1001.0;
// Without an FPS header and without usable TRs, pictures come at the rate most clips have.
constexpr double FallbackFps = 15.0;

}  // namespace

int TemporalReference(const uint8_t* Data, size_t Size) {
  // Picture start code: 22 bits 0000 0000 0000 0000 1000 00, then the 8 bits of the TR.
  if (!Data || Size < 4) return -1;
  if (Data[0] != 0 || Data[1] != 0 || (Data[2] & 0xFC) != 0x80) return -1;
  return ((Data[2] & 0x03) << 6) | (Data[3] >> 2);
}

TPictureTimes::TPictureTimes(double HeaderFps) {
  if (HeaderFps > 0) {
    FrameMs = 1000.0 / HeaderFps;
    TrPerFrame = TrHz / HeaderFps;
    NoTrSlots = 1;
  } else {
    FrameMs = 1000.0 / TrHz;
    TrPerFrame = 1.0;
    NoTrSlots = static_cast<uint64_t>(std::llround(TrHz / FallbackFps));
  }
  // A step of more than eight frames and more than two seconds is more likely a broken TR than
  // a real pause; the TR wraps after 256 counts anyway.
  MaxStep = std::clamp(static_cast<int>(std::ceil(TrPerFrame * 8)), 60, 255);
}

uint64_t TPictureTimes::Next(int Tr) {
  if (First) {
    First = false;
    LastTr = Tr;
    return 0;
  }
  int Step = Tr >= 0 && LastTr >= 0 ? (Tr - LastTr + 256) % 256 : 0;
  if (Step == 0 || Step > MaxStep) {
    // No TR step to go by: the header's rate, and later steps measured from this picture.
    Slot += NoTrSlots;
    BaseSlot = Slot;
    TrSinceBase = 0;
  } else {
    TrSinceBase += static_cast<uint64_t>(Step);
    auto Wanted = BaseSlot + static_cast<uint64_t>(std::llround(static_cast<double>(TrSinceBase) / TrPerFrame));
    Slot = std::max(Slot + 1, Wanted);
  }
  LastTr = Tr;
  return static_cast<uint64_t>(std::llround(static_cast<double>(Slot) * FrameMs));
}

std::vector<uint64_t> PictureTimesOf(double HeaderFps, const std::vector<int>& Trs) {
  TPictureTimes Times(HeaderFps);
  std::vector<uint64_t> Result;
  for (int Tr : Trs) Result.push_back(Times.Next(Tr));
  return Result;
}
