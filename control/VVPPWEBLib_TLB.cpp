// TVvPPWeb: creating the control, hosting it in place, and its members as C++ calls.
#include "control/VVPPWEBLib_TLB.h"

#include <ole2.h>
#include <ocidl.h>

#include "control/EventSink.h"
#include "control/OleSite.h"
#include "toolkit/Errors.h"
#include "toolkit/SysUtils.h"

namespace {

[[noreturn]] void RaiseOleError(HRESULT Result) {
  throw EOleSysError(SysErrorMessage(static_cast<uint32_t>(Result)), Result);
}

void Check(HRESULT Result) {
  if (FAILED(Result)) RaiseOleError(Result);
}

}  // namespace

std::function<void(const std::exception&)> TVvPPWeb::OnHandlerError;

// Delegating: once the empty object exists, a failure in Connect runs the destructor, which
// undoes as much as Connect got done.
TVvPPWeb::TVvPPWeb(TEmpty) {}
TVvPPWeb::TVvPPWeb() : TVvPPWeb(TEmpty{}) { Connect(); }

TVvPPWeb::~TVvPPWeb() { Disconnect(); }

void TVvPPWeb::Connect() {
  Check(CoCreateInstance(CLSID_VvPPWeb, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, Object.PutVoid()));
  Site = TComPtr<TOleSite>(new TOleSite(this));
  Sink = TComPtr<TEventSink>(new TEventSink(this));
  Check(Object.As(IID_IDispatch, Dispatch));
  // A control that reads its surroundings while it initialises asks for the site first.
  DWORD Misc = 0;
  if (FAILED(Object->GetMiscStatus(DVASPECT_CONTENT, &Misc))) Misc = 0;
  const bool SiteFirst = (Misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
  if (SiteFirst) Check(Object->SetClientSite(Site.Get()));
  InitNew();
  if (!SiteFirst) Check(Object->SetClientSite(Site.Get()));
  TComPtr<IConnectionPointContainer> Container;
  Check(Object.As(IID_IConnectionPointContainer, Container));
  Check(Container->FindConnectionPoint(DIID__DVvPPWebEvents, EventPoint.Put()));
  Check(EventPoint->Advise(Sink.Get(), &SinkCookie));
}

void TVvPPWeb::InitNew() {
  TComPtr<IPersistStreamInit> Persist;
  if (SUCCEEDED(Object.As(IID_IPersistStreamInit, Persist))) Check(Persist->InitNew());
}

void TVvPPWeb::Disconnect() {
  UnhookWindow();
  if (EventPoint && SinkCookie) EventPoint->Unadvise(SinkCookie);
  SinkCookie = 0;
  EventPoint.Reset();
  InPlace.Reset();
  if (Object) {
    Object->Close(OLECLOSE_NOSAVE);
    Object->SetClientSite(nullptr);
  }
  Dispatch.Reset();
  Object.Reset();
  // The control may still hold them; from now on they no longer reach us.
  if (Sink) Sink->Detach();
  Sink.Reset();
  if (Site) Site->Detach();
  Site.Reset();
}

IUnknown* TVvPPWeb::ControlObject() const { return Object.Get(); }

void TVvPPWeb::CreateInParent(HWND NewParent, int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  if (Window) UnhookWindow();
  Parent = NewParent;
  Bounds = RECT{NewLeft, NewTop, NewLeft + NewWidth, NewTop + NewHeight};
  Check(Object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, Site.Get(), 0, Parent, &Bounds));
  if (!InPlace) Check(Object.As(IID_IOleInPlaceObject, InPlace));
  Check(InPlace->GetWindow(&Window));
  HookWindow();
  if (!IsVisible) Object->DoVerb(OLEIVERB_HIDE, nullptr, Site.Get(), 0, Parent, &Bounds);
}

