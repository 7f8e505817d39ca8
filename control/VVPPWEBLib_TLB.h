// The host binding of the Vivo player control VVPPWEB.OCX: class TVvPPWeb creates it by class
// id, hosts it in place as a child window, calls its members by DISPID and hands its events,
// mouse and keys to the host's handlers.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

#include "control/ComHolders.h"
#include "toolkit/Classes.h"
#include "vvppweb/Contract.h"

struct IOleObject;
struct IOleInPlaceObject;
struct IConnectionPoint;
class TOleSite;
class TEventSink;

class TVvPPWeb : public TObject {
public:
  // Creates the control, gives it our site (before its initialisation when it asks for that)
  // and connects its events; a failure (class not registered, say) raises
  // EOleSysError(HRESULT), with whatever was made undone.
  TVvPPWeb();
  ~TVvPPWeb() override;
  TVvPPWeb(const TVvPPWeb&) = delete;
  TVvPPWeb& operator=(const TVvPPWeb&) = delete;

  // Activates the control in place as a child window of Parent at those bounds.
  void CreateInParent(HWND Parent, int Left, int Top, int Width, int Height);
  void SetBounds(int Left, int Top, int Width, int Height);
  int Left() const { return Bounds.left; }
  int Top() const { return Bounds.top; }
  int Width() const { return Bounds.right - Bounds.left; }
  int Height() const { return Bounds.bottom - Bounds.top; }
  void SetVisible(bool Visible);
  bool Visible() const { return IsVisible; }
  // The control's window, as its IOleWindow gives it; none before CreateInParent.
  HWND Handle() const { return Window; }

  // Members of the control. A call the control rejects raises EOleException with its text;
  // any other failure EOleSysError with the HRESULT.
  std::string Autostart();
  void SetAutostart(const std::string& Value);
  std::string Videocontrols();
  void SetVideocontrols(const std::string& Value);
  std::string URL();
  bool Load(const std::string& URL);
  void Rewind();
  int16_t VideoWidth();
  int16_t VideoHeight();
  bool Play();
  bool Pause();
  void SaveAs();
  void AboutMovie();

  // The control's events, called on the GUI thread.
  std::function<void(TObject* Sender, const std::string& URL)> OnAtStart;
  std::function<void(TObject* Sender, const std::string& URL)> OnAtEnd;
  std::function<void(TObject* Sender, int32_t Time, const std::string& URL)> OnTime;
  std::function<void(TObject* Sender, int16_t Width, int16_t Height)> OnVideoSize;
  std::function<void(TObject* Sender, int32_t State, const std::string& URL)> OnStateChange;
  std::function<void(TObject* Sender, int32_t Result)> OnFetchError;
  std::function<void(TObject* Sender, int32_t ID)> OnAudioDevOpen;
  TNotifyEvent OnAudioDevClose;

  // Mouse and keys over the control's area, in the control's client coordinates.
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  // The mouse, held for the video since a press, was taken by another window before the release.
  TNotifyEvent OnCaptureLost;
  TNotifyEvent OnDblClick;
  TKeyEvent OnKeyDown;
  // A right click (or the menu key) over the control: the host shows its menu at that point.
  std::function<void(int ScreenX, int ScreenY)> OnContextPopup;
  // No cursor over the video, or the default arrow again.
  void SetCursorNone(bool None) { NoCursor = None; }
  bool CursorNone() const { return NoCursor; }

  // The control object itself, for QueryInterface; the reference stays ours.
  IUnknown* ControlObject() const;

  // Where an exception thrown by a handler goes: it never crosses back into COM or Win32.
  // The player window sets this to the application's error box; unset, the error is shown in a
  // plain message box.
  static std::function<void(const std::exception&)> OnHandlerError;

  // Called by the event sink, the site and the window hook (EventSink.cpp, OleSite.cpp,
  // ControlInput.cpp).
  void HandleEvent(DISPID DispId, const DISPPARAMS& Params);
  static void ReportHandlerError(const std::exception& Error);

private:
  friend class TOleSite;
  // The constructor's first step: an object the destructor can undo from any state.
  struct TEmpty {};
  explicit TVvPPWeb(TEmpty);
  void Connect();
  // Undoes what Connect did, as far as it got.
  void Disconnect();
  void InitNew();
  void Invoke(DISPID DispId, WORD Flags, VARIANT* Args, UINT Count, VARIANT* Result);
  std::string GetText(DISPID DispId);
  void PutText(DISPID DispId, const std::string& Value);
  bool BoolResult(DISPID DispId, VARIANT* Args, UINT Count);
  int16_t ShortResult(DISPID DispId);
  void HookWindow();
  void UnhookWindow();
  static LRESULT CALLBACK WindowHook(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam,
                                     UINT_PTR Id, DWORD_PTR Data);
  bool HandleInput(UINT Message, WPARAM WParam, LPARAM LParam, LRESULT& Result);

  TComPtr<IOleObject> Object;
  TComPtr<IDispatch> Dispatch;
  TComPtr<IOleInPlaceObject> InPlace;
  TComPtr<TOleSite> Site;
  TComPtr<TEventSink> Sink;
  TComPtr<IConnectionPoint> EventPoint;
  DWORD SinkCookie = 0;
  HWND Parent = nullptr;
  HWND Window = nullptr;
  bool Hooked = false;
  RECT Bounds{0, 0, 0, 0};
  bool IsVisible = true;
  bool NoCursor = false;
  // The mouse taken for the video at a press and not yet let go at the release.
  bool HoldingMouse = false;
};
