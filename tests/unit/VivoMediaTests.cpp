// Real clips through the engine, FFmpeg's demuxing and decoding included: picture times, the test
// clips good and broken (run under the sanitizers natively), a clip of 64 MB, and the sound
// queue under fast forward and pause.
#include <doctest.h>

#include <fstream>
#include <sstream>

#include "tests/unit/VivoRig.h"
#include "vvppweb/DecodeLoop.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/PictureTimes.h"

namespace {

// What playing a clip through to its end showed and queued.
struct TPlayed {
  int32_t Error = 0;
  int16_t StartWidth = -1, StartHeight = -1;
  bool Generated = false;
  uint32_t LengthMs = 0;
  std::vector<std::pair<int, int>> Sizes;  // each picture size once, in order
  std::vector<uint32_t> Times;             // of the pictures shown, in order
  std::vector<int16_t> Sound;              // the clip's own sound queued
  int Late = 0;                            // pictures shown more than a picture after their time
  bool Ended = false;
};

// Plays Bytes as the control does with one buffer in flight: each buffer's done dispatched
// Dispatches times, as the host's fast forward does with six.
TPlayed PlayThrough(const std::string& Bytes, int Dispatches = 1) {
  TRig Rig;
  Rig.Files = {{"clip.viv", Bytes}};
  Rig.Engine.Load("clip.viv", true);
  Rig.Serve();
  TPlayed Played;
  Played.StartWidth = Rig.Engine.VideoWidth();
  Played.StartHeight = Rig.Engine.VideoHeight();
  Played.LengthMs = Rig.Engine.LengthMs();
  Played.Generated = Rig.Engine.Clip() && !Rig.Engine.ClipMedia();
  uint64_t Serial = 0;
  double PictureMs = Rig.Engine.ClipMedia() ? Rig.Engine.ClipMedia()->Scan().PictureMs : 0;
  for (int Step = 0; Step < 100000 && !Played.Ended && !Played.Error; ++Step) {
    if (const TPicture* Picture = Rig.Engine.Picture(); Picture && Picture->Serial != Serial) {
      Serial = Picture->Serial;
      Played.Times.push_back(Picture->TimeMs);
      if (Played.Sizes.empty() || Played.Sizes.back() != std::pair(Picture->Width, Picture->Height))
        Played.Sizes.emplace_back(Picture->Width, Picture->Height);
      if (Rig.Engine.Position() < Picture->TimeMs || Rig.Engine.Position() - Picture->TimeMs > PictureMs + 50.0 * Dispatches)
        ++Played.Late;
    }
    TSoundBuffer Buffer = Rig.Engine.NextSound(50);
    if (Buffer.Decoded) Played.Sound.insert(Played.Sound.end(), Buffer.Samples.begin(), Buffer.Samples.end());
    for (int I = 0; I < Dispatches; ++I) Rig.Engine.BufferDone(Buffer.Samples.size());
    Rig.Engine.Present(Rig.Engine.Position());
    for (const TEngineEvent& Event : Rig.Take()) {
      if (Event.Event == dispOnFetchError) Played.Error = Event.A;
      if (Event.Event == dispOnAtEnd) Played.Ended = true;
    }
  }
  if (Rig.Engine.State() == csFailed) Played.Ended = true;
  return Played;
}

}  // namespace

