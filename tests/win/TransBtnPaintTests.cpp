// The button painted into a memory bitmap: bevels of every style and look, glyph cells, captions.
#include <doctest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ostream>
#include <set>
#include <utility>

#include "components/TransBtnGlyphs.h"
#include "components/TransBtnPaint.h"
#include "tests/win/TransBtnCanvas.h"

namespace {

// Painted nowhere by the button: whatever still shows it was left transparent.
constexpr COLORREF Bg = RGB(1, 2, 3);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Key = RGB(255, 0, 255);
constexpr COLORREF Red = RGB(200, 0, 0), Green = RGB(0, 160, 0), Blue = RGB(0, 0, 200),
                   Yellow = RGB(220, 220, 0);
const TButtonColors Sys = TButtonColors::System();

std::string Name(COLORREF C) {
  const std::pair<COLORREF, const char*> Known[] = {{Bg, "bg"},
                                                    {Black, "Black"},
                                                    {Sys.Face, "Face"},
                                                    {Sys.Shadow, "Shadow"},
                                                    {Sys.Highlight, "Highlight"},
                                                    {Sys.DarkShadow, "DarkShadow"}};
  for (auto [Colour, Text] : Known)
    if (C == Colour) return Text;
  char Text[16];
  std::snprintf(Text, sizeof Text, "#%02X%02X%02X", GetRValue(C), GetGValue(C), GetBValue(C));
  return Text;
}

enum TState { Up, Hot, Pressed, PressedFlat, Latched, Disabled };

TButtonLook LookOf(TFrameStyle Style, TState State, bool Transparent = true) {
  TButtonLook Look;
  Look.Width = 40;
  Look.Height = 30;
  Look.FrameStyle = Style;
  Look.Transparent = Transparent;
  Look.MouseInside = State == Hot || State == Pressed || State == PressedFlat;
  Look.DrawPressed = State == Pressed || State == PressedFlat || State == Latched;
  Look.ShowPressed = State != PressedFlat;
  Look.Down = State == Latched;
  Look.Enabled = State != Disabled;
  return Look;
}

// Colours down the middle column from the top edge, "|", then up from the bottom edge, then
// the left edge's middle and the centre: "Highlight Face | Black Shadow | Highlight | bg".
std::string Edges(const TButtonLook& Look, int Rings = 2) {
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  const int X = Look.Width / 2, Y = Look.Height / 2;
  std::string Text;
  for (int I = 0; I < Rings; ++I) Text.append(Name(Canvas.Pixel(X, I))).append(" ");
  Text.append("|");
  for (int I = 0; I < Rings; ++I)
    Text.append(" ").append(Name(Canvas.Pixel(X, Look.Height - 1 - I)));
  return Text.append(" | ")
      .append(Name(Canvas.Pixel(0, Y)))
      .append(" | ")
      .append(Name(Canvas.Pixel(X, Y)));
}

using TPointSet = std::set<std::pair<int, int>>;

TPointSet PointsOf(const TTestCanvas& Canvas, COLORREF Colour) {
  TPointSet Points;
  for (int Y = 0; Y < Canvas.Height(); ++Y)
    for (int X = 0; X < Canvas.Width(); ++X)
      if (Canvas.Pixel(X, Y) == Colour) Points.insert({X, Y});
  return Points;
}

// A strip of square cells, each a solid colour inside a one-pixel Key border.
TPixelImage Strip(std::initializer_list<COLORREF> Colours, int Size) {
  TPixelImage Image(static_cast<int>(Colours.size()) * Size, Size, Key);
  int Left = 0;
  for (COLORREF C : Colours) {
    for (int Y = 1; Y < Size - 1; ++Y)
      for (int X = 1; X < Size - 1; ++X) Image.At(Left + X, Y) = C;
    Left += Size;
  }
  return Image;
}

// Prepared cells of a glyph, and a paint of them in a 40 x 30 button (12 x 12 cells sit at
// (14, 9)).
class TGlyphButton {
public:
  TGlyphButton(const TPixelImage& Glyph, int NumGlyphs) : Cells(CreateGlyphCells()) {
    BuildGlyphCells(Cells, Glyph, NumGlyphs);
    Width = Glyph.Width;
    Height = Glyph.Height;
    Count = NumGlyphs;
  }
  ~TGlyphButton() { ImageList_Destroy(Cells); }
  void Paint(TTestCanvas& Canvas, TButtonLook Look) const {
    Look.GlyphCells = Cells;
    Look.GlyphWidth = Width;
    Look.GlyphHeight = Height;
    Look.NumGlyphs = Count;
    PaintTransparentButton(Canvas.DC(), Look);
  }

private:
  HIMAGELIST Cells;
  int Width, Height, Count;
};

// A bold 13-pixel font without smoothing, so text pixels are exactly the text colour.
class TCaptionFont {
public:
  TCaptionFont()
      : Font(CreateFontA(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH,
                         "MS Sans Serif")) {}
  ~TCaptionFont() { DeleteObject(Font); }
  operator HFONT() const { return Font; }

private:
  HFONT Font;
};

// The black text pixels of an fsNone button's caption.
TPointSet CaptionInk(HFONT Font, const char* Caption, bool Pressed = false) {
  TButtonLook Look = LookOf(fsNone, Pressed ? Latched : Up);
  Look.Width = 80;
  Look.Font = Font;
  Look.Caption = Caption;
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  return PointsOf(Canvas, Black);
}

}  // namespace

