// Saved copies read back with FFmpeg's own demuxers and decoders (native only: the control's
// FFmpeg reads Vivo files alone): each picture at the time the control shows it, the Matroska
// copy's pictures the clip's H.263 bytes, the MP4 and WebM copies' pictures close to the clip's,
// the sound as long and as loud; and copies that fail or are cancelled.
#include <doctest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "tests/unit/VivoRig.h"
#include "vvppweb/ClipExport.h"
#include "vvppweb/ClipMedia.h"
#include "vvppweb/MakeCorpus.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/MediaDemux.h"

extern "C" {
#include <libswresample/swresample.h>
}

namespace {

// A file in memory; writes fail, as on a full disk, past Room bytes.
struct TMemoryOutput : TCopyOutput {
  std::string Bytes;
  size_t Pos = 0;
  size_t Room = std::numeric_limits<size_t>::max();
  bool Write(const uint8_t* Data, size_t Size) override {
    if (Pos + Size > Room) {
      Failure = "There is not enough space on the disk";
      return false;
    }
    if (Bytes.size() < Pos + Size) Bytes.resize(Pos + Size);
    Bytes.replace(Pos, Size, reinterpret_cast<const char*>(Data), Size);
    Pos += Size;
    return true;
  }
  bool Seek(uint64_t Position) override {
    REQUIRE(Position <= Bytes.size());
    Pos = static_cast<size_t>(Position);
    return true;
  }
};

struct TPictureSeen {
  uint32_t Ms;
  int Width, Height;
  std::vector<uint8_t> Planes[3];
  bool Intra = false;
};

// A clip's pictures and sound as the control decodes them.
struct TOriginal {
  TClipInfo Info;
  std::vector<TPictureSeen> Pictures;
  std::vector<int16_t> Sound;
  uint32_t LengthMs = 0;
};

std::vector<uint8_t> Plane(const uint8_t* Data, int Stride, int Width, int Height) {
  std::vector<uint8_t> Out;
  for (int Row = 0; Row < Height; ++Row) Out.insert(Out.end(), Data + Row * Stride, Data + Row * Stride + Width);
  return Out;
}

TOriginal Decoded(const std::shared_ptr<const std::string>& Bytes) {
  TOriginal Clip;
  REQUIRE(ParseVivoFile(*Bytes, Clip.Info) == 0);
  int32_t Error = 0;
  std::unique_ptr<TClipMedia> Media = TClipMedia::Open(Bytes, Clip.Info, Error);
  REQUIRE(Media);
  Clip.LengthMs = Media->Scan().LengthMs;
  while (const TPicture* Next = Media->Ahead()) {
    Media->ShowUpTo(Next->TimeMs);
    const TPicture& P = *Media->Shown();
    TPictureSeen Seen{P.TimeMs, P.Width, P.Height, {}};
    for (int I = 0; I < 3; ++I)
      Seen.Planes[I] = Plane(P.Planes[I], P.Strides[I], I ? P.Width / 2 : P.Width, I ? P.Height / 2 : P.Height);
    Clip.Pictures.push_back(std::move(Seen));
  }
  int16_t Chunk[4096];
  while (size_t Got = Media->ReadSound(Chunk, 4096)) Clip.Sound.insert(Clip.Sound.end(), Chunk, Chunk + Got);
  return Clip;
}

// What FFmpeg reads from a copy: its streams, its video packets and everything decoded.
struct TCopyRead {
  std::string Container;
  double DurationMs = 0;
  AVCodecID Video = AV_CODEC_ID_NONE, Sound = AV_CODEC_ID_NONE;
  AVRational FrameRate{0, 1};
  int SampleRate = 0;
  std::vector<std::string> PacketBytes;
  std::vector<bool> PacketKeys;
  std::vector<TPictureSeen> Pictures;
  std::vector<int16_t> Samples;
  int64_t SoundLength = 0;  // in samples, as the container gives it
  std::vector<std::string> Tags;
};

void Receive(AVCodecContext* Decoder, AVFrame* Frame, AVRational Base, TCopyRead& Read) {
  while (avcodec_receive_frame(Decoder, Frame) == 0) {
    if (Decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
      TPictureSeen Seen{static_cast<uint32_t>(std::llround(Frame->best_effort_timestamp * av_q2d(Base) * 1000)),
                        Frame->width, Frame->height, {}, Frame->pict_type == AV_PICTURE_TYPE_I};
      for (int I = 0; I < 3; ++I)
        Seen.Planes[I] = Plane(Frame->data[I], Frame->linesize[I], I ? Frame->width / 2 : Frame->width,
                               I ? Frame->height / 2 : Frame->height);
      Read.Pictures.push_back(std::move(Seen));
    } else {
      for (int I = 0; I < Frame->nb_samples; ++I)
        Read.Samples.push_back(Frame->format == AV_SAMPLE_FMT_S16
                                   ? reinterpret_cast<const int16_t*>(Frame->data[0])[I]
                                   : static_cast<int16_t>(std::lrint(std::clamp(
                                         reinterpret_cast<const float*>(Frame->data[0])[I] * 32768.0f, -32768.0f, 32767.0f))));
    }
    av_frame_unref(Frame);
  }
}

TCopyRead ReadCopy(const std::string& Bytes) {
  TMediaInput Input;
  Input.Bytes = std::make_shared<const std::string>(Bytes);
  AVIOContext* Io = OpenMediaInput(Input);
  AVFormatContext* Format = avformat_alloc_context();
  Format->pb = Io;
  // The packets as stored: FFmpeg's H.263 parser would call every picture a whole one.
  Format->flags |= AVFMT_FLAG_NOPARSE | AVFMT_FLAG_NOFILLIN;
  REQUIRE(avformat_open_input(&Format, nullptr, nullptr, nullptr) == 0);
  TInputHolder Holder(Format);
  REQUIRE(avformat_find_stream_info(Format, nullptr) >= 0);
  TCopyRead Read;
  Read.Container = Format->iformat->name;
  Read.DurationMs = Format->duration / 1000.0;
  for (const char* Key : {"title", "artist", "copyright"})
    if (AVDictionaryEntry* Tag = av_dict_get(Format->metadata, Key, nullptr, 0)) Read.Tags.push_back(Tag->value);
  std::vector<TCodecHolder> Decoders(Format->nb_streams);
  for (unsigned I = 0; I < Format->nb_streams; ++I) {
    AVStream* Stream = Format->streams[I];
    if (Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      Read.Video = Stream->codecpar->codec_id;
      Read.FrameRate = Stream->r_frame_rate;
    } else {
      Read.Sound = Stream->codecpar->codec_id;
      Read.SampleRate = Stream->codecpar->sample_rate;
    }
    Decoders[I] = OpenDecoder(Stream);
    REQUIRE(Decoders[I]);
  }
  TPacketHolder Packet = NewPacket();
  TFrameHolder Frame = NewFrame();
  while (av_read_frame(Format, Packet.get()) >= 0) {
    AVStream* Stream = Format->streams[Packet->stream_index];
    if (Stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
      Read.SoundLength = std::max(Read.SoundLength, av_rescale_q(Packet->pts + Packet->duration, Stream->time_base,
                                                                 AVRational{1, Stream->codecpar->sample_rate}));
    if (Stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      Read.PacketBytes.emplace_back(reinterpret_cast<const char*>(Packet->data), static_cast<size_t>(Packet->size));
      Read.PacketKeys.push_back(Packet->flags & AV_PKT_FLAG_KEY);
    }
    REQUIRE(avcodec_send_packet(Decoders[Packet->stream_index].get(), Packet.get()) >= 0);
    Receive(Decoders[Packet->stream_index].get(), Frame.get(), Stream->time_base, Read);
    av_packet_unref(Packet.get());
  }
  for (unsigned I = 0; I < Format->nb_streams; ++I) {
    avcodec_send_packet(Decoders[I].get(), nullptr);
    Receive(Decoders[I].get(), Frame.get(), Format->streams[I]->time_base, Read);
  }
  Holder.reset();
  CloseMediaInput(Io);
  return Read;
}

// The clip's coded pictures straight from its Vivo packets: video packets of one sequence number
// in a row make one picture.
std::vector<std::string> CodedPictures(const std::string& Clip) {
  std::vector<std::string> Pictures;
  int Last = -1;
  for (const TPacketPlace& Packet : Packets(Clip)) {
    if (Packet.Type != 1 && Packet.Type != 2) {
      Last = -1;
      continue;
    }
    size_t TypeAt = static_cast<unsigned char>(Clip[Packet.Offset]) == 0x82 ? Packet.Offset + 1 : Packet.Offset;
    int Sequence = Clip[TypeAt] & 0x0F;
    if (Sequence != Last) Pictures.emplace_back();
    Last = Sequence;
    Pictures.back() += Clip.substr(Packet.Data, Packet.Length);
  }
  return Pictures;
}

double Psnr(const TPictureSeen& A, const TPictureSeen& B) {
  double Sum = 0, Count = 0;
  for (int I = 0; I < 3; ++I)
    for (size_t N = 0; N < A.Planes[I].size(); ++N) {
      double D = double(A.Planes[I][N]) - double(B.Planes[I][N]);
      Sum += D * D;
      ++Count;
    }
  return Sum == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * Count / Sum);
}

double Decibels(const std::vector<int16_t>& Sound) {
  double Sum = 0;
  for (int16_t S : Sound) Sum += double(S) * S;
  return 10 * std::log10(Sum / std::max<size_t>(1, Sound.size()) / (32768.0 * 32768.0));
}

// The clip with its header giving the sound another rate.
std::string WithSoundRate(const std::string& Clip, uint32_t Rate) {
  TClipInfo Info;
  REQUIRE(ParseVivoFile(Clip, Info) == 0);
  size_t TextAt = static_cast<unsigned char>(Clip[1]) & 0x80 ? 3 : 2;
  return HeaderPacket(Clip.substr(TextAt, Info.MediaOffset - TextAt) + "SamplingFrequency:" + std::to_string(Rate) +
                      "\r\n") +
         Clip.substr(Info.MediaOffset);
}

// Sound at From samples a second, resampled to To.
std::vector<int16_t> Resampled(const std::vector<int16_t>& Sound, int From, int To) {
  if (From == To) return Sound;
  AVChannelLayout Mono = AV_CHANNEL_LAYOUT_MONO;
  SwrContext* Resampler = nullptr;
  REQUIRE(swr_alloc_set_opts2(&Resampler, &Mono, AV_SAMPLE_FMT_S16, To, &Mono, AV_SAMPLE_FMT_S16, From, 0, nullptr) == 0);
  REQUIRE(swr_init(Resampler) == 0);
  std::vector<int16_t> Out(static_cast<size_t>(swr_get_out_samples(Resampler, static_cast<int>(Sound.size()))) + 256);
  auto* Into = reinterpret_cast<uint8_t*>(Out.data());
  const auto* In = reinterpret_cast<const uint8_t*>(Sound.data());
  int Made = swr_convert(Resampler, &Into, static_cast<int>(Out.size()), &In, static_cast<int>(Sound.size()));
  Into = reinterpret_cast<uint8_t*>(Out.data() + Made);
  Made += swr_convert(Resampler, &Into, static_cast<int>(Out.size()) - Made, nullptr, 0);
  swr_free(&Resampler);
  Out.resize(static_cast<size_t>(Made));
  return Out;
}

// How many samples B lags A, where they match best within 10 ms either way.
template <typename T>
int Lag(const std::vector<T>& A, const std::vector<T>& B, int Rate) {
  int Best = 0;
  double BestSum = -INFINITY;
  for (int Lag = -Rate / 100; Lag <= Rate / 100; ++Lag) {
    double Sum = 0;
    for (size_t I = static_cast<size_t>(std::max(0, -Lag)); I < A.size() && I + Lag < B.size(); ++I)
      Sum += double(A[I]) * B[I + Lag];
    if (Sum > BestSum) BestSum = Sum, Best = Lag;
  }
  return Best;
}

// The sound's loudness over the 2 ms up to each sample, less its mean: where a copy that keeps
// the sound but not its waveform (Opus codes speech by how it sounds) is in step with the clip.
std::vector<double> Envelope(const std::vector<int16_t>& Sound, int Rate) {
  const size_t Window = static_cast<size_t>(Rate / 500);
  std::vector<double> Out(Sound.size());
  double Sum = 0, Total = 0;
  for (size_t I = 0; I < Sound.size(); ++I) {
    Sum += std::abs(double(Sound[I])) - (I >= Window ? std::abs(double(Sound[I - Window])) : 0);
    Total += Out[I] = Sum;
  }
  for (double& Value : Out) Value -= Total / static_cast<double>(std::max<size_t>(1, Out.size()));
  return Out;
}

}  // namespace

