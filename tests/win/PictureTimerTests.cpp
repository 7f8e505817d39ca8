// The picture's timer with the real system timers: a precise shot posted at each moment, at most
// three for one moment however often it is aimed there again (the sound's estimate stalled), then
// the window timer, whose WM_TIMER waits for an empty queue, until a cancel; a shot posted before
// the aim changed is not taken for the new aim's.
#include <doctest.h>
#include <windows.h>

#include <string>

#include "vvppweb/PictureTimer.h"

namespace {

// The next message for Window from either timer, read without dispatching; "none" after WaitMs.
std::string NextShot(HWND Window, WPARAM& Shot, DWORD WaitMs = 5000) {
  DWORD Deadline = GetTickCount() + WaitMs;
  for (;;) {
    MSG Message;
    while (PeekMessageA(&Message, Window, 0, 0, PM_REMOVE)) {
      if (Message.message == TPictureTimer::Message) {
        Shot = Message.wParam;
        return "shot";
      }
      if (Message.message == WM_TIMER && Message.wParam == TPictureTimer::Id) return "timer";
    }
    auto Left = static_cast<LONG>(Deadline - GetTickCount());
    if (Left <= 0) return "none";
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(Left), QS_ALLINPUT);
  }
}

}  // namespace

TEST_CASE("the picture's timer: a few precise shots for each moment, then the window timer") {
  HWND Window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  REQUIRE(Window);
  TPictureTimer Timer;
  // Aimed at 1000 ms again and again, as when the estimate has not reached it yet.
  const char* Expected[] = {"shot", "shot", "shot", "timer", "timer"};
  for (const char* Want : Expected) {
    REQUIRE(Timer.Arm(Window, 1, 1000));
    WPARAM Shot = 0;
    std::string Got = NextShot(Window, Shot);
    CHECK(Got == Want);
    CHECK((Got == "shot" ? Timer.Fired(Shot) : Timer.Fired()));
  }
  // Cancelled (a pause, a rewind), the same moment aimed at again has its precise shot again.
  Timer.Cancel();
  REQUIRE(Timer.Arm(Window, 1, 1000));
  WPARAM Shot = 0;
  REQUIRE(NextShot(Window, Shot) == "shot");
  CHECK(Timer.Fired(Shot));
  // The next moment gets its own precise shot.
  REQUIRE(Timer.Arm(Window, 1, 1067));
  REQUIRE(NextShot(Window, Shot) == "shot");
  // That shot, not yet handed over when the aim moves on, is not the new aim's; the new one comes.
  REQUIRE(Timer.Arm(Window, 5, 1133));
  CHECK_FALSE(Timer.Fired(Shot));
  WPARAM Fresh = 0;
  REQUIRE(NextShot(Window, Fresh) == "shot");
  CHECK(Fresh != Shot);
  CHECK(Timer.Fired(Fresh));
  // Cancelled, it posts nothing more: a shot aimed 1 ms ahead would have come within 200 ms.
  REQUIRE(Timer.Arm(Window, 1, 1200));
  Timer.Cancel();
  CHECK(NextShot(Window, Shot, 200) == "none");
  DestroyWindow(Window);
}
