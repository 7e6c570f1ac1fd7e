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

// Each active lane's four addends into its bus words of the mix row.
MC_LANE_FN void LaneAddToBuses(const LaneMix& mix, uint32_t active, const uint32_t* bus, int32_t* row) {
    using namespace lanes;
    // Transpose frames x lanes into one quad of four frames per lane.
    const V a0 = Load(mix.add[0]), a1 = Load(mix.add[1]), a2 = Load(mix.add[2]), a3 = Load(mix.add[3]);
    const V t0 = _mm256_unpacklo_epi32(a0, a1);  // l0f0 l0f1 l1f0 l1f1 | l4.. l5..
    const V t1 = _mm256_unpackhi_epi32(a0, a1);  // l2f0 l2f1 l3f0 l3f1 | l6.. l7..
    const V t2 = _mm256_unpacklo_epi32(a2, a3);  // l0f2 l0f3 l1f2 l1f3 | ..
    const V t3 = _mm256_unpackhi_epi32(a2, a3);
    const V q01 = _mm256_unpacklo_epi64(t0, t2);  // lane 0 | lane 4
    const V q11 = _mm256_unpackhi_epi64(t0, t2);  // lane 1 | lane 5
    const V q21 = _mm256_unpacklo_epi64(t1, t3);  // lane 2 | lane 6
    const V q31 = _mm256_unpackhi_epi64(t1, t3);  // lane 3 | lane 7
    alignas(32) int32_t quads[kLanes][4];
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[0]), _mm256_castsi256_si128(q01));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[1]), _mm256_castsi256_si128(q11));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[2]), _mm256_castsi256_si128(q21));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[3]), _mm256_castsi256_si128(q31));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[4]), _mm256_extracti128_si256(q01, 1));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[5]), _mm256_extracti128_si256(q11, 1));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[6]), _mm256_extracti128_si256(q21, 1));
    _mm_store_si128(reinterpret_cast<__m128i*>(quads[7]), _mm256_extracti128_si256(q31, 1));
    for (uint32_t bits = active; bits != 0; bits &= bits - 1) {
        const int l = __builtin_ctz(bits);
        __m128i* const words = reinterpret_cast<__m128i*>(row + 4 * (bus[l] & (kBuses - 1)));
        const __m128i q = _mm_load_si128(reinterpret_cast<const __m128i*>(quads[l]));
        _mm_storeu_si128(words, _mm_add_epi32(_mm_loadu_si128(words), q));
    }
}
