// Writing a copy of a clip: the bytes as they are, or its pictures and sound muxed by FFmpeg
// (Matroska, MP4, WebM) in the order of their times, through an AVIO of ours onto the caller's
// output.
#include "vvppweb/ClipExport.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <vector>

#include "vvppweb/ClipMedia.h"
#include "vvppweb/MediaDemux.h"
#include "vvppweb/PictureTimes.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/intreadwrite.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

// The MPEG-4 encoder's fixed quantiser: the copy's pictures stay well above 38 dB PSNR of the
// clip's, even for detailed, noisy ones (README, "Save As").
constexpr int Mp4Quantiser = 3;
// VP9 at a constant quality, as libvpx's good deadline codes it at its second speed: every
// picture above 38 dB of the clip's, and the copy smaller than the MP4 one, from the demo clip to
// noisy ones (README, "Save As").
constexpr const char* Vp9Options[][2] = {{"deadline", "good"}, {"cpu-used", "2"}, {"crf", "25"}};
// Opus for speech: at the clip's own rate where Opus takes it (else the next it takes), coded
// as speech, 16 kbit/s for narrowband sound and 24 for wider.
constexpr int OpusRates[] = {8000, 12000, 16000, 24000, 48000};
constexpr int64_t OpusNarrowBitRate = 16000, OpusWideBitRate = 24000;
// Opus's own clock: it is read back at 48 kHz whatever rate it was coded at.
constexpr int OpusClockRate = 48000;
constexpr int OutputBufferSize = 1 << 16;
// Samples per sound frame for an encoder that takes any number.
constexpr int AnyFrameSamples = 4096;

struct TCopyFailed {
  std::string Reason;
};
struct TCopyCancelled {};

std::string Lower(std::string Text) {
  for (char& C : Text)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return Text;
}

// Whether the H.263 picture at Data is coded on its own (an I picture), from its picture type; a
// picture that cannot be read is not.
bool IsIntraPicture(const uint8_t* Data, size_t Size) {
  auto Bits = [&](size_t From, int Count) {
    int Value = 0;
    for (size_t N = From; N < From + static_cast<size_t>(Count); ++N) {
      if (N / 8 >= Size) return -1;
      Value = (Value << 1) | ((Data[N / 8] >> (7 - N % 8)) & 1);
    }
    return Value;
  };
  if (TemporalReference(Data, Size) < 0) return false;
  // PTYPE follows the 22-bit start code and the 8-bit TR: "10", three flags, the source format,
  // then the coding type (0 for intra), unless the format is 111: then PLUSPTYPE's UFEP, its
  // 18 bits of OPPTYPE when UFEP is 001, and MPPTYPE's picture type (000 for intra).
  int Format = Bits(35, 3);
  if (Format < 0) return false;
  if (Format != 7) return Bits(38, 1) == 0;
  int Ufep = Bits(38, 3);
  return Ufep >= 0 && Bits(41 + (Ufep == 1 ? 18 : 0), 3) == 0;
}

// The AVIO the muxer writes through: the caller's output, with the position and size it needs
// for seeking back to fill in lengths and indexes.
struct TOutputIo {
  TCopyOutput& Output;
  uint64_t Pos = 0;
  uint64_t Size = 0;
};

int WriteOutput(void* Opaque, uint8_t* Buffer, int Size) {
  auto& Io = *static_cast<TOutputIo*>(Opaque);
  if (Size < 0 || !Io.Output.Write(Buffer, static_cast<size_t>(Size))) return AVERROR(EIO);
  Io.Pos += static_cast<uint64_t>(Size);
  Io.Size = std::max(Io.Size, Io.Pos);
  return Size;
}

int64_t SeekOutput(void* Opaque, int64_t Offset, int Whence) {
  auto& Io = *static_cast<TOutputIo*>(Opaque);
  auto Size = static_cast<int64_t>(Io.Size);
  int64_t Target;
  switch (Whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return Size;
    case SEEK_SET: Target = Offset; break;
    case SEEK_CUR: Target = static_cast<int64_t>(Io.Pos) + Offset; break;
    case SEEK_END: Target = Size + Offset; break;
    default: return AVERROR(EINVAL);
  }
  if (Target < 0 || Target > Size) return AVERROR(EINVAL);
  if (!Io.Output.Seek(static_cast<uint64_t>(Target))) return AVERROR(EIO);
  Io.Pos = static_cast<uint64_t>(Target);
  return Target;
}

