// Picture conversion and scaling with libswscale.
#include "vvppweb/PictureScaler.h"

extern "C" {
#include <libswscale/swscale.h>
}

TPictureScaler::~TPictureScaler() { sws_freeContext(Context); }

bool TPictureScaler::Draw(const TPicture& Picture, int Width, int Height, std::vector<uint32_t>& Pixels) {
  if (Picture.Width <= 0 || Picture.Height <= 0 || Width <= 0 || Height <= 0 || Width > 16384 || Height > 16384)
    return false;
  if (!Context || FromWidth != Picture.Width || FromHeight != Picture.Height || ToWidth != Width ||
      ToHeight != Height) {
    sws_freeContext(Context);
    // Bicubic, as FFmpeg's own programs scale: the picture stays sharp at twice its size.
    Context = sws_getContext(Picture.Width, Picture.Height, AV_PIX_FMT_YUV420P, Width, Height, AV_PIX_FMT_BGR0,
                             SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!Context) return false;
    FromWidth = Picture.Width;
    FromHeight = Picture.Height;
    ToWidth = Width;
    ToHeight = Height;
  }
  Pixels.resize(static_cast<size_t>(Width) * static_cast<size_t>(Height));
  // libswscale reads four plane pointers, the fourth for an alpha plane we do not have.
  const uint8_t* Source[4] = {Picture.Planes[0], Picture.Planes[1], Picture.Planes[2], nullptr};
  int SourceStride[4] = {Picture.Strides[0], Picture.Strides[1], Picture.Strides[2], 0};
  uint8_t* Target[4] = {reinterpret_cast<uint8_t*>(Pixels.data()), nullptr, nullptr, nullptr};
  int TargetStride[4] = {Width * 4, 0, 0, 0};
  return sws_scale(Context, Source, SourceStride, 0, Picture.Height, Target, TargetStride) == Height;
}
