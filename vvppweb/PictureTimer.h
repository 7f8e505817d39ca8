// A one-shot timer aimed at the next picture's moment: when it falls due, the control's window
// gets PictureTimer::Message (or WM_TIMER with Id) and shows the picture then.
//
// A window timer cannot aim closer than 10 ms (USER_TIMER_MINIMUM): a picture due 1 ms after a
// buffer's done would come 10 ms late. So a timer-queue timer, at a millisecond's resolution,
// posts the message. But a posted message is taken before the user's input, where a window
// timer's WM_TIMER comes only when the queue is empty. So each moment gets a few precise shots:
// aimed again at a moment whose shots have come (the sound's estimate has not reached it yet, as
// when the device's dones are late or the estimate is held at what is queued), the window timer
// takes it. However the estimate stalls, the posts stay a few for each picture. The window timer
// also stands in where the system has no timer queue to give. While one is armed the system's
// timer runs at a millisecond (timeBeginPeriod), where its ticks are otherwise 10 to 16 ms coarse.
#pragma once

#include <windows.h>

#include <cstdint>

class TPictureTimer {
public:
  // The message the precise shot posts to the window, its WPARAM the shot's number; and the
  // window timer's WM_TIMER identifier.
  static constexpr UINT Message = WM_APP + 3;
  static constexpr UINT_PTR Id = 3;
  TPictureTimer() = default;
  ~TPictureTimer() { Cancel(); }
  TPictureTimer(const TPictureTimer&) = delete;
  TPictureTimer& operator=(const TPictureTimer&) = delete;

  // Fires in Window in DelayMs (at least 1), for the picture at Moment (the clip's time), instead
  // of any earlier aim; false when the system has no timer to give.
  bool Arm(HWND Window, UINT DelayMs, uint32_t Moment);
  // The window got Message with Shot, or the WM_TIMER: true when it is the aim's own (a shot
  // posted before the aim changed is not). The timer is spent, the system's timer still fine for
  // the next aim.
  bool Fired(WPARAM Shot);
  bool Fired() { return Fired(ShotNumber); }
  // No message from it from now on, the system's timer back to its own pace, and the shots
  // counted so far forgotten.
  void Cancel();

private:
  static void CALLBACK Post(void* Self, BOOLEAN);
  void Disarm();
  HWND Target = nullptr;
  static constexpr int MaxShots = 3;  // a shot can find the estimate a millisecond short
  HANDLE Shot = nullptr;  // the timer-queue timer armed
  WPARAM ShotNumber = 0;  // the number the armed shot posts
  uint32_t Moment = 0;    // the moment aimed at
  int ShotsCame = 0;      // precise shots at Moment that came
  bool Fine = false;      // the system's timer set to a millisecond
};
