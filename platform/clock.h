// The millisecond clock of live event timing.
#pragma once

#include <cstdint>

// Milliseconds of the system's monotonic clock, wrapping like a 32-bit counter.
// Differences of two readings are valid across the wrap.
uint32_t timeGetTime();
