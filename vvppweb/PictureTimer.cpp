// The picture's one-shot timer, on the multimedia timer's own thread, which only posts.
#include "vvppweb/PictureTimer.h"

#include <mmsystem.h>

bool TPictureTimer::Arm(HWND Window, UINT NewMessage, UINT DelayMs) {
  Cancel();
  Target = Window;
  Message = NewMessage;
  Fired.store(false);
  Id = timeSetEvent(DelayMs ? DelayMs : 1, 1, Due, reinterpret_cast<DWORD_PTR>(this),
                    TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
  return Id != 0;
}

void TPictureTimer::Cancel() {
  // Synchronous: once it returns, the callback is not running and will not run.
  if (Id && !Fired.load()) timeKillEvent(Id);
  Id = 0;
}

void CALLBACK TPictureTimer::Due(UINT, UINT, DWORD_PTR User, DWORD_PTR, DWORD_PTR) {
  auto* Timer = reinterpret_cast<TPictureTimer*>(User);
  // Nothing of the timer is touched once Fired is set: it may be armed anew, or gone.
  HWND Window = Timer->Target;
  UINT Message = Timer->Message;
  Timer->Fired.store(true);
  PostMessageA(Window, Message, 0, 0);
}