struct TMuxerFree {
  void operator()(AVFormatContext* Format) const { avformat_free_context(Format); }
};
struct TIoFree {
  void operator()(AVIOContext* Io) const {
    av_freep(&Io->buffer);
    avio_context_free(&Io);
  }
};
struct TScalerFree {
  void operator()(SwsContext* Scaler) const { sws_freeContext(Scaler); }
};
struct TResamplerFree {
  void operator()(SwrContext* Resampler) const { swr_free(&Resampler); }
};

const char* MuxerName(TCopyFormat Format) {
  switch (Format) {
    case TCopyFormat::Mp4: return "mp4";
    case TCopyFormat::WebM: return "webm";
    default: return "matroska";
  }
}

// One copy being written.
class TCopier {
public:
  TCopier(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info, TCopyFormat Format,
          TCopyOutput& Output, const TCopyProgress& Progress)
      : Bytes(Bytes), Info(Info), Format(Format), Output(Output), Progress(Progress), Io{Output} {}

  void Run() {
    if (Info.HeaderOnly())
      throw TCopyFailed{"the clip is a header only, without pictures or sound of its own; it can be saved as a "
                        "Vivo clip"};
    Scan = ScanMedia(Bytes, Info);
    if (!Scan) throw TCopyFailed{"its packets cannot be read"};
    int32_t Error = 0;
    Media = TClipMedia::Open(Bytes, Info, Error, Scan);
    if (!Media) {
      if (Error == VivoOutOfMemory) throw std::bad_alloc();
      throw TCopyFailed{"nothing in it decodes"};
    }
    OpenMuxer();
    if (Media->HasPictures() && Media->Ahead()) AddPictures();
    if (Media->HasSound()) AddSound();
    Check(avformat_write_header(Muxer.get(), nullptr), "the copy's header could not be written");
    // In the order of their times, so the muxer holds back little.
    for (;;) {
      double PictureMs = NextPictureMs(), SoundMs = NextSoundMs();
      if (std::isinf(PictureMs) && std::isinf(SoundMs)) break;
      if (PictureMs <= SoundMs)
        WritePicture();
      else
        WriteSound();
      Report(std::min(PictureMs, SoundMs));
    }
    if (PictureEncoder) Drain(PictureEncoder.get(), nullptr, PictureStream);
    if (SoundEncoder) Drain(SoundEncoder.get(), nullptr, SoundStream);
    Check(av_write_trailer(Muxer.get()), "the copy could not be finished");
    avio_flush(Muxer->pb);
    Check(Muxer->pb->error, "the copy could not be finished");
    Report(INFINITY);
  }

private:
  // Fails with the output's own reason when it was the output that failed.
  void Check(int Result, const char* What) {
    if (Result >= 0) return;
    if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
    if (!Output.Failure.empty()) throw TCopyFailed{Output.Failure};
    char Text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(Result, Text, sizeof Text);
    throw TCopyFailed{std::string(What) + " (" + Text + ")"};
  }

  void Report(double Ms) {
    double Done = std::isinf(Ms) ? 1.0 : std::clamp(Ms / std::max(1u, Scan->LengthMs), 0.0, 1.0);
    if (Progress && !Progress(Done)) throw TCopyCancelled{};
  }

