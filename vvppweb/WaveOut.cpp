// The wave-output device: the clip's sound in a ring of buffers, so the device paces the clock.
#include "vvppweb/WaveOut.h"

bool TWaveOut::Open(HWND Notify, uint32_t Rate) {
  if (Device) return true;
  WAVEFORMATEX Format{};
  Format.wFormatTag = WAVE_FORMAT_PCM;
  Format.nChannels = 1;
  Format.nSamplesPerSec = Rate;
  Format.wBitsPerSample = 16;
  Format.nBlockAlign = 2;
  Format.nAvgBytesPerSec = Rate * 2;
  if (waveOutOpen(&Device, WAVE_MAPPER, &Format, reinterpret_cast<DWORD_PTR>(Notify), 0, CALLBACK_WINDOW) !=
      MMSYSERR_NOERROR) {
    Device = nullptr;
    return false;
  }
  for (int I = 0; I < BufferCount; ++I) {
    Headers[I] = WAVEHDR{};
    Busy[I] = false;
    Finished[I] = 0;
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
  for (bool& Used : Busy) Used = false;
}

int TWaveOut::Queued() const {
  int Count = 0;
  for (bool Used : Busy) Count += Used;
  return Count;
}

bool TWaveOut::Queue(const std::vector<int16_t>& Samples, uint32_t Ms) {
  if (!Device || Samples.empty()) return false;
  for (int I = 0; I < BufferCount; ++I) {
    if (Busy[I]) continue;
    WAVEHDR& Header = Headers[I];
    if (Header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
    Data[I] = Samples;
    Header = WAVEHDR{};
    Header.lpData = reinterpret_cast<LPSTR>(Data[I].data());
    Header.dwBufferLength = static_cast<DWORD>(Data[I].size() * sizeof(int16_t));
    Header.dwUser = Ms;
    if (waveOutPrepareHeader(Device, &Header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(Device, &Header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
      return false;
    }
    Busy[I] = true;
    return true;
  }
  return false;
}

bool TWaveOut::Done(WPARAM Param, LPARAM Header, uint32_t& Ms) {
  if (!Device || reinterpret_cast<HWAVEOUT>(Param) != Device) return false;
  Ms = 0;
  for (int I = 0; I < BufferCount; ++I) {
    if (reinterpret_cast<LPARAM>(&Headers[I]) != Header) continue;
    // The first delivery frees the buffer; the host's fast forward may deliver it again.
    if (Busy[I] && (Headers[I].dwFlags & WHDR_DONE)) {
      Busy[I] = false;
      Finished[I] = static_cast<uint32_t>(Headers[I].dwUser);
    }
    Ms = Finished[I];
  }
  return true;
}
