// An icon that owns its HICON, as the tray icon keeps one.
#pragma once

#include <windows.h>

#include <string>

// Copies are deep: each object frees its own icon.
class TIcon {
public:
  TIcon() = default;
  ~TIcon();
  TIcon(const TIcon& Other) { Assign(Other); }
  TIcon& operator=(const TIcon& Other) { Assign(Other); return *this; }

  // Loads the icon resource Name (or numbered Id) of Instance (nullptr: this program) at
  // Width x Height (0 x 0: the system's icon size); raises Exception when there is none.
  void LoadFromResource(HINSTANCE Instance, const std::string& Name, int Width = 0,
                        int Height = 0);
  void LoadFromResource(HINSTANCE Instance, int Id, int Width = 0, int Height = 0);
  // A copy of Source's icon; an empty Source empties this one.
  void Assign(const TIcon& Source);
  // Takes ownership of Icon (nullptr empties).
  void SetHandle(HICON Icon);
  HICON Handle() const { return Icon; }
  bool Empty() const { return Icon == nullptr; }

private:
  void Load(HINSTANCE Instance, const char* Name, const std::string& What, int Width, int Height);
  HICON Icon = nullptr;
};