  void OpenMuxer() {
    AVFormatContext* Context = nullptr;
    int Result = avformat_alloc_output_context2(&Context, nullptr, MuxerName(Format), nullptr);
    if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
    if (Result < 0 || !Context) throw TCopyFailed{"this program has no writer for that type"};
    Muxer.reset(Context);
    auto* Buffer = static_cast<unsigned char*>(av_malloc(OutputBufferSize));
    if (!Buffer) throw std::bad_alloc();
    AVIOContext* Writer = avio_alloc_context(Buffer, OutputBufferSize, 1, &Io, nullptr, WriteOutput, SeekOutput);
    if (!Writer) {
      av_free(Buffer);
      throw std::bad_alloc();
    }
    OutputIo.reset(Writer);
    Muxer->pb = OutputIo.get();
    Muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The header's own words travel with the copy.
    static constexpr const char* Tags[][2] = {{"Title", "title"}, {"Author", "artist"}, {"Copyright", "copyright"}};
    for (const auto& [Key, Value] : Info.Fields)
      for (const auto& Tag : Tags)
        if (Lower(Key) == Lower(Tag[0])) av_dict_set(&Muxer->metadata, Tag[1], Value.c_str(), 0);
  }

  AVStream* NewStream() {
    AVStream* Stream = avformat_new_stream(Muxer.get(), nullptr);
    if (!Stream) throw std::bad_alloc();
    return Stream;
  }

