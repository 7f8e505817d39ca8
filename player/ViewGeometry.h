// The player window's arithmetic: skin scaling, view sizes, fit tests, screen layouts, keyboard
// placement, the menu button's popup point and the switch-off animation's step counts.
// Rounding is half to even (the processor's default); "div 2" truncates toward zero.
#pragma once

#include <optional>

struct TRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TRect&) const = default;
};

struct TPoint {
  int X = 0, Y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int Width = 0, Height = 0;
  bool operator==(const TSize&) const = default;
};

// The design layout of the television picture at scale 1.
inline constexpr int SkinWidth = 240, SkinHeight = 205;
inline constexpr TRect SkinVideo{16, 20, 206, 154};
inline constexpr TRect SkinButton{200, 182, 20, 20};

int RoundEven(double X);

// The skin at scale W / BaseW by H / BaseH: video and button rectangles and the client size.
struct TSkinLayout {
  TRect Video, Button;
  int ClientWidth = 0, ClientHeight = 0;
};
TSkinLayout ScaleSkinLayout(int W, int BaseW, int H, int BaseH);

// The fixed sizes: Half halves each native dimension (div 2), the others multiply it. A clip
// without a usable picture size (a side of 0 or less: before its first picture, or none at all)
// is shown in a screen of the skin's design size, so the window never collapses or turns inside
// out and the user always has a set to click.
enum class TViewFactor { Half, Original, Double, Triple };
TSize FixedVideoSize(TViewFactor Factor, int NativeWidth, int NativeHeight);

// How a fixed size is presented, which decides what has to fit where.
enum class TPresentation { TVSkin, Compact, Presentation, DirectX };
// Whether the view at k times the native size fits: on the DirectX resolution, on the screen,
// or (TV skin) the whole scaled picture on the screen. Height is tested only when width fits.
bool ViewFits(TPresentation Presentation, int K, int NativeWidth, int NativeHeight,
              int ScreenWidth, int ScreenHeight, int DirectXWidth, int DirectXHeight);

// A screen-style window: its corner so the client area starts at the screen's corner with the
// frame off-screen.
TPoint ScreenStyleOrigin(int OuterWidth, int OuterHeight, int ClientWidth, int ClientHeight);
// A video of the given size centred in the client area.
TRect CentredVideo(int ClientWidth, int ClientHeight, int VideoWidth, int VideoHeight);
// The largest video with the clip's proportions that the screen holds, centred. A clip without
// a usable size (a side of 0 or less) has no proportions to keep and fills the screen.
TRect ScaledFullScreenVideo(int NativeWidth, int NativeHeight, int ScreenWidth, int ScreenHeight);

// Ctrl + a placement key: the window's new corner, or nothing for other keys.
std::optional<TPoint> PlacementForKey(unsigned Key, int ScreenWidth, int ScreenHeight,
                                      int WindowWidth, int WindowHeight);

// Where the command menu opens: the centre of the menu button when it shows, else the window's.
TPoint MenuPopupPoint(const TRect& Window, const TRect& Button, bool ButtonVisible);

// The switch-off animation: collapse to a line 6 high, shrink it, stretch it past the screen.
struct TSwitchOffSteps {
  int Collapse = 0, Shrink = 0, Stretch = 0;
};
TSwitchOffSteps SwitchOffSteps(int OuterWidth, int OuterHeight, int ScreenWidth);
