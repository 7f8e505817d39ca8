// The host's COM manners with the real control: what each object answers to QueryInterface, the
// reference counts after each scenario, the OCX free to unload once the host is gone, the order
// of creation (and its undoing when a step fails), and a subclass of the control's window that
// is not ours surviving our letting go of it.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/EventSink.h"
#include "tests/win/ControlInterposer.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/TestFiles.h"
#include "toolkit/Errors.h"

namespace {

struct TNamedIid {
  const char* Name;
  IID Iid;
};

// {0B6F2C41-7D3E-4A59-8E12-6C0D9F4B2A77}: an interface nobody implements.
constexpr IID IID_INobody = {0x0B6F2C41, 0x7D3E, 0x4A59, {0x8E, 0x12, 0x6C, 0x0D, 0x9F, 0x4B, 0x2A, 0x77}};

// Every interface any of the objects below claims, and some none of them does.
const TNamedIid Known[] = {
    {"IUnknown", IID_IUnknown},
    {"IDispatch", IID_IDispatch},
    {"_DVvPPWeb", DIID__DVvPPWeb},
    {"_DVvPPWebEvents", DIID__DVvPPWebEvents},
    {"IOleObject", IID_IOleObject},
    {"IOleWindow", IID_IOleWindow},
    {"IOleInPlaceObject", IID_IOleInPlaceObject},
    {"IOleInPlaceActiveObject", IID_IOleInPlaceActiveObject},
    {"IOleControl", IID_IOleControl},
    {"IPersist", IID_IPersist},
    {"IPersistStreamInit", IID_IPersistStreamInit},
    {"IConnectionPointContainer", IID_IConnectionPointContainer},
    {"IVvPPWebDiagnostics", IID_IVvPPWebDiagnostics},
    {"IOleClientSite", IID_IOleClientSite},
    {"IOleInPlaceSite", IID_IOleInPlaceSite},
    {"IOleInPlaceUIWindow", IID_IOleInPlaceUIWindow},
    {"IOleInPlaceFrame", IID_IOleInPlaceFrame},
    {"IPersistStorage", IID_IPersistStorage},
    {"IViewObject", IID_IViewObject},
    {"IProvideClassInfo", IID_IProvideClassInfo},
    {"IConnectionPoint", IID_IConnectionPoint},
    {"IClassFactory", IID_IClassFactory},
    {"IOleContainer", IID_IOleContainer},
    {"INobody", IID_INobody},
};

struct TObjectCase {
  const char* Name;
  IUnknown* Object;
  std::vector<std::string> Claimed;
};

bool Claims(const TObjectCase& Case, const char* Name) {
  for (const std::string& Claimed : Case.Claimed)
    if (Claimed == Name) return true;
  return false;
}

// QueryInterface by the COM rules: each claimed interface is given (and counted), leads back to
// the one IUnknown and on to every other claimed interface; anything else is E_NOINTERFACE with
// the out pointer cleared. The count is where it started once everything is let go.
void CheckQueryInterface(const TObjectCase& Case) {
  CAPTURE(Case.Name);
  const ULONG Start = RefCount(Case.Object);
  TComPtr<IUnknown> Identity;
  REQUIRE(Case.Object->QueryInterface(IID_IUnknown, Identity.PutVoid()) == S_OK);
  for (const TNamedIid& Asked : Known) {
    CAPTURE(Asked.Name);
    void* Given = reinterpret_cast<void*>(0x1);
    const HRESULT Result = Case.Object->QueryInterface(Asked.Iid, &Given);
    if (!Claims(Case, Asked.Name)) {
      CHECK(Result == E_NOINTERFACE);
      CHECK(Given == nullptr);
      continue;
    }
    REQUIRE(Result == S_OK);
    REQUIRE(Given != nullptr);
    TComPtr<IUnknown> Interface(static_cast<IUnknown*>(Given));
    CHECK(RefCount(Case.Object) > Start);
    TComPtr<IUnknown> Back;
    REQUIRE(Interface->QueryInterface(IID_IUnknown, Back.PutVoid()) == S_OK);
    CHECK(Back.Get() == Identity.Get());
    for (const TNamedIid& Other : Known) {
      if (!Claims(Case, Other.Name)) continue;
      CAPTURE(Other.Name);
      TComPtr<IUnknown> Onward;
      CHECK(Interface->QueryInterface(Other.Iid, Onward.PutVoid()) == S_OK);
    }
  }
  Identity.Reset();
  CHECK(RefCount(Case.Object) == Start);
}

// The calls, one after another, for comparing and for the failure message.
std::string Joined(const std::vector<std::string>& Calls) {
  std::string Text;
  for (const std::string& Call : Calls) Text += (Text.empty() ? "" : ", ") + Call;
  return Text;
}

using TDllCanUnloadNow = HRESULT(WINAPI*)();

TDllCanUnloadNow CanUnloadNow() {
  HMODULE Ocx = GetModuleHandleA(OcxPath().c_str());
  REQUIRE(Ocx != nullptr);
  return reinterpret_cast<TDllCanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(Ocx, "DllCanUnloadNow")));
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "QueryInterface on the control, the host's site, its frame and its event sink") {
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  TComPtr<IOleObject> Object;
  REQUIRE(Vivo.ControlObject()->QueryInterface(IID_IOleObject, Object.PutVoid()) == S_OK);
  TComPtr<IOleClientSite> Site;
  REQUIRE(Object->GetClientSite(Site.Put()) == S_OK);
  REQUIRE(Site);
  TComPtr<IOleInPlaceSite> InPlaceSite;
  REQUIRE(Site.As(IID_IOleInPlaceSite, InPlaceSite) == S_OK);
  TComPtr<IOleInPlaceFrame> Frame;
  TComPtr<IOleInPlaceUIWindow> Document;
  RECT Position{}, Clip{};
  OLEINPLACEFRAMEINFO Info{};
  Info.cb = sizeof Info;
  REQUIRE(InPlaceSite->GetWindowContext(Frame.Put(), Document.Put(), &Position, &Clip, &Info) == S_OK);
  REQUIRE(Frame);
  CHECK_FALSE(Document);
  CHECK(Info.hwndFrame == Parent.Handle());
  TComPtr<TEventSink> Sink(new TEventSink(nullptr));

  const TObjectCase Cases[] = {
      {"control", Vivo.ControlObject(),
       {"IUnknown", "IDispatch", "_DVvPPWeb", "IOleObject", "IOleWindow", "IOleInPlaceObject",
        "IOleInPlaceActiveObject", "IOleControl", "IPersist", "IPersistStreamInit", "IConnectionPointContainer",
        "IVvPPWebDiagnostics"}},
      {"site", Site.Get(), {"IUnknown", "IOleClientSite", "IOleWindow", "IOleInPlaceSite"}},
      {"frame", Frame.Get(), {"IUnknown", "IOleWindow", "IOleInPlaceUIWindow", "IOleInPlaceFrame"}},
      {"event sink", Sink.Get(), {"IUnknown", "IDispatch", "_DVvPPWebEvents"}},
  };
  for (const TObjectCase& Case : Cases) CheckQueryInterface(Case);
  CHECK(RefCount(Sink.Get()) == 1);
  CHECK(Sink.Detach()->Release() == 0);
}

