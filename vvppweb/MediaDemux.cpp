// Opening a clip's media packets with FFmpeg's Vivo demuxer, and its decoders.
#include "vvppweb/MediaDemux.h"

#include <new>

TFrameHolder NewFrame() {
  TFrameHolder Frame(av_frame_alloc());
  if (!Frame) throw std::bad_alloc();
  return Frame;
}

TPacketHolder NewPacket() {
  TPacketHolder Packet(av_packet_alloc());
  if (!Packet) throw std::bad_alloc();
  return Packet;
}

std::string MediaHeaderPacket(const TClipInfo& Info) {
  std::string Text = std::string("\r\nVersion:Vivo/") + (Info.Major >= 2 ? "2.00" : "1.00") +
                     "\r\nSamplingFrequency:" + std::to_string(Info.SampleRate) + "\r\n";
  return std::string(1, '\0') + static_cast<char>(Text.size()) + Text;
}

TDemuxer::~TDemuxer() {
  Format.reset();
  CloseMediaInput(Io);
}

std::unique_ptr<TDemuxer> TDemuxer::Open(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info) {
  if (!Bytes || Info.MediaOffset >= Bytes->size()) return nullptr;
  std::unique_ptr<TDemuxer> Demuxer(new TDemuxer);
  Demuxer->Input.Header = MediaHeaderPacket(Info);
  Demuxer->Input.Bytes = Bytes;
  Demuxer->Input.Offset = Info.MediaOffset;
  Demuxer->Io = OpenMediaInput(Demuxer->Input);
  AVFormatContext* Format = avformat_alloc_context();
  if (!Demuxer->Io || !Format) {
    avformat_free_context(Format);
    throw std::bad_alloc();
  }
  Format->pb = Demuxer->Io;
  Format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // On failure avformat_open_input frees the context, though not our AVIO.
  int Result = avformat_open_input(&Format, nullptr, av_find_input_format("vivo"), nullptr);
  if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
  if (Result < 0) return nullptr;
  Demuxer->Format.reset(Format);
  Demuxer->Video = av_find_best_stream(Format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  Demuxer->Sound = av_find_best_stream(Format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  if (Demuxer->Video < 0 && Demuxer->Sound < 0) return nullptr;
  return Demuxer;
}

bool TDemuxer::Read(AVPacket* Packet) {
  int Result = av_read_frame(Format.get(), Packet);
  if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
  if (Result >= 0) return true;
  Broken = Result != AVERROR_EOF;
  return false;
}

TCodecHolder OpenDecoder(AVStream* Stream) {
  AVCodecParameters* Parameters = Stream->codecpar;
  // FFmpeg 5.1's demuxer names the picture codec for Vivo 1 only; Vivo 2 pictures are H.263 too.
  if (Parameters->codec_type == AVMEDIA_TYPE_VIDEO && Parameters->codec_id == AV_CODEC_ID_NONE)
    Parameters->codec_id = AV_CODEC_ID_H263;
  const AVCodec* Codec = avcodec_find_decoder(Parameters->codec_id);
  if (!Codec) return nullptr;
  TCodecHolder Context(avcodec_alloc_context3(Codec));
  if (!Context) throw std::bad_alloc();
  Context->thread_count = 1;
  int Result = avcodec_parameters_to_context(Context.get(), Parameters);
  if (Result >= 0) Result = avcodec_open2(Context.get(), Codec, nullptr);
  if (Result == AVERROR(ENOMEM)) throw std::bad_alloc();
  return Result < 0 ? nullptr : std::move(Context);
}
