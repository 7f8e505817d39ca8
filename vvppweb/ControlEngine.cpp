// The control's message window and the engine's pace: fetch results; the clip's clock, moved by
// MM_WOM_DONE, with the sound queue kept full; each picture shown when its moment is heard; the
// events, fired from the message loop and never from inside a member call.
#include "vvppweb/VivoControl.h"

#include <wininet.h>

#include <algorithm>
#include <cmath>

#include "vvppweb/Module.h"

namespace {

const char* const EngineClass = "VvPPWebEngine";
constexpr UINT_PTR ClockTimer = 1;
constexpr UINT_PTR DeadlineTimer = 2;
constexpr UINT FlushMessage = WM_APP + 1;
// The window timer's period while the sound runs: the stand-in's buffers fall due by the wall
// clock however late it ticks, and it notices a device fallen silent.
constexpr UINT ClockTimerMs = TControlSound::BufferMs;
// How long after the host last dispatched a done again its fast forward is taken to go on.
constexpr ULONGLONG FastForwardMs = 250;

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
    // The last message: its handler still sees the control, so it can forget the window.
    SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
  }
  return Control;
}

HWND CreateEngineWindow(TVivoControl* Control) {
  WNDCLASSA Class{};
  if (!GetClassInfoA(ModuleInstance, EngineClass, &Class)) {
    Class.lpfnWndProc = ControlWindowProc<&TVivoControl::EngineMessage>;
    Class.hInstance = ModuleInstance;
    Class.lpszClassName = EngineClass;
    RegisterClassA(&Class);
  }
  return CreateWindowExA(0, EngineClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance, Control);
}

void UnregisterControlClasses() {
  UnregisterClassA(EngineClass, ModuleInstance);
  UnregisterViewClass();
}

LRESULT TVivoControl::EngineMessage(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case MM_WOM_DONE: {
      // From the open device, or posted by the stand-in without one.
      uint64_t Samples = 0;
      TControlSound::TDone Done = Sound.Done(WParam, LParam, Samples);
      if (Done == TControlSound::TDone::NotOurs) return 0;
      // The host dispatching a done again is its fast forward: the pictures keep up with it.
      if (Done == TControlSound::TDone::Again) FastUntil = GetTickCount64() + FastForwardMs;
      Playback.BufferDone(Samples);
      Sync();
      return 0;
    }
    case WM_TIMER:
      if (WParam == ClockTimer && Sound.Tick()) {
        // The device fell silent: its queue is lost, the stand-in plays on from what was heard.
        Playback.DeviceEvent(dispOnAudioDevClose);
        Playback.RequeueSound(Playback.Position());
        Sync();
      }
      if (WParam == DeadlineTimer) FetchTimedOut();
      if (WParam == TPictureTimer::Id && PictureTimer.Fired()) Present(true);
      return 0;
    case TPictureTimer::Message:
      if (PictureTimer.Fired(WParam)) Present(true);
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
  // A fetch that cannot start answers at once, which may ask for the next: a loop, not recursion.
  while (std::optional<TFetchRequest> Request = Playback.TakeFetch()) StartFetch(*Request);
  StopStaleSound();
  // A clip's first picture goes up before its sound is decoded and queued, which may take a
  // while: left for later, it could find the next picture due.
  if (!Sound.Running()) Present(true);
  SyncSound();
  Present(false);
  if (View && VideocontrolsOn()) InvalidateRect(View, nullptr, FALSE);
  if (Playback.HasEvents() && !FlushPosted && Engine) FlushPosted = PostMessageA(Engine, FlushMessage, 0, 0);
}

void TVivoControl::StartFetch(const TFetchRequest& Request) {
  auto Job = std::make_shared<TFetchJob>();
  Job->Id = Request.Id;
  Job->Url = Request.Url;
  Job->TimeoutMs = FetchTimeoutMs;
  Job->Notify = Engine;
  Job->Message = FetchDoneMessage();
  Pending = Job;
  SetTimer(Engine, DeadlineTimer, FetchTimeoutMs, nullptr);
  if (!::StartFetch(Job)) {
    Pending.reset();
    KillTimer(Engine, DeadlineTimer);
    Playback.Fetched(Request.Id, VivoOutOfMemory, {});
  }
}

