// The clock heard between buffers and the clock the pictures follow: the engine, the sound
// clock, the pictures' clock and a modelled device run a real clip millisecond by millisecond, as
// the control does. Whatever the device's messages do (late, early by turns, in a burst at the
// start, a stall), each picture is held its own interval within the slew's bound from the first
// one on, the pictures end up with the sound heard and never run ahead of it, and the host's six
// dispatches still run the clip six times as fast.
#include <doctest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "tests/unit/VivoRig.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/SoundClock.h"
#include "vvppweb/VivoFile.h"

namespace {

constexpr uint32_t BufferMs = 50;

// A wave-output device: from StartMs after the first buffer it plays what is queued without a
// break but for a stall, and reports each buffer done Late[n] ms after its last sample was heard
// (in turn); the first Burst buffers it takes in at once, and tells them done at once.
struct TDevice {
  uint32_t Rate = 8000;
  uint64_t StartUs = 0;
  std::vector<int> Late;
  int Burst = 0;
  uint64_t StallAtUs = 0, StallUs = 0;  // a stall of the playing, from StallAtUs
  std::vector<uint64_t> Ends;  // the timeline's sample after each buffer queued
  size_t Reported = 0;

  uint64_t Queued() const { return Ends.empty() ? 0 : Ends.back(); }
  // How long the device has played by NowUs.
  uint64_t PlayingUs(uint64_t NowUs) const {
    if (NowUs <= StartUs) return 0;
    uint64_t Us = NowUs - StartUs;
    if (StallUs && NowUs > StallAtUs) Us -= std::min(NowUs - StallAtUs, StallUs);
    return Us;
  }
  uint64_t Played(uint64_t NowUs) const { return std::min(Queued(), PlayingUs(NowUs) * Rate / 1000000); }
  // When sample Sample has been heard.
  uint64_t HeardAtUs(uint64_t Sample) const {
    uint64_t Us = StartUs + (Sample * 1000000 + Rate - 1) / Rate;
    if (StallUs && Us > StallAtUs) Us += StallUs;
    return Us;
  }
  bool TakeDone(uint64_t NowUs) {
    if (Reported == Ends.size()) return false;
    if (Reported < size_t(Burst)) return ++Reported, true;
    int64_t LateUs = Late.empty() ? 0 : Late[Reported % Late.size()] * 1000;
    if (int64_t(NowUs) < int64_t(HeardAtUs(Ends[Reported])) + LateUs) return false;
    ++Reported;
    return true;
  }
};

struct TCase {
  const char* Name;
  bool StandIn;            // no device: the timer's stand-in
  std::vector<int> Late;   // of the device's done messages, in turn
  int Dispatches = 1;      // each done delivered this often, as the host's fast forward does
  uint32_t PauseAtMs = 0;  // wall time of a pause (0: none), resumed 300 ms later
  uint32_t StartMs = 0;    // the device starts to play this late
  int Burst = 0;           // the first dones come together
  uint32_t StallAtMs = 0, StallMs = 0;
};

// Plays Clip as the control does for WallMs of wall time; pictures shown and when.
void Play(const TCase& Case, const std::string& Clip, uint32_t WallMs) {
  TRig Rig;
  Rig.Files = {{"clip.viv", Clip}};
  Rig.Engine.Load("clip.viv", true);
  Rig.Serve();
  REQUIRE(Rig.Engine.Playing());
  const uint32_t Rate = Rig.Engine.SoundRate();

  TSoundClock Clock;
  TTimerDevice StandIn;
  TPictureClock Pictures;
  TDevice Device;
  uint32_t StartedAtClock = 0;  // the clip's clock when the sound (re)started
  uint64_t PausedUs = 0, StartedUs = 0;
  bool Heard = false;
  auto Start = [&](uint64_t NowUs) {
    Clock.Start(Rate, NowUs);
    StandIn.Start(Rate, NowUs);
    Device = TDevice{Rate, NowUs + uint64_t{Case.StartMs} * 1000, Case.Late, Case.Burst,
                     NowUs + uint64_t{Case.StallAtMs} * 1000, uint64_t{Case.StallMs} * 1000, {}, 0};
    StartedUs = NowUs;
    StartedAtClock = Rig.Engine.Position();
    Pictures.Reset(StartedAtClock);
    Heard = Case.StandIn;
  };
  auto Fill = [&] {
    while ((Case.StandIn ? StandIn.Queued() : Device.Ends.size() - Device.Reported) < 4) {
      TSoundBuffer Buffer = Rig.Engine.NextSound(BufferMs);
      if (Case.StandIn)
        StandIn.Queue(Buffer.Samples.size());
      else
        Device.Ends.push_back(Device.Queued() + Buffer.Samples.size());
      Clock.Queued(Buffer.Samples.size());
    }
  };
  auto Estimate = [&](uint64_t NowUs) {
    uint64_t Played = Case.StandIn ? StandIn.Played(NowUs) : Clock.HeardAt(NowUs);
    int64_t Ms = int64_t(Rig.Engine.Position()) + Clock.HeardOffsetMs(Played);
    return static_cast<uint32_t>(std::clamp<int64_t>(Ms, 0, Rig.Engine.LengthMs()));
  };
  // What is really heard at NowUs, of the clip.
  auto Truth = [&](uint64_t NowUs) {
    uint64_t Played = Case.StandIn ? StandIn.Played(NowUs) : Device.Played(NowUs);
    return StartedAtClock + static_cast<uint32_t>(Played * 1000 / Rate);
  };
  // The device's lateness, which nothing the control sees can tell from its sound: the most the
  // pictures may trail the sound by for good.
  int Bias = 0;
  for (int Late : Case.Late) Bias = std::max(Bias, std::abs(Late));

  std::vector<std::pair<uint32_t, uint64_t>> Shown;  // each picture's time and when it came up
  size_t FirstHeard = SIZE_MAX;  // the picture shown when the sound was first heard after a start
  int Checked = 0;
  Start(0);
  Fill();
  for (uint64_t NowUs = 0; NowUs <= uint64_t(WallMs) * 1000 && (PausedUs || Rig.Engine.State() == csPlaying);
       NowUs += 1000) {
    if (Case.PauseAtMs && NowUs == uint64_t(Case.PauseAtMs) * 1000) {
      // Paused where the sound is heard: that picture stays, and the sound goes on from there.
      uint32_t At = Estimate(NowUs);
      REQUIRE(Rig.Engine.PauseAt(At));
      CHECK(Rig.Engine.Position() == At);
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
      Shown.clear();
      FirstHeard = SIZE_MAX;
    }
    uint64_t Done = 0;
    while (Case.StandIn ? StandIn.TakeDue(NowUs, Done) : Device.TakeDone(NowUs)) {
      Clock.Done(NowUs);
      Heard = true;
      uint64_t Length = Case.StandIn ? Done : Device.Ends[Device.Reported - 1] - (Device.Reported > 1 ? Device.Ends[Device.Reported - 2] : 0);
      for (int I = 0; I < Case.Dispatches; ++I) Rig.Engine.BufferDone(Length);
      if (Rig.Engine.State() != csPlaying) break;
      Fill();
    }
    if (Rig.Engine.State() != csPlaying) break;
    uint32_t At = Pictures.At(Estimate(NowUs), NowUs, Heard, Case.Dispatches > 1);
    Rig.Engine.Present(At);
    const TPicture* Picture = Rig.Engine.Picture();
    REQUIRE(Picture);
    if (Shown.empty() || Shown.back().first != Picture->TimeMs) Shown.emplace_back(Picture->TimeMs, NowUs);
    if (Heard && FirstHeard == SIZE_MAX) FirstHeard = Shown.size();
    if (Case.Dispatches > 1) continue;
    // The pictures wait for the sound: never more than a few milliseconds ahead of what is heard,
    // but while a stall is still to be told by the dones that do not come.
    // (Once it is told, they wait for the sound to catch up, and the slew takes the rest back.)
    bool Stalling = Case.StallMs && NowUs >= Device.StallAtUs && NowUs < Device.StallAtUs + Device.StallUs + 1000000;
    uint32_t Lead = Stalling ? BufferMs + uint32_t(TPictureClock::WaitMs) : 5;
    CHECK_MESSAGE(Picture->TimeMs <= Truth(NowUs) + Lead, "at " << NowUs / 1000 << " ms: picture " << Picture->TimeMs
                                                                  << " before its sound, heard " << Truth(NowUs));
    // Once the device has played a second, the pictures are with the sound heard, but for the
    // device's own lateness.
    uint64_t PlayingFrom = StartedUs + uint64_t{Case.StartMs} * 1000 + 1000000;
    if (NowUs >= PlayingFrom + uint64_t(Bias) * 1000 && !Stalling) {
      CHECK_MESSAGE(std::abs(int(At) - int(Truth(NowUs))) <= Bias + 12,
                    "at " << NowUs / 1000 << " ms: the pictures' clock " << At << ", heard " << Truth(NowUs));
      ++Checked;
    }
  }
  if (Case.Dispatches == 6) {
    // Six dispatches of each done: the clip ran six times as fast, to its end.
    CHECK(Rig.Engine.State() == csEnded);
    return;
  }
  CHECK(Checked > 500);
  // Each picture after the first held its own interval, within the slew's bound, from the first
  // second on; across a stall, the pictures wait for it. (After a resume, the picture on the
  // screen when the sound is first heard comes with it.)
  for (size_t I = std::max<size_t>(2, FirstHeard + 1); I < Shown.size(); ++I) {
    double Held = double(Shown[I].second - Shown[I - 1].second) / 1000;
    double Nominal = double(Shown[I].first - Shown[I - 1].first);
    uint64_t From = Shown[I - 1].second, To = Shown[I].second;
    bool Stalled = Case.StallMs && To > Device.StallAtUs && From < Device.StallAtUs + Device.StallUs + 1000000;
    if (Stalled) continue;
    CHECK_MESSAGE(std::abs(Held - Nominal) <= Nominal * TPictureClock::MaxSlew + 1.5,
                  "picture " << Shown[I - 1].first << " held " << Held << " ms, not " << Nominal);
  }
  CHECK(Shown.size() > 15);
}

// The clock clip with its header saying another sampling rate: the sound plays at that rate.
std::string ClipAtRate(uint32_t Rate) {
  std::string Clock = CorpusClip("clock.viv");
  TClipInfo Info;
  REQUIRE(ParseVivoFile(Clock, Info) == 0);
  TMakeVivoOptions Header;
  Header.DurationMs = 3000;
  return HeaderPacket(VivoHeaderText(Header, 1, "SamplingFrequency:" + std::to_string(Rate) + "\r\n")) +
         Clock.substr(Info.MediaOffset);
}

}  // namespace

