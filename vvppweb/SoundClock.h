// Where the sound is between buffer-done messages, so that each picture can be shown when its
// moment is heard rather than when the next buffer comes back.
//
// The buffers handed to the device line up one after another on the device's timeline of
// samples. The device's played position on that timeline, against the end of the buffers whose
// done message has been handled, says how far the sound heard now is from the clip's clock: ahead
// within the buffer that plays, or behind when the device reports a buffer done before it has
// been heard (its latency).
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

class TSoundClock {
public:
  // A new timeline at Rate samples a second, begun at NowUs: a device opened, or the timer
  // started.
  void Start(uint32_t Rate, uint64_t NowUs);
  // A buffer of Samples was queued after the others.
  void Queued(uint64_t Samples);
  // The oldest queued buffer's done was handled at NowUs (its first delivery; the host's fast
  // forward delivers each again, which moves the clip's clock but not the device).
  void Done(uint64_t NowUs);
  // How far in milliseconds the sound heard is from the clock, when the device has played Heard
  // samples of its timeline: at most the buffers still queued, negative while the device lags.
  int64_t HeardOffsetMs(uint64_t Heard) const;
  // The samples of the timeline heard at NowUs, as the done messages tell: a buffer's done comes
  // about when it has been heard, but early or late by turns (Wine's come in bursts, 10 to 120 ms
  // apart for 50 ms buffers, or on a 20 ms grid, 40 and 60 ms apart by turns). The sound plays on
  // at its rate, so each recent done carried forward to NowUs is an estimate. The middle half of
  // them, averaged, is the best: one far out does not move it, and it moves little as each done
  // comes. (Their median alone jumps between the early and the late ones, a picture's moment by
  // 10 ms.) It never runs past the end of the buffer playing, nor past the time since the
  // timeline began.
  uint64_t HeardAt(uint64_t NowUs) const;

private:
  struct TMark {
    uint64_t Samples;  // the timeline's position then
    uint64_t Us;
  };
  static constexpr size_t MarkCount = 20;  // a second of 50 ms buffers
  static constexpr uint64_t StallSlackUs = 30000;
  uint32_t Rate = 8000;
  uint64_t StartUs = 0;          // when the timeline began
  uint64_t DoneEnd = 0;          // the timeline's sample after the last buffer handled
  std::deque<uint64_t> Pending;  // samples of each buffer queued and not yet handled
  std::deque<TMark> Marks;       // the start, then the recent dones
};

// The clock the pictures follow: the sound heard, as estimated, but moving steadily. Where the
// estimate moves (the dones come early or late, a device starts late), it follows at most MaxSlew
// faster or slower than real time, so that each picture keeps its interval, rather than timing the
// next picture anew from every estimate. Until the sound is heard (a device's first done) it holds
// where it started: the pictures wait for the sound. It never runs more than WaitMs ahead of the
// estimate, so they wait for a device that stalls too. A start, a seek, a pause and its resume
// begin afresh; under the host's fast forward it is the estimate itself.
class TPictureClock {
public:
  static constexpr double MaxSlew = 0.025;
  static constexpr double HorizonMs = 400;  // an error this large is taken back at the full slew
  static constexpr double WaitMs = 20;
  // Begins afresh, holding at Ms until the sound is heard.
  void Reset(uint32_t Ms);
  // Where the pictures are at NowUs, with the sound heard estimated at EstimateMs; Heard whether
  // the sound is known to be heard yet, Direct under fast forward.
  uint32_t At(uint32_t EstimateMs, uint64_t NowUs, bool Heard, bool Direct);
  // How fast it runs now against real time (1 + the slew).
  double Pace() const { return 1 + Slew; }

private:
  bool Started = false;
  uint32_t StartMs = 0;
  double Ms = 0;
  double Slew = 0;
  uint64_t LastUs = 0;
};

// The device's stand-in where none opened: the buffers play one after another by the caller's
// clock (in microseconds), and each one's done falls due when its time has passed, as a device's
// would. A stall (the host busy for long) is not made up for at once.
class TTimerDevice {
public:
  static constexpr uint64_t MaxCatchUpUs = 500000;
  void Start(uint32_t Rate, uint64_t NowUs);
  void Queue(uint64_t Samples);
  size_t Queued() const { return Buffers.size(); }
  // The oldest buffer when its time has passed by NowUs: its Samples, taken off the queue;
  // false when none is due.
  bool TakeDue(uint64_t NowUs, uint64_t& Samples);
  // Samples of the timeline played by NowUs.
  uint64_t Played(uint64_t NowUs) const;
  // When the oldest buffer falls due; false with none queued.
  bool NextDue(uint64_t& Us) const;

private:
  // When Sample of the timeline plays: counted from the origin in samples, so buffers of any
  // length add up without drift.
  uint64_t TimeOf(uint64_t Sample) const;
  uint32_t Rate = 8000;
  uint64_t OriginUs = 0;      // when the timeline's first sample played (moved on after a stall)
  uint64_t PlayedBefore = 0;  // samples of the buffers taken
  std::deque<uint64_t> Buffers;  // the samples of each buffer queued
};
