// Colours, fonts and bitmaps.
#include "toolkit/Graphics.h"

#include <cstring>
#include <map>

#include "toolkit/Errors.h"

COLORREF ColorToRGB(TColor Color) {
  if (Color & clSystemColor) return GetSysColor(static_cast<int>(Color & 0xFF));
  return Color & 0xFFFFFF;
}

void FillSolid(HDC DC, const RECT& R, COLORREF Colour) {
  TBrush Brush(CreateSolidBrush(Colour));
  FillRect(DC, &R, Brush.Get());
}

namespace {
int CALLBACK NoteFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM Found) {
  *reinterpret_cast<bool*>(Found) = true;
  return 0;
}

bool FaceInstalled(const char* Face) {
  LOGFONTA Wanted{};
  Wanted.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(Wanted.lfFaceName, Face, LF_FACESIZE - 1);
  bool Found = false;
  TWindowDC Screen;
  EnumFontFamiliesExA(Screen.Get(), &Wanted, NoteFace, reinterpret_cast<LPARAM>(&Found), 0);
  return Found;
}

// The face GDI is asked for. Layouts made for "MS Sans Serif" hold its narrow captions; where
// the system lacks it (Wine without its own fonts), the system's stand-in is a wide face whose
// captions no longer fit their buttons, so the first of these narrow ones that is installed
// takes its place.
const std::string& FaceToAsk(const std::string& Face) {
  static std::map<std::string, std::string> Chosen;
  if (lstrcmpiA(Face.c_str(), "MS Sans Serif") != 0) return Face;
  auto Known = Chosen.find(Face);
  if (Known != Chosen.end()) return Known->second;
  std::string Use = Face;
  if (!FaceInstalled(Face.c_str()))
    for (const char* StandIn :
         {"Microsoft Sans Serif", "Tahoma", "Arial", "Liberation Sans", "DejaVu Sans Condensed"})
      if (FaceInstalled(StandIn)) {
        Use = StandIn;
        break;
      }
  return Chosen.emplace(Face, Use).first->second;
}
}  // namespace

TFont::~TFont() { Release(); }

void TFont::Assign(const TFont& Other) {
  if (&Other == this) return;
  FaceName = Other.FaceName;
  PixelHeight = Other.PixelHeight;
  Styles = Other.Styles;
  TextColor = Other.TextColor;
  Changed();
}

void TFont::SetName(const std::string& Value) {
  if (Value != FaceName) { FaceName = Value; Changed(); }
}

void TFont::SetHeight(int Value) {
  if (Value != PixelHeight) { PixelHeight = Value; Changed(); }
}

void TFont::SetStyle(uint8_t Value) {
  if (Value != Styles) { Styles = Value; Changed(); }
}

void TFont::SetColor(TColor Value) {
  if (Value != TextColor) { TextColor = Value; Changed(); }
}

HFONT TFont::Handle() const {
  if (!Font)
    Font = CreateFontA(PixelHeight, 0, 0, 0, (Styles & fsBold) ? FW_BOLD : FW_NORMAL,
                       (Styles & fsItalic) != 0, (Styles & fsUnderline) != 0,
                       (Styles & fsStrikeOut) != 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       FaceToAsk(FaceName).c_str());
  return Font;
}

void TFont::Changed() {
  Release();
  if (OnChange) OnChange(nullptr);
}

void TFont::Release() const {
  if (Font) DeleteObject(Font);
  Font = nullptr;
}

namespace {
// A 32-bit top-down device-independent bitmap.
HBITMAP NewDib(int Width, int Height) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  HBITMAP Bitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!Bitmap) throw Exception("Out of system resources: cannot make a bitmap");
  return Bitmap;
}

// A memory device context with Bitmap selected, put back at the end.
class TBitmapDC {
public:
  explicit TBitmapDC(HBITMAP Bitmap) : Selected(Memory.Get(), Bitmap), DC(Memory.Get()) {}

private:
  TMemoryDC Memory;
  TSelection Selected;

public:
  HDC DC;
};
}  // namespace

