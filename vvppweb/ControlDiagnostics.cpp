// The diagnostics interface, for tests: picture size, the call log, the clock, fetch timeout.
// Firing any event is in ControlEvents.cpp beside the other firing code.
#include "vvppweb/VivoControl.h"

HRESULT STDMETHODCALLTYPE TVivoControl::SetPictureSize(short Width, short Height) {
  Playback.SetPictureSize(Width, Height);
  Sync();
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
  const std::string& Text = Calls[Index];
  int Size = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  *Line = SysAllocStringLen(nullptr, static_cast<UINT>(Size));
  if (!*Line) return E_OUTOFMEMORY;
  MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), *Line, Size);
  return S_OK;
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
