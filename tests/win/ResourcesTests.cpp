// The pictures, icons, version block and manifest as the linked program sees them.
#include <doctest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "res/Resources.h"

namespace {

HMODULE Self() { return GetModuleHandleA(nullptr); }

// The raw resource: what windres stored, before any conversion by the system.
const BITMAPINFOHEADER& StoredHeader(int Id) {
  HRSRC Found = FindResourceA(Self(), MAKEINTRESOURCEA(Id), MAKEINTRESOURCEA(2));  // RT_BITMAP
  REQUIRE_MESSAGE(Found != nullptr, "bitmap ", Id, " missing");
  auto* Header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Self(), Found)));
  REQUIRE(Header != nullptr);
  REQUIRE(SizeofResource(Self(), Found) >= sizeof(BITMAPINFOHEADER));
  return *Header;
}

// The bitmap as the program will load it, with its own depth kept.
struct TLoadedBitmap {
  HBITMAP Handle;
  DIBSECTION Section{};
  explicit TLoadedBitmap(int Id)
      : Handle(static_cast<HBITMAP>(
            LoadImageA(Self(), MAKEINTRESOURCEA(Id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))) {
    REQUIRE_MESSAGE(Handle != nullptr, "LoadImageA failed for ", Id, ": ", GetLastError());
    REQUIRE(GetObjectA(Handle, sizeof Section, &Section) == sizeof Section);
  }
  ~TLoadedBitmap() { DeleteObject(Handle); }
  TLoadedBitmap(const TLoadedBitmap&) = delete;
  TLoadedBitmap& operator=(const TLoadedBitmap&) = delete;

  COLORREF Pixel(int X, int Y) const {
    HDC Dc = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(Dc, Handle);
    COLORREF Colour = GetPixel(Dc, X, Y);
    SelectObject(Dc, Old);
    DeleteDC(Dc);
    return Colour;
  }
};

void CheckBitmap(int Id, int Width, int Height, int Bits) {
  const BITMAPINFOHEADER& Stored = StoredHeader(Id);
  CHECK_MESSAGE(Stored.biWidth == Width, "bitmap ", Id, ": expected width ", Width);
  CHECK_MESSAGE(Stored.biHeight == Height, "bitmap ", Id, ": expected height ", Height);
  CHECK_MESSAGE(Stored.biBitCount == Bits, "bitmap ", Id, ": expected ", Bits, " bits");
  CHECK(Stored.biCompression == BI_RGB);
  TLoadedBitmap Loaded(Id);
  CHECK(Loaded.Section.dsBm.bmWidth == Width);
  CHECK(Loaded.Section.dsBm.bmHeight == Height);
  CHECK(Loaded.Section.dsBmih.biBitCount == Bits);
}

#pragma pack(push, 2)
struct TGroupEntry {
  BYTE Width, Height, ColourCount, Reserved;
  WORD Planes, BitCount;
  DWORD BytesInRes;
  WORD Id;
};
struct TGroupHeader {
  WORD Reserved, Type, Count;
};
#pragma pack(pop)

std::vector<TGroupEntry> IconGroup(int Id) {
  HRSRC Found = FindResourceA(Self(), MAKEINTRESOURCEA(Id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  REQUIRE_MESSAGE(Found != nullptr, "icon group ", Id, " missing");
  auto* Header = static_cast<const TGroupHeader*>(LockResource(LoadResource(Self(), Found)));
  REQUIRE(Header != nullptr);
  auto* First = reinterpret_cast<const TGroupEntry*>(Header + 1);
  return std::vector<TGroupEntry>(First, First + Header->Count);
}

SIZE LoadedIconSize(int Id, int Size) {
  HICON Icon = static_cast<HICON>(
      LoadImageA(Self(), MAKEINTRESOURCEA(Id), IMAGE_ICON, Size, Size, 0));
  REQUIRE_MESSAGE(Icon != nullptr, "icon ", Id, " at ", Size, " px: ", GetLastError());
  ICONINFO Info{};
  REQUIRE(GetIconInfo(Icon, &Info));
  BITMAP Mask{};
  GetObjectA(Info.hbmMask, sizeof Mask, &Mask);
  SIZE Result{Mask.bmWidth, Info.hbmColor ? Mask.bmHeight : Mask.bmHeight / 2};
  DeleteObject(Info.hbmMask);
  if (Info.hbmColor) DeleteObject(Info.hbmColor);
  DestroyIcon(Icon);
  return Result;
}

BOOL CALLBACK CollectName(HMODULE, LPCSTR, LPSTR Name, LONG_PTR Names) {
  reinterpret_cast<std::vector<ULONG_PTR>*>(Names)->push_back(reinterpret_cast<ULONG_PTR>(Name));
  return TRUE;
}

std::string ResourceText(int Id, LPCSTR Type) {
  HRSRC Found = FindResourceA(Self(), MAKEINTRESOURCEA(Id), Type);
  REQUIRE(Found != nullptr);
  auto* Bytes = static_cast<const char*>(LockResource(LoadResource(Self(), Found)));
  return std::string(Bytes, SizeofResource(Self(), Found));
}

bool Dark(COLORREF Colour) {
  return GetRValue(Colour) < 40 && GetGValue(Colour) < 40 && GetBValue(Colour) < 40;
}

}  // namespace

TEST_CASE("every bitmap has the size and depth its window expects") {
  CheckBitmap(IDB_TVSET, 240, 205, 8);
  CheckBitmap(IDB_MENUKEY, 20, 20, 24);
  CheckBitmap(IDB_ABOUTBACK, 300, 300, 8);
  CheckBitmap(IDB_QUILLOLOGO, 200, 50, 24);
  CheckBitmap(IDB_OSTRALOGO, 130, 55, 24);
}

TEST_CASE("the set's screen opening holds the video rectangle with a dark margin round it") {
  // The video covers 16, 20, 206 x 154. Scaled layouts round its edges and the picture's
  // separately, so the glass must reach past it all round, corners included.
  TLoadedBitmap Set(IDB_TVSET);
  int Light = 0;
  for (int Y = 20 - 1; Y <= 20 + 154; ++Y)
    for (int X = 16 - 1; X <= 16 + 206; ++X) {
      bool Margin = X < 16 || X >= 16 + 206 || Y < 20 || Y >= 20 + 154;
      if (Margin && !Dark(Set.Pixel(X, Y)) && ++Light <= 5) MESSAGE("frame colour at ", X, ", ", Y);
    }
  CHECK(Light == 0);
  // Beyond the glass is the lit frame on every side.
  CHECK_FALSE(Dark(Set.Pixel(119, 20 - 6)));
  CHECK_FALSE(Dark(Set.Pixel(16 - 7, 97)));
  CHECK_FALSE(Dark(Set.Pixel(222 + 7, 97)));
  CHECK_FALSE(Dark(Set.Pixel(119, 174 + 4)));
}

TEST_CASE("the logos' see-through colour is their bottom-left pixel, magenta") {
  for (int Id : {IDB_QUILLOLOGO, IDB_OSTRALOGO}) {
    TLoadedBitmap Logo(Id);
    int Height = Logo.Section.dsBm.bmHeight, Width = Logo.Section.dsBm.bmWidth;
    CHECK_MESSAGE(Logo.Pixel(0, Height - 1) == RGB(255, 0, 255), "logo ", Id);
    // Something is drawn: the middle row is not all see-through.
    int Drawn = 0;
    for (int X = 0; X < Width; ++X) Drawn += Logo.Pixel(X, Height / 2) != RGB(255, 0, 255);
    CHECK_MESSAGE(Drawn > Width / 4, "logo ", Id, " has ", Drawn, " drawn pixels mid-row");
  }
}

TEST_CASE("the program icon is the first icon group, in three sizes; the tray icon has 16 colours") {
  std::vector<ULONG_PTR> Groups;
  EnumResourceNamesA(Self(), MAKEINTRESOURCEA(14), CollectName, reinterpret_cast<LONG_PTR>(&Groups));
  REQUIRE(Groups.size() == 2);
  CHECK(Groups[0] == IDI_QUILLO);
  CHECK(Groups[1] == IDI_TRAY);

  std::vector<TGroupEntry> Program = IconGroup(IDI_QUILLO);
  REQUIRE(Program.size() == 3);
  const int Sizes[] = {16, 32, 48};
  for (size_t I = 0; I < Program.size(); ++I) {
    int Size = Sizes[I];
    CHECK(Program[I].Width == Size);
    CHECK(Program[I].Height == Size);
    SIZE Loaded = LoadedIconSize(IDI_QUILLO, Size);
    CHECK(Loaded.cx == Size);
    CHECK(Loaded.cy == Size);
  }

  std::vector<TGroupEntry> Tray = IconGroup(IDI_TRAY);
  REQUIRE(Tray.size() == 1);
  CHECK(Tray[0].Width == 32);
  CHECK(Tray[0].Height == 32);
  CHECK(Tray[0].BitCount == 4);
  CHECK(Tray[0].ColourCount == 16);
  SIZE Loaded = LoadedIconSize(IDI_TRAY, 32);
  CHECK(Loaded.cx == 32);
  CHECK(Loaded.cy == 32);
}

TEST_CASE("the version block names the product and its version") {
  char Path[MAX_PATH];
  REQUIRE(GetModuleFileNameA(nullptr, Path, MAX_PATH) > 0);
  DWORD Ignored = 0;
  DWORD Size = GetFileVersionInfoSizeA(Path, &Ignored);
  REQUIRE(Size > 0);
  std::vector<char> Block(Size);
  REQUIRE(GetFileVersionInfoA(Path, 0, Size, Block.data()));

  VS_FIXEDFILEINFO* Fixed = nullptr;
  UINT Length = 0;
  REQUIRE(VerQueryValueA(Block.data(), "\\", reinterpret_cast<void**>(&Fixed), &Length));
  CHECK(Fixed->dwProductVersionMS == MAKELONG(0, 1));
  CHECK(Fixed->dwProductVersionLS == 0);
  CHECK(Fixed->dwFileVersionMS == MAKELONG(0, 1));

  auto Text = [&](const char* Name) {
    char* Value = nullptr;
    UINT Chars = 0;
    std::string Key = std::string("\\StringFileInfo\\040904B0\\") + Name;
    if (!VerQueryValueA(Block.data(), Key.c_str(), reinterpret_cast<void**>(&Value), &Chars))
      return std::string("(missing)");
    return std::string(Value);
  };
  CHECK(Text("ProductName") == "Quillo");
  CHECK(Text("ProductVersion") == "1.0.0");
  CHECK(Text("FileVersion") == "1.0.0");
  CHECK(Text("OriginalFilename") == "Quillo.exe");
}

TEST_CASE("the manifest asks for common controls 6, the user's rights and no system scaling") {
  std::string Manifest = ResourceText(1, MAKEINTRESOURCEA(24));  // RT_MANIFEST
  CHECK(Manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"") !=
        std::string::npos);
  CHECK(Manifest.find("level=\"asInvoker\"") != std::string::npos);

  // The system honours it: the process is DPI-aware and loads the side-by-side controls 6.
  CHECK(IsProcessDPIAware());
  HMODULE Controls = LoadLibraryA("comctl32.dll");
  REQUIRE(Controls != nullptr);
  char Path[MAX_PATH] = "";
  GetModuleFileNameA(Controls, Path, MAX_PATH);
  std::string Loaded = Path;
  CharLowerA(Path);
  CHECK_MESSAGE(std::string(Path).find("common-controls_6595b64144ccf1df_6.") != std::string::npos,
                "comctl32 came from ", Loaded);
  FreeLibrary(Controls);
}
