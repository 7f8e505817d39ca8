// The identity of the control as hosts know it: class id, dispinterface, event interface and
// the member DISPIDs.
#pragma once

#include <windows.h>
#include <oaidl.h>

inline constexpr CLSID CLSID_VvPPWeb = {
    0x372FA2D4, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};
inline constexpr IID DIID__DVvPPWeb = {
    0x372FA2D1, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};
inline constexpr IID DIID__DVvPPWebEvents = {
    0x372FA2D2, 0x1FB7, 0x11D1, {0x9A, 0xC6, 0x00, 0xA0, 0x24, 0x7D, 0x84, 0x77}};

inline constexpr const char* VvPPWebClsidText = "{372FA2D4-1FB7-11D1-9AC6-00A0247D8477}";
inline constexpr const char* VvPPWebProgId = "VVPPWEB.VvPPWebCtrl.1";

enum TVivoMember : DISPID {
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
