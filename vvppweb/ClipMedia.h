// A clip's pictures and sound, demuxed and decoded by FFmpeg (libavformat's Vivo demuxer,
// libavcodec's H.263, G.723.1 and Siren decoders) from the bytes we fetched, which FFmpeg reads
// through an AVIO of ours (MediaInput.h). No windows, no threads: the engine asks for the picture
// due at its clock and for the next stretch of sound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vvppweb/VivoFile.h"

// A decoded picture: YUV 4:2:0 planes owned by the clip, valid until the clip moves on.
struct TPicture {
  int Width = 0;
  int Height = 0;
  const uint8_t* Planes[3] = {};
  int Strides[3] = {};
  uint32_t TimeMs = 0;  // when it is due, from the start of the clip
  uint64_t Serial = 0;  // another value for every picture decoded in the process
};

// What one pass over all packets found, before anything is decoded.
struct TMediaScan {
  // Of every coded picture, in clip order (PictureTimes.h); pictures later than the longest clip
  // we play are left out.
  std::vector<uint32_t> PictureTimes;
  double PictureMs = 0;                // the length of one picture
  uint64_t SoundPackets = 0;
  uint64_t SoundSamples = 0;           // as the sound packets' frames add up
  uint32_t LengthMs = 0;               // the later of the last picture's end and the sound's end
  bool Damaged = false;                // the demuxer stopped at a packet it could not read
};

class TClipMedia {
public:
  // Opens the media packets of a clip whose header is Info (not HeaderOnly) and decodes ahead
  // to its first picture and its first sound; Known, when given, is this clip's scan from an
  // earlier opening, which spares the pass over all packets. Nothing when neither decodes:
  // Error is then VivoUnplayable (VivoOutOfMemory when memory ran out).
  static std::unique_ptr<TClipMedia> Open(std::shared_ptr<const std::string> Bytes, const TClipInfo& Info,
                                          int32_t& Error, std::shared_ptr<const TMediaScan> Known = nullptr);
  ~TClipMedia();
  TClipMedia(const TClipMedia&) = delete;
  TClipMedia& operator=(const TClipMedia&) = delete;

  const TMediaScan& Scan() const { return *ScanResult; }
  std::shared_ptr<const TMediaScan> SharedScan() const { return ScanResult; }
  uint32_t SampleRate() const;
  bool HasPictures() const;  // a picture decoded
  bool HasSound() const;     // sound decoded
  const char* SoundCodec() const;  // "G.723.1" or "Siren"

  // Back to the start of the clip, nothing shown; all or nothing: false (and the clip as it
  // was) when it cannot be read again.
  bool Restart();

  // The calls below decode as they must. When memory runs out they throw std::bad_alloc, and
  // the clip is of no further use.

  // Shows the picture due at Ms, the last whose time is not after it, decoding what it must.
  // True when that is another picture than before.
  bool ShowUpTo(uint32_t Ms);
  // The picture shown, and the next one (decoded ahead); none before the first and at the end.
  const TPicture* Shown() const;
  const TPicture* Ahead() const;

  // From now on (until Restart) the sound alone is read: the pictures are let go and their
  // packets passed over, for a reader that takes the pictures from elsewhere and would otherwise
  // have all of them held on the way to the sound.
  void DropPictures();

  // The next Count samples of sound, 16-bit mono at SampleRate(); fewer at its end.
  size_t ReadSound(int16_t* Out, size_t Count);
  // Passes over Count samples.
  void SkipSound(uint64_t Count);

private:
  class TReader;
  TClipMedia(std::shared_ptr<const std::string> Bytes, const TClipInfo& Info, std::shared_ptr<const TMediaScan> Scan,
             std::unique_ptr<TReader> Reader);
  std::shared_ptr<const std::string> Bytes;
  TClipInfo Info;
  std::shared_ptr<const TMediaScan> ScanResult;
  std::unique_ptr<TReader> Reader;
  bool PicturesDecoded = false;
  bool SoundDecoded = false;
};

// The most packets all clips' readers held at once, read and not yet decoded, since the last
// call: for the tests, which see that a reader holds only those its decoding is about to ask for.
size_t TakePeakMediaPackets();

// A clip's scan: the times of its pictures (ours, from the FPS header and the temporal
// references, PictureTimes.h), its sound and its length. Nothing when FFmpeg cannot read its
// packets. Throws std::bad_alloc when memory runs out.
std::shared_ptr<const TMediaScan> ScanMedia(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info);
