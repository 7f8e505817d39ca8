// The control's message window and the engine's pace: fetch results, the clip's clock driven by
// MM_WOM_DONE, and the events, fired from the message loop and never from inside a member call.
#include "vvppweb/VivoControl.h"

#include <wininet.h>

#include "vvppweb/Module.h"
#include "vvppweb/Picture.h"

namespace {

const char* const EngineClass = "VvPPWebEngine";
constexpr UINT_PTR ClockTimer = 1;
constexpr UINT_PTR DeadlineTimer = 2;
constexpr UINT FlushMessage = WM_APP + 1;
// After a stall the clock catches up by at most this many buffers at once.
constexpr ULONGLONG MaxCatchUp = 10;
// A device that has reported no finished buffer for this long is given up for the timer.
constexpr ULONGLONG DeviceSilence = 1000;

UINT FetchDoneMessage() {
  static const UINT Message = RegisterWindowMessageA("VvPPWebFetchDone");
  return Message;
}

}  // namespace

TVivoControl* ControlOfWindow(HWND Window, UINT Message, LPARAM LParam) {
  auto* Control = reinterpret_cast<TVivoControl*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Message == WM_NCCREATE) {
    Control = static_cast<TVivoControl*>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams);
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Control));
  } else if (Message == WM_NCDESTROY) {
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    Control = nullptr;
  }
  return Control;
}

namespace {

LRESULT CALLBACK EngineProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  TVivoControl* Control = ControlOfWindow(Window, Message, LParam);
  if (!Control) return DefWindowProcA(Window, Message, WParam, LParam);
  try {
    return Control->EngineMessage(Window, Message, WParam, LParam);
  } catch (...) {
    // Nothing may cross back into the host's message loop; a failed tick is simply lost.
    return 0;
  }
}

}  // namespace

HWND CreateEngineWindow(TVivoControl* Control) {
  WNDCLASSA Class{};
  if (!GetClassInfoA(ModuleInstance, EngineClass, &Class)) {
    Class.lpfnWndProc = EngineProc;
    Class.hInstance = ModuleInstance;
    Class.lpszClassName = EngineClass;
    RegisterClassA(&Class);
  }
  return CreateWindowExA(0, EngineClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance, Control);
}

void UnregisterControlClasses() {
  UnregisterClassA(EngineClass, ModuleInstance);
  extern void UnregisterViewClass();
  UnregisterViewClass();
}

LRESULT TVivoControl::EngineMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case MM_WOM_DONE:
      // Ours twice over: from the open device, or posted by the clock timer without one.
      if (Wave.IsOpen() ? Wave.Done(WParam, LParam) : WParam == 0 && ClockRunning) {
        DeviceHeard = GetTickCount64();
        Playback.BufferDone(BufferMs);
        Sync();
      }
      return 0;
    case WM_TIMER:
      if (WParam == ClockTimer) ClockTick();
      if (WParam == DeadlineTimer) FetchTimedOut();
      return 0;
    case FlushMessage:
      Flush();
      return 0;
    default:
      if (Message == FetchDoneMessage()) {
        FetchDone(static_cast<uint32_t>(WParam));
        return 0;
      }
      return DefWindowProcA(Window, Message, WParam, LParam);
  }
}

void TVivoControl::Sync() {
  if (std::optional<TFetchRequest> Request = Playback.TakeFetch()) {
    auto Job = std::make_shared<TFetchJob>();
    Job->Id = Request->Id;
    Job->Url = Request->Url;
    Job->TimeoutMs = FetchTimeoutMs;
    Job->Notify = Engine;
    Job->Message = FetchDoneMessage();
    Pending = Job;
    SetTimer(Engine, DeadlineTimer, FetchTimeoutMs, nullptr);
    if (!StartFetch(Job)) {
      Pending.reset();
      KillTimer(Engine, DeadlineTimer);
      Playback.Fetched(Request->Id, HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY), {});
      Sync();
      return;
    }
  }

  if (Playback.Playing() && !ClockRunning)
    StartClock();
  else if (!Playback.Playing() && ClockRunning)
    StopClock();

  if (View) {
    const TClipInfo* Clip = Playback.Clip();
    bool Picture = Clip && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
    uint32_t Frame = Clip ? FrameAt(Playback.Position(), Clip->Fps) : 0;
    if (Picture != ShownPicture || Frame != ShownFrame || VideocontrolsOn()) InvalidateRect(View, nullptr, FALSE);
  }

  if (!Playback.Events.empty() && !FlushPosted && Engine)
    FlushPosted = PostMessageA(Engine, FlushMessage, 0, 0);
}

void TVivoControl::StartClock() {
  ClockRunning = true;
  ClockBase = DeviceHeard = GetTickCount64();
  // The timer runs with a device too: it takes over should the device fall silent.
  SetTimer(Engine, ClockTimer, BufferMs, nullptr);
  if (Wave.Open(Engine, BufferMs)) Playback.Events.push_back({evAudioDevOpen, 0, 0, {}});
}

void TVivoControl::StopClock() {
  if (!ClockRunning) return;
  ClockRunning = false;
  if (Wave.IsOpen()) {
    Wave.Close();
    Playback.Events.push_back({evAudioDevClose, 0, 0, {}});
  }
  if (Engine) KillTimer(Engine, ClockTimer);
}

void TVivoControl::ClockTick() {
  if (!ClockRunning) return;
  ULONGLONG Now = GetTickCount64();
  if (Wave.IsOpen()) {
    if (Now - DeviceHeard < DeviceSilence) return;
    Wave.Close();
    Playback.Events.push_back({evAudioDevClose, 0, 0, {}});
    ClockBase = Now;
    Sync();
    return;
  }
  // Without a device the timer stands in for it: one buffer-done per buffer of wall time, posted
  // like the device's, so whoever dispatches them paces the clip.
  ULONGLONG Due = (Now - ClockBase) / BufferMs;
  if (Due > MaxCatchUp) {
    Due = MaxCatchUp;
    ClockBase = Now;
  } else {
    ClockBase += Due * BufferMs;
  }
  for (ULONGLONG I = 0; I < Due; ++I) PostMessageA(Engine, MM_WOM_DONE, 0, 0);
}

void TVivoControl::FetchDone(uint32_t Id) {
  if (!Pending || Pending->Id != Id || !Pending->Done.load(std::memory_order_acquire)) return;
  std::shared_ptr<TFetchJob> Job = std::move(Pending);
  KillTimer(Engine, DeadlineTimer);
  Playback.Fetched(Job->Id, Job->Error, std::move(Job->Bytes));
  Sync();
}

void TVivoControl::FetchTimedOut() {
  KillTimer(Engine, DeadlineTimer);
  if (!Pending) return;
  // The worker goes on until its own timeouts end it; its answer will find no one waiting.
  uint32_t Id = Pending->Id;
  Pending.reset();
  Playback.Fetched(Id, HRESULT_FROM_WIN32(ERROR_INTERNET_TIMEOUT), {});
  Sync();
}
