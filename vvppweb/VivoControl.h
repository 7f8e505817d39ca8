// The video control object: the _DVvPPWeb dispinterface, its events, the OLE interfaces a
// container needs to activate it in place as a child window, and the diagnostics interface.
// Its implementation is spread over the Control*.cpp files by concern.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "vvppweb/Diagnostics.h"
#include "vvppweb/Fetch.h"
#include "vvppweb/PictureScaler.h"
#include "vvppweb/Playback.h"
#include "vvppweb/WaveOut.h"

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

  // After every change to the engine: start its fetch, run or stop the clock, repaint, and
  // have the queued events fired from the message loop.
  void Sync();
  void StartClock();
  void StopClock();
  void ClockTick();
  void FillSoundQueue();
  void FetchDone(uint32_t Id);
  void FetchTimedOut();
  void Flush();
  void Fire(DISPID Event, VARIANT* ReversedArgs, UINT Count);
  void FireEngineEvent(const TEngineEvent& Event);

  // The view window (ControlView.cpp) and the dialogs (ControlDialogs.cpp).
  void Paint(HDC Dc, const RECT& Client);
  void PaintPicture(HDC Dc, const RECT& Area);
  HWND DialogOwner() const;
  void ShowSaveAs();
  void ShowAboutMovie();

  LONG Refs = 1;
  TEventPoint EventPoint{*this};
  std::vector<std::pair<DWORD, IDispatch*>> Sinks;
  DWORD NextCookie = 1;
  LONG Frozen = 0;

  IOleClientSite* Site = nullptr;
  IOleInPlaceSite* InPlaceSite = nullptr;
  IOleInPlaceFrame* Frame = nullptr;
  bool UIActive = false;
  HWND View = nullptr;
  HWND Engine = nullptr;
  SIZEL Extent{5450, 4075};  // 206 x 154 pixels in HIMETRIC

  std::string AutostartText = "TRUE";
  std::string VideocontrolsText = "TRUE";
  std::vector<std::string> Calls;

  TPlayback Playback;
  std::shared_ptr<TFetchJob> Pending;
  DWORD FetchTimeoutMs = 30000;
  bool FlushPosted = false;
  bool ClockRunning = false;
  uint32_t ClockClip = 0;  // the engine's ClipStarts() when the clock started
  ULONGLONG ClockBase = 0;
  ULONGLONG DeviceHeard = 0;
  TWaveOut Wave;
  // Without a device: the lengths of the buffers "queued", oldest first.
  std::deque<uint32_t> Unplayed;

  // What the view shows: the clip's picture (by serial) or the generated one (by frame), and
  // the pixels drawn for it at the window's size.
  uint64_t ShownSerial = 0;
  uint32_t ShownFrame = UINT32_MAX;
  bool ShownPicture = false;
  TPictureScaler Scaler;
  std::vector<uint32_t> FramePixels;
  uint64_t RenderedSerial = 0;
  uint32_t RenderedFrame = UINT32_MAX;
  int FrameWidth = 0, FrameHeight = 0;

  // The diagnostics' record of what was shown and queued.
  bool Recording = false;
  bool RecordingPixels = false;
  std::vector<TShownPicture> RecordedShown;
  std::vector<std::vector<uint32_t>> RecordedPixels;
  std::vector<int16_t> RecordedSound;
};

// How long one audio buffer plays at most: the step of the clip's clock.
inline constexpr UINT BufferMs = 50;

// The control a window of ours belongs to: bound from the creation parameter at WM_NCCREATE,
// let go at WM_NCDESTROY (nullptr then, and for messages before the binding).
TVivoControl* ControlOfWindow(HWND Window, UINT Message, LPARAM LParam);
