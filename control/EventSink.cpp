// The event sink: every call from the control goes to the binding's HandleEvent.
#include "control/EventSink.h"

#include "control/VVPPWEBLib_TLB.h"
#include "toolkit/Errors.h"

HRESULT STDMETHODCALLTYPE TEventSink::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IDispatch) || IsEqualIID(Iid, DIID__DVvPPWebEvents)) {
    *Object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TEventSink::GetTypeInfoCount(UINT* Count) {
  if (!Count) return E_POINTER;
  *Count = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** Info) {
  if (Info) *Info = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE TEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TEventSink::Invoke(DISPID Member, REFIID, LCID, WORD, DISPPARAMS* Params,
                                             VARIANT* Result, EXCEPINFO*, UINT*) {
  if (Result) VariantInit(Result);
  if (!Host || !Params) return S_OK;
  // The host's handler runs here; whatever it throws stops at this COM boundary.
  CatchAndReport([&] { Host->HandleEvent(Member, *Params); }, TVvPPWeb::ReportHandlerError,
                 "An event handler failed.");
  return S_OK;
}