TEST_CASE_FIXTURE(TControlFixture, "reference counts come back after each scenario, and the OCX may unload once the host is gone") {
  TScratchDir Dir;
  WriteClip(Dir / "a.viv", 176, 144, 60000);
  TTestWindow Parent;
  auto Vivo = std::make_unique<TVvPPWeb>();
  // The state every scenario starts from and returns to: in place in the parent, no clip.
  Vivo->CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  TComPtr<IUnknown> Control;
  REQUIRE(Vivo->ControlObject()->QueryInterface(IID_IUnknown, Control.PutVoid()) == S_OK);
  TComPtr<IOleClientSite> Site;
  {
    TComPtr<IOleObject> Object;
    REQUIRE(Control.As(IID_IOleObject, Object) == S_OK);
    REQUIRE(Object->GetClientSite(Site.Put()) == S_OK);
  }
  auto Fire = [&](TVvPPWebEvent Event, std::vector<TVariant> Args) {
    TDiagnostics Diagnostics(*Vivo);
    std::vector<VARIANT> Plain;
    for (TVariant& Arg : Args) Plain.push_back(*Arg);
    return Diagnostics->FireEvent(Event, Plain.data(), static_cast<ULONG>(Plain.size()));
  };
  auto Long = [](LONG Value) {
    TVariant V;
    V.Put()->vt = VT_I4;
    V.Get()->lVal = Value;
    return V;
  };

  struct TScenario {
    const char* Name;
    std::function<void()> Run;
  };
  const TScenario Scenarios[] = {
      {"moved, hidden, shown, and placed in its parent again",
       [&] {
         Vivo->SetBounds(10, 10, 352, 288);
         Vivo->SetVisible(false);
         Vivo->SetVisible(true);
         Vivo->CreateInParent(Parent.Handle(), 0, 0, 176, 144);
       }},
      {"a clip opened, played, read, paused and closed",
       [&] {
         TEventLog Events(*Vivo);
         Vivo->SetVideocontrols("FALSE");
         Vivo->Load(Dir / "a.viv");
         Vivo->Play();
         REQUIRE(PumpUntil([&] { return Events.Count("AtStart") == 1; }));
         CHECK(Vivo->URL() == Dir / "a.viv");
         CHECK(Vivo->VideoWidth() == 176);
         Vivo->Pause();
         Vivo->Load("");
         PumpFor(50);
         Vivo->OnAtStart = Vivo->OnAtEnd = nullptr;
         Vivo->OnFetchError = nullptr;
         Vivo->OnVideoSize = nullptr;
       }},
      {"every event raised, one of them with a handler that fails",
       [&] {
         std::string Reported;
         TVvPPWeb::OnHandlerError = [&](const std::exception& Error) { Reported = Error.what(); };
         Vivo->OnFetchError = [](TObject*, int32_t) { throw EInOutError("disk full", 112); };
         std::vector<TVariant> Url;
         Url.push_back(TVariant::Text("C:\\a.viv"));
         CHECK(Fire(dispOnAtStart, std::move(Url)) == S_OK);
         std::vector<TVariant> Error;
         Error.push_back(Long(5));
         CHECK(Fire(dispOnFetchError, std::move(Error)) == S_OK);
         CHECK(Fire(dispOnAudioDevClose, {}) == S_OK);
         CHECK(Reported == "disk full");
         TVvPPWeb::OnHandlerError = nullptr;
         Vivo->OnFetchError = nullptr;
       }},
  };
  for (const TScenario& Scenario : Scenarios) {
    CAPTURE(Scenario.Name);
    const ULONG ControlBefore = RefCount(Control.Get()), SiteBefore = RefCount(Site.Get());
    Scenario.Run();
    CHECK(RefCount(Control.Get()) == ControlBefore);
    CHECK(RefCount(Site.Get()) == SiteBefore);
  }

  TDllCanUnloadNow CanUnload = CanUnloadNow();
  const bool Exported = CanUnload != nullptr;
  REQUIRE(Exported);
  CHECK(CanUnload() == S_FALSE);
  Vivo.reset();
  // Ours are the last references: the host let go of the control, and the control of our site.
  CHECK(Control.Detach()->Release() == 0);
  CHECK(Site.Detach()->Release() == 0);
  CHECK(CanUnload() == S_OK);
}

