// Black and white pictures and a beep on the second, for measuring presentation timing; pictures
// that turn from one colour to another, for looking at a copy in a browser.
#include "vvppweb/BenchClips.h"

#include <cmath>

namespace {

constexpr uint32_t White = 0xFFFFFF;

std::vector<uint32_t> Plain(int Width, int Height, bool Light) {
  return std::vector<uint32_t>(static_cast<size_t>(Width) * static_cast<size_t>(Height), Light ? White : 0);
}

// Ms is the picture's time rounded to the millisecond, so a picture on a full second has it exact.
std::vector<uint32_t> FlashPicture(int Width, int Height, uint32_t Ms, uint32_t) {
  return Plain(Width, Height, Ms > 0 && Ms % 1000 == 0);
}

int16_t FlashSound(uint64_t Sample, uint32_t Rate) {
  uint64_t Within = Sample % Rate;
  if (Sample < Rate || Within >= uint64_t{Rate} * BenchBeepMs / 1000) return 0;
  return static_cast<int16_t>(std::lround(0.5 * 32767 * std::sin(2 * 3.14159265358979323846 * BenchBeepHz * Within / Rate)));
}

std::vector<uint32_t> AlternatePicture(int Width, int Height, uint32_t, uint32_t Number) {
  return Plain(Width, Height, Number % 2 == 1);
}

int16_t Silence(uint64_t, uint32_t) { return 0; }

// Black for half a second, so the probe sees the picture turn white once the player's window is
// surely up, then white.
std::vector<uint32_t> LaterWhitePicture(int Width, int Height, uint32_t Ms, uint32_t) {
  return Plain(Width, Height, Ms >= 500);
}

// 1000 Hz for the first 0.2 s, 440 Hz to 1.8 s, 1000 Hz to 2 s, then silence.
int16_t TonesSound(uint64_t Sample, uint32_t Rate) {
  if (Sample >= 2 * uint64_t{Rate}) return 0;
  bool Ends = Sample < Rate / 5 || Sample >= 2 * uint64_t{Rate} - Rate / 5;
  double Hz = Ends ? 1000 : 440;
  return static_cast<int16_t>(std::lround(0.5 * 32767 * std::sin(2 * 3.14159265358979323846 * Hz * Sample / Rate)));
}

std::vector<uint32_t> TurnPicture(int Width, int Height, uint32_t Ms, uint32_t) {
  return std::vector<uint32_t>(static_cast<size_t>(Width) * static_cast<size_t>(Height),
                               Ms < TurnMs ? TurnBefore : TurnAfter);
}

}  // namespace

bool SetBenchPattern(const std::string& Name, TClipOptions& Options) {
  if (Name == "flash") {
    Options.DrawPicture = FlashPicture;
    Options.SoundSample = FlashSound;
  } else if (Name == "alternate") {
    Options.DrawPicture = AlternatePicture;
    Options.SoundSample = Silence;
  } else if (Name == "tones") {
    Options.DrawPicture = LaterWhitePicture;
    Options.SoundSample = TonesSound;
  } else if (Name == "turn") {
    Options.DrawPicture = TurnPicture;
    Options.SoundSample = DemoTone;
  } else {
    return false;
  }
  Options.Fields = "Title:" + Name + "\r\nAuthor:makeviv\r\n";
  return true;
}
