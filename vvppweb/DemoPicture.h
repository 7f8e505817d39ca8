// The picture and sound of the clips makeviv writes: a clock showing the clip's time in tenths
// of a second, a dot that goes round once a second, the picture's number and colour bars; a
// tone with a higher beep at every full second. Time passing is plain to see and to hear.
#pragma once

#include <cstdint>
#include <vector>

// The picture at Ms, number Number, as Width x Height pixels 0x00RRGGBB, top row first.
std::vector<uint32_t> DemoPicture(int Width, int Height, uint32_t Ms, uint32_t Number);

// Sample Sample of the sound at Rate samples a second.
int16_t DemoTone(uint64_t Sample, uint32_t Rate);
