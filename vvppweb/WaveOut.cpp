// The wave-output device: silence in a ring of buffers, so the device paces the clock.
#include "vvppweb/WaveOut.h"

bool TWaveOut::Open(HWND Notify, UINT BufferMs) {
  if (Device) return true;
  WAVEFORMATEX Format{};
  Format.wFormatTag = WAVE_FORMAT_PCM;
  Format.nChannels = 1;
  Format.nSamplesPerSec = 8000;
  Format.wBitsPerSample = 8;
  Format.nBlockAlign = 1;
  Format.nAvgBytesPerSec = 8000;
  if (waveOutOpen(&Device, WAVE_MAPPER, &Format, reinterpret_cast<DWORD_PTR>(Notify), 0,
                  CALLBACK_WINDOW) != MMSYSERR_NOERROR) {
    Device = nullptr;
    return false;
  }
  for (int I = 0; I < BufferCount; ++I) {
    Data[I].assign(Format.nAvgBytesPerSec * BufferMs / 1000, static_cast<char>(0x80));
    Headers[I] = WAVEHDR{};
    Headers[I].lpData = Data[I].data();
    Headers[I].dwBufferLength = static_cast<DWORD>(Data[I].size());
    if (waveOutPrepareHeader(Device, &Headers[I], sizeof(WAVEHDR)) != MMSYSERR_NOERROR ||
        waveOutWrite(Device, &Headers[I], sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      Close();
      return false;
    }
  }
  return true;
}

void TWaveOut::Close() {
  if (!Device) return;
  waveOutReset(Device);
  for (WAVEHDR& Header : Headers)
    if (Header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
  waveOutClose(Device);
  Device = nullptr;
}

bool TWaveOut::Done(WPARAM Param, LPARAM Header) {
  if (!Device || reinterpret_cast<HWAVEOUT>(Param) != Device) return false;
  for (WAVEHDR& Ours : Headers)
    if (reinterpret_cast<LPARAM>(&Ours) == Header && (Ours.dwFlags & WHDR_DONE) &&
        !(Ours.dwFlags & WHDR_INQUEUE))
      waveOutWrite(Device, &Ours, sizeof(WAVEHDR));
  return true;
}
