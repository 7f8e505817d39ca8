// The container side of in-place activation: where the control's window goes and at what size.
#include "control/OleSite.h"

#include "control/VVPPWEBLib_TLB.h"
#include "toolkit/Errors.h"

HRESULT STDMETHODCALLTYPE TOleSite::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IOleClientSite))
    *Object = static_cast<IOleClientSite*>(this);
  else if (IsEqualIID(Iid, IID_IOleWindow) || IsEqualIID(Iid, IID_IOleInPlaceSite))
    *Object = static_cast<IOleInPlaceSite*>(this);
  else {
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleSite::GetMoniker(DWORD, DWORD, IMoniker** Moniker) {
  if (Moniker) *Moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TOleSite::GetContainer(IOleContainer** Container) {
  if (Container) *Container = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TOleSite::GetWindow(HWND* Window) {
  if (!Window) return E_POINTER;
  *Window = Host ? Host->Parent : nullptr;
  return *Window ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TOleSite::CanInPlaceActivate() {
  return Host && Host->Parent ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE TOleSite::GetWindowContext(IOleInPlaceFrame** FrameResult,
                                                     IOleInPlaceUIWindow** Document, LPRECT Position,
                                                     LPRECT Clip, LPOLEINPLACEFRAMEINFO Info) {
  if (!FrameResult || !Document || !Position || !Clip) return E_POINTER;
  *Document = nullptr;
  *FrameResult = &Frame;
  Frame.AddRef();
  *Position = Host ? Host->Bounds : RECT{};
  *Clip = *Position;
  if (Info) {
    Info->fMDIApp = FALSE;
    Frame.GetWindow(&Info->hwndFrame);
    Info->haccel = nullptr;
    Info->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TOleSite::OnPosRectChange(LPCRECT Position) {
  if (!Position) return E_POINTER;
  if (!Host) return E_UNEXPECTED;
  const bool Moved = CatchAndReport(
      [&] {
        Host->SetBounds(Position->left, Position->top, Position->right - Position->left,
                        Position->bottom - Position->top);
      },
      TVvPPWeb::ReportHandlerError);
  return Moved ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TOleSite::TFrame::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IOleWindow) ||
      IsEqualIID(Iid, IID_IOleInPlaceUIWindow) || IsEqualIID(Iid, IID_IOleInPlaceFrame)) {
    *Object = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TOleSite::TFrame::GetWindow(HWND* Window) {
  if (!Window) return E_POINTER;
  *Window = Owner.Host && Owner.Host->Parent ? GetAncestor(Owner.Host->Parent, GA_ROOT) : nullptr;
  return *Window ? S_OK : E_FAIL;
}
