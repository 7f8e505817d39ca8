// Demuxing and decoding a clip's media with FFmpeg: one pass over the packets for the picture
// times and the length, then pictures and sound decoded as the clock asks for them.
#include "vvppweb/ClipMedia.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "vvppweb/MediaInput.h"
#include "vvppweb/PictureTimes.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

namespace {

constexpr int VideoStream = 0;  // the Vivo demuxer makes the video stream first
constexpr int SoundStream = 1;
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

struct TDemuxer {
  TMediaInput Input;
  AVIOContext* Io = nullptr;
  AVFormatContext* Format = nullptr;

  ~TDemuxer() { Close(); }
  bool Open(const std::string& Header, const std::shared_ptr<const std::string>& Bytes, size_t Offset) {
    Close();
    Input.Header = Header;
    Input.Bytes = Bytes;
    Input.Offset = Offset;
    Input.Pos = 0;
    Io = OpenMediaInput(Input);
    Format = avformat_alloc_context();
    if (!Io || !Format) return Close(), false;
    Format->pb = Io;
    Format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // On failure avformat_open_input frees the context, though not our AVIO.
    if (avformat_open_input(&Format, nullptr, av_find_input_format("vivo"), nullptr) < 0) return Close(), false;
    return Format->nb_streams > SoundStream;
  }
  void Close() {
    if (Format) avformat_close_input(&Format);
    CloseMediaInput(Io);
  }
};

struct TPacketQueue {
  std::deque<AVPacket*> Packets;
  ~TPacketQueue() { Clear(); }
  void Clear() {
    for (AVPacket*& Packet : Packets) av_packet_free(&Packet);
    Packets.clear();
  }
};

AVCodecContext* OpenDecoder(AVStream* Stream) {
  // FFmpeg 5.1's demuxer names the picture codec for Vivo 1 only; Vivo 2 pictures are H.263 too.
  if (Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && Stream->codecpar->codec_id == AV_CODEC_ID_NONE)
    Stream->codecpar->codec_id = AV_CODEC_ID_H263;
  const AVCodec* Codec = avcodec_find_decoder(Stream->codecpar->codec_id);
  if (!Codec) return nullptr;
  AVCodecContext* Context = avcodec_alloc_context3(Codec);
  if (!Context) return nullptr;
  Context->thread_count = 1;
  if (avcodec_parameters_to_context(Context, Stream->codecpar) < 0 || avcodec_open2(Context, Codec, nullptr) < 0)
    avcodec_free_context(&Context);
  return Context;
}

int16_t FloatSample(float Value) {
  // As libswresample converts float to 16 bits, so the sound is the same as FFmpeg's own.
  long Scaled = std::lrint(Value * 32768.0f);
  return static_cast<int16_t>(std::clamp<long>(Scaled, -32768, 32767));
}

}  // namespace

std::string MediaHeaderPacket(const TClipInfo& Info) {
  std::string Text = std::string("\r\nVersion:Vivo/") + (Info.Major >= 2 ? "2.00" : "1.00") +
                     "\r\nSamplingFrequency:" + std::to_string(Info.SampleRate) + "\r\n";
  return std::string(1, '\0') + static_cast<char>(Text.size()) + Text;
}

struct TClipMedia::TState {
  std::shared_ptr<const std::string> Bytes;
  std::string Header;
  size_t Offset = 0;
  TMediaScan Scan;
  uint32_t Rate = 8000;
  bool Siren = false;

  TDemuxer Demux;
  bool DemuxEnded = false;
  TPacketQueue VideoPackets, SoundPackets;
  size_t VideoSent = 0;
  AVCodecContext* Video = nullptr;
  AVCodecContext* Sound = nullptr;
  bool VideoDrained = false, SoundDrained = false;
  bool PicturesDecoded = false, SoundDecoded = false;
  int Width = 0, Height = 0;  // of the last picture decoded

  AVFrame* ShownFrame = nullptr;
  AVFrame* AheadFrame = nullptr;
  AVFrame* PendingFrame = nullptr;  // decoded after AheadFrame, to confirm a new size
  bool HasPending = false;
  TPicture ShownPicture, AheadPicture;
  bool HasShown = false, HasAhead = false;
  uint64_t Serial = 0;

