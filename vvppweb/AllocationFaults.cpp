// The control's operator new, which can be told to fail (AllocationFaults.h). Only the OCX has
// it: the native builds keep the sanitizers' own.
#include "vvppweb/AllocationFaults.h"

#include <cstdlib>
#include <new>

namespace {

// Counted down by each allocation of the thread that asked; the one that reaches 0 fails.
thread_local uint32_t Countdown = 0;

}  // namespace

bool FailAllocationAfter(uint32_t After) {
  bool Came = Countdown == 0;
  Countdown = After;
  return Came;
}

void* operator new(std::size_t Size) {
  if (Countdown != 0 && --Countdown == 0) throw std::bad_alloc();
  if (void* Block = std::malloc(Size ? Size : 1)) return Block;
  throw std::bad_alloc();
}

void operator delete(void* Block) noexcept { std::free(Block); }
void operator delete(void* Block, std::size_t) noexcept { std::free(Block); }
