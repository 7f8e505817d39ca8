// Writing Vivo files: the text header packet, and the media packets of one picture or one piece
// of sound, as the Vivo demuxer reads them back. Used by makeviv, the tests and the demo clip.
#pragma once

#include <cstdint>
#include <string>

struct TMakeVivoOptions {
  int Width = 176;
  int Height = 144;
  uint32_t DurationMs = 5000;
  double Fps = 15.0;
};

// A Vivo file of a header only, with those values: the control shows its generated picture.
std::string MakeVivoFile(const TMakeVivoOptions& Options);

// The header text of a Vivo 1.00 (or, with Major 2, a 2.00) clip with those values, without the
// packet around it; Extra lines ("Title:...\r\n") go after the technical ones.
std::string VivoHeaderText(const TMakeVivoOptions& Options, int Major = 1, const std::string& Extra = {});

// A header packet holding Text: 0x00, the length in one or two 7-bit bytes, the text.
std::string HeaderPacket(const std::string& Text);

// One coded picture as video packets of sequence number Sequence (0 to 15): as many type-1
// packets of 128 bytes as fit, the rest in a type-2 packet with its length.
std::string VideoPackets(int Sequence, const std::string& Picture);

// One coded piece of sound: a type-4 packet of 24 bytes (a G.723.1 frame, Vivo 1) or a type-3
// packet of 40 bytes (a Siren frame, Vivo 2), by the size of Frame.
std::string SoundPacket(int Sequence, const std::string& Frame);

// A longer clip of Clip's media again and again, Copies times, under Clip's own header; Size,
// when not 0 and large enough, makes it exactly that many bytes with text packets at the end.
std::string RepeatMedia(const std::string& Clip, size_t Copies, size_t Size = 0);

// The bytes a clip ends with: an empty header packet. The demuxer reads the header of the packet
// after each one before handing it out, so without it the last picture or sound would be lost.
std::string EndPacket();
