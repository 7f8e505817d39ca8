// Demuxing and decoding a clip's media with FFmpeg: one pass over the packets for the picture
// times and the length, then pictures and sound decoded as the clock asks for them.
#include "vvppweb/ClipMedia.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <new>

#include "vvppweb/DecodeLoop.h"
#include "vvppweb/MediaDemux.h"
#include "vvppweb/PictureTimes.h"

extern "C" {
#include <libavutil/log.h>
}

namespace {

constexpr int G7231Samples = 240;
constexpr int SirenSamples = 320;

void QuietFFmpeg() {
  // A damaged clip would fill the host's stderr with FFmpeg's complaints.
  static const bool Done = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)Done;
}

// Pictures are numbered across the process, not per reader: a painter that holds the last
// picture's pixels by its number must never take a new clip's first picture (or a rewound clip's)
// for the one it holds.
uint64_t NewPictureSerial() {
  static std::atomic<uint64_t> Last{0};
  return ++Last;
}

// Samples a G.723.1 sound packet decodes to: 240 for each frame in it, whose size its first byte
// tells (24 bytes at 6.3 kbit/s, 20 at 5.3, 4 for silence, 1 for a frame not sent).
uint64_t G7231PacketSamples(const uint8_t* Data, int Size) {
  static constexpr int FrameSize[4] = {24, 20, 4, 1};
  uint64_t Samples = 0;
  for (int Pos = 0; Pos < Size;) {
    int Frame = FrameSize[Data[Pos] & 3];
    if (Size - Pos < Frame) break;
    Samples += G7231Samples;
    Pos += Frame;
  }
  return Samples;
}

int16_t FloatSample(float Value) {
  // As libswresample converts float to 16 bits, so the sound is the same as FFmpeg's own.
  long Scaled = std::lrint(Value * 32768.0f);
  return static_cast<int16_t>(std::clamp<long>(Scaled, -32768, 32767));
}

// The first channel of Frame as 16-bit samples into Out; false for a frame without samples or
// in a format we do not convert. The Vivo sound is mono.
bool ConvertSound(const AVFrame& Frame, std::vector<int16_t>& Out) {
  int Count = Frame.nb_samples;
  if (Count <= 0 || !Frame.extended_data || !Frame.extended_data[0]) return false;
  Out.resize(static_cast<size_t>(Count));
  int Channels = std::max(1, Frame.ch_layout.nb_channels);
  const uint8_t* Data = Frame.extended_data[0];
  switch (Frame.format) {
    case AV_SAMPLE_FMT_S16:
      for (int I = 0; I < Count; ++I) Out[I] = reinterpret_cast<const int16_t*>(Data)[I * Channels];
      return true;
    case AV_SAMPLE_FMT_S16P:
      std::copy_n(reinterpret_cast<const int16_t*>(Data), Count, Out.begin());
      return true;
    case AV_SAMPLE_FMT_FLT:
      for (int I = 0; I < Count; ++I) Out[I] = FloatSample(reinterpret_cast<const float*>(Data)[I * Channels]);
      return true;
    case AV_SAMPLE_FMT_FLTP:
      for (int I = 0; I < Count; ++I) Out[I] = FloatSample(reinterpret_cast<const float*>(Data)[I]);
      return true;
    default:
      Out.clear();
      return false;
  }
}

bool IsPicture(const AVFrame& Frame) { return Frame.format == AV_PIX_FMT_YUV420P && Frame.width > 0 && Frame.height > 0; }

// Of all readers, on whatever thread: the packets held now, and the most at once.
std::atomic<size_t> HeldPackets{0}, PeakPackets{0};

// The packets read for one stream and not yet sent to its decoder, counted in HeldPackets.
class TPacketQueue {
public:
  TPacketQueue() = default;
  ~TPacketQueue() { Clear(); }
  TPacketQueue(const TPacketQueue&) = delete;
  TPacketQueue& operator=(const TPacketQueue&) = delete;

  bool Empty() const { return Packets.empty(); }
  size_t Size() const { return Packets.size(); }
  void Push(TPacketHolder Packet) {
    Packets.push_back(std::move(Packet));
    size_t Held = ++HeldPackets, Peak = PeakPackets.load();
    while (Held > Peak && !PeakPackets.compare_exchange_weak(Peak, Held)) {
      // Another reader's peak came in between: Peak is now that one, compared again.
    }
  }
  TPacketHolder Pop() {
    TPacketHolder Packet = std::move(Packets.front());
    Packets.pop_front();
    --HeldPackets;
    return Packet;
  }
  void Clear() {
    HeldPackets -= Packets.size();
    Packets.clear();
  }

private:
  std::deque<TPacketHolder> Packets;
};

}  // namespace

