// The clock heard between buffers: the engine, the sound clock and a modelled device run a real
// clip millisecond by millisecond, and each picture must be the one due at the sound heard then,
// however late the device's messages, with the host's six dispatches, and across a pause.
#include <doctest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "tests/unit/VivoRig.h"
#include "vvppweb/SoundClock.h"

namespace {

constexpr uint32_t Rate = 8000;
constexpr uint32_t BufferMs = 50;

// A wave-output device: it plays what is queued without a break, and each buffer's done comes
// about when it has been heard, early or late by LateMs in turn (the device's period, the message
// queue).
struct TDevice {
  std::vector<int> LateMs;
  uint64_t StartUs = 0;
  std::vector<uint64_t> Ends;  // the timeline's sample after each buffer queued
  size_t Reported = 0;

  uint64_t Queued() const { return Ends.empty() ? 0 : Ends.back(); }
  uint64_t Played(uint64_t NowUs) const { return std::min(Queued(), (NowUs - StartUs) * Rate / 1000000); }
  bool TakeDone(uint64_t NowUs) {
    if (Reported == Ends.size()) return false;
    int64_t LateUs = LateMs.empty() ? 0 : LateMs[Reported % LateMs.size()] * 1000;
    if (static_cast<int64_t>(NowUs) < static_cast<int64_t>(StartUs + Ends[Reported] * 1000000 / Rate) + LateUs) return false;
    ++Reported;
    return true;
  }
};

struct TCase {
  const char* Name;
  bool StandIn;           // no device: the timer's stand-in
  std::vector<int> LateMs;  // of the device's done messages, in turn
  int Dispatches;         // each done delivered this often, as the host's fast forward does
  uint32_t PauseAtMs;     // wall time of a pause (0: none), resumed 300 ms later
};

// Plays clock.viv (15 pictures a second) as the control does for WallMs of wall time.
void Play(const TCase& Case, uint32_t WallMs) {
  TRig Rig;
  Rig.Files = {{"clock.viv", CorpusClip("clock.viv")}};
  Rig.Engine.Load("clock.viv", true);
  Rig.Serve();
  REQUIRE(Rig.Engine.Playing());
  const TClipMedia& Media = *Rig.Engine.ClipMedia();
  const std::vector<uint32_t>& Times = Media.Scan().PictureTimes;

  TSoundClock Clock;
  TTimerDevice StandIn;
  TDevice Device;
  uint32_t StartedAtClock = 0;  // the clip's clock when the sound (re)started
  uint64_t PausedUs = 0;
  int Checked = 0;
  uint64_t StartedUs = 0;
  auto Start = [&](uint64_t NowUs) {
    Clock.Start(Rate, NowUs);
    StandIn.Start(Rate, NowUs);
    Device = TDevice{Case.LateMs, NowUs, {}, 0};
    StartedUs = NowUs;
    StartedAtClock = Rig.Engine.Position();
  };
  auto Fill = [&] {
    while ((Case.StandIn ? StandIn.Queued() : Device.Ends.size() - Device.Reported) < 3) {
      TSoundBuffer Buffer = Rig.Engine.NextSound(BufferMs);
      if (Case.StandIn)
        StandIn.Queue(Buffer.Ms, Buffer.Samples.size());
      else
        Device.Ends.push_back(Device.Queued() + Buffer.Samples.size());
      Clock.Queued(Buffer.Samples.size());
    }
  };
  auto Heard = [&](uint64_t NowUs) {
    uint64_t Played = Case.StandIn ? StandIn.Played(NowUs) : Clock.HeardAt(NowUs);
    int64_t Ms = int64_t(Rig.Engine.Position()) + Clock.HeardOffsetMs(Played);
    return static_cast<uint32_t>(std::clamp<int64_t>(Ms, 0, Rig.Engine.LengthMs()));
  };
  Start(0);
  Fill();
  for (uint64_t NowUs = 0; NowUs <= uint64_t(WallMs) * 1000 && (PausedUs || Rig.Engine.State() == csPlaying);
       NowUs += 1000) {
    if (Case.PauseAtMs && NowUs == uint64_t(Case.PauseAtMs) * 1000) {
      // Paused where the sound is heard: that picture stays, and the sound goes on from there.
      uint32_t At = Heard(NowUs);
      REQUIRE(Rig.Engine.PauseAt(At));
      CHECK(Rig.Engine.Position() == At);
      CHECK(Rig.Engine.Picture()->TimeMs == *std::prev(std::upper_bound(Times.begin(), Times.end(), At)));
      TSoundBuffer Again = Rig.Engine.NextSound(BufferMs);
      TSoundBuffer Whole;
      {
        TRig Fresh;
        Fresh.Files = Rig.Files;
        Fresh.Engine.Load("clock.viv", true);
        Fresh.Serve();
        for (uint32_t Ms = 0; Ms < At + BufferMs; Ms += 1) {
          TSoundBuffer One = Fresh.Engine.NextSound(1);
          Whole.Samples.insert(Whole.Samples.end(), One.Samples.begin(), One.Samples.end());
        }
      }
      std::vector<int16_t> Expected(Whole.Samples.begin() + At * Rate / 1000,
                                    Whole.Samples.begin() + (At + BufferMs) * Rate / 1000);
      CHECK(Again.Samples == Expected);
      Rig.Engine.RequeueSound(At);
      PausedUs = NowUs;
      continue;
    }
    if (PausedUs) {
      if (NowUs < PausedUs + 300000) continue;
      PausedUs = 0;
      REQUIRE(Rig.Engine.Play());
      Start(NowUs);
      Fill();
    }
    uint32_t Ms = 0;
    while (Case.StandIn ? StandIn.TakeDue(NowUs, Ms) : Device.TakeDone(NowUs)) {
      Clock.Done(NowUs);
      for (int I = 0; I < Case.Dispatches; ++I) Rig.Engine.BufferDone(Case.StandIn ? Ms : BufferMs);
      if (Rig.Engine.State() != csPlaying) break;
      Fill();
    }
    uint32_t At = Heard(NowUs);
    Rig.Engine.Present(At);
    const TPicture* Shown = Rig.Engine.Picture();
    REQUIRE(Shown);
    // Never ahead of the sound heard, and at 1x never behind it by as much as a millisecond.
    CHECK(Shown->TimeMs <= At);
    if (Case.Dispatches == 1) {
      // What is really heard: the picture due then, or, until a second of dones since the device
      // started has shown their middle, one due up to their lateness before or after.
      uint32_t Truth = StartedAtClock + static_cast<uint32_t>((Case.StandIn ? StandIn.Played(NowUs) : Device.Played(NowUs)) * 1000 / Rate);
      auto DueAt = [&](uint32_t Ms) { return *std::prev(std::upper_bound(Times.begin(), Times.end(), Ms)); };
      uint32_t MaxLateMs = 0;
      for (int Late : Case.LateMs) MaxLateMs = std::max<uint32_t>(MaxLateMs, std::abs(Late));
      bool Settled = NowUs >= StartedUs + 1000000 + MaxLateMs * 1000;
      bool Right = Shown->TimeMs == DueAt(Truth) ||
                   (!Settled && Shown->TimeMs >= DueAt(Truth > MaxLateMs ? Truth - MaxLateMs : 0) &&
                    Shown->TimeMs <= DueAt(Truth + MaxLateMs));
      CHECK_MESSAGE(Right, "at " << NowUs / 1000 << " ms, heard " << Truth << ", shown " << Shown->TimeMs);
      ++Checked;
    }
    if (std::optional<uint32_t> Next = Rig.Engine.NextPictureMs()) CHECK(*Next > At);
  }
  if (Case.Dispatches == 1) CHECK(Checked > 2000);
  if (Case.Dispatches == 6) {
    // Six dispatches of each done: the clip ran six times as fast, to its end.
    CHECK(Rig.Engine.State() == csEnded);
  }
}

}  // namespace

