// The event sink: an IDispatch the control calls with its event DISPIDs; it hands each call to
// the binding, which decodes the arguments and runs the host's handler.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "control/HostedObject.h"

class TEventSink final : public THostedObject<IDispatch> {
public:
  using THostedObject::THostedObject;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** Info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID Iid, LCID Locale, WORD Flags,
                                   DISPPARAMS* Params, VARIANT* Result, EXCEPINFO* Exception,
                                   UINT* ArgError) override;

private:
  ~TEventSink() override = default;
};
