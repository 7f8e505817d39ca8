// The picture's one-shot timer: a multimedia event that posts WM_TIMER, or a window timer, killed
// when it fires.
#include "vvppweb/PictureTimer.h"

#include <mmsystem.h>

namespace {

void CALLBACK PostPictureTimer(UINT, UINT, DWORD_PTR Window, DWORD_PTR, DWORD_PTR) {
  PostMessageA(reinterpret_cast<HWND>(Window), WM_TIMER, TPictureTimer::Id, 0);
}

}  // namespace

bool TPictureTimer::Arm(HWND Window, UINT DelayMs) {
  // Aimed again: the earlier aim is gone (its event killed, waiting for a callback under way).
  Cancel();
  Fine = timeBeginPeriod(1) == TIMERR_NOERROR;
  Target = Window;
  if (DelayMs == 0) DelayMs = 1;
  Event = timeSetEvent(DelayMs, 1, PostPictureTimer, reinterpret_cast<DWORD_PTR>(Window),
                       TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
  if (Event || SetTimer(Window, Id, DelayMs, nullptr)) return true;
  Cancel();
  return false;
}

void TPictureTimer::Cancel() {
  if (Event) timeKillEvent(Event);
  Event = 0;
  if (Target) KillTimer(Target, Id);
  Target = nullptr;
  if (Fine) timeEndPeriod(1);
  Fine = false;
}
