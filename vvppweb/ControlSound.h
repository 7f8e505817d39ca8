// The clip's sound on its way out, and where it is now: the wave-output device when one opens,
// else a timer standing in for it that posts the buffer-done messages a device would. Either
// way each buffer's done comes to the control's window as MM_WOM_DONE, which is what moves the
// clip's clock (and what the host's fast forward dispatches six times).
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <utility>

#include "vvppweb/Playback.h"
#include "vvppweb/SoundClock.h"
#include "vvppweb/WaveOut.h"

class TControlSound {
public:
  // How long one buffer plays at most: the step of the clip's clock.
  static constexpr uint32_t BufferMs = 50;
  // What a buffer-done message was: none of ours, a buffer the device has finished, or the host
  // dispatching that message again (its fast forward).
  enum class TDone { NotOurs, Finished, Again };

  // Starts the sound at Rate, its done messages going to Notify; true when a device opened.
  bool Start(HWND Notify, uint32_t Rate);
  // Stops it at once, dropping what the device holds; true when a device was open.
  bool Stop();
  // Stops it once what the device holds has been heard, for a clip that played to its end: the
  // device plays on through silence after it, and is closed when that has gone through. A new
  // Start may come meanwhile. True when a device was open.
  bool PlayOut();
  bool Running() const { return IsRunning; }
  bool DeviceOpen() const { return Wave->IsOpen(); }
  // Room for another buffer.
  bool WantsMore() const;
  // Queues a buffer; false when the device refuses it.
  bool Queue(const TSoundBuffer& Buffer);
  // A buffer-done message, and how far the clock moves (Samples) for it.
  TDone Done(WPARAM Param, LPARAM LParam, uint64_t& Samples);
  // The window timer's tick, while running: posts the stand-in's done messages that are due.
  // True when the device has fallen silent and the timer has taken over: what the device had
  // queued is gone, and the sound must be queued again from where it was heard.
  bool Tick();
  // How far the sound heard now is from the clip's clock, in milliseconds.
  int64_t HeardOffsetMs() const;
  // Whether the sound is known to be heard: a device's first done has come since Start (the
  // stand-in plays from its first buffer).
  bool Heard() const { return AnyDone || !Wave->IsOpen(); }

  // The high-resolution clock, in microseconds.
  static uint64_t NowUs();

private:
  void DrainDone();
  HWND Notify = nullptr;
  uint32_t Rate = 8000;
  bool IsRunning = false;
  bool AnyDone = false;
  // The timeline begins with the first buffer queued, when a device starts to play: decoding
  // the first buffers may take a while, and none of it has been heard.
  bool TimelineBegun = false;
  std::unique_ptr<TWaveOut> Wave = std::make_unique<TWaveOut>();
  // The device of a clip that played to its end, playing out its last buffers and the silence
  // after them: buffers of silence still to queue, and when it last finished one.
  std::unique_ptr<TWaveOut> Draining = std::make_unique<TWaveOut>();
  int DrainingPadding = 0;
  ULONGLONG DrainingDone = 0;
  TTimerDevice StandIn;
  TSoundClock Clock;
  ULONGLONG LastDeviceDone = 0;
  // The stand-in's messages carry a sequence number: the next ones expected with their samples,
  // oldest first, and the last one handled, which the host may dispatch again.
  uint32_t NextSequence = 1;
  std::deque<std::pair<uint32_t, uint64_t>> Posted;
  uint32_t LastSequence = 0;
  uint64_t LastSamples = 0;
};