TEST_CASE("BevelFrame: A on top and left, B on bottom and right, each ring inside the last") {
  REQUIRE(
      std::set<COLORREF>{Sys.Face, Sys.Shadow, Sys.Highlight, Sys.DarkShadow, Black, Bg}.size() ==
      6);
  TTestCanvas Canvas(7, 6, Bg);
  RECT R{0, 0, 7, 6};
  BevelFrame(Canvas.DC(), R, Black, Sys.Face, 2);
  CHECK((R.left == 2 && R.top == 2 && R.right == 5 && R.bottom == 4));
  const char* Expected[] = {"AAAAAAB", "AAAAABB", "AA...BB", "AA...BB", "ABBBBBB", "BBBBBBB"};
  for (int Y = 0; Y < 6; ++Y) {
    std::string Row;
    for (int X = 0; X < 7; ++X) {
      const COLORREF P = Canvas.Pixel(X, Y);
      Row += P == Black ? 'A' : P == Sys.Face ? 'B' : P == Bg ? '.' : '?';
    }
    CHECK_MESSAGE(Row == Expected[Y], "row " << Y);
  }
  SUBCASE("width 0 draws nothing; a huge width ends, paints as a covering one, shrinks R") {
    TTestCanvas None(8, 8, Bg), Huge(8, 8, Bg), Wide(8, 8, Bg);
    RECT RN{0, 0, 8, 8}, RH{0, 0, 8, 8}, RW{0, 0, 8, 8};
    BevelFrame(None.DC(), RN, Black, Black, 0);
    CHECK(PointsOf(None, Bg).size() == 64u);
    BevelFrame(Huge.DC(), RH, Sys.Highlight, Sys.Shadow, 0xFFFFFFFFu);
    BevelFrame(Wide.DC(), RW, Sys.Highlight, Sys.Shadow, 40);
    CHECK(PointsOf(Huge, Sys.Highlight) == PointsOf(Wide, Sys.Highlight));
    CHECK(PointsOf(Huge, Sys.Shadow) == PointsOf(Wide, Sys.Shadow));
    CHECK((RH.left == INT_MAX && RH.right == INT_MIN + 1));
  }
}

