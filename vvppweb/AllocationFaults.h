// Memory running out, on demand, for tests through the diagnostics interface: the control's
// own C++ allocations fail as they would when the system has no more to give.
#pragma once

#include <cstdint>

// From now on, the After-th allocation on the calling thread fails; 0 lets every one succeed.
// False when an earlier such allocation was still to come.
bool FailAllocationAfter(uint32_t After);
