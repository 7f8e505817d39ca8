// The diagnostics interface, for tests: picture size, the call log, the clock, fetch timeout,
// the record of what was shown and queued, memory running out.
// Firing any event is in ControlEvents.cpp beside the other firing code.
#include "vvppweb/VivoControl.h"

#include <algorithm>

#include "vvppweb/AllocationFaults.h"
#include "vvppweb/WideText.h"

HRESULT STDMETHODCALLTYPE TVivoControl::SetPictureSize(short Width, short Height) {
  Playback.SetPictureSize(Width, Height);
  try {
    Sync();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetCallCount(ULONG* Count) {
  if (!Count) return E_POINTER;
  *Count = static_cast<ULONG>(Calls.size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetCall(ULONG Index, BSTR* Line) {
  if (!Line) return E_POINTER;
  *Line = nullptr;
  if (Index >= Calls.size()) return E_INVALIDARG;
  *Line = AnsiToBstr(Calls[Index]);
  return *Line ? S_OK : E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE TVivoControl::ClearCalls() {
  Calls.clear();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetPosition(ULONG* Ms) {
  if (!Ms) return E_POINTER;
  *Ms = Playback.Position();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetFetchTimeout(ULONG Ms) {
  if (Ms == 0) return E_INVALIDARG;
  FetchTimeoutMs = Ms;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::Record(BOOL On, BOOL Pixels) {
  Painter.Record(On, Pixels);
  if (On) {
    RecordedSound.clear();
    if (View) InvalidateRect(View, nullptr, FALSE);
  }
  RecordingSound = On;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetShownCount(ULONG* Count) {
  if (!Count) return E_POINTER;
  *Count = static_cast<ULONG>(Painter.Shown().size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetShown(ULONG Index, TShownPicture* Shown, DWORD* Pixels, ULONG Capacity) {
  if (!Shown) return E_POINTER;
  if (Index >= Painter.Shown().size()) return E_INVALIDARG;
  *Shown = Painter.Shown()[Index];
  if (!Pixels) return S_OK;
  const std::vector<uint32_t>& Recorded = Painter.ShownPixels(Index);
  if (Recorded.empty() || Recorded.size() > Capacity) return E_INVALIDARG;
  std::copy(Recorded.begin(), Recorded.end(), Pixels);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetQueuedSound(ULONG Offset, SHORT* Samples, ULONG Capacity, ULONG* Count,
                                                       ULONG* Rate) {
  if (!Count || (!Samples && Capacity)) return E_POINTER;
  size_t From = std::min<size_t>(Offset, RecordedSound.size());
  size_t Take = std::min<size_t>(Capacity, RecordedSound.size() - From);
  std::copy_n(RecordedSound.begin() + static_cast<std::ptrdiff_t>(From), Take, Samples);
  *Count = static_cast<ULONG>(Take);
  if (Rate) *Rate = Playback.SoundRate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::FailAllocation(ULONG After) {
  return FailAllocationAfter(After) ? S_OK : S_FALSE;
}