void TVvPPWeb::SetBounds(int NewLeft, int NewTop, int NewWidth, int NewHeight) {
  Bounds = RECT{NewLeft, NewTop, NewLeft + NewWidth, NewTop + NewHeight};
  if (InPlace && Window) Check(InPlace->SetObjectRects(&Bounds, &Bounds));
}

void TVvPPWeb::SetVisible(bool Visible) {
  IsVisible = Visible;
  if (Window) Check(Object->DoVerb(Visible ? OLEIVERB_SHOW : OLEIVERB_HIDE, nullptr, Site.Get(), 0, Parent, &Bounds));
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
  HRESULT Error = Dispatch->Invoke(DispId, IID_NULL, LOCALE_USER_DEFAULT, Flags, &Params, Result,
                                   &Exception, &ArgError);
  if (Error == DISP_E_EXCEPTION) {
    if (Exception.pfnDeferredFillIn) Exception.pfnDeferredFillIn(&Exception);
    const TBstr Source(Exception.bstrSource), Description(Exception.bstrDescription),
        HelpFile(Exception.bstrHelpFile);
    const HRESULT Code = Exception.scode ? Exception.scode : Error;
    std::string Text = Description.ToAnsi();
    if (Text.empty()) Text = SysErrorMessage(static_cast<uint32_t>(Code));
    throw EOleException(Text, Code);
  }
  Check(Error);
}

std::string TVvPPWeb::GetText(DISPID DispId) {
  TVariant Result;
  Invoke(DispId, DISPATCH_PROPERTYGET, nullptr, 0, Result.Put());
  return VariantText(*Result, nullptr);
}

void TVvPPWeb::PutText(DISPID DispId, const std::string& Value) {
  TVariant Arg = TVariant::Text(Value);
  Invoke(DispId, DISPATCH_PROPERTYPUT, Arg.Get(), 1, nullptr);
}

// A method's result read as the type the member promises, whatever the control put in it.
bool TVvPPWeb::BoolResult(DISPID DispId, VARIANT* Args, UINT Count) {
  TVariant Result;
  Invoke(DispId, DISPATCH_METHOD, Args, Count, Result.Put());
  return ChangeType(*Result, VT_BOOL, nullptr)->boolVal != VARIANT_FALSE;
}

int16_t TVvPPWeb::ShortResult(DISPID DispId) {
  TVariant Result;
  Invoke(DispId, DISPATCH_METHOD, nullptr, 0, Result.Put());
  return ChangeType(*Result, VT_I2, nullptr)->iVal;
}

std::string TVvPPWeb::Autostart() { return GetText(dispAutostart); }
void TVvPPWeb::SetAutostart(const std::string& Value) { PutText(dispAutostart, Value); }
std::string TVvPPWeb::Videocontrols() { return GetText(dispVideocontrols); }
void TVvPPWeb::SetVideocontrols(const std::string& Value) { PutText(dispVideocontrols, Value); }
std::string TVvPPWeb::URL() { return GetText(dispURL); }

bool TVvPPWeb::Load(const std::string& Name) {
  TVariant Arg = TVariant::Text(Name);
  return BoolResult(dispLoad, Arg.Get(), 1);
}

void TVvPPWeb::Rewind() { Invoke(dispRewind, DISPATCH_METHOD, nullptr, 0, nullptr); }
int16_t TVvPPWeb::VideoWidth() { return ShortResult(dispVideoWidth); }
int16_t TVvPPWeb::VideoHeight() { return ShortResult(dispVideoHeight); }
bool TVvPPWeb::Play() { return BoolResult(dispPlay, nullptr, 0); }
bool TVvPPWeb::Pause() { return BoolResult(dispPause, nullptr, 0); }
void TVvPPWeb::SaveAs() { Invoke(dispSaveAs, DISPATCH_METHOD, nullptr, 0, nullptr); }
void TVvPPWeb::AboutMovie() { Invoke(dispAboutMovie, DISPATCH_METHOD, nullptr, 0, nullptr); }
