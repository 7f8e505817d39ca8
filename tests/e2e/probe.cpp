// Reports windows, geometry and menus of another process to the end-to-end scripts, and sends
// it messages. One command a run; prints key=value lines; exit code 1 when nothing was found.
//   probe screen                          screen=WxH
//   probe wait CLASS [SECONDS]            waits until a visible window of CLASS exists
//   probe gone CLASS [SECONDS]            waits until no window of CLASS exists
//   probe info CLASS                      window, client, style, exstyle, visible, topmost,
//                                         iconic, foreground, title, program (its process's file)
//   probe children CLASS                  each child window: class and rectangle in the client
//   probe menu [SECONDS]                  the items of the open popup menu
//   probe post CLASS MSG WPARAM LPARAM    posts a message (numbers in C notation)
//   probe close-menu                      closes an open popup menu
//   probe dialog [SECONDS]                waits for a dialog box: its title and the texts of its
//                                         static controls and buttons, CR and LF written \\r, \\n
//   probe count CLASS                     count=N top-level windows of CLASS, shown or not
//   probe handover-junk TEXT BYTE         writes TEXT into the running player's hand-over line,
//                                         fills the rest with BYTE (no NUL anywhere) and posts
//                                         the hand-over message
//   probe squat NAME                      holds a mutex named NAME, as another program's object
//                                         of that name would, until its input ends
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <string>

namespace {

HWND Find(const char* Class) { return FindWindowA(Class, nullptr); }

bool WaitFor(const char* Class, double Seconds, bool Present) {
  DWORD Until = GetTickCount() + static_cast<DWORD>(Seconds * 1000);
  for (;;) {
    HWND W = Find(Class);
    bool Here = W && (!Present || IsWindowVisible(W));
    if (Here == Present) return true;
    if (static_cast<LONG>(GetTickCount() - Until) > 0) return false;
    Sleep(50);
  }
}

int Info(const char* Class) {
  HWND W = Find(Class);
  if (!W) return 1;
  RECT R, C;
  GetWindowRect(W, &R);
  GetClientRect(W, &C);
  POINT Origin{0, 0};
  ClientToScreen(W, &Origin);
  LONG Ex = GetWindowLongA(W, GWL_EXSTYLE);
  std::printf("hwnd=%p\nwindow=%ld,%ld,%ld,%ld\nclient=%ld,%ld\nclient_origin=%ld,%ld\n",
              static_cast<void*>(W), R.left, R.top, R.right - R.left, R.bottom - R.top,
              C.right, C.bottom, Origin.x, Origin.y);
  std::printf("style=0x%08lX\nexstyle=0x%08lX\nvisible=%d\ntopmost=%d\niconic=%d\n",
              static_cast<unsigned long>(GetWindowLongA(W, GWL_STYLE)),
              static_cast<unsigned long>(Ex), IsWindowVisible(W) ? 1 : 0,
              (Ex & WS_EX_TOPMOST) ? 1 : 0, IsIconic(W) ? 1 : 0);
  std::printf("foreground=%d\n", GetForegroundWindow() == W ? 1 : 0);
  char Title[256] = "";
  GetWindowTextA(W, Title, sizeof Title);
  std::printf("title=%s\n", Title);
  DWORD ProcessId = 0;
  GetWindowThreadProcessId(W, &ProcessId);
  if (HANDLE Process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId)) {
    char Program[MAX_PATH] = "";
    DWORD Size = sizeof Program;
    if (QueryFullProcessImageNameA(Process, 0, Program, &Size)) std::printf("program=%s\n", Program);
    CloseHandle(Process);
  }
  return 0;
}

BOOL CALLBACK PrintChild(HWND Child, LPARAM Parent) {
  if (GetParent(Child) != reinterpret_cast<HWND>(Parent)) return TRUE;
  char Class[128] = "";
  GetClassNameA(Child, Class, sizeof Class);
  RECT R;
  GetWindowRect(Child, &R);
  MapWindowPoints(HWND_DESKTOP, reinterpret_cast<HWND>(Parent), reinterpret_cast<POINT*>(&R), 2);
  std::printf("child=%s,%ld,%ld,%ld,%ld,%d\n", Class, R.left, R.top, R.right - R.left,
              R.bottom - R.top, IsWindowVisible(Child) ? 1 : 0);
  return TRUE;
}

int Children(const char* Class) {
  HWND W = Find(Class);
  if (!W) return 1;
  EnumChildWindows(W, PrintChild, reinterpret_cast<LPARAM>(W));
  return 0;
}