TEST_CASE("a copy plays every picture at its time, with its sound, in Matroska as it is, in MP4 and WebM near it") {
  struct TCase {
    const char* Clip;
    uint32_t Rate;  // of the sound, as the header says; 0 leaves the clip's
    TCopyFormat Format;
    int Fps, Pictures, DropEvery;  // the pictures makeviv coded, the dropped ones left out
    AVCodecID Video, Sound;
  };
  const TCase Cases[] = {
      {"clock.viv", 0, TCopyFormat::Matroska, 15, 45, 0, AV_CODEC_ID_H263, AV_CODEC_ID_FLAC},
      {"clock.viv", 0, TCopyFormat::Mp4, 15, 45, 0, AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC},
      {"clock.viv", 0, TCopyFormat::WebM, 15, 45, 0, AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS},
      {"dropped.viv", 0, TCopyFormat::Matroska, 15, 45, 3, AV_CODEC_ID_H263, AV_CODEC_ID_FLAC},
      {"dropped.viv", 0, TCopyFormat::Mp4, 15, 45, 3, AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC},
      {"dropped.viv", 0, TCopyFormat::WebM, 15, 45, 3, AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS},
      {"siren.viv", 0, TCopyFormat::Matroska, 15, 30, 0, AV_CODEC_ID_H263, AV_CODEC_ID_FLAC},
      {"siren.viv", 0, TCopyFormat::Mp4, 15, 30, 0, AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC},
      {"siren.viv", 0, TCopyFormat::WebM, 15, 30, 0, AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS},
      // A rate Opus does not take: coded at the next it takes, 12000 Hz.
      {"clock.viv", 11025, TCopyFormat::Mp4, 15, 45, 0, AV_CODEC_ID_MPEG4, AV_CODEC_ID_AAC},
      {"clock.viv", 11025, TCopyFormat::WebM, 15, 45, 0, AV_CODEC_ID_VP9, AV_CODEC_ID_OPUS},
  };
  // Each MP4 copy's size, which the WebM copy of the same clip does not exceed.
  std::map<std::string, size_t> Mp4Sizes;
  for (const TCase& Case : Cases) {
    const bool Matroska = Case.Format == TCopyFormat::Matroska, WebM = Case.Format == TCopyFormat::WebM;
    const std::string Clip = std::string(Case.Clip) + (Case.Rate ? " at " + std::to_string(Case.Rate) + " Hz" : "");
    std::string Name = Clip + (Matroska ? " to .mkv" : WebM ? " to .webm" : " to .mp4");
    CAPTURE(Name);
    auto Bytes = std::make_shared<const std::string>(Case.Rate ? WithSoundRate(CorpusClip(Case.Clip), Case.Rate)
                                                               : CorpusClip(Case.Clip));
    TOriginal Original = Decoded(Bytes);
    TMemoryOutput Output;
    std::vector<double> Told;
    TCopyResult Result = CopyClip(Bytes, Original.Info, Case.Format, Output, [&](double Done) {
      Told.push_back(Done);
      return true;
    });
    REQUIRE_MESSAGE(Result.Outcome == TCopyResult::Written, Result.Reason);
    REQUIRE(Told.size() > 10);
    CHECK(std::is_sorted(Told.begin(), Told.end()));
    CHECK(Told.back() == 1.0);

    TCopyRead Copy = ReadCopy(Output.Bytes);
    CHECK(Copy.Container == (Case.Format == TCopyFormat::Mp4 ? "mov,mp4,m4a,3gp,3g2,mj2" : "matroska,webm"));
    CHECK(Copy.Video == Case.Video);
    CHECK(Copy.Sound == Case.Sound);
    CHECK(Copy.FrameRate.num == Case.Fps * Copy.FrameRate.den);
    CHECK(Copy.Tags == std::vector<std::string>{"The clock", "makeviv", "Free to copy"});
    // The clip's length, within a picture.
    INFO("length " << Original.LengthMs << " ms, copy " << Copy.DurationMs << " ms");
    CHECK(std::abs(Copy.DurationMs - Original.LengthMs) <= 1000.0 / Case.Fps);

    // Every picture at the time it was coded for, the dropped ones' time left empty.
    std::vector<uint32_t> Times;
    for (int N = 0; N < Case.Pictures; ++N)
      if (!Case.DropEvery || N % Case.DropEvery != Case.DropEvery - 1) Times.push_back(uint32_t(std::lround(N * 1000.0 / Case.Fps)));
    REQUIRE(Original.Pictures.size() == Times.size());
    REQUIRE(Copy.Pictures.size() == Times.size());
    double Lowest = 99;
    for (size_t I = 0; I < Times.size(); ++I) {
      CAPTURE(I);
      CHECK(std::abs(int(Copy.Pictures[I].Ms) - int(Times[I])) <= 1);
      CHECK(Original.Pictures[I].Ms == Times[I]);
      REQUIRE(Copy.Pictures[I].Width == Original.Pictures[I].Width);
      REQUIRE(Copy.Pictures[I].Height == Original.Pictures[I].Height);
      Lowest = std::min(Lowest, Psnr(Copy.Pictures[I], Original.Pictures[I]));
    }
    INFO(Name << ": " << Output.Bytes.size() << " bytes, pictures at least " << Lowest << " dB");
    // Opus is read back at its own clock, whatever rate it was coded at.
    const int Rate = int(Original.Info.SampleRate);
    CHECK(Copy.SampleRate == (WebM ? 48000 : Rate));
    if (Matroska) {
      // The clip's own coded pictures, byte for byte, the whole ones marked as such; the sound
      // as the control plays it, every sample.
      CHECK(Copy.PacketBytes == CodedPictures(*Bytes));
      CHECK(Lowest == 99);
      for (size_t I = 0; I < Copy.PacketKeys.size(); ++I) CHECK(Copy.PacketKeys[I] == Copy.Pictures[I].Intra);
      CHECK(Copy.Samples == Original.Sound);
    } else {
      CHECK(Lowest >= 38);
      if (WebM) {
        REQUIRE(Mp4Sizes.count(Clip));
        CHECK(Output.Bytes.size() <= Mp4Sizes[Clip]);
      } else {
        Mp4Sizes[Clip] = Output.Bytes.size();
      }
      // As long as the clip's, to a sample of its rate (an AAC coder's last frame is padded, as
      // its length says; an Opus reader drops the padding), as loud and in step.
      std::vector<int16_t> Heard = Resampled(Copy.Samples, Copy.SampleRate, Rate);
      INFO(Name << ": " << Original.Sound.size() << " samples, copy " << (WebM ? Heard.size() : Copy.SoundLength));
      CHECK(std::abs((WebM ? int64_t(Heard.size()) : Copy.SoundLength) - int64_t(Original.Sound.size())) <=
            (Case.Rate ? 1 : 0));
      REQUIRE(Heard.size() + 1 >= Original.Sound.size());
      Heard.resize(Original.Sound.size());
      INFO(Name << ": sound " << Decibels(Original.Sound) << " dB, copy " << Decibels(Heard) << " dB");
      if (WebM) {
        // In step to a millisecond, and as loud within what a speech coder keeps (the Siren
        // clip's near-silent noise included).
        CHECK(std::abs(Lag(Envelope(Original.Sound, Rate), Envelope(Heard, Rate), Rate)) <= Rate / 1000);
        CHECK(std::abs(Decibels(Heard) - Decibels(Original.Sound)) <= 1.5);
      } else {
        CHECK(Lag(Original.Sound, Heard, Rate) == 0);
        CHECK(std::abs(Decibels(Heard) - Decibels(Original.Sound)) <= 0.5);
      }
    }
  }
}