TEST_CASE("picture times: the header's frame grid, the TR steps, dropped pictures, wraps and broken TRs") {
  struct TCase {
    const char* Name;
    double Fps;
    std::vector<int> Trs;
    std::vector<uint64_t> Ms;
  };
  const TCase Cases[] = {
      {"15 fps as libavcodec numbers the TRs", 15, {0, 1, 3, 5, 7}, {0, 67, 133, 200, 267}},
      {"15 fps at exactly two TRs a picture", 15, {0, 2, 4, 6}, {0, 67, 133, 200}},
      {"a picture dropped", 15, {0, 2, 6, 8}, {0, 67, 200, 267}},
      {"25 fps: steps of one TR and now and then two", 25, {0, 1, 2, 3, 4, 5, 7, 8}, {0, 40, 80, 120, 160, 200, 240, 280}},
      {"the TR wraps at 256", 15, {250, 252, 254, 0, 2}, {0, 67, 133, 200, 267}},
      {"a flipped TR counts as one picture", 15, {0, 2, 200, 6, 8}, {0, 67, 133, 200, 267}},
      {"the same TR twice counts as one picture", 15, {4, 4, 6}, {0, 67, 133}},
      {"no TRs: the header's rate", 10, {-1, -1, -1}, {0, 100, 200}},
      {"no FPS header: the TR clock", 0, {0, 3, 6, 9}, {0, 100, 200, 300}},
      {"no FPS header and no TRs: 15 a second", 0, {-1, -1, -1}, {0, 67, 133}},
      {"TRs slower than the header: the TRs", 30, {0, 2, 4}, {0, 67, 133}},
      {"TRs faster than the header: one picture a frame", 10, {0, 1, 2, 3}, {0, 100, 200, 300}},
  };
  for (const TCase& Case : Cases) {
    std::string Name = Case.Name;
    CAPTURE(Name);
    CHECK(PictureTimesOf(Case.Fps, Case.Trs) == Case.Ms);
  }
  const uint8_t Start[] = {0x00, 0x00, 0x81, 0x08, 0xFF};
  const uint8_t NoStart[] = {0x00, 0x01, 0x81, 0x08};
  CHECK(TemporalReference(Start, sizeof Start) == 66);
  CHECK(TemporalReference(NoStart, sizeof NoStart) == -1);
  CHECK(TemporalReference(Start, 3) == -1);
}

TEST_CASE("the test clips, good and broken: what each shows, queues and reports") {
  struct TCase {
    const char* Name;
    int32_t Error;
    size_t MinPictures, MaxPictures;
    std::vector<std::pair<int, int>> Sizes;
    uint64_t MinSound;  // samples
    uint32_t MinLength, MaxLength;
  };
  const std::pair<int, int> Qcif{176, 144}, SubQcif{128, 96};
  const TCase Cases[] = {
      {"clock.viv", 0, 45, 45, {Qcif}, 24000, 3000, 3030},
      {"dropped.viv", 0, 30, 30, {Qcif}, 24000, 3000, 3030},
      {"resize.viv", 0, 30, 30, {Qcif, SubQcif}, 16000, 2000, 2030},
      {"siren.viv", 0, 30, 30, {SubQcif}, 10000, 2000, 2040},
      {"truncated.viv", 0, 20, 30, {Qcif}, 10000, 1500, 2200},
      {"flipped.viv", 0, 10, 45, {Qcif}, 1, 800, 3030},
      {"absurd-length.viv", 0, 12, 20, {Qcif}, 5000, 1000, 1400},
      {"unknown-type.viv", 0, 18, 25, {Qcif}, 8000, 1200, 1700},
      {"garbage-pictures.viv", 0, 0, 0, {}, 24000, 3000, 3030},
      {"garbage-only.viv", VivoUnplayable, 0, 0, {}, 0, 0, 0},
      {"header-only.viv", 0, 0, 0, {}, 0, 2000, 2000},
  };
  for (const TCase& Case : Cases) {
    std::string Name = Case.Name;
    CAPTURE(Name);
    TPlayed Played = PlayThrough(CorpusClip(Case.Name));
    CHECK(Played.Error == Case.Error);
    CHECK(Played.Ended);
    if (Case.Error) {
      CHECK(Played.StartWidth == -1);
      continue;
    }
    CHECK(Played.Times.size() >= Case.MinPictures);
    CHECK(Played.Times.size() <= Case.MaxPictures);
    std::string Sizes;
    for (auto [Width, Height] : Played.Sizes) Sizes += std::to_string(Width) + "x" + std::to_string(Height) + " ";
    CAPTURE(Sizes);
    CHECK(Played.Sizes == Case.Sizes);
    CHECK(Played.Late == 0);
    CHECK(Played.Sound.size() >= Case.MinSound);
    CHECK(Played.LengthMs >= Case.MinLength);
    CHECK(Played.LengthMs <= Case.MaxLength);
    if (!Case.Sizes.empty()) {
      // The size is known once the first picture is ready, before the clock moves.
      CHECK(std::pair<int, int>(Played.StartWidth, Played.StartHeight) == Case.Sizes.front());
    } else if (Name == "header-only.viv") {
      CHECK(Played.Generated);
      CHECK(Played.StartWidth == 176);
    } else {
      CHECK(Played.StartWidth == -1);
    }
  }

  // The clock's own clip: every picture at its slot of 15 a second; with every third picture
  // dropped, the others at theirs still, as only their TRs say.
  std::vector<uint32_t> Every, Dropped;
  for (uint32_t Number = 0; Number < 45; ++Number) {
    auto Ms = static_cast<uint32_t>(Number * 1000.0 / 15 + 0.5);
    Every.push_back(Ms);
    if (Number % 3 != 2) Dropped.push_back(Ms);
  }
  CHECK(PlayThrough(CorpusClip("clock.viv")).Times == Every);
  CHECK(PlayThrough(CorpusClip("dropped.viv")).Times == Dropped);

  // Fast forward: the same pictures, fewer of them shown, each in time still.
  TPlayed Fast = PlayThrough(CorpusClip("clock.viv"), 6);
  CHECK(Fast.Ended);
  CHECK(Fast.Late == 0);
  CHECK(Fast.Times.size() >= 8);
  CHECK(Fast.Times.size() <= 11);
}

