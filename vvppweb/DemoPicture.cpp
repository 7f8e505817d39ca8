// Drawing the demo clip's picture and sound.
#include "vvppweb/DemoPicture.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double Pi = 3.14159265358979323846;
constexpr uint32_t Bars[8] = {0xC0C0C0, 0xC0C000, 0x00C0C0, 0x00C000, 0xC000C0, 0xC00000, 0x0000C0, 0x101010};
// Segments a to g of a seven-segment digit, one bit each (a = bit 0).
constexpr uint8_t Segments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

int DigitWidth(int H) { return std::max(3, H * 11 / 20); }
int Gap(int H) { return std::max(2, H / 5); }
int Stroke(int H) { return std::max(1, H / 8); }

struct TCanvas {
  int Width, Height;
  std::vector<uint32_t>& Pixels;
  void Fill(int Left, int Top, int Right, int Bottom, uint32_t Colour) {
    Left = std::max(Left, 0);
    Top = std::max(Top, 0);
    Right = std::min(Right, Width);
    Bottom = std::min(Bottom, Height);
    for (int Y = Top; Y < Bottom; ++Y)
      std::fill(Pixels.begin() + Y * Width + Left, Pixels.begin() + Y * Width + std::max(Left, Right), Colour);
  }
  // A digit of H pixels high at Left, Top; its width is about half its height.
  int Digit(int Left, int Top, int H, int Value, uint32_t Colour) {
    int W = DigitWidth(H), T = Stroke(H), Mid = Top + (H - T) / 2;
    uint8_t On = Segments[Value % 10];
    if (On & 0x01) Fill(Left, Top, Left + W, Top + T, Colour);
    if (On & 0x02) Fill(Left + W - T, Top, Left + W, Mid + T, Colour);
    if (On & 0x04) Fill(Left + W - T, Mid, Left + W, Top + H, Colour);
    if (On & 0x08) Fill(Left, Top + H - T, Left + W, Top + H, Colour);
    if (On & 0x10) Fill(Left, Mid, Left + T, Top + H, Colour);
    if (On & 0x20) Fill(Left, Top, Left + T, Mid + T, Colour);
    if (On & 0x40) Fill(Left, Mid, Left + W, Mid + T, Colour);
    return W + Gap(H);
  }
  int Dot(int Left, int Top, int H, uint32_t Colour) {
    int T = Stroke(H);
    Fill(Left, Top + H - T, Left + T, Top + H, Colour);
    return T + Gap(H);
  }
  int Colon(int Left, int Top, int H, uint32_t Colour) {
    int T = Stroke(H);
    Fill(Left, Top + H / 3 - T / 2, Left + T, Top + H / 3 - T / 2 + T, Colour);
    Fill(Left, Top + H * 2 / 3 - T / 2, Left + T, Top + H * 2 / 3 - T / 2 + T, Colour);
    return T + Gap(H);
  }
};

}  // namespace

std::vector<uint32_t> DemoPicture(int Width, int Height, uint32_t Ms, uint32_t Number) {
  if (Width <= 0 || Height <= 0) return {};
  std::vector<uint32_t> Pixels(static_cast<size_t>(Width) * static_cast<size_t>(Height));
  TCanvas Canvas{Width, Height, Pixels};
  // A dark blue to purple gradient, the colour bars along the bottom.
  int BarTop = Height * 7 / 8;
  for (int Y = 0; Y < BarTop; ++Y) {
    uint32_t Red = static_cast<uint32_t>(20 + 90 * Y / std::max(1, BarTop));
    Canvas.Fill(0, Y, Width, Y + 1, (Red << 16) | (30 << 8) | 110);
  }
  for (int Bar = 0; Bar < 8; ++Bar) Canvas.Fill(Width * Bar / 8, BarTop, Width * (Bar + 1) / 8, Height, Bars[Bar]);

  // The clock, minutes:seconds.tenths, across the middle.
  uint32_t Tenths = Ms / 100;
  int H = std::max(7, std::min(Height * 3 / 10, Width * 18 / 100));
  int Top = (BarTop - H) / 2;
  int Left = (Width - 5 * (DigitWidth(H) + Gap(H)) - 2 * (Stroke(H) + Gap(H))) / 2;
  uint32_t Yellow = 0xFFE040;
  Left += Canvas.Digit(Left, Top, H, static_cast<int>(Tenths / 6000 % 10), Yellow);
  Left += Canvas.Digit(Left, Top, H, static_cast<int>(Tenths / 600 % 10), Yellow);
  Left += Canvas.Colon(Left, Top, H, Yellow);
  Left += Canvas.Digit(Left, Top, H, static_cast<int>(Tenths / 100 % 6), Yellow);
  Left += Canvas.Digit(Left, Top, H, static_cast<int>(Tenths / 10 % 10), Yellow);
  Left += Canvas.Dot(Left, Top, H, Yellow);
  Canvas.Digit(Left, Top, H, static_cast<int>(Tenths % 10), Yellow);

  // The picture's number, small, top left.
  int Small = std::max(5, Height / 10);
  int NumberLeft = std::max(2, Width / 40);
  for (uint32_t Power = 1000; Power > 0; Power /= 10)
    NumberLeft += Canvas.Digit(NumberLeft, std::max(2, Height / 30), Small, static_cast<int>(Number / Power % 10), 0xE0E0E0);

  // The dot, once round the clock a second, on an ellipse around the digits.
  double Angle = 2 * Pi * (Ms % 1000) / 1000.0;
  int Size = std::max(3, Height / 16);
  double RadiusX = Width * 0.45 - Size, RadiusY = BarTop * 0.5 - Size;
  int CentreX = Width / 2 + static_cast<int>(std::lround(RadiusX * std::sin(Angle)));
  int CentreY = BarTop / 2 - static_cast<int>(std::lround(RadiusY * std::cos(Angle)));
  Canvas.Fill(CentreX - Size / 2, CentreY - Size / 2, CentreX - Size / 2 + Size, CentreY - Size / 2 + Size, 0xFFFFFF);
  return Pixels;
}

int16_t DemoTone(uint64_t Sample, uint32_t Rate) {
  double Seconds = static_cast<double>(Sample) / Rate;
  double Within = Seconds - std::floor(Seconds);
  double Value = Within < 0.1 ? 0.45 * std::sin(2 * Pi * 880 * Seconds) : 0.25 * std::sin(2 * Pi * 440 * Seconds);
  return static_cast<int16_t>(std::lround(Value * 32767));
}
