// The sound's way out: device or timer, the buffer-done messages, and the position heard.
#include "vvppweb/ControlSound.h"

namespace {

// A device that has reported no finished buffer for this long is given up for the timer.
constexpr ULONGLONG DeviceSilenceMs = 1000;

// The stand-in's message: WPARAM 0 (a device's handle never is), LPARAM the buffer's length in
// its low byte and a sequence number above it.
constexpr int SequenceShift = 8;
constexpr LPARAM MsMask = 0xFF;
static_assert(TControlSound::BufferMs <= MsMask);
constexpr uint32_t SequenceMask = 0xFFFFFF;

}  // namespace

uint64_t TControlSound::NowUs() {
  static const LONGLONG Frequency = [] {
    LARGE_INTEGER Value;
    QueryPerformanceFrequency(&Value);
    return Value.QuadPart;
  }();
  LARGE_INTEGER Count;
  QueryPerformanceCounter(&Count);
  return static_cast<uint64_t>(Count.QuadPart / Frequency * 1000000 + Count.QuadPart % Frequency * 1000000 / Frequency);
}

bool TControlSound::Start(HWND Window, uint32_t NewRate) {
  Stop();
  Notify = Window;
  Rate = NewRate;
  IsRunning = true;
  TimelineBegun = false;
  Clock.Start(Rate, NowUs());
  StandIn.Start(Rate, NowUs());
  Posted.clear();
  LastDeviceDone = GetTickCount64();
  return Wave.Open(Notify, Rate);
}

bool TControlSound::Stop() {
  IsRunning = false;
  Posted.clear();
  StandIn.Start(Rate, 0);
  if (!Wave.IsOpen()) return false;
  Wave.Close();
  return true;
}

bool TControlSound::WantsMore() const {
  if (!IsRunning) return false;
  return (Wave.IsOpen() ? static_cast<size_t>(Wave.Queued()) : StandIn.Queued()) < TWaveOut::BufferCount;
}

bool TControlSound::Queue(const TSoundBuffer& Buffer) {
  if (!TimelineBegun) {
    Clock.Start(Rate, NowUs());
    StandIn.Start(Rate, NowUs());
    TimelineBegun = true;
  }
  if (Wave.IsOpen()) {
    if (!Wave.Queue(Buffer.Samples, Buffer.Ms)) return false;
  } else {
    StandIn.Queue(Buffer.Ms, Buffer.Samples.size());
  }
  Clock.Queued(Buffer.Samples.size());
  return true;
}

bool TControlSound::Done(WPARAM Param, LPARAM LParam, uint32_t& Ms) {
  if (!IsRunning) return false;
  if (Wave.IsOpen()) {
    switch (Wave.Done(Param, LParam, Ms)) {
      case TWaveOut::TDone::Finished:
        LastDeviceDone = GetTickCount64();
        Clock.Done(NowUs());
        return true;
      case TWaveOut::TDone::Again:
        return true;
      case TWaveOut::TDone::NotOurs:
        return false;
    }
    return false;
  }
  if (Param != 0) return false;
  auto Sequence = static_cast<uint32_t>(static_cast<ULONG_PTR>(LParam) >> SequenceShift) & SequenceMask;
  Ms = static_cast<uint32_t>(LParam & MsMask);
  if (!Posted.empty() && Sequence == Posted.front()) {
    Posted.pop_front();
    Clock.Done(NowUs());
    LastSequence = Sequence;
    LastMs = Ms;
    return true;
  }
  // The host dispatching the last one again: the clock moves once more, the sound does not.
  return Sequence == LastSequence && Ms == LastMs && Ms > 0;
}

bool TControlSound::Tick() {
  if (!IsRunning) return false;
  if (Wave.IsOpen()) {
    if (GetTickCount64() - LastDeviceDone < DeviceSilenceMs) return false;
    // The device has stopped playing: the timer plays on from what it had not played.
    Wave.Close();
    Clock.Start(Rate, NowUs());
    StandIn.Start(Rate, NowUs());
    return true;
  }
  uint32_t Ms = 0;
  while (StandIn.TakeDue(NowUs(), Ms)) {
    uint32_t Sequence = NextSequence;
    NextSequence = (NextSequence + 1) & SequenceMask;
    if (NextSequence == 0) NextSequence = 1;
    if (!PostMessageA(Notify, MM_WOM_DONE, 0, static_cast<LPARAM>((static_cast<ULONG_PTR>(Sequence) << SequenceShift) | Ms)))
      return false;
    Posted.push_back(Sequence);
  }
  return false;
}

int64_t TControlSound::HeardOffsetMs() const {
  if (!IsRunning) return 0;
  // A device tells by its done messages: what it reports of its position runs ahead of what is
  // heard by however much its sound server holds (Wine's, measured: 25 ms with the server's
  // 30 ms, 115 ms with 100 ms), and moves in the server's 10 or 20 ms steps. The stand-in knows
  // exactly.
  uint64_t Now = NowUs();
  return Clock.HeardOffsetMs(Wave.IsOpen() ? Clock.HeardAt(Now) : StandIn.Played(Now));
}