TEST_CASE("the type follows the name's extension, else the dialog's choice; a Vivo copy is the clip's bytes") {
  struct TCase {
    const char* Name;
    size_t Chosen;
    TCopyFormat Format;
  };
  const TCase Cases[] = {
      {"C:\\clips\\a.mkv", 0, TCopyFormat::Matroska}, {"a.MP4", 1, TCopyFormat::Mp4},
      {"a.Viv", 2, TCopyFormat::Vivo},                {"a", 2, TCopyFormat::Mp4},
      {"a", 1, TCopyFormat::Matroska},                {"a.txt", 1, TCopyFormat::Matroska},
      {"C:\\x.mp4\\a", 0, TCopyFormat::Vivo},         {"a.mkv.", 2, TCopyFormat::Mp4},
      {"a.WebM", 0, TCopyFormat::WebM},               {"a", 3, TCopyFormat::WebM},
  };
  for (const TCase& Case : Cases) {
    CAPTURE(Case.Name);
    CHECK(CopyFormatOf(Case.Name, Case.Chosen) == Case.Format);
  }
  auto Bytes = std::make_shared<const std::string>(CorpusClip("flipped.viv"));
  TClipInfo Info;
  REQUIRE(ParseVivoFile(*Bytes, Info) == 0);
  TMemoryOutput Output;
  TCopyResult Result = CopyClip(Bytes, Info, TCopyFormat::Vivo, Output, nullptr);
  CHECK(Result.Outcome == TCopyResult::Written);
  CHECK(Output.Bytes == *Bytes);
}

