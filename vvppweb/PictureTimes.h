// When each picture of a clip is due, from the clip's FPS header and the temporal references
// of its H.263 pictures.
//
// The demuxer numbers pictures one frame apart, which is wrong wherever the encoder dropped
// pictures. The temporal reference (TR, 8 bits counting 30000/1001 Hz, wrapping every 8.5 s)
// says how much time passed; the FPS header says how often a picture can come. We trust both
// where they agree: the pictures sit on the header's frame grid, each as many frames after the
// one before as its TR step says (at least one). A step that cannot be true (no TR, the same TR
// again, a jump of seconds from a flipped bit) counts as one frame, and the TR steps after it
// are measured afresh. Without an FPS header the TR clock itself is the grid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The temporal reference of an H.263 picture starting at Data, or -1 when Data does not start
// with a picture start code.
int TemporalReference(const uint8_t* Data, size_t Size);

class TPictureTimes {
public:
  // HeaderFps: the FPS header's rate, 0 when the header has none.
  explicit TPictureTimes(double HeaderFps);
  // The time in milliseconds of the next picture in clip order; Tr as TemporalReference gives it.
  // Reckoned in 64 bits: absurd steps make times the caller refuses, never times that wrap.
  uint64_t Next(int Tr);
  // The length of one picture: the header's frame, else one TR step.
  double IntervalMs() const { return FrameMs; }

private:
  double FrameMs;       // one slot of the grid
  double TrPerFrame;    // TR counts per slot
  uint64_t NoTrSlots;   // slots a picture without a usable TR step moves on
  int MaxStep;          // the largest TR step we believe
  bool First = true;
  int LastTr = -1;
  uint64_t Slot = 0;    // grid slot of the last picture
  uint64_t BaseSlot = 0;
  uint64_t TrSinceBase = 0;
};

// All picture times of a clip, for tests and the clip scan: the TRs in clip order.
std::vector<uint64_t> PictureTimesOf(double HeaderFps, const std::vector<int>& Trs);
