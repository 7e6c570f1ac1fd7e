// The inputs of a chunk row, from the eight lanes' records (see voice_lanes.h),
// eight words of all lanes at a time by one transposition; and the bus mix of a
// row.
#include <cstddef>

#include "engine/lane_math.h"
#include "engine/voice_lanes.h"

// The row's fields from osc1Wave to bus are in the record's order, one 32-byte
// array each.
static_assert(offsetof(LaneRow, osc1Wave) == 0);
static_assert(offsetof(LaneRow, bus) == (kChunkInputWords - 1) * sizeof(uint32_t) * kLanes);

// Eight words of eight records (w[l] = words f..f + 7 of record l) turned into
// eight fields of eight lanes.
MC_LANE_INLINE void Transpose8(lanes::V (&w)[8]) {
    using namespace lanes;
    const V t0 = _mm256_unpacklo_epi32(w[0], w[1]), t1 = _mm256_unpackhi_epi32(w[0], w[1]);
    const V t2 = _mm256_unpacklo_epi32(w[2], w[3]), t3 = _mm256_unpackhi_epi32(w[2], w[3]);
    const V t4 = _mm256_unpacklo_epi32(w[4], w[5]), t5 = _mm256_unpackhi_epi32(w[4], w[5]);
    const V t6 = _mm256_unpacklo_epi32(w[6], w[7]), t7 = _mm256_unpackhi_epi32(w[6], w[7]);
    const V u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
    const V u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
    const V u4 = _mm256_unpacklo_epi64(t4, t6), u5 = _mm256_unpackhi_epi64(t4, t6);
    const V u6 = _mm256_unpacklo_epi64(t5, t7), u7 = _mm256_unpackhi_epi64(t5, t7);
    w[0] = _mm256_permute2x128_si256(u0, u4, 0x20);
    w[1] = _mm256_permute2x128_si256(u1, u5, 0x20);
    w[2] = _mm256_permute2x128_si256(u2, u6, 0x20);
    w[3] = _mm256_permute2x128_si256(u3, u7, 0x20);
    w[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
    w[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
    w[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
    w[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
}

// Words f..f + 7 of the eight records into fields f..f + 7 of the row.
MC_LANE_INLINE void InputBlock(const unsigned char* records, unsigned char* fields, int f) {
    using namespace lanes;
    V w[8];
#pragma GCC unroll 8
    for (int l = 0; l < kLanes; ++l)
        w[l] = _mm256_loadu_si256(reinterpret_cast<const V*>(records + l * sizeof(ChunkInputs) + f * 4));
    Transpose8(w);
#pragma GCC unroll 8
    for (int i = 0; i < 8; ++i) Store(fields + (f + i) * 32, w[i]);
}

MC_LANE_FN void LaneInputs(const ChunkInputs (&lanes)[kLanes], LaneRow& row) {
    const unsigned char* const records = reinterpret_cast<const unsigned char*>(lanes);
    unsigned char* const fields = reinterpret_cast<unsigned char*>(&row);
    // Words 0..7, 8..15 and 12..19 (the last block overlaps the second, so that no
    // load reaches past a record).
    InputBlock(records, fields, 0);
    InputBlock(records, fields, 8);
    InputBlock(records, fields, kChunkInputWords - 8);
}

// Each active lane's four addends into its bus words of the mix row. Wrapping
// additions commute, so lanes that share a bus may be summed first; the two
// common layouts (every lane on one bus, lane l on bus l) take whole vectors.
MC_LANE_FN void LaneAddToBuses(const LaneMix& mix, uint32_t active, const uint32_t* bus, int32_t* row) {
    using namespace lanes;
    active &= 0xFFu;
    if (active == 0) return;
    V a0 = Load(mix.add[0]), a1 = Load(mix.add[1]), a2 = Load(mix.add[2]), a3 = Load(mix.add[3]);
    if (active != 0xFFu) {
        // Inactive lanes add nothing.
        const V m = MaskOfBits(active);
        a0 = And(a0, m), a1 = And(a1, m), a2 = And(a2, m), a3 = And(a3, m);
    }
    const V busOf = And(_mm256_loadu_si256(reinterpret_cast<const V*>(bus)), Set1(kBuses - 1));
    const uint32_t first = bus[__builtin_ctz(active)] & (kBuses - 1);
    if ((Bits(Eq(busOf, Set1(static_cast<int32_t>(first)))) & active) == active) {
        // One bus: the sum of the lanes, frame by frame.
        const V s = _mm256_hadd_epi32(_mm256_hadd_epi32(a0, a1), _mm256_hadd_epi32(a2, a3));
        const __m128i q = _mm_add_epi32(_mm256_castsi256_si128(s), _mm256_extracti128_si256(s, 1));
        __m128i* const words = reinterpret_cast<__m128i*>(row + 4 * first);
        _mm_storeu_si128(words, _mm_add_epi32(_mm_loadu_si128(words), q));
        return;
    }
    // Transpose frames x lanes into one quad of four frames per lane.
    const V t0 = _mm256_unpacklo_epi32(a0, a1);  // l0f0 l0f1 l1f0 l1f1 | l4.. l5..
    const V t1 = _mm256_unpackhi_epi32(a0, a1);  // l2f0 l2f1 l3f0 l3f1 | l6.. l7..
    const V t2 = _mm256_unpacklo_epi32(a2, a3);  // l0f2 l0f3 l1f2 l1f3 | ..
    const V t3 = _mm256_unpackhi_epi32(a2, a3);
    const V q01 = _mm256_unpacklo_epi64(t0, t2);  // lane 0 | lane 4
    const V q11 = _mm256_unpackhi_epi64(t0, t2);  // lane 1 | lane 5
    const V q21 = _mm256_unpacklo_epi64(t1, t3);  // lane 2 | lane 6
    const V q31 = _mm256_unpackhi_epi64(t1, t3);  // lane 3 | lane 7
    if ((Bits(Eq(busOf, _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7))) & active) == active) {
        // Lane l on bus l: the row's four vectors of two buses each.
        static_assert(kBuses == kLanes);
        V* const words = reinterpret_cast<V*>(row);
        const V pairs[4] = {_mm256_permute2x128_si256(q01, q11, 0x20), _mm256_permute2x128_si256(q21, q31, 0x20),
                            _mm256_permute2x128_si256(q01, q11, 0x31), _mm256_permute2x128_si256(q21, q31, 0x31)};
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) _mm256_storeu_si256(words + i, Add(_mm256_loadu_si256(words + i), pairs[i]));
        return;
    }
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
