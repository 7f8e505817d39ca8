// A memory bitmap the button tests and the gallery paint into and read pixels back from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class TTestCanvas {
public:
  TTestCanvas(int Width, int Height, COLORREF Fill);
  ~TTestCanvas();
  TTestCanvas(const TTestCanvas&) = delete;
  TTestCanvas& operator=(const TTestCanvas&) = delete;

  HDC DC() const { return Memory; }
  int Width() const { return W; }
  int Height() const { return H; }
  COLORREF Pixel(int X, int Y) const;
  void Fill(const RECT& R, COLORREF Colour);
  // Writes the picture as a 32-bit .bmp file; false when the file cannot be written.
  bool SaveBmp(const std::string& FileName) const;

private:
  int W, H;
  HDC Memory;
  HBITMAP Bitmap;
  HGDIOBJ OldBitmap;
  uint32_t* Bits = nullptr;
};

// Paints into the canvas with the origin at (X, Y), clipped to a Width x Height area there,
// until it goes out of scope.
class TCanvasArea {
public:
  TCanvasArea(const TTestCanvas& Canvas, int X, int Y, int Width, int Height);
  ~TCanvasArea();
  TCanvasArea(const TCanvasArea&) = delete;
  TCanvasArea& operator=(const TCanvasArea&) = delete;

private:
  HDC DC;
  int Saved;
};
