// The yardstick for start-up time: a program that only registers a class, shows one window,
// paints it and runs a message loop. Its window takes the screen as the player's does: the
// player's size and frame, centred, without a caption. With the argument "exit" it ends at once:
// a bare process start.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK Proc(HWND Window, UINT Msg, WPARAM W, LPARAM L) {
  if (Msg == WM_PAINT) {
    PAINTSTRUCT Paint;
    HDC DC = BeginPaint(Window, &Paint);
    FillRect(DC, &Paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(Window, &Paint);
    return 0;
  }
  if (Msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(Window, Msg, W, L);
}

}  // namespace

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR CommandLine, int Show) {
  if (std::strstr(CommandLine, "exit")) return 0;
  WNDCLASSA Class{};
  Class.lpfnWndProc = Proc;
  Class.hInstance = Instance;
  Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Class.lpszClassName = "MinimalWindow";
  RegisterClassA(&Class);
  const int Width = 248, Height = 213;
  HWND Window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_POPUP | WS_THICKFRAME,
                                (GetSystemMetrics(SM_CXSCREEN) - Width) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - Height) / 2, Width, Height,
                                nullptr, nullptr, Instance, nullptr);
  ShowWindow(Window, Show);
  UpdateWindow(Window);
  MSG Msg;
  while (GetMessageA(&Msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return 0;
}
