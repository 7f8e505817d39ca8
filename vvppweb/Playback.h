// The playback engine: what is loaded, which entry plays, the clock and the events it raises.
// It has no windows and no threads: the control feeds it fetch results and buffer-done ticks,
// starts the fetches it asks for, and fires the events it queues.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

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
  // One audio buffer of Ms milliseconds has played: the clock moves on while playing.
  void BufferDone(uint32_t Ms);
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
  size_t EntryIndex() const { return Index; }
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
    std::string Bytes;
  };

  void Queue(TVivoEvent Event, int32_t A, int32_t B, const std::string& Url);
  void SetPhase(TPhase NewPhase);
  void RequestFetch(const std::string& Url);
  void StartEntry(size_t From);
  void BeginClip(size_t Entry);
  void Finish();

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
  uint32_t LastFetchId = 0;
  uint32_t PendingFetchId = 0;
  std::optional<TFetchRequest> NextFetch;
};
