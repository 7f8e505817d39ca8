// Cutting the glyph strip into masked cells and deriving the gray and disabled images.
#include "components/TransBtnGlyphs.h"

#include "components/TransBtnGeometry.h"
#include "components/TransBtnPaint.h"
#include "toolkit/Graphics.h"

namespace {

// Device-independent pixels are stored blue, green, red; ours are red first.
TColorRef FromDib(uint32_t Pixel) {
  return MakeColor(Pixel >> 16 & 0xFF, Pixel >> 8 & 0xFF, Pixel & 0xFF);
}

BITMAPINFO TopDown32(int Width, int Height) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof Info.bmiHeader;
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  return Info;
}

void AddMasked(HIMAGELIST Cells, const TPixelImage& Image) {
  TGdiObject<HBITMAP> Bitmap(BitmapOfPixels(Image));
  if (!Bitmap) return;
  ImageList_AddMasked(Cells, Bitmap.Get(), TransparentColorOf(Image));
}

}  // namespace

TPixelImage PixelsOfBitmap(HBITMAP Bitmap) {
  BITMAP Header;
  if (!Bitmap || GetObjectA(Bitmap, sizeof Header, &Header) == 0) return {};
  if (Header.bmWidth <= 0 || Header.bmHeight <= 0) return {};
  TPixelImage Image(Header.bmWidth, Header.bmHeight);
  std::vector<uint32_t> Raw(Image.Pixels.size());
  BITMAPINFO Info = TopDown32(Image.Width, Image.Height);
  const int Lines = GetDIBits(TWindowDC().Get(), Bitmap, 0, Image.Height, Raw.data(), &Info, DIB_RGB_COLORS);
  if (Lines != Image.Height) return {};
  for (size_t I = 0; I < Raw.size(); ++I) Image.Pixels[I] = FromDib(Raw[I]);
  return Image;
}

HBITMAP BitmapOfPixels(const TPixelImage& Image) {
  if (Image.Empty()) return nullptr;
  BITMAPINFO Info = TopDown32(Image.Width, Image.Height);
  Info.bmiHeader.biBitCount = 24;
  void* Bits = nullptr;
  HBITMAP Bitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!Bitmap) return nullptr;
  // Rows of a 24-bit image are padded to four bytes.
  const size_t Stride = (static_cast<size_t>(Image.Width) * 3 + 3) & ~size_t{3};
  auto* Row = static_cast<uint8_t*>(Bits);
  for (int Y = 0; Y < Image.Height; ++Y, Row += Stride) {
    for (int X = 0; X < Image.Width; ++X) {
      const TColorRef P = Image.At(X, Y);
      Row[3 * X] = BlueOf(P);
      Row[3 * X + 1] = GreenOf(P);
      Row[3 * X + 2] = RedOf(P);
    }
  }
  GdiFlush();
  return Bitmap;
}

HIMAGELIST CreateGlyphCells() { return ImageList_Create(40, 40, ILC_COLOR24 | ILC_MASK, 0, 4); }

void BuildGlyphCells(HIMAGELIST Cells, const TPixelImage& Glyph, int NumGlyphs) {
  if (Glyph.Empty() || !Cells) return;
  const int CellWidth = GlyphCellWidth(Glyph.Width, NumGlyphs);
  // Setting the cell size empties the list.
  ImageList_SetIconSize(Cells, CellWidth, Glyph.Height);
  const TButtonColors Colors = TButtonColors::System();
  TPixelImage Gray, Disabled;
  for (int I = 0; I < NumGlyphs; ++I) {
    const TPixelImage Cell = CutCell(Glyph, I * CellWidth, CellWidth);
    if (I == 0) {
      Gray = Cell;
      MakeGray(Gray, 11, 59, 30);
      Disabled = Cell;
      MakeSilhouette(Disabled);
      Emboss(Disabled, Colors.Face, Colors.Highlight, Colors.Shadow);
    }
    AddMasked(Cells, Cell);
  }
  AddMasked(Cells, Gray);
  AddMasked(Cells, Disabled);
}
