// Coding a clip's pictures and sound (the demo's, or a pattern's) with libavcodec, packed in
// Vivo packets.
#include "vvppweb/ClipEncoder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "vvppweb/DemoPicture.h"
#include "vvppweb/MakeVivo.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr uint32_t SoundRate = 8000;

bool IsPlainH263Size(int Width, int Height) {
  static constexpr int Sizes[][2] = {{128, 96}, {176, 144}, {352, 288}, {704, 576}, {1408, 1152}};
  for (const auto& Size : Sizes)
    if (Width == Size[0] && Height == Size[1]) return true;
  return false;
}

// Writes the temporal reference of picture Number of a clip of Fps pictures a second into the
// coded picture, as the encoder would had every picture before it been coded: the 8 bits after
// the 22-bit start code, counting 30000/1001 Hz.
void SetTemporalReference(std::string& Coded, uint32_t Number, double Fps) {
  if (Coded.size() < 4) return;
  auto Tr = static_cast<unsigned>(std::floor(Number * 30000.0 / (1001.0 * Fps) + 1e-9)) & 0xFF;
  Coded[2] = static_cast<char>((static_cast<unsigned char>(Coded[2]) & 0xFC) | (Tr >> 6));
  Coded[3] = static_cast<char>((static_cast<unsigned char>(Coded[3]) & 0x03) | ((Tr & 0x3F) << 2));
}

[[noreturn]] void Fail(const std::string& What) { throw std::runtime_error(What); }

std::string Receive(AVCodecContext* Context) {
  std::string Coded;
  AVPacket* Packet = av_packet_alloc();
  if (!Packet) Fail("out of memory");
  while (avcodec_receive_packet(Context, Packet) == 0) {
    Coded.append(reinterpret_cast<const char*>(Packet->data), static_cast<size_t>(Packet->size));
    av_packet_unref(Packet);
  }
  av_packet_free(&Packet);
  return Coded;
}

}  // namespace

bool IsCodablePictureSize(int Width, int Height) {
  return IsPlainH263Size(Width, Height) ||
         (Width % 4 == 0 && Height % 4 == 0 && Width >= 4 && Height >= 4 && Width <= 2048 && Height <= 1152);
}

TPictureEncoder::TPictureEncoder(int Width, int Height, double Fps, int Quantiser) {
  av_log_set_level(AV_LOG_ERROR);
  if (!IsCodablePictureSize(Width, Height))
    Fail("H.263 pictures are 128 x 96, 176 x 144, 352 x 288, 704 x 576 or 1408 x 1152, or multiples of 4 "
         "up to 2048 x 1152");
  const AVCodec* Codec = avcodec_find_encoder(IsPlainH263Size(Width, Height) ? AV_CODEC_ID_H263 : AV_CODEC_ID_H263P);
  if (!Codec || !(Context = avcodec_alloc_context3(Codec)) || !(Frame = av_frame_alloc())) Fail("no H.263 encoder");
  Context->width = Width;
  Context->height = Height;
  Context->pix_fmt = AV_PIX_FMT_YUV420P;
  AVRational Rate = av_d2q(Fps, 1000);
  Context->time_base = AVRational{Rate.den, Rate.num};
  Context->framerate = Rate;
  // A whole picture every two seconds, so a damaged stretch heals soon.
  Context->gop_size = std::max(1, static_cast<int>(std::lround(Fps * 2)));
  Context->max_b_frames = 0;
  Context->thread_count = 1;
  Context->flags |= AV_CODEC_FLAG_QSCALE;
  Context->global_quality = FF_QP2LAMBDA * Quantiser;
  if (avcodec_open2(Context, Codec, nullptr) < 0) Fail("the H.263 encoder refuses that size or rate");
  Frame->format = AV_PIX_FMT_YUV420P;
  Frame->width = Width;
  Frame->height = Height;
  if (av_frame_get_buffer(Frame, 0) < 0) Fail("out of memory");
  Converter = sws_getContext(Width, Height, AV_PIX_FMT_BGR0, Width, Height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                             nullptr, nullptr, nullptr);
  if (!Converter) Fail("no picture converter");
}

TPictureEncoder::~TPictureEncoder() {
  sws_freeContext(Converter);
  av_frame_free(&Frame);
  avcodec_free_context(&Context);
}

std::string TPictureEncoder::Encode(const std::vector<uint32_t>& Pixels) {
  if (Pixels.size() != static_cast<size_t>(Context->width) * static_cast<size_t>(Context->height))
    Fail("a picture of the wrong size");
  if (av_frame_make_writable(Frame) < 0) Fail("out of memory");
  const uint8_t* Source[4] = {reinterpret_cast<const uint8_t*>(Pixels.data()), nullptr, nullptr, nullptr};
  int SourceStride[4] = {Context->width * 4, 0, 0, 0};
  sws_scale(Converter, Source, SourceStride, 0, Context->height, Frame->data, Frame->linesize);
  Frame->pts = Number++;
  Frame->quality = Context->global_quality;
  if (avcodec_send_frame(Context, Frame) < 0) Fail("the H.263 encoder failed");
  std::string Coded = Receive(Context);
  if (Coded.empty()) Fail("the H.263 encoder gave no picture");
  return Coded;
}

