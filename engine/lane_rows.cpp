// The inputs of a chunk row, from the eight lanes' records (see voice_lanes.h):
// each field of all lanes with one gather.
#include <cstddef>

#include "engine/lane_math.h"
#include "engine/voice_lanes.h"

// The row's fields from osc1Wave to bus are in the record's order, one 32-byte
// array each.
static_assert(offsetof(LaneRow, osc1Wave) == 0);
static_assert(offsetof(LaneRow, bus) == (kChunkInputWords - 1) * sizeof(uint32_t) * kLanes);

MC_LANE_FN void LaneInputs(const ChunkInputs (&lanes)[kLanes], LaneRow& row) {
    using namespace lanes;
    const int32_t* const base = reinterpret_cast<const int32_t*>(lanes);
    const V index = MulLo(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), Set1(kChunkInputWords));
    unsigned char* const fields = reinterpret_cast<unsigned char*>(&row);
    for (int f = 0; f < kChunkInputWords; ++f) Store(fields + f * 32, Gather(base + f, index));
}
