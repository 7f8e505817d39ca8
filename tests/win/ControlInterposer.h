// A stand-in between the host and the video control, for tests: registered in this process as
// the class object of the control's class id, so TVvPPWeb creates it as it would the control.
// Each object it makes wraps a real control made by the OCX's own class factory: the OLE
// object, in-place and initialisation calls go through it and are written down in order, the
// control's misc status can be masked, and the in-place moves can be made to fail; every other
// interface is the real control's own.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>
#include <vector>

class TControlInterposer {
public:
  // COM for the thread, the OCX loaded from its path and the stand-in registered; the
  // registration ends with the object. Only one at a time.
  TControlInterposer();
  ~TControlInterposer();
  TControlInterposer(const TControlInterposer&) = delete;
  TControlInterposer& operator=(const TControlInterposer&) = delete;

  // The calls the host made on the wrapped interfaces, such as "GetMiscStatus",
  // "SetClientSite", "SetClientSite(null)", "InitNew", "SetObjectRects", "Close".
  std::vector<std::string> Calls;
  // The bits of the control's misc status the host is told.
  DWORD MiscStatusMask = ~DWORD{0};
  // When set, SetObjectRects answers this failure instead of moving the control, and InitNew
  // this one instead of initialising it.
  HRESULT FailMoves = S_OK;
  HRESULT FailInitNew = S_OK;
  // Wrapped objects alive now.
  int Objects = 0;

  static TControlInterposer* Current;

private:
  HMODULE Ocx = nullptr;
  IClassFactory* Factory = nullptr;
  DWORD Cookie = 0;
};
