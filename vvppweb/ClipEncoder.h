// Coding clips: pictures with libavcodec's H.263 encoder, sound with its G.723.1 encoder,
// packed in Vivo packets as the demuxer reads them. Native builds only: Debian's libavcodec has
// the encoders, while the control's own FFmpeg decodes only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vvppweb/DemoPicture.h"

struct AVCodecContext;
struct AVFrame;
struct SwsContext;

struct TClipOptions {
  int Width = 176;
  int Height = 144;
  uint32_t DurationMs = 5000;
  double Fps = 15.0;
  bool Sound = true;
  int Quantiser = 4;  // 2 (finest) to 31
  // Every DropEvery-th picture left out, as encoders did when the line was slow: the temporal
  // references of the others still count it, the picture numbering does not. 0 keeps them all.
  uint32_t DropEvery = 0;
  // Header lines after the technical ones, each ending with CR LF.
  std::string Fields = "Title:Demo clip\r\nAuthor:makeviv\r\nCopyright:Free to copy\r\n";
  // What the clip shows and plays: the demo picture and tone unless another pattern is given
  // (same contracts as DemoPicture and DemoTone).
  std::vector<uint32_t> (*DrawPicture)(int Width, int Height, uint32_t Ms, uint32_t Number) = DemoPicture;
  int16_t (*SoundSample)(uint64_t Sample, uint32_t Rate) = DemoTone;
};

// The sizes the H.263 encoder takes as they are; any other must be a multiple of 4 no larger
// than 2048 x 1152, which goes through the H.263+ encoder.
bool IsCodablePictureSize(int Width, int Height);

// Pictures in, one coded H.263 picture out for each.
class TPictureEncoder {
public:
  // Throws std::runtime_error when the encoder refuses the size or rate.
  TPictureEncoder(int Width, int Height, double Fps, int Quantiser);
  ~TPictureEncoder();
  TPictureEncoder(const TPictureEncoder&) = delete;
  TPictureEncoder& operator=(const TPictureEncoder&) = delete;
  // One picture of Width x Height pixels 0x00RRGGBB, top row first.
  std::string Encode(const std::vector<uint32_t>& Pixels);

private:
  AVCodecContext* Context = nullptr;
  AVFrame* Frame = nullptr;
  SwsContext* Converter = nullptr;
  int64_t Number = 0;
};

// Sound in, G.723.1 frames of 24 bytes out: 240 samples at 8000 Hz each.
class TSoundEncoder {
public:
  static constexpr size_t FrameSamples = 240;
  TSoundEncoder();
  ~TSoundEncoder();
  TSoundEncoder(const TSoundEncoder&) = delete;
  TSoundEncoder& operator=(const TSoundEncoder&) = delete;
  std::string Encode(const int16_t* Samples);

private:
  AVCodecContext* Context = nullptr;
  AVFrame* Frame = nullptr;
};

// A Vivo 1.00 clip of Options' picture and sound (the demo's by default). Throws std::runtime_error when
// the encoders refuse its values.
std::string MakeDemoClip(const TClipOptions& Options);

// A coded picture and the time it is meant for.
struct TCodedPicture {
  double Ms;
  std::string Bytes;
};

// Pictures First to First + Count - 1 of a clip of Options' size and rate, coded (the
// dropped ones left out). The first is a whole picture.
std::vector<TCodedPicture> DemoPictures(const TClipOptions& Options, uint32_t First, uint32_t Count);

// The media packets of those pictures, with the sound's G.723.1 frames between them when
// Options.Sound says so, from the first picture's time to the time after the last. For clips
// put together from several parts (tests).
std::string DemoPackets(const TClipOptions& Options, uint32_t First, uint32_t Count);
