// Dragging the caption-less windows by their picture, through their real window messages: the
// hold ends with the release, and also where no release will come: a move with no button down,
// or the mouse taken from the window that held it.
#include <doctest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "components/About.h"
#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/MainFormFixture.h"

namespace {

RECT WindowRect(const TForm* Window) {
  RECT Rect{};
  GetWindowRect(Window->Handle(), &Rect);
  return Rect;
}

void Send(HWND Window, UINT Message, POINT At, WPARAM Buttons) {
  SendMessageA(Window, Message, Buttons, MAKELPARAM(At.x, At.y));
}

}  // namespace

TEST_CASE_FIXTURE(TMainFormFixture, "a drag ends on a move without a button, and when the mouse is taken") {
  // The window, the window its press goes to, a point on its picture there, the button, and the
  // flag the window keeps its drag in.
  struct TDragged {
    const char* Name;
    TForm* Window;
    HWND Pressed;
    POINT At;
    UINT Down, Up;
    WPARAM Held;
    const bool* Dragging;
  };
  const TDragged Windows[] = {
      {"the player by the video", Form, Form->vivo->Handle(), {30, 30}, WM_LBUTTONDOWN, WM_LBUTTONUP,
       MK_LBUTTON, &Dragging},
      {"the player by its picture", Form, Form->Handle(), {5, 5}, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
       &Dragging},
      {"the playlist editor, by the middle button", Playlist, Playlist->Handle(), {3, 3}, WM_MBUTTONDOWN,
       WM_MBUTTONUP, MK_MBUTTON, &EditorDragging},
      {"the About dialog", AboutForm, AboutForm->Handle(), {8, 8}, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON,
       &AboutForm->AboutDragging},
  };
  HWND Other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  REQUIRE(Other != nullptr);
  // What happens after the window has moved once, whether the next move still says the button
  // is held, and who holds the mouse then.
  struct TEnding {
    const char* Name;
    bool ButtonHeld;
    std::function<HWND(HWND Pressed)> Then;
  };
  const TEnding Endings[] = {
      {"a move with no button held", false, [](HWND Pressed) { return Pressed; }},
      {"the mouse taken by another window", true,
       [&](HWND) {
         SetCapture(Other);
         return Other;
       }},
      {"the mouse let go, as Alt+Tab does", true,
       [](HWND) {
         ReleaseCapture();
         return HWND(nullptr);
       }},
  };

  for (const TDragged& W : Windows) {
    W.Window->Show();
    SetForegroundWindow(W.Window->Handle());
    REQUIRE(RunUntil([&] { return GetForegroundWindow() == W.Window->Handle(); }, 3000));
    for (const TEnding& E : Endings) {
      INFO((std::string(W.Name) + ", " + E.Name));
      Send(W.Pressed, W.Down, W.At, W.Held);
      CHECK(*W.Dragging);
      const RECT Start = WindowRect(W.Window);
      Send(W.Pressed, WM_MOUSEMOVE, POINT{W.At.x + 10, W.At.y + 6}, W.Held);
      const RECT Moved = WindowRect(W.Window);
      CHECK(Moved.left == Start.left + 10);
      CHECK(Moved.top == Start.top + 6);

      const HWND Holder = E.Then(W.Pressed);
      CHECK(GetCapture() == Holder);
      Send(W.Pressed, WM_MOUSEMOVE, POINT{W.At.x + 40, W.At.y + 30}, E.ButtonHeld ? W.Held : 0);
      const RECT After = WindowRect(W.Window);
      CHECK(After.left == Moved.left);
      CHECK(After.top == Moved.top);
      CHECK_FALSE(*W.Dragging);

      // Whatever a failed check left held goes before the next case.
      ReleaseCapture();
      Send(W.Pressed, W.Up, W.At, 0);
    }
    W.Window->Hide();
  }
  DestroyWindow(Other);
}
