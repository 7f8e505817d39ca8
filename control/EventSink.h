// The event sink: an IDispatch the control calls with its event DISPIDs; it hands each call to
// the binding, which decodes the arguments and runs the host's handler.
#pragma once

#include <windows.h>
#include <oaidl.h>

class TVvPPWeb;

class TEventSink final : public IDispatch {
public:
  explicit TEventSink(TVvPPWeb* Host) : Host(Host) {}
  void Detach() { Host = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** Info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID Iid, LCID Locale, WORD Flags,
                                   DISPPARAMS* Params, VARIANT* Result, EXCEPINFO* Exception,
                                   UINT* ArgError) override;

private:
  ~TEventSink() = default;
  LONG Refs = 1;
  TVvPPWeb* Host;
};
