// makeviv's clips (native only, where libavcodec has the encoders): decoded, they show the demo
// picture of their time and play its tone, or the timing patterns theirs; the committed test
// clips are what makeviv writes.
#include <doctest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/unit/VivoRig.h"
#include "vvppweb/BenchClips.h"
#include "vvppweb/ClipEncoder.h"
#include "vvppweb/DemoPicture.h"
#include "vvppweb/MakeCorpus.h"
#include "vvppweb/PictureScaler.h"

namespace {

double Psnr(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B) {
  double Sum = 0;
  for (size_t I = 0; I < A.size(); ++I)
    for (int Shift = 0; Shift < 24; Shift += 8) {
      double D = static_cast<double>((A[I] >> Shift) & 0xFF) - static_cast<double>((B[I] >> Shift) & 0xFF);
      Sum += D * D;
    }
  double Mse = Sum / (3.0 * static_cast<double>(A.size()));
  return Mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / Mse);
}

double Rms(const std::vector<int16_t>& Samples, size_t From, size_t Count) {
  double Sum = 0;
  for (size_t I = From; I < From + Count; ++I) Sum += static_cast<double>(Samples[I]) * Samples[I];
  return std::sqrt(Sum / static_cast<double>(Count));
}

}  // namespace

TEST_CASE("makeviv's clip: every picture is the demo picture of its time, the sound its tone") {
  TClipOptions Options;
  Options.DurationMs = 2000;
  TRig Rig;
  Rig.Files = {{"demo.viv", MakeDemoClip(Options)}};
  Rig.Engine.Load("demo.viv", true);
  Rig.Serve();
  REQUIRE(Rig.Engine.ClipMedia() != nullptr);
  CHECK(Rig.Engine.Clip()->Fields ==
        std::vector<std::pair<std::string, std::string>>{{"Title", "Demo clip"}, {"Author", "makeviv"}, {"Copyright", "Free to copy"}});
  TPictureScaler Scaler;
  std::vector<uint32_t> Shown, Previous;
  std::vector<int16_t> Sound;
  uint64_t Serial = 0;
  int Pictures = 0;
  while (Rig.Engine.State() != csEnded) {
    const TPicture* Picture = Rig.Engine.Picture();
    REQUIRE(Picture != nullptr);
    if (Picture->Serial != Serial) {
      Serial = Picture->Serial;
      REQUIRE(Scaler.Draw(*Picture, 176, 144, Shown));
      auto Number = static_cast<uint32_t>(std::lround(Picture->TimeMs * 15 / 1000.0));
      CAPTURE(Number);
      // Coded at a fine quantiser; the sharp colour edges lose most to the halved chroma.
      double Own = Psnr(Shown, DemoPicture(176, 144, Picture->TimeMs, Number));
      double Later = Psnr(Shown, DemoPicture(176, 144, Picture->TimeMs + 1100, Number + 16));
      CAPTURE(Own);
      CAPTURE(Later);
      CHECK(Own >= 25);
      CHECK(Own > Later + 3);
      // Time passing shows: no picture is the one before it.
      CHECK(Shown != Previous);
      Previous = Shown;
      ++Pictures;
    }
    TSoundBuffer Buffer = Rig.Engine.NextSound(50);
    if (Buffer.Decoded) Sound.insert(Sound.end(), Buffer.Samples.begin(), Buffer.Samples.end());
    Rig.Engine.BufferDone(Buffer.Samples.size());
    Rig.Engine.Present(Rig.Engine.Position());
  }
  CHECK(Pictures == 30);
  REQUIRE(Sound.size() >= 16000u);
  // The tone comes through the speech coder as loud as it went in, the beep louder.
  std::vector<int16_t> Tone;
  for (uint64_t Sample = 0; Sample < 16000; ++Sample) Tone.push_back(DemoTone(Sample, 8000));
  double Steady = Rms(Sound, 2000, 4000), Beep = Rms(Sound, 8000, 800);
  CAPTURE(Steady);
  CAPTURE(Beep);
  CHECK(Steady >= Rms(Tone, 2000, 4000) / 2);
  CHECK(Steady <= Rms(Tone, 2000, 4000) * 2);
  CHECK(Beep > Steady * 1.3);
}

