// The playback engine: loading, entry order, the clock, its pictures and sound, the events.
#include "vvppweb/Playback.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "vvppweb/ClipNames.h"
#include "vvppweb/Picture.h"

void TPlayback::Queue(TVvPPWebEvent Event, int32_t A, int32_t B, const std::string& Url) {
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
  if (State() != Before) Queue(dispOnStateChange, State(), 0, LoadedUrl);
}

const std::string& TPlayback::Url() const {
  return List && !ReportedUrl.empty() ? ReportedUrl : LoadedUrl;
}

std::optional<TEngineEvent> TPlayback::TakeEvent() {
  if (Events.empty()) return std::nullopt;
  TEngineEvent Event = std::move(Events.front());
  Events.pop_front();
  return Event;
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

std::shared_ptr<const std::string> TPlayback::ClipBytes() const {
  const TClipInfo* Info = Clip();
  for (const TEntry& Entry : Entries)
    if (&Entry.Info == Info) return Entry.Bytes;
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
  ReportedUrl.clear();
  Index = 0;
  IsPlaying = false;
  Clock = Presented = 0;
  ClockSample = 0;
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

TFetchedClip PrepareFetched(int32_t Error, std::string Bytes) {
  TFetchedClip Clip;
  if (Error == 0 && IsCommandFile(Bytes)) {
    Clip.CommandFile = true;
    Clip.Entries = CommandFileEntries(Bytes);
    return Clip;
  }
  if (Error == 0) Error = ParseVivoFile(Bytes, Clip.Info);
  if (Error == 0) {
    Clip.Bytes = std::make_shared<const std::string>(std::move(Bytes));
    if (!Clip.Info.HeaderOnly()) Clip.Media = TClipMedia::Open(Clip.Bytes, Clip.Info, Error);
  }
  if (Error) {
    Clip = TFetchedClip{};
    Clip.Error = Error;
  }
  return Clip;
}

void TPlayback::Fetched(uint32_t Id, TFetchedClip Fetch) {
  if (Id == 0 || Id != PendingFetchId) return;
  PendingFetchId = 0;

  if (Phase == TPhase::OpeningTop) {
    if (Fetch.CommandFile) {
      List = true;
      for (const std::string& Name : Fetch.Entries)
        Entries.push_back(TEntry{ResolveEntry(LoadedUrl, Name), false, {}, {}, {}, {}});
      StartEntry(0);
      return;
    }
    if (Fetch.Error) {
      Queue(dispOnFetchError, Fetch.Error, 0, LoadedUrl);
      SetPhase(TPhase::Failed);
      return;
    }
    Entries.push_back(TEntry{LoadedUrl, true, Fetch.Info, Fetch.Bytes, {}, std::move(Fetch.Media)});
    if (!BeginClip(0)) {
      Entries.clear();
      SetPhase(TPhase::Failed);
    }
    return;
  }

  if (Phase != TPhase::OpeningEntry || Index >= Entries.size()) return;
  TEntry& Entry = Entries[Index];
  int32_t Error = Fetch.CommandFile ? VivoNestedList : Fetch.Error;
  if (Error) {
    // A broken entry is reported and skipped: the rest of the list still plays.
    ReportedUrl = Entry.Url;
    Queue(dispOnFetchError, Error, 0, Entry.Url);
    StartEntry(Index + 1);
    return;
  }
  Entry.Fetched = true;
  Entry.Info = Fetch.Info;
  Entry.Bytes = Fetch.Bytes;
  Entry.Scan.reset();
  Entry.Prepared = std::move(Fetch.Media);
  if (!BeginClip(Index)) SkipEntry();
}

// The entry at Index has nothing to play: it is fetched again next time, and the list goes on.
void TPlayback::SkipEntry() {
  TEntry& Entry = Entries[Index];
  Entry.Fetched = false;
  Entry.Bytes.reset();
  Entry.Scan.reset();
  Entry.Prepared.reset();
  StartEntry(Index + 1);
}

// Decoding ran out of memory: the clip stops with that error, and a list goes on.
void TPlayback::MediaFailed() {
  Media.reset();
  ReportedUrl = Entries[Index].Url;
  Queue(dispOnFetchError, VivoOutOfMemory, 0, Entries[Index].Url);
  SkipEntry();
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
  ReportedUrl = Clip.Url;
  if (Info.HeaderOnly()) {
    Media.reset();
    Length = Info.DurationMs;
    Width = Info.Width;
    Height = Info.Height;
  } else {
    int32_t Error = 0;
    try {
      if (Clip.Prepared) {
        Media = std::move(Clip.Prepared);
      } else if (Media && MediaEntry == Entry) {
        if (!Media->Restart()) Error = VivoUnplayable;
      } else {
        // The old media goes first: a playlist holds one clip's decoders at a time, but for the
        // next one's, opened while the last went on playing.
        Media.reset();
        Media = TClipMedia::Open(Clip.Bytes, Info, Error, Clip.Scan);
      }
      MediaEntry = Entry;
      if (Media && !Error) {
        Clip.Scan = Media->SharedScan();
        Media->ShowUpTo(0);
      }
    } catch (const std::bad_alloc&) {
      Error = VivoOutOfMemory;
    }
    if (!Media || Error) {
      Media.reset();
      Queue(dispOnFetchError, Error ? Error : VivoUnplayable, 0, Clip.Url);
      Width = Height = -1;
      return false;
    }
    Length = Media->Scan().LengthMs;
    const TPicture* First = Media->Shown() ? Media->Shown() : Media->Ahead();
    Width = First ? static_cast<int16_t>(First->Width) : int16_t(-1);
    Height = First ? static_cast<int16_t>(First->Height) : int16_t(-1);
  }
  Clock = Presented = 0;
  ClockSample = 0;
  ++Starts;
  Unheard.clear();
  UnheardStart = NextSample = Decoded = 0;
  IsPlaying = WantPlay;
  if (Width >= 0 && Height >= 0) Queue(dispOnVideoSize, Width, Height, Clip.Url);
  Queue(dispOnAtStart, 0, 0, Clip.Url);
  Phase = TPhase::Ready;
  Queue(dispOnStateChange, State(), 0, LoadedUrl);
  return true;
}

void TPlayback::Finish() {
  IsPlaying = false;
  WantPlay = false;
  Index = Entries.empty() ? 0 : Entries.size() - 1;
  SetPhase(TPhase::Ended);
  Queue(dispOnAtEnd, 0, 0, LoadedUrl);
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
        Queue(dispOnStateChange, csPlaying, 0, LoadedUrl);
      }
      return true;
  }
  return false;
}