  AVFrame* SoundFrame = nullptr;
  std::vector<int16_t> SoundBuffer;
  size_t SoundPos = 0;

  ~TState() {
    av_frame_free(&ShownFrame);
    av_frame_free(&AheadFrame);
    av_frame_free(&PendingFrame);
    av_frame_free(&SoundFrame);
    avcodec_free_context(&Video);
    avcodec_free_context(&Sound);
  }

  bool RunScan(double HeaderFps) {
    TDemuxer Pass;
    if (!Pass.Open(Header, Bytes, Offset)) return false;
    TPictureTimes Times(HeaderFps);
    Scan.PictureMs = Times.IntervalMs();
    AVPacket* Packet = av_packet_alloc();
    if (!Packet) return false;
    int Result;
    while ((Result = av_read_frame(Pass.Format, Packet)) >= 0) {
      if (Packet->stream_index == VideoStream) {
        Scan.PictureTimes.push_back(Times.Next(TemporalReference(Packet->data, static_cast<size_t>(Packet->size))));
      } else if (Packet->stream_index == SoundStream && Packet->size > 0) {
        ++Scan.SoundPackets;
        Scan.SoundSamples += Siren ? SirenSamples : G7231PacketSamples(Packet->data, Packet->size);
      }
      av_packet_unref(Packet);
    }
    av_packet_free(&Packet);
    Scan.Damaged = Result != AVERROR_EOF;
    double End = Scan.PictureTimes.empty() ? 0 : Scan.PictureTimes.back() + Scan.PictureMs;
    End = std::max(End, static_cast<double>(Scan.SoundSamples) * 1000.0 / Rate);
    Scan.LengthMs = static_cast<uint32_t>(std::min(std::ceil(End), 4e9));
    return true;
  }

  bool OpenDecoding() {
    DemuxEnded = false;
    VideoPackets.Clear();
    SoundPackets.Clear();
    VideoSent = 0;
    VideoDrained = SoundDrained = false;
    if (!Demux.Open(Header, Bytes, Offset)) return false;
    if (!Video && !Scan.PictureTimes.empty()) Video = OpenDecoder(Demux.Format->streams[VideoStream]);
    if (!Sound && Scan.SoundPackets > 0) Sound = OpenDecoder(Demux.Format->streams[SoundStream]);
    if (Video) avcodec_flush_buffers(Video);
    if (Sound) avcodec_flush_buffers(Sound);
    HasShown = HasAhead = HasPending = false;
    if (PendingFrame) av_frame_unref(PendingFrame);
    SoundBuffer.clear();
    SoundPos = 0;
    return true;
  }

  // Reads one more packet into its queue; false at the end of what the demuxer can read.
  bool DemuxOne() {
    if (DemuxEnded) return false;
    AVPacket* Packet = av_packet_alloc();
    if (!Packet || av_read_frame(Demux.Format, Packet) < 0) {
      av_packet_free(&Packet);
      DemuxEnded = true;
      return false;
    }
    if (Packet->stream_index == VideoStream)
      VideoPackets.Packets.push_back(Packet);
    else if (Packet->stream_index == SoundStream && Packet->size > 0)
      SoundPackets.Packets.push_back(Packet);
    else
      av_packet_free(&Packet);
    return true;
  }

  AVPacket* NextPacket(TPacketQueue& Queue) {
    while (Queue.Packets.empty())
      if (!DemuxOne()) return nullptr;
    AVPacket* Packet = Queue.Packets.front();
    Queue.Packets.pop_front();
    return Packet;
  }

