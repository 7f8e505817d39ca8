// The clip's sound on its way out, and where it is now: the wave-output device when one opens,
// else a timer standing in for it that posts the buffer-done messages a device would. Either
// way each buffer's done comes to the control's window as MM_WOM_DONE, which is what moves the
// clip's clock (and what the host's fast forward dispatches six times).
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>

#include "vvppweb/Playback.h"
#include "vvppweb/SoundClock.h"
#include "vvppweb/WaveOut.h"

class TControlSound {
public:
  // How long one buffer plays at most: the step of the clip's clock.
  static constexpr uint32_t BufferMs = 50;

  // Starts the sound at Rate, its done messages going to Notify; true when a device opened.
  bool Start(HWND Notify, uint32_t Rate);
  // Stops it; true when a device was open.
  bool Stop();
  bool Running() const { return IsRunning; }
  bool DeviceOpen() const { return Wave.IsOpen(); }
  // Room for another buffer.
  bool WantsMore() const;
  // Queues a buffer; false when the device refuses it.
  bool Queue(const TSoundBuffer& Buffer);
  // A buffer-done message: how far the clock moves (Ms); false when it is none of ours.
  bool Done(WPARAM Param, LPARAM LParam, uint32_t& Ms);
  // The window timer's tick, while running: posts the stand-in's done messages that are due.
  // True when the device has fallen silent and the timer has taken over: what the device had
  // queued is gone, and the sound must be queued again from where it was heard.
  bool Tick();
  // How far the sound heard now is from the clip's clock, in milliseconds.
  int64_t HeardOffsetMs() const;

private:
  static uint64_t NowUs();
  HWND Notify = nullptr;
  uint32_t Rate = 8000;
  bool IsRunning = false;
  // The timeline begins with the first buffer queued, when a device starts to play: decoding
  // the first buffers may take a while, and none of it has been heard.
  bool TimelineBegun = false;
  TWaveOut Wave;
  TTimerDevice StandIn;
  TSoundClock Clock;
  ULONGLONG LastDeviceDone = 0;
  // The stand-in's messages carry a sequence number: the next ones expected, oldest first, and
  // the last one handled, which the host may dispatch again.
  uint32_t NextSequence = 1;
  std::deque<uint32_t> Posted;
  uint32_t LastSequence = 0;
  uint32_t LastMs = 0;
};
