// The wave-output device that plays the clip's sound and drives its clock when one opens: a few
// buffers in the device's queue, each finished one reported to the control's window as
// MM_WOM_DONE, then filled again with the next stretch of sound.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <vector>

class TWaveOut {
public:
  static constexpr int BufferCount = 3;
  ~TWaveOut() { Close(); }
  // Opens the default device for 16-bit mono sound at Rate; false when there is none.
  bool Open(HWND Notify, uint32_t Rate);
  void Close();
  bool IsOpen() const { return Device != nullptr; }
  // Buffers the device holds now.
  int Queued() const;
  // Queues Samples, which play for Ms; false when no buffer is free or the device refuses.
  bool Queue(const std::vector<int16_t>& Samples, uint32_t Ms);
  // A buffer-done message: true when it came from our open device, with how long the finished
  // buffer played in Ms. A message dispatched again gives the same length and frees nothing.
  bool Done(WPARAM Param, LPARAM Header, uint32_t& Ms);

private:
  HWAVEOUT Device = nullptr;
  WAVEHDR Headers[BufferCount]{};
  std::vector<int16_t> Data[BufferCount];
  bool Busy[BufferCount]{};
  uint32_t Finished[BufferCount]{};
};