TSoundEncoder::TSoundEncoder() {
  av_log_set_level(AV_LOG_ERROR);
  const AVCodec* Codec = avcodec_find_encoder(AV_CODEC_ID_G723_1);
  if (!Codec || !(Context = avcodec_alloc_context3(Codec)) || !(Frame = av_frame_alloc())) Fail("no G.723.1 encoder");
  Context->sample_rate = SoundRate;
  Context->sample_fmt = AV_SAMPLE_FMT_S16;
  Context->bit_rate = 6300;
  av_channel_layout_default(&Context->ch_layout, 1);
  if (avcodec_open2(Context, Codec, nullptr) < 0) Fail("the G.723.1 encoder does not open");
  Frame->format = AV_SAMPLE_FMT_S16;
  Frame->nb_samples = static_cast<int>(FrameSamples);
  Frame->sample_rate = SoundRate;
  av_channel_layout_default(&Frame->ch_layout, 1);
  if (av_frame_get_buffer(Frame, 0) < 0) Fail("out of memory");
}

TSoundEncoder::~TSoundEncoder() {
  av_frame_free(&Frame);
  avcodec_free_context(&Context);
}

std::string TSoundEncoder::Encode(const int16_t* Samples) {
  if (av_frame_make_writable(Frame) < 0) Fail("out of memory");
  std::copy_n(Samples, FrameSamples, reinterpret_cast<int16_t*>(Frame->data[0]));
  if (avcodec_send_frame(Context, Frame) < 0) Fail("the G.723.1 encoder failed");
  std::string Coded = Receive(Context);
  if (Coded.size() != 24) Fail("the G.723.1 encoder gave a frame of " + std::to_string(Coded.size()) + " bytes");
  return Coded;
}

std::vector<TCodedPicture> DemoPictures(const TClipOptions& Options, uint32_t First, uint32_t Count) {
  TPictureEncoder Encoder(Options.Width, Options.Height, Options.Fps, Options.Quantiser);
  std::vector<TCodedPicture> Pictures;
  for (uint32_t Number = First; Number < First + Count; ++Number) {
    if (Options.DropEvery && Number % Options.DropEvery == Options.DropEvery - 1) continue;
    double Ms = Number * 1000.0 / Options.Fps;
    std::string Coded = Encoder.Encode(Options.DrawPicture(Options.Width, Options.Height, static_cast<uint32_t>(std::lround(Ms)), Number));
    // The H.263+ encoder counts its own picture clock; ours is plain H.263's.
    if (IsPlainH263Size(Options.Width, Options.Height)) SetTemporalReference(Coded, Number, Options.Fps);
    Pictures.push_back({Ms, std::move(Coded)});
  }
  return Pictures;
}

std::string DemoPackets(const TClipOptions& Options, uint32_t First, uint32_t Count) {
  TSoundEncoder Sound;
  std::string Bytes;
  double FrameMs = 1000.0 * TSoundEncoder::FrameSamples / SoundRate;
  // Sound frames from the first picture's time on, each before the picture it starts before.
  auto SoundFrame = static_cast<uint64_t>(std::ceil(First * 1000.0 / Options.Fps / FrameMs - 1e-9));
  int16_t Samples[TSoundEncoder::FrameSamples];
  auto WriteSoundUpTo = [&](double Ms) {
    for (; Options.Sound && SoundFrame * FrameMs < Ms; ++SoundFrame) {
      for (size_t I = 0; I < TSoundEncoder::FrameSamples; ++I)
        Samples[I] = Options.SoundSample(SoundFrame * TSoundEncoder::FrameSamples + I, SoundRate);
      Bytes += SoundPacket(static_cast<int>(SoundFrame % 16), Sound.Encode(Samples));
    }
  };
  int Sequence = static_cast<int>(First % 16);
  for (const TCodedPicture& Picture : DemoPictures(Options, First, Count)) {
    WriteSoundUpTo(Picture.Ms + 1e-6);
    Bytes += VideoPackets(Sequence++ % 16, Picture.Bytes);
  }
  WriteSoundUpTo((First + Count) * 1000.0 / Options.Fps);
  return Bytes;
}

std::string MakeDemoClip(const TClipOptions& Options) {
  TMakeVivoOptions Header;
  Header.Width = Options.Width;
  Header.Height = Options.Height;
  Header.DurationMs = Options.DurationMs;
  Header.Fps = Options.Fps;
  auto Count = static_cast<uint32_t>(std::ceil(Options.DurationMs * Options.Fps / 1000.0 - 1e-9));
  return HeaderPacket(VivoHeaderText(Header, 1, Options.Fields)) + DemoPackets(Options, 0, std::max(1u, Count)) +
         EndPacket();
}
