// Saving a copy of a clip in a form today's players open. Besides the Vivo file as it is: a
// Matroska file of the clip's own H.263 pictures, unchanged, with its sound lossless (FLAC), an
// MPEG-4 file (MPEG-4 Part 2 pictures, AAC-LC sound) for what plays nothing else, or a WebM file
// (VP9 pictures, Opus sound) for web pages. Each picture keeps the time the control shows it at
// (PictureTimes.h), not the one FFmpeg's demuxer gives.
// No windows and no threads: the caller opens the file, runs this on a worker and puts the file
// in place once it is whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "vvppweb/VivoFile.h"

enum class TCopyFormat { Vivo, Matroska, Mp4, WebM };

struct TCopyType {
  TCopyFormat Format;
  const char* Description;  // as the save dialog lists it
  const char* Extension;    // without the dot
};

// The types a copy can be saved as, in the order the dialog lists them.
inline constexpr TCopyType CopyTypes[] = {
    {TCopyFormat::Vivo, "Vivo clip (*.viv)", "viv"},
    {TCopyFormat::Matroska, "Matroska, pictures as they are (*.mkv)", "mkv"},
    {TCopyFormat::Mp4, "MPEG-4 video (*.mp4)", "mp4"},
    {TCopyFormat::WebM, "WebM video for web pages (*.webm)", "webm"},
};

// The type a copy named Name is written as when the dialog's type Chosen (an index of
// CopyTypes) was picked: the name's extension, in any letter case, when it is one of theirs;
// otherwise the type picked.
TCopyFormat CopyFormatOf(const std::string& Name, size_t Chosen);

// Where a copy's bytes go, from position 0 on.
class TCopyOutput {
public:
  virtual ~TCopyOutput() = default;
  // Writes at the position and moves it on; false when that failed, the reason in Failure.
  virtual bool Write(const uint8_t* Data, size_t Size) = 0;
  // Moves the position to a byte already written (or the end); false as for Write.
  virtual bool Seek(uint64_t Position) = 0;
  std::string Failure;
};

struct TCopyResult {
  // Taken: a file had the copy's name and was to be kept (CopyFile.h).
  enum TOutcome { Written, Cancelled, Failed, Taken };
  TOutcome Outcome = Failed;
  // Why it failed, to follow "could not be saved: ".
  std::string Reason;
};

// Told now and then how much of the copy is written, from 0 to 1; false cancels it.
using TCopyProgress = std::function<bool(double Done)>;

// Writes a copy of the clip Bytes, whose header is Info, to Output as Format. Never throws: a
// copy that fails or is cancelled leaves Output with part of a file, for the caller to remove.
TCopyResult CopyClip(const std::shared_ptr<const std::string>& Bytes, const TClipInfo& Info, TCopyFormat Format,
                     TCopyOutput& Output, const TCopyProgress& Progress);
