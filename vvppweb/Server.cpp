// The in-process server: DllMain, the class factory, DllGetClassObject and DllCanUnloadNow.
#include <windows.h>

#include <new>

#include "vvppweb/Contract.h"
#include "vvppweb/Module.h"
#include "vvppweb/VivoControl.h"

HINSTANCE ModuleInstance = nullptr;

namespace {

LONG Locks = 0;

class TClassFactory final : public IClassFactory {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IClassFactory)) {
      *Object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  // The factory is a static object: its life is the module's, counted through LockServer.
  ULONG STDMETHODCALLTYPE AddRef() override { LockModule(); return 2; }
  ULONG STDMETHODCALLTYPE Release() override { UnlockModule(); return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* Outer, REFIID Iid, void** Object) override {
    if (!Object) return E_POINTER;
    *Object = nullptr;
    if (Outer) return CLASS_E_NOAGGREGATION;
    TVivoControl* Control = nullptr;
    try {
      Control = new TVivoControl();
    } catch (...) {
      // Nothing may cross back into COM.
      return E_OUTOFMEMORY;
    }
    if (!Control->Ready()) {
      Control->Release();
      return E_OUTOFMEMORY;
    }
    HRESULT Result = Control->QueryInterface(Iid, Object);
    Control->Release();
    return Result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL Lock) override {
    if (Lock)
      LockModule();
    else
      UnlockModule();
    return S_OK;
  }
};

TClassFactory Factory;

}  // namespace

void LockModule() { InterlockedIncrement(&Locks); }
void UnlockModule() { InterlockedDecrement(&Locks); }
LONG ModuleLockCount() { return Locks; }

extern "C" BOOL WINAPI DllMain(HINSTANCE Instance, DWORD Reason, LPVOID Reserved) {
  if (Reason == DLL_PROCESS_ATTACH) {
    ModuleInstance = Instance;
    DisableThreadLibraryCalls(Instance);
  } else if (Reason == DLL_PROCESS_DETACH && !Reserved) {
    UnregisterControlClasses();
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID Clsid, REFIID Iid, LPVOID* Object) {
  if (!Object) return E_POINTER;
  *Object = nullptr;
  if (!IsEqualCLSID(Clsid, CLSID_VvPPWeb)) return CLASS_E_CLASSNOTAVAILABLE;
  return Factory.QueryInterface(Iid, Object);
}

STDAPI DllCanUnloadNow() { return ModuleLockCount() == 0 ? S_OK : S_FALSE; }
