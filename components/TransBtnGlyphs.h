// The button's glyph cells: reading a bitmap's pixels and preparing the image list.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "components/TransBtnPixels.h"

// The pixels of a bitmap (any colour depth), or an empty image when it cannot be read.
TPixelImage PixelsOfBitmap(HBITMAP Bitmap);

// A new 24-bit device-independent bitmap with these pixels; the caller deletes it.
HBITMAP BitmapOfPixels(const TPixelImage& Image);

// An empty masked list of 40 x 40 cells, as a new button starts with.
HIMAGELIST CreateGlyphCells();

// Refills Cells from Glyph: the NumGlyphs cells cut from the strip, then the gray image, then
// the embossed disabled image, each masked with its own bottom-left colour. An empty glyph
// leaves the list as it was.
void BuildGlyphCells(HIMAGELIST Cells, const TPixelImage& Glyph, int NumGlyphs);
