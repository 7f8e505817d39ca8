// The video control object: the _DVvPPWeb dispinterface, its events, the OLE interfaces a
// container needs to activate it in place as a child window, and the diagnostics interface.
// Its implementation is spread over the Control*.cpp files by concern.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vvppweb/ComRef.h"
#include "vvppweb/ControlSound.h"
#include "vvppweb/Diagnostics.h"
#include "vvppweb/Fetch.h"
#include "vvppweb/Module.h"
#include "vvppweb/PictureTimer.h"
#include "vvppweb/Playback.h"
#include "vvppweb/ViewPainter.h"

// Our window classes go when the module unloads.
void UnregisterControlClasses();

class TVivoControl final : public IDispatch,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IOleControl,
                           public IPersistStreamInit,
                           public IConnectionPointContainer,
                           public IVvPPWebDiagnostics {
public:
  TVivoControl();
  // False when the control's message window could not be made.
  bool Ready() const { return Engine != nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* Count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT Index, LCID Locale, ITypeInfo** Info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID Iid, LPOLESTR* Names, UINT Count, LCID Locale,
                                          DISPID* Ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID Member, REFIID Iid, LCID Locale, WORD Flags,
                                   DISPPARAMS* Params, VARIANT* Result, EXCEPINFO* Exception,
                                   UINT* ArgError) override;

  // IOleObject
  HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* Site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** Site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR App, LPCOLESTR Object) override;
  HRESULT STDMETHODCALLTYPE Close(DWORD SaveOption) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD Which, IMoniker* Moniker) override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD Assign, DWORD Which, IMoniker** Moniker) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject* Data, BOOL Creation, DWORD Reserved) override;
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD Reserved, IDataObject** Data) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG Verb, LPMSG Message, IOleClientSite* Site, LONG Index,
                                   HWND Parent, LPCRECT Position) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** Verbs) override;
  HRESULT STDMETHODCALLTYPE Update() override;
  HRESULT STDMETHODCALLTYPE IsUpToDate() override;
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* Clsid) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD Form, LPOLESTR* Type) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD Aspect, SIZEL* Size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD Aspect, SIZEL* Size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* Sink, DWORD* Connection) override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD Connection) override;
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** Advises) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD Aspect, DWORD* Status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE* Palette) override;

  // IOleWindow, for both in-place interfaces
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* Window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL EnterMode) override;
  // IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override;
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT Position, LPCRECT Clip) override;
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override;
  // IOleInPlaceActiveObject
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG Message) override;
  HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL Activate) override;
  HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL Activate) override;
  HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT Border, IOleInPlaceUIWindow* Window,
                                         BOOL FrameWindow) override;
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL Enable) override;

  // IOleControl
  HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* Info) override;
  HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* Message) override;
  HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID Property) override;
  HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL Freeze) override;

  // IPersistStreamInit
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* Clsid) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(LPSTREAM Stream) override;
  HRESULT STDMETHODCALLTYPE Save(LPSTREAM Stream, BOOL ClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* Size) override;
  HRESULT STDMETHODCALLTYPE InitNew() override;

  // IConnectionPointContainer
  HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** Points) override;
  HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID Iid, IConnectionPoint** Point) override;

  // IVvPPWebDiagnostics
  HRESULT STDMETHODCALLTYPE SetPictureSize(short Width, short Height) override;
  HRESULT STDMETHODCALLTYPE FireEvent(LONG DispId, const VARIANT* Args, ULONG Count) override;
  HRESULT STDMETHODCALLTYPE GetCallCount(ULONG* Count) override;
  HRESULT STDMETHODCALLTYPE GetCall(ULONG Index, BSTR* Line) override;
  HRESULT STDMETHODCALLTYPE ClearCalls() override;
  HRESULT STDMETHODCALLTYPE GetPosition(ULONG* Ms) override;
  HRESULT STDMETHODCALLTYPE SetFetchTimeout(ULONG Ms) override;
  HRESULT STDMETHODCALLTYPE Record(BOOL On, BOOL Pixels) override;
  HRESULT STDMETHODCALLTYPE GetShownCount(ULONG* Count) override;
  HRESULT STDMETHODCALLTYPE GetShown(ULONG Index, TShownPicture* Shown, DWORD* Pixels, ULONG Capacity) override;
  HRESULT STDMETHODCALLTYPE GetQueuedSound(ULONG Offset, SHORT* Samples, ULONG Capacity, ULONG* Count,
                                           ULONG* Rate) override;
  HRESULT STDMETHODCALLTYPE FailAllocation(ULONG After) override;

  // The window procedures' way in (ControlEngine.cpp, ControlView.cpp).
  LRESULT EngineMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  LRESULT ViewMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);

