// A clip's media packets, read by FFmpeg's Vivo demuxer through our AVIO over the fetched bytes
// (MediaInput.h), with the header packet of ours that tells the demuxer the version and rate.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "vvppweb/FFmpegHolders.h"
#include "vvppweb/MediaInput.h"
#include "vvppweb/VivoFile.h"

// The text header FFmpeg reads instead of the clip's own, which has been read already: the
// version (0.90 and 1.x as 1.00, as we decode them) and the sampling rate, in the exact form
// the demuxer understands whatever letter case and spacing the clip used.
std::string MediaHeaderPacket(const TClipInfo& Info);

class TDemuxer {
public:
  // The demuxer over the media packets of a clip whose header is Info; nullptr when FFmpeg
  // cannot open them. Throws std::bad_alloc when memory runs out.
  static std::unique_ptr<TDemuxer> Open(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info);
  TDemuxer(const TDemuxer&) = delete;
  TDemuxer& operator=(const TDemuxer&) = delete;
  ~TDemuxer();

  // The streams as FFmpeg's best-stream choice finds them; -1 when the clip has none of that kind.
  int VideoIndex() const { return Video; }
  int SoundIndex() const { return Sound; }
  AVStream* Stream(int Index) const { return Format->streams[Index]; }
  // The next packet into Packet; false at the end of what can be read (Damaged tells whether
  // that was the clip's end or a packet that could not be read).
  bool Read(AVPacket* Packet);
  bool Damaged() const { return Broken; }

private:
  TDemuxer() = default;
  // Declared in the order they must go: the format closes before our AVIO, which reads Input.
  TMediaInput Input;
  AVIOContext* Io = nullptr;
  TInputHolder Format;
  int Video = -1;
  int Sound = -1;
  bool Broken = false;
};

// Opens a decoder for Stream (Vivo 2 pictures, which FFmpeg 5.1 leaves unnamed, as H.263);
// nullptr when there is none for it. Throws std::bad_alloc when memory runs out.
TCodecHolder OpenDecoder(AVStream* Stream);
