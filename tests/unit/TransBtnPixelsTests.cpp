// Gray, silhouette, emboss and cell cutting of the button's glyph images.
#include <doctest.h>

#include "components/TransBtnPixels.h"

namespace {

TPixelImage Row(std::initializer_list<TColorRef> Colours) {
  TPixelImage Image(static_cast<int>(Colours.size()), 1);
  Image.Pixels.assign(Colours);
  return Image;
}

constexpr TColorRef Face = MakeColor(192, 192, 192);
constexpr TColorRef Highlight = MakeColor(255, 255, 255);
constexpr TColorRef Shadow = MakeColor(128, 128, 128);

}  // namespace

TEST_CASE("MakeGray weighs red 11, green 59 and blue 30") {
  TPixelImage Image = Row({MakeColor(200, 0, 0), MakeColor(0, 200, 0), MakeColor(0, 0, 200),
                           MakeColor(10, 20, 30), PixelWhite, PixelBlack});
  MakeGray(Image, 11, 59, 30);
  // (110 + 1180 + 900) div 100 = 21: truncated, not rounded.
  CHECK(Image == Row({MakeColor(22, 22, 22), MakeColor(118, 118, 118), MakeColor(60, 60, 60),
                      MakeColor(21, 21, 21), PixelWhite, PixelBlack}));
}

TEST_CASE("MakeGray with other weights and with none") {
  TPixelImage Image = Row({MakeColor(1, 2, 4)});
  MakeGray(Image, 1, 1, 1);
  CHECK(Image.At(0, 0) == MakeColor(2, 2, 2));
  TPixelImage Same = Row({MakeColor(1, 2, 4)});
  MakeGray(Same, 0, 0, 0);
  CHECK(Same.At(0, 0) == MakeColor(1, 2, 4));
}

TEST_CASE("MakeSilhouette keeps the background and white as background, the rest black") {
  const TColorRef Green = MakeColor(0, 255, 0);
  TPixelImage Image = Row({Green, PixelWhite, MakeColor(255, 0, 0), MakeColor(254, 255, 255),
                           PixelBlack, Green});
  MakeSilhouette(Image);
  CHECK(Image == Row({Green, Green, PixelBlack, PixelBlack, PixelBlack, Green}));
}

TEST_CASE("Emboss engraves black pixels: highlight down-right, shadow in place") {
  TPixelImage Image(4, 4, PixelWhite);
  Image.At(0, 0) = PixelBlack;
  Image.At(1, 1) = PixelBlack;  // its highlight falls on (2, 2), which is black too
  Image.At(2, 2) = PixelBlack;
  Image.At(3, 0) = PixelBlack;  // highlight would be outside the image
  Image.At(1, 3) = PixelBlack;
  Emboss(Image, Face, Highlight, Shadow);

  TPixelImage Expected(4, 4, Face);
  Expected.At(0, 0) = Shadow;
  Expected.At(1, 1) = Shadow;
  Expected.At(2, 2) = Shadow;
  Expected.At(3, 3) = Highlight;
  Expected.At(3, 0) = Shadow;
  Expected.At(1, 3) = Shadow;
  CHECK(Image == Expected);
}

TEST_CASE("a silhouette embossed: white parts of the glyph vanish") {
  // Background green, a black outline with a white inside: only the outline is engraved.
  const TColorRef Green = MakeColor(0, 255, 0);
  TPixelImage Image(3, 3, Green);
  Image.At(1, 0) = MakeColor(255, 0, 0);
  Image.At(1, 1) = PixelWhite;
  MakeSilhouette(Image);
  Emboss(Image, Face, Highlight, Shadow);
  TPixelImage Expected(3, 3, Face);
  Expected.At(1, 0) = Shadow;
  Expected.At(2, 1) = Highlight;
  CHECK(Image == Expected);
}

TEST_CASE("cells are cut from the strip; columns beyond it take the transparent colour") {
  const TColorRef Key = MakeColor(255, 0, 255);
  TPixelImage Strip(5, 2, PixelWhite);
  for (int X = 0; X < 5; ++X) Strip.At(X, 0) = MakeColor(X, 0, 0);
  Strip.At(0, 1) = Key;
  CHECK(TransparentColorOf(Strip) == Key);

  TPixelImage Cell = CutCell(Strip, 2, 2);
  CHECK(Cell.Width == 2);
  CHECK(Cell.Height == 2);
  CHECK(Cell.At(0, 0) == MakeColor(2, 0, 0));
  CHECK(Cell.At(1, 0) == MakeColor(3, 0, 0));
  CHECK(Cell.At(0, 1) == PixelWhite);

  TPixelImage Beyond = CutCell(Strip, 4, 3);
  CHECK(Beyond.At(0, 0) == MakeColor(4, 0, 0));
  CHECK(Beyond.At(1, 0) == Key);
  CHECK(Beyond.At(2, 1) == Key);

  CHECK(TransparentColorOf(TPixelImage()) == PixelBlack);
}
