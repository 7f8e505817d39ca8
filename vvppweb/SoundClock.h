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
  // 10 ms.) It never runs past what is queued.
  uint64_t HeardAt(uint64_t NowUs) const;

private:
  struct TMark {
    uint64_t Samples;  // the timeline's position then
    uint64_t Us;
  };
  static constexpr size_t MarkCount = 20;  // a second of 50 ms buffers
  uint32_t Rate = 8000;
  uint64_t DoneEnd = 0;          // the timeline's sample after the last buffer handled
  std::deque<uint64_t> Pending;  // samples of each buffer queued and not yet handled
  std::deque<TMark> Marks;       // the start, then the recent dones
};

// The device's stand-in where none opened: the buffers play one after another by the caller's
// clock (in microseconds), and each one's done falls due when its time has passed, as a device's
// would. A stall (the host busy for long) is not made up for at once.
class TTimerDevice {
public:
  static constexpr uint64_t MaxCatchUpUs = 500000;
  void Start(uint32_t Rate, uint64_t NowUs);
  void Queue(uint32_t Ms, uint64_t Samples);
  size_t Queued() const { return Buffers.size(); }
  // The oldest buffer when its time has passed by NowUs: its length in Ms, taken off the queue;
  // false when none is due.
  bool TakeDue(uint64_t NowUs, uint32_t& Ms);
  // Samples of the timeline played by NowUs.
  uint64_t Played(uint64_t NowUs) const;
  // When the oldest buffer falls due; false with none queued.
  bool NextDue(uint64_t& Us) const;

private:
  struct TBuffer {
    uint32_t Ms;
    uint64_t Samples;
  };
  uint32_t Rate = 8000;
  uint64_t FrontStartUs = 0;  // when the oldest queued buffer began to play
  uint64_t PlayedBefore = 0;  // samples of the buffers taken
  std::deque<TBuffer> Buffers;
};
