// The OLE side of the control: the object, in-place activation as a child window of the
// container, IOleControl and IPersistStreamInit (the control keeps no stored state).
#include "vvppweb/VivoControl.h"

#include <olectl.h>

#include "vvppweb/Contract.h"

HRESULT STDMETHODCALLTYPE TVivoControl::SetClientSite(IOleClientSite* NewSite) {
  if (!NewSite) InPlaceDeactivate();
  if (NewSite) NewSite->AddRef();
  if (Site) Site->Release();
  Site = NewSite;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetClientSite(IOleClientSite** Result) {
  if (!Result) return E_POINTER;
  *Result = Site;
  if (Site) Site->AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE TVivoControl::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetMoniker(DWORD, DWORD, IMoniker** Moniker) {
  if (Moniker) *Moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TVivoControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetClipboardData(DWORD, IDataObject** Data) {
  if (Data) *Data = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TVivoControl::DoVerb(LONG Verb, LPMSG, IOleClientSite* ActiveSite, LONG,
                                               HWND, LPCRECT) {
  if (ActiveSite && !Site) SetClientSite(ActiveSite);
  switch (Verb) {
    case OLEIVERB_HIDE:
      if (View) ShowWindow(View, SW_HIDE);
      return S_OK;
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_OPEN:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: {
      HRESULT Result = InPlaceActivate(Verb == OLEIVERB_UIACTIVATE);
      if (SUCCEEDED(Result)) ShowWindow(View, SW_SHOWNA);
      return Result;
    }
    default:
      return Verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
  }
}

HRESULT TVivoControl::InPlaceActivate(bool UIActivate) {
  if (!View) {
    // Active still, but the container took our window away with its own: start over.
    if (InPlaceActive) InPlaceDeactivate();
    if (!Site) return E_UNEXPECTED;
    // Each step undone when a later one fails, so the site hears of a deactivation only after
    // it heard of the activation, and holds no reference of ours.
    IOleInPlaceSite* NewSite = nullptr;
    if (FAILED(Site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&NewSite))) || !NewSite)
      return E_NOINTERFACE;
    if (NewSite->CanInPlaceActivate() != S_OK) {
      NewSite->Release();
      return E_FAIL;
    }
    HWND Parent = nullptr;
    IOleInPlaceFrame* NewFrame = nullptr;
    IOleInPlaceUIWindow* Document = nullptr;
    RECT Position{}, Clip{};
    OLEINPLACEFRAMEINFO FrameInfo{};
    FrameInfo.cb = sizeof FrameInfo;
    bool Placed = SUCCEEDED(NewSite->GetWindow(&Parent)) &&
                  SUCCEEDED(NewSite->GetWindowContext(&NewFrame, &Document, &Position, &Clip, &FrameInfo));
    if (Document) Document->Release();
    if (!Placed) {
      if (NewFrame) NewFrame->Release();
      NewSite->Release();
      return E_FAIL;
    }
    NewSite->OnInPlaceActivate();
    HWND NewView = CreateViewWindow(this, Parent, Position);
    if (!NewView) {
      HRESULT Error = HRESULT_FROM_WIN32(GetLastError());
      if (NewFrame) NewFrame->Release();
      NewSite->OnInPlaceDeactivate();
      NewSite->Release();
      return FAILED(Error) ? Error : E_FAIL;
    }
    InPlaceSite = NewSite;
    Frame = NewFrame;
    View = NewView;
    InPlaceActive = true;
  }
  if (UIActivate && !UIActive) {
    UIActive = true;
    InPlaceSite->OnUIActivate();
    if (Frame) Frame->SetActiveObject(this, L"VvPPWeb");
    SetFocus(View);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::EnumVerbs(IEnumOLEVERB** Verbs) {
  if (Verbs) *Verbs = nullptr;
  return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE TVivoControl::Update() { return S_OK; }
HRESULT STDMETHODCALLTYPE TVivoControl::IsUpToDate() { return S_OK; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetUserClassID(CLSID* Clsid) {
  if (!Clsid) return E_POINTER;
  *Clsid = CLSID_VvPPWeb;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetUserType(DWORD, LPOLESTR* Type) {
  if (Type) *Type = nullptr;
  return OLE_S_USEREG;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetExtent(DWORD Aspect, SIZEL* Size) {
  if (Aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!Size) return E_POINTER;
  Extent = *Size;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetExtent(DWORD Aspect, SIZEL* Size) {
  if (Aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!Size) return E_POINTER;
  *Size = Extent;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::Advise(IAdviseSink*, DWORD* Connection) {
  if (Connection) *Connection = 0;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE TVivoControl::Unadvise(DWORD) { return OLE_E_NOCONNECTION; }

HRESULT STDMETHODCALLTYPE TVivoControl::EnumAdvise(IEnumSTATDATA** Advises) {
  if (Advises) *Advises = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetMiscStatus(DWORD, DWORD* Status) {
  if (!Status) return E_POINTER;
  *Status = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
            OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetWindow(HWND* Window) {
  if (!Window) return E_POINTER;
  *Window = View;
  return View ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE TVivoControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE TVivoControl::InPlaceDeactivate() {
  if (!InPlaceActive) return S_OK;
  InPlaceActive = false;
  UIDeactivate();
  if (View) {
    HWND Old = View;
    View = nullptr;
    DestroyWindow(Old);
  }
  if (Frame) {
    Frame->Release();
    Frame = nullptr;
  }
  if (InPlaceSite) {
    IOleInPlaceSite* Old = InPlaceSite;
    InPlaceSite = nullptr;
    Old->OnInPlaceDeactivate();
    Old->Release();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::UIDeactivate() {
  if (!UIActive) return S_OK;
  UIActive = false;
  if (Frame) Frame->SetActiveObject(nullptr, nullptr);
  if (InPlaceSite) InPlaceSite->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::SetObjectRects(LPCRECT Position, LPCRECT) {
  if (!Position) return E_POINTER;
  if (!View) return OLE_E_NOT_INPLACEACTIVE;
  MoveWindow(View, Position->left, Position->top, Position->right - Position->left,
             Position->bottom - Position->top, TRUE);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

HRESULT STDMETHODCALLTYPE TVivoControl::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE TVivoControl::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE TVivoControl::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE TVivoControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE TVivoControl::EnableModeless(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetControlInfo(CONTROLINFO* Info) {
  if (!Info) return E_POINTER;
  Info->hAccel = nullptr;
  Info->cAccel = 0;
  Info->dwFlags = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::OnMnemonic(MSG*) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE TVivoControl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT STDMETHODCALLTYPE TVivoControl::FreezeEvents(BOOL Freeze) {
  Frozen += Freeze ? 1 : (Frozen > 0 ? -1 : 0);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::GetClassID(CLSID* Clsid) { return GetUserClassID(Clsid); }
HRESULT STDMETHODCALLTYPE TVivoControl::IsDirty() { return S_FALSE; }
HRESULT STDMETHODCALLTYPE TVivoControl::Load(LPSTREAM) { return S_OK; }
HRESULT STDMETHODCALLTYPE TVivoControl::Save(LPSTREAM, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE TVivoControl::GetSizeMax(ULARGE_INTEGER* Size) {
  if (!Size) return E_POINTER;
  Size->QuadPart = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TVivoControl::InitNew() { return S_OK; }
