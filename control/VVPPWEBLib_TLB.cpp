// TVvPPWeb: creating the control, hosting it in place, and its members as C++ calls.
#include "control/VVPPWEBLib_TLB.h"

#include <ole2.h>
#include <ocidl.h>

#include "control/EventSink.h"
#include "control/OleSite.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

namespace {

constexpr CLSID CLSID_VvPPWeb = {0x372FA2D4, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};
constexpr IID DIID_DVvPPWebEvents = {0x372FA2D2, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};

enum : DISPID {
  dispAutostart = 4, dispVideocontrols = 5, dispURL = 6, dispLoad = 22, dispRewind = 23,
  dispVideoWidth = 24, dispVideoHeight = 25, dispPlay = 26, dispPause = 27, dispSaveAs = 28,
  dispAboutMovie = 29,
};

[[noreturn]] void RaiseOleError(HRESULT Result) {
  throw EOleSysError(SysErrorMessage(static_cast<uint32_t>(Result)), Result);
}

void Check(HRESULT Result) {
  if (FAILED(Result)) RaiseOleError(Result);
}

std::string FromBstr(BSTR Text) {
  UINT Length = SysStringLen(Text);
  if (Length == 0) return {};
  int Size = WideCharToMultiByte(CP_ACP, 0, Text, static_cast<int>(Length), nullptr, 0, nullptr, nullptr);
  std::string Result(static_cast<size_t>(Size), '\0');
  WideCharToMultiByte(CP_ACP, 0, Text, static_cast<int>(Length), Result.data(), Size, nullptr, nullptr);
  return Result;
}

// A BSTR VARIANT holding Text; cleared by the caller.
VARIANT TextVariant(const std::string& Text) {
  VARIANT Value;
  VariantInit(&Value);
  int Size = MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
  Value.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(Size));
  if (!Value.bstrVal) RaiseOleError(E_OUTOFMEMORY);
  MultiByteToWideChar(CP_ACP, 0, Text.data(), static_cast<int>(Text.size()), Value.bstrVal, Size);
  Value.vt = VT_BSTR;
  return Value;
}

// Reads a result as the type the member promises, whatever the control put in it.
VARIANT Coerced(VARIANT& Result, VARTYPE Type) {
  VARIANT Value;
  VariantInit(&Value);
  HRESULT Error = VariantChangeType(&Value, &Result, 0, Type);
  VariantClear(&Result);
  Check(Error);
  return Value;
}

}  // namespace

std::function<void(const std::exception&)> TVvPPWeb::OnHandlerError;

TVvPPWeb::TVvPPWeb() {
  Check(CoCreateInstance(CLSID_VvPPWeb, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                         reinterpret_cast<void**>(&Object)));
  Site = new TOleSite(this);
  Sink = new TEventSink(this);
  try {
    Check(Object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&Dispatch)));
    IPersistStreamInit* Persist = nullptr;
    if (SUCCEEDED(Object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&Persist)))) {
      HRESULT Result = Persist->InitNew();
      Persist->Release();
      Check(Result);
    }
    Check(Object->SetClientSite(Site));
    IConnectionPointContainer* Container = nullptr;
    Check(Object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&Container)));
    IConnectionPoint* Point = nullptr;
    HRESULT Result = Container->FindConnectionPoint(DIID_DVvPPWebEvents, &Point);
    Container->Release();
    Check(Result);
    Result = Point->Advise(Sink, &SinkCookie);
    Point->Release();
    Check(Result);
  } catch (...) {
    Disconnect();
    throw;
  }
}

TVvPPWeb::~TVvPPWeb() { Disconnect(); }

void TVvPPWeb::Disconnect() {
  UnhookWindow();
  if (Object && SinkCookie) {
    IConnectionPointContainer* Container = nullptr;
    if (SUCCEEDED(Object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&Container)))) {
      IConnectionPoint* Point = nullptr;
      if (SUCCEEDED(Container->FindConnectionPoint(DIID_DVvPPWebEvents, &Point))) {
        Point->Unadvise(SinkCookie);
        Point->Release();
      }
      Container->Release();
    }
    SinkCookie = 0;
  }
  if (InPlace) {
    InPlace->Release();
    InPlace = nullptr;
  }
  if (Object) {
    Object->Close(OLECLOSE_NOSAVE);
    Object->SetClientSite(nullptr);
  }
  if (Dispatch) {
    Dispatch->Release();
    Dispatch = nullptr;
  }
  if (Object) {
    Object->Release();
    Object = nullptr;
  }
  if (Sink) {
    Sink->Detach();
    Sink->Release();
    Sink = nullptr;
  }
  if (Site) {
    Site->Detach();
    Site->Release();
    Site = nullptr;
  }
}

IUnknown* TVvPPWeb::ControlObject() const { return Object; }

void TVvPPWeb::CreateInParent(HWND NewParent, int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  if (Window) UnhookWindow();
  Parent = NewParent;
  Bounds = RECT{NewLeft, NewTop, NewLeft + NewWidth, NewTop + NewHeight};
  Check(Object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, Site, 0, Parent, &Bounds));
  if (!InPlace) Check(Object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&InPlace)));
  Check(InPlace->GetWindow(&Window));
  HookWindow();
  if (!IsVisible) Object->DoVerb(OLEIVERB_HIDE, nullptr, Site, 0, Parent, &Bounds);
}

