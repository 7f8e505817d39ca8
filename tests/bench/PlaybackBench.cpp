// The playback benchmark's measurements (tools/bench-playback), one a run:
//   PlaybackBench decode CLIP          demux and decode every picture and all the sound, and
//                                      convert every picture for the screen, as fast as it goes:
//                                      "decode_ms=... decode_cpu_ms=... clip_ms=... pictures=..."
//   PlaybackBench play CLIP SECONDS    the registered control plays CLIP in real time in a window
//                                      of the clip's size: "cpu_ms=... wall_ms=... pictures=...
//                                      idle_peak_kb=... playing_peak_kb=..."
//   PlaybackBench load CLIP            from Load to the first picture drawn: "first_picture_ms=..."
//   PlaybackBench answer CLIP          the host's window asked every 5 ms by another thread from Load
//                                      to the first picture drawn: the longest wait for an answer,
//                                      "answer_max_ms=... asked=... first_picture_ms=..."
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>
#include <memory>
#include <sstream>
#include <string>

#include "tests/win/ControlTestHost.h"
#include "vvppweb/ClipMedia.h"
#include "vvppweb/PictureScaler.h"

namespace {

double Now() {
  LARGE_INTEGER Frequency, Count;
  QueryPerformanceFrequency(&Frequency);
  QueryPerformanceCounter(&Count);
  return static_cast<double>(Count.QuadPart) * 1000.0 / static_cast<double>(Frequency.QuadPart);
}

double CpuMs() {
  FILETIME Created, Exited, Kernel, User;
  GetProcessTimes(GetCurrentProcess(), &Created, &Exited, &Kernel, &User);
  auto Ticks = [](FILETIME Time) { return (static_cast<uint64_t>(Time.dwHighDateTime) << 32) | Time.dwLowDateTime; };
  return static_cast<double>(Ticks(Kernel) + Ticks(User)) / 10000.0;
}

size_t PeakKb() {
  PROCESS_MEMORY_COUNTERS Memory{};
  GetProcessMemoryInfo(GetCurrentProcess(), &Memory, sizeof Memory);
  return Memory.PeakWorkingSetSize / 1024;
}

int Decode(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream Read;
  Read << In.rdbuf();
  auto Bytes = std::make_shared<const std::string>(Read.str());
  double Start = Now(), StartCpu = CpuMs();
  TClipInfo Info;
  if (ParseVivoFile(*Bytes, Info) != 0) return std::fprintf(stderr, "not a clip: %s\n", Path.c_str()), 1;
  int32_t Error = 0;
  std::unique_ptr<TClipMedia> Media = TClipMedia::Open(Bytes, Info, Error);
  if (!Media) return std::fprintf(stderr, "nothing plays in %s\n", Path.c_str()), 1;
  TPictureScaler Scaler;
  std::vector<uint32_t> Pixels;
  size_t Pictures = 0;
  while (const TPicture* Next = Media->Ahead()) {
    Media->ShowUpTo(Next->TimeMs);
    Scaler.Draw(*Media->Shown(), Media->Shown()->Width, Media->Shown()->Height, Pixels);
    ++Pictures;
  }
  int16_t Sound[4000];
  while (Media->ReadSound(Sound, 4000) > 0) {
  }
  std::printf("decode_ms=%.1f decode_cpu_ms=%.1f clip_ms=%u pictures=%zu\n", Now() - Start, CpuMs() - StartCpu,
              Media->Scan().LengthMs, Pictures);
  return 0;
}

int Play(const std::string& Path, bool FirstPictureOnly, int Seconds) {
  TControlFixture Fixture;
  TTestWindow Parent(400, 320);
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  bool Ended = false;
  Vivo.OnAtEnd = [&](TObject*, const std::string&) { Ended = true; };
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  Vivo.SetVideocontrols("FALSE");
  PumpFor(300);
  size_t IdlePeak = PeakKb();
  Diagnostics->Record(TRUE, FALSE);
  ULONGLONG LoadTick = GetTickCount64();
  Vivo.Load(Path);
  Vivo.Play();
  if (FirstPictureOnly) {
    if (!PumpUntil([&] { return !Diagnostics.Shown().empty(); }, 10000)) return std::fprintf(stderr, "no picture\n"), 1;
    std::printf("first_picture_ms=%llu\n", Diagnostics.Shown().front().Tick - LoadTick);
    return 0;
  }
  if (!PumpUntil([&] { return !Diagnostics.Shown().empty(); }, 10000)) return std::fprintf(stderr, "no picture\n"), 1;
  Vivo.SetBounds(0, 0, Vivo.VideoWidth(), Vivo.VideoHeight());
  double Cpu = CpuMs(), Wall = Now();
  size_t Before = Diagnostics.Shown().size();
  // A host's loop waits for its messages, as the player's does; a timer ends the run.
  UINT_PTR Stop = SetTimer(nullptr, 0, static_cast<UINT>(Seconds) * 1000, nullptr);
  MSG Message;
  while (!Ended && GetMessageA(&Message, nullptr, 0, 0) > 0) {
    if (Message.message == WM_TIMER && Message.hwnd == nullptr && Message.wParam == Stop) break;
    TranslateMessage(&Message);
    DispatchMessageA(&Message);
  }
  KillTimer(nullptr, Stop);
  std::printf("cpu_ms=%.1f wall_ms=%.1f pictures=%zu idle_peak_kb=%zu playing_peak_kb=%zu\n", CpuMs() - Cpu,
              Now() - Wall, Diagnostics.Shown().size() - Before, IdlePeak, PeakKb());
  return 0;
}

// Asks Window with WM_NULL every 5 ms until told to stop: the longest wait for an answer.
struct TAsker {
  HWND Window;
  std::atomic<bool> Stop{false};
  double Longest = 0;
  int Asked = 0;
  std::thread Thread;
  explicit TAsker(HWND Target) : Window(Target), Thread([this] { Run(); }) {}
  std::atomic<bool> Done{false};
  ~TAsker() { Finish(); }
  // The last question may be on its way: it is answered while we wait for the asker to end.
  void Finish() {
    Stop = true;
    while (!Done) {
      MSG Message;
      while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&Message);
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    if (Thread.joinable()) Thread.join();
  }
  void Run() {
    while (!Stop) {
      double Start = Now();
      DWORD_PTR Ignored = 0;
      SendMessageTimeoutA(Window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &Ignored);
      Longest = std::max(Longest, Now() - Start);
      ++Asked;
      Sleep(5);
    }
    Done = true;
  }
};

int Answer(const std::string& Path) {
  TControlFixture Fixture;
  TTestWindow Parent(400, 320);
  TVvPPWeb Vivo;
  TDiagnostics Diagnostics(Vivo);
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  Vivo.SetVideocontrols("FALSE");
  PumpFor(300);
  Diagnostics->Record(TRUE, FALSE);
  double Longest = 0;
  int Asked = 0;
  ULONGLONG LoadTick = GetTickCount64();
  {
    TAsker Asker(Parent.Handle());
    Vivo.Load(Path);
    Vivo.Play();
    if (!PumpUntil([&] { return !Diagnostics.Shown().empty(); }, 60000)) return std::fprintf(stderr, "no picture\n"), 1;
    Asker.Finish();
    Longest = Asker.Longest;
    Asked = Asker.Asked;
  }
  std::printf("answer_max_ms=%.1f asked=%d first_picture_ms=%llu\n", Longest, Asked,
              Diagnostics.Shown().front().Tick - LoadTick);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string Mode = argc > 2 ? argv[1] : "";
  try {
    if (Mode == "decode" && argc == 3) return Decode(argv[2]);
    if (Mode == "play" && argc == 4) return Play(argv[2], false, std::atoi(argv[3]));
    if (Mode == "load" && argc == 3) return Play(argv[2], true, 0);
    if (Mode == "answer" && argc == 3) return Answer(argv[2]);
  } catch (const std::exception& Error) {
    std::fprintf(stderr, "PlaybackBench: %s\n", Error.what());
    return 1;
  }
  std::fprintf(stderr, "usage: PlaybackBench decode CLIP | play CLIP SECONDS | load CLIP | answer CLIP\n");
  return 2;
}
