// The independent check: the pictures the control shows, read through its diagnostics, against
// what Debian's ffmpeg decodes from the same clips (ControlReferenceData.sh), at least 35 dB in
// RGB each, each drawn within a picture's time of when it is due; and the sound it queues, the
// same samples as ffmpeg's.
#include <doctest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"

namespace {

double Psnr(const uint32_t* A, const uint32_t* B, size_t Count) {
  double Sum = 0;
  for (size_t I = 0; I < Count; ++I)
    for (int Shift = 0; Shift < 24; Shift += 8) {
      double D = static_cast<double>((A[I] >> Shift) & 0xFF) - static_cast<double>((B[I] >> Shift) & 0xFF);
      Sum += D * D;
    }
  double Mse = Sum / (3.0 * static_cast<double>(Count));
  return Mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / Mse);
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "pictures and sound as ffmpeg decodes them") {
  struct TCase {
    const char* Clip;
    int Width, Height;  // the window's
    double Fps;         // the clip's
  };
  const TCase Cases[] = {
      {"clock", 176, 144, 15},   // Vivo 1: H.263 and G.723.1, at the clip's size
      {"clock", 352, 288, 15},   // scaled to twice the size
      {"resize", 176, 144, 15},  // its second half, 128 x 96, scaled up to the window
      {"siren", 128, 96, 15},    // Vivo 2: Siren sound
  };
  TScratchDir Dir;
  for (const TCase& Case : Cases) {
    std::string Clip = Case.Clip;
    std::string Size = std::to_string(Case.Width) + "x" + std::to_string(Case.Height);
    CAPTURE(Clip);
    CAPTURE(Size);
    std::string Reference = ReadBytes(std::string(REFERENCE_DIR) + Clip + "-" + Size + ".bgr0");
    size_t PictureSize = static_cast<size_t>(Case.Width) * static_cast<size_t>(Case.Height);
    size_t Pictures = Reference.size() / (PictureSize * 4);
    REQUIRE(Pictures > 0);
    const auto* Expected = reinterpret_cast<const uint32_t*>(Reference.data());

    WriteBytes(Dir / (Clip + ".viv"), CorpusClip(Clip + ".viv"));
    TTestWindow Parent(Case.Width + 40, Case.Height + 40);
    TVvPPWeb Vivo;
    TDiagnostics Diagnostics(Vivo);
    TEventLog Events(Vivo);
    Vivo.CreateInParent(Parent.Handle(), 0, 0, Case.Width, Case.Height);
    Diagnostics->Record(TRUE, TRUE);
    Vivo.SetVideocontrols("FALSE");
    Vivo.Load(Dir / (Clip + ".viv"));
    Vivo.Play();
    REQUIRE(PumpUntil([&] { return Events.Count("AtEnd") == 1; }, 10000));

    // Each picture drawn is the one ffmpeg decodes for its time, and was drawn when it was due.
    std::vector<TShownPicture> Shown = Diagnostics.Shown();
    std::vector<bool> Seen(Pictures);
    double Worst = 99, Sum = 0;
    const double PictureMs = 1000.0 / Case.Fps;
    for (ULONG Index = 0; Index < Shown.size(); ++Index) {
      const TShownPicture& Picture = Shown[Index];
      CAPTURE(Picture.PictureMs);
      CHECK(Picture.ClockMs >= Picture.PictureMs);
      CHECK(Picture.ClockMs - Picture.PictureMs < PictureMs + 50);
      auto Number = static_cast<size_t>(std::lround(Picture.PictureMs / PictureMs));
      REQUIRE(Number < Pictures);
      CHECK(std::fabs(Picture.PictureMs - Number * PictureMs) < PictureMs);
      std::vector<uint32_t> Pixels = Diagnostics.ShownPixels(Index);
      REQUIRE(Pixels.size() == PictureSize);
      double Quality = Psnr(Pixels.data(), Expected + Number * PictureSize, PictureSize);
      CHECK(Quality >= 35);
      Worst = std::min(Worst, Quality);
      Sum += Quality;
      Seen[Number] = true;
    }
    size_t Missed = static_cast<size_t>(std::count(Seen.begin(), Seen.end(), false));
    CHECK(Missed == 0u);
    std::printf("%s at %s: %zu of %zu pictures drawn, PSNR %.1f dB at worst, %.1f dB on average\n", Clip.c_str(),
                Size.c_str(), Pictures - Missed, Pictures, Worst, Shown.empty() ? 0.0 : Sum / Shown.size());

    std::string Pcm = ReadBytes(std::string(REFERENCE_DIR) + Clip + ".pcm");
    std::vector<int16_t> Samples(Pcm.size() / 2);
    std::memcpy(Samples.data(), Pcm.data(), Samples.size() * 2);
    ULONG Rate = 0;
    std::vector<int16_t> Queued = Diagnostics.QueuedSound(&Rate);
    CHECK(Rate == 8000u);
    CHECK(Queued.size() == Samples.size());
    CHECK(Queued == Samples);
    std::printf("%s: %zu samples of sound queued, %zu from ffmpeg, %s\n", Clip.c_str(), Queued.size(), Samples.size(),
                Queued == Samples ? "the same" : "different");
  }
}
