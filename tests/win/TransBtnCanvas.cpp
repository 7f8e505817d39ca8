// The test canvas: a top-down 32-bit DIB section selected into a memory device context.
#include "tests/win/TransBtnCanvas.h"

#include <cstdio>

TTestCanvas::TTestCanvas(int Width, int Height, COLORREF Fill) : W(Width), H(Height) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof Info.bmiHeader;
  Info.bmiHeader.biWidth = W;
  Info.bmiHeader.biHeight = -H;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Pixels = nullptr;
  Bitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Pixels, nullptr, 0);
  Bits = static_cast<uint32_t*>(Pixels);
  Memory = CreateCompatibleDC(nullptr);
  OldBitmap = SelectObject(Memory, Bitmap);
  this->Fill({0, 0, W, H}, Fill);
}

TTestCanvas::~TTestCanvas() {
  SelectObject(Memory, OldBitmap);
  DeleteDC(Memory);
  DeleteObject(Bitmap);
}

COLORREF TTestCanvas::Pixel(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= W || Y >= H) return CLR_INVALID;
  GdiFlush();
  const uint32_t P = Bits[static_cast<size_t>(Y) * W + X];
  return RGB(P >> 16 & 0xFF, P >> 8 & 0xFF, P & 0xFF);
}

void TTestCanvas::Fill(const RECT& R, COLORREF Colour) {
  HBRUSH Brush = CreateSolidBrush(Colour);
  FillRect(Memory, &R, Brush);
  DeleteObject(Brush);
}

bool TTestCanvas::SaveBmp(const std::string& FileName) const {
  GdiFlush();
  const DWORD ImageBytes = static_cast<DWORD>(W) * H * 4;
  BITMAPFILEHEADER File{};
  BITMAPINFOHEADER Info{};
  Info.biSize = sizeof Info;
  Info.biWidth = W;
  Info.biHeight = -H;
  Info.biPlanes = 1;
  Info.biBitCount = 32;
  Info.biCompression = BI_RGB;
  File.bfType = 0x4D42;  // "BM"
  File.bfOffBits = sizeof File + sizeof Info;
  File.bfSize = File.bfOffBits + ImageBytes;
  FILE* Out = std::fopen(FileName.c_str(), "wb");
  if (!Out) return false;
  bool Ok = std::fwrite(&File, sizeof File, 1, Out) == 1 &&
            std::fwrite(&Info, sizeof Info, 1, Out) == 1 &&
            std::fwrite(Bits, ImageBytes, 1, Out) == 1;
  Ok = std::fclose(Out) == 0 && Ok;
  if (!Ok) std::remove(FileName.c_str());
  return Ok;
}

TCanvasArea::TCanvasArea(const TTestCanvas& Canvas, int X, int Y, int Width, int Height)
    : DC(Canvas.DC()), Saved(SaveDC(DC)) {
  SetViewportOrgEx(DC, X, Y, nullptr);
  IntersectClipRect(DC, 0, 0, Width, Height);
}

TCanvasArea::~TCanvasArea() { RestoreDC(DC, Saved); }
