// The control's contract with its hosts: its class id, its dispinterface and event interface, and
// the DISPIDs of its members and events. The control and the host's binding
// (control/VVPPWEBLib_TLB.h) both take them from here; the DISPIDs alone serve the engine, which
// knows no COM.
#pragma once

#include <cstdint>

// The DISPIDs of the members hosts call.
enum TVvPPWebMember : int32_t {
  dispAutostart = 4,
  dispVideocontrols = 5,
  dispURL = 6,
  dispLoad = 22,
  dispRewind = 23,
  dispVideoWidth = 24,
  dispVideoHeight = 25,
  dispPlay = 26,
  dispPause = 27,
  dispSaveAs = 28,
  dispAboutMovie = 29,
};

// The DISPIDs of the control's events, in the order hosts know them.
enum TVvPPWebEvent : int32_t {
  dispOnAtStart = 1,
  dispOnAtEnd = 2,
  dispOnTime = 3,
  dispOnVideoSize = 4,
  dispOnStateChange = 5,
  dispOnFetchError = 6,
  dispOnAudioDevOpen = 7,
  dispOnAudioDevClose = 8,
};

#ifdef _WIN32
#include <guiddef.h>

inline constexpr CLSID CLSID_VvPPWeb = {
    0x372FA2D4, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};
inline constexpr IID DIID__DVvPPWeb = {
    0x372FA2D1, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};
inline constexpr IID DIID__DVvPPWebEvents = {
    0x372FA2D2, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};

// The names the control registers itself under.
inline constexpr const char* VvPPWebClsidText = "{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}";
inline constexpr const char* VvPPWebProgId = "VVPPWEB.VvPPWebCtrl.1";
#endif
