// Writing Vivo files: header, video and sound packets.
#include "vvppweb/MakeVivo.h"

#include "vvppweb/VivoFile.h"

#include <cstdio>
#include <stdexcept>

namespace {

// A packet length in one or two 7-bit bytes, the first the more significant.
std::string Length(size_t Size) {
  if (Size > 0x3FFF) throw std::length_error("a Vivo packet holds at most 16383 bytes");
  std::string Bytes;
  if (Size > 0x7F) Bytes += static_cast<char>(0x80 | (Size >> 7));
  Bytes += static_cast<char>(Size & 0x7F);
  return Bytes;
}

char TypeByte(int Type, int Sequence) { return static_cast<char>((Type << 4) | (Sequence & 0x0F)); }

}  // namespace

std::string HeaderPacket(const std::string& Text) {
  std::string Packet(1, '\0');
  Packet += Length(Text.size());
  Packet += Text;
  return Packet;
}

std::string VivoHeaderText(const TMakeVivoOptions& Options, int Major, const std::string& Extra) {
  char Rate[32];
  std::snprintf(Rate, sizeof Rate, "%.3f", Options.Fps);
  return std::string("\r\nVersion:Vivo/") + (Major >= 2 ? "2.00" : "1.00") +
         "\r\nWidth:" + std::to_string(Options.Width) + "\r\nHeight:" + std::to_string(Options.Height) +
         "\r\nDuration:" + std::to_string(Options.DurationMs) + "\r\nFPS:" + Rate + "\r\n" + Extra;
}

std::string MakeVivoFile(const TMakeVivoOptions& Options) { return HeaderPacket(VivoHeaderText(Options)); }

std::string VideoPackets(int Sequence, const std::string& Picture) {
  std::string Bytes;
  size_t Pos = 0;
  for (; Picture.size() - Pos > 128; Pos += 128) Bytes += TypeByte(1, Sequence) + Picture.substr(Pos, 128);
  Bytes += TypeByte(2, Sequence) + Length(Picture.size() - Pos) + Picture.substr(Pos);
  return Bytes;
}

std::string SoundPacket(int Sequence, const std::string& Frame) {
  if (Frame.size() == 24) return TypeByte(4, Sequence) + Frame;
  if (Frame.size() == 40) return TypeByte(3, Sequence) + Frame;
  throw std::length_error("a Vivo sound packet holds 24 or 40 bytes");
}

std::string EndPacket() { return HeaderPacket({}); }

std::string RepeatMedia(const std::string& Clip, size_t Copies, size_t Size) {
  TClipInfo Info;
  if (ParseVivoFile(Clip, Info) != 0) throw std::invalid_argument("not a Vivo file");
  const std::string End = EndPacket();
  size_t MediaEnd = Clip.size() >= End.size() && Clip.compare(Clip.size() - End.size(), End.size(), End) == 0
                        ? Clip.size() - End.size()
                        : Clip.size();
  std::string Media = Clip.substr(Info.MediaOffset, MediaEnd - Info.MediaOffset);
  std::string Bytes = Clip.substr(0, Info.MediaOffset);
  Bytes.reserve(Size ? Size : Bytes.size() + Media.size() * Copies + End.size());
  for (size_t Copy = 0; Copy < Copies; ++Copy) Bytes += Media;
  // Text packets, which the demuxer passes over, fill it to the byte. One of N bytes of text
  // takes N + 2 bytes up to 127 and N + 3 from 128, so 130 bytes are made of two.
  while (Size && Bytes.size() + End.size() < Size) {
    size_t Left = Size - Bytes.size() - End.size();
    if (Left < 2) throw std::invalid_argument("no packet fills one byte");
    size_t Text = Left > 16000 ? 15000 : Left >= 131 ? Left - 3 : Left == 130 ? 100 : Left - 2;
    Bytes += HeaderPacket(std::string(Text, ' '));
  }
  return Bytes + End;
}
