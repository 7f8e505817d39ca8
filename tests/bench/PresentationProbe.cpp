// tools/bench-presentation's eyes and ears (Linux, X11): when the picture on the screen turns white
// or black, to the millisecond, and when each stretch of the sound device's output was played.
//   presentation_probe SOUND_FILE RATE QUIET_MS TIMEOUT_S  < raw 16-bit mono sound at RATE
// The sound (a recording of the device's monitor, e.g. from parec) is copied to SOUND_FILE, and
// each chunk's arrival is timed; the earliest arrival against the samples before it dates the
// recording's first sample. The screen is searched for a picture that turns from black to white;
// once one is seen, the middle of that picture is read every millisecond. The probe ends when
// that pixel has not changed for QUIET_MS (the clip is over), and prints, all times in
// microseconds on one monotonic clock from the probe's start:
//   pixel=X,Y                   the pixel it read
//   change=T,WHITE              each change of that pixel after the first white (WHITE 1 or 0)
//   sound_origin=T              when the first recorded sample played
//   sound_samples=N
// Exits 1 with a message when no picture turned white within TIMEOUT_S, or the display is gone.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <thread>
#include <vector>

namespace {

int64_t NowUs() {
  timespec T;
  clock_gettime(CLOCK_MONOTONIC, &T);
  return T.tv_sec * 1000000LL + T.tv_nsec / 1000;
}

void SleepUntilUs(int64_t Us) {
  timespec T{static_cast<time_t>(Us / 1000000), static_cast<long>(Us % 1000000) * 1000};
  clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &T, nullptr);
}

int Luma(unsigned long Pixel) {
  return static_cast<int>((((Pixel >> 16) & 0xFF) * 299 + ((Pixel >> 8) & 0xFF) * 587 + (Pixel & 0xFF) * 114) / 1000);
}

// The recording: copied to the file, each chunk's arrival noted.
struct TSound {
  FILE* File = nullptr;
  double Rate = 0;
  std::atomic<bool> Stop{false};
  int64_t Samples = 0;
  int64_t Origin = std::numeric_limits<int64_t>::max();

  void Run() {
    char Buffer[8192];
    int64_t Bytes = 0;
    pollfd In{0, POLLIN, 0};
    while (!Stop.load()) {
      if (poll(&In, 1, 50) <= 0) continue;
      ssize_t Got = read(0, Buffer, sizeof Buffer);
      int64_t Now = NowUs();
      if (Got <= 0) return;
      std::fwrite(Buffer, 1, static_cast<size_t>(Got), File);
      Bytes += Got;
      Samples = Bytes / 2;
      // A chunk arrives no earlier than its last sample played: the earliest such bound, over
      // the whole recording, dates sample 0 best.
      Origin = std::min(Origin, Now - static_cast<int64_t>(Samples * 1e6 / Rate));
    }
  }
};