int Menu(double Seconds) {
  if (!WaitFor("#32768", Seconds, true)) return 1;
  HWND W = Find("#32768");
  HMENU M = reinterpret_cast<HMENU>(SendMessageA(W, MN_GETHMENU, 0, 0));
  RECT R;
  GetWindowRect(W, &R);
  std::printf("menu_window=%ld,%ld,%ld,%ld\n", R.left, R.top, R.right - R.left, R.bottom - R.top);
  int Count = GetMenuItemCount(M);
  std::printf("items=%d\n", Count);
  for (int I = 0; I < Count; ++I) {
    char Text[256] = "";
    MENUITEMINFOA Item{};
    Item.cbSize = sizeof Item;
    Item.fMask = MIIM_STRING | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU;
    Item.dwTypeData = Text;
    Item.cch = sizeof Text;
    GetMenuItemInfoA(M, I, TRUE, &Item);
    std::printf("item=%s|%s%s%s\n", (Item.fType & MFT_SEPARATOR) ? "-" : Text,
                (Item.fState & MFS_CHECKED) ? "checked," : "",
                (Item.fState & MFS_DISABLED) ? "disabled," : "", Item.hSubMenu ? "submenu" : "");
  }
  return 0;
}

// Text with its line breaks spelled out, so each value stays on one line.
std::string OneLine(const char* Text) {
  std::string Out;
  for (const char* C = Text; *C; ++C) Out += *C == '\r' ? "\\r" : *C == '\n' ? "\\n" : std::string(1, *C);
  return Out;
}

BOOL CALLBACK PrintDialogItem(HWND Item, LPARAM) {
  char Class[64] = "", Text[1024] = "";
  GetClassNameA(Item, Class, sizeof Class);
  GetWindowTextA(Item, Text, sizeof Text);
  if (lstrcmpiA(Class, "Static") == 0 && Text[0]) std::printf("static=%s\n", OneLine(Text).c_str());
  if (lstrcmpiA(Class, "Button") == 0) std::printf("button=%s\n", OneLine(Text).c_str());
  return TRUE;
}

int Dialog(double Seconds) {
  if (!WaitFor("#32770", Seconds, true)) return 1;
  HWND W = Find("#32770");
  char Title[256] = "";
  GetWindowTextA(W, Title, sizeof Title);
  std::printf("title=%s\n", OneLine(Title).c_str());
  EnumChildWindows(W, PrintDialogItem, 0);
  return 0;
}

BOOL CALLBACK CountWindow(HWND Window, LPARAM Data) {
  auto* Count = reinterpret_cast<std::pair<const char*, int>*>(Data);
  char Class[128] = "";
  GetClassNameA(Window, Class, sizeof Class);
  if (lstrcmpA(Class, Count->first) == 0) ++Count->second;
  return TRUE;
}

int Count(const char* Class) {
  std::pair<const char*, int> Found{Class, 0};
  EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&Found));
  std::printf("count=%d\n", Found.second);
  return 0;
}

// A broken or hostile writer: 1024 bytes of line with no terminating NUL.
int HandOverJunk(const char* Text, unsigned char Byte) {
  HANDLE Mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "Quillo");
  if (!Mapping) return 1;
  auto* Block = static_cast<unsigned char*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 1028));
  HWND Owner = FindWindowA("OneInstanceWndClass", "OneInstanceWnd");
  if (!Block || !Owner) return 1;
  std::memset(Block + 4, Byte, 1024);
  std::memcpy(Block + 4, Text, std::min<size_t>(std::strlen(Text), 1024));
  bool Posted = PostMessageA(Owner, WM_USER + 10000, 0, 0);
  UnmapViewOfFile(Block);
  CloseHandle(Mapping);
  return Posted ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string Cmd = argc > 1 ? argv[1] : "";
  auto Arg = [&](int I, const char* Default) { return argc > I ? argv[I] : Default; };
  if (Cmd == "screen") {
    std::printf("screen=%dx%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
  }
  if (Cmd == "wait" && argc > 2) return WaitFor(argv[2], std::atof(Arg(3, "10")), true) ? 0 : 1;
  if (Cmd == "gone" && argc > 2) return WaitFor(argv[2], std::atof(Arg(3, "10")), false) ? 0 : 1;
  if (Cmd == "info" && argc > 2) return Info(argv[2]);
  if (Cmd == "children" && argc > 2) return Children(argv[2]);
  if (Cmd == "menu") return Menu(std::atof(Arg(2, "5")));
  if (Cmd == "dialog") return Dialog(std::atof(Arg(2, "5")));
  if (Cmd == "count" && argc > 2) return Count(argv[2]);
  if (Cmd == "handover-junk" && argc > 3)
    return HandOverJunk(argv[2], static_cast<unsigned char>(std::strtoul(argv[3], nullptr, 0)));
  if (Cmd == "squat" && argc > 2) {
    HANDLE Mutex = CreateMutexA(nullptr, FALSE, argv[2]);
    if (!Mutex) return 1;
    std::printf("held=%s\n", argv[2]);
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    CloseHandle(Mutex);
    return 0;
  }
  if (Cmd == "close-menu") {
    HWND W = Find("#32768");
    if (!W) return 1;
    PostMessageA(W, WM_KEYDOWN, VK_ESCAPE, 0);
    return 0;
  }
  if (Cmd == "post" && argc > 5) {
    HWND W = Find(argv[2]);
    if (!W) return 1;
    return PostMessageA(W, std::strtoul(argv[3], nullptr, 0), std::strtoull(argv[4], nullptr, 0),
                        std::strtoll(argv[5], nullptr, 0)) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: probe screen|wait|gone|info|children|menu|post|close-menu|dialog|count|handover-junk|squat ...\n");
  return 2;
}
