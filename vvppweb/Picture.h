// The generated picture the control shows until a real decoder lands: colour bars that scroll
// and a white block that crosses the picture, both moved by the clip's frame number.
#pragma once

#include <cstdint>
#include <vector>

// The frame shown at clock Ms for a clip of Fps frames a second.
uint32_t FrameAt(uint32_t Ms, double Fps);

// Frame Frame drawn at Width x Height as 0x00RRGGBB pixels, top row first. The pattern is laid
// out in fractions of the picture, so every size shows the same picture.
std::vector<uint32_t> RenderFrame(int Width, int Height, uint32_t Frame);
