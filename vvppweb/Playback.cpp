// The playback engine: loading, entry order, the clock and the events.
#include "vvppweb/Playback.h"

#include <algorithm>

#include "vvppweb/ClipNames.h"

void TPlayback::Queue(TVivoEvent Event, int32_t A, int32_t B, const std::string& Url) {
  Events.push_back({Event, A, B, Url});
}

TClipState TPlayback::State() const {
  switch (Phase) {
    case TPhase::Closed: return csClosed;
    case TPhase::OpeningTop:
    case TPhase::OpeningEntry: return csOpening;
    case TPhase::Ready: return IsPlaying ? csPlaying : csPaused;
    case TPhase::Ended: return csEnded;
    case TPhase::Failed: return csFailed;
  }
  return csClosed;
}

void TPlayback::SetPhase(TPhase NewPhase) {
  TClipState Before = State();
  Phase = NewPhase;
  if (State() != Before) Queue(evStateChange, State(), 0, LoadedUrl);
}

const std::string& TPlayback::EntryUrl() const {
  return Index < Entries.size() ? Entries[Index].Url : LoadedUrl;
}

const TClipInfo* TPlayback::Clip() const {
  if (Phase != TPhase::Ready && Phase != TPhase::Ended && Phase != TPhase::OpeningEntry) return nullptr;
  // While the next entry is fetched, and after the end, the last clip that played stays in view.
  for (size_t I = std::min(Index + 1, Entries.size()); I > 0; --I)
    if (Entries[I - 1].Fetched) return &Entries[I - 1].Info;
  return nullptr;
}

const std::string* TPlayback::ClipBytes() const {
  const TClipInfo* Info = Clip();
  for (const TEntry& Entry : Entries)
    if (&Entry.Info == Info) return &Entry.Bytes;
  return nullptr;
}

std::optional<TFetchRequest> TPlayback::TakeFetch() {
  std::optional<TFetchRequest> Request;
  Request.swap(NextFetch);
  return Request;
}

void TPlayback::RequestFetch(const std::string& Url) {
  PendingFetchId = ++LastFetchId;
  NextFetch = TFetchRequest{PendingFetchId, Url};
}

void TPlayback::Load(const std::string& Url, bool Autostart) {
  // Whatever the old clip still had to say is of no interest once another is loaded.
  Events.clear();
  NextFetch.reset();
  PendingFetchId = 0;
  Entries.clear();
  List = false;
  Index = 0;
  IsPlaying = false;
  Clock = 0;
  Width = Height = -1;
  LoadedUrl = Url;
  WantPlay = Autostart;
  if (Url.empty()) {
    SetPhase(TPhase::Closed);
    return;
  }
  SetPhase(TPhase::OpeningTop);
  RequestFetch(Url);
}

void TPlayback::Fetched(uint32_t Id, int32_t Error, std::string Bytes) {
  if (Id == 0 || Id != PendingFetchId) return;
  PendingFetchId = 0;

  if (Phase == TPhase::OpeningTop) {
    if (Error == 0 && IsCommandFile(Bytes)) {
      List = true;
      for (const std::string& Name : CommandFileEntries(Bytes))
        Entries.push_back(TEntry{ResolveEntry(LoadedUrl, Name), false, {}, {}});
      StartEntry(0);
      return;
    }
    TClipInfo Info;
    if (Error == 0) Error = ParseVivoFile(Bytes, Info);
    if (Error) {
      Queue(evFetchError, Error, 0, LoadedUrl);
      SetPhase(TPhase::Failed);
      return;
    }
    Entries.push_back({LoadedUrl, true, Info, std::move(Bytes)});
    BeginClip(0);
    return;
  }

  if (Phase != TPhase::OpeningEntry || Index >= Entries.size()) return;
  TEntry& Entry = Entries[Index];
  TClipInfo Info;
  if (Error == 0) Error = IsCommandFile(Bytes) ? VivoNestedList : ParseVivoFile(Bytes, Info);
  if (Error) {
    // A broken entry is reported and skipped: the rest of the list still plays.
    Queue(evFetchError, Error, 0, Entry.Url);
    StartEntry(Index + 1);
    return;
  }
  Entry.Fetched = true;
  Entry.Info = Info;
  Entry.Bytes = std::move(Bytes);
  BeginClip(Index);
}

void TPlayback::StartEntry(size_t From) {
  if (From >= Entries.size()) {
    Finish();
    return;
  }
  Index = From;
  if (Entries[From].Fetched) {
    BeginClip(From);
    return;
  }
  IsPlaying = false;
  SetPhase(TPhase::OpeningEntry);
  RequestFetch(Entries[From].Url);
}

void TPlayback::BeginClip(size_t Entry) {
  Index = Entry;
  const TClipInfo& Info = Entries[Entry].Info;
  Clock = 0;
  Width = Info.Width;
  Height = Info.Height;
  IsPlaying = WantPlay;
  Queue(evVideoSize, Width, Height, Entries[Entry].Url);
  Queue(evAtStart, 0, 0, Entries[Entry].Url);
  Phase = TPhase::Ready;
  Queue(evStateChange, State(), 0, LoadedUrl);
}

void TPlayback::Finish() {
  IsPlaying = false;
  WantPlay = false;
  Index = Entries.empty() ? 0 : Entries.size() - 1;
  SetPhase(TPhase::Ended);
  Queue(evAtEnd, 0, 0, LoadedUrl);
}

bool TPlayback::Play() {
  switch (Phase) {
    case TPhase::Closed:
    case TPhase::Failed:
      return false;
    case TPhase::Ended:
      WantPlay = true;
      StartEntry(0);
      return true;
    case TPhase::OpeningTop:
    case TPhase::OpeningEntry:
      WantPlay = true;
      return true;
    case TPhase::Ready:
      if (!IsPlaying) {
        IsPlaying = WantPlay = true;
        Queue(evStateChange, csPlaying, 0, LoadedUrl);
      }
      return true;
  }
  return false;
}

bool TPlayback::Pause() {
  switch (Phase) {
    case TPhase::OpeningTop:
    case TPhase::OpeningEntry:
      WantPlay = false;
      return true;
    case TPhase::Ready:
      if (IsPlaying) {
        IsPlaying = WantPlay = false;
        Queue(evStateChange, csPaused, 0, LoadedUrl);
      }
      return true;
    default:
      return false;
  }
}

void TPlayback::Rewind(bool Autostart) {
  WantPlay = Autostart;
  if (Phase == TPhase::Closed || Phase == TPhase::OpeningTop || Entries.empty()) return;
  // Entries that failed are tried again: the file may be there now.
  StartEntry(0);
}

void TPlayback::BufferDone(uint32_t Ms) {
  if (!Playing()) return;
  uint32_t Duration = Entries[Index].Info.DurationMs;
  Clock = Ms >= Duration - Clock ? Duration : Clock + Ms;
  Queue(evTime, static_cast<int32_t>(Clock), 0, Entries[Index].Url);
  if (Clock >= Duration) {
    WantPlay = true;
    StartEntry(Index + 1);
  }
}

void TPlayback::SetPictureSize(int16_t NewWidth, int16_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}