TEST_CASE("each picture is shown when its moment is heard, not at the next buffer") {
  const TCase Cases[] = {
      {"no device: the timer's stand-in", true, {}, 1, 0},
      {"a device whose dones come on time", false, {}, 1, 0},
      {"a device whose dones come up to 8 ms early or late", false, {-8, -4, 0, 4, 8}, 1, 0},
      // A device polled every 10 ms: its dones 5 ms early and 5 ms late by turns. The middle
      // one of an even count flips between the two, a picture's moment by 10 ms with each done.
      {"a device whose dones come 5 ms early and late by turns", false, {-5, 5}, 1, 0},
      {"a pause and resume at the picture and sample heard", false, {-8, -4, 0, 4, 8}, 1, 1234},
      {"a pause with the timer's stand-in", true, {}, 1, 777},
      {"the host's fast forward, six dispatches of each done", true, {}, 6, 0},
      {"fast forward with a device", false, {-8, -4, 0, 4, 8}, 6, 0},
  };
  for (const TCase& Case : Cases) {
    std::string Name = Case.Name;
    CAPTURE(Name);
    Play(Case, 2900);
  }
}

TEST_CASE("the sound clock: ahead within the buffer playing, behind by the device's lag, never past the queue") {
  struct TStep {
    int Queue;        // buffers of 400 samples (50 ms) queued before
    int Done;         // dones handled before
    uint64_t Played;  // the device's position
    int64_t Offset;   // ms heard from the clock
  };
  const TStep Steps[] = {
      {3, 0, 0, 0},      {0, 0, 200, 25},   {0, 0, 400, 50},  {0, 1, 400, 0},    {0, 0, 399, -1},
      {0, 0, 360, -5},   {0, 0, 1200, 100}, {0, 0, 5000, 100}, {1, 2, 1200, 0},  {0, 0, 1400, 25},
  };
  TSoundClock Clock;
  Clock.Start(8000, 0);
  for (const TStep& Step : Steps) {
    for (int I = 0; I < Step.Queue; ++I) Clock.Queued(400);
    for (int I = 0; I < Step.Done; ++I) Clock.Done(0);
    CAPTURE(Step.Played);
    CHECK(Clock.HeardOffsetMs(Step.Played) == Step.Offset);
  }

  // Heard as the dones tell: they come early and late by turns (Wine's in bursts), so the
  // middle of the recent ones carried on at the sound's rate; one far out does not move it. From
  // the start until the first done comes, and never past what is queued.
  Clock.Start(8000, 1000000);
  for (int I = 0; I < 8; ++I) Clock.Queued(400);
  CHECK(Clock.HeardAt(1010000) == 80u);
  Clock.Done(1055000);  // 5 ms late
  Clock.Done(1092000);  // 8 ms early
  Clock.Done(1145000);  // 5 ms early
  Clock.Done(1230000);  // 30 ms late
  CHECK(Clock.HeardAt(1240000) == 1920u);
  CHECK(Clock.HeardAt(2000000) == 3200u);  // nothing more queued
}