size_t TakePeakMediaPackets() { return PeakPackets.exchange(HeldPackets.load()); }

std::shared_ptr<const TMediaScan> ScanMedia(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info) {
  QuietFFmpeg();
  std::unique_ptr<TDemuxer> Pass = TDemuxer::Open(Bytes, Info);
  if (!Pass) return nullptr;
  auto Scan = std::make_shared<TMediaScan>();
  TPictureTimes Times(Info.HasFps ? Info.Fps : 0);
  Scan->PictureMs = Times.IntervalMs();
  const bool Siren = Info.Major >= 2;
  TPacketHolder Packet = NewPacket();
  while (Pass->Read(Packet.get())) {
    if (Packet->stream_index == Pass->VideoIndex()) {
      uint64_t Ms = Times.Next(TemporalReference(Packet->data, static_cast<size_t>(Packet->size)));
      // Nothing plays longer than a day; later pictures (of absurd steps) are not shown.
      if (Ms <= MaxDurationMs) Scan->PictureTimes.push_back(static_cast<uint32_t>(Ms));
    } else if (Packet->stream_index == Pass->SoundIndex() && Packet->size > 0) {
      ++Scan->SoundPackets;
      Scan->SoundSamples += Siren ? SirenSamples : G7231PacketSamples(Packet->data, Packet->size);
    }
    av_packet_unref(Packet.get());
  }
  Scan->Damaged = Pass->Damaged();
  double End = Scan->PictureTimes.empty() ? 0 : Scan->PictureTimes.back() + Scan->PictureMs;
  End = std::max(End, static_cast<double>(Scan->SoundSamples) * 1000.0 / Info.SampleRate);
  Scan->LengthMs = static_cast<uint32_t>(std::min(std::ceil(End), static_cast<double>(MaxDurationMs)));
  return Scan;
}

// One reading of the clip from its start: the demuxer, a decoder for each kind of media with the
// packets read for it, the picture shown and the one ahead, and the sound decoded.
class TClipMedia::TReader {
public:
  TReader(const TMediaScan& Scan) : Scan(Scan) {}

  // False when the packets cannot be read.
  bool Open(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info) {
    Demux = TDemuxer::Open(Bytes, Info);
    if (!Demux) return false;
    if (Demux->VideoIndex() >= 0 && !Scan.PictureTimes.empty()) {
      Video.Index = Demux->VideoIndex();
      Video.Context = OpenDecoder(Demux->Stream(Video.Index));
    }
    if (Demux->SoundIndex() >= 0 && Scan.SoundPackets > 0) {
      Sound.Index = Demux->SoundIndex();
      Sound.Context = OpenDecoder(Demux->Stream(Sound.Index));
    }
    ShownFrame = NewFrame();
    AheadFrame = NewFrame();
    PendingFrame = NewFrame();
    SoundFrame = NewFrame();
    HasAhead = DecodeAhead();
    return true;
  }

  bool ShowUpTo(uint32_t Ms) {
    bool Changed = false;
    while (HasAhead && AheadPicture.TimeMs <= Ms) {
      std::swap(ShownFrame, AheadFrame);
      ShownPicture = AheadPicture;
      HasShown = Changed = true;
      av_frame_unref(AheadFrame.get());
      HasAhead = DecodeAhead();
    }
    return Changed;
  }

  size_t ReadSound(int16_t* Out, size_t Count) {
    size_t Done = 0;
    while (Done < Count) {
      if (SoundPos < SoundBuffer.size()) {
        size_t Take = std::min(Count - Done, SoundBuffer.size() - SoundPos);
        if (Out) std::copy_n(SoundBuffer.begin() + static_cast<std::ptrdiff_t>(SoundPos), Take, Out + Done);
        SoundPos += Take;
        Done += Take;
      } else if (!DecodeSound()) {
        break;
      }
    }
    return Done;
  }

