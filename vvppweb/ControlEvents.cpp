// The event interface: the connection point, and firing events into every connected sink.
#include "vvppweb/VivoControl.h"
#include "vvppweb/WideText.h"

#include <olectl.h>

#include "vvppweb/Contract.h"

HRESULT STDMETHODCALLTYPE TVivoControl::EnumConnectionPoints(IEnumConnectionPoints** Points) {
  if (Points) *Points = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TVivoControl::FindConnectionPoint(REFIID Iid, IConnectionPoint** Point) {
  if (!Point) return E_POINTER;
  if (!IsEqualIID(Iid, DIID__DVvPPWebEvents)) {
    *Point = nullptr;
    return CONNECT_E_NOCONNECTION;
  }
  *Point = &EventPoint;
  EventPoint.AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::QueryInterface(REFIID Iid, void** Object) {
  if (!Object) return E_POINTER;
  if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IConnectionPoint)) {
    *Object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *Object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::GetConnectionInterface(IID* Iid) {
  if (!Iid) return E_POINTER;
  *Iid = DIID__DVvPPWebEvents;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::GetConnectionPointContainer(
    IConnectionPointContainer** Container) {
  if (!Container) return E_POINTER;
  *Container = &Owner;
  Owner.AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::Advise(IUnknown* Sink, DWORD* Cookie) {
  if (!Sink || !Cookie) return E_POINTER;
  *Cookie = 0;
  IDispatch* Dispatch = nullptr;
  if (FAILED(Sink->QueryInterface(DIID__DVvPPWebEvents, reinterpret_cast<void**>(&Dispatch))) &&
      FAILED(Sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&Dispatch))))
    return CONNECT_E_CANNOTCONNECT;
  TComRef<IDispatch> Held(Dispatch);
  try {
    Owner.Sinks.emplace_back(Owner.NextCookie, std::move(Held));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  *Cookie = Owner.NextCookie++;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::Unadvise(DWORD Cookie) {
  for (auto It = Owner.Sinks.begin(); It != Owner.Sinks.end(); ++It)
    if (It->first == Cookie) {
      // Let go of only once it is off the list: its release may call back into us.
      TComRef<IDispatch> Sink = std::move(It->second);
      Owner.Sinks.erase(It);
      return S_OK;
    }
  return CONNECT_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE TVivoControl::TEventPoint::EnumConnections(IEnumConnections** Connections) {
  if (Connections) *Connections = nullptr;
  return E_NOTIMPL;
}

void TVivoControl::Fire(DISPID Event, VARIANT* ReversedArgs, UINT Count) {
  if (Frozen > 0) return;
  // A handler may disconnect sinks or release the control: work on our own references.
  TKeepAlive Alive(*static_cast<IDispatch*>(this));
  std::vector<TComRef<IDispatch>> Targets;
  Targets.reserve(Sinks.size());
  for (auto& [Cookie, Sink] : Sinks) Targets.push_back(Sink);
  DISPPARAMS Params{ReversedArgs, nullptr, Count, 0};
  for (const TComRef<IDispatch>& Sink : Targets)
    Sink->Invoke(Event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &Params, nullptr, nullptr, nullptr);
}

void TVivoControl::FireEngineEvent(const TEngineEvent& Event) {
  VARIANT Args[2];
  UINT Count = 0;
  auto Url = [&](VARIANT& Arg) {
    Arg.vt = VT_BSTR;
    Arg.bstrVal = AnsiToBstr(Event.Url);
  };
  auto Long = [](VARIANT& Arg, int32_t Value) {
    Arg.vt = VT_I4;
    Arg.lVal = Value;
  };
  // The arguments go last first, as DISPPARAMS wants them.
  switch (Event.Event) {
    case dispOnAtStart:
    case dispOnAtEnd:
      Url(Args[0]);
      Count = 1;
      break;
    case dispOnTime:
    case dispOnStateChange:
      Url(Args[0]);
      Long(Args[1], Event.A);
      Count = 2;
      break;
    case dispOnVideoSize:
      Args[0].vt = Args[1].vt = VT_I2;
      Args[0].iVal = static_cast<SHORT>(Event.B);
      Args[1].iVal = static_cast<SHORT>(Event.A);
      Count = 2;
      break;
    case dispOnFetchError:
    case dispOnAudioDevOpen:
      Long(Args[0], Event.A);
      Count = 1;
      break;
    case dispOnAudioDevClose:
      break;
  }
  auto Clear = [&] {
    for (UINT I = 0; I < Count; ++I) VariantClear(&Args[I]);
  };
  try {
    Fire(Event.Event, Args, Count);
  } catch (...) {
    Clear();
    throw;
  }
  Clear();
}

void TVivoControl::Flush() {
  FlushPosted = false;
  TKeepAlive Alive(*static_cast<IDispatch*>(this));
  // One at a time: a handler may load another clip, which drops the rest.
  while (std::optional<TEngineEvent> Event = Playback.TakeEvent()) FireEngineEvent(*Event);
}

HRESULT STDMETHODCALLTYPE TVivoControl::FireEvent(LONG DispId, const VARIANT* Args, ULONG Count) {
  if (DispId < dispOnAtStart || DispId > dispOnAudioDevClose) return E_INVALIDARG;
  if (Count > 2 || (Count && !Args)) return E_INVALIDARG;
  VARIANT Reversed[2];
  for (VARIANT& Arg : Reversed) VariantInit(&Arg);
  HRESULT Result = S_OK;
  for (ULONG I = 0; I < Count && SUCCEEDED(Result); ++I)
    Result = VariantCopy(&Reversed[Count - 1 - I], const_cast<VARIANT*>(&Args[I]));
  try {
    if (SUCCEEDED(Result)) Fire(DispId, Reversed, Count);
  } catch (...) {
    // Nothing may cross back into the caller.
    Result = E_OUTOFMEMORY;
  }
  for (VARIANT& Arg : Reversed) VariantClear(&Arg);
  return Result;
}