TEST_CASE("creation: the site before InitNew when the control asks for it, after it otherwise; a failure undone") {
  TControlInterposer Interposer;
  struct TCase {
    const char* Name;
    DWORD Mask;
    HRESULT InitNew;
    std::vector<std::string> Calls;
  };
  const std::vector<std::string> Teardown = {"Close", "SetClientSite(null)"};
  const TCase Cases[] = {
      {"the control's own misc status (set client site first)", ~DWORD{0}, S_OK,
       {"GetMiscStatus", "SetClientSite", "InitNew"}},
      {"a control that does not ask", ~DWORD{OLEMISC_SETCLIENTSITEFIRST}, S_OK,
       {"GetMiscStatus", "InitNew", "SetClientSite"}},
      {"InitNew fails", ~DWORD{0}, E_OUTOFMEMORY,
       {"GetMiscStatus", "SetClientSite", "InitNew", "Close", "SetClientSite(null)"}},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Name);
    Interposer.Calls.clear();
    Interposer.MiscStatusMask = Case.Mask;
    Interposer.FailInitNew = Case.InitNew;
    if (FAILED(Case.InitNew)) {
      try {
        TVvPPWeb Vivo;
        FAIL("the control was made although its InitNew failed");
      } catch (const EOleSysError& Error) {
        CHECK(Error.ErrorCode == Case.InitNew);
      }
      CHECK(Joined(Interposer.Calls) == Joined(Case.Calls));
    } else {
      {
        TVvPPWeb Vivo;
        CHECK(Joined(Interposer.Calls) == Joined(Case.Calls));
        CHECK(Vivo.Autostart() == "TRUE");
      }
      REQUIRE(Interposer.Calls.size() >= 2);
      std::vector<std::string> Last(Interposer.Calls.end() - 2, Interposer.Calls.end());
      CHECK(Joined(Last) == Joined(Teardown));
    }
    CHECK(Interposer.Objects == 0);
  }
}

