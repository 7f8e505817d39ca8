// The sound's way out: device or timer, the buffer-done messages, and the position heard.
#include "vvppweb/ControlSound.h"

namespace {

// A device that has reported no finished buffer for this long is given up for the timer.
constexpr ULONGLONG DeviceSilenceMs = 1000;
// The silence a device that played a clip to its end plays after it before it is closed: more
// than the sound server holds, so the clip's last sample has been heard by then.
constexpr int PaddingBuffers = 4;

// The stand-in's message: WPARAM 0 (a device's handle never is), LPARAM a sequence number.
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
  // A device playing out the clip before stays: it closes once its sound has been heard.
  Wave->Close();
  Notify = Window;
  Rate = NewRate;
  IsRunning = true;
  AnyDone = false;
  TimelineBegun = false;
  Clock.Start(Rate, NowUs());
  StandIn.Start(Rate, NowUs());
  Posted.clear();
  LastDeviceDone = GetTickCount64();
  return Wave->Open(Notify, Rate);
}

bool TControlSound::Stop() {
  Draining->Close();
  IsRunning = false;
  Posted.clear();
  StandIn.Start(Rate, 0);
  if (!Wave->IsOpen()) return false;
  Wave->Close();
  return true;
}

bool TControlSound::PlayOut() {
  if (!Wave->IsOpen()) return Stop();
  IsRunning = false;
  Posted.clear();
  Draining->Close();
  std::swap(Wave, Draining);
  DrainingPadding = PaddingBuffers;
  DrainingDone = GetTickCount64();
  DrainDone();
  return true;
}

void TControlSound::DrainDone() {
  const std::vector<int16_t> Silence(static_cast<size_t>(Rate) * BufferMs / 1000, 0);
  while (DrainingPadding > 0 && Draining->Queued() < TWaveOut::BufferCount && Draining->Queue(Silence))
    --DrainingPadding;
  // All of it gone through, or the device refused the silence: its sound has been heard.
  if (Draining->Queued() == 0) Draining->Close();
}

bool TControlSound::WantsMore() const {
  if (!IsRunning) return false;
  return (Wave->IsOpen() ? static_cast<size_t>(Wave->Queued()) : StandIn.Queued()) < TWaveOut::BufferCount;
}

bool TControlSound::Queue(const TSoundBuffer& Buffer) {
  if (!TimelineBegun) {
    Clock.Start(Rate, NowUs());
    StandIn.Start(Rate, NowUs());
    TimelineBegun = true;
  }
  if (Wave->IsOpen()) {
    if (!Wave->Queue(Buffer.Samples)) return false;
  } else {
    StandIn.Queue(Buffer.Samples.size());
  }
  Clock.Queued(Buffer.Samples.size());
  return true;
}

TControlSound::TDone TControlSound::Done(WPARAM Param, LPARAM LParam, uint64_t& Samples) {
  Samples = 0;
  if (Draining->IsOpen() && reinterpret_cast<HWAVEOUT>(Param) == Draining->Handle()) {
    // Its messages are no longer the clock's.
    uint64_t Ignored = 0;
    if (Draining->Done(Param, LParam, Ignored) == TWaveOut::TDone::Finished) {
      DrainingDone = GetTickCount64();
      DrainDone();
    }
    return TDone::NotOurs;
  }
  if (!IsRunning) return TDone::NotOurs;
  if (Wave->IsOpen()) {
    switch (Wave->Done(Param, LParam, Samples)) {
      case TWaveOut::TDone::Finished:
        LastDeviceDone = GetTickCount64();
        AnyDone = true;
        Clock.Done(NowUs());
        return TDone::Finished;
      case TWaveOut::TDone::Again:
        return TDone::Again;
      case TWaveOut::TDone::NotOurs:
        return TDone::NotOurs;
    }
    return TDone::NotOurs;
  }
  if (Param != 0) return TDone::NotOurs;
  auto Sequence = static_cast<uint32_t>(static_cast<ULONG_PTR>(LParam)) & SequenceMask;
  if (!Posted.empty() && Sequence == Posted.front().first) {
    Samples = Posted.front().second;
    Posted.pop_front();
    AnyDone = true;
    Clock.Done(NowUs());
    LastSequence = Sequence;
    LastSamples = Samples;
    return TDone::Finished;
  }
  // The host dispatching the last one again: the clock moves once more, the sound does not.
  if (Sequence != LastSequence || LastSamples == 0) return TDone::NotOurs;
  Samples = LastSamples;
  return TDone::Again;
}

bool TControlSound::Tick() {
  // A device playing out that has fallen silent is let go of.
  if (Draining->IsOpen() && GetTickCount64() - DrainingDone >= DeviceSilenceMs) Draining->Close();
  if (!IsRunning) return false;
  if (Wave->IsOpen()) {
    if (GetTickCount64() - LastDeviceDone < DeviceSilenceMs) return false;
    // The device has stopped playing: the timer plays on from what it had not played.
    Wave->Close();
    Clock.Start(Rate, NowUs());
    StandIn.Start(Rate, NowUs());
    return true;
  }
  uint64_t Samples = 0;
  while (StandIn.TakeDue(NowUs(), Samples)) {
    uint32_t Sequence = NextSequence;
    NextSequence = (NextSequence + 1) & SequenceMask;
    if (NextSequence == 0) NextSequence = 1;
    if (!PostMessageA(Notify, MM_WOM_DONE, 0, static_cast<LPARAM>(Sequence))) return false;
    Posted.emplace_back(Sequence, Samples);
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
  return Clock.HeardOffsetMs(Wave->IsOpen() ? Clock.HeardAt(Now) : StandIn.Played(Now));
}
