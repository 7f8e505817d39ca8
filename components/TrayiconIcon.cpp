// An icon that owns its HICON: loading from resources, deep copies, release.
#include "components/TrayiconIcon.h"

#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

TIcon::~TIcon() { SetHandle(nullptr); }

void TIcon::LoadFromResource(HINSTANCE Instance, const std::string& Name, int Width, int Height) {
  Load(Instance, Name.c_str(), Name, Width, Height);
}

void TIcon::LoadFromResource(HINSTANCE Instance, int Id, int Width, int Height) {
  Load(Instance, MAKEINTRESOURCEA(Id), std::to_string(Id), Width, Height);
}

void TIcon::Load(HINSTANCE Instance, const char* Name, const std::string& What, int Width,
                 int Height) {
  if (!Instance) Instance = GetModuleHandleA(nullptr);
  UINT Flags = Width == 0 && Height == 0 ? LR_DEFAULTSIZE : 0;
  HANDLE Loaded = LoadImageA(Instance, Name, IMAGE_ICON, Width, Height, Flags);
  if (!Loaded) {
    throw Exception("Cannot load the icon " + What + ": " + SysErrorMessage(GetLastError()));
  }
  SetHandle(static_cast<HICON>(Loaded));
}

void TIcon::Assign(const TIcon& Source) {
  if (&Source == this) return;
  if (!Source.Icon) {
    SetHandle(nullptr);
    return;
  }
  HICON Copy = CopyIcon(Source.Icon);
  if (!Copy) throw Exception("Cannot copy the icon: " + SysErrorMessage(GetLastError()));
  SetHandle(Copy);
}

void TIcon::SetHandle(HICON NewIcon) {
  if (Icon == NewIcon) return;
  if (Icon) DestroyIcon(Icon);
  Icon = NewIcon;
}
