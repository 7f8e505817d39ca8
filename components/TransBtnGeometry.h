// Where the transparent button puts its glyph and caption, and which glyph cell it shows.
#pragma once

#include <cstdint>
#include <string_view>

enum TFrameStyle : uint8_t { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };

// The value names where the caption goes; the glyph goes to the opposite side.
enum TTextAlign : uint8_t {
  ttaTopLeft,
  ttaTop,
  ttaTopRight,
  ttaRight,
  ttaBottomRight,
  ttaBottom,
  ttaBottomLeft,
  ttaLeft,
  ttaCenter,
};

// A glyph strip holds one to four cells side by side.
using TNumGlyphs = uint8_t;
inline constexpr TNumGlyphs MinNumGlyphs = 1;
inline constexpr TNumGlyphs MaxNumGlyphs = 4;

// Pixels, right and bottom exclusive.
struct TBox {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr bool operator==(const TBox&) const = default;
};

struct TOffset {
  int DX = 0, DY = 0;
  constexpr bool operator==(const TOffset&) const = default;
};

// Width of one cell of a strip; a strip narrower than its cell count counts as one cell.
int GlyphCellWidth(int GlyphWidth, int NumGlyphs);

// The glyph's place in a W x H button; computed for an empty glyph too, since the caption is
// placed against it.
TBox GlyphBox(TTextAlign Align, int W, int H, int GlyphWidth, int GlyphHeight, int NumGlyphs,
              int Spacing);

// How far the caption's measured rectangle (tw x th at the origin) moves for Align.
TOffset CaptionOffset(TTextAlign Align, int W, int H, int TextWidth, int TextHeight,
                      const TBox& Glyph, int Spacing);

// A glyph whose width is k times its height is a strip of k cells (one when k > 4); any
// other shape keeps the current count.
TNumGlyphs NumGlyphsForGlyph(int GlyphWidth, int GlyphHeight, TNumGlyphs Current);

struct TCellChoice {
  int NumGlyphs = 1;
  bool Enabled = true;
  bool DrawPressed = false;
  TFrameStyle FrameStyle = fsExplorer;
  bool AutoGray = true;
  bool MouseInside = false;
  int CellCount = 0;  // cut cells, then the gray image, then the disabled image
};

// The image-list index to draw, or -1 when the list has no such cell.
int GlyphCellIndex(const TCellChoice& Choice);

// The mnemonic letter of a caption: the character after its first single "&" ("&&" draws a
// literal ampersand), or 0 when there is none.
char CaptionMnemonic(std::string_view Caption);
