// The control's diagnostics interface, for tests only: reached by QueryInterface, never through
// IDispatch. It sets the picture size, fires any event, reads the ordered log of the member
// calls the host made (the lines of CallLog.h), records the pictures the control shows and the
// sound it queues, and makes memory run out.
#pragma once

#include <windows.h>
#include <oaidl.h>

// {6A1D3B5E-8C27-4F0B-9E41-2D7C5A90B3F4}
inline constexpr IID IID_IVvPPWebDiagnostics = {
    0x6A1D3B5E, 0x8C27, 0x4F0B, {0x9E, 0x41, 0x2D, 0x7C, 0x5A, 0x90, 0xB3, 0xF4}};

// A picture the control drew: the clip's time it belongs to, the clock when it was drawn, the
// system's tick count then, and the size it was drawn at.
struct TShownPicture {
  LONG PictureMs;
  LONG ClockMs;
  ULONGLONG Tick;
  LONG Width;
  LONG Height;
};

struct IVvPPWebDiagnostics : public IUnknown {
  // What VideoWidth and VideoHeight report until the next clip starts.
  virtual HRESULT STDMETHODCALLTYPE SetPictureSize(short Width, short Height) = 0;
  // Fires event DispId (1 to 8) with Count arguments given in the event's own order.
  virtual HRESULT STDMETHODCALLTYPE FireEvent(LONG DispId, const VARIANT* Args, ULONG Count) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCallCount(ULONG* Count) = 0;
  // Line Index (0 = oldest) of the call log, as a new BSTR the caller frees.
  virtual HRESULT STDMETHODCALLTYPE GetCall(ULONG Index, BSTR* Line) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearCalls() = 0;
  // The clip's clock in milliseconds.
  virtual HRESULT STDMETHODCALLTYPE GetPosition(ULONG* Ms) = 0;
  // How long a fetch may take before it is given up as a timeout.
  virtual HRESULT STDMETHODCALLTYPE SetFetchTimeout(ULONG Ms) = 0;
  // Starts (On) or ends the record of every picture of the clip the control draws, with its
  // pixels when Pixels is set, and of the clip's sound it queues; starting clears the record.
  virtual HRESULT STDMETHODCALLTYPE Record(BOOL On, BOOL Pixels) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetShownCount(ULONG* Count) = 0;
  // Recorded picture Index (0 = first), and its pixels (0x00RRGGBB, top row first) into Pixels
  // when it was recorded with them and Capacity holds them.
  virtual HRESULT STDMETHODCALLTYPE GetShown(ULONG Index, TShownPicture* Shown, DWORD* Pixels, ULONG Capacity) = 0;
  // The recorded sound from sample Offset: up to Capacity samples (16-bit mono) into Samples,
  // how many in Count, and the sound's rate.
  virtual HRESULT STDMETHODCALLTYPE GetQueuedSound(ULONG Offset, SHORT* Samples, ULONG Capacity, ULONG* Count,
                                                   ULONG* Rate) = 0;
  // From now on, the After-th allocation of the control's own code on the calling thread fails
  // as when memory runs out; 0 lets every one succeed. S_FALSE when the failure asked for
  // before had not come yet.
  virtual HRESULT STDMETHODCALLTYPE FailAllocation(ULONG After) = 0;
};