namespace {

// Someone else's subclass of the control's window: counts the messages it sees.
LRESULT CALLBACK CountingSubclass(HWND Window, UINT Msg, WPARAM W, LPARAM L, UINT_PTR, DWORD_PTR Data) {
  if (Msg == WM_APP + 7) ++*reinterpret_cast<int*>(Data);
  return DefSubclassProc(Window, Msg, W, L);
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "letting go of the control's window leaves a subclass of someone else's in place") {
  TTestWindow Parent;
  TVvPPWeb Vivo;
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  HWND Window = Vivo.Handle();
  int Seen = 0;
  REQUIRE(SetWindowSubclass(Window, CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&Seen)));
  int Downs = 0;
  Vivo.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };

  // Placed again, the host lets go of the window and takes it once more.
  Vivo.CreateInParent(Parent.Handle(), 0, 0, 176, 144);
  REQUIRE(Vivo.Handle() == Window);
  SendMessageA(Window, WM_APP + 7, 0, 0);
  SendMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  CHECK(Seen == 1);
  CHECK(Downs == 1);
  RemoveWindowSubclass(Window, CountingSubclass, 1);
}

TEST_CASE_FIXTURE(TControlFixture, "memory running out at any one allocation: each call answers, nothing leaks, the OCX may unload") {
  // An event sink of the test's own: counts its references, and asks the OCX, as the control
  // lets go of it, whether it could be unloaded then.
  class TSink final : public IDispatch {
  public:
    LONG Refs = 1;
    TDllCanUnloadNow CanUnload = nullptr;
    bool UnloadableWhileHeld = false;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
      *Object = IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IDispatch) ? this : nullptr;
      if (!*Object) return E_NOINTERFACE;
      AddRef();
      return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
    ULONG STDMETHODCALLTYPE Release() override {
      if (Refs == 2 && CanUnload && CanUnload() == S_OK) UnloadableWhileHeld = true;
      return static_cast<ULONG>(--Refs);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
      return S_OK;
    }
  };
  auto Load = [](IDispatch* Control, const std::string& Name) {
    TVariant Url = TVariant::Text(Name);
    DISPPARAMS Params{Url.Get(), nullptr, 1, 0};
    return Control->Invoke(dispLoad, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &Params, nullptr, nullptr,
                           nullptr);
  };
  auto Answered = [](HRESULT Result) { return Result == S_OK || Result == E_OUTOFMEMORY; };
  TDllCanUnloadNow CanUnload = nullptr;
  // Connecting, an event fired, a clip asked for (its opening told from the message loop) and the
  // clip closed, with the Fail-th allocation failing, for every one; the control lets go of the
  // sink as it goes.
  bool Reached = true;
  ULONG Fail = 1;
  for (; Reached && Fail < 500; ++Fail) {
    CAPTURE(Fail);
    TSink Sink;
    {
      TComPtr<IDispatch> Control;
      REQUIRE(CoCreateInstance(CLSID_VvPPWeb, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, Control.PutVoid()) == S_OK);
      Sink.CanUnload = CanUnload = CanUnloadNow();
      TComPtr<IVvPPWebDiagnostics> Diagnostics;
      TComPtr<IConnectionPointContainer> Container;
      TComPtr<IConnectionPoint> Point;
      REQUIRE(Control.As(IID_IVvPPWebDiagnostics, Diagnostics) == S_OK);
      REQUIRE(Control.As(IID_IConnectionPointContainer, Container) == S_OK);
      REQUIRE(Container->FindConnectionPoint(DIID__DVvPPWebEvents, Point.Put()) == S_OK);

      Diagnostics->FailAllocation(Fail);
      DWORD Cookie = 0;
      HRESULT Advised = Point->Advise(&Sink, &Cookie);
      CHECK(Answered(Advised));
      CHECK((Advised == S_OK ? Cookie != 0 : Cookie == 0 && Sink.Refs == 1));
      TVariant Url = TVariant::Text("C:\\a.viv");
      CHECK(Answered(Diagnostics->FireEvent(dispOnAtStart, Url.Get(), 1)));
      CHECK(Answered(Load(Control.Get(), "Z:\\nowhere\\a.viv")));
      ProcessMessages();
      CHECK(Answered(Load(Control.Get(), "")));
      ProcessMessages();
      Reached = Diagnostics->FailAllocation(0) == S_OK;
    }
    // The control is gone, and with it every reference it took; nothing of it keeps the OCX.
    CHECK(Sink.Refs == 1);
    CHECK_FALSE(Sink.UnloadableWhileHeld);
    CHECK(PumpUntil([&] { return CanUnload() == S_OK; }));
  }
  CHECK_FALSE(Reached);
  MESSAGE(std::to_string(Fail - 1) << " allocations tried");
}
