// What the binding's COM objects share: each stands for the binding, its host, towards the video
// control, which may still hold it after the binding has gone; and its references are counted,
// the last Release deleting it.
#pragma once

#include <windows.h>
#include <unknwn.h>

class TVvPPWeb;

template <class... TInterfaces>
class THostedObject : public TInterfaces... {
public:
  explicit THostedObject(TVvPPWeb* Host) : Host(Host) {}
  THostedObject(const THostedObject&) = delete;
  THostedObject& operator=(const THostedObject&) = delete;
  // The binding is going away: the control may still hold us, but we no longer reach it.
  void Detach() { Host = nullptr; }

  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&Refs));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG Left = InterlockedDecrement(&Refs);
    if (Left == 0) delete this;
    return static_cast<ULONG>(Left);
  }

protected:
  // After the interfaces' own entries: the control sees no difference.
  virtual ~THostedObject() = default;
  TVvPPWeb* Host;

private:
  LONG Refs = 1;
};