void TVivoControl::StopStaleSound() {
  // A clip that starts (the next entry, a rewind) starts the sound afresh: what was queued
  // belongs to the clip before, and the new one may have another sampling rate.
  if (Sound.Running() && (!Playback.Playing() || Playback.ClipStarts() != SoundClip)) {
    // A clip that played to its end leaves its last sound to be heard, not dropped.
    bool PlayedOut = Playback.PlayedOutClip() == SoundClip;
    if (PlayedOut ? Sound.PlayOut() : Sound.Stop()) Playback.DeviceEvent(dispOnAudioDevClose);
    if (Engine) KillTimer(Engine, ClockTimer);
  }
}

void TVivoControl::SyncSound() {
  StopStaleSound();
  if (Playback.Playing() && !Sound.Running()) {
    SoundClip = Playback.ClipStarts();
    if (Sound.Start(Engine, Playback.SoundRate())) Playback.DeviceEvent(dispOnAudioDevOpen);
    // The pictures go on from here once the sound is heard, without a slew from before.
    PictureClock.Reset(Playback.Position());
    // The timer runs with a device too: it takes over should the device fall silent.
    SetTimer(Engine, ClockTimer, ClockTimerMs, nullptr);
  }
  FillSoundQueue();
}

void TVivoControl::FillSoundQueue() {
  while (Playback.Playing() && Sound.WantsMore()) {
    TSoundBuffer Buffer = Playback.NextSound(TControlSound::BufferMs);
    // Decoding may have failed and moved the engine on; the sound follows at the next Sync.
    if (!Playback.Playing() || Playback.ClipStarts() != SoundClip) return;
    if (Buffer.Decoded && RecordingSound) RecordedSound.insert(RecordedSound.end(), Buffer.Samples.begin(), Buffer.Samples.end());
    if (!Sound.Queue(Buffer)) return;
  }
}

uint32_t TVivoControl::HeardMs() const {
  int64_t Heard = static_cast<int64_t>(Playback.Position()) + Sound.HeardOffsetMs();
  return static_cast<uint32_t>(std::clamp<int64_t>(Heard, 0, Playback.LengthMs()));
}

void TVivoControl::Present(bool AtOnce) {
  if (!Playback.Playing() || !Sound.Running()) {
    PictureTimer.Cancel();
  } else {
    uint32_t At = PictureClock.At(HeardMs(), TControlSound::NowUs(), Sound.Heard(), GetTickCount64() < FastUntil);
    Playback.Present(At);
    // The next picture's moment, as far ahead of the pictures' clock as the clip says, at the
    // pace that clock runs.
    if (std::optional<uint32_t> Next = Playback.NextPictureMs(); Next && *Next > At)
      PictureTimer.Arm(Engine, static_cast<UINT>(std::ceil((*Next - At) / PictureClock.Pace())), *Next);
    else
      PictureTimer.Cancel();
  }
  // At its moment a picture is drawn at once, waiting for no other message; otherwise (a
  // buffer done, a member call) the paint comes when the queue is empty, once for many.
  if (View && Painter.Changed(Playback))
    RedrawWindow(View, nullptr, nullptr, RDW_INVALIDATE | (AtOnce ? RDW_UPDATENOW : 0));
}

void TVivoControl::FetchDone(uint32_t Id) {
  if (!Pending || Pending->Id != Id || !Pending->Done.load(std::memory_order_acquire)) return;
  std::shared_ptr<TFetchJob> Job = std::move(Pending);
  KillTimer(Engine, DeadlineTimer);
  Playback.Fetched(Job->Id, std::move(Job->Result));
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
