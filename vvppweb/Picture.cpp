// The generated picture: scrolling colour bars and a block that moves with the frame number.
#include "vvppweb/Picture.h"

#include <cmath>

namespace {

constexpr uint32_t Bars[8] = {0xC0C0C0, 0xC0C000, 0x00C0C0, 0x00C000,
                              0xC000C0, 0xC00000, 0x0000C0, 0x101010};
constexpr uint32_t FramesPerCrossing = 64;

}  // namespace

uint32_t FrameAt(uint32_t Ms, double Fps) {
  return static_cast<uint32_t>(std::floor(static_cast<double>(Ms) * Fps / 1000.0));
}

std::vector<uint32_t> RenderFrame(int Width, int Height, uint32_t Frame) {
  if (Width <= 0 || Height <= 0) return {};
  std::vector<uint32_t> Pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height));
  uint32_t Step = Frame % FramesPerCrossing;
  // The bars move one sixty-fourth of the width a frame; the block crosses in the same time.
  int Shift = static_cast<int>(static_cast<int64_t>(Width) * Step / FramesPerCrossing);
  int BlockLeft = Shift;
  int BlockWidth = Width / 8 > 0 ? Width / 8 : 1;
  int BlockTop = Height * 3 / 8;
  int BlockBottom = Height * 5 / 8;
  for (int Y = 0; Y < Height; ++Y) {
    uint32_t* Row = &Pixels[static_cast<size_t>(Y) * static_cast<size_t>(Width)];
    bool InBlockRows = Y >= BlockTop && Y < BlockBottom;
    for (int X = 0; X < Width; ++X) {
      int Bar = static_cast<int>(static_cast<int64_t>((X + Width - Shift) % Width) * 8 / Width);
      bool InBlock = InBlockRows && X >= BlockLeft && X < BlockLeft + BlockWidth;
      Row[X] = InBlock ? 0xFFFFFF : Bars[Bar];
    }
  }
  return Pixels;
}