bool TPlayback::PauseAt(uint32_t HeardMs) {
  switch (Phase) {
    case TPhase::OpeningTop:
    case TPhase::OpeningEntry:
      WantPlay = false;
      return true;
    case TPhase::Ready:
      if (IsPlaying) {
        IsPlaying = WantPlay = false;
        // The device drops what it had queued: play resumes with the picture and the sound
        // where it was heard last.
        RequeueSound(HeardMs);
        SetClock(std::max(SampleAt(HeardMs), UnheardStart));
        Present(Clock);
        Queue(dispOnStateChange, csPaused, 0, LoadedUrl);
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

void TPlayback::SetClock(uint64_t Sample) {
  // Counted in samples, so that buffers of a length no whole number of milliseconds (551 samples
  // at 11025 Hz) add up to the sound's own time; shown in milliseconds, up to the clip's length.
  uint64_t End = EndSample();
  ClockSample = std::min(Sample, End);
  Clock = ClockSample == End ? Length : static_cast<uint32_t>(ClockSample * 1000 / SoundRate());
}

uint64_t TPlayback::EndSample() const {
  return (static_cast<uint64_t>(Length) * SoundRate() + 999) / 1000;
}

void TPlayback::BufferDone(uint64_t Samples) {
  if (!Playing()) return;
  SetClock(ClockSample + Samples);
  // What the clock passed has been handed out, or is skipped; only the last second is kept.
  uint64_t Keep = SampleAt(Clock > KeepMs ? Clock - KeepMs : 0);
  if (Keep > UnheardStart) {
    uint64_t Drop = std::min<uint64_t>(Keep - UnheardStart, Unheard.size());
    Unheard.erase(Unheard.begin(), Unheard.begin() + static_cast<std::ptrdiff_t>(Drop));
    UnheardStart += Drop;
  }
  NextSample = std::max(NextSample, ClockSample);
  Queue(dispOnTime, static_cast<int32_t>(Clock), 0, Entries[Index].Url);
  if (Clock >= Length) {
    // Every sample of the clip has gone to the device: the last of it may still be on its way
    // to the ear, and is played out (PlayedOut) while the next entry starts.
    PlayedOut = Starts;
    WantPlay = true;
    StartEntry(Index + 1);
  }
}

void TPlayback::Present(uint32_t Ms) {
  if (Phase != TPhase::Ready) return;
  Presented = std::max(Presented, std::min(Ms, Length));
  try {
    ShowPictureDue();
  } catch (const std::bad_alloc&) {
    MediaFailed();
  }
}

std::optional<uint32_t> TPlayback::NextPictureMs() const {
  if (Phase != TPhase::Ready) return std::nullopt;
  if (const TClipMedia* Clip = ClipMedia()) {
    const TPicture* Next = Clip->Ahead();
    if (Next) return Next->TimeMs;
    return std::nullopt;
  }
  const TClipInfo* Info = this->Clip();
  if (!Info || Width <= 0 || Height <= 0) return std::nullopt;
  // The generated picture moves a frame at a time.
  uint32_t Frame = FrameAt(Presented, Info->Fps) + 1;
  return static_cast<uint32_t>(std::min<double>(std::ceil(Frame * 1000.0 / Info->Fps), Length));
}

void TPlayback::ShowPictureDue() {
  if (!Media || !Media->ShowUpTo(Presented)) return;
  const TPicture* Shown = Media->Shown();
  auto NewWidth = static_cast<int16_t>(Shown->Width), NewHeight = static_cast<int16_t>(Shown->Height);
  if (NewWidth != Width || NewHeight != Height) {
    Width = NewWidth;
    Height = NewHeight;
    Queue(dispOnVideoSize, Width, Height, Entries[Index].Url);
  }
}

uint64_t TPlayback::SampleAt(uint32_t Ms) const { return static_cast<uint64_t>(Ms) * SoundRate() / 1000; }

TSoundBuffer TPlayback::NextSound(uint32_t MaxMs) {
  try {
    return HandOutSound(MaxMs);
  } catch (const std::bad_alloc&) {
    MediaFailed();
    return HandOutSound(MaxMs);
  }
}

TSoundBuffer TPlayback::HandOutSound(uint32_t MaxMs) {
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
    return Buffer;
  }
  Buffer.Decoded = true;
  return Buffer;
}

void TPlayback::RequeueSound(uint32_t Ms) {
  NextSample = std::min(std::max(SampleAt(Ms), UnheardStart), NextSample);
}

void TPlayback::SetPictureSize(int16_t NewWidth, int16_t NewHeight) {
  Width = NewWidth;
  Height = NewHeight;
}
