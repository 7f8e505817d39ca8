// Converting a decoded picture to the pixels the control's window shows, scaled to its size.
#pragma once

#include <cstdint>
#include <vector>

#include "vvppweb/ClipMedia.h"

struct SwsContext;

class TPictureScaler {
public:
  TPictureScaler() = default;
  ~TPictureScaler();
  TPictureScaler(const TPictureScaler&) = delete;
  TPictureScaler& operator=(const TPictureScaler&) = delete;

  // Picture at Width x Height as 0x00RRGGBB pixels, top row first (a 32-bit DIB's order);
  // false when it cannot be done.
  bool Draw(const TPicture& Picture, int Width, int Height, std::vector<uint32_t>& Pixels);

private:
  SwsContext* Context = nullptr;
  // The sizes Context converts between. libswscale's own cache cannot tell: it keeps BGR0 as
  // BGRA, so sws_getCachedContext would set the converter up afresh for every picture.
  int FromWidth = 0, FromHeight = 0, ToWidth = 0, ToHeight = 0;
};
