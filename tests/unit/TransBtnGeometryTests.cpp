// The transparent button's glyph box, caption offsets, cell choice and mnemonic.
#include <doctest.h>

#include <climits>

#include "components/TransBtnGeometry.h"

TEST_CASE("the glyph box sits opposite the caption for every alignment") {
  // A 60 x 40 button with a three-cell 48 x 16 strip: cells are 16 x 16.
  struct Case {
    TTextAlign Align;
    TBox Expected;
  };
  const Case Cases[] = {
      {ttaTopLeft, {22, 22, 38, 38}},     {ttaTop, {22, 22, 38, 38}},
      {ttaTopRight, {22, 22, 38, 38}},    {ttaRight, {2, 12, 18, 28}},
      {ttaBottomRight, {22, 2, 38, 18}},  {ttaBottom, {22, 2, 38, 18}},
      {ttaBottomLeft, {22, 2, 38, 18}},   {ttaLeft, {42, 12, 58, 28}},
      {ttaCenter, {22, 12, 38, 28}},
  };
  for (const Case& C : Cases) {
    CAPTURE(int(C.Align));
    CHECK(GlyphBox(C.Align, 60, 40, 48, 16, 3, 2) == C.Expected);
  }
}

TEST_CASE("glyph cell width and the box's truncation") {
  CHECK(GlyphCellWidth(64, 4) == 16);
  CHECK(GlyphCellWidth(50, 3) == 16);
  SUBCASE("a strip narrower than its cell count is one cell") {
    CHECK(GlyphCellWidth(3, 4) == 3);
    CHECK(GlyphBox(ttaCenter, 20, 20, 3, 5, 4, 2) == TBox{8, 7, 11, 12});
  }
  SUBCASE("a glyph larger than the button is centred truncating toward zero") {
    // (10 - 15) div 2 is -2, not the floor -3.
    CHECK(GlyphBox(ttaCenter, 10, 10, 15, 15, 1, 2) == TBox{-2, -2, 13, 13});
  }
  SUBCASE("an empty glyph is a point the caption is placed against") {
    CHECK(GlyphBox(ttaTop, 40, 30, 0, 0, 1, 3) == TBox{20, 27, 20, 27});
    CHECK(GlyphBox(ttaBottom, 40, 30, 0, 0, 1, 3) == TBox{20, 3, 20, 3});
  }
  SUBCASE("extreme spacing saturates instead of overflowing") {
    TBox G = GlyphBox(ttaTop, 40, 30, 16, 16, 1, INT_MIN);
    CHECK(G.Top == INT_MAX);
    CHECK(GlyphBox(ttaLeft, 40, 30, 16, 16, 1, INT_MAX).Left == 24 - INT_MAX);
  }
}

TEST_CASE("caption offsets for every alignment, each half truncated on its own") {
  // W div 2 - tw div 2 = 30 - 10 = 20 where (W - tw) div 2 would be 19; likewise 20 - 6 = 14.
  const TBox G{22, 12, 38, 28};
  struct Case {
    TTextAlign Align;
    TOffset Expected;
  };
  const Case Cases[] = {
      {ttaTopLeft, {3, -4}},      {ttaTop, {20, -4}},     {ttaTopRight, {36, -4}},
      {ttaRight, {36, 14}},       {ttaBottomRight, {36, 31}}, {ttaBottom, {20, 31}},
      {ttaBottomLeft, {3, 31}},   {ttaLeft, {3, 14}},     {ttaCenter, {20, 14}},
  };
  for (const Case& C : Cases) {
    CAPTURE(int(C.Align));
    CHECK(CaptionOffset(C.Align, 60, 40, 21, 13, G, 3) == C.Expected);
  }
}

TEST_CASE("without a glyph a top caption sits 2 x Spacing above the bottom, a bottom one below the top") {
  const int W = 80, H = 30, TW = 40, TH = 13, Spacing = 4;
  TOffset Top = CaptionOffset(ttaTop, W, H, TW, TH, GlyphBox(ttaTop, W, H, 0, 0, 1, Spacing), Spacing);
  CHECK(Top.DY + TH == H - 2 * Spacing);
  TOffset Bottom =
      CaptionOffset(ttaBottom, W, H, TW, TH, GlyphBox(ttaBottom, W, H, 0, 0, 1, Spacing), Spacing);
  CHECK(Bottom.DY == 2 * Spacing);
}

