// Gray, silhouette and emboss, pixel by pixel, for the button's derived glyph images.
#include "components/TransBtnPixels.h"

#include <algorithm>
#include <utility>

TPixelImage::TPixelImage(int Width, int Height, TColorRef Fill)
    : Width(Width > 0 ? Width : 0),
      Height(Height > 0 ? Height : 0),
      Pixels(static_cast<size_t>(this->Width) * this->Height, Fill) {}

TColorRef TransparentColorOf(const TPixelImage& Image) {
  return Image.Empty() ? PixelBlack : Image.At(0, Image.Height - 1);
}

TPixelImage CutCell(const TPixelImage& Image, int Left, int Width) {
  TPixelImage Cell(Width, Image.Height, TransparentColorOf(Image));
  for (int Y = 0; Y < Cell.Height; ++Y) {
    for (int X = 0; X < Cell.Width; ++X) {
      const int64_t SourceX = int64_t{Left} + X;
      if (SourceX >= 0 && SourceX < Image.Width)
        Cell.At(X, Y) = Image.At(static_cast<int>(SourceX), Y);
    }
  }
  return Cell;
}

void MakeGray(TPixelImage& Image, int WeightRed, int WeightGreen, int WeightBlue) {
  const int64_t Total = int64_t{WeightRed} + WeightGreen + WeightBlue;
  if (Total == 0) return;
  for (TColorRef& P : Image.Pixels) {
    const int64_t Sum = int64_t{WeightRed} * RedOf(P) + int64_t{WeightGreen} * GreenOf(P) +
                        int64_t{WeightBlue} * BlueOf(P);
    const auto V = static_cast<uint8_t>(std::clamp<int64_t>(Sum / Total, 0, 255));
    P = MakeColor(V, V, V);
  }
}

void MakeSilhouette(TPixelImage& Image) {
  if (Image.Empty()) return;
  const TColorRef Background = Image.At(0, 0);
  for (TColorRef& P : Image.Pixels)
    P = (P == PixelWhite || P == Background) ? Background : PixelBlack;
}

void Emboss(TPixelImage& Image, TColorRef Face, TColorRef Highlight, TColorRef Shadow) {
  TPixelImage Result(Image.Width, Image.Height, Face);
  for (int Y = 0; Y < Image.Height; ++Y) {
    for (int X = 0; X < Image.Width; ++X) {
      if (Image.At(X, Y) == PixelBlack && X + 1 < Image.Width && Y + 1 < Image.Height) {
        Result.At(X + 1, Y + 1) = Highlight;
      }
    }
  }
  for (size_t I = 0; I < Image.Pixels.size(); ++I) {
    if (Image.Pixels[I] == PixelBlack) Result.Pixels[I] = Shadow;
  }
  Image = std::move(Result);
}