TEST_CASE("a copy that cannot be made says why; a cancelled one stops") {
  struct TCase {
    const char* Clip;
    TCopyFormat Format;
    size_t Room;
    double CancelAt;
    TCopyResult::TOutcome Outcome;
    const char* Reason;
  };
  const size_t Any = std::numeric_limits<size_t>::max();
  const TCase Cases[] = {
      {"header-only.viv", TCopyFormat::Mp4, Any, 2, TCopyResult::Failed,
       "the clip is a header only, without pictures or sound of its own; it can be saved as a Vivo clip"},
      {"header-only.viv", TCopyFormat::WebM, Any, 2, TCopyResult::Failed,
       "the clip is a header only, without pictures or sound of its own; it can be saved as a Vivo clip"},
      {"garbage-only.viv", TCopyFormat::Matroska, Any, 2, TCopyResult::Failed, "nothing in it decodes"},
      {"garbage-only.viv", TCopyFormat::WebM, Any, 2, TCopyResult::Failed, "nothing in it decodes"},
      {"clock.viv", TCopyFormat::WebM, 20000, 2, TCopyResult::Failed, "There is not enough space on the disk"},
      {"clock.viv", TCopyFormat::Mp4, 20000, 2, TCopyResult::Failed, "There is not enough space on the disk"},
      {"clock.viv", TCopyFormat::Vivo, 20000, 2, TCopyResult::Failed, "There is not enough space on the disk"},
      {"siren.viv", TCopyFormat::Matroska, Any, 0.5, TCopyResult::Cancelled, ""},
      {"siren.viv", TCopyFormat::WebM, Any, 0.5, TCopyResult::Cancelled, ""},
  };
  for (const TCase& Case : Cases) {
    std::string Name = Case.Clip;
    CAPTURE(Name);
    auto Bytes = std::make_shared<const std::string>(CorpusClip(Case.Clip));
    TClipInfo Info;
    REQUIRE(ParseVivoFile(*Bytes, Info) == 0);
    TMemoryOutput Output;
    Output.Room = Case.Room;
    double Last = 0;
    int After = 0;
    TCopyResult Result = CopyClip(Bytes, Info, Case.Format, Output, [&](double Done) {
      After += Last >= Case.CancelAt;
      Last = Done;
      return Done < Case.CancelAt;
    });
    CHECK(Result.Outcome == Case.Outcome);
    CHECK(Result.Reason == Case.Reason);
    // Nothing is asked after the answer that cancelled.
    CHECK(After == 0);
  }
}

