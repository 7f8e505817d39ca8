// The control's sound through a real wave-out device, driven for tests/win/WaveOutDevice.sh, which
// records what the device plays:
//   wave_out_device CLIP PAUSE_AT_MS
// Plays CLIP in the registered control; once its clock passes PAUSE_AT_MS it pauses and prints
// "paused=MS", then waits for a line on its input before it plays on, and prints "ended" when the
// clip is over. Exits 1 with a message when no device opens or the clip does not get on.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/win/ControlTestHost.h"

namespace {

int Fail(const char* What) {
  std::fprintf(stderr, "wave_out_device: %s\n", What);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return std::fprintf(stderr, "usage: wave_out_device CLIP PAUSE_AT_MS\n"), 2;
  const ULONG PauseAt = std::strtoul(argv[2], nullptr, 10);
  std::atomic<bool> GoOn{false};
  std::thread([&] {
    char Line[64];
    if (std::fgets(Line, sizeof Line, stdin)) GoOn = true;
  }).detach();

  TControlFixture Fixture;
  TTestWindow Parent(200, 160);
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  bool Opened = false, Ended = false;
  Vivo.OnAudioDevOpen = [&](TObject*, int32_t) { Opened = true; };
  Vivo.OnAtEnd = [&](TObject*, const std::string&) { Ended = true; };
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  Vivo.SetVideocontrols("FALSE");
  Vivo.Load(argv[1]);
  Vivo.Play();

  // Without a device the control's timer would stand in, and nothing would be heard.
  if (!PumpUntil([&] { return Opened; }, 10000)) return Fail("no sound device opened");
  if (!PumpUntil([&] { return Diagnostics.Position() >= PauseAt; }, 10000)) return Fail("the clock did not move");
  Vivo.Pause();
  std::printf("paused=%lu\n", Diagnostics.Position());
  std::fflush(stdout);

  if (!PumpUntil([&] { return GoOn.load(); }, 30000)) return Fail("nobody said to play on");
  Vivo.Play();
  if (!PumpUntil([&] { return Ended; }, 30000)) return Fail("the clip did not end");
  std::printf("ended\n");
  std::fflush(stdout);
  return 0;
}
