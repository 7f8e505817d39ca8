// The small set of clips the tests play, good and damaged, written by makeviv --corpus and kept
// in tests/unit/VivoCorpus. Each damaged one is a good one broken in one way a real file can be.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Name and bytes of every clip of the set, in a fixed order; the same every time.
std::vector<std::pair<std::string, std::string>> MakeCorpus();

struct TPacketPlace {
  size_t Offset;  // of its type byte (or the 0x82 before it)
  int Type;
  size_t Data;    // of its first byte of data
  size_t Length;
};

// The packets after the header of a Vivo file, as far as they can be followed.
std::vector<TPacketPlace> Packets(const std::string& File);