TEST_CASE("a glyph's shape decides its cell count") {
  CHECK(NumGlyphsForGlyph(64, 16, 1) == 4);
  CHECK(NumGlyphsForGlyph(32, 16, 3) == 2);
  CHECK(NumGlyphsForGlyph(16, 16, 4) == 1);
  CHECK(NumGlyphsForGlyph(80, 16, 2) == 1);  // five square cells: drawn whole
  CHECK(NumGlyphsForGlyph(50, 16, 3) == 3);  // no exact multiple: kept
  CHECK(NumGlyphsForGlyph(8, 16, 2) == 2);   // narrower than high: kept
  CHECK(NumGlyphsForGlyph(16, 0, 3) == 3);
  CHECK(NumGlyphsForGlyph(0, 16, 3) == 3);
}

TEST_CASE("the glyph cell drawn for each state") {
  // A four-cell strip's list: cells 0..3, gray 4, disabled 5; a one-cell strip's: 0, gray 1,
  // disabled 2.
  TCellChoice Four{4, true, false, fsRegular, true, false, 6};
  CHECK(GlyphCellIndex(Four) == 0);
  Four.DrawPressed = true;
  CHECK(GlyphCellIndex(Four) == 2);
  Four.Enabled = false;
  CHECK(GlyphCellIndex(Four) == 1);

  TCellChoice Two{2, false, true, fsDark, true, false, 4};
  CHECK(GlyphCellIndex(Two) == 1);
  Two.Enabled = true;
  CHECK(GlyphCellIndex(Two) == 0);  // two cells have no pressed image

  SUBCASE("fsExplorer with AutoGray is gray unless the pointer is over it") {
    TCellChoice Explorer{3, true, true, fsExplorer, true, false, 5};
    CHECK(GlyphCellIndex(Explorer) == 3);
    Explorer.MouseInside = true;
    CHECK(GlyphCellIndex(Explorer) == 2);
    Explorer.AutoGray = false;
    Explorer.MouseInside = false;
    CHECK(GlyphCellIndex(Explorer) == 2);
  }
  SUBCASE("disabled fsExplorer: gray for strips, embossed for one cell") {
    TCellChoice Strip{2, false, false, fsExplorer, true, false, 4};
    CHECK(GlyphCellIndex(Strip) == 2);
    TCellChoice One{1, false, false, fsExplorer, true, false, 3};
    CHECK(GlyphCellIndex(One) == 2);
    One.FrameStyle = fsMono;
    CHECK(GlyphCellIndex(One) == 2);
  }
  SUBCASE("NumGlyphs raised after cutting indexes the cells that exist") {
    // Cut as one cell (0, gray 1, disabled 2), then NumGlyphs := 4 and pressed: index 2.
    CHECK(GlyphCellIndex({4, true, true, fsDark, true, false, 3}) == 2);
    // Cut as one cell, then NumGlyphs := 4 and disabled: index 1, the gray image.
    CHECK(GlyphCellIndex({4, false, false, fsDark, true, false, 3}) == 1);
  }
  SUBCASE("an index the list does not hold is none") {
    CHECK(GlyphCellIndex({4, true, true, fsDark, true, false, 2}) == -1);
    CHECK(GlyphCellIndex({1, true, false, fsExplorer, true, false, 0}) == -1);
    CHECK(GlyphCellIndex({1, false, false, fsDark, true, false, 0}) == -1);
  }
}

TEST_CASE("the caption's mnemonic letter") {
  CHECK(CaptionMnemonic("&OK") == 'O');
  CHECK(CaptionMnemonic("E&xport") == 'x');
  CHECK(CaptionMnemonic("&Add &Files") == 'A');
  CHECK(CaptionMnemonic("OK&") == 0);
  CHECK(CaptionMnemonic("OK") == 0);
  CHECK(CaptionMnemonic("") == 0);
  SUBCASE("a doubled ampersand is a literal one, as drawn") {
    CHECK(CaptionMnemonic("Save && Exit") == 0);
    CHECK(CaptionMnemonic("A&&B &Go") == 'G');
    CHECK(CaptionMnemonic("&&&x") == 'x');
    CHECK(CaptionMnemonic("&&") == 0);
  }
}