TEST_CASE("a Matroska copy holds a few packets at a time, however long the clip") {
  // Its pictures are copied from packets read for them alone: reading the sound must not keep
  // every picture packet of the clip on the way.
  const std::string Clock = CorpusClip("clock.viv");
  struct TCase {
    size_t Copies;
    size_t Peak = 0;
  };
  TCase Cases[] = {{1}, {100}};
  for (TCase& Case : Cases) {
    CAPTURE(Case.Copies);
    auto Bytes = std::make_shared<const std::string>(Case.Copies == 1 ? Clock : RepeatMedia(Clock, Case.Copies));
    TClipInfo Info;
    REQUIRE(ParseVivoFile(*Bytes, Info) == 0);
    TMemoryOutput Output;
    TakePeakMediaPackets();
    TCopyResult Result = CopyClip(Bytes, Info, TCopyFormat::Matroska, Output, nullptr);
    Case.Peak = TakePeakMediaPackets();
    REQUIRE_MESSAGE(Result.Outcome == TCopyResult::Written, Result.Reason);
  }
  INFO("packets held at most: " << Cases[0].Peak << " copying the clip, " << Cases[1].Peak << " copying it "
                                << Cases[1].Copies << " times over");
  CHECK(Cases[1].Peak <= Cases[0].Peak);
  CHECK(Cases[1].Peak <= 4);
}
