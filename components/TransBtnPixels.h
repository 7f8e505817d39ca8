// Pixel operations behind the button's gray and embossed disabled glyph images.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A colour laid out like a Win32 COLORREF: red in the low byte, then green, then blue.
using TColorRef = uint32_t;

constexpr TColorRef MakeColor(uint8_t R, uint8_t G, uint8_t B) {
  return TColorRef{R} | TColorRef{G} << 8 | TColorRef{B} << 16;
}
constexpr uint8_t RedOf(TColorRef C) { return C & 0xFF; }
constexpr uint8_t GreenOf(TColorRef C) { return C >> 8 & 0xFF; }
constexpr uint8_t BlueOf(TColorRef C) { return C >> 16 & 0xFF; }

inline constexpr TColorRef PixelBlack = MakeColor(0, 0, 0);
inline constexpr TColorRef PixelWhite = MakeColor(255, 255, 255);

// Rows top to bottom, each left to right.
struct TPixelImage {
  int Width = 0;
  int Height = 0;
  std::vector<TColorRef> Pixels;

  TPixelImage() = default;
  TPixelImage(int Width, int Height, TColorRef Fill = PixelBlack);
  bool Empty() const { return Width <= 0 || Height <= 0; }
  TColorRef& At(int X, int Y) { return Pixels[static_cast<size_t>(Y) * Width + X]; }
  TColorRef At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * Width + X]; }
  bool operator==(const TPixelImage&) const = default;
};

// The colour a masked copy leaves out: the bottom-left pixel's.
TColorRef TransparentColorOf(const TPixelImage& Image);

// The rectangle (Left, 0)-(Left + Width, Image.Height); columns beyond the image take its
// transparent colour, so they stay invisible when drawn masked.
TPixelImage CutCell(const TPixelImage& Image, int Left, int Width);

// Every pixel becomes gray (v, v, v), v = (wr R + wg G + wb B) div (wr + wg + wb).
void MakeGray(TPixelImage& Image, int WeightRed, int WeightGreen, int WeightBlue);

// White pixels and those of the top-left pixel's colour become that colour; all else black.
void MakeSilhouette(TPixelImage& Image);

// A Face-coloured image with every black pixel of Image engraved: Highlight one pixel right
// and down of it, then Shadow in its place.
void Emboss(TPixelImage& Image, TColorRef Face, TColorRef Highlight, TColorRef Shadow);
