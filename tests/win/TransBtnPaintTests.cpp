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
constexpr COLORREF Red = RGB(200, 0, 0);
constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 200);
constexpr COLORREF Yellow = RGB(220, 220, 0);

const TButtonColors Sys = TButtonColors::System();

std::string Name(COLORREF C) {
  if (C == Bg) return "bg";
  if (C == Black) return "Black";
  if (C == Sys.Face) return "Face";
  if (C == Sys.Shadow) return "Shadow";
  if (C == Sys.Highlight) return "Highlight";
  if (C == Sys.DarkShadow) return "DarkShadow";
  char Text[16];
  std::snprintf(Text, sizeof Text, "#%02X%02X%02X", GetRValue(C), GetGValue(C), GetBValue(C));
  return Text;
}

// The outer ring (0) and the one inside it (1), at the middle of each side, and the centre.
struct TEdges {
  COLORREF Top0, Bottom0, Left0, Right0, Top1, Bottom1, Middle;
  bool operator==(const TEdges&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TEdges& E) {
  return Out << "{top " << Name(E.Top0) << ", bottom " << Name(E.Bottom0) << ", left "
             << Name(E.Left0) << ", right " << Name(E.Right0) << ", top1 " << Name(E.Top1)
             << ", bottom1 " << Name(E.Bottom1) << ", middle " << Name(E.Middle) << "}";
}

// Colours of one ring pair: A at top and left, B at bottom and right.
TEdges Rings(COLORREF A0, COLORREF B0, COLORREF A1, COLORREF B1, COLORREF Middle = Bg) {
  return {A0, B0, A0, B0, A1, B1, Middle};
}

TEdges EdgesOf(const TButtonLook& Look) {
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  const int X = Look.Width / 2, Y = Look.Height / 2, W = Look.Width, H = Look.Height;
  return {Canvas.Pixel(X, 0),     Canvas.Pixel(X, H - 1), Canvas.Pixel(0, Y),
          Canvas.Pixel(W - 1, Y), Canvas.Pixel(X, 1),     Canvas.Pixel(X, H - 2),
          Canvas.Pixel(X, Y)};
}

enum TLookName { Up, Hot, Pressed, PressedFlat, Latched, Disabled };

TButtonLook LookOf(TFrameStyle Style, TLookName Name, bool Transparent = true) {
  TButtonLook Look;
  Look.Width = 40;
  Look.Height = 30;
  Look.FrameStyle = Style;
  Look.Transparent = Transparent;
  switch (Name) {
    case Up: break;
    case Hot: Look.MouseInside = true; break;
    case Pressed: Look.DrawPressed = Look.MouseInside = true; break;
    case PressedFlat: Look.DrawPressed = Look.MouseInside = true; Look.ShowPressed = false; break;
    case Latched: Look.DrawPressed = Look.Down = true; break;
    case Disabled: Look.Enabled = false; break;
  }
  return Look;
}

// Every pixel of a canvas, for comparing two paints.
std::vector<COLORREF> PixelsOf(const TTestCanvas& Canvas) {
  std::vector<COLORREF> All;
  for (int Y = 0; Y < Canvas.Height(); ++Y)
    for (int X = 0; X < Canvas.Width(); ++X) All.push_back(Canvas.Pixel(X, Y));
  return All;
}

using TPointSet = std::set<std::pair<int, int>>;

TPointSet PointsOf(const TTestCanvas& Canvas, COLORREF Colour) {
  TPointSet Points;
  for (int Y = 0; Y < Canvas.Height(); ++Y)
    for (int X = 0; X < Canvas.Width(); ++X)
      if (Canvas.Pixel(X, Y) == Colour) Points.insert({X, Y});
  return Points;
}

RECT BoundsOf(const TPointSet& Points) {
  RECT R{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  for (auto [X, Y] : Points) {
    R.left = std::min<LONG>(R.left, X);
    R.top = std::min<LONG>(R.top, Y);
    R.right = std::max<LONG>(R.right, X + 1);
    R.bottom = std::max<LONG>(R.bottom, Y + 1);
  }
  return R;
}

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

class TCells {
public:
  explicit TCells(const TPixelImage& Glyph, int NumGlyphs) : List(CreateGlyphCells()) {
    BuildGlyphCells(List, Glyph, NumGlyphs);
  }
  ~TCells() { ImageList_Destroy(List); }
  operator HIMAGELIST() const { return List; }

private:
  HIMAGELIST List;
};

}  // namespace

TEST_CASE("the system colours the tests tell apart are distinct") {
  const std::set<COLORREF> Colours{Sys.Face, Sys.Shadow, Sys.Highlight, Sys.DarkShadow, Black, Bg};
  REQUIRE(Colours.size() == 6);
}

TEST_CASE("BevelFrame draws A on top and left, B on bottom and right, rings inward") {
  TTestCanvas Canvas(7, 6, Bg);
  const COLORREF A = RGB(10, 10, 10), B = RGB(20, 20, 20);
  RECT R{0, 0, 7, 6};
  BevelFrame(Canvas.DC(), R, A, B, 2);
  CHECK(R.left == 2);
  CHECK(R.top == 2);
  CHECK(R.right == 5);
  CHECK(R.bottom == 4);
  // B's corner pixels (top right, bottom left) are drawn after A's lines.
  const char* Expected[] = {
      "AAAAAAB",
      "AAAAABB",
      "AA...BB",
      "AA...BB",
      "ABBBBBB",
      "BBBBBBB",
  };
  for (int Y = 0; Y < 6; ++Y) {
    std::string Row;
    for (int X = 0; X < 7; ++X) {
      COLORREF P = Canvas.Pixel(X, Y);
      Row += P == A ? 'A' : P == B ? 'B' : P == Bg ? '.' : '?';
    }
    CHECK_MESSAGE(Row == Expected[Y], "row " << Y);
  }
}

TEST_CASE("BevelFrame of width 0 draws nothing; a huge width ends and shrinks R all the way") {
  TTestCanvas Canvas(8, 8, Bg);
  RECT R{0, 0, 8, 8};
  BevelFrame(Canvas.DC(), R, Black, Black, 0);
  CHECK(PointsOf(Canvas, Bg).size() == 64u);
  CHECK(R.right == 8);

  TTestCanvas Huge(8, 8, Bg), Wide(8, 8, Bg);
  RECT RH{0, 0, 8, 8}, RW{0, 0, 8, 8};
  BevelFrame(Huge.DC(), RH, Sys.Highlight, Sys.Shadow, 0xFFFFFFFFu);
  BevelFrame(Wide.DC(), RW, Sys.Highlight, Sys.Shadow, 40);
  CHECK(PixelsOf(Huge) == PixelsOf(Wide));
  CHECK(RH.left == INT_MAX);
  CHECK(RH.right == INT_MIN + 1);
}

TEST_CASE("frames of every style in the up, hot, pressed and disabled looks") {
  const COLORREF F = Sys.Face, S = Sys.Shadow, Hi = Sys.Highlight, D = Sys.DarkShadow;
  struct Case {
    TFrameStyle Style;
    TLookName Look;
    TEdges Expected;
  };
  const TEdges Nothing = Rings(Bg, Bg, Bg, Bg);
  const Case Cases[] = {
      // fsRegular: a black bevel underneath, two rings on top of it.
      {fsRegular, Up, Rings(Hi, Black, F, S)},
      {fsRegular, Hot, Rings(Hi, Black, F, S)},
      {fsRegular, Disabled, Rings(Hi, Black, F, S)},
      {fsRegular, Pressed, Rings(Black, Hi, S, F)},
      {fsRegular, PressedFlat, {Bg, Black, Bg, Black, Black, Bg, Bg}},
      // fsIndent: shadow and highlight underneath.
      {fsIndent, Up, Rings(S, Hi, Hi, S)},
      {fsIndent, Disabled, Rings(S, Hi, Hi, S)},
      {fsIndent, Pressed, Rings(Black, Hi, S, F)},
      {fsIndent, PressedFlat, Rings(S, Hi, Hi, S)},
      // fsExplorer: flat until the pointer is over it or it is latched.
      {fsExplorer, Up, Nothing},
      {fsExplorer, Disabled, Nothing},
      {fsExplorer, Hot, Rings(Hi, S, Bg, Bg)},
      {fsExplorer, Pressed, Rings(S, Hi, Bg, Bg)},
      {fsExplorer, PressedFlat, Rings(Hi, S, Bg, Bg)},
      {fsExplorer, Latched, Rings(S, Hi, Bg, Bg)},
      {fsNone, Up, Nothing},
      {fsNone, Hot, Nothing},
      {fsNone, Pressed, Nothing},
      {fsLight, Up, Rings(Hi, S, Bg, Bg)},
      {fsLight, Hot, Rings(Hi, S, Bg, Bg)},
      {fsLight, Disabled, Rings(Hi, S, Bg, Bg)},
      {fsLight, Pressed, Rings(S, Hi, Bg, Bg)},
      {fsLight, PressedFlat, Nothing},
      {fsDark, Up, Rings(F, D, Bg, Bg)},
      {fsDark, Disabled, Rings(F, D, Bg, Bg)},
      {fsDark, Pressed, Rings(D, F, Bg, Bg)},
      {fsDark, Latched, Rings(D, F, Bg, Bg)},
      {fsDark, PressedFlat, Nothing},
      {fsMono, Up, Rings(Hi, D, Bg, Bg)},
      {fsMono, Pressed, Rings(D, Hi, Bg, Bg)},
      {fsMono, PressedFlat, Nothing},
  };
  for (const Case& C : Cases) {
    CAPTURE(int(C.Style));
    CAPTURE(int(C.Look));
    CHECK(EdgesOf(LookOf(C.Style, C.Look)) == C.Expected);
  }
  // An explorer button held while the pointer is away shows no frame.
  TButtonLook Away = LookOf(fsExplorer, Pressed);
  Away.MouseInside = false;
  CHECK(EdgesOf(Away) == Nothing);
}

TEST_CASE("opaque buttons fill their face") {
  const COLORREF F = Sys.Face, S = Sys.Shadow, Hi = Sys.Highlight;
  CHECK(EdgesOf(LookOf(fsExplorer, Up, false)) == Rings(F, F, F, F, F));
  CHECK(EdgesOf(LookOf(fsDark, Up, false)) == Rings(F, Sys.DarkShadow, F, F, F));
  CHECK(EdgesOf(LookOf(fsRegular, Up, false)) == Rings(Hi, Black, F, S, F));
  // Without the pressed frame the outline of the face shows, one pixel in.
  CHECK(EdgesOf(LookOf(fsRegular, PressedFlat, false)) ==
        TEdges{Bg, Black, Bg, Black, Black, F, F});
  CHECK(EdgesOf(LookOf(fsIndent, PressedFlat, false)) == Rings(S, Hi, Hi, S, F));
}

TEST_CASE("BorderWidth widens the regular, indent and explorer bevels only") {
  TButtonLook Regular = LookOf(fsRegular, Up);
  Regular.BorderWidth = 2;
  TTestCanvas Canvas(40, 30, Bg);
  PaintTransparentButton(Canvas.DC(), Regular);
  const COLORREF Top[] = {Sys.Highlight, Sys.Highlight, Sys.Face, Sys.Face, Bg};
  const COLORREF Bottom[] = {Black, Black, Sys.Shadow, Sys.Shadow, Bg};
  for (int I = 0; I < 5; ++I) {
    CAPTURE(I);
    CHECK(Name(Canvas.Pixel(20, I)) == Name(Top[I]));
    CHECK(Name(Canvas.Pixel(20, 29 - I)) == Name(Bottom[I]));
  }

  TButtonLook Explorer = LookOf(fsExplorer, Hot);
  Explorer.BorderWidth = 3;
  TTestCanvas Wide(40, 30, Bg);
  PaintTransparentButton(Wide.DC(), Explorer);
  CHECK(Name(Wide.Pixel(2, 15)) == "Highlight");
  CHECK(Name(Wide.Pixel(3, 15)) == "bg");

  for (TFrameStyle Style : {fsLight, fsDark, fsMono, fsNone}) {
    CAPTURE(int(Style));
    TButtonLook Thin = LookOf(Style, Up), Thick = LookOf(Style, Up);
    Thick.BorderWidth = 5;
    CHECK(EdgesOf(Thin) == EdgesOf(Thick));
  }
}

TEST_CASE("a border wider than the button paints like one that just covers it") {
  for (bool Transparent : {true, false}) {
    CAPTURE(Transparent);
    TButtonLook Huge = LookOf(fsRegular, Up, Transparent), Wide = Huge;
    Huge.BorderWidth = 0xFFFFFFFFu;
    Wide.BorderWidth = 200;
    TTestCanvas A(40, 30, Bg), B(40, 30, Bg);
    PaintTransparentButton(A.DC(), Huge);
    PaintTransparentButton(B.DC(), Wide);
    CHECK(PixelsOf(A) == PixelsOf(B));
  }
}

TEST_CASE("glyph cells: up, pressed and disabled each draw their own cell at the glyph box") {
  // Four 12 x 12 cells in a 40 x 30 button: the box is at (14, 9).
  TCells Cells(Strip({Red, Green, Blue, Yellow}, 12), 4);
  REQUIRE(ImageList_GetImageCount(Cells) == 6);
  auto Paint = [&](TLookName Name, TTestCanvas& Canvas) {
    TButtonLook Look = LookOf(fsDark, Name);
    Look.GlyphCells = Cells;
    Look.GlyphWidth = 48;
    Look.GlyphHeight = 12;
    Look.NumGlyphs = 4;
    PaintTransparentButton(Canvas.DC(), Look);
  };
  struct Case {
    TLookName Look;
    int Shift;
    COLORREF Cell;
  };
  for (const Case& C : {Case{Up, 0, Red}, Case{Pressed, 1, Blue}, Case{PressedFlat, 0, Blue},
                        Case{Disabled, 0, Green}}) {
    CAPTURE(int(C.Look));
    TTestCanvas Canvas(40, 30, Bg);
    Paint(C.Look, Canvas);
    const int Left = 14 + C.Shift, Top = 9 + C.Shift;
    CHECK(Name(Canvas.Pixel(Left + 1, Top + 1)) == Name(C.Cell));
    CHECK(Name(Canvas.Pixel(Left + 10, Top + 10)) == Name(C.Cell));
    // The cell's border is its transparent colour: the background shows.
    CHECK(Name(Canvas.Pixel(Left, Top)) == "bg");
    CHECK(Name(Canvas.Pixel(Left + 11, Top + 5)) == "bg");
    CHECK(Name(Canvas.Pixel(Left + 12, Top + 5)) == "bg");
    // The fourth cell is never drawn.
    CHECK(PointsOf(Canvas, Yellow).empty());
  }
}

TEST_CASE("an opaque button's masked glyph pixels become Face") {
  TCells Cells(Strip({Red}, 12), 1);
  TButtonLook Look = LookOf(fsNone, Up, false);
  Look.GlyphCells = Cells;
  Look.GlyphWidth = Look.GlyphHeight = 12;
  Look.AutoGray = false;
  TTestCanvas Canvas(40, 30, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  CHECK(Name(Canvas.Pixel(14, 9)) == "Face");
  CHECK(Name(Canvas.Pixel(15, 10)) == Name(Red));
}

TEST_CASE("fsExplorer with AutoGray shows the gray image unless the pointer is over it") {
  const std::string Gray = Name(RGB(22, 22, 22));  // red 200 weighed 11 of 100
  TCells Cells(Strip({Red, Green}, 12), 2);
  auto CentreOf = [&](TLookName State, bool AutoGray, bool Inside) {
    TButtonLook Look = LookOf(fsExplorer, State);
    Look.MouseInside = Inside;
    Look.AutoGray = AutoGray;
    Look.GlyphCells = Cells;
    Look.GlyphWidth = 24;
    Look.GlyphHeight = 12;
    Look.NumGlyphs = 2;
    TTestCanvas Canvas(40, 30, Bg);
    PaintTransparentButton(Canvas.DC(), Look);
    return Name(Canvas.Pixel(20, 15));
  };
  CHECK(CentreOf(Up, true, false) == Gray);
  CHECK(CentreOf(Up, true, true) == Name(Red));
  CHECK(CentreOf(Pressed, true, true) == Name(Red));
  CHECK(CentreOf(Pressed, true, false) == Gray);  // held, pointer gone
  CHECK(CentreOf(Up, false, false) == Name(Red));
  // Disabled with two cells: the gray image, not cell 1.
  CHECK(CentreOf(Disabled, true, false) == Gray);
  CHECK(CentreOf(Disabled, false, false) == Name(Green));
}

TEST_CASE("a disabled one-cell glyph shows its embossed silhouette; white parts vanish") {
  // Key border, white inside, a black and a red square on the white.
  TPixelImage Glyph(12, 12, Key);
  for (int Y = 2; Y < 10; ++Y)
    for (int X = 2; X < 10; ++X) Glyph.At(X, Y) = PixelWhite;
  for (int I = 3; I < 6; ++I)
    for (int J = 3; J < 6; ++J) {
      Glyph.At(I, J) = PixelBlack;
      Glyph.At(I + 3, J + 3) = MakeColor(200, 0, 0);
    }
  TCells Cells(Glyph, 1);
  for (TFrameStyle Style : {fsDark, fsExplorer}) {
    CAPTURE(int(Style));
    TButtonLook Look = LookOf(Style, Disabled);
    Look.GlyphCells = Cells;
    Look.GlyphWidth = Look.GlyphHeight = 12;
    TTestCanvas Canvas(40, 30, Bg);
    PaintTransparentButton(Canvas.DC(), Look);
    auto At = [&](int X, int Y) { return Name(Canvas.Pixel(14 + X, 9 + Y)); };
    CHECK(At(3, 3) == "Shadow");
    CHECK(At(5, 5) == "Shadow");
    CHECK(At(6, 6) == "Shadow");  // the red square, over the black one's highlight
    CHECK(At(8, 8) == "Shadow");
    CHECK(At(6, 4) == "Highlight");
    CHECK(At(4, 6) == "Highlight");
    CHECK(At(9, 9) == "Highlight");
    CHECK(At(2, 2) == "bg");
    CHECK(At(8, 3) == "bg");
    CHECK(At(0, 0) == "bg");
  }
  // Enabled, the white shows.
  TButtonLook Look = LookOf(fsDark, Up);
  Look.GlyphCells = Cells;
  Look.GlyphWidth = Look.GlyphHeight = 12;
  TTestCanvas Canvas(40, 30, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  CHECK(Name(Canvas.Pixel(14 + 8, 9 + 3)) == "Highlight");  // white
  CHECK(Name(Canvas.Pixel(14 + 3, 9 + 3)) == "Black");
}

TEST_CASE("glyph strips of 80 and 50 pixels on a height of 16") {
  SUBCASE("five square cells count as one and are drawn whole") {
    TPixelImage Glyph = Strip({Red, Green, Blue, Yellow, Red}, 16);
    TCells Cells(Glyph, 1);
    int CX = 0, CY = 0;
    ImageList_GetIconSize(Cells, &CX, &CY);
    CHECK(CX == 80);
    CHECK(CY == 16);
    TButtonLook Look = LookOf(fsDark, Up);
    Look.Width = 100;
    Look.GlyphCells = Cells;
    Look.GlyphWidth = 80;
    Look.GlyphHeight = 16;
    TTestCanvas Canvas(100, 30, Bg);
    PaintTransparentButton(Canvas.DC(), Look);
    // The box starts at (10, 7); the third square is at 32..47, the fifth's inside 65..78.
    CHECK(Name(Canvas.Pixel(11, 8)) == Name(Red));
    CHECK(Name(Canvas.Pixel(10 + 40, 15)) == Name(Blue));
    CHECK(Name(Canvas.Pixel(10 + 78, 15)) == Name(Red));
    CHECK(Name(Canvas.Pixel(10 + 79, 15)) == "bg");
  }
  SUBCASE("fifty pixels in two cells of 25") {
    TPixelImage Glyph(50, 16, Key);
    for (int Y = 0; Y < 15; ++Y)
      for (int X = 0; X < 50; ++X) Glyph.At(X, Y) = X < 25 ? Red : Green;
    TCells Cells(Glyph, 2);
    int CX = 0, CY = 0;
    ImageList_GetIconSize(Cells, &CX, &CY);
    CHECK(CX == 25);
    CHECK(ImageList_GetImageCount(Cells) == 4);
    TButtonLook Look = LookOf(fsDark, Disabled);
    Look.GlyphCells = Cells;
    Look.GlyphWidth = 50;
    Look.GlyphHeight = 16;
    Look.NumGlyphs = 2;
    TTestCanvas Canvas(40, 30, Bg);
    PaintTransparentButton(Canvas.DC(), Look);
    // Box: left (40 - 25) div 2 = 7, top 7; cell 1 is the green half.
    CHECK(Name(Canvas.Pixel(7, 7)) == Name(Green));
    CHECK(Name(Canvas.Pixel(31, 21)) == Name(Green));
    CHECK(Name(Canvas.Pixel(32, 21)) == "bg");
  }
}

TEST_CASE("an empty glyph leaves the cells as they were") {
  TCells Cells(Strip({Red, Green}, 8), 2);
  BuildGlyphCells(Cells, TPixelImage(), 2);
  CHECK(ImageList_GetImageCount(Cells) == 4);
}

namespace {

// The text pixels of a caption painted black on the background by an fsNone button.
TPointSet CaptionInk(TButtonLook Look, COLORREF Ink = Black) {
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  return PointsOf(Canvas, Ink);
}

TButtonLook CaptionLook(HFONT Font, const char* Caption) {
  TButtonLook Look = LookOf(fsNone, Up);
  Look.Width = 80;
  Look.Height = 40;
  Look.Font = Font;
  Look.FontColor = Black;
  Look.Caption = Caption;
  return Look;
}

}  // namespace

TEST_CASE("a disabled caption is engraved: highlight one pixel down-right, shadow in place") {
  TCaptionFont Font;
  TButtonLook Look = CaptionLook(Font, "Ag&x");
  const TPointSet Ink = CaptionInk(Look);
  REQUIRE(Ink.size() > 20);

  Look.Enabled = false;
  TTestCanvas Canvas(Look.Width, Look.Height, Bg);
  PaintTransparentButton(Canvas.DC(), Look);
  int Wrong = 0;
  for (int Y = 0; Y < Look.Height; ++Y) {
    for (int X = 0; X < Look.Width; ++X) {
      const COLORREF Expected = Ink.count({X, Y})           ? Sys.Shadow
                                : Ink.count({X - 1, Y - 1}) ? Sys.Highlight
                                                            : Bg;
      if (Canvas.Pixel(X, Y) != Expected && Wrong++ < 5) {
        FAIL_CHECK("(" << X << ", " << Y << "): expected " << Name(Expected) << ", got "
                       << Name(Canvas.Pixel(X, Y)));
      }
    }
  }
  CHECK(Wrong == 0);
}

TEST_CASE("the pressed caption moves one pixel right and down") {
  TCaptionFont Font;
  TButtonLook Look = CaptionLook(Font, "Play");
  const TPointSet Up = CaptionInk(Look);
  Look.DrawPressed = true;
  TPointSet Shifted;
  for (auto [X, Y] : Up) Shifted.insert({X + 1, Y + 1});
  CHECK(CaptionInk(Look) == Shifted);
  Look.ShowPressed = false;
  CHECK(CaptionInk(Look) == Up);
}

TEST_CASE("\"&OK\" is drawn as OK with the O underlined") {
  TCaptionFont Font;
  const TPointSet Plain = CaptionInk(CaptionLook(Font, "OK"));
  const TPointSet Marked = CaptionInk(CaptionLook(Font, "&OK"));
  TPointSet Underline;
  for (const auto& P : Marked)
    if (!Plain.count(P)) Underline.insert(P);
  REQUIRE(!Underline.empty());
  CHECK(std::includes(Marked.begin(), Marked.end(), Plain.begin(), Plain.end()));
  const RECT Text = BoundsOf(Plain), Line = BoundsOf(Underline);
  CHECK(Line.top >= Text.bottom);  // below the letters
  CHECK(Line.bottom - Line.top == 1);
  HDC DC = CreateCompatibleDC(nullptr);
  SelectObject(DC, Font);
  SIZE O{};
  GetTextExtentPoint32A(DC, "O", 1, &O);
  DeleteDC(DC);
  CHECK(Line.right - Line.left <= O.cx);  // under the O only
  CHECK(Line.right <= Text.left + O.cx);
}

TEST_CASE("the caption sits on the named side of the glyph for every alignment") {
  TCaptionFont Font;
  TPixelImage Glyph(16, 16, Red);
  Glyph.At(0, 15) = Key;
  TCells Cells(Glyph, 1);
  for (int A = ttaTopLeft; A <= ttaCenter; ++A) {
    CAPTURE(A);
    TButtonLook Look = CaptionLook(Font, "Go");
    Look.Width = 100;
    Look.Height = 70;
    Look.TextAlign = static_cast<TTextAlign>(A);
    Look.AutoGray = false;
    Look.Spacing = 4;
    Look.GlyphCells = Cells;
    Look.GlyphWidth = Look.GlyphHeight = 16;
    TTestCanvas Canvas(Look.Width, Look.Height, Bg);
    PaintTransparentButton(Canvas.DC(), Look);
    const RECT Text = BoundsOf(PointsOf(Canvas, Black));
    const RECT G = BoundsOf(PointsOf(Canvas, Red));
    REQUIRE(G.right - G.left == 16);
    switch (A) {
      case ttaTopLeft: case ttaTop: case ttaTopRight:
        CHECK(Text.bottom <= G.top - 4);
        break;
      case ttaBottomLeft: case ttaBottom: case ttaBottomRight:
        CHECK(Text.top >= G.bottom + 4);
        break;
      case ttaLeft:
        CHECK(Text.right <= G.left);
        CHECK(Text.left >= 4);
        break;
      case ttaRight:
        CHECK(Text.left >= G.right);
        CHECK(Text.right <= 100 - 4);
        break;
      default:
        CHECK(Text.left > G.left - 10);
        CHECK(Text.right < G.right + 10);
        break;
    }
    if (A == ttaTopLeft || A == ttaBottomLeft) CHECK(Text.right < 50);
    if (A == ttaTopRight || A == ttaBottomRight) CHECK(Text.left > 50);
  }
}
