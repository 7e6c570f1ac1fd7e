// The mix bus buffer: one row per period position (11,025); a row holds for each
// of the 8 buses in order 0..7 four signed 32-bit sums, one per sub-frame of a
// chunk (bus b in words 4b..4b+3). Voices add into the row of the frame in which
// they compute a chunk; the master reads and clears it in the same call. All zero
// after every render call.
#pragma once

#include <cstdint>

#include "shared/constants.h"

struct MixBusBuffer {
    int32_t row[kPeriodPositions][kBuses * 4];
};
extern MixBusBuffer g_mixBuffer;
