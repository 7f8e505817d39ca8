// The container side of in-place activation: the client site and in-place site the control
// talks to, and the frame it asks for. Both forward their lifetime to one reference count.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleidl.h>

#include "control/HostedObject.h"

class TOleSite final : public THostedObject<IOleClientSite, IOleInPlaceSite> {
public:
  using THostedObject::THostedObject;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** Moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** Container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** Frame, IOleInPlaceUIWindow** Document,
                                             LPRECT Position, LPRECT Clip,
                                             LPOLEINPLACEFRAMEINFO Info) override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT Position) override;

private:
  // The frame: the top-level window around the parent. It has no menus or tools to share.
  class TFrame final : public IOleInPlaceFrame {
  public:
    explicit TFrame(TOleSite& Owner) : Owner(Owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Owner.Release(); }
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    TOleSite& Owner;
  };

  ~TOleSite() override = default;
  TFrame Frame{*this};
};
