// A one-shot timer aimed at the next picture's moment: when it falls due, the control's window
// gets a WM_TIMER, and shows the picture then. A window timer cannot aim closer than 10 ms
// (USER_TIMER_MINIMUM): a picture due 1 ms after a buffer's done would come 10 ms late. So a
// multimedia one-shot event, at a millisecond's resolution, posts the WM_TIMER; the window timer
// stands in where the system has no such event to give. While one is armed the system's timer
// runs at a millisecond (timeBeginPeriod), where its ticks are otherwise 10 to 16 ms coarse.
#pragma once

#include <windows.h>

class TPictureTimer {
public:
  // The WM_TIMER identifier it uses in its window.
  static constexpr UINT_PTR Id = 3;
  TPictureTimer() = default;
  ~TPictureTimer() { Cancel(); }
  TPictureTimer(const TPictureTimer&) = delete;
  TPictureTimer& operator=(const TPictureTimer&) = delete;

  // Fires in Window in DelayMs (at least 1), instead of any earlier aim; false when the system
  // has no timer to give.
  bool Arm(HWND Window, UINT DelayMs);
  // No WM_TIMER from it from now on, but one the event had posted already. The one that has
  // fired calls this too.
  void Cancel();

private:
  HWND Target = nullptr;
  UINT Event = 0;     // the multimedia event armed, 0 with none
  bool Fine = false;  // the system's timer set to a millisecond
};
