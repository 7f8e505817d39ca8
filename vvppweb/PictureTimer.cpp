// The picture's one-shot timer: a window timer, killed when it fires.
#include "vvppweb/PictureTimer.h"

#include <mmsystem.h>

bool TPictureTimer::Arm(HWND Window, UINT DelayMs) {
  if (Target && Target != Window) Cancel();
  if (!Fine) Fine = timeBeginPeriod(1) == TIMERR_NOERROR;
  Target = Window;
  // Setting it again replaces the earlier aim.
  if (SetTimer(Window, Id, DelayMs ? DelayMs : 1, nullptr)) return true;
  Cancel();
  return false;
}

void TPictureTimer::Cancel() {
  if (Target) KillTimer(Target, Id);
  Target = nullptr;
  if (Fine) timeEndPeriod(1);
  Fine = false;
}
