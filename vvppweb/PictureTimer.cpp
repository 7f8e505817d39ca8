// The picture's one-shot timer: a timer-queue timer that posts WM_TIMER, or a window timer, killed
// when it fires.
#include "vvppweb/PictureTimer.h"

#include <mmsystem.h>

namespace {

void CALLBACK PostPictureTimer(void* Window, BOOLEAN) {
  PostMessageA(static_cast<HWND>(Window), WM_TIMER, TPictureTimer::Id, 0);
}

}  // namespace

bool TPictureTimer::Arm(HWND Window, UINT DelayMs) {
  // Aimed again: the earlier aim is gone (its event killed, waiting for a callback under way).
  Cancel();
  Fine = timeBeginPeriod(1) == TIMERR_NOERROR;
  Target = Window;
  if (DelayMs == 0) DelayMs = 1;
  if (!CreateTimerQueueTimer(&Event, nullptr, PostPictureTimer, Window, DelayMs, 0,
                             WT_EXECUTEINTIMERTHREAD | WT_EXECUTEONLYONCE))
    Event = nullptr;
  if (Event || SetTimer(Window, Id, DelayMs, nullptr)) return true;
  Cancel();
  return false;
}

void TPictureTimer::Cancel() {
  // Waits for a callback under way, so none posts after this.
  if (Event) DeleteTimerQueueTimer(nullptr, Event, INVALID_HANDLE_VALUE);
  Event = nullptr;
  if (Target) KillTimer(Target, Id);
  Target = nullptr;
  if (Fine) timeEndPeriod(1);
  Fine = false;
}