TEST_CASE("each picture when its moment is heard, held its own interval from the first on") {
  const TCase Cases[] = {
      {"no device: the timer's stand-in", true, {}},
      {"a device whose dones come on time", false, {}},
      {"a device whose dones come up to 8 ms early or late", false, {-8, -4, 0, 4, 8}},
      // A device polled every 10 ms: its dones 5 ms early and 5 ms late by turns.
      {"a device whose dones come 5 ms early and late by turns", false, {-5, 5}},
      {"a device whose dones all come 30 ms late", false, {30}},
      {"a device that starts to play 150 ms late", false, {}, 1, 0, 150},
      {"the first four dones in a burst", false, {}, 1, 0, 0, 4},
      {"a device that stalls for 200 ms", false, {-5, 5}, 1, 0, 0, 0, 600, 200},
      {"a pause and resume at the picture and sample heard", false, {-8, -4, 0, 4, 8}, 1, 1234},
      {"a pause with the timer's stand-in", true, {}, 1, 777},
      {"the host's fast forward, six dispatches of each done", true, {}, 6},
      {"fast forward with a device", false, {-8, -4, 0, 4, 8}, 6},
  };
  for (const TCase& Case : Cases) {
    std::string Name = Case.Name;
    CAPTURE(Name);
    Play(Case, CorpusClip("clock.viv"), 2900);
  }
  // At 11025 Hz a buffer of 50 ms is 551 samples, 49.977 ms: the clock counts the samples.
  Play({"11025 Hz, with a device", false, {-5, 5}}, ClipAtRate(11025), 2900);
}

