// The wave-output device that plays the clip's sound and drives its clock when one opens: a few
// buffers in the device's queue, each finished one reported to the control's window as
// MM_WOM_DONE, then filled again with the next stretch of sound.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>
#include <vector>

class TWaveOut {
public:
  // Four buffers of at most 50 ms: 200 ms ahead of what is heard, so a host busy for a moment
  // (a modal loop starting, a long paint) leaves no gap in the sound.
  static constexpr int BufferCount = 4;
  enum class TDone { NotOurs, Finished, Again };

  ~TWaveOut() { Close(); }
  // Opens the default device for 16-bit mono sound at Rate; false when there is none.
  bool Open(HWND Notify, uint32_t Rate);
  void Close();
  bool IsOpen() const { return Device != nullptr; }
  HWAVEOUT Handle() const { return Device; }
  // Buffers the device holds now.
  int Queued() const;
  // Queues Samples; false when no buffer is free or the device refuses.
  bool Queue(const std::vector<int16_t>& Samples);
  // A buffer-done message: Finished when it frees one of our buffers, Again when the host
  // dispatches that message once more (its fast forward), each with the buffer's Samples;
  // NotOurs for anything else, a late message of a device closed since among them.
  TDone Done(WPARAM Param, LPARAM Header, uint64_t& Samples);
private:
  // The buffers of one opening. A closed device's may still be named by its late messages, so
  // they are kept (never reused for another opening) until a message of the new one shows that
  // the old ones have all come through.
  struct TBuffers {
    WAVEHDR Headers[BufferCount]{};
    std::vector<int16_t> Data[BufferCount];
    bool Busy[BufferCount]{};
  };
  HWAVEOUT Device = nullptr;
  std::unique_ptr<TBuffers> Current;
  std::vector<std::unique_ptr<TBuffers>> Retired;
  LPARAM LastDone = 0;
  uint64_t LastDoneSamples = 0;
};
