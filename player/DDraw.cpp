// The DirectDraw binding.
#include "player/DDraw.h"

namespace DDraw {

HMODULE DDrawModule = nullptr;
bool DDrawLoaded = false;
TDirectDrawEnumerateA DirectDrawEnumerateA = nullptr;
TDirectDrawCreate DirectDrawCreate = nullptr;
TDirectDrawCreateClipper DirectDrawCreateClipper = nullptr;

template <class T>
T Entry(const char* Name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(DDrawModule, Name)));
}

void LoadDDraw() {
  DDrawModule = LoadLibraryA("ddraw.dll");
  DDrawLoaded = DDrawModule != nullptr;
  if (DDrawLoaded) {
    DirectDrawEnumerateA = Entry<TDirectDrawEnumerateA>("DirectDrawEnumerateA");
    DirectDrawCreate = Entry<TDirectDrawCreate>("DirectDrawCreate");
    DirectDrawCreateClipper = Entry<TDirectDrawCreateClipper>("DirectDrawCreateClipper");
  }
}

void FreeDDraw() {
  if (DDrawModule) FreeLibrary(DDrawModule);
  DDrawLoaded = false;
  DDrawModule = nullptr;
  DirectDrawEnumerateA = nullptr;
  DirectDrawCreate = nullptr;
  DirectDrawCreateClipper = nullptr;
}

}  // namespace DDraw
