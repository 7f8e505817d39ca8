// The picture's one-shot timer: a timer-queue timer posting a message, a few times at most for
// each moment, or a window timer.
#include "vvppweb/PictureTimer.h"

#include <mmsystem.h>

void CALLBACK TPictureTimer::Post(void* Self, BOOLEAN) {
  // Runs in the timer's thread: the fields it reads change only after Cancel has waited for it.
  auto* Timer = static_cast<TPictureTimer*>(Self);
  PostMessageA(Timer->Target, Message, Timer->ShotNumber, 0);
}

bool TPictureTimer::Arm(HWND Window, UINT DelayMs, uint32_t NewMoment) {
  if (NewMoment != Moment) ShotsCame = 0;
  Disarm();
  if (!Fine) Fine = timeBeginPeriod(1) == TIMERR_NOERROR;
  Target = Window;
  Moment = NewMoment;
  ++ShotNumber;
  if (DelayMs == 0) DelayMs = 1;
  if (ShotsCame < MaxShots &&
      !CreateTimerQueueTimer(&Shot, nullptr, Post, this, DelayMs, 0, WT_EXECUTEINTIMERTHREAD | WT_EXECUTEONLYONCE))
    Shot = nullptr;
  if (Shot || SetTimer(Window, Id, DelayMs, nullptr)) return true;
  Cancel();
  return false;
}

bool TPictureTimer::Fired(WPARAM Number) {
  if (Number != ShotNumber || !Target) return false;
  if (Shot) ++ShotsCame;
  Disarm();
  return true;
}

void TPictureTimer::Disarm() {
  // Waits for a callback under way, so none posts after this.
  if (Shot) DeleteTimerQueueTimer(nullptr, Shot, INVALID_HANDLE_VALUE);
  Shot = nullptr;
  if (Target) KillTimer(Target, Id);
  Target = nullptr;
}

void TPictureTimer::Cancel() {
  Disarm();
  // After a pause or a rewind the same moment is a fresh aim, with its precise shots again.
  ShotsCame = 0;
  Moment = 0;
  if (Fine) timeEndPeriod(1);
  Fine = false;
}
