// The hand-over block's line as a broken or hostile writer may leave it: read within its 1024
// bytes, up to the first NUL, and split like any command line.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/CommandLine.h"

namespace {
void Require(bool Holds) {
  if (!Holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // A field of exactly 1024 bytes on the heap, so reading past it is caught.
  constexpr size_t Capacity = 1024;
  char* Field = new char[Capacity];
  std::memset(Field, 'x', Capacity);
  std::memcpy(Field, Data, std::min(Size, Capacity));

  std::string Line = FieldText(Field, Capacity);
  Require(Line.size() <= Capacity && Line.find('\0') == std::string::npos);
  Require(std::memcmp(Line.data(), Field, Line.size()) == 0);
  Require(Line.size() == Capacity || Field[Line.size()] == '\0');
  for (const std::string& Argument : CommandLineArguments(Line))
    Require(!Argument.empty() && Argument.size() <= Line.size());
  delete[] Field;
  return 0;
}
