// The millisecond clock of the event writers: milliseconds of a monotonic clock,
// wrapping like a 32-bit counter (differences of two readings stay right across
// the wrap as unsigned 32-bit subtraction).
#pragma once

#include <cstdint>
#include <functional>

uint32_t timeGetTime();

// Replaces the clock for tests; an empty function restores the monotonic clock.
// Not for use while other threads read the clock.
void SetClockForTest(std::function<uint32_t()> clock);
