// The test clips: the demo clip in a few forms, and broken copies of it.
#include "vvppweb/MakeCorpus.h"

#include <random>

#include "vvppweb/ClipEncoder.h"
#include "vvppweb/MakeVivo.h"
#include "vvppweb/VivoFile.h"

namespace {

std::string RandomBytes(std::minstd_rand& Random, size_t Count) {
  std::string Bytes(Count, '\0');
  for (char& Byte : Bytes) Byte = static_cast<char>(Random() & 0xFF);
  return Bytes;
}

std::string Header(const TClipOptions& Options, int Major = 1) {
  TMakeVivoOptions Values;
  Values.Width = Options.Width;
  Values.Height = Options.Height;
  Values.DurationMs = Options.DurationMs;
  Values.Fps = Options.Fps;
  return HeaderPacket(VivoHeaderText(Values, Major, Options.Fields));
}

// The first packet offset at or after Fraction of the file.
size_t PacketNear(const std::string& File, double Fraction) {
  auto Wanted = static_cast<size_t>(static_cast<double>(File.size()) * Fraction);
  for (const TPacketPlace& Packet : Packets(File))
    if (Packet.Offset >= Wanted) return Packet.Offset;
  return File.size();
}

// A still's one picture, in a single colour.
std::vector<uint32_t> AmberPicture(int Width, int Height, uint32_t, uint32_t) {
  return std::vector<uint32_t>(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0xE0A020);
}
std::vector<uint32_t> TealPicture(int Width, int Height, uint32_t, uint32_t) {
  return std::vector<uint32_t>(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0x20A0A0);
}

}  // namespace

std::vector<TPacketPlace> Packets(const std::string& File) {
  std::vector<TPacketPlace> Offsets;
  TClipInfo Info;
  if (ParseVivoFile(File, Info) != 0) return Offsets;
  size_t Pos = Info.MediaOffset;
  while (Pos < File.size()) {
    size_t Start = Pos;
    auto Byte = static_cast<unsigned char>(File[Pos++]);
    bool GivenLength = Byte == 0x82;
    if (GivenLength) {
      if (Pos >= File.size()) break;
      Byte = static_cast<unsigned char>(File[Pos++]);
    }
    size_t Length;
    switch (Byte >> 4) {
      case 0: case 2: GivenLength = true; Length = 0; break;
      case 1: Length = 128; break;
      case 3: Length = 40; break;
      case 4: Length = 24; break;
      default: return Offsets;
    }
    if (GivenLength) {
      if (Pos >= File.size()) break;
      auto High = static_cast<unsigned char>(File[Pos++]);
      Length = High & 0x7F;
      if (High & 0x80) {
        if (Pos >= File.size()) break;
        Length = (Length << 7) | (static_cast<unsigned char>(File[Pos++]) & 0x7F);
      }
    }
    if (Length > File.size() - Pos) break;
    Offsets.push_back({Start, Byte >> 4, Pos, Length});
    Pos += Length;
  }
  return Offsets;
}

std::vector<std::pair<std::string, std::string>> MakeCorpus() {
  std::vector<std::pair<std::string, std::string>> Clips;
  std::minstd_rand Random(20240611);

  TClipOptions Clock;
  Clock.DurationMs = 3000;
  Clock.Fields = "Title:The clock\r\nAuthor:makeviv\r\nCopyright:Free to copy\r\n";
  const std::string Good = MakeDemoClip(Clock);
  Clips.emplace_back("clock.viv", Good);

  // Every third picture dropped by the encoder: only the temporal references tell the times.
  TClipOptions Dropped = Clock;
  Dropped.DropEvery = 3;
  Clips.emplace_back("dropped.viv", MakeDemoClip(Dropped));

  // The picture size changes after a second, from 176 x 144 to 128 x 96.
  TClipOptions Large = Clock, Small = Clock;
  Large.DurationMs = Small.DurationMs = 2000;
  Small.Width = 128;
  Small.Height = 96;
  Clips.emplace_back("resize.viv", Header(Large) + DemoPackets(Large, 0, 15) + DemoPackets(Small, 15, 15) + EndPacket());

  // Vivo 2: pictures and Siren sound, a 40-byte frame every 40 ms (random bits: there is no
  // Siren encoder).
  {
    TClipOptions Two = Clock;
    Two.Width = 128;
    Two.Height = 96;
    Two.DurationMs = 2000;
    std::string Clip = Header(Two, 2);
    int Sequence = 0, Frame = 0;
    for (const TCodedPicture& Picture : DemoPictures(Two, 0, 30)) {
      for (; Frame * 40.0 <= Picture.Ms; ++Frame) Clip += SoundPacket(Frame % 16, RandomBytes(Random, 40));
      Clip += VideoPackets(Sequence++ % 16, Picture.Bytes);
    }
    for (; Frame * 40.0 < Two.DurationMs; ++Frame) Clip += SoundPacket(Frame % 16, RandomBytes(Random, 40));
    Clips.emplace_back("siren.viv", Clip + EndPacket());
  }

  // Cut off in the middle of a packet.
  Clips.emplace_back("truncated.viv", Good.substr(0, PacketNear(Good, 0.6) + 5));

  // One byte in 300 after the header changed.
  {
    std::string Flipped = Good;
    for (size_t I = PacketNear(Good, 0) + 150; I < Flipped.size(); I += 300)
      Flipped[I] = static_cast<char>(Flipped[I] ^ (1 + Random() % 255));
    Clips.emplace_back("flipped.viv", Flipped);
  }

  // A packet that claims 16383 bytes, far more than is left.
  {
    std::string Absurd = Good;
    size_t At = PacketNear(Good, 0.4);
    Absurd.replace(At, 1, "\x82\x20\xFF\x7F", 4);
    Clips.emplace_back("absurd-length.viv", Absurd);
  }

  // A packet of a type no Vivo file has.
  {
    std::string Unknown = Good;
    Unknown.insert(PacketNear(Good, 0.5), "\x5A" + RandomBytes(Random, 20));
    Clips.emplace_back("unknown-type.viv", Unknown);
  }

  // Pictures of random bytes, good sound.
  {
    std::string Garbled = Good;
    for (const TPacketPlace& Packet : Packets(Good))
      if (Packet.Type == 1 || Packet.Type == 2) Garbled.replace(Packet.Data, Packet.Length, RandomBytes(Random, Packet.Length));
    Clips.emplace_back("garbage-pictures.viv", Garbled);
  }

  // Nothing but random pictures: nothing plays.
  {
    std::string Clip = Header(Clock);
    for (int Picture = 0; Picture < 20; ++Picture) Clip += VideoPackets(Picture % 16, RandomBytes(Random, 300));
    Clips.emplace_back("garbage-only.viv", Clip + EndPacket());
  }

  // A header and nothing else: the generated picture.
  TMakeVivoOptions HeaderOnly;
  HeaderOnly.DurationMs = 2000;
  Clips.emplace_back("header-only.viv", MakeVivoFile(HeaderOnly));

  // Stills: one picture each, held while a second of the tone plays, as spoken clips often are.
  TClipOptions Still = Clock;
  Still.Fps = 1;
  Still.DurationMs = 1000;
  Still.DrawPicture = AmberPicture;
  Clips.emplace_back("still-amber.viv", MakeDemoClip(Still));
  Still.DrawPicture = TealPicture;
  Clips.emplace_back("still-teal.viv", MakeDemoClip(Still));
  return Clips;
}
