// The sound's position between buffer-done messages, and the timer's stand-in for a device.
#include "vvppweb/SoundClock.h"

#include <algorithm>
#include <vector>

void TSoundClock::Start(uint32_t NewRate, uint64_t NowUs) {
  Rate = NewRate ? NewRate : 8000;
  StartUs = NowUs;
  DoneEnd = 0;
  Pending.clear();
  Marks.assign(1, TMark{0, NowUs});
}

void TSoundClock::Queued(uint64_t Samples) { Pending.push_back(Samples); }

void TSoundClock::Done(uint64_t NowUs) {
  if (Pending.empty()) return;
  uint64_t Samples = Pending.front();
  DoneEnd += Samples;
  Pending.pop_front();
  // The start only stands in until a done has come: the device may take a while to begin. And a
  // done after a silence of more than two buffers tells of a device that stopped meanwhile (or
  // whose messages were held up): what the dones before it said of the sound no longer holds.
  bool Stalled = !Marks.empty() && NowUs > Marks.back().Us + 2 * Samples * 1000000 / Rate + StallSlackUs;
  if ((Marks.size() == 1 && Marks.front().Samples == 0) || Stalled) Marks.clear();
  Marks.push_back({DoneEnd, NowUs});
  if (Marks.size() > MarkCount) Marks.pop_front();
}

int64_t TSoundClock::HeardOffsetMs(uint64_t Heard) const {
  uint64_t Ahead = 0;
  for (uint64_t Samples : Pending) Ahead += Samples;
  auto Offset = static_cast<int64_t>(std::min(Heard, DoneEnd + Ahead)) - static_cast<int64_t>(DoneEnd);
  // Rounded down either way, so the picture is never shown before its sound is due.
  int64_t Scaled = Offset * 1000;
  return Scaled >= 0 ? Scaled / Rate : -((-Scaled + Rate - 1) / Rate);
}

uint64_t TSoundClock::HeardAt(uint64_t NowUs) const {
  std::vector<uint64_t> Carried;
  for (const TMark& Mark : Marks)
    if (NowUs >= Mark.Us) Carried.push_back(Mark.Samples + (NowUs - Mark.Us) * Rate / 1000000);
  uint64_t Heard = 0;
  if (!Carried.empty()) {
    // The mean of the middle half: a quarter either side is left out.
    std::sort(Carried.begin(), Carried.end());
    size_t Out = Carried.size() / 4, Kept = Carried.size() - 2 * Out;
    uint64_t Sum = 0;
    for (size_t I = Out; I < Out + Kept; ++I) Sum += Carried[I];
    Heard = (Sum + Kept / 2) / Kept;
  }
  // No further than the buffer playing, whose done is still to come: a device that stops playing
  // stops telling its dones. And no more than has played since the first buffer went to the
  // device: a device that takes its first buffers in at once tells their dones early.
  uint64_t Playing = Pending.empty() ? 0 : Pending.front();
  uint64_t Since = NowUs > StartUs ? (NowUs - StartUs) * Rate / 1000000 : 0;
  return std::min({Heard, DoneEnd + Playing, Since});
}

void TPictureClock::Reset(uint32_t At) {
  Started = false;
  StartMs = At;
  Ms = At;
  Slew = 0;
}

uint32_t TPictureClock::At(uint32_t EstimateMs, uint64_t NowUs, bool Heard, bool Direct) {
  if (Direct || (!Started && Heard)) {
    Started = Heard || Direct;
    Ms = EstimateMs;
    Slew = 0;
    LastUs = NowUs;
    return EstimateMs;
  }
  if (!Started) return StartMs;
  double Elapsed = NowUs > LastUs ? static_cast<double>(NowUs - LastUs) / 1000 : 0;
  LastUs = NowUs;
  double Error = EstimateMs - (Ms + Elapsed);
  Slew = std::clamp(Error / HorizonMs, -MaxSlew, MaxSlew);
  double Next = Ms + Elapsed * (1 + Slew);
  if (Next > EstimateMs + WaitMs) Next = std::max(Ms, EstimateMs + WaitMs);
  Ms = Next;
  return static_cast<uint32_t>(Ms);
}

void TTimerDevice::Start(uint32_t NewRate, uint64_t NowUs) {
  Rate = NewRate ? NewRate : 8000;
  OriginUs = NowUs;
  PlayedBefore = 0;
  Buffers.clear();
}

void TTimerDevice::Queue(uint64_t Samples) { Buffers.push_back(Samples); }

uint64_t TTimerDevice::TimeOf(uint64_t Sample) const { return OriginUs + Sample * 1000000 / Rate; }

bool TTimerDevice::TakeDue(uint64_t NowUs, uint64_t& Samples) {
  if (Buffers.empty()) return false;
  uint64_t FrontStartUs = TimeOf(PlayedBefore);
  if (NowUs > FrontStartUs + MaxCatchUpUs) OriginUs += NowUs - MaxCatchUpUs - FrontStartUs;
  if (NowUs < TimeOf(PlayedBefore + Buffers.front())) return false;
  Samples = Buffers.front();
  PlayedBefore += Samples;
  Buffers.pop_front();
  return true;
}

uint64_t TTimerDevice::Played(uint64_t NowUs) const {
  uint64_t FrontStartUs = TimeOf(PlayedBefore);
  if (NowUs <= FrontStartUs) return PlayedBefore;
  // On through the buffers whose done is due but not yet taken: the sound does not wait for the
  // timer that takes them.
  uint64_t Into = (NowUs - OriginUs) * Rate / 1000000 - PlayedBefore, Queued = 0;
  for (uint64_t Samples : Buffers) Queued += Samples;
  return PlayedBefore + std::min(Into, Queued);
}

bool TTimerDevice::NextDue(uint64_t& Us) const {
  if (Buffers.empty()) return false;
  Us = TimeOf(PlayedBefore + Buffers.front());
  return true;
}
