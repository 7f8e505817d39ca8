// A one-shot timer aimed at the next picture's moment: when it falls due, a message is posted
// to the control's window, which shows the picture then. The multimedia timer keeps to the
// millisecond, where a window timer's ticks are 10 to 16 ms coarse.
#pragma once

#include <windows.h>

#include <atomic>

class TPictureTimer {
public:
  TPictureTimer() = default;
  ~TPictureTimer() { Cancel(); }
  TPictureTimer(const TPictureTimer&) = delete;
  TPictureTimer& operator=(const TPictureTimer&) = delete;

  // Posts Message to Window in DelayMs (at least 1), instead of any earlier aim; false when the
  // system has no timer to give.
  bool Arm(HWND Window, UINT Message, UINT DelayMs);
  // No message from now on, but one already posted.
  void Cancel();

private:
  static void CALLBACK Due(UINT Id, UINT, DWORD_PTR User, DWORD_PTR, DWORD_PTR);
  UINT Id = 0;
  // Set when the timer has gone off: its id is no longer ours to kill (it may name another's).
  std::atomic<bool> Fired{false};
  HWND Target = nullptr;
  UINT Message = 0;
};
