// A clip's packets on any bytes, through FFmpeg's demuxer and decoders as the control reads them:
// picture times move forward, every picture shown is one that is due and of a sane size, sound
// never comes longer than asked, and after a restart nothing is shown until it is asked for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "vvppweb/ClipMedia.h"
#include "vvppweb/VivoFile.h"

namespace {

void Require(bool Holds) {
  if (!Holds) std::abort();
}

void CheckPicture(const TPicture* Picture, uint32_t Ms) {
  if (!Picture) return;
  Require(Picture->Width > 0 && Picture->Width <= MaxPictureSide && Picture->Height > 0 &&
          Picture->Height <= MaxPictureSide);
  Require(Picture->Planes[0] && Picture->Planes[1] && Picture->Planes[2]);
  Require(Picture->Strides[0] >= Picture->Width && Picture->TimeMs <= Ms);
  // The last row of each plane can be read.
  volatile uint8_t Last = Picture->Planes[0][(Picture->Height - 1) * Picture->Strides[0] + Picture->Width - 1];
  (void)Last;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  auto Bytes = std::make_shared<const std::string>(reinterpret_cast<const char*>(Data), Size);
  TClipInfo Info;
  if (ParseVivoFile(*Bytes, Info) != 0 || Info.HeaderOnly()) return 0;
  int32_t Error = 0;
  std::unique_ptr<TClipMedia> Clip = TClipMedia::Open(Bytes, Info, Error);
  if (!Clip) {
    Require(Error != 0);
    return 0;
  }
  Require(Clip->HasPictures() || Clip->HasSound());
  const std::vector<uint32_t>& Times = Clip->Scan().PictureTimes;
  Require(std::adjacent_find(Times.begin(), Times.end(), std::greater_equal<uint32_t>()) == Times.end());

  // Play the first ten seconds at the picture rate, taking the sound as it comes.
  uint32_t End = std::min<uint32_t>(Clip->Scan().LengthMs, 10000);
  std::vector<int16_t> Sound(400);
  for (uint32_t Ms = 0; Ms <= End; Ms += 40) {
    Clip->ShowUpTo(Ms);
    CheckPicture(Clip->Shown(), Ms);
    Require(Clip->ReadSound(Sound.data(), Sound.size()) <= Sound.size());
  }
  Clip->Restart();
  Require(Clip->Shown() == nullptr);
  Clip->ShowUpTo(End);
  CheckPicture(Clip->Shown(), End);
  return 0;
}
