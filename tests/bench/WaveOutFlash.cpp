// The sound device's own share of the presentation timing (tools/bench-presentation): the least
// program that plays sound as the video control does (the default wave-output device, 16-bit mono
// at 8000 Hz, four buffers of 50 ms kept queued, each refilled at its MM_WOM_DONE) and shows a
// picture at a buffer's done. Every second a beep begins with a buffer, and the window turns white
// at the done of the buffer before it: when that done comes, the device says the beep's first
// sample is heard now. Black again at the beep buffer's own done. The probe times both.
//   wave_out_flash [BEEPS]      (default 10)
// Prints each done's time (QueryPerformanceCounter, in microseconds) as done=N,US, and exits 1
// when no device opens.
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr DWORD Rate = 8000;
constexpr int BufferSamples = 400;  // 50 ms
constexpr int Buffers = 4;
constexpr int BeepEvery = 20;       // buffers: a second
constexpr int BeepSamples = 480;    // 60 ms of 880 Hz

HWND Window = nullptr;
HWAVEOUT Device = nullptr;
WAVEHDR Headers[Buffers];
std::vector<int16_t> Data[Buffers];
int NextBuffer = 0;  // the number of the next buffer to queue
int LastBuffer = 0;  // the number of the last one, silence after the last beep
int DoneCount = 0;
bool White = false;

int64_t NowUs() {
  LARGE_INTEGER Count, Frequency;
  QueryPerformanceCounter(&Count);
  QueryPerformanceFrequency(&Frequency);
  return Count.QuadPart / Frequency.QuadPart * 1000000 + Count.QuadPart % Frequency.QuadPart * 1000000 / Frequency.QuadPart;
}

void Paint(bool NowWhite) {
  White = NowWhite;
  HDC Dc = GetDC(Window);
  RECT Client;
  GetClientRect(Window, &Client);
  FillRect(Dc, &Client, static_cast<HBRUSH>(GetStockObject(White ? WHITE_BRUSH : BLACK_BRUSH)));
  ReleaseDC(Window, Dc);
  GdiFlush();
}

// Buffer Number's samples: the beep from its start when it begins a second, else silence.
void Fill(std::vector<int16_t>& Samples, int Number) {
  Samples.assign(BufferSamples, 0);
  for (int I = 0; I < BufferSamples; ++I) {
    int Into = (Number % BeepEvery) * BufferSamples + I;
    if (Number >= BeepEvery && Number < LastBuffer && Into < BeepSamples)
      Samples[I] = static_cast<int16_t>(12000 * std::sin(2 * 3.14159265358979 * 880 * Into / Rate));
  }
}

void Queue(WAVEHDR& Header, std::vector<int16_t>& Samples) {
  Fill(Samples, NextBuffer);
  Header = WAVEHDR{};
  Header.lpData = reinterpret_cast<LPSTR>(Samples.data());
  Header.dwBufferLength = BufferSamples * sizeof(int16_t);
  Header.dwUser = static_cast<DWORD_PTR>(NextBuffer++);
  waveOutPrepareHeader(Device, &Header, sizeof Header);
  waveOutWrite(Device, &Header, sizeof Header);
}

LRESULT CALLBACK Proc(HWND Handle, UINT Message, WPARAM W, LPARAM L) {
  switch (Message) {
    case MM_WOM_DONE: {
      auto* Header = reinterpret_cast<WAVEHDR*>(L);
      auto Number = static_cast<int>(Header->dwUser);
      std::printf("done=%d,%lld\n", Number, static_cast<long long>(NowUs()));
      // The next buffer begins a second with its beep: heard from now on, as the device tells.
      if ((Number + 1) % BeepEvery == 0 && Number + 1 < LastBuffer) Paint(true);
      else if (White) Paint(false);
      waveOutUnprepareHeader(Device, Header, sizeof *Header);
      if (++DoneCount == LastBuffer) PostQuitMessage(0);
      else if (NextBuffer < LastBuffer) Queue(*Header, Data[Header - Headers]);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      BeginPaint(Handle, &Ps);
      FillRect(Ps.hdc, &Ps.rcPaint, static_cast<HBRUSH>(GetStockObject(White ? WHITE_BRUSH : BLACK_BRUSH)));
      EndPaint(Handle, &Ps);
      return 0;
    }
    default:
      return DefWindowProcA(Handle, Message, W, L);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int Beeps = argc > 1 ? std::atoi(argv[1]) : 10;
  LastBuffer = (Beeps + 1) * BeepEvery + 10;
  WNDCLASSA Class{};
  Class.lpfnWndProc = Proc;
  Class.hInstance = GetModuleHandleA(nullptr);
  Class.lpszClassName = "WaveOutFlash";
  RegisterClassA(&Class);
  Window = CreateWindowExA(0, Class.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 176, 144, nullptr, nullptr,
                           Class.hInstance, nullptr);
  UpdateWindow(Window);
  WAVEFORMATEX Format{WAVE_FORMAT_PCM, 1, Rate, Rate * 2, 2, 16, 0};
  if (waveOutOpen(&Device, WAVE_MAPPER, &Format, reinterpret_cast<DWORD_PTR>(Window), 0, CALLBACK_WINDOW) !=
      MMSYSERR_NOERROR) {
    std::fprintf(stderr, "wave_out_flash: no wave-output device\n");
    return 1;
  }
  std::printf("start=%lld\n", static_cast<long long>(NowUs()));
  for (int I = 0; I < Buffers; ++I) Queue(Headers[I], Data[I]);
  MSG Message;
  while (GetMessageA(&Message, nullptr, 0, 0) > 0) DispatchMessageA(&Message);
  waveOutReset(Device);
  waveOutClose(Device);
  std::fflush(stdout);
  return 0;
}
