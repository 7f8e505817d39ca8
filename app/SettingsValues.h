// How the settings file's values read back: integers in decimal, or in hexadecimal after "0x";
// booleans as integers; anything that is no number gives the caller's default.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A value longer than two characters that starts with "0x" or "0X" is hexadecimal (up to 32
// bits, taken as a signed 32-bit pattern); any other value is a signed decimal integer that
// must fit 32 bits. A missing, empty, partial or out-of-range number gives Default.
int32_t DecodeInteger(std::string_view Value, int32_t Default);

// Any non-zero integer is true; a value that is no number gives Default.
bool DecodeBoolean(std::string_view Value, bool Default);

// What a settings file asks for, with every default applied: Size 0 to 5 (Half, Original,
// Double, Triple, Full Screen, Scaled Full Screen; anything else Original), Mode 0 to 3 (none,
// DirectX, Presentation, Compact; anything else none), the three options, and LastDir as stored
// (empty: keep the current folder).
struct TStoredSettings {
  int32_t Size = 1;
  int32_t Mode = 0;
  bool AlwaysOnTop = false;
  bool DisableScreenSaver = false;
  bool SystemTray = false;
  std::string LastDir;
};

// Read gives a key's text, empty when the key is missing.
TStoredSettings DecodeSettings(
    const std::function<std::string(const char* Section, const char* Key)>& Read);