  // Decodes the next picture the decoder gives into Frame; false at the end of the pictures.
  bool ReceivePicture(AVFrame* Frame) {
    for (;;) {
      int Result = avcodec_receive_frame(Video, Frame);
      if (Result == 0) {
        if (Frame->format == AV_PIX_FMT_YUV420P && Frame->width > 0 && Frame->height > 0) return true;
        av_frame_unref(Frame);
        continue;
      }
      if (Result != AVERROR(EAGAIN)) return false;
      AVPacket* Packet = NextPacket(VideoPackets);
      if (!Packet) {
        if (VideoDrained) return false;
        VideoDrained = true;
        avcodec_send_packet(Video, nullptr);
        continue;
      }
      // Our times, not the demuxer's: the decoder hands them on with the picture.
      const std::vector<uint32_t>& Times = Scan.PictureTimes;
      size_t Index = VideoSent++;
      Packet->pts = Index < Times.size() ? Times[Index] : static_cast<int64_t>(Scan.LengthMs);
      // A picture that does not decode is passed over; the next one may.
      avcodec_send_packet(Video, Packet);
      av_packet_free(&Packet);
    }
  }

  // The next picture to show into AheadFrame; false at the end of the pictures. The size
  // changes only with a whole picture that the one after it confirms: a flipped bit in a
  // picture header can claim any size, for that one picture.
  bool DecodeAhead() {
    if (!Video) return false;
    if ((!AheadFrame && !(AheadFrame = av_frame_alloc())) || (!PendingFrame && !(PendingFrame = av_frame_alloc())))
      return false;
    for (;;) {
      if (HasPending) {
        std::swap(AheadFrame, PendingFrame);
        HasPending = false;
      } else if (!ReceivePicture(AheadFrame)) {
        return false;
      }
      bool Resized = PicturesDecoded && (AheadFrame->width != Width || AheadFrame->height != Height);
      if (Resized) {
        bool Whole = AheadFrame->key_frame || AheadFrame->pict_type == AV_PICTURE_TYPE_I;
        HasPending = Whole && ReceivePicture(PendingFrame);
        if (!HasPending || PendingFrame->width != AheadFrame->width || PendingFrame->height != AheadFrame->height) {
          av_frame_unref(AheadFrame);
          continue;
        }
      }
      Width = AheadFrame->width;
      Height = AheadFrame->height;
      AheadPicture.Width = Width;
      AheadPicture.Height = Height;
      for (int Plane = 0; Plane < 3; ++Plane) {
        AheadPicture.Planes[Plane] = AheadFrame->data[Plane];
        AheadPicture.Strides[Plane] = AheadFrame->linesize[Plane];
      }
      AheadPicture.TimeMs = AheadFrame->pts == AV_NOPTS_VALUE ? 0 : static_cast<uint32_t>(AheadFrame->pts);
      AheadPicture.Serial = ++Serial;
      PicturesDecoded = true;
      return true;
    }
  }

  // Decodes the next piece of sound into SoundBuffer; false at the end of the sound.
  bool DecodeSound() {
    if (!Sound) return false;
    if (!SoundFrame && !(SoundFrame = av_frame_alloc())) return false;
    for (;;) {
      int Result = avcodec_receive_frame(Sound, SoundFrame);
      if (Result == 0) {
        bool Converted = ConvertSound();
        av_frame_unref(SoundFrame);
        if (Converted) {
          SoundDecoded = true;
          return true;
        }
        continue;
      }
      if (Result != AVERROR(EAGAIN)) return false;
      AVPacket* Packet = NextPacket(SoundPackets);
      if (!Packet) {
        if (SoundDrained) return false;
        SoundDrained = true;
        avcodec_send_packet(Sound, nullptr);
        continue;
      }
      avcodec_send_packet(Sound, Packet);
      av_packet_free(&Packet);
    }
  }