void TVvPPWeb::SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  Bounds = RECT{NewLeft, NewTop, NewLeft + NewWidth, NewTop + NewHeight};
  if (InPlace && Window) Check(InPlace->SetObjectRects(&Bounds, &Bounds));
}

void TVvPPWeb::SetVisible(bool Visible) {
  IsVisible = Visible;
  if (Window) Check(Object->DoVerb(Visible ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, Site, 0, Parent, &Bounds));
}

void TVvPPWeb::Invoke(DISPID DispId, WORD Flags, VARIANT* Args, UINT Count, VARIANT* Result) {
  DISPID Named = DISPID_PROPERTYPUT;
  DISPPARAMS Params{Args, nullptr, Count, 0};
  if (Flags == DISPATCH_PROPERTYPUT) {
    Params.rgdispidNamedArgs = &Named;
    Params.cNamedArgs = 1;
  }
  EXCEPINFO Exception{};
  UINT ArgError = 0;
  if (Result) VariantInit(Result);
  HRESULT Error = Dispatch->Invoke(DispId, IID_NULL, LOCALE_USER_DEFAULT, Flags, &Params, Result,
                                   &Exception, &ArgError);
  if (Error == DISP_E_EXCEPTION) {
    if (Exception.pfnDeferredFillIn) Exception.pfnDeferredFillIn(&Exception);
    std::string Text = FromBstr(Exception.bstrDescription);
    HRESULT Code = Exception.scode ? Exception.scode : Error;
    SysFreeString(Exception.bstrSource);
    SysFreeString(Exception.bstrDescription);
    SysFreeString(Exception.bstrHelpFile);
    if (Text.empty()) Text = SysErrorMessage(static_cast<uint32_t>(Code));
    throw EOleException(Text, Code);
  }
  Check(Error);
}

std::string TVvPPWeb::GetText(DISPID DispId) {
  VARIANT Result;
  Invoke(DispId, DISPATCH_PROPERTYGET, nullptr, 0, &Result);
  VARIANT Text = Coerced(Result, VT_BSTR);
  std::string Value = FromBstr(Text.bstrVal);
  VariantClear(&Text);
  return Value;
}

void TVvPPWeb::PutText(DISPID DispId, const std::string& Value) {
  VARIANT Arg = TextVariant(Value);
  try {
    Invoke(DispId, DISPATCH_PROPERTYPUT, &Arg, 1, nullptr);
  } catch (...) {
    VariantClear(&Arg);
    throw;
  }
  VariantClear(&Arg);
}

std::string TVvPPWeb::Autostart() { return GetText(dispAutostart); }
void TVvPPWeb::SetAutostart(const std::string& Value) { PutText(dispAutostart, Value); }
std::string TVvPPWeb::Videocontrols() { return GetText(dispVideocontrols); }
void TVvPPWeb::SetVideocontrols(const std::string& Value) { PutText(dispVideocontrols, Value); }
std::string TVvPPWeb::URL() { return GetText(dispURL); }

bool TVvPPWeb::Load(const std::string& Name) {
  VARIANT Arg = TextVariant(Name);
  VARIANT Result;
  try {
    Invoke(dispLoad, DISPATCH_METHOD, &Arg, 1, &Result);
  } catch (...) {
    VariantClear(&Arg);
    throw;
  }
  VariantClear(&Arg);
  return Coerced(Result, VT_BOOL).boolVal != VARIANT_FALSE;
}

void TVvPPWeb::Rewind() { Invoke(dispRewind, DISPATCH_METHOD, nullptr, 0, nullptr); }

int16_t TVvPPWeb::VideoWidth() {
  VARIANT Result;
  Invoke(dispVideoWidth, DISPATCH_METHOD, nullptr, 0, &Result);
  return Coerced(Result, VT_I2).iVal;
}

int16_t TVvPPWeb::VideoHeight() {
  VARIANT Result;
  Invoke(dispVideoHeight, DISPATCH_METHOD, nullptr, 0, &Result);
  return Coerced(Result, VT_I2).iVal;
}

bool TVvPPWeb::Play() {
  VARIANT Result;
  Invoke(dispPlay, DISPATCH_METHOD, nullptr, 0, &Result);
  return Coerced(Result, VT_BOOL).boolVal != VARIANT_FALSE;
}

bool TVvPPWeb::Pause() {
  VARIANT Result;
  Invoke(dispPause, DISPATCH_METHOD, nullptr, 0, &Result);
  return Coerced(Result, VT_BOOL).boolVal != VARIANT_FALSE;
}

void TVvPPWeb::SaveAs() { Invoke(dispSaveAs, DISPATCH_METHOD, nullptr, 0, nullptr); }
void TVvPPWeb::AboutMovie() { Invoke(dispAboutMovie, DISPATCH_METHOD, nullptr, 0, nullptr); }
