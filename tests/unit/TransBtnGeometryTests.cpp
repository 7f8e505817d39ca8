// The transparent button's glyph box, caption offsets, cell choice and mnemonic.
#include <doctest.h>

#include <climits>

#include "components/TransBtnGeometry.h"

TEST_CASE("glyph box and caption offset for every alignment") {
  // A 60 x 40 button, a three-cell 48 x 16 strip (16 x 16 cells), a 21 x 13 caption, spacing 3.
  // Centred halves truncate apart: 60 div 2 - 21 div 2 = 20, where (60 - 21) div 2 is 19.
  struct Case {
    TTextAlign Align;
    TBox Glyph;
    TOffset Caption;
  };
  const Case Cases[] = {
      {ttaTopLeft, {22, 21, 38, 37}, {3, 5}},      {ttaTop, {22, 21, 38, 37}, {20, 5}},
      {ttaTopRight, {22, 21, 38, 37}, {36, 5}},    {ttaRight, {3, 12, 19, 28}, {36, 14}},
      {ttaBottomRight, {22, 3, 38, 19}, {36, 22}}, {ttaBottom, {22, 3, 38, 19}, {20, 22}},
      {ttaBottomLeft, {22, 3, 38, 19}, {3, 22}},   {ttaLeft, {41, 12, 57, 28}, {3, 14}},
      {ttaCenter, {22, 12, 38, 28}, {20, 14}},
  };
  for (const Case& C : Cases) {
    CAPTURE(int(C.Align));
    const TBox G = GlyphBox(C.Align, 60, 40, 48, 16, 3, 3);
    CHECK(G == C.Glyph);
    CHECK(CaptionOffset(C.Align, 60, 40, 21, 13, G, 3) == C.Caption);
  }
}

TEST_CASE("glyph box corners: narrow strips, oversized glyphs, no glyph, extreme spacing") {
  CHECK(GlyphCellWidth(3, 4) == 3);  // narrower than its cell count: one cell
  CHECK(GlyphBox(ttaCenter, 10, 10, 15, 15, 1, 2) == TBox{-2, -2, 13, 13});  // not the floor -3
  // Without a glyph a top caption's bottom is 2 x Spacing above the button's bottom edge, a
  // bottom caption's top 2 x Spacing below its top.
  const TBox Top = GlyphBox(ttaTop, 80, 30, 0, 0, 1, 4);
  CHECK(CaptionOffset(ttaTop, 80, 30, 40, 13, Top, 4).DY + 13 == 30 - 8);
  const TBox Bottom = GlyphBox(ttaBottom, 80, 30, 0, 0, 1, 4);
  CHECK(CaptionOffset(ttaBottom, 80, 30, 40, 13, Bottom, 4).DY == 8);
  CHECK(GlyphBox(ttaTop, 40, 30, 16, 16, 1, INT_MIN).Top == INT_MAX);  // saturates
}

TEST_CASE("a glyph's shape decides its cell count") {
  CHECK(NumGlyphsForGlyph(64, 16, 1) == 4);
  CHECK(NumGlyphsForGlyph(32, 16, 3) == 2);
  CHECK(NumGlyphsForGlyph(80, 16, 2) == 1);  // five square cells: drawn whole
  CHECK(NumGlyphsForGlyph(50, 16, 3) == 3);  // no exact multiple: kept
  CHECK(NumGlyphsForGlyph(16, 0, 3) == 3);
}

TEST_CASE("the glyph cell drawn for each state") {
  // Lists: four cells + gray 4 + disabled 5; two cells + gray 2 + disabled 3; one cell + 1 + 2.
  auto Index = [](int Num, bool Enabled, bool Pressed, TFrameStyle Style, bool Inside, int Count) {
    return GlyphCellIndex({Num, Enabled, Pressed, Style, true, Inside, Count});
  };
  CHECK(Index(4, true, false, fsDark, false, 6) == 0);
  CHECK(Index(4, true, true, fsDark, false, 6) == 2);
  CHECK(Index(4, false, true, fsDark, false, 6) == 1);
  CHECK(Index(2, true, true, fsDark, false, 4) == 0);  // two cells have no pressed image
  CHECK(Index(2, false, false, fsDark, false, 4) == 1);
  // fsExplorer with AutoGray: gray away from the pointer; the embossed image wins when disabled.
  CHECK(Index(3, true, true, fsExplorer, false, 5) == 3);
  CHECK(Index(3, true, true, fsExplorer, true, 5) == 2);
  CHECK(Index(1, false, false, fsExplorer, false, 3) == 2);
  // NumGlyphs raised after one cell was cut picks among the cells that exist, else none.
  CHECK(Index(4, true, true, fsDark, false, 3) == 2);
  CHECK(Index(4, true, true, fsDark, false, 2) == -1);
  CHECK(Index(1, true, false, fsExplorer, false, 0) == -1);
}

TEST_CASE("the caption's mnemonic letter") {
  CHECK(CaptionMnemonic("&OK") == 'O');
  CHECK(CaptionMnemonic("E&xport &All") == 'x');
  CHECK(CaptionMnemonic("OK&") == 0);
  CHECK(CaptionMnemonic("") == 0);
  // A doubled ampersand is drawn as a literal one, so it is no mnemonic.
  CHECK(CaptionMnemonic("Save && Exit") == 0);
  CHECK(CaptionMnemonic("&&&x") == 'x');
}
