// A one-shot timer aimed at the next picture's moment: when it falls due, the control's window
// gets a WM_TIMER, and shows the picture then. While one is armed the system's timer runs at a
// millisecond (timeBeginPeriod), where its ticks are otherwise 10 to 16 ms coarse.
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
  // No WM_TIMER from it from now on. The one that has fired calls this too.
  void Cancel();

private:
  HWND Target = nullptr;
  bool Fine = false;  // the system's timer set to a millisecond
};