TEST_CASE("the clock counts samples: at 11025 Hz it keeps with the sound to the end") {
  TRig Rig;
  Rig.Files = {{"clip.viv", ClipAtRate(11025)}};
  Rig.Engine.Load("clip.viv", true);
  Rig.Serve();
  REQUIRE(Rig.Engine.SoundRate() == 11025u);
  uint64_t Done = 0;
  while (Rig.Engine.State() == csPlaying) {
    TSoundBuffer Buffer = Rig.Engine.NextSound(BufferMs);
    CHECK(Buffer.Samples.size() <= 551u);
    Done += Buffer.Samples.size();
    Rig.Engine.BufferDone(Buffer.Samples.size());
    if (Rig.Engine.State() == csPlaying) CHECK(Rig.Engine.Position() == Done * 1000 / 11025);
  }
  // The clock ended with the clip, and the clip's every sample went to the device first.
  CHECK(Rig.Engine.State() == csEnded);
  CHECK(Done * 1000 / 11025 >= Rig.Engine.LengthMs() - 1);
  CHECK(Rig.Engine.PlayedOutClip() == Rig.Engine.ClipStarts());
}

TEST_CASE("the pictures' clock: held until heard, a bounded slew, waiting, afresh at each start") {
  TPictureClock Pictures;
  Pictures.Reset(500);
  // Held where it starts until the sound is heard, whatever the estimate says.
  CHECK(Pictures.At(620, 0, false, false) == 500u);
  CHECK(Pictures.At(700, 100000, false, false) == 500u);
  // Heard: the estimate as it is, then real time.
  CHECK(Pictures.At(700, 110000, true, false) == 700u);
  CHECK(Pictures.At(800, 210000, true, false) == 800u);
  // The estimate leaps 80 ms ahead (a done far out): the clock runs at most 2.5 % faster, and
  // takes the gap back over the next seconds rather than at once.
  uint32_t Last = 800;
  uint64_t Now = 210000;
  for (int Step = 1; Step <= 50; ++Step) {
    Now += 20000;
    uint32_t At = Pictures.At(800 + 80 + 20 * Step, Now, true, false);
    CHECK(At - Last <= 21u);
    CHECK(Pictures.Pace() <= 1 + TPictureClock::MaxSlew + 1e-9);
    Last = At;
  }
  CHECK(Last >= 800u + 1000 + 20);
  // The estimate stalls (a device that stopped): the clock runs on to WaitMs past it, then waits.
  uint32_t Stalled = Last + 30;
  for (int Step = 0; Step < 20; ++Step) Last = Pictures.At(Stalled, Now += 20000, true, false);
  CHECK(Last == Stalled + uint32_t(TPictureClock::WaitMs));
  // Fast forward: the estimate itself, however fast it runs.
  CHECK(Pictures.At(Stalled + 600, Now += 20000, true, true) == Stalled + 600);
  // A new start begins afresh, without a slew from before.
  Pictures.Reset(3000);
  CHECK(Pictures.At(2900, Now += 20000, true, false) == 2900u);
  CHECK(Pictures.Pace() == 1.0);
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
  CHECK(Clock.HeardAt(1260000) == 2000u);  // the buffer playing is told done no later than this
  CHECK(Clock.HeardAt(2000000) == 2000u);

  // The timer's stand-in: at 11025 Hz its buffers of 551 samples fall due at their own time,
  // without drift over a minute.
  TTimerDevice StandIn;
  StandIn.Start(11025, 0);
  uint64_t Taken = 0, Samples = 0;
  for (int Buffer = 0; Buffer < 1201; ++Buffer) StandIn.Queue(551);
  uint64_t Minute = 60000000;
  for (uint64_t Tick = 0; Tick <= Minute; Tick += 50000)
    while (StandIn.TakeDue(Tick, Samples)) Taken += Samples;
  CHECK(Taken == 1200u * 551);  // 1200 buffers of 551 samples are 59.97 s
  CHECK(StandIn.Played(Minute) == 661500u);
}
