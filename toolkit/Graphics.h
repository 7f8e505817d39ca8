// Colours, fonts and bitmaps: small owners of GDI objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/Classes.h"

// A colour: 0x00BBGGRR as COLORREF, or a system colour index with the top bit set.
using TColor = uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSystemColor = 0x80000000;
inline constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
inline constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
inline constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
inline constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
inline constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
inline constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;

// The RGB value of Color, system colours looked up now.
COLORREF ColorToRGB(TColor Color);

// Owns one GDI object (a pen, brush, bitmap, font) and deletes it at the end.
template <typename THandle>
class TGdiObject {
public:
  explicit TGdiObject(THandle Object = nullptr) : Object(Object) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  THandle Get() const { return Object; }
  explicit operator bool() const { return Object != nullptr; }
  // Deletes the object held and holds Other instead.
  void Reset(THandle Other = nullptr) {
    if (Object) DeleteObject(Object);
    Object = Other;
  }

private:
  THandle Object;
};
using TPen = TGdiObject<HPEN>;
using TBrush = TGdiObject<HBRUSH>;

// Object selected into DC for the holder's lifetime; the one it replaced goes back at the end.
class TSelection {
public:
  TSelection(HDC DC, HGDIOBJ Object) : DC(DC), Old(SelectObject(DC, Object)) {}
  ~TSelection() { SelectObject(DC, Old); }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

private:
  HDC DC;
  HGDIOBJ Old;
};

// A memory device context compatible with Like (nullptr: the screen), deleted at the end.
class TMemoryDC {
public:
  explicit TMemoryDC(HDC Like = nullptr) : DC(CreateCompatibleDC(Like)) {}
  ~TMemoryDC() {
    if (DC) DeleteDC(DC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return DC; }

private:
  HDC DC;
};

// A window's device context (nullptr: the screen's), released at the end.
class TWindowDC {
public:
  explicit TWindowDC(HWND Window = nullptr) : Window(Window), DC(GetDC(Window)) {}
  ~TWindowDC() {
    if (DC) ReleaseDC(Window, DC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return DC; }

private:
  HWND Window;
  HDC DC;
};

// Fills R with a solid brush of Colour.
void FillSolid(HDC DC, const RECT& R, COLORREF Colour);

enum TFontStyle : uint8_t { fsBold = 0x01, fsItalic = 0x02, fsUnderline = 0x04, fsStrikeOut = 0x08 };

// A font description with its GDI font made on demand. Height is in pixels as CreateFontA takes
// it: negative for the character height, positive for the cell height.
class TFont {
public:
  TFont() = default;
  ~TFont();
  TFont(const TFont& Other) { Assign(Other); }
  TFont& operator=(const TFont& Other) { Assign(Other); return *this; }

  void Assign(const TFont& Other);
  const std::string& Name() const { return FaceName; }
  void SetName(const std::string& Value);
  int Height() const { return PixelHeight; }
  void SetHeight(int Value);
  uint8_t Style() const { return Styles; }
  void SetStyle(uint8_t Value);
  TColor Color() const { return TextColor; }
  void SetColor(TColor Value);
  // The GDI font, owned by this object and valid until the next change.
  HFONT Handle() const;

  // Runs after every change.
  TNotifyEvent OnChange;

private:
  void Changed();
  void Release() const;
  std::string FaceName = "MS Sans Serif";
  int PixelHeight = -11;
  uint8_t Styles = 0;
  TColor TextColor = clWindowText;
  mutable HFONT Font = nullptr;
};

// A bitmap that owns its HBITMAP. Copies are deep.
class TBitmap {
public:
  TBitmap() = default;
  ~TBitmap();
  TBitmap(const TBitmap& Other) { Assign(Other); }
  TBitmap& operator=(const TBitmap& Other) { Assign(Other); return *this; }

  // Loads the bitmap resource Name (or numbered Id) of Instance (nullptr: this program);
  // raises Exception when there is none.
  void LoadFromResource(HINSTANCE Instance, const std::string& Name);
  void LoadFromResource(HINSTANCE Instance, int Id);
  // A copy of Source's picture; an empty Source empties this one.
  void Assign(const TBitmap& Source);
  // Takes ownership of Bitmap (nullptr empties).
  void SetHandle(HBITMAP Bitmap);
  // Gives up ownership: the caller now frees the returned bitmap.
  HBITMAP ReleaseHandle();
  HBITMAP Handle() const { return Bitmap; }
  // A new device-independent bitmap of that size (32 bits a pixel), filled with Color.
  void SetSize(int NewWidth, int NewHeight, TColor Color = clBlack);

  int Width() const { return PixelWidth; }
  int Height() const { return PixelHeight; }
  bool Empty() const { return Bitmap == nullptr; }

  // Draws the whole bitmap into Dest stretched to the rectangle (X, Y, W, H). With Transparent
  // set, pixels of the colour of the bottom-left pixel leave Dest untouched.
  void Draw(HDC Dest, int X, int Y, int W, int H, bool Transparent = false) const;
  // The colour at (X, Y), or CLR_INVALID outside the bitmap.
  COLORREF Pixel(int X, int Y) const;

  // Runs after every change of the picture.
  TNotifyEvent OnChange;

private:
  void Take(HBITMAP NewBitmap);
  HBITMAP Bitmap = nullptr;
  int PixelWidth = 0;
  int PixelHeight = 0;
};