  // No decoder for the pictures: their packets are passed over (DemuxOne) and none is shown.
  void DropPictures() {
    Video.Packets.Clear();
    Video.Context.reset();
    HasShown = HasAhead = HasPending = false;
    for (AVFrame* Frame : {ShownFrame.get(), AheadFrame.get(), PendingFrame.get()}) av_frame_unref(Frame);
  }

  bool PicturesDecoded() const { return AnyPicture; }
  const TPicture* Shown() const { return HasShown ? &ShownPicture : nullptr; }
  const TPicture* Ahead() const { return HasAhead ? &AheadPicture : nullptr; }
  bool SoundDecoded = false;

  // The first sound, decoded ahead so that Open can tell whether any decodes.
  void DecodeFirstSound() {
    if (SoundBuffer.empty()) DecodeSound();
  }

private:
  struct TStream {
    int Index = -1;
    TCodecHolder Context;
    TPacketQueue Packets;
    size_t Sent = 0;  // pictures only: which time the next one takes
    bool Drained = false;  // the end has been sent
  };

  // Reads one more packet into the queue of its stream; false at the end of what can be read.
  bool DemuxOne() {
    if (DemuxEnded) return false;
    TPacketHolder Packet = NewPacket();
    if (!Demux->Read(Packet.get())) {
      DemuxEnded = true;
      return false;
    }
    if (Packet->stream_index == Video.Index && Video.Context &&
        Video.Sent + Video.Packets.Size() < Scan.PictureTimes.size())
      Video.Packets.Push(std::move(Packet));
    else if (Packet->stream_index == Sound.Index && Sound.Context && Packet->size > 0)
      Sound.Packets.Push(std::move(Packet));
    return true;
  }

  TPacketHolder NextPacket(TStream& Stream) {
    // Pictures the scan left out are not decoded either.
    if (&Stream == &Video && Video.Sent >= Scan.PictureTimes.size()) return nullptr;
    while (Stream.Packets.Empty())
      if (!DemuxOne()) return nullptr;
    return Stream.Packets.Pop();
  }

  // The next frame Stream's decoder gives, into Frame; false at the end (DecodeLoop.h).
  bool Decode(TStream& Stream, AVFrame* Frame) {
    if (!Stream.Context) return false;
    TDecodeSteps Steps;
    Steps.Receive = [&](AVFrame* Into) { return avcodec_receive_frame(Stream.Context.get(), Into); };
    Steps.NextPacket = [&] {
      TPacketHolder Packet = NextPacket(Stream);
      // Our times, not the demuxer's: the decoder hands them on with the picture.
      if (Packet && &Stream == &Video) Packet->pts = Scan.PictureTimes[Video.Sent++];
      return Packet;
    };
    Steps.Send = [&](const AVPacket* Packet) { return avcodec_send_packet(Stream.Context.get(), Packet); };
    return DecodeNextFrame(Steps, Stream.Drained, Frame);
  }

  // The next picture to show into AheadFrame; false at the end of the pictures. The size
  // changes only with a whole picture that the one after it confirms: a flipped bit in a
  // picture header can claim any size, for that one picture.
  bool DecodeAhead() {
    for (;;) {
      if (HasPending) {
        std::swap(AheadFrame, PendingFrame);
        HasPending = false;
      } else if (!NextPicture(AheadFrame.get())) {
        return false;
      }
      AVFrame& Frame = *AheadFrame;
      if (PicturesDecoded() && (Frame.width != Width || Frame.height != Height)) {
        bool Whole = Frame.key_frame || Frame.pict_type == AV_PICTURE_TYPE_I;
        HasPending = Whole && NextPicture(PendingFrame.get());
        if (!HasPending || PendingFrame->width != Frame.width || PendingFrame->height != Frame.height) {
          av_frame_unref(&Frame);
          continue;
        }
      }
      Width = Frame.width;
      Height = Frame.height;
      AheadPicture.Width = Width;
      AheadPicture.Height = Height;
      for (int Plane = 0; Plane < 3; ++Plane) {
        AheadPicture.Planes[Plane] = Frame.data[Plane];
        AheadPicture.Strides[Plane] = Frame.linesize[Plane];
      }
      AheadPicture.TimeMs = Frame.pts == AV_NOPTS_VALUE ? 0 : static_cast<uint32_t>(Frame.pts);
      AheadPicture.Serial = NewPictureSerial();
      AnyPicture = true;
      return true;
    }
  }

