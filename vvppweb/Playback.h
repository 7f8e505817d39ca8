// The playback engine: what is loaded, which entry plays, the clock, the picture due at it, the
// sound to queue, and the events it raises. It has no windows and no threads: the control feeds
// it fetch results and buffer-done ticks, starts the fetches it asks for, queues the sound it
// hands out, shows its picture and fires the events it queues.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "vvppweb/ClipMedia.h"
#include "vvppweb/Contract.h"
#include "vvppweb/VivoFile.h"

// The State argument of OnStateChange.
enum TClipState : int32_t {
  csClosed = 0,
  csOpening = 1,
  csPlaying = 2,
  csPaused = 3,
  csEnded = 4,
  csFailed = 5,
};

struct TEngineEvent {
  TVvPPWebEvent Event;
  int32_t A = 0;  // Time, Width, State, Result or device ID
  int32_t B = 0;  // Height
  std::string Url;
  bool operator==(const TEngineEvent&) const = default;
};

struct TFetchRequest {
  uint32_t Id;
  std::string Url;
};

// What a fetch brought, made ready off the GUI thread: a command file's entries, or a clip's
// header with its media opened (scanned, its first picture and sound decoded), or why not.
struct TFetchedClip {
  int32_t Error = 0;
  bool CommandFile = false;
  std::vector<std::string> Entries;
  TClipInfo Info;
  std::shared_ptr<const std::string> Bytes;
  std::unique_ptr<TClipMedia> Media;  // none for a header only
};

// Reads the bytes of a fetch (Error 0) into what the engine takes. The slow part of loading (the
// pass over all packets) happens here, on whatever thread calls it.
TFetchedClip PrepareFetched(int32_t Error, std::string Bytes);

// A buffer of sound to play: the clip's own, or silence where it has none.
struct TSoundBuffer {
  std::vector<int16_t> Samples;  // mono, 16 bits, at the engine's SoundRate(): the clock's step when it is done
  bool Decoded = false;          // the clip's sound rather than silence
};

class TPlayback {
public:
  // Opens Url (a clip or a command file); "" closes. Plays once open when Autostart is set.
  void Load(const std::string& Url, bool Autostart);
  // The answer to fetch Id, prepared. Stale answers are ignored.
  void Fetched(uint32_t Id, TFetchedClip Clip);
  // The same from the bytes (Error 0) or an HRESULT, prepared on the spot.
  void Fetched(uint32_t Id, int32_t Error, std::string Bytes) { Fetched(Id, PrepareFetched(Error, std::move(Bytes))); }
  bool Play();
  // Pauses where the sound was last heard, HeardMs (the clock when not given): the picture and
  // the sound go on from there.
  bool Pause() { return PauseAt(Clock); }
  bool PauseAt(uint32_t HeardMs);
  // Back to the start of the first entry; plays on only when Autostart is set.
  void Rewind(bool Autostart);
  // One audio buffer of Samples has played: the clock moves on while playing.
  void BufferDone(uint64_t Samples);
  // The sound is heard at clip time Ms: the picture due then is shown (and for a header only,
  // the generated picture moves there).
  void Present(uint32_t Ms);
  uint32_t PresentedMs() const { return Presented; }
  // The clip time at which the picture shown next is due, or none.
  std::optional<uint32_t> NextPictureMs() const;
  // The next buffer to queue, at most MaxMs long. Sound is handed out from the clock on: what
  // the clock has passed is skipped (fast forward), and after RequeueSound what was handed out
  // but not heard comes again.
  TSoundBuffer NextSound(uint32_t MaxMs);
  // What was handed out from clip time Ms on comes again (Ms no earlier than a second before the
  // clock: what the device had queued and dropped).
  void RequeueSound(uint32_t Ms);
  uint32_t SoundRate() const { return Media ? Media->SampleRate() : DefaultRate; }
  // The diagnostics' override of the reported picture size.
  void SetPictureSize(int16_t Width, int16_t Height);

