// The AVIO FFmpeg reads a clip through: a header packet of ours, then the clip's own bytes from
// its first media packet on, straight from the fetched copy in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct AVIOContext;

struct TMediaInput {
  std::string Header;
  std::shared_ptr<const std::string> Bytes;
  size_t Offset = 0;  // the first byte of Bytes that follows Header
  uint64_t Pos = 0;   // the reading position in Header + Bytes[Offset...]

  uint64_t Size() const { return Header.size() + (Bytes->size() - Offset); }
};

// An AVIO context that reads and seeks within Input; nullptr when out of memory. Input must
// outlive it; CloseMediaInput frees it.
AVIOContext* OpenMediaInput(TMediaInput& Input);
void CloseMediaInput(AVIOContext*& Context);
