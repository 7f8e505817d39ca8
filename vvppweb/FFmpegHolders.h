// Owners of FFmpeg's contexts, frames and packets: each freed by FFmpeg's own function when its
// holder goes, whatever way the code leaves.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct TCodecFree {
  void operator()(AVCodecContext* Context) const { avcodec_free_context(&Context); }
};
struct TFrameFree {
  void operator()(AVFrame* Frame) const { av_frame_free(&Frame); }
};
struct TPacketFree {
  void operator()(AVPacket* Packet) const { av_packet_free(&Packet); }
};
// An input context of avformat_open_input: closed, which also frees it.
struct TInputClose {
  void operator()(AVFormatContext* Format) const { avformat_close_input(&Format); }
};

using TCodecHolder = std::unique_ptr<AVCodecContext, TCodecFree>;
using TFrameHolder = std::unique_ptr<AVFrame, TFrameFree>;
using TPacketHolder = std::unique_ptr<AVPacket, TPacketFree>;
using TInputHolder = std::unique_ptr<AVFormatContext, TInputClose>;

// Allocations that throw std::bad_alloc rather than hand out nullptr.
TFrameHolder NewFrame();
TPacketHolder NewPacket();
