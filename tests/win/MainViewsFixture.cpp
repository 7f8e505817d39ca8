// The player window's views under test.
#include "tests/win/MainViewsFixture.h"

#include <cstring>

#include "control/VVPPWEBLib_TLB.h"

namespace {

// Wine's Direct3D draws through OpenGL unless told otherwise; once it has taken the player
// window for that, the video control's child window no longer paints and moving it hangs.
// DirectX mode only switches the display, which Wine's GDI renderer does as well, so this
// program asks Wine for that one (a setting of this program alone, in its own prefix).
void LoadDirectDraw() {
  static bool Loaded = false;
  if (Loaded) return;
  Loaded = true;
  if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
    char Path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, Path, sizeof Path);
    const char* Name = std::strrchr(Path, '\\');
    std::string Key = std::string("Software\\Wine\\AppDefaults\\") + (Name ? Name + 1 : Path) +
                      "\\Direct3D";
    HKEY Handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                        &Handle, nullptr) == ERROR_SUCCESS) {
      RegSetValueExA(Handle, "renderer", 0, REG_SZ, reinterpret_cast<const BYTE*>("gdi"), 4);
      RegCloseKey(Handle);
    }
  }
  DDraw::LoadDDraw();
}

}  // namespace

TViewsFixture::TViewsFixture() {
  LoadDirectDraw();
  SavedCreate = DDraw::DirectDrawCreate;
  DirectDrawUsed = false;
  DirectDrawObject = nullptr;
  Desktop = Display();
  ShowInFront();
}

TViewsFixture::~TViewsFixture() {
  if (DirectDrawActive) Form->LeaveDirectDraw();
  DDraw::DirectDrawCreate = SavedCreate;
  DirectDrawObject = nullptr;
}

void TViewsFixture::Open(int Width, int Height) {
  std::string Path = Dir / ("clip" + std::to_string(Width) + "x" + std::to_string(Height) + ".viv");
  WriteClip(Path, Width, Height, 600000);
  Form->PlayState = psStopped;
  Form->PlayFile(Path);
  REQUIRE(RunUntil([&] { return Form->PlayState == psPlaying; }));
  REQUIRE(Form->vivo->VideoWidth() == Width);
}

TRect TViewsFixture::Video() const {
  RECT R;
  GetWindowRect(Form->vivo->Handle(), &R);
  MapWindowPoints(nullptr, Form->Handle(), reinterpret_cast<POINT*>(&R), 2);
  return {R.left, R.top, R.right - R.left, R.bottom - R.top};
}

TRect TViewsFixture::Button() const {
  return {Form->Button1->Left(), Form->Button1->Top(), Form->Button1->Width(),
          Form->Button1->Height()};
}

TPoint TViewsFixture::ClientOrigin() const {
  POINT P{0, 0};
  ClientToScreen(Form->Handle(), &P);
  return {P.x, P.y};
}

TSize TViewsFixture::Frame() const {
  return {(Form->Width() - Form->ClientWidth()) / 2, (Form->Height() - Form->ClientHeight()) / 2};
}

TSize TViewsFixture::Display() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}