TEST_CASE("timing patterns: the white pictures and the beeps on the full seconds, or black and white in turn") {
  struct TCase {
    const char* Pattern;
    double Fps;
  };
  for (TCase Case : {TCase{"flash", 15}, TCase{"flash", 12}, TCase{"flash", 10}, TCase{"alternate", 12}}) {
    CAPTURE(Case.Pattern);
    CAPTURE(Case.Fps);
    TClipOptions Options;
    Options.DurationMs = 2500;
    Options.Fps = Case.Fps;
    REQUIRE(SetBenchPattern(Case.Pattern, Options));
    const bool Flash = std::string(Case.Pattern) == "flash";
    TRig Rig;
    Rig.Files = {{"a.viv", MakeDemoClip(Options)}};
    Rig.Engine.Load("a.viv", true);
    Rig.Serve();
    REQUIRE(Rig.Engine.ClipMedia() != nullptr);
    TPictureScaler Scaler;
    std::vector<uint32_t> Shown;
    std::vector<int16_t> Sound;
    uint64_t Serial = 0;
    uint32_t Pictures = 0;
    while (Rig.Engine.State() != csEnded) {
      const TPicture* Picture = Rig.Engine.Picture();
      REQUIRE(Picture != nullptr);
      if (Picture->Serial != Serial) {
        Serial = Picture->Serial;
        REQUIRE(Scaler.Draw(*Picture, 176, 144, Shown));
        CAPTURE(Picture->TimeMs);
        // Every pixel plainly black or white, all alike.
        bool White = (Shown[0] & 0xFF) > 128;
        CHECK(std::count_if(Shown.begin(), Shown.end(), [&](uint32_t Pixel) { return ((Pixel & 0xFF) > 128) != White; }) == 0);
        CHECK(White == (Flash ? Picture->TimeMs > 0 && Picture->TimeMs % 1000 == 0 : Pictures % 2 == 1));
        ++Pictures;
      }
      TSoundBuffer Buffer = Rig.Engine.NextSound(50);
      if (Buffer.Decoded) Sound.insert(Sound.end(), Buffer.Samples.begin(), Buffer.Samples.end());
      Rig.Engine.BufferDone(Buffer.Samples.size());
      Rig.Engine.Present(Rig.Engine.Position());
    }
    CHECK(Pictures == static_cast<uint32_t>(std::ceil(2.5 * Case.Fps)));
    // Loud from the full second for the beep's length, and nearly silent everywhere else: the
    // speech coder takes a few milliseconds to open up.
    REQUIRE(Sound.size() >= 20000u);
    for (size_t Ms = 0; Ms + 10 <= 2500; Ms += 10) {
      bool Beep = Flash && (Ms == 1020 || Ms == 2020);
      bool Quiet = !Flash || Ms % 1000 >= BenchBeepMs + 30;
      CAPTURE(Ms);
      double Level = Rms(Sound, Ms * 8, 80);
      if (Beep) CHECK(Level > 8000);
      if (Quiet) CHECK(Level < 300);
    }
  }
}

TEST_CASE("picture sizes: H.263's own, H.263+ for multiples of 4, others refused") {
  struct TCase {
    int Width, Height;
    bool Codable;
  };
  for (TCase Case : {TCase{128, 96, true}, TCase{352, 288, true}, TCase{160, 120, true}, TCase{100, 100, true},
                     TCase{102, 100, false}, TCase{2052, 1152, false}}) {
    CAPTURE(Case.Width);
    CAPTURE(Case.Height);
    CHECK(IsCodablePictureSize(Case.Width, Case.Height) == Case.Codable);
    TClipOptions Options;
    Options.Width = Case.Width;
    Options.Height = Case.Height;
    Options.DurationMs = 200;
    if (!Case.Codable) {
      CHECK_THROWS_AS(MakeDemoClip(Options), std::runtime_error);
      continue;
    }
    if (Case.Width > 400) continue;
    TRig Rig;
    Rig.Files = {{"a.viv", MakeDemoClip(Options)}};
    Rig.Engine.Load("a.viv", true);
    Rig.Serve();
    CHECK(Rig.Engine.VideoWidth() == Case.Width);
    CHECK(Rig.Engine.VideoHeight() == Case.Height);
  }
}

TEST_CASE("the committed test clips are what makeviv --corpus writes") {
  for (const auto& [Name, Bytes] : MakeCorpus()) {
    CAPTURE(Name);
    std::ifstream In(std::string(QUILLO_VIVO_CORPUS) + Name, std::ios::binary);
    std::ostringstream Committed;
    Committed << In.rdbuf();
    CHECK_MESSAGE(Committed.str() == Bytes, "regenerate with: makeviv --corpus tests/unit/VivoCorpus");
  }
}
