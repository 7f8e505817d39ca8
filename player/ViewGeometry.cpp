// The player window's arithmetic.
#include "player/ViewGeometry.h"

#include <cmath>

int RoundEven(double X) {
  // Ties go to the even neighbour whatever rounding mode someone else left set.
  double Floor = std::floor(X);
  double Diff = X - Floor;
  if (Diff < 0.5) return static_cast<int>(Floor);
  if (Diff > 0.5) return static_cast<int>(Floor) + 1;
  return std::fmod(Floor, 2.0) == 0.0 ? static_cast<int>(Floor) : static_cast<int>(Floor) + 1;
}

TSkinLayout ScaleSkinLayout(int W, int BaseW, int H, int BaseH) {
  double Sx = static_cast<double>(W) / BaseW;
  double Sy = static_cast<double>(H) / BaseH;
  TSkinLayout L;
  L.Video.Left = RoundEven(Sx * SkinVideo.Left);
  L.Video.Width = RoundEven(Sx * SkinVideo.Width);
  L.Button.Left = RoundEven(Sx * SkinButton.Left);
  L.Button.Width = RoundEven(Sx * SkinButton.Width);
  L.ClientWidth = RoundEven(Sx * SkinWidth);
  L.Video.Top = RoundEven(Sy * SkinVideo.Top);
  L.Video.Height = RoundEven(Sy * SkinVideo.Height);
  L.Button.Top = RoundEven(Sy * SkinButton.Top);
  L.Button.Height = RoundEven(Sy * SkinButton.Height);
  L.ClientHeight = RoundEven(Sy * SkinHeight);
  return L;
}

TSize FixedVideoSize(TViewFactor Factor, int NativeWidth, int NativeHeight) {
  if (NativeWidth <= 0 || NativeHeight <= 0) return {SkinVideo.Width, SkinVideo.Height};
  switch (Factor) {
    case TViewFactor::Half: return {NativeWidth / 2, NativeHeight / 2};
    case TViewFactor::Original: return {NativeWidth, NativeHeight};
    case TViewFactor::Double: return {NativeWidth * 2, NativeHeight * 2};
    case TViewFactor::Triple: return {NativeWidth * 3, NativeHeight * 3};
  }
  return {NativeWidth, NativeHeight};
}

bool ViewFits(TPresentation Presentation, int K, int NativeWidth, int NativeHeight,
              int ScreenWidth, int ScreenHeight, int DirectXWidth, int DirectXHeight) {
  switch (Presentation) {
    case TPresentation::DirectX:
      return K * NativeWidth <= DirectXWidth && K * NativeHeight <= DirectXHeight;
    case TPresentation::Compact:
    case TPresentation::Presentation:
      return K * NativeWidth <= ScreenWidth && K * NativeHeight <= ScreenHeight;
    case TPresentation::TVSkin:
      return RoundEven(static_cast<double>(K) * NativeWidth / SkinVideo.Width * SkinWidth) <=
                 ScreenWidth &&
             RoundEven(static_cast<double>(K) * NativeHeight / SkinVideo.Height * SkinHeight) <=
                 ScreenHeight;
  }
  return false;
}

TPoint ScreenStyleOrigin(int OuterWidth, int OuterHeight, int ClientWidth, int ClientHeight) {
  return {-((OuterWidth - ClientWidth) / 2), -((OuterHeight - ClientHeight) / 2)};
}

TRect CentredVideo(int ClientWidth, int ClientHeight, int VideoWidth, int VideoHeight) {
  return {(ClientWidth - VideoWidth) / 2, (ClientHeight - VideoHeight) / 2, VideoWidth,
          VideoHeight};
}

TRect ScaledFullScreenVideo(int NativeWidth, int NativeHeight, int ScreenWidth, int ScreenHeight) {
  if (NativeWidth <= 0 || NativeHeight <= 0) return {0, 0, ScreenWidth, ScreenHeight};
  double A = static_cast<double>(NativeWidth) / NativeHeight;
  int W, H;
  if (A * ScreenHeight > ScreenWidth) {
    W = ScreenWidth;
    H = RoundEven(W / A);
  } else {
    H = ScreenHeight;
    W = RoundEven(A * H);
  }
  return CentredVideo(ScreenWidth, ScreenHeight, W, H);
}

std::optional<TPoint> PlacementForKey(unsigned Key, int ScreenWidth, int ScreenHeight,
                                      int WindowWidth, int WindowHeight) {
  int Right = ScreenWidth - WindowWidth, Bottom = ScreenHeight - WindowHeight;
  switch (Key) {
    case 0x24: case 0x67: return TPoint{0, 0};             // Home, keypad 7
    case 0x21: case 0x69: return TPoint{Right, 0};         // Page Up, keypad 9
    case 0x23: case 0x61: return TPoint{0, Bottom};        // End, keypad 1
    case 0x22: case 0x63: return TPoint{Right, Bottom};    // Page Down, keypad 3
    case 0x65: return TPoint{Right / 2, Bottom / 2};       // keypad 5
    default: return std::nullopt;
  }
}

TPoint MenuPopupPoint(const TRect& Window, const TRect& Button, bool ButtonVisible) {
  if (ButtonVisible)
    return {Window.Left + Button.Left + Button.Width / 2, Window.Top + Button.Top + Button.Height / 2};
  return {Window.Left + Window.Width / 2, Window.Top + Window.Height / 2};
}

TSwitchOffSteps SwitchOffSteps(int OuterWidth, int OuterHeight, int ScreenWidth) {
  TSwitchOffSteps S;
  S.Collapse = OuterHeight / 12;
  S.Shrink = OuterWidth / 8;
  int K = (ScreenWidth - (OuterWidth - S.Shrink * 8)) / 8;
  S.Stretch = K >= 0 ? K + 1 : 0;
  return S;
}
