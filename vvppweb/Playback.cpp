// The playback engine: loading, entry order, the clock, its pictures and sound, the events.
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
    if (&Entry.Info == Info) return Entry.Bytes.get();
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
  Media.reset();
  Unheard.clear();
  UnheardStart = NextSample = Decoded = 0;
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
    Entries.push_back({LoadedUrl, true, Info, std::make_shared<const std::string>(std::move(Bytes))});
    if (!BeginClip(0)) {
      Entries.clear();
      SetPhase(TPhase::Failed);
    }
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
  Entry.Bytes = std::make_shared<const std::string>(std::move(Bytes));
  if (!BeginClip(Index)) SkipEntry();
}

// The entry at Index has nothing to play: it is fetched again next time, and the list goes on.
void TPlayback::SkipEntry() {
  Entries[Index].Fetched = false;
  Entries[Index].Bytes.reset();
  StartEntry(Index + 1);
}

void TPlayback::StartEntry(size_t From) {
  if (From >= Entries.size()) {
    Finish();
    return;
  }
  Index = From;
  if (Entries[From].Fetched) {
    if (!BeginClip(From)) SkipEntry();
    return;
  }
  IsPlaying = false;
  SetPhase(TPhase::OpeningEntry);
  RequestFetch(Entries[From].Url);
}

// Starts the fetched entry Entry: its media opened (or back at its start), its first picture
// ready. False, with OnFetchError queued, when nothing in it decodes.
bool TPlayback::BeginClip(size_t Entry) {
  Index = Entry;
  TEntry& Clip = Entries[Entry];
  const TClipInfo& Info = Clip.Info;
  if (Info.HeaderOnly()) {
    Media.reset();
    Length = Info.DurationMs;
    Width = Info.Width;
    Height = Info.Height;
  } else {
    if (Media && MediaEntry == Entry) {
      Media->Restart();
    } else {
      // The old media goes first: a playlist holds one clip's decoders at a time.
      Media.reset();
      int32_t Error = 0;
      Media = TClipMedia::Open(Clip.Bytes, Info, Error);
      if (!Media) {
        Queue(evFetchError, Error, 0, Clip.Url);
        Width = Height = -1;
        return false;
      }
      MediaEntry = Entry;
    }
    Length = Media->Scan().LengthMs;
    const TPicture* First = Media->Ahead();
    Width = First ? static_cast<int16_t>(First->Width) : int16_t(-1);
    Height = First ? static_cast<int16_t>(First->Height) : int16_t(-1);
    Media->ShowUpTo(0);
  }
  Clock = 0;
  ++Starts;
  Unheard.clear();
  UnheardStart = NextSample = Decoded = 0;
  IsPlaying = WantPlay;
  if (Width >= 0 && Height >= 0) Queue(evVideoSize, Width, Height, Clip.Url);
  Queue(evAtStart, 0, 0, Clip.Url);
  Phase = TPhase::Ready;
  Queue(evStateChange, State(), 0, LoadedUrl);
  return true;
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
        // The device drops what it had queued: that sound comes again when play resumes.
        RequeueSound();
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
  Clock = Ms >= Length - Clock ? Length : Clock + Ms;
  ShowPictureDue();
  // What the clock passed has been heard, or skipped.
  uint64_t Heard = ClockSamples();
  if (Heard > UnheardStart) {
    uint64_t Drop = std::min<uint64_t>(Heard - UnheardStart, Unheard.size());
    Unheard.erase(Unheard.begin(), Unheard.begin() + static_cast<std::ptrdiff_t>(Drop));
    UnheardStart += Drop;
    NextSample = std::max(NextSample, Heard);
  }
  Queue(evTime, static_cast<int32_t>(Clock), 0, Entries[Index].Url);
  if (Clock >= Length) {
    WantPlay = true;
    StartEntry(Index + 1);
  }
}

void TPlayback::ShowPictureDue() {
  if (!Media || !Media->ShowUpTo(Clock)) return;
  const TPicture* Shown = Media->Shown();
  auto NewWidth = static_cast<int16_t>(Shown->Width), NewHeight = static_cast<int16_t>(Shown->Height);
  if (NewWidth != Width || NewHeight != Height) {
    Width = NewWidth;
    Height = NewHeight;
    Queue(evVideoSize, Width, Height, Entries[Index].Url);
  }
}

uint64_t TPlayback::ClockSamples() const { return static_cast<uint64_t>(Clock) * SoundRate() / 1000; }

TSoundBuffer TPlayback::NextSound(uint32_t MaxMs) {
  TSoundBuffer Buffer;
  uint32_t Rate = SoundRate();
  size_t Wanted = static_cast<size_t>(static_cast<uint64_t>(MaxMs) * Rate / 1000);
  if (Media && Phase == TPhase::Ready) {
    if (NextSample > Decoded) {
      // Fast forward ran the clock past what was decoded: skip to it.
      Media->SkipSound(NextSample - Decoded);
      Unheard.clear();
      UnheardStart = Decoded = NextSample;
    }
    // Again what was handed out before and not heard, then newly decoded sound.
    size_t From = static_cast<size_t>(NextSample - UnheardStart);
    size_t Again = std::min(Wanted, Unheard.size() - From);
    Buffer.Samples.assign(Unheard.begin() + static_cast<std::ptrdiff_t>(From),
                          Unheard.begin() + static_cast<std::ptrdiff_t>(From + Again));
    if (Again < Wanted) {
      Buffer.Samples.resize(Wanted);
      size_t Read = Media->ReadSound(Buffer.Samples.data() + Again, Wanted - Again);
      Buffer.Samples.resize(Again + Read);
      Decoded += Read;
      Unheard.insert(Unheard.end(), Buffer.Samples.begin() + static_cast<std::ptrdiff_t>(Again), Buffer.Samples.end());
    }
    NextSample += Buffer.Samples.size();
  }
  if (Buffer.Samples.empty()) {
    Buffer.Samples.assign(Wanted, 0);
    Buffer.Ms = MaxMs;
    return Buffer;
  }
  Buffer.Decoded = true;
  Buffer.Ms = static_cast<uint32_t>((Buffer.Samples.size() * 1000 + Rate / 2) / Rate);
  return Buffer;
}

void TPlayback::RequeueSound() { NextSample = UnheardStart; }

void TPlayback::SetPictureSize(int16_t NewWidth, int16_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}
