// Small generated Vivo files: a header packet with the picture size and length, then a few
// media packets of filler bytes. Used by the tests and for the demo clip.
#pragma once

#include <cstdint>
#include <string>

struct TMakeVivoOptions {
  int Width = 176;
  int Height = 144;
  uint32_t DurationMs = 5000;
  double Fps = 15.0;
  int MediaPackets = 4;
};

// The bytes of a Vivo file with those header values.
std::string MakeVivoFile(const TMakeVivoOptions& Options);

// A header packet holding Text: 0x00, the length in one or two 7-bit bytes, the text.
std::string HeaderPacket(const std::string& Text);
