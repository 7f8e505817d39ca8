// The stand-in between host and control: forwarding, the call record and the failures asked for.
#include "tests/win/ControlInterposer.h"

#include <ole2.h>
#include <ocidl.h>

#include <stdexcept>

#include "control/ComHolders.h"
#include "control/VVPPWEBLib_TLB.h"
#include "tests/win/ControlTestHost.h"

TControlInterposer* TControlInterposer::Current = nullptr;

namespace {

void Note(const char* Call) {
  if (TControlInterposer::Current) TControlInterposer::Current->Calls.push_back(Call);
}

// One wrapped control. Its IUnknown is its IOleObject; the interfaces it does not wrap are
// handed out from the real control, so they answer with the real control's identity.
class TInterposed final : public IOleObject, public IOleInPlaceObject, public IPersistStreamInit {
public:
  explicit TInterposed(IUnknown* Real) {
    if (FAILED(Real->QueryInterface(IID_IUnknown, Inner.PutVoid())) ||
        FAILED(Real->QueryInterface(IID_IOleObject, Object.PutVoid())) ||
        FAILED(Real->QueryInterface(IID_IOleInPlaceObject, InPlace.PutVoid())) ||
        FAILED(Real->QueryInterface(IID_IPersistStreamInit, Persist.PutVoid())))
      throw std::runtime_error("the control lacks an interface the stand-in wraps");
    ++TControlInterposer::Current->Objects;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Result) override {
    if (!Result) return E_POINTER;
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IOleObject))
      *Result = static_cast<IOleObject*>(this);
    else if (IsEqualIID(Iid, IID_IOleWindow) || IsEqualIID(Iid, IID_IOleInPlaceObject))
      *Result = static_cast<IOleInPlaceObject*>(this);
    else if (IsEqualIID(Iid, IID_IPersist) || IsEqualIID(Iid, IID_IPersistStreamInit))
      *Result = static_cast<IPersistStreamInit*>(this);
    else
      return Inner->QueryInterface(Iid, Result);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG Left = --Refs;
    if (Left == 0) {
      if (TControlInterposer::Current) --TControlInterposer::Current->Objects;
      delete this;
    }
    return static_cast<ULONG>(Left);
  }

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* Site) override {
    Note(Site ? "SetClientSite" : "SetClientSite(null)");
    return Object->SetClientSite(Site);
  }
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** Site) override { return Object->GetClientSite(Site); }
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR App, LPCOLESTR Doc) override { return Object->SetHostNames(App, Doc); }
  HRESULT STDMETHODCALLTYPE Close(DWORD Option) override {
    Note("Close");
    return Object->Close(Option);
  }
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD Which, IMoniker* Moniker) override { return Object->SetMoniker(Which, Moniker); }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD Assign, DWORD Which, IMoniker** Moniker) override {
    return Object->GetMoniker(Assign, Which, Moniker);
  }
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* Data, BOOL Creation, DWORD Reserved) override {
    return Object->InitFromData(Data, Creation, Reserved);
  }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD Reserved, IDataObject** Data) override {
    return Object->GetClipboardData(Reserved, Data);
  }
  HRESULT STDMETHODCALLTYPE DoVerb(LONG Verb, LPMSG Msg, IOleClientSite* Site, LONG Index, HWND Parent,
                                   LPCRECT Position) override {
    return Object->DoVerb(Verb, Msg, Site, Index, Parent, Position);
  }
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** Verbs) override { return Object->EnumVerbs(Verbs); }
  HRESULT STDMETHODCALLTYPE Update() override { return Object->Update(); }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return Object->IsUpToDate(); }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* Clsid) override { return Object->GetUserClassID(Clsid); }
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD Form, LPOLESTR* Type) override { return Object->GetUserType(Form, Type); }
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD Aspect, SIZEL* Size) override { return Object->SetExtent(Aspect, Size); }
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD Aspect, SIZEL* Size) override { return Object->GetExtent(Aspect, Size); }
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* Sink, DWORD* Connection) override { return Object->Advise(Sink, Connection); }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD Connection) override { return Object->Unadvise(Connection); }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** Advises) override { return Object->EnumAdvise(Advises); }
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD Aspect, DWORD* Status) override {
    Note("GetMiscStatus");
    HRESULT Result = Object->GetMiscStatus(Aspect, Status);
    if (SUCCEEDED(Result) && Status && TControlInterposer::Current)
      *Status &= TControlInterposer::Current->MiscStatusMask;
    return Result;
  }
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* Palette) override { return Object->SetColorScheme(Palette); }

  // IOleWindow, IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override { return InPlace->GetWindow(Window); }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL Enter) override { return InPlace->ContextSensitiveHelp(Enter); }
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override { return InPlace->InPlaceDeactivate(); }
  HRESULT STDMETHODCALLTYPE UIDeactivate() override { return InPlace->UIDeactivate(); }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT Position, LPCRECT Clip) override {
    Note("SetObjectRects");
    if (TControlInterposer::Current && FAILED(TControlInterposer::Current->FailMoves))
      return TControlInterposer::Current->FailMoves;
    return InPlace->SetObjectRects(Position, Clip);
  }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return InPlace->ReactivateAndUndo(); }

  // IPersist, IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* Clsid) override { return Persist->GetClassID(Clsid); }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return Persist->IsDirty(); }
  HRESULT STDMETHODCALLTYPE Load(IStream* Stream) override { return Persist->Load(Stream); }
  HRESULT STDMETHODCALLTYPE Save(IStream* Stream, BOOL Clear) override { return Persist->Save(Stream, Clear); }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* Size) override { return Persist->GetSizeMax(Size); }
  HRESULT STDMETHODCALLTYPE InitNew() override {
    Note("InitNew");
    if (TControlInterposer::Current && FAILED(TControlInterposer::Current->FailInitNew))
      return TControlInterposer::Current->FailInitNew;
    return Persist->InitNew();
  }

