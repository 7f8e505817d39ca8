// Driving the playback engine in tests: its fetches answered from a table of names, as the
// control's worker would, and its events taken.
#pragma once

#include <doctest.h>

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "vvppweb/Playback.h"

struct TRig {
  TPlayback Engine;
  std::map<std::string, std::string> Files;
  std::vector<std::string> Fetched;

  void Serve() {
    while (auto Request = Engine.TakeFetch()) {
      Fetched.push_back(Request->Url);
      auto File = Files.find(Request->Url);
      if (File == Files.end())
        Engine.Fetched(Request->Id, int32_t(0x80070002), {});
      else
        Engine.Fetched(Request->Id, 0, File->second);
    }
  }
  std::vector<TEngineEvent> Take(bool WithTimeAndState = false) {
    std::vector<TEngineEvent> Result;
    while (std::optional<TEngineEvent> Event = Engine.TakeEvent())
      if (WithTimeAndState || (Event->Event != dispOnTime && Event->Event != dispOnStateChange)) Result.push_back(*Event);
    return Result;
  }
  // Ms of clip played in buffers of 50 ms, each heard as soon as it is done.
  void Run(uint32_t Ms) {
    for (uint32_t Done = 0; Done < Ms; Done += 50) {
      Engine.BufferDone(uint64_t{50} * Engine.SoundRate() / 1000);
      Engine.Present(Engine.Position());
    }
    Serve();
  }
};

// A clip of the test corpus (tests/unit/VivoCorpus), as makeviv --corpus wrote it.
inline std::string CorpusClip(const std::string& Name) {
  std::ifstream In(std::string(QUILLO_VIVO_CORPUS) + Name, std::ios::binary);
  std::ostringstream Bytes;
  Bytes << In.rdbuf();
  REQUIRE_MESSAGE(!Bytes.str().empty(), "no test clip " << Name);
  return Bytes.str();
}
