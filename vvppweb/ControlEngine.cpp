// The control's message window and the engine's pace: fetch results, the clip's clock driven by
// MM_WOM_DONE with the sound queue it keeps full, and the events, fired from the message loop
// and never from inside a member call.
#include "vvppweb/VivoControl.h"

#include <wininet.h>

#include "vvppweb/Module.h"
#include "vvppweb/Picture.h"

namespace {

const char* const EngineClass = "VvPPWebEngine";
constexpr UINT_PTR ClockTimer = 1;
constexpr UINT_PTR DeadlineTimer = 2;
constexpr UINT FlushMessage = WM_APP + 1;
// After a stall the clock catches up by at most this much at once.
constexpr ULONGLONG MaxCatchUpMs = 500;
// The timer's period, a buffer's length: the clock keeps its pace however late the timer is
// (buffers fall due by the wall clock), and every wake-up costs a host under Wine dearly.
constexpr UINT ClockTimerMs = BufferMs;
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
    case MM_WOM_DONE: {
      // Ours twice over: from the open device, or posted by the clock timer without one, with
      // the buffer's length in milliseconds for its LPARAM.
      uint32_t Ms = 0;
      bool Ours = Wave.IsOpen() ? Wave.Done(WParam, LParam, Ms)
                                : WParam == 0 && ClockRunning && LParam > 0 && LParam <= LPARAM(BufferMs);
      if (!Ours) return 0;
      if (!Wave.IsOpen()) Ms = static_cast<uint32_t>(LParam);
      DeviceHeard = GetTickCount64();
      Playback.BufferDone(Ms);
      // Sync first: should another clip have started, its sound is queued afresh.
      Sync();
      FillSoundQueue();
      return 0;
    }
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

  // A clip that starts (the next entry, a rewind) starts the sound afresh: what was queued
  // belongs to the clip before, and the new one may have another sampling rate.
  if (ClockRunning && Playback.ClipStarts() != ClockClip) StopClock();
  if (Playback.Playing() && !ClockRunning)
    StartClock();
  else if (!Playback.Playing() && ClockRunning)
    StopClock();

  if (View) {
    const TClipInfo* Clip = Playback.Clip();
    const TPicture* Decoded = Playback.Picture();
    uint64_t Serial = Decoded ? Decoded->Serial : 0;
    bool Generated = Clip && !Playback.ClipMedia() && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
    uint32_t Frame = Generated ? FrameAt(Playback.Position(), Clip->Fps) : 0;
    if (Serial != ShownSerial || Generated != ShownPicture || Frame != ShownFrame || VideocontrolsOn())
      InvalidateRect(View, nullptr, FALSE);
  }

  if (!Playback.Events.empty() && !FlushPosted && Engine)
    FlushPosted = PostMessageA(Engine, FlushMessage, 0, 0);
}

void TVivoControl::StartClock() {
  ClockRunning = true;
  ClockClip = Playback.ClipStarts();
  ClockBase = DeviceHeard = GetTickCount64();
  // The timer runs with a device too: it takes over should the device fall silent.
  SetTimer(Engine, ClockTimer, ClockTimerMs, nullptr);
  if (Wave.Open(Engine, Playback.SoundRate())) Playback.Events.push_back({evAudioDevOpen, 0, 0, {}});
  FillSoundQueue();
}

void TVivoControl::StopClock() {
  if (!ClockRunning) return;
  ClockRunning = false;
  if (Wave.IsOpen()) {
    Wave.Close();
    Playback.Events.push_back({evAudioDevClose, 0, 0, {}});
  }
  Unplayed.clear();
  Playback.RequeueSound();
  if (Engine) KillTimer(Engine, ClockTimer);
}

void TVivoControl::FillSoundQueue() {
  while (ClockRunning && Playback.Playing()) {
    if (Wave.IsOpen() ? Wave.Queued() >= TWaveOut::BufferCount : Unplayed.size() >= TWaveOut::BufferCount) return;
    TSoundBuffer Buffer = Playback.NextSound(BufferMs);
    if (Buffer.Decoded && Recording) RecordedSound.insert(RecordedSound.end(), Buffer.Samples.begin(), Buffer.Samples.end());
    if (Wave.IsOpen()) {
      if (!Wave.Queue(Buffer.Samples, Buffer.Ms)) return;
    } else {
      Unplayed.push_back(Buffer.Ms);
    }
  }
}

void TVivoControl::ClockTick() {
  if (!ClockRunning) return;
  ULONGLONG Now = GetTickCount64();
  if (Wave.IsOpen()) {
    if (Now - DeviceHeard < DeviceSilence) return;
    // The device has stopped playing: the timer plays on from what it had not played.
    Wave.Close();
    Playback.Events.push_back({evAudioDevClose, 0, 0, {}});
    Playback.RequeueSound();
    ClockBase = Now;
    FillSoundQueue();
    Sync();
    return;
  }
  // Without a device the timer stands in for it: each buffer's done posted when its time has
  // passed, like the device's, so whoever dispatches them paces the clip.
  if (Now - ClockBase > MaxCatchUpMs) ClockBase = Now - MaxCatchUpMs;
  while (!Unplayed.empty() && Now - ClockBase >= Unplayed.front()) {
    ClockBase += Unplayed.front();
    PostMessageA(Engine, MM_WOM_DONE, 0, static_cast<LPARAM>(Unplayed.front()));
    Unplayed.pop_front();
  }
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
