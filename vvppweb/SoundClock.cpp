// The sound's position between buffer-done messages, and the timer's stand-in for a device.
#include "vvppweb/SoundClock.h"

#include <algorithm>
#include <vector>

void TSoundClock::Start(uint32_t NewRate, uint64_t NowUs) {
  Rate = NewRate ? NewRate : 8000;
  DoneEnd = 0;
  Pending.clear();
  Marks.assign(1, TMark{0, NowUs});
}

void TSoundClock::Queued(uint64_t Samples) { Pending.push_back(Samples); }

void TSoundClock::Done(uint64_t NowUs) {
  if (Pending.empty()) return;
  DoneEnd += Pending.front();
  Pending.pop_front();
  // The start only stands in until a done has come: the device may take a while to begin.
  if (Marks.size() == 1 && Marks.front().Samples == 0) Marks.clear();
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
  uint64_t Ahead = 0;
  for (uint64_t Samples : Pending) Ahead += Samples;
  return std::min(Heard, DoneEnd + Ahead);
}

void TTimerDevice::Start(uint32_t NewRate, uint64_t NowUs) {
  Rate = NewRate ? NewRate : 8000;
  FrontStartUs = NowUs;
  PlayedBefore = 0;
  Buffers.clear();
}

void TTimerDevice::Queue(uint32_t Ms, uint64_t Samples) { Buffers.push_back({Ms, Samples}); }

bool TTimerDevice::TakeDue(uint64_t NowUs, uint32_t& Ms) {
  if (Buffers.empty()) return false;
  if (NowUs > FrontStartUs + MaxCatchUpUs) FrontStartUs = NowUs - MaxCatchUpUs;
  uint64_t Due = FrontStartUs + uint64_t(Buffers.front().Ms) * 1000;
  if (NowUs < Due) return false;
  Ms = Buffers.front().Ms;
  PlayedBefore += Buffers.front().Samples;
  FrontStartUs = Due;
  Buffers.pop_front();
  return true;
}

uint64_t TTimerDevice::Played(uint64_t NowUs) const {
  if (NowUs <= FrontStartUs) return PlayedBefore;
  // On through the buffers whose done is due but not yet taken: the sound does not wait for the
  // timer that takes them.
  uint64_t Into = (NowUs - FrontStartUs) * Rate / 1000000, Queued = 0;
  for (const TBuffer& Buffer : Buffers) Queued += Buffer.Samples;
  return PlayedBefore + std::min(Into, Queued);
}

bool TTimerDevice::NextDue(uint64_t& Us) const {
  if (Buffers.empty()) return false;
  Us = FrontStartUs + uint64_t(Buffers.front().Ms) * 1000;
  return true;
}