  // The first channel of SoundFrame as 16-bit samples; the Vivo sound is mono.
  bool ConvertSound() {
    int Count = SoundFrame->nb_samples;
    if (Count <= 0 || !SoundFrame->extended_data || !SoundFrame->extended_data[0]) return false;
    SoundBuffer.resize(static_cast<size_t>(Count));
    SoundPos = 0;
    int Channels = std::max(1, SoundFrame->ch_layout.nb_channels);
    const uint8_t* Data = SoundFrame->extended_data[0];
    switch (SoundFrame->format) {
      case AV_SAMPLE_FMT_S16:
        for (int I = 0; I < Count; ++I) SoundBuffer[I] = reinterpret_cast<const int16_t*>(Data)[I * Channels];
        return true;
      case AV_SAMPLE_FMT_S16P:
        std::copy_n(reinterpret_cast<const int16_t*>(Data), Count, SoundBuffer.begin());
        return true;
      case AV_SAMPLE_FMT_FLT:
        for (int I = 0; I < Count; ++I) SoundBuffer[I] = FloatSample(reinterpret_cast<const float*>(Data)[I * Channels]);
        return true;
      case AV_SAMPLE_FMT_FLTP:
        for (int I = 0; I < Count; ++I) SoundBuffer[I] = FloatSample(reinterpret_cast<const float*>(Data)[I]);
        return true;
      default:
        SoundBuffer.clear();
        return false;
    }
  }
};

TClipMedia::TClipMedia(std::unique_ptr<TState> State) : S(std::move(State)) {}
TClipMedia::~TClipMedia() = default;

std::unique_ptr<TClipMedia> TClipMedia::Open(std::shared_ptr<const std::string> Bytes, const TClipInfo& Info,
                                             int32_t& Error) {
  QuietFFmpeg();
  Error = VivoUnplayable;
  if (!Bytes || Info.MediaOffset >= Bytes->size()) return nullptr;
  auto State = std::make_unique<TState>();
  State->Bytes = std::move(Bytes);
  State->Header = MediaHeaderPacket(Info);
  State->Offset = Info.MediaOffset;
  State->Rate = Info.SampleRate;
  State->Siren = Info.Major >= 2;
  if (!State->RunScan(Info.HasFps ? Info.Fps : 0) || !State->OpenDecoding()) return nullptr;
  State->HasAhead = State->DecodeAhead();
  State->DecodeSound();
  if (!State->PicturesDecoded && !State->SoundDecoded) return nullptr;
  Error = 0;
  return std::unique_ptr<TClipMedia>(new TClipMedia(std::move(State)));
}

const TMediaScan& TClipMedia::Scan() const { return S->Scan; }
uint32_t TClipMedia::SampleRate() const { return S->Rate; }
bool TClipMedia::HasPictures() const { return S->PicturesDecoded; }
bool TClipMedia::HasSound() const { return S->SoundDecoded; }
const char* TClipMedia::SoundCodec() const { return S->Siren ? "Siren" : "G.723.1"; }

void TClipMedia::Restart() {
  if (!S->OpenDecoding()) return;
  S->HasAhead = S->DecodeAhead();
}

bool TClipMedia::ShowUpTo(uint32_t Ms) {
  bool Changed = false;
  while (S->HasAhead && S->AheadPicture.TimeMs <= Ms) {
    std::swap(S->ShownFrame, S->AheadFrame);
    S->ShownPicture = S->AheadPicture;
    S->HasShown = Changed = true;
    if (S->AheadFrame) av_frame_unref(S->AheadFrame);
    S->HasAhead = S->DecodeAhead();
  }
  return Changed;
}

const TPicture* TClipMedia::Shown() const { return S->HasShown ? &S->ShownPicture : nullptr; }
const TPicture* TClipMedia::Ahead() const { return S->HasAhead ? &S->AheadPicture : nullptr; }

size_t TClipMedia::ReadSound(int16_t* Out, size_t Count) {
  size_t Done = 0;
  while (Done < Count) {
    if (S->SoundPos < S->SoundBuffer.size()) {
      size_t Take = std::min(Count - Done, S->SoundBuffer.size() - S->SoundPos);
      if (Out) std::copy_n(S->SoundBuffer.begin() + static_cast<std::ptrdiff_t>(S->SoundPos), Take, Out + Done);
      S->SoundPos += Take;
      Done += Take;
    } else if (!S->DecodeSound()) {
      break;
    }
  }
  return Done;
}

void TClipMedia::SkipSound(uint64_t Count) {
  while (Count > 0) {
    size_t Step = static_cast<size_t>(std::min<uint64_t>(Count, 1u << 20));
    size_t Done = ReadSound(nullptr, Step);
    if (Done == 0) return;
    Count -= Done;
  }
}