  // The encoder FFmpeg names Encoder (by name: there may be others for the same codec), which the
  // user knows as Name.
  TCodecHolder OpenEncoder(const char* Encoder, const char* Name, const std::function<void(AVCodecContext&)>& Set) {
    const AVCodec* Codec = avcodec_find_encoder_by_name(Encoder);
    if (!Codec) throw TCopyFailed{std::string("this program has no ") + Name + " encoder"};
    TCodecHolder Context(avcodec_alloc_context3(Codec));
    if (!Context) throw std::bad_alloc();
    Context->thread_count = 1;
    Set(*Context);
    if (Muxer->oformat->flags & AVFMT_GLOBALHEADER) Context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(Context.get(), Codec, nullptr), (std::string("the ") + Name + " encoder does not open").c_str());
    return Context;
  }

  void AddPictures() {
    const TPicture& First = *Media->Ahead();
    Width = First.Width;
    Height = First.Height;
    // The grid the picture times sit on: the FPS header's rate, else the temporal references'.
    Rate = Info.HasFps ? av_d2q(Info.Fps, 1001) : AVRational{30000, 1001};
    PictureStream = NewStream();
    PictureStream->avg_frame_rate = Rate;
    if (Format == TCopyFormat::Matroska) {
      // The clip's own coded pictures, read once more from its packets.
      RawPictures = TDemuxer::Open(Bytes, Info);
      if (!RawPictures) throw TCopyFailed{"its packets cannot be read"};
      // Media is read for its sound alone from now on: the picture packets it meets on the way
      // would otherwise pile up unread.
      Media->DropPictures();
      AVCodecParameters& Parameters = *PictureStream->codecpar;
      Parameters.codec_type = AVMEDIA_TYPE_VIDEO;
      Parameters.codec_id = AV_CODEC_ID_H263;
      Parameters.width = Width;
      Parameters.height = Height;
      Parameters.format = AV_PIX_FMT_YUV420P;
      PictureStream->time_base = AVRational{1, 1000};
      RawPacket = NewPacket();
      return;
    }
    const bool Vp9 = Format == TCopyFormat::WebM;
    PictureEncoder = OpenEncoder(Vp9 ? "libvpx-vp9" : "mpeg4", Vp9 ? "VP9" : "MPEG-4", [&](AVCodecContext& Context) {
      Context.width = Width;
      Context.height = Height;
      Context.pix_fmt = AV_PIX_FMT_YUV420P;
      Context.time_base = AVRational{Rate.den, Rate.num};
      Context.framerate = Rate;
      // A whole picture every two seconds: seeking lands near where it was asked.
      Context.gop_size = std::max(1, static_cast<int>(std::lround(av_q2d(Rate) * 2)));
      if (Vp9) {
        Context.bit_rate = 0;  // the quality alone decides
        for (const auto& [Option, Value] : Vp9Options)
          Check(av_opt_set(Context.priv_data, Option, Value, 0), "the VP9 encoder takes no such setting");
        return;
      }
      Context.max_b_frames = 0;
      Context.flags |= AV_CODEC_FLAG_QSCALE;
      Context.global_quality = FF_QP2LAMBDA * Mp4Quantiser;
      Context.mb_decision = FF_MB_DECISION_RD;
      // Simple Profile's level by the picture's size, for players that go by it: 3 up to CIF.
      const int Area = Width * Height;
      Context.level = Area <= 352 * 288 ? 3 : Area <= 640 * 480 ? 4 : Area <= 720 * 576 ? 5 : 6;
    });
    Check(avcodec_parameters_from_context(PictureStream->codecpar, PictureEncoder.get()), "the picture encoder");
    PictureStream->time_base = PictureEncoder->time_base;
    Frame = NewFrame();
    Encoded = NewPacket();
  }

  void AddSound() {
    const int ClipRate = static_cast<int>(Media->SampleRate());
    int SampleRate = ClipRate;
    if (Format == TCopyFormat::Matroska) {
      SoundEncoder = OpenEncoder("flac", "FLAC", [&](AVCodecContext& Context) {
        SetSound(Context, SampleRate, AV_SAMPLE_FMT_S16);
      });
    } else if (Format == TCopyFormat::Mp4) {
      SoundEncoder = OpenEncoder("aac", "AAC", [&](AVCodecContext& Context) {
        SetSound(Context, SampleRate, AV_SAMPLE_FMT_FLTP);
        // Four bits a sample: clear speech and music at the Vivo rates.
        Context.bit_rate = std::min<int64_t>(4 * static_cast<int64_t>(SampleRate), 128000);
      });
    } else {
      SampleRate = *std::lower_bound(std::begin(OpusRates), std::end(OpusRates) - 1, ClipRate);
      SoundEncoder = OpenEncoder("libopus", "Opus", [&](AVCodecContext& Context) {
        SetSound(Context, SampleRate, AV_SAMPLE_FMT_S16);
        Context.bit_rate = SampleRate <= 8000 ? OpusNarrowBitRate : OpusWideBitRate;
        Check(av_opt_set(Context.priv_data, "application", "voip", 0), "the Opus encoder takes no such setting");
      });
      if (SampleRate != ClipRate) OpenResampler(ClipRate, SampleRate);
    }
    SoundStream = NewStream();
    Check(avcodec_parameters_from_context(SoundStream->codecpar, SoundEncoder.get()), "the sound encoder");
    SoundStream->time_base = AVRational{1, SampleRate};
    if (Format == TCopyFormat::WebM) {
      // The track says Opus's own rate, at which readers count the samples to drop at its start
      // (the encoder's delay) and end (the last frame's padding); the encoder counts both at the
      // rate it was given.
      SoundStream->codecpar->sample_rate = OpusClockRate;
      SoundStream->codecpar->initial_padding =
          static_cast<int>(av_rescale(SoundEncoder->initial_padding, OpusClockRate, SampleRate));
      OpusDelay = SoundEncoder->initial_padding;
    }
    FrameSamples = SoundEncoder->frame_size > 0 ? SoundEncoder->frame_size : AnyFrameSamples;
    Samples.resize(static_cast<size_t>(FrameSamples));
    SoundFrame = NewFrame();
    if (!Encoded) Encoded = NewPacket();
  }

  static void SetSound(AVCodecContext& Context, int SampleRate, AVSampleFormat SampleFormat) {
    Context.sample_rate = SampleRate;
    Context.sample_fmt = SampleFormat;
    av_channel_layout_default(&Context.ch_layout, 1);
    Context.time_base = AVRational{1, SampleRate};
  }

  void OpenResampler(int From, int To) {
    AVChannelLayout Mono = AV_CHANNEL_LAYOUT_MONO;
    SwrContext* Made = nullptr;
    Check(swr_alloc_set_opts2(&Made, &Mono, AV_SAMPLE_FMT_S16, To, &Mono, AV_SAMPLE_FMT_S16, From, 0, nullptr),
          "the sound cannot be resampled");
    Resampler.reset(Made);
    Check(swr_init(Resampler.get()), "the sound cannot be resampled");
  }

  // Clip times, in ms, of the next picture and the next sound to write; infinite at their end.
  double NextPictureMs() const {
    if (!PictureStream) return INFINITY;
    if (RawPictures) return RawSent < Scan->PictureTimes.size() ? Scan->PictureTimes[RawSent] : INFINITY;
    const TPicture* Next = Media->Ahead();
    return Next ? Next->TimeMs : INFINITY;
  }
  double NextSoundMs() const {
    if (!SoundStream || SoundEnded) return INFINITY;
    return static_cast<double>(SamplesRead) * 1000.0 / Media->SampleRate();
  }

  void Write(AVPacket* Packet, AVStream* Stream, AVRational From) {
    av_packet_rescale_ts(Packet, From, Stream->time_base);
    Packet->stream_index = Stream->index;
    Check(av_interleaved_write_frame(Muxer.get(), Packet), "the copy could not be written");
  }

  // Everything Encoder gives after Sent (a frame, or the end), written to Stream.
  void Drain(AVCodecContext* Encoder, const AVFrame* Sent, AVStream* Stream) {
    Check(avcodec_send_frame(Encoder, Sent), "the encoder failed");
    for (;;) {
      int Result = avcodec_receive_packet(Encoder, Encoded.get());
      if (Result == AVERROR(EAGAIN) || Result == AVERROR_EOF) return;
      Check(Result, "the encoder failed");
      if (Encoder == PictureEncoder.get()) {
        auto Length = Durations.find(Encoded->pts);
        if (Length != Durations.end()) {
          Encoded->duration = Length->second;
          Durations.erase(Length);
        }
      } else if (OpusDelay) {
        // The encoder puts its first packet before the clip's start, by its delay; Matroska
        // stores the packet at 0 instead, and readers take the delay off it again.
        Encoded->pts += OpusDelay;
        Encoded->dts += OpusDelay;
        size_t Size = 0;
        if (uint8_t* Skip = av_packet_get_side_data(Encoded.get(), AV_PKT_DATA_SKIP_SAMPLES, &Size); Skip && Size >= 10)
          AV_WL32(Skip + 4, static_cast<uint32_t>(av_rescale(AV_RL32(Skip + 4), OpusClockRate, Encoder->sample_rate)));
      }
      Write(Encoded.get(), Stream, Encoder->time_base);
    }
  }

  void WritePicture() {
    if (RawPictures) return WriteRawPicture();
    const TPicture* Next = Media->Ahead();
    Media->ShowUpTo(Next->TimeMs);
    const TPicture& Picture = *Media->Shown();
    av_frame_unref(Frame.get());
    Frame->format = AV_PIX_FMT_YUV420P;
    Frame->width = Width;
    Frame->height = Height;
    if (Picture.Width == Width && Picture.Height == Height) {
      // The encoder copies pictures it does not own; the clip's own planes need no copy of ours.
      for (int Plane = 0; Plane < 3; ++Plane) {
        Frame->data[Plane] = const_cast<uint8_t*>(Picture.Planes[Plane]);
        Frame->linesize[Plane] = Picture.Strides[Plane];
      }
    } else {
      // A clip whose picture size changes: the copy keeps its first size.
      Check(av_frame_get_buffer(Frame.get(), 0), "no room for a picture");
      Scaler.reset(sws_getCachedContext(Scaler.release(), Picture.Width, Picture.Height, AV_PIX_FMT_YUV420P, Width,
                                        Height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
      if (!Scaler) throw std::bad_alloc();
      sws_scale(Scaler.get(), Picture.Planes, Picture.Strides, 0, Picture.Height, Frame->data, Frame->linesize);
    }
    int64_t Pts = std::max(LastPts + 1, GridPoint(Picture.TimeMs));
    const TPicture* After = Media->Ahead();
    int64_t End = After ? std::max(Pts + 1, GridPoint(After->TimeMs)) : Pts + 1;
    Durations[Pts] = End - Pts;
    Frame->pts = LastPts = Pts;
    // MPEG-4's fixed quantiser is the picture's own quality.
    if (PictureEncoder->flags & AV_CODEC_FLAG_QSCALE) Frame->quality = PictureEncoder->global_quality;
    Drain(PictureEncoder.get(), Frame.get(), PictureStream);
  }

  // A time in ms as a point of the picture grid, the encoder's time base.
  int64_t GridPoint(uint32_t Ms) const { return std::llround(Ms / 1000.0 * Rate.num / Rate.den); }

  void WriteRawPicture() {
    for (;;) {
      if (!RawPictures->Read(RawPacket.get())) {
        // The same bytes read the same way twice: the scan's pictures are all there. Should
        // they not be, the pictures end here.
        RawSent = Scan->PictureTimes.size();
        return;
      }
      if (RawPacket->stream_index == RawPictures->VideoIndex()) break;
      av_packet_unref(RawPacket.get());
    }
    const std::vector<uint32_t>& Times = Scan->PictureTimes;
    uint32_t Ms = Times[RawSent];
    uint32_t End = RawSent + 1 < Times.size() ? Times[RawSent + 1]
                                                : Ms + static_cast<uint32_t>(std::lround(Scan->PictureMs));
    ++RawSent;
    RawPacket->pts = RawPacket->dts = Ms;
    RawPacket->duration = End - Ms;
    RawPacket->pos = -1;
    if (IsIntraPicture(RawPacket->data, static_cast<size_t>(RawPacket->size)))
      RawPacket->flags |= AV_PKT_FLAG_KEY;
    else
      RawPacket->flags &= ~AV_PKT_FLAG_KEY;
    Write(RawPacket.get(), PictureStream, AVRational{1, 1000});
  }

  // The next frame's samples at the encoder's rate into Samples; fewer at the sound's end.
  size_t NextSoundFrame() {
    if (!Resampler) {
      size_t Got = Media->ReadSound(Samples.data(), Samples.size());
      SamplesRead += Got;
      return Got;
    }
    while (Resampled.size() < Samples.size() && !ResamplerDrained) {
      int16_t Chunk[1024];
      size_t Got = Media->ReadSound(Chunk, std::size(Chunk));
      SamplesRead += Got;
      ResamplerDrained = Got == 0;
      if (Got > 0)
        Resample(Chunk, Got);
      else  // the sound's end: what the resampler holds back, until it gives no more
        for (int Made = 1; Made > 0;) Made = Resample(nullptr, 0);
    }
    size_t Count = std::min(Samples.size(), Resampled.size());
    std::copy_n(Resampled.begin(), Count, Samples.begin());
    Resampled.erase(Resampled.begin(), Resampled.begin() + static_cast<std::ptrdiff_t>(Count));
    return Count;
  }

  // Count samples through the resampler, onto Resampled; none flushes it. How many came out.
  int Resample(const int16_t* From, size_t Count) {
    const auto* In = reinterpret_cast<const uint8_t*>(From);
    int Room = swr_get_out_samples(Resampler.get(), static_cast<int>(Count));
    Check(Room, "the sound cannot be resampled");
    size_t Had = Resampled.size();
    Resampled.resize(Had + static_cast<size_t>(Room));
    auto* Out = reinterpret_cast<uint8_t*>(Resampled.data() + Had);
    int Made = swr_convert(Resampler.get(), &Out, Room, Count ? &In : nullptr, static_cast<int>(Count));
    Check(Made, "the sound cannot be resampled");
    Resampled.resize(Had + static_cast<size_t>(Made));
    return Made;
  }

  void WriteSound() {
    size_t Got = NextSoundFrame();
    if (Got == 0) {
      SoundEnded = true;
      return;
    }
    av_frame_unref(SoundFrame.get());
    SoundFrame->format = SoundEncoder->sample_fmt;
    SoundFrame->nb_samples = static_cast<int>(Got);
    SoundFrame->sample_rate = SoundEncoder->sample_rate;
    Check(av_channel_layout_copy(&SoundFrame->ch_layout, &SoundEncoder->ch_layout), "no room for sound");
    Check(av_frame_get_buffer(SoundFrame.get(), 0), "no room for sound");
    if (SoundEncoder->sample_fmt == AV_SAMPLE_FMT_S16) {
      std::copy_n(Samples.data(), Got, reinterpret_cast<int16_t*>(SoundFrame->data[0]));
    } else {
      auto* Out = reinterpret_cast<float*>(SoundFrame->data[0]);
      for (size_t I = 0; I < Got; ++I) Out[I] = static_cast<float>(Samples[I]) / 32768.0f;
    }
    SoundFrame->pts = static_cast<int64_t>(SamplesSent);
    SamplesSent += Got;
    // A short read is the sound's end; an encoder of fixed frames takes no more after it.
    if (Got < Samples.size()) SoundEnded = true;
    Drain(SoundEncoder.get(), SoundFrame.get(), SoundStream);
  }

  const std::shared_ptr<const std::string>& Bytes;
  const TClipInfo& Info;
  const TCopyFormat Format;
  TCopyOutput& Output;
  const TCopyProgress& Progress;
  TOutputIo Io;

  std::shared_ptr<const TMediaScan> Scan;
  std::unique_ptr<TClipMedia> Media;
  // Declared before the muxer that writes through it, so it goes after it.
  std::unique_ptr<AVIOContext, TIoFree> OutputIo;
  std::unique_ptr<AVFormatContext, TMuxerFree> Muxer;

  AVStream* PictureStream = nullptr;
  int Width = 0, Height = 0;
  AVRational Rate{15, 1};
  std::unique_ptr<TDemuxer> RawPictures;  // Matroska: the clip's pictures as they are
  TPacketHolder RawPacket;
  size_t RawSent = 0;
  TCodecHolder PictureEncoder;            // MP4: pictures coded afresh
  TFrameHolder Frame;
  std::unique_ptr<SwsContext, TScalerFree> Scaler;
  int64_t LastPts = -1;
  std::map<int64_t, int64_t> Durations;   // of the pictures sent, until their packets come

  AVStream* SoundStream = nullptr;
  TCodecHolder SoundEncoder;
  TFrameHolder SoundFrame;
  int FrameSamples = 0;
  std::vector<int16_t> Samples;
  uint64_t SamplesRead = 0;   // at the clip's rate
  uint64_t SamplesSent = 0;   // at the encoder's
  bool SoundEnded = false;
  std::unique_ptr<SwrContext, TResamplerFree> Resampler;  // WebM: to a rate Opus takes
  std::vector<int16_t> Resampled;                         // and not yet sent
  bool ResamplerDrained = false;
  int64_t OpusDelay = 0;

  TPacketHolder Encoded;
};

}  // namespace