  // The clip loaded; of a command file, the entry that plays or has just failed.
  const std::string& Url() const;
  // What Load was given.
  const std::string& LoadedName() const { return LoadedUrl; }
  const std::string& EntryUrl() const;
  int16_t VideoWidth() const { return Width; }
  int16_t VideoHeight() const { return Height; }
  uint32_t Position() const { return Clock; }
  bool Playing() const { return Phase == TPhase::Ready && IsPlaying; }
  TClipState State() const;
  // The clip now shown, with its bytes (which never change: they may be kept and read on any
  // thread), or none.
  const TClipInfo* Clip() const;
  std::shared_ptr<const std::string> ClipBytes() const;
  // Its decoded media; none for a clip of a header only, which shows the generated picture.
  const TClipMedia* ClipMedia() const { return Clip() ? Media.get() : nullptr; }
  // The picture due at the clock, or none (before the first, and for a header only).
  const TPicture* Picture() const { return ClipMedia() ? Media->Shown() : nullptr; }
  // How long the clip plays: its media's length, or the header's Duration for a header only.
  uint32_t LengthMs() const { return Clip() ? Length : 0; }
  size_t EntryIndex() const { return Index; }
  // How many times a clip has started (each entry, each rewind): the sound queued before belongs
  // to another start.
  uint32_t ClipStarts() const { return Starts; }
  // The ClipStarts() of the last clip whose every sample went to the device (it played to its
  // end, not stopped or left): what the device still holds of it is to be heard.
  uint32_t PlayedOutClip() const { return PlayedOut; }
  size_t EntryCount() const { return Entries.size(); }
  bool IsCommandList() const { return List; }

  // The events to fire, oldest first, each taken once; the control adds those of its device.
  // Loading another clip drops those not yet taken.
  bool HasEvents() const { return !Events.empty(); }
  std::optional<TEngineEvent> TakeEvent();
  void DeviceEvent(TVvPPWebEvent Event) { Queue(Event, 0, 0, {}); }
  // The fetch to start next (taken once).
  std::optional<TFetchRequest> TakeFetch();

private:
  enum class TPhase { Closed, OpeningTop, OpeningEntry, Ready, Ended, Failed };
  struct TEntry {
    std::string Url;
    bool Fetched = false;
    TClipInfo Info;
    std::shared_ptr<const std::string> Bytes;
    std::shared_ptr<const TMediaScan> Scan;   // once its media has been opened
    std::unique_ptr<TClipMedia> Prepared;     // opened by the fetch, not yet begun
  };
  static constexpr uint32_t DefaultRate = 8000;
  // Sound heard this long before the clock is kept: a pause goes back to where the device
  // really was, which lags the buffers it has finished by its latency.
  static constexpr uint32_t KeepMs = 1000;

  void Queue(TVvPPWebEvent Event, int32_t A, int32_t B, const std::string& Url);
  void SetPhase(TPhase NewPhase);
  void RequestFetch(const std::string& Url);
  void StartEntry(size_t From);
  bool BeginClip(size_t Entry);
  void SkipEntry();
  void Finish();
  void ShowPictureDue();
  void MediaFailed();
  TSoundBuffer HandOutSound(uint32_t MaxMs);
  uint64_t SampleAt(uint32_t Ms) const;
  void SetClock(uint64_t Sample);
  uint64_t EndSample() const;  // the first sample past the clip's length

  TPhase Phase = TPhase::Closed;
  std::string LoadedUrl;
  std::vector<TEntry> Entries;
  bool List = false;
  size_t Index = 0;
  bool WantPlay = false;
  bool IsPlaying = false;
  uint64_t ClockSample = 0;  // the sound done, in samples at SoundRate()
  uint32_t Clock = 0;        // the same in milliseconds
  uint32_t Presented = 0;
  std::string ReportedUrl;  // of a command file: the entry last begun or failed
  std::deque<TEngineEvent> Events;
  int16_t Width = -1;
  int16_t Height = -1;
  uint32_t Length = 0;
  uint32_t Starts = 0;
  uint32_t PlayedOut = 0;
  std::unique_ptr<TClipMedia> Media;
  size_t MediaEntry = 0;
  // Sound handed out but perhaps not yet heard, from sample UnheardStart on (KeepMs before the
  // clock, or the first after it that was decoded); the next sample to hand out, and how far the
  // sound is decoded.
  std::deque<int16_t> Unheard;
  uint64_t UnheardStart = 0;
  uint64_t NextSample = 0;
  uint64_t Decoded = 0;
  uint32_t LastFetchId = 0;
  uint32_t PendingFetchId = 0;
  std::optional<TFetchRequest> NextFetch;
};
