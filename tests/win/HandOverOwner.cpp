// Stands in for a running player in the hand-over tests: from a process of its own it makes the
// hand-over block and publishes a hidden window in it, as the player does. It ends with exit
// code 0 once the hand-over message reaches that window, 2 when none comes within 30 seconds.
#include <windows.h>

#include "app/OneInstance.h"

int main() {
  HANDLE Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(InstanceBlock), InstanceBlockName);
  if (!Mapping || GetLastError() == ERROR_ALREADY_EXISTS) return 1;
  auto* Block = static_cast<InstanceBlock*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  HWND Window = CreateWindowExA(0, "STATIC", "HandOverOwner", 0, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!Block || !Window) return 1;
  SetTimer(nullptr, 0, 30000, nullptr);
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&Block->Window),
                      static_cast<LONG>(reinterpret_cast<LONG_PTR>(Window)));
  MSG Message;
  while (GetMessageA(&Message, nullptr, 0, 0) > 0) {
    if (Message.message == HandOverMessage && Message.hwnd == Window) return 0;
    if (Message.message == WM_TIMER) return 2;
    DispatchMessageA(&Message);
  }
  return 3;
}