// Where a picture turned from black to white between two grabs of the screen: the middle of the
// band of rows, and of columns, where most pixels did so. False while no such picture (at least
// 16 x 16 pixels, nearly all of its box turned) is seen.
bool FindTurnedPicture(XImage* Before, XImage* After, int& X, int& Y) {
  int W = After->width, H = After->height;
  std::vector<int> Rows(H), Columns(W);
  int Turned = 0;
  for (int Row = 0; Row < H; ++Row)
    for (int Column = 0; Column < W; ++Column)
      if (Luma(XGetPixel(Before, Column, Row)) < 48 && Luma(XGetPixel(After, Column, Row)) > 208) {
        ++Rows[Row];
        ++Columns[Column];
        ++Turned;
      }
  auto Band = [](const std::vector<int>& Counts, int& First, int& Last) {
    int Most = *std::max_element(Counts.begin(), Counts.end());
    First = -1;
    for (int I = 0; I < static_cast<int>(Counts.size()); ++I)
      if (Counts[I] * 2 >= Most && Most > 0) {
        if (First < 0) First = I;
        Last = I;
      }
    return First >= 0;
  };
  int Top, Bottom, Left, Right;
  if (!Band(Rows, Top, Bottom) || !Band(Columns, Left, Right)) return false;
  int Width = Right - Left + 1, Height = Bottom - Top + 1;
  if (Width < 16 || Height < 16 || Turned < Width * Height * 9 / 10) return false;
  X = Left + Width / 2;
  Y = Top + Height / 2;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: presentation_probe SOUND_FILE RATE QUIET_MS TIMEOUT_S < sound\n");
    return 2;
  }
  const int64_t Start = NowUs();
  TSound Sound;
  Sound.Rate = std::atof(argv[2]);
  const int64_t QuietUs = std::atoll(argv[3]) * 1000;
  const int64_t Deadline = Start + std::atoll(argv[4]) * 1000000LL;
  Sound.File = std::fopen(argv[1], "wb");
  if (!Sound.File || Sound.Rate <= 0) {
    std::fprintf(stderr, "presentation_probe: cannot write %s at rate %s\n", argv[1], argv[2]);
    return 2;
  }
  Display* Screen = XOpenDisplay(nullptr);
  if (!Screen) {
    std::fprintf(stderr, "presentation_probe: no X display\n");
    return 1;
  }
  std::thread Recorder([&] { Sound.Run(); });
  auto Finish = [&](int Code) {
    Sound.Stop = true;
    Recorder.join();
    std::fclose(Sound.File);
    XCloseDisplay(Screen);
    return Code;
  };

  Window Root = DefaultRootWindow(Screen);
  XWindowAttributes Attributes;
  XGetWindowAttributes(Screen, Root, &Attributes);
  auto Grab = [&] { return XGetImage(Screen, Root, 0, 0, Attributes.width, Attributes.height, AllPlanes, ZPixmap); };

  // The search, a grab every 20 ms: costly, and only until the first white.
  int X = -1, Y = -1;
  XImage* Before = Grab();
  while (X < 0) {
    if (NowUs() > Deadline) {
      XDestroyImage(Before);
      std::fprintf(stderr, "presentation_probe: no picture turned white on the screen\n");
      return Finish(1);
    }
    SleepUntilUs(NowUs() + 20000);
    XImage* After = Grab();
    if (!FindTurnedPicture(Before, After, X, Y)) X = -1;
    XDestroyImage(Before);
    Before = After;
  }
  XDestroyImage(Before);
  std::printf("pixel=%d,%d\n", X, Y);

  // One pixel every millisecond, on the millisecond.
  bool White = true;
  int64_t LastChange = NowUs();
  std::vector<std::pair<int64_t, bool>> Changes;
  for (int64_t Tick = NowUs(); Tick < Deadline; Tick += 1000) {
    SleepUntilUs(Tick);
    XImage* Pixel = XGetImage(Screen, Root, X, Y, 1, 1, AllPlanes, ZPixmap);
    int64_t Now = NowUs();
    if (!Pixel) {
      std::fprintf(stderr, "presentation_probe: the screen cannot be read\n");
      return Finish(1);
    }
    bool IsWhite = Luma(XGetPixel(Pixel, 0, 0)) >= 128;
    XDestroyImage(Pixel);
    if (IsWhite != White) {
      White = IsWhite;
      LastChange = Now;
      Changes.emplace_back(Now - Start, White);
    }
    if (Now - LastChange > QuietUs) break;
    // Behind by more than a tick (the machine was busy): go on from now, not in a burst.
    if (Now - Tick > 1000) Tick = Now - Now % 1000;
  }
  for (const auto& [At, IsWhite] : Changes) std::printf("change=%lld,%d\n", static_cast<long long>(At), IsWhite ? 1 : 0);
  int Code = Finish(0);
  std::printf("sound_origin=%lld\nsound_samples=%lld\n", static_cast<long long>(Sound.Origin - Start),
              static_cast<long long>(Sound.Samples));
  return Code;
}