TEST_CASE("a clip of 64 MB plays from its start, and closing it frees it") {
  const size_t Size = 64u << 20;
  std::string Clock = CorpusClip("clock.viv");
  size_t Copies = Size / Clock.size() - 1;
  std::string Big = RepeatMedia(Clock, Copies, Size);
  REQUIRE(Big.size() == Size);

  TRig Rig;
  Rig.Files = {{"big.viv", Big}};
  Rig.Engine.Load("big.viv", true);
  Rig.Serve();
  CHECK(Rig.Engine.VideoWidth() == 176);
  CHECK(Rig.Engine.LengthMs() >= Copies * 3000);
  uint64_t Serial = Rig.Engine.Picture() ? Rig.Engine.Picture()->Serial : 0;
  Rig.Run(2000);
  REQUIRE(Rig.Engine.Picture() != nullptr);
  CHECK(Rig.Engine.Picture()->Serial > Serial + 25);
  CHECK(Rig.Engine.Playing());
  Rig.Engine.Load("", true);
  CHECK(Rig.Engine.Picture() == nullptr);
  CHECK(Rig.Engine.State() == csClosed);
}

TEST_CASE("sound is handed out from the clock on: fast forward skips, a pause gives back what was not heard") {
  std::string Clock = CorpusClip("clock.viv");
  // The clip's sound as it decodes in one go.
  std::vector<int16_t> Whole;
  {
    TClipInfo Info;
    REQUIRE(ParseVivoFile(Clock, Info) == 0);
    int32_t Error = 0;
    auto Media = TClipMedia::Open(std::make_shared<const std::string>(Clock), Info, Error);
    REQUIRE(Media);
    int16_t Chunk[1000];
    while (size_t Got = Media->ReadSound(Chunk, 1000)) Whole.insert(Whole.end(), Chunk, Chunk + Got);
  }
  REQUIRE(Whole.size() == 24000u);
  auto From = [&](size_t Sample, size_t Count) {
    return std::vector<int16_t>(Whole.begin() + static_cast<std::ptrdiff_t>(Sample),
                                Whole.begin() + static_cast<std::ptrdiff_t>(Sample + Count));
  };

  TRig Rig;
  Rig.Files = {{"clock.viv", Clock}};
  Rig.Engine.Load("clock.viv", true);
  Rig.Serve();
  REQUIRE(Rig.Engine.SoundRate() == 8000u);
  // Three buffers queued ahead, as the control keeps them.
  for (size_t Buffer = 0; Buffer < 3; ++Buffer) {
    TSoundBuffer Sound = Rig.Engine.NextSound(50);
    CHECK(Sound.Decoded);
    CHECK(Sound.Samples.size() == 400u);
    CHECK(Sound.Samples == From(Buffer * 400, 400));
  }
  // One heard, then paused: the two not heard come again.
  Rig.Engine.BufferDone(400);
  Rig.Engine.Pause();
  Rig.Engine.Play();
  CHECK(Rig.Engine.NextSound(50).Samples == From(400, 400));
  CHECK(Rig.Engine.NextSound(50).Samples == From(800, 400));
  // Fast forward: six buffer-dones for each; what the clock passed is skipped.
  for (int I = 0; I < 6; ++I) Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.Position() == 350u);
  CHECK(Rig.Engine.NextSound(50).Samples == From(2800, 400));
  // The end: the last of the sound, then the clip has ended and silence follows.
  Rig.Run(2550);
  CHECK(Rig.Engine.NextSound(50).Samples == From(23200, 400));
  Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.NextSound(50).Samples == From(23600, 400));
  Rig.Engine.BufferDone(400);
  CHECK(Rig.Engine.State() == csEnded);
  TSoundBuffer After = Rig.Engine.NextSound(50);
  CHECK_FALSE(After.Decoded);
  CHECK(After.Samples == std::vector<int16_t>(400, 0));

  // A clip whose sound ends within a buffer: the last one is shorter, and the clock steps by it.
  TPlayed Resized = PlayThrough(CorpusClip("resize.viv"));
  CHECK(Resized.Sound.size() == 67u * 240u);
}