TEST_CASE("frames of every style in the up, hot, pressed, latched and disabled looks") {
  struct Case {
    TFrameStyle Style;
    TState State;
    const char* Expected;
  };
  const Case Cases[] = {
      // A black bevel one pixel in underneath, two rings on top.
      {fsRegular, Up, "Highlight Face | Black Shadow | Highlight | bg"},
      {fsRegular, Disabled, "Highlight Face | Black Shadow | Highlight | bg"},
      {fsRegular, Pressed, "Black Shadow | Highlight Face | Black | bg"},
      {fsRegular, PressedFlat, "bg Black | Black bg | bg | bg"},
      // Shadow and highlight bevels underneath.
      {fsIndent, Up, "Shadow Highlight | Highlight Shadow | Shadow | bg"},
      {fsIndent, Pressed, "Black Shadow | Highlight Face | Black | bg"},
      {fsIndent, PressedFlat, "Shadow Highlight | Highlight Shadow | Shadow | bg"},
      // Flat until the pointer is over it or it is latched.
      {fsExplorer, Up, "bg bg | bg bg | bg | bg"},
      {fsExplorer, Disabled, "bg bg | bg bg | bg | bg"},
      {fsExplorer, Hot, "Highlight bg | Shadow bg | Highlight | bg"},
      {fsExplorer, Pressed, "Shadow bg | Highlight bg | Shadow | bg"},
      {fsExplorer, PressedFlat, "Highlight bg | Shadow bg | Highlight | bg"},
      {fsExplorer, Latched, "Shadow bg | Highlight bg | Shadow | bg"},
      {fsNone, Pressed, "bg bg | bg bg | bg | bg"},
      {fsLight, Up, "Highlight bg | Shadow bg | Highlight | bg"},
      {fsLight, Pressed, "Shadow bg | Highlight bg | Shadow | bg"},
      {fsLight, PressedFlat, "bg bg | bg bg | bg | bg"},
      {fsDark, Up, "Face bg | DarkShadow bg | Face | bg"},
      {fsDark, Pressed, "DarkShadow bg | Face bg | DarkShadow | bg"},
      {fsDark, Latched, "DarkShadow bg | Face bg | DarkShadow | bg"},
      {fsMono, Up, "Highlight bg | DarkShadow bg | Highlight | bg"},
      {fsMono, Pressed, "DarkShadow bg | Highlight bg | DarkShadow | bg"},
  };
  for (const Case& C : Cases) {
    CAPTURE(int(C.Style));
    CAPTURE(int(C.State));
    CHECK(Edges(LookOf(C.Style, C.State)) == C.Expected);
  }
  TButtonLook Away = LookOf(fsExplorer, Pressed);  // held, pointer gone: no frame
  Away.MouseInside = false;
  CHECK(Edges(Away) == "bg bg | bg bg | bg | bg");

  SUBCASE("opaque buttons fill their face") {
    CHECK(Edges(LookOf(fsExplorer, Up, false)) == "Face Face | Face Face | Face | Face");
    CHECK(Edges(LookOf(fsDark, Up, false)) == "Face Face | DarkShadow Face | Face | Face");
    CHECK(Edges(LookOf(fsRegular, PressedFlat, false)) == "bg Black | Black Face | bg | Face");
    CHECK(Edges(LookOf(fsIndent, PressedFlat, false)) ==
          "Shadow Highlight | Highlight Shadow | Shadow | Face");
  }
  SUBCASE("BorderWidth widens fsRegular, fsIndent and fsExplorer only") {
    TButtonLook Regular = LookOf(fsRegular, Up);
    Regular.BorderWidth = 2;
    CHECK(Edges(Regular, 5) ==
          "Highlight Highlight Face Face bg | Black Black Shadow Shadow bg"
          " | Highlight | bg");
    TButtonLook Explorer = LookOf(fsExplorer, Hot);
    Explorer.BorderWidth = 3;
    CHECK(Edges(Explorer, 4) ==
          "Highlight Highlight Highlight bg | Shadow Shadow Shadow bg"
          " | Highlight | bg");
    TButtonLook Dark = LookOf(fsDark, Up);
    Dark.BorderWidth = 5;
    CHECK(Edges(Dark) == Edges(LookOf(fsDark, Up)));
  }
}

TEST_CASE("glyph cells: up, pressed and disabled each draw their own cell at the glyph box") {
  const TGlyphButton Glyph(Strip({Red, Green, Blue, Yellow}, 12), 4);
  struct Case {
    TState State;
    int Shift;
    COLORREF Cell;
  };
  for (const Case& C : {Case{Up, 0, Red}, Case{Pressed, 1, Blue}, Case{PressedFlat, 0, Blue},
                        Case{Disabled, 0, Green}}) {
    CAPTURE(int(C.State));
    TTestCanvas Canvas(40, 30, Bg);
    Glyph.Paint(Canvas, LookOf(fsDark, C.State));
    const int Left = 14 + C.Shift, Top = 9 + C.Shift;
    CHECK(Name(Canvas.Pixel(Left + 1, Top + 1)) == Name(C.Cell));
    CHECK(Name(Canvas.Pixel(Left + 10, Top + 10)) == Name(C.Cell));
    // The cell's Key border is masked out: the background shows.
    CHECK(Name(Canvas.Pixel(Left, Top)) == "bg");
    CHECK(Name(Canvas.Pixel(Left + 11, Top + 5)) == "bg");
    CHECK(PointsOf(Canvas, Yellow).empty());  // the fourth cell is never drawn
  }
  TTestCanvas Opaque(40, 30, Bg);  // opaque: masked pixels become Face
  Glyph.Paint(Opaque, LookOf(fsNone, Up, false));
  CHECK(Name(Opaque.Pixel(14, 9)) == "Face");
  CHECK(Name(Opaque.Pixel(15, 10)) == Name(Red));
}

