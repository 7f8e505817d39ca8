// The clips tools/bench-presentation plays: plain black and white pictures and a short beep, whose
// moments a pixel probe on the screen and a recording of the sound device find to the millisecond,
// and tones whose lengths tell whether the sound was heard whole; and the clip whose copies the
// browser test looks at.
#pragma once

#include <string>

#include "vvppweb/ClipEncoder.h"

// The beep: a tone of BeepHz for BeepMs, starting on the same clip time as its white picture.
inline constexpr double BenchBeepHz = 880;
inline constexpr unsigned BenchBeepMs = 60;

// The turn pattern's colours, before and after its turn.
inline constexpr uint32_t TurnBefore = 0xE0A020, TurnAfter = 0x20A0A0;
inline constexpr uint32_t TurnMs = 10000;

// Sets what Options' clip shows and plays to the pattern Name; false for an unknown name.
//   flash       black and silent, but at every full second from the first on one white picture
//               and one beep, together
//   alternate   pictures black and white in turn, from black; silent
//   tones       black pictures for 0.5 s, then white; 1000 Hz for the first 0.2 s, 440 Hz to 1.8 s, 1000 Hz to 2 s (a
//               clip of 2 s shows whether its first and last sound are heard whole)
//   turn        amber pictures until 10 s, then teal (TurnBefore, TurnAfter); the demo tone
bool SetBenchPattern(const std::string& Name, TClipOptions& Options);