private:
  ~TInterposed() = default;
  LONG Refs = 1;
  TComPtr<IUnknown> Inner;
  TComPtr<IOleObject> Object;
  TComPtr<IOleInPlaceObject> InPlace;
  TComPtr<IPersistStreamInit> Persist;
};

// The class object registered for the control's class id.
class TStandInFactory final : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Result) override {
    if (!Result) return E_POINTER;
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IClassFactory)) {
      *Result = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *Result = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID Iid, void** Result) override {
    if (!Result) return E_POINTER;
    *Result = nullptr;
    if (Outer) return CLASS_E_NOAGGREGATION;
    if (!Real) return E_UNEXPECTED;
    TComPtr<IUnknown> Control;
    if (HRESULT Error = Real->CreateInstance(nullptr, IID_IUnknown, Control.PutVoid()); FAILED(Error)) return Error;
    TInterposed* Wrapped = nullptr;
    try {
      Wrapped = new TInterposed(Control.Get());
    } catch (const std::exception&) {
      return E_NOINTERFACE;
    }
    HRESULT Error = Wrapped->QueryInterface(Iid, Result);
    Wrapped->Release();
    return Error;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

  IClassFactory* Real = nullptr;
};

TStandInFactory StandIn;

}  // namespace

TControlInterposer::TControlInterposer() {
  if (Current) throw std::runtime_error("only one control stand-in at a time");
  CoInitialize(nullptr);
  Ocx = LoadLibraryA(OcxPath().c_str());
  auto GetClassObject = Ocx ? reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
                                  reinterpret_cast<void*>(GetProcAddress(Ocx, "DllGetClassObject")))
                            : nullptr;
  if (!GetClassObject || FAILED(GetClassObject(CLSID_VvPPWeb, IID_IClassFactory, reinterpret_cast<void**>(&Factory))) ||
      FAILED(CoRegisterClassObject(CLSID_VvPPWeb, &StandIn, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &Cookie))) {
    if (Factory) Factory->Release();
    if (Ocx) FreeLibrary(Ocx);
    CoUninitialize();
    throw std::runtime_error("cannot put the control's stand-in in place");
  }
  StandIn.Real = Factory;
  Current = this;
}

TControlInterposer::~TControlInterposer() {
  CoRevokeClassObject(Cookie);
  StandIn.Real = nullptr;
  Factory->Release();
  Current = nullptr;
  FreeLibrary(Ocx);
  CoUninitialize();
}