TEST_CASE("fsExplorer with AutoGray shows the gray image unless the pointer is over it") {
  const std::string Gray = Name(RGB(22, 22, 22));  // red 200 weighed 11 of 100
  const TGlyphButton Glyph(Strip({Red, Green}, 12), 2);
  auto Centre = [&](TState State, bool Inside, bool AutoGray = true) {
    TButtonLook Look = LookOf(fsExplorer, State);
    Look.MouseInside = Inside;
    Look.AutoGray = AutoGray;
    TTestCanvas Canvas(40, 30, Bg);
    Glyph.Paint(Canvas, Look);
    return Name(Canvas.Pixel(20, 15));
  };
  CHECK(Centre(Up, false) == Gray);
  CHECK(Centre(Up, true) == Name(Red));
  CHECK(Centre(Pressed, false) == Gray);  // held while the pointer has left it
  CHECK(Centre(Up, false, false) == Name(Red));
  CHECK(Centre(Disabled, false) == Gray);  // two cells: the gray image, not cell 1
  CHECK(Centre(Disabled, false, false) == Name(Green));
}

TEST_CASE("a disabled one-cell glyph shows its embossed silhouette; white parts vanish") {
  // Key border, white inside, a black and a red square on the white.
  TPixelImage Image(12, 12, Key);
  for (int Y = 2; Y < 10; ++Y)
    for (int X = 2; X < 10; ++X) Image.At(X, Y) = PixelWhite;
  for (int I = 3; I < 6; ++I)
    for (int J = 3; J < 6; ++J) {
      Image.At(I, J) = PixelBlack;
      Image.At(I + 3, J + 3) = MakeColor(200, 0, 0);
    }
  const TGlyphButton Glyph(Image, 1);
  for (TFrameStyle Style : {fsDark, fsExplorer}) {
    CAPTURE(int(Style));
    TTestCanvas Canvas(40, 30, Bg);
    Glyph.Paint(Canvas, LookOf(Style, Disabled));
    auto At = [&](int X, int Y) { return Name(Canvas.Pixel(14 + X, 9 + Y)); };
    CHECK(At(3, 3) == "Shadow");
    CHECK(At(6, 6) == "Shadow");  // the red square, over the black one's highlight
    CHECK(At(6, 4) == "Highlight");
    CHECK(At(9, 9) == "Highlight");
    CHECK(At(8, 3) == "bg");  // white
    CHECK(At(0, 0) == "bg");
  }
  TTestCanvas Enabled(40, 30, Bg);
  Glyph.Paint(Enabled, LookOf(fsDark, Up));
  CHECK(Name(Enabled.Pixel(14 + 8, 9 + 3)) == "Highlight");  // the white, shown
}

TEST_CASE("a disabled caption is engraved: highlight one pixel down-right, shadow in place") {
  TCaptionFont Font;
  const TPointSet Ink = CaptionInk(Font, "Ag&x");
  REQUIRE(Ink.size() > 20);
  TButtonLook Look = LookOf(fsNone, Disabled);
  Look.Width = 80;
  Look.Font = Font;
  Look.Caption = "Ag&x";
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  int Wrong = 0;
  for (int Y = 0; Y < Look.Height; ++Y) {
    for (int X = 0; X < Look.Width; ++X) {
      const COLORREF Expected = Ink.count({X, Y})           ? Sys.Shadow
                                : Ink.count({X - 1, Y - 1}) ? Sys.Highlight
                                                            : Bg;
      if (Canvas.Pixel(X, Y) != Expected && Wrong++ < 5)
        FAIL_CHECK("(" << X << ", " << Y << "): expected " << Name(Expected) << ", got "
                       << Name(Canvas.Pixel(X, Y)));
    }
  }
  CHECK(Wrong == 0);
}

TEST_CASE("captions: pressed ones move one pixel; \"&OK\" is OK with the O underlined") {
  TCaptionFont Font;
  const TPointSet Plain = CaptionInk(Font, "OK");
  TPointSet Shifted;
  for (auto [X, Y] : Plain) Shifted.insert({X + 1, Y + 1});
  CHECK(CaptionInk(Font, "OK", true) == Shifted);

  const TPointSet Marked = CaptionInk(Font, "&OK");
  REQUIRE(std::includes(Marked.begin(), Marked.end(), Plain.begin(), Plain.end()));
  std::set<int> Rows, Columns;
  for (const auto& P : Marked) {
    if (Plain.count(P)) continue;
    Columns.insert(P.first);
    Rows.insert(P.second);
  }
  int TextLeft = INT_MAX, TextBottom = 0;
  for (auto [X, Y] : Plain) TextLeft = std::min(TextLeft, X), TextBottom = std::max(TextBottom, Y);
  HDC DC = CreateCompatibleDC(nullptr);
  SelectObject(DC, Font);
  SIZE O{};
  GetTextExtentPoint32A(DC, "O", 1, &O);
  DeleteDC(DC);
  REQUIRE(Rows.size() == 1);  // one underline row, below the letters, under the O only
  CHECK(*Rows.begin() > TextBottom);
  CHECK(*Columns.rbegin() < TextLeft + O.cx);
  CHECK(static_cast<int>(Columns.size()) <= O.cx);
}
