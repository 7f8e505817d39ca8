// Painting the control's window: the picture at the window's size, in one blit, and the strip.
#include "vvppweb/ViewPainter.h"

#include "vvppweb/Picture.h"

namespace {

void FillSolid(HDC Dc, const RECT& Area, COLORREF Colour) {
  SetBkColor(Dc, Colour);
  ExtTextOutA(Dc, 0, 0, ETO_OPAQUE, &Area, nullptr, 0, nullptr);
}

// Pixels of Width x Height, top row first, onto Dc at Left, Top in one blit: the whole picture
// changes at once, without a blank in between.
void Blit(HDC Dc, int Left, int Top, int Width, int Height, const std::vector<uint32_t>& Pixels) {
  BITMAPINFO Info{};
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = Width;
  Info.bmiHeader.biHeight = -Height;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(Dc, Left, Top, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0, 0, 0,
                    static_cast<UINT>(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
}

}  // namespace

bool TViewPainter::Changed(const TPlayback& Playback) const {
  const TClipInfo* Clip = Playback.Clip();
  const TPicture* Decoded = Playback.Picture();
  uint64_t Serial = Decoded ? Decoded->Serial : 0;
  bool Generated = Clip && !Playback.ClipMedia() && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
  uint32_t Frame = Generated ? FrameAt(Playback.PresentedMs(), Clip->Fps) : 0;
  return Serial != ShownSerial || Generated != ShownGenerated || Frame != ShownFrame;
}

void TViewPainter::Record(bool On, bool Pixels) {
  if (On) {
    RecordedShown.clear();
    RecordedPixels.clear();
    // The picture now in view counts as drawn again, so the record starts with it.
    RenderedSerial = 0;
  }
  Recording = On;
  RecordingPixels = On && Pixels;
}

void TViewPainter::Paint(HDC Dc, const RECT& Client, const TPlayback& Playback, bool StripWanted) {
  RECT Picture = Client;
  bool Strip = StripWanted && Client.bottom - Client.top > StripHeight;
  if (Strip) Picture.bottom -= StripHeight;
  PaintPicture(Dc, Picture, Playback);
  const TClipInfo* Clip = Playback.Clip();

  if (Strip) {
    RECT Bar{Client.left, Picture.bottom, Client.right, Client.bottom};
    FillSolid(Dc, Bar, RGB(48, 48, 48));
    // A play triangle while paused, two bars while playing, then the clip's progress.
    int Top = Bar.top + 2, Bottom = Bar.bottom - 2;
    COLORREF Glyph = RGB(220, 220, 220);
    if (Playback.Playing()) {
      FillSolid(Dc, RECT{Bar.left + 3, Top, Bar.left + 5, Bottom}, Glyph);
      FillSolid(Dc, RECT{Bar.left + 7, Top, Bar.left + 9, Bottom}, Glyph);
    } else {
      POINT Triangle[3] = {{Bar.left + 3, Top}, {Bar.left + 3, Bottom}, {Bar.left + 9, (Top + Bottom) / 2}};
      HGDIOBJ OldBrush = SelectObject(Dc, GetStockObject(DC_BRUSH));
      HGDIOBJ OldPen = SelectObject(Dc, GetStockObject(DC_PEN));
      SetDCBrushColor(Dc, Glyph);
      SetDCPenColor(Dc, Glyph);
      Polygon(Dc, Triangle, 3);
      SelectObject(Dc, OldPen);
      SelectObject(Dc, OldBrush);
    }
    RECT Track{Bar.left + 14, Bar.top + 4, Bar.right - 3, Bar.bottom - 4};
    FillSolid(Dc, Track, RGB(90, 90, 90));
    if (Clip && Playback.LengthMs() > 0 && Track.right > Track.left) {
      LONG Done = static_cast<LONG>(static_cast<int64_t>(Track.right - Track.left) * Playback.Position() / Playback.LengthMs());
      FillSolid(Dc, RECT{Track.left, Track.top, Track.left + Done, Track.bottom}, RGB(80, 200, 80));
    }
  }
}

void TViewPainter::PaintPicture(HDC Dc, const RECT& Area, const TPlayback& Playback) {
  int Width = Area.right - Area.left, Height = Area.bottom - Area.top;
  const TClipInfo* Clip = Playback.Clip();
  const TPicture* Decoded = Playback.Picture();
  ShownSerial = Decoded ? Decoded->Serial : 0;
  ShownGenerated = Clip && !Playback.ClipMedia() && Playback.VideoWidth() > 0 && Playback.VideoHeight() > 0;
  ShownFrame = ShownGenerated ? FrameAt(Playback.PresentedMs(), Clip->Fps) : 0;
  // A clip that starts (another, or this one again) brings pictures of its own: what is held
  // belongs to the one before.
  if (Playback.ClipStarts() != PaintedClip) {
    PaintedClip = Playback.ClipStarts();
    Forget();
  }
  if (Width <= 0 || Height <= 0) return;

  if (Decoded) {
    // The clip's picture, converted and scaled to the window as the host has sized it.
    bool Fresh = Decoded->Serial != RenderedSerial || FrameWidth != Width || FrameHeight != Height;
    if (Fresh) {
      if (!Scaler.Draw(*Decoded, Width, Height, FramePixels)) {
        FillSolid(Dc, Area, RGB(0, 0, 0));
        return;
      }
      RenderedSerial = Decoded->Serial;
      RenderedFrame = UINT32_MAX;
      FrameWidth = Width;
      FrameHeight = Height;
    }
    Blit(Dc, Area.left, Area.top, Width, Height, FramePixels);
    if (Fresh && Recording) {
      RecordedShown.push_back({static_cast<LONG>(Decoded->TimeMs), static_cast<LONG>(Playback.PresentedMs()),
                               GetTickCount64(), Width, Height});
      RecordedPixels.push_back(RecordingPixels ? FramePixels : std::vector<uint32_t>{});
    }
  } else if (ShownGenerated) {
    // A clip of a header only: the pattern drawn at the window's size, moving with the clock.
    if (FrameWidth != Width || FrameHeight != Height || RenderedFrame != ShownFrame) {
      FramePixels = RenderFrame(Width, Height, ShownFrame);
      FrameWidth = Width;
      FrameHeight = Height;
      RenderedFrame = ShownFrame;
      RenderedSerial = 0;
    }
    Blit(Dc, Area.left, Area.top, Width, Height, FramePixels);
  } else {
    FillSolid(Dc, Area, RGB(0, 0, 0));
    Forget();
  }
}

void TViewPainter::Forget() {
  RenderedSerial = 0;
  RenderedFrame = UINT32_MAX;
  FramePixels.clear();
  FrameWidth = FrameHeight = 0;
}
