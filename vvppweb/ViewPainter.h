// What the control's window shows: the clip's picture scaled to the window (or the generated
// picture of a clip with a header only), the control strip when Videocontrols is on, and the
// record of each picture drawn that the diagnostics keep.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "vvppweb/Diagnostics.h"
#include "vvppweb/PictureScaler.h"
#include "vvppweb/Playback.h"

class TViewPainter {
public:
  // The control strip's height, when it is shown.
  static constexpr int StripHeight = 12;
  void Paint(HDC Dc, const RECT& Client, const TPlayback& Playback, bool Strip);
  // True when Playback now shows another picture than the one last painted.
  bool Changed(const TPlayback& Playback) const;

  // The record of the pictures drawn (from the one in view on), with their pixels if asked.
  void Record(bool On, bool Pixels);
  const std::vector<TShownPicture>& Shown() const { return RecordedShown; }
  const std::vector<uint32_t>& ShownPixels(size_t Index) const { return RecordedPixels[Index]; }

private:
  void PaintPicture(HDC Dc, const RECT& Area, const TPlayback& Playback);
  // Drops the pixels held, so the next picture is drawn afresh whatever its number.
  void Forget();

  // What is in view: the clip's picture (by serial) or the generated one (by frame).
  uint64_t ShownSerial = 0;
  uint32_t ShownFrame = UINT32_MAX;
  bool ShownGenerated = false;
  // The pixels drawn for it at the window's size.
  TPictureScaler Scaler;
  std::vector<uint32_t> FramePixels;
  uint64_t RenderedSerial = 0;
  uint32_t RenderedFrame = UINT32_MAX;
  int FrameWidth = 0, FrameHeight = 0;
  uint32_t PaintedClip = 0;  // the engine's ClipStarts() when last painted

  bool Recording = false;
  bool RecordingPixels = false;
  std::vector<TShownPicture> RecordedShown;
  std::vector<std::vector<uint32_t>> RecordedPixels;
};
