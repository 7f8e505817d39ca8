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
constexpr TColorRef Green = MakeColor(0, 255, 0);

}  // namespace

TEST_CASE("MakeGray weighs red 11, green 59 and blue 30, truncating") {
  TPixelImage Image = Row({MakeColor(200, 0, 0), MakeColor(0, 0, 200), MakeColor(10, 20, 30)});
  MakeGray(Image, 11, 59, 30);
  CHECK(Image == Row({MakeColor(22, 22, 22), MakeColor(60, 60, 60), MakeColor(21, 21, 21)}));
  MakeGray(Image, 0, 0, 0);  // no weights: left alone
  CHECK(Image.At(0, 0) == MakeColor(22, 22, 22));
}

TEST_CASE("MakeSilhouette keeps the background and white as background, the rest black") {
  TPixelImage Image = Row({Green, PixelWhite, MakeColor(254, 255, 255), PixelBlack, Green});
  MakeSilhouette(Image);
  CHECK(Image == Row({Green, Green, PixelBlack, PixelBlack, Green}));
}

TEST_CASE("Emboss: highlight one pixel down-right of each black pixel, then shadow on it") {
  TPixelImage Image(4, 4, PixelWhite);
  Image.At(1, 1) = PixelBlack;  // its highlight falls on (2, 2), black too: shadow wins
  Image.At(2, 2) = PixelBlack;
  Image.At(3, 0) = PixelBlack;  // its highlight would fall outside
  Emboss(Image, Face, Highlight, Shadow);
  TPixelImage Expected(4, 4, Face);
  Expected.At(1, 1) = Expected.At(2, 2) = Expected.At(3, 0) = Shadow;
  Expected.At(3, 3) = Highlight;
  CHECK(Image == Expected);
}

TEST_CASE("cells are cut from the strip; columns beyond it take the transparent colour") {
  TPixelImage Strip(5, 2, PixelWhite);
  for (int X = 0; X < 5; ++X) Strip.At(X, 0) = MakeColor(X, 0, 0);
  Strip.At(0, 1) = Green;
  CHECK(TransparentColorOf(Strip) == Green);
  const TPixelImage Cell = CutCell(Strip, 3, 3);
  CHECK(Cell.At(0, 0) == MakeColor(3, 0, 0));
  CHECK(Cell.At(1, 0) == MakeColor(4, 0, 0));
  CHECK(Cell.At(2, 0) == Green);
  CHECK(Cell.At(2, 1) == Green);
  CHECK(Cell.At(0, 1) == PixelWhite);
}
