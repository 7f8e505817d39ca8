// The wave-output device that drives the clip's clock when one opens: a few buffers of silence
// played round and round, each finished buffer reported to the control's window as MM_WOM_DONE.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <vector>

class TWaveOut {
public:
  ~TWaveOut() { Close(); }
  // Opens the default device with buffers of BufferMs; false when there is none.
  bool Open(HWND Notify, UINT BufferMs);
  void Close();
  bool IsOpen() const { return Device != nullptr; }
  // A buffer-done message: true when it came from our open device. The buffer is queued again
  // only the first time the message arrives, so a message dispatched again changes nothing.
  bool Done(WPARAM Param, LPARAM Header);

private:
  static constexpr int BufferCount = 3;
  HWAVEOUT Device = nullptr;
  WAVEHDR Headers[BufferCount]{};
  std::vector<char> Data[BufferCount];
};