private:
  // The connection point of the event interface; its life is the control's.
  class TEventPoint final : public IConnectionPoint {
  public:
    explicit TEventPoint(TVivoControl& Owner) : Owner(Owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID Iid, void** Object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Owner.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* Iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** Container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* Sink, DWORD* Cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD Cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** Connections) override;

  private:
    TVivoControl& Owner;
  };

  ~TVivoControl();
  HRESULT InPlaceActivate(bool UIActivate);

  // Members (ControlDispatch.cpp).
  void LogCall(const std::string& Line);
  bool AutostartOn() const;
  bool VideocontrolsOn() const;

  // After every change to the engine: start its fetch, start or stop the sound, show the
  // picture due and aim the timer at the next, and have the queued events fired from the
  // message loop (ControlEngine.cpp).
  void Sync();
  void StartFetch(const TFetchRequest& Request);
  void StopStaleSound();
  void SyncSound();
  void FillSoundQueue();
  // The clip time heard now; the picture due then shown (drawn AtOnce, or when the queue is
  // empty), and the timer aimed at the next one.
  uint32_t HeardMs() const;
  void Present(bool AtOnce);
  void FetchDone(uint32_t Id);
  void FetchTimedOut();
  void Flush();
  void Fire(DISPID Event, VARIANT* ReversedArgs, UINT Count);
  void FireEngineEvent(const TEngineEvent& Event);

  // The dialogs (ControlDialogs.cpp).
  HWND DialogOwner() const;
  void ShowSaveAs();
  void ShowAboutMovie();

  // The module stays loaded until the last of the members below is gone: the first member is
  // the last destroyed, so DllCanUnloadNow cannot say yes while the control's code still runs.
  TModuleLock ModuleLock;

  // The COM shell: references, event sinks, the container's site and the windows.
  LONG Refs = 1;
  TEventPoint EventPoint{*this};
  std::vector<std::pair<DWORD, TComRef<IDispatch>>> Sinks;
  DWORD NextCookie = 1;
  LONG Frozen = 0;
  IOleClientSite* Site = nullptr;
  IOleInPlaceSite* InPlaceSite = nullptr;
  IOleInPlaceFrame* Frame = nullptr;
  bool InPlaceActive = false;  // the site was told OnInPlaceActivate, and not yet the end of it
  bool UIActive = false;
  HWND View = nullptr;
  HWND Engine = nullptr;
  SIZEL Extent{5450, 4075};  // 206 x 154 pixels in HIMETRIC
  bool FlushPosted = false;

  // The members' state and the call log.
  std::string AutostartText = "TRUE";
  std::string VideocontrolsText = "TRUE";
  std::vector<std::string> Calls;

  // The engine and its fetch.
  TPlayback Playback;
  std::shared_ptr<TFetchJob> Pending;
  DWORD FetchTimeoutMs = 30000;

  // The clock: the sound that moves it, and the timer of the next picture.
  TControlSound Sound;
  uint32_t SoundClip = 0;  // the engine's ClipStarts() when the sound started
  TPictureClock PictureClock;
  ULONGLONG FastUntil = 0;  // the host's fast forward is taken to run until then
  TPictureTimer PictureTimer;

  // The view.
  TViewPainter Painter;
  // The diagnostics' record of the sound queued.
  bool RecordingSound = false;
  std::vector<int16_t> RecordedSound;
};

// Binding our windows to their control: from the creation parameter at WM_NCCREATE, let go at
// WM_NCDESTROY, which is still handed to it (nullptr for messages before the binding).
TVivoControl* ControlOfWindow(HWND Window, UINT Message, LPARAM LParam);
// The window procedure of a window of ours: each message to Handler of the control bound to it.
// Nothing may cross back into the host's message loop: a message that failed is simply lost.
template <LRESULT (TVivoControl::*Handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK ControlWindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TVivoControl* Control = ControlOfWindow(Window, Message, LParam);
  if (!Control) return DefWindowProcA(Window, Message, WParam, LParam);
  try {
    return (Control->*Handler)(Window, Message, WParam, LParam);
  } catch (...) {
    return DefWindowProcA(Window, Message, WParam, LParam);
  }
}
// The control's message window (ControlEngine.cpp) and its window in the container
// (ControlView.cpp), and their classes' end when the module unloads.
HWND CreateEngineWindow(TVivoControl* Control);
HWND CreateViewWindow(TVivoControl* Control, HWND Parent, const RECT& Position);
void UnregisterViewClass();
