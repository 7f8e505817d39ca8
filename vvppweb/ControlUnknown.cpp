// The control's life: construction, destruction, reference counting and QueryInterface.
#include "vvppweb/VivoControl.h"

#include <climits>

#include "vvppweb/Contract.h"
#include "vvppweb/Module.h"

TVivoControl::TVivoControl() { Engine = CreateEngineWindow(this); }

TVivoControl::~TVivoControl() {
  InPlaceDeactivate();
  PictureTimer.Cancel();
  Sound.Stop();
  Pending.reset();
  if (Engine) DestroyWindow(Engine);
  if (Site) Site->Release();
}

ULONG STDMETHODCALLTYPE TVivoControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&Refs)); }

ULONG STDMETHODCALLTYPE TVivoControl::Release() {
  LONG Left = InterlockedDecrement(&Refs);
  if (Left == 0) {
    // Calls back into us while we tear down (a site releasing us again) must not delete twice.
    Refs = LONG_MAX / 2;
    delete this;
  }
  return static_cast<ULONG>(Left);
}

HRESULT STDMETHODCALLTYPE TVivoControl::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IDispatch) || IsEqualIID(Iid, DIID__DVvPPWeb))
    *Object = static_cast<IDispatch*>(this);
  else if (IsEqualIID(Iid, IID_IOleObject))
    *Object = static_cast<IOleObject*>(this);
  else if (IsEqualIID(Iid, IID_IOleWindow) || IsEqualIID(Iid, IID_IOleInPlaceObject))
    *Object = static_cast<IOleInPlaceObject*>(this);
  else if (IsEqualIID(Iid, IID_IOleInPlaceActiveObject))
    *Object = static_cast<IOleInPlaceActiveObject*>(this);
  else if (IsEqualIID(Iid, IID_IOleControl))
    *Object = static_cast<IOleControl*>(this);
  else if (IsEqualIID(Iid, IID_IPersist) || IsEqualIID(Iid, IID_IPersistStreamInit))
    *Object = static_cast<IPersistStreamInit*>(this);
  else if (IsEqualIID(Iid, IID_IConnectionPointContainer))
    *Object = static_cast<IConnectionPointContainer*>(this);
  else if (IsEqualIID(Iid, IID_IVvPPWebDiagnostics))
    *Object = static_cast<IVvPPWebDiagnostics*>(this);
  else {
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}
