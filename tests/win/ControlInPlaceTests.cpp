// In-place activation of the real control by a scripted container: a site that refuses, a parent
// the control's window cannot be made in, a retry, and a container that destroys its window
// before it deactivates the control. The site hears of a deactivation only after an activation,
// every reference the control took of the site and its frame comes back, and the control shows
// again in a new window.
#include <doctest.h>
#include <windows.h>
#include <ole2.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/win/ControlTestHost.h"
#include "vvppweb/Contract.h"

namespace {

// The container's frame: counts its references.
class TFrame final : public IOleInPlaceFrame {
public:
  LONG Refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
    if (IsEqualIID(Iid, IID_IUnknown) || IsEqualIID(Iid, IID_IOleWindow) || IsEqualIID(Iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(Iid, IID_IOleInPlaceFrame)) {
      *Object = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
      return S_OK;
    }
    *Object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--Refs); }
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
    *Window = nullptr;
    return E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

// The container's site: writes down the in-place notices, and answers as the scenario says.
class TSite final : public IOleClientSite, public IOleInPlaceSite {
public:
  LONG Refs = 1;
  TFrame Frame;
  HWND Parent = nullptr;
  HRESULT CanActivate = S_OK;
  std::string Calls;  // the notices, each followed by a space

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override {
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
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++Refs); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--Refs); }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** Moniker) override {
    *Moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** Container) override {
    *Container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override {
    *Window = Parent;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override {
    Calls += "Can ";
    return CanActivate;
  }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
    Calls += "On ";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** NewFrame, IOleInPlaceUIWindow** Document,
                                             LPRECT Position, LPRECT Clip, LPOLEINPLACEFRAMEINFO) override {
    *NewFrame = &Frame;
    Frame.AddRef();
    *Document = nullptr;
    *Position = *Clip = RECT{0, 0, 176, 144};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
    Calls += "Off ";
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
};

HWND MakeParent() {
  return CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 160, nullptr, nullptr, nullptr, nullptr);
}

HWND ControlWindow(IOleObject* Control) {
  IOleWindow* Window = nullptr;
  REQUIRE(SUCCEEDED(Control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&Window))));
  HWND Handle = nullptr;
  if (FAILED(Window->GetWindow(&Handle))) Handle = nullptr;
  Window->Release();
  return Handle;
}

}  // namespace

TEST_CASE_FIXTURE(TControlFixture, "in-place activation: each failure undone, the site told only what it was told before") {
  struct TCase {
    const char* Name;
    // The activations tried, each with the site's answer and whether the parent is real; then
    // what the control's window should be after the last.
    std::vector<std::pair<HRESULT, bool>> Tries;
    std::string Calls;  // up to the close: CanInPlaceActivate, OnInPlaceActivate, OnInPlaceDeactivate
    bool Shown;
  };
  const TCase Cases[] = {
      {"refused", {{S_FALSE, true}}, "Can ", false},
      {"refused, then let", {{S_FALSE, true}, {S_OK, true}}, "Can Can On ", true},
      {"no window", {{S_OK, false}}, "Can On Off ", false},
      {"no window, then one", {{S_OK, false}, {S_OK, true}}, "Can On Off Can On ", true},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(std::string(Case.Name));
    TSite Site;
    IOleObject* Control = nullptr;
    REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_VvPPWeb, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                       reinterpret_cast<void**>(&Control))));
    REQUIRE(Control->SetClientSite(&Site) == S_OK);
    HWND Parent = MakeParent();
    for (auto [Answer, RealParent] : Case.Tries) {
      Site.CanActivate = Answer;
      // A handle no window has: the control's window cannot be made in it.
      Site.Parent = RealParent ? Parent : reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFFFFF0));
      HRESULT Result = Control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &Site, 0, Site.Parent, nullptr);
      CHECK(SUCCEEDED(Result) == (Answer == S_OK && RealParent));
    }
    HWND View = ControlWindow(Control);
    CHECK((View != nullptr) == Case.Shown);
    if (Case.Shown) CHECK(GetParent(View) == Parent);
    CHECK(Site.Calls == Case.Calls);
    Control->Close(OLECLOSE_NOSAVE);
    Control->SetClientSite(nullptr);
    CHECK(Site.Calls == Case.Calls + (Case.Shown ? "Off " : ""));
    CHECK(Site.Refs == 1);
    CHECK(Site.Frame.Refs == 1);
    Control->Release();
    DestroyWindow(Parent);
  }
}

TEST_CASE_FIXTURE(TControlFixture, "the container destroys its window before deactivating: the control shows again in the next") {
  TSite Site;
  IOleObject* Control = nullptr;
  REQUIRE(SUCCEEDED(CoCreateInstance(CLSID_VvPPWeb, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                     reinterpret_cast<void**>(&Control))));
  REQUIRE(Control->SetClientSite(&Site) == S_OK);
  Site.Parent = MakeParent();
  REQUIRE(Control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &Site, 0, Site.Parent, nullptr) == S_OK);
  HWND First = ControlWindow(Control);
  REQUIRE(First);
  DestroyWindow(Site.Parent);
  CHECK_FALSE(IsWindow(First));
  CHECK(ControlWindow(Control) == nullptr);

  Site.Parent = MakeParent();
  REQUIRE(Control->DoVerb(OLEIVERB_SHOW, nullptr, &Site, 0, Site.Parent, nullptr) == S_OK);
  HWND Second = ControlWindow(Control);
  REQUIRE(Second);
  CHECK(GetParent(Second) == Site.Parent);
  CHECK(IsWindowVisible(Second));
  CHECK(Site.Calls == "Can On Off Can On ");
  Control->Close(OLECLOSE_NOSAVE);
  Control->SetClientSite(nullptr);
  CHECK(Site.Calls == "Can On Off Can On Off ");
  CHECK(Site.Refs == 1);
  CHECK(Site.Frame.Refs == 1);
  Control->Release();
  DestroyWindow(Site.Parent);
}
