// Generating small Vivo files.
#include "vvppweb/MakeVivo.h"

#include <cstdio>
#include <stdexcept>

std::string HeaderPacket(const std::string& Text) {
  if (Text.size() > 0x3FFF) throw std::length_error("a header packet holds at most 16383 bytes");
  std::string Packet(1, '\0');
  if (Text.size() > 0x7F) Packet += static_cast<char>(0x80 | (Text.size() >> 7));
  Packet += static_cast<char>(Text.size() & 0x7F);
  return Packet + Text;
}

std::string MakeVivoFile(const TMakeVivoOptions& Options) {
  char Rate[32];
  std::snprintf(Rate, sizeof Rate, "%.3f", Options.Fps);
  std::string Header = "\r\nVersion:Vivo/1.00\r\nWidth:" + std::to_string(Options.Width) +
                       "\r\nHeight:" + std::to_string(Options.Height) +
                       "\r\nDuration:" + std::to_string(Options.DurationMs) + "\r\nFPS:" + Rate +
                       "\r\n";
  std::string File = HeaderPacket(Header);
  // Media packets: a type byte other than 0x00, a length byte, then filler we never decode.
  for (int Packet = 0; Packet < Options.MediaPackets; ++Packet) {
    File += static_cast<char>(0x12);
    File += static_cast<char>(64);
    for (int I = 0; I < 64; ++I) File += static_cast<char>((Packet * 131 + I * 17) & 0xFF);
  }
  return File;
}
