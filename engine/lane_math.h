// Eight-lane integer helpers for the voice lanes (AVX2). Only the lane files
// include this header; every function here is compiled for AVX2 and called only
// from code compiled for it, after VoiceLanesSupported() has said yes.
//
// Each lane is a signed or unsigned 32-bit word; additions, subtractions, left
// shifts and MulLo wrap modulo 2^32 as the scalar engine's do. Hi(a, b) is the
// upper 32 bits of the signed 64-bit product (the scalar hi()), MulShr(a, b, n)
// the low 32 bits of that product shifted right by n (0 <= n <= 32).
#pragma once

#include <immintrin.h>

#include <cstdint>

// Every lane function carries this: compiled for AVX2 and always inlined into
// its (AVX2) caller.
#define MC_LANE_INLINE __attribute__((target("avx2"), always_inline)) static inline
// The out-of-line lane entry points.
#define MC_LANE_FN __attribute__((target("avx2")))

namespace lanes {

using V = __m256i;

MC_LANE_INLINE V Load(const void* p) { return _mm256_load_si256(static_cast<const V*>(p)); }
MC_LANE_INLINE void Store(void* p, V v) { _mm256_store_si256(static_cast<V*>(p), v); }
MC_LANE_INLINE V Set1(int32_t x) { return _mm256_set1_epi32(x); }
MC_LANE_INLINE V Zero() { return _mm256_setzero_si256(); }

MC_LANE_INLINE V Add(V a, V b) { return _mm256_add_epi32(a, b); }
MC_LANE_INLINE V Sub(V a, V b) { return _mm256_sub_epi32(a, b); }
MC_LANE_INLINE V MulLo(V a, V b) { return _mm256_mullo_epi32(a, b); }
MC_LANE_INLINE V And(V a, V b) { return _mm256_and_si256(a, b); }
MC_LANE_INLINE V Or(V a, V b) { return _mm256_or_si256(a, b); }
MC_LANE_INLINE V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
MC_LANE_INLINE V Sra(V a, int n) { return _mm256_srai_epi32(a, n); }
MC_LANE_INLINE V Srl(V a, int n) { return _mm256_srli_epi32(a, n); }
MC_LANE_INLINE V Sll(V a, int n) { return _mm256_slli_epi32(a, n); }
MC_LANE_INLINE V Eq(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
MC_LANE_INLINE V Gt(V a, V b) { return _mm256_cmpgt_epi32(a, b); }  // signed
MC_LANE_INLINE V MinU(V a, V b) { return _mm256_min_epu32(a, b); }
MC_LANE_INLINE V MinS(V a, V b) { return _mm256_min_epi32(a, b); }
MC_LANE_INLINE V MaxS(V a, V b) { return _mm256_max_epi32(a, b); }
// Lane by lane: mask ? a : b (mask lanes all ones or all zeros).
MC_LANE_INLINE V Select(V mask, V a, V b) { return _mm256_blendv_epi8(b, a, mask); }
// Bit l set when lane l of the mask is set.
MC_LANE_INLINE uint32_t Bits(V mask) {
    return static_cast<uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(mask)));
}
// Lane l all ones when bit l of `bits` is set.
MC_LANE_INLINE V MaskOfBits(uint32_t bits) {
    const V lane = _mm256_setr_epi32(1, 2, 4, 8, 16, 32, 64, 128);
    return Eq(And(Set1(static_cast<int32_t>(bits)), lane), lane);
}

// table[idx] lane by lane (32-bit entries).
MC_LANE_INLINE V Gather(const int32_t* table, V idx) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), idx, 4);
}
MC_LANE_INLINE V Gather(const uint32_t* table, V idx) {
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), idx, 4);
}

// Upper 32 bits of the signed products a x b.
MC_LANE_INLINE V Hi(V a, V b) {
    const V even = _mm256_mul_epi32(a, b);
    const V odd = _mm256_mul_epi32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32));
    return _mm256_blend_epi32(_mm256_srli_epi64(even, 32), odd, 0xAA);
}

// Low 32 bits of the signed products a x b shifted right by n, 0 <= n <= 32
// (for those bits an arithmetic and a logical shift agree).
MC_LANE_INLINE V MulShr(V a, V b, int n) {
    const V even = _mm256_mul_epi32(a, b);
    const V odd = _mm256_mul_epi32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32));
    const V e = _mm256_srli_epi64(even, n);
    const V o = _mm256_slli_epi64(_mm256_srli_epi64(odd, n), 32);
    return _mm256_blend_epi32(e, o, 0xAA);
}

}  // namespace lanes
