// The yardstick for start-up time: a program that only registers a class, shows one window,
// paints it and runs a message loop.
#include <windows.h>

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

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
  WNDCLASSA Class{};
  Class.lpfnWndProc = Proc;
  Class.hInstance = Instance;
  Class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  Class.lpszClassName = "MinimalWindow";
  RegisterClassA(&Class);
  HWND Window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 248, 213, nullptr, nullptr, Instance, nullptr);
  ShowWindow(Window, Show);
  UpdateWindow(Window);
  MSG Msg;
  while (GetMessageA(&Msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return 0;
}
