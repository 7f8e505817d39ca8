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
#include "vvppweb/VivoFile.h"

// The event DISPIDs of the control, in the order the host knows them.
enum TVivoEvent : int32_t {
  evAtStart = 1,
  evAtEnd = 2,
  evTime = 3,
  evVideoSize = 4,
  evStateChange = 5,
  evFetchError = 6,
  evAudioDevOpen = 7,
  evAudioDevClose = 8,
};

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
  TVivoEvent Event;
  int32_t A = 0;  // Time, Width, State, Result or device ID
  int32_t B = 0;  // Height
  std::string Url;
  bool operator==(const TEngineEvent&) const = default;
};

struct TFetchRequest {
  uint32_t Id;
  std::string Url;
};

// A buffer of sound to play: the clip's own, or silence where it has none.
struct TSoundBuffer {
  std::vector<int16_t> Samples;  // mono, 16 bits, at the engine's SoundRate()
  uint32_t Ms = 0;               // how long it plays: the clock's step when it is done
  bool Decoded = false;          // the clip's sound rather than silence
};

class TPlayback {
public:
  // Opens Url (a clip or a command file); "" closes. Plays once open when Autostart is set.
  void Load(const std::string& Url, bool Autostart);
  // The answer to fetch Id: Error 0 and the bytes, or an HRESULT. Stale answers are ignored.
  void Fetched(uint32_t Id, int32_t Error, std::string Bytes);
  bool Play();
  bool Pause();
  // Back to the start of the first entry; plays on only when Autostart is set.
  void Rewind(bool Autostart);
  // One audio buffer of Ms milliseconds has played: the clock moves on while playing, and the
  // picture due at it is shown.
  void BufferDone(uint32_t Ms);
  // The next buffer to queue, at most MaxMs long. Sound is handed out from the clock on: what
  // the clock has passed is skipped (fast forward), and after RequeueSound what was handed out
  // but not heard comes again.
  TSoundBuffer NextSound(uint32_t MaxMs);
  void RequeueSound();
  uint32_t SoundRate() const { return Media ? Media->SampleRate() : DefaultRate; }
  // The diagnostics' override of the reported picture size.
  void SetPictureSize(int16_t Width, int16_t Height);

  const std::string& Url() const { return LoadedUrl; }
  const std::string& EntryUrl() const;
  int16_t VideoWidth() const { return Width; }
  int16_t VideoHeight() const { return Height; }
  uint32_t Position() const { return Clock; }
  bool Playing() const { return Phase == TPhase::Ready && IsPlaying; }
  TClipState State() const;
  // The clip now shown, with its bytes, or none.
  const TClipInfo* Clip() const;
  const std::string* ClipBytes() const;
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
  size_t EntryCount() const { return Entries.size(); }
  bool IsCommandList() const { return List; }

  // Events to fire, oldest first, and the fetch to start next (taken once).
  std::deque<TEngineEvent> Events;
  std::optional<TFetchRequest> TakeFetch();

private:
  enum class TPhase { Closed, OpeningTop, OpeningEntry, Ready, Ended, Failed };
  struct TEntry {
    std::string Url;
    bool Fetched = false;
    TClipInfo Info;
    std::shared_ptr<const std::string> Bytes;
  };
  static constexpr uint32_t DefaultRate = 8000;

  void Queue(TVivoEvent Event, int32_t A, int32_t B, const std::string& Url);
  void SetPhase(TPhase NewPhase);
  void RequestFetch(const std::string& Url);
  void StartEntry(size_t From);
  bool BeginClip(size_t Entry);
  void SkipEntry();
  void Finish();
  void ShowPictureDue();
  uint64_t ClockSamples() const;

  TPhase Phase = TPhase::Closed;
  std::string LoadedUrl;
  std::vector<TEntry> Entries;
  bool List = false;
  size_t Index = 0;
  bool WantPlay = false;
  bool IsPlaying = false;
  uint32_t Clock = 0;
  int16_t Width = -1;
  int16_t Height = -1;
  uint32_t Length = 0;
  uint32_t Starts = 0;
  std::unique_ptr<TClipMedia> Media;
  size_t MediaEntry = 0;
  // Sound handed out but not yet heard, from sample UnheardStart on (the clock's, or the first
  // after it that was decoded); the next sample to hand out, and how far the sound is decoded.
  std::deque<int16_t> Unheard;
  uint64_t UnheardStart = 0;
  uint64_t NextSample = 0;
  uint64_t Decoded = 0;
  uint32_t LastFetchId = 0;
  uint32_t PendingFetchId = 0;
  std::optional<TFetchRequest> NextFetch;
};