TBitmap::~TBitmap() {
  if (Bitmap) DeleteObject(Bitmap);
}

void TBitmap::LoadFromResource(HINSTANCE Instance, const std::string& Name) {
  HANDLE Loaded = LoadImageA(Instance ? Instance : GetModuleHandleA(nullptr), Name.c_str(),
                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!Loaded) throw Exception("Bitmap resource \"" + Name + "\" not found");
  Take(static_cast<HBITMAP>(Loaded));
}

void TBitmap::LoadFromResource(HINSTANCE Instance, int Id) {
  HANDLE Loaded = LoadImageA(Instance ? Instance : GetModuleHandleA(nullptr),
                             MAKEINTRESOURCEA(Id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!Loaded) throw Exception("Bitmap resource " + std::to_string(Id) + " not found");
  Take(static_cast<HBITMAP>(Loaded));
}

void TBitmap::Assign(const TBitmap& Source) {
  if (&Source == this) return;
  if (Source.Empty()) {
    Take(nullptr);
    return;
  }
  HBITMAP Copy = NewDib(Source.PixelWidth, Source.PixelHeight);
  {
    TBitmapDC To(Copy), From(Source.Bitmap);
    BitBlt(To.DC, 0, 0, Source.PixelWidth, Source.PixelHeight, From.DC, 0, 0, SRCCOPY);
  }
  Take(Copy);
}

void TBitmap::SetHandle(HBITMAP NewBitmap) {
  if (NewBitmap != Bitmap) Take(NewBitmap);
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP Result = Bitmap;
  Bitmap = nullptr;
  PixelWidth = PixelHeight = 0;
  if (OnChange) OnChange(nullptr);
  return Result;
}

void TBitmap::SetSize(int NewWidth, int NewHeight, TColor Color) {
  HBITMAP Made = NewDib(NewWidth, NewHeight);
  {
    TBitmapDC To(Made);
    FillSolid(To.DC, RECT{0, 0, NewWidth, NewHeight}, ColorToRGB(Color));
  }
  Take(Made);
}

void TBitmap::Take(HBITMAP NewBitmap) {
  if (Bitmap) DeleteObject(Bitmap);
  Bitmap = NewBitmap;
  PixelWidth = PixelHeight = 0;
  BITMAP Info{};
  if (Bitmap && GetObjectA(Bitmap, sizeof(Info), &Info)) {
    PixelWidth = Info.bmWidth;
    PixelHeight = Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight;
  }
  if (OnChange) OnChange(nullptr);
}

void TBitmap::Draw(HDC Dest, int X, int Y, int W, int H, bool Transparent) const {
  if (!Bitmap || W <= 0 || H <= 0) return;
  TBitmapDC From(Bitmap);
  if (Transparent) {
    COLORREF Key = GetPixel(From.DC, 0, PixelHeight - 1);
    TransparentBlt(Dest, X, Y, W, H, From.DC, 0, 0, PixelWidth, PixelHeight, Key);
  } else if (W == PixelWidth && H == PixelHeight) {
    BitBlt(Dest, X, Y, W, H, From.DC, 0, 0, SRCCOPY);
  } else {
    int OldMode = SetStretchBltMode(Dest, COLORONCOLOR);
    StretchBlt(Dest, X, Y, W, H, From.DC, 0, 0, PixelWidth, PixelHeight, SRCCOPY);
    SetStretchBltMode(Dest, OldMode);
  }
}

COLORREF TBitmap::Pixel(int X, int Y) const {
  if (!Bitmap || X < 0 || Y < 0 || X >= PixelWidth || Y >= PixelHeight) return CLR_INVALID;
  TBitmapDC From(Bitmap);
  return GetPixel(From.DC, X, Y);
}
