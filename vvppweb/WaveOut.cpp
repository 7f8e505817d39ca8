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
  auto Buffers = std::make_unique<TBuffers>();
  if (waveOutOpen(&Device, WAVE_MAPPER, &Format, reinterpret_cast<DWORD_PTR>(Notify), 0, CALLBACK_WINDOW) !=
      MMSYSERR_NOERROR) {
    Device = nullptr;
    return false;
  }
  if (Current) Retired.push_back(std::move(Current));
  Current = std::move(Buffers);
  LastDone = 0;
  return true;
}

void TWaveOut::Close() {
  if (!Device) return;
  waveOutReset(Device);
  for (WAVEHDR& Header : Current->Headers)
    if (Header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
  waveOutClose(Device);
  Device = nullptr;
  for (bool& Used : Current->Busy) Used = false;
}

int TWaveOut::Queued() const {
  int Count = 0;
  if (Device)
    for (bool Used : Current->Busy) Count += Used;
  return Count;
}

bool TWaveOut::Queue(const std::vector<int16_t>& Samples) {
  if (!Device || Samples.empty()) return false;
  TBuffers& Buffers = *Current;
  for (int I = 0; I < BufferCount; ++I) {
    if (Buffers.Busy[I]) continue;
    WAVEHDR& Header = Buffers.Headers[I];
    if (Header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
    Buffers.Data[I] = Samples;
    Header = WAVEHDR{};
    Header.lpData = reinterpret_cast<LPSTR>(Buffers.Data[I].data());
    Header.dwBufferLength = static_cast<DWORD>(Buffers.Data[I].size() * sizeof(int16_t));
    if (waveOutPrepareHeader(Device, &Header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) return false;
    if (waveOutWrite(Device, &Header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      waveOutUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
      return false;
    }
    Buffers.Busy[I] = true;
    return true;
  }
  return false;
}

TWaveOut::TDone TWaveOut::Done(WPARAM Param, LPARAM Header, uint64_t& Samples) {
  Samples = 0;
  if (!Device || reinterpret_cast<HWAVEOUT>(Param) != Device) return TDone::NotOurs;
  for (int I = 0; I < BufferCount; ++I) {
    WAVEHDR& Ours = Current->Headers[I];
    if (reinterpret_cast<LPARAM>(&Ours) != Header) continue;
    if (Current->Busy[I] && (Ours.dwFlags & WHDR_DONE)) {
      // Messages come in order: whatever a closed device still had to say has been said.
      Retired.clear();
      Current->Busy[I] = false;
      LastDone = Header;
      LastDoneSamples = Ours.dwBufferLength / sizeof(int16_t);
      Samples = LastDoneSamples;
      return TDone::Finished;
    }
    // The same message dispatched again, though the buffer may be queued anew by now.
    if (Header == LastDone) {
      Samples = LastDoneSamples;
      return TDone::Again;
    }
  }
  return TDone::NotOurs;
}