TCopyFormat CopyFormatOf(const std::string& Name, size_t Chosen) {
  size_t Dot = Name.find_last_of(".\\/:");
  if (Dot != std::string::npos && Name[Dot] == '.') {
    std::string Extension = Lower(Name.substr(Dot + 1));
    for (const TCopyType& Type : CopyTypes)
      if (Extension == Type.Extension) return Type.Format;
  }
  return CopyTypes[Chosen < std::size(CopyTypes) ? Chosen : 0].Format;
}

TCopyResult CopyClip(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info, TCopyFormat Format,
                     TCopyOutput& Output, const TCopyProgress& Progress) {
  TCopyResult Result;
  try {
    if (!Bytes) throw TCopyFailed{"there is no clip"};
    if (Format == TCopyFormat::Vivo) {
      // The clip byte for byte, whatever it holds.
      if (Progress && !Progress(0)) throw TCopyCancelled{};
      if (!Output.Write(reinterpret_cast<const uint8_t*>(Bytes->data()), Bytes->size())) throw TCopyFailed{Output.Failure};
      if (Progress && !Progress(1)) throw TCopyCancelled{};
    } else {
      TCopier(Bytes, Info, Format, Output, Progress).Run();
    }
    Result.Outcome = TCopyResult::Written;
  } catch (const TCopyFailed& Failure) {
    Result.Outcome = TCopyResult::Failed;
    Result.Reason = Failure.Reason;
  } catch (const TCopyCancelled&) {
    Result.Outcome = TCopyResult::Cancelled;
  } catch (const std::bad_alloc&) {
    Result.Outcome = TCopyResult::Failed;
    Result.Reason = "there is not enough memory";
  }
  return Result;
}