TEST_CASE("the decode loop: a frame that does not decode is passed over, only the decoder's end ends") {
  // A decoder that answers each receive with the next of Answers (0 gives a frame), and a
  // stream of Packets packets; what reached the decoder is written down ("1 2 end").
  struct TCase {
    const char* Name;
    std::vector<int> Answers;
    int Packets;
    int Frames;        // given before the loop said the end
    std::string Sent;
  };
  const int Again = AVERROR(EAGAIN), Bad = AVERROR_INVALIDDATA, End = AVERROR_EOF;
  const TCase Cases[] = {
      {"frames, then the end sent once", {Again, 0, Again, 0, Again, End}, 2, 2, "1 2 end "},
      {"a bad frame told at receiving", {Again, 0, Bad, 0, Again, End}, 2, 2, "1 2 end "},
      {"bad frames in a row", {Again, Bad, Bad, 0, Again, End}, 3, 1, "1 2 3 end "},
      {"the decoder's end with packets left", {Again, 0, End}, 5, 1, "1 "},
      {"wanting more once the end was sent", {Again, 0, Again, Again}, 1, 1, "1 end "},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(std::string(Case.Name));
    size_t Answer = 0;
    int Given = 0;
    std::string Sent;
    TDecodeSteps Steps;
    Steps.Receive = [&](AVFrame*) { return Answer < Case.Answers.size() ? Case.Answers[Answer++] : End; };
    Steps.NextPacket = [&] {
      if (Given == Case.Packets) return TPacketHolder();
      TPacketHolder Packet = NewPacket();
      Packet->pts = ++Given;
      return Packet;
    };
    Steps.Send = [&](const AVPacket* Packet) {
      Sent += Packet ? std::to_string(Packet->pts) + " " : "end ";
      return 0;
    };
    TFrameHolder Frame = NewFrame();
    bool Drained = false;
    int Frames = 0;
    while (DecodeNextFrame(Steps, Drained, Frame.get())) REQUIRE(++Frames <= 10);
    CHECK(Frames == Case.Frames);
    CHECK(Sent == Case.Sent);
    CHECK(Answer == Case.Answers.size());
  }
  // Memory running out, told at either end, is not a bad frame.
  TDecodeSteps Steps;
  Steps.Receive = [](AVFrame*) { return AVERROR(EAGAIN); };
  Steps.NextPacket = [] { return NewPacket(); };
  Steps.Send = [](const AVPacket*) { return AVERROR(ENOMEM); };
  bool Drained = false;
  CHECK_THROWS_AS(DecodeNextFrame(Steps, Drained, nullptr), std::bad_alloc);
  Steps.Receive = [](AVFrame*) { return AVERROR(ENOMEM); };
  CHECK_THROWS_AS(DecodeNextFrame(Steps, Drained, nullptr), std::bad_alloc);
}