  bool NextPicture(AVFrame* Frame) {
    while (Decode(Video, Frame)) {
      if (IsPicture(*Frame)) return true;
      av_frame_unref(Frame);
    }
    return false;
  }

  // Decodes the next piece of sound into SoundBuffer; false at the end of the sound.
  bool DecodeSound() {
    while (Decode(Sound, SoundFrame.get())) {
      bool Converted = ConvertSound(*SoundFrame, SoundBuffer);
      av_frame_unref(SoundFrame.get());
      SoundPos = 0;
      if (Converted) {
        SoundDecoded = true;
        return true;
      }
    }
    return false;
  }

  const TMediaScan& Scan;
  std::unique_ptr<TDemuxer> Demux;
  bool DemuxEnded = false;
  TStream Video, Sound;
  int Width = 0, Height = 0;  // of the last picture decoded
  TFrameHolder ShownFrame, AheadFrame, PendingFrame;  // PendingFrame: after Ahead, to confirm a new size
  bool HasShown = false, HasAhead = false, HasPending = false;
  TPicture ShownPicture, AheadPicture;
  bool AnyPicture = false;  // a picture decoded
  TFrameHolder SoundFrame;
  std::vector<int16_t> SoundBuffer;
  size_t SoundPos = 0;
};

TClipMedia::TClipMedia(std::shared_ptr<const std::string> Bytes, const TClipInfo& Info,
                       std::shared_ptr<const TMediaScan> Scan, std::unique_ptr<TReader> Reader)
    : Bytes(std::move(Bytes)), Info(Info), ScanResult(std::move(Scan)), Reader(std::move(Reader)) {}
TClipMedia::~TClipMedia() = default;

std::unique_ptr<TClipMedia> TClipMedia::Open(std::shared_ptr<const std::string> Bytes, const TClipInfo& Info,
                                             int32_t& Error, std::shared_ptr<const TMediaScan> Known) {
  QuietFFmpeg();
  Error = VivoUnplayable;
  try {
    if (!Bytes || Info.MediaOffset >= Bytes->size()) return nullptr;
    std::shared_ptr<const TMediaScan> Scan = Known ? std::move(Known) : ScanMedia(Bytes, Info);
    if (!Scan) return nullptr;
    auto Reader = std::make_unique<TReader>(*Scan);
    if (!Reader->Open(Bytes, Info)) return nullptr;
    Reader->DecodeFirstSound();
    if (!Reader->PicturesDecoded() && !Reader->SoundDecoded) return nullptr;
    std::unique_ptr<TClipMedia> Media(new TClipMedia(std::move(Bytes), Info, std::move(Scan), std::move(Reader)));
    Media->SoundDecoded = Media->Reader->SoundDecoded;
    Media->PicturesDecoded = Media->Reader->PicturesDecoded();
    Error = 0;
    return Media;
  } catch (const std::bad_alloc&) {
    Error = VivoOutOfMemory;
    return nullptr;
  }
}

uint32_t TClipMedia::SampleRate() const { return Info.SampleRate; }
bool TClipMedia::HasPictures() const { return PicturesDecoded; }
bool TClipMedia::HasSound() const { return SoundDecoded; }
const char* TClipMedia::SoundCodec() const { return Info.Major >= 2 ? "Siren" : "G.723.1"; }

bool TClipMedia::Restart() {
  // A reading of its own first: the one in use stays until the new one has opened.
  try {
    auto Fresh = std::make_unique<TReader>(*ScanResult);
    if (!Fresh->Open(Bytes, Info)) return false;
    Reader = std::move(Fresh);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool TClipMedia::ShowUpTo(uint32_t Ms) { return Reader->ShowUpTo(Ms); }
const TPicture* TClipMedia::Shown() const { return Reader->Shown(); }
const TPicture* TClipMedia::Ahead() const { return Reader->Ahead(); }
void TClipMedia::DropPictures() { Reader->DropPictures(); }
size_t TClipMedia::ReadSound(int16_t* Out, size_t Count) { return Reader->ReadSound(Out, Count); }

void TClipMedia::SkipSound(uint64_t Count) {
  while (Count > 0) {
    size_t Step = static_cast<size_t>(std::min<uint64_t>(Count, 1u << 20));
    size_t Done = ReadSound(nullptr, Step);
    if (Done == 0) return;
    Count -= Done;
  }
}
