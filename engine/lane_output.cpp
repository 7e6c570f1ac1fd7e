// Amplifier stage, filter and bus mix of eight voice lanes (see voice_lanes.h).
//
// Per lane, exactly AmpStage, then RenderFilter and MixVoiceToBus with a filter
// type, or MixFilterOff without one. Every variant (oscillator count, filter
// type, drive on or off) is computed only when an active lane needs it; when all
// active lanes agree, the variant runs alone without per-lane selection.
//
// The filter runs every type through one pair of two-pole sections:
//   section A (memory 1, or memory 2 for the 24 dB low pass) takes x;
//   section B (memory 2, or memory 3 for the 24 dB low pass) takes u << 5 (24 dB
//   low pass), (u << 5) - x (band pass) or u (dual peak), u being A's output,
//   and its output leaves shifted left by 0, 1 or 5 for those types.
// Types 1 and 3 use section A alone. Section B shares A's coefficients except
// for the dual peak, whose second entry gets a gather of its own.
#include "engine/lane_math.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"

namespace {

using namespace lanes;

constexpr int32_t kFieldWords = kResonanceRows * kCutoffEntries;
constexpr int32_t kSetWords = 3 * kFieldWords;
static_assert(sizeof(FilterCoefSet) == sizeof(int32_t) * kSetWords);
static_assert(kCutoffEntries == 1 << 13);  // row x entries = row << 13

constexpr int32_t kDualPeakRow = 28;
constexpr int32_t kDualPeakBase = 768;
constexpr int32_t kRampTop = 0x7FFFFFFF;

// The odd lanes moved into the low halves of their 64-bit pairs, where
// _mm256_mul_epi32 reads its factors (the even lanes are there already).
MC_LANE_INLINE V OddDown(V a) { return _mm256_shuffle_epi32(a, 0xF5); }
MC_LANE_INLINE V Not(V a) { return Xor(a, Eq(a, a)); }
MC_LANE_INLINE V Sllv(V a, V n) { return _mm256_sllv_epi32(a, n); }
// Stores v into the lanes of m; all: m holds every lane, v is stored whole.
MC_LANE_INLINE void StoreIn(void* p, V v, V m, bool all) {
    if (all) {
        Store(p, v);
    } else {
        Store(p, Select(m, v, Load(p)));
    }
}

// The signed 64-bit products of even and odd lanes.
struct Prod {
    V even, odd;
};

// A factor that stays the same for the four frames, with its odd lanes moved
// down once.
struct Factor {
    V v, odd;
};

MC_LANE_INLINE Factor MakeFactor(V v) { return {v, OddDown(v)}; }

MC_LANE_INLINE Prod Mul(V a, V b) {
    return {_mm256_mul_epi32(a, b), _mm256_mul_epi32(OddDown(a), OddDown(b))};
}
MC_LANE_INLINE Prod Mul(V a, const Factor& b) {
    return {_mm256_mul_epi32(a, b.v), _mm256_mul_epi32(OddDown(a), b.odd)};
}
// Upper 32 bits of the products.
MC_LANE_INLINE V Upper(const Prod& p) { return _mm256_blend_epi32(OddDown(p.even), p.odd, 0xAA); }
// Low 32 bits of the products shifted right by N (1 <= N <= 31).
template <int N>
MC_LANE_INLINE V LowShr(const Prod& p) {
    return _mm256_blend_epi32(_mm256_srli_epi64(p.even, N), _mm256_slli_epi64(p.odd, 32 - N), 0xAA);
}

MC_LANE_INLINE V HiF(V a, const Factor& b) { return Upper(Mul(a, b)); }

// (a x b) >> 30 from the exact product, held at the signed 32-bit range ends.
MC_LANE_INLINE V Ring(V a, V b) {
    const Prod p = Mul(a, b);
    const V top = Upper(p);
    const V sign = Sra(top, 31);
    const V fits = Eq(Sra(top, 29), sign);
    return Select(fits, LowShr<30>(p), Xor(Set1(0x7FFFFFFF), sign));
}

// ---------------------------------------------------------------------------
// Amplifier stage: oscillator mix times the envelope ramp.

enum MixKind { kMixOne = 1, kMixTwo = 2, kMixThree = 3 };

struct AmpIn {
    V o1[4], o2[4], o3[4], e[4];
    V vol2, vol3;  // osc2Volume, osc3Volume
};

template <int M>
MC_LANE_INLINE void AmpMix(const AmpIn& in, V* out) {
    if constexpr (M == kMixOne) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) out[i] = Upper(Mul(in.o1[i], in.e[i]));
    } else if constexpr (M == kMixTwo) {
        const Factor v2 = MakeFactor(in.vol2);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const V s = Add(Sra(in.o1[i], 1), HiF(in.o2[i], v2));
            out[i] = LowShr<31>(Mul(s, in.e[i]));
        }
    } else {
        const Factor v2 = MakeFactor(Srl(in.vol2, 1));
        const Factor v3 = MakeFactor(Srl(in.vol3, 1));
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const V s = Add(Add(Sra(in.o1[i], 2), HiF(in.o2[i], v2)), HiF(in.o3[i], v3));
            const Prod p = Mul(s, in.e[i]);
            out[i] = Add(LowShr<31>(p), Sra(Upper(p), 1));
        }
    }
}

MC_LANE_INLINE void AmpMixMixed(const AmpIn& in, V one, V two, uint32_t act, V* out) {
    V tmp[4] = {};
    const V three = Not(Or(one, two));
    bool first = true;
    if ((Bits(one) & act) != 0) {
        AmpMix<kMixOne>(in, out);
        first = false;
    }
    if ((Bits(two) & act) != 0) {
        AmpMix<kMixTwo>(in, tmp);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) out[i] = first ? tmp[i] : Select(two, tmp[i], out[i]);
        first = false;
    }
    if ((Bits(three) & act) != 0) {
        AmpMix<kMixThree>(in, tmp);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) out[i] = first ? tmp[i] : Select(three, tmp[i], out[i]);
    }
}

// ---------------------------------------------------------------------------
// Voice filter.

struct Coefs {
    Factor g, f1, f2;
};

// The coefficients last read by one section, with the eight indices they were
// read at: a row with the same indices (a held note whose cutoff and resonance
// stay put) takes them again instead of reading the table. The tables never
// change once built. No index is negative, so the first row always reads.
struct KeptCoefs {
    alignas(32) int32_t idx[kLanes] = {-1, -1, -1, -1, -1, -1, -1, -1};
    alignas(32) int32_t g[kLanes], f1[kLanes], f2[kLanes];
};
KeptCoefs g_keptA, g_keptB;

MC_LANE_INLINE Coefs GatherCoefs(V idx, KeptCoefs& kept) {
    if (Bits(Eq(idx, Load(kept.idx))) == 0xFFu)
        return {MakeFactor(Load(kept.g)), MakeFactor(Load(kept.f1)), MakeFactor(Load(kept.f2))};
    const int32_t* const base = &g_filterCoefTables[0].gain[0][0];
    const V g = Gather(base, idx);
    const V f1 = Gather(base, Add(idx, Set1(kFieldWords)));
    const V f2 = Gather(base, Add(idx, Set1(2 * kFieldWords)));
    Store(kept.idx, idx);
    Store(kept.g, g);
    Store(kept.f1, f1);
    Store(kept.f2, f2);
    return {MakeFactor(g), MakeFactor(f1), MakeFactor(f2)};
}

// One two-pole section on memory (y1, y2).
MC_LANE_INLINE V Section(V x, const Coefs& k, V& y1, V& y2) {
    // The terms of x and y2 first: y1 is the previous frame's v.
    const V part = Add(HiF(x, k.g), Sll(HiF(y2, k.f2), 2));
    const V v = Add(part, Sll(HiF(y1, k.f1), 2));
    const V out = Add(v, y1);
    y2 = y1;
    y1 = v;
    return out;
}

// Per-lane masks of the filter types among the lanes (kind 0 only).
struct TypeMasks {
    V t2, t3, t4, t5;
};

// Filter state of the row: x in place, memories of sections A and B.
struct FilterRun {
    V x[4];
    V a1, a2, b1, b2;
};

// Filter kind K: 1..5 when every active filtered lane has that type (1 stands
// for every type outside 2..5), 0 for a mix of types.
template <int K>
MC_LANE_INLINE void RunFilter(FilterRun& f, const LaneState& s, const LaneRow& row, const TypeMasks& t,
                              V filtered) {
    const V r = And(Load(row.resonance), Set1(kResonanceRows - 1));
    const V c = MinU(Load(row.filterCutoff), Set1(kCutoffEntries - 1));
    const V setB = Set1(kSetWords);

    // First coefficient index: set, row, entry.
    V idx;
    const V peakEntry = Add(Srl(c, 1), Set1(kDualPeakBase));
    const V peakRow = Set1(kDualPeakRow * kCutoffEntries);
    if constexpr (K == 1 || K == 3) {
        idx = Add(Sll(r, 13), c);
    } else if constexpr (K == 4) {
        idx = Add(setB, Add(Sll(r, 13), c));
    } else if constexpr (K == 2) {
        idx = Add(setB, Add(Sll(Srl(r, 1), 13), c));
    } else if constexpr (K == 5) {
        idx = Add(peakRow, peakEntry);
    } else {
        const V useB = Or(t.t2, t.t4);
        const V rowSel = Select(t.t2, Srl(r, 1), r);
        idx = Add(And(useB, setB), Add(Sll(rowSel, 13), c));
        idx = Select(t.t5, Add(peakRow, peakEntry), idx);
    }
    const Coefs kA = GatherCoefs(idx, g_keptA);
    Coefs kB = kA;
    // The dual peak's second entry: 64 (r + 4) further along the row.
    if constexpr (K == 5) {
        kB = GatherCoefs(Add(idx, Sll(Add(r, Set1(4)), 6)), g_keptB);
    } else if constexpr (K == 0) {
        const V peak = And(t.t5, filtered);
        if (Bits(peak) != 0) kB = GatherCoefs(Add(idx, And(peak, Sll(Add(r, Set1(4)), 6))), g_keptB);
    }
    Factor h{};
    bool highPass = K == 3;
    if constexpr (K == 0) highPass = Bits(And(t.t3, filtered)) != 0;
    if (highPass) h = MakeFactor(Gather(g_resonanceGainTable, r));

    const V m1y1 = Load(s.filterMem[0]), m1y2 = Load(s.filterMem[1]);
    const V m2y1 = Load(s.filterMem[2]), m2y2 = Load(s.filterMem[3]);
    const V m3y1 = Load(s.filterMem[4]), m3y2 = Load(s.filterMem[5]);
    if constexpr (K == 4) {
        f.a1 = m2y1, f.a2 = m2y2, f.b1 = m3y1, f.b2 = m3y2;
    } else if constexpr (K == 0) {
        f.a1 = Select(t.t4, m2y1, m1y1), f.a2 = Select(t.t4, m2y2, m1y2);
        f.b1 = Select(t.t4, m3y1, m2y1), f.b2 = Select(t.t4, m3y2, m2y2);
    } else {
        f.a1 = m1y1, f.a2 = m1y2, f.b1 = m2y1, f.b2 = m2y2;
    }

    if constexpr (K == 0) {
        // Section B's input: u << 5 (types 2, 4), u (type 5); minus x for type 2.
        // Its output: << 0 (type 4), << 1 (type 2), << 5 (type 5).
        const V shIn = And(Not(t.t5), Set1(5));
        const V shOut = Or(And(t.t2, Set1(1)), And(t.t5, Set1(5)));
        const V useB = Or(Or(t.t2, t.t4), t.t5);
        const bool anyB = Bits(And(useB, filtered)) != 0;
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const V x = f.x[i];
            const V u = Section(x, kA, f.a1, f.a2);
            V out = u;
            if (highPass) out = Select(t.t3, Sub(Sll(HiF(x, h), 1), u), u);
            if (anyB) {
                const V in = Sub(Sllv(u, shIn), And(t.t2, x));
                out = Select(useB, Sllv(Section(in, kB, f.b1, f.b2), shOut), out);
            }
            f.x[i] = out;
        }
    } else {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const V x = f.x[i];
            const V u = Section(x, kA, f.a1, f.a2);
            if constexpr (K == 1) {
                f.x[i] = u;
            } else if constexpr (K == 3) {
                f.x[i] = Sub(Sll(HiF(x, h), 1), u);
            } else if constexpr (K == 4) {
                f.x[i] = Section(Sll(u, 5), kB, f.b1, f.b2);
            } else if constexpr (K == 2) {
                f.x[i] = Sll(Section(Sub(Sll(u, 5), x), kB, f.b1, f.b2), 1);
            } else {
                f.x[i] = Sll(Section(u, kB, f.b1, f.b2), 5);
            }
        }
    }
}

// Stores the filter memories of the lanes in `filtered` (active lanes with a
// filter type; all: every lane).
template <int K>
MC_LANE_INLINE void StoreFilterMemory(LaneState& s, const FilterRun& f, const TypeMasks& t, V filtered, bool all) {
    if constexpr (K == 1 || K == 3) {
        StoreIn(s.filterMem[0], f.a1, filtered, all);
        StoreIn(s.filterMem[1], f.a2, filtered, all);
    } else if constexpr (K == 4) {
        StoreIn(s.filterMem[2], f.a1, filtered, all);
        StoreIn(s.filterMem[3], f.a2, filtered, all);
        StoreIn(s.filterMem[4], f.b1, filtered, all);
        StoreIn(s.filterMem[5], f.b2, filtered, all);
    } else if constexpr (K == 2 || K == 5) {
        StoreIn(s.filterMem[0], f.a1, filtered, all);
        StoreIn(s.filterMem[1], f.a2, filtered, all);
        StoreIn(s.filterMem[2], f.b1, filtered, all);
        StoreIn(s.filterMem[3], f.b2, filtered, all);
    } else {
        const V m4 = And(filtered, t.t4);
        const V m1 = And(filtered, Not(t.t4));            // section A on memory 1
        const V m2b = And(filtered, Or(t.t2, t.t5));      // section B on memory 2
        Store(s.filterMem[0], Select(m1, f.a1, Load(s.filterMem[0])));
        Store(s.filterMem[1], Select(m1, f.a2, Load(s.filterMem[1])));
        Store(s.filterMem[2], Select(m4, f.a1, Select(m2b, f.b1, Load(s.filterMem[2]))));
        Store(s.filterMem[3], Select(m4, f.a2, Select(m2b, f.b2, Load(s.filterMem[3]))));
        Store(s.filterMem[4], Select(m4, f.b1, Load(s.filterMem[4])));
        Store(s.filterMem[5], Select(m4, f.b2, Load(s.filterMem[5])));
    }
}

template <int K>
MC_LANE_INLINE void Filter(FilterRun& f, LaneState& s, const LaneRow& row, const TypeMasks& t, V filtered, bool all) {
    RunFilter<K>(f, s, row, t, filtered);
    StoreFilterMemory<K>(s, f, t, filtered, all);
}

// ---------------------------------------------------------------------------
// Bus mix.

// Filtered, drive 0: hi(x, g_i) with the voice-gain ramp g_i = G - i x sigma,
// held at 0x7FFFFFFF above the top.
MC_LANE_INLINE void PlainMix(const V* x, V gain, V gainPrev, V* add) {
    const V sigma = Sra(Sub(gainPrev, gain), 2);
    const V rising = Gt(Zero(), sigma);  // g_i grows with i
    const V top = Set1(kRampTop);
    V g = gain;
    add[0] = Upper(Mul(x[0], g));
#pragma GCC unroll 3
    for (int i = 1; i < 4; ++i) {
        g = Sub(g, sigma);
        // A rising ramp that wrapped past the top reads below the gain.
        const V over = And(rising, Gt(gain, g));
        add[i] = Upper(Mul(x[i], Select(over, top, g)));
    }
}

// Drive on: y = hi(x, voiceGain) (filtered) or x >> 2 (filter off); w =
// hi(y, pre), times 8 when filtered; then held at C and at -C in that order,
// C = 0xD00000 - (drive >> 1): with a negative C every word gives -C.
MC_LANE_INLINE void DriveMix(const V* x, V drive, V gain, V filtered, bool anyFiltered, bool anyOff, V* add) {
    const V knee = Set1(0x900000);
    const V below = Eq(MinU(drive, Set1(0x8FFFFF)), drive);  // drive < 0x900000
    const Factor pre = MakeFactor(Add(Set1(0x20000000), Sll(Select(below, Zero(), Sub(drive, knee)), 7)));
    const V ceiling = Sub(Set1(0xD00000), Srl(drive, 1));
    const V floor = Sub(Zero(), ceiling);
    const Factor g = MakeFactor(gain);
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        V y;
        if (!anyOff)
            y = HiF(x[i], g);
        else if (!anyFiltered)
            y = Sra(x[i], 2);
        else
            y = Select(filtered, HiF(x[i], g), Sra(x[i], 2));
        V w = HiF(y, pre);
        if (!anyOff)
            w = Sll(w, 3);
        else if (anyFiltered)
            w = Select(filtered, Sll(w, 3), w);
        add[i] = MaxS(MinS(w, ceiling), floor);
    }
}

}  // namespace

MC_LANE_FN void LaneOutput(LaneState& s, const LaneRow& row, LaneMix& mix) {
    const uint32_t act = row.active & 0xFF;
    if (act == 0) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) Store(mix.add[i], Zero());
        return;
    }
    const V active = MaskOfBits(act);

    // Ring modulation, in place on oscillator 1's output.
    AmpIn in;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        in.o1[i] = Load(s.osc1Out[i]);
        in.o2[i] = Load(s.osc2Out[i]);
    }
    const V ring = And(active, Not(Eq(Load(row.osc2RingMod), Zero())));
    if (Bits(ring) != 0) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            in.o1[i] = Select(ring, Ring(in.o1[i], in.o2[i]), in.o1[i]);
            Store(s.osc1Out[i], in.o1[i]);
        }
    }

    // Envelope ramp e_i = ampEnv + i x ((ampEnv - ampEnvPrev) >> 2).
    const V env = Load(row.ampEnv);
    const V delta = Sra(Sub(env, Load(row.ampEnvPrev)), 2);
    in.e[0] = env;
#pragma GCC unroll 4
    for (int i = 1; i < 4; ++i) in.e[i] = Add(in.e[i - 1], delta);

    const V one = Eq(Load(row.osc2Wave), Zero());
    const V two = And(Not(one), Eq(Load(row.osc3Wave), Zero()));
    const uint32_t oneBits = Bits(one) & act, twoBits = Bits(two) & act;
    in.vol2 = Load(row.osc2Volume);
    FilterRun f{};
    if (oneBits == act) {
        AmpMix<kMixOne>(in, f.x);
    } else {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) in.o3[i] = Load(s.osc3Out[i]);
        in.vol3 = Load(row.osc3Volume);
        if (twoBits == act)
            AmpMix<kMixTwo>(in, f.x);
        else if ((oneBits | twoBits) == 0)
            AmpMix<kMixThree>(in, f.x);
        else
            AmpMixMixed(in, one, two, act, f.x);
    }

    // Filter, on the active lanes with a filter type.
    const V type = Load(row.filterType);
    const V filtered = And(active, Not(Eq(type, Zero())));
    const uint32_t filteredBits = Bits(filtered);
    if (filteredBits != 0) {
        const V amp[4] = {f.x[0], f.x[1], f.x[2], f.x[3]};
        TypeMasks t;
        t.t2 = Eq(type, Set1(2));
        t.t3 = Eq(type, Set1(3));
        t.t4 = Eq(type, Set1(4));
        t.t5 = Eq(type, Set1(5));
        const uint32_t b2 = Bits(t.t2) & filteredBits, b3 = Bits(t.t3) & filteredBits;
        const uint32_t b4 = Bits(t.t4) & filteredBits, b5 = Bits(t.t5) & filteredBits;
        if (b4 == filteredBits)
            Filter<4>(f, s, row, t, filtered, filteredBits == 0xFFu);
        else if ((b2 | b3 | b4 | b5) == 0)
            Filter<1>(f, s, row, t, filtered, filteredBits == 0xFFu);
        else if (b3 == filteredBits)
            Filter<3>(f, s, row, t, filtered, filteredBits == 0xFFu);
        else if (b2 == filteredBits)
            Filter<2>(f, s, row, t, filtered, filteredBits == 0xFFu);
        else if (b5 == filteredBits)
            Filter<5>(f, s, row, t, filtered, filteredBits == 0xFFu);
        else
            Filter<0>(f, s, row, t, filtered, filteredBits == 0xFFu);
        if (filteredBits != act) {
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) f.x[i] = Select(filtered, f.x[i], amp[i]);
        }
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) StoreIn(s.voiceOut[i], f.x[i], active, act == 0xFFu);

    // Bus mix.
    const V drive = Load(row.drive);
    const V plain = Eq(drive, Zero());
    const uint32_t plainBits = Bits(plain) & act;
    const uint32_t plainFiltered = plainBits & filteredBits;
    const uint32_t plainOff = plainBits & ~filteredBits;
    const uint32_t driven = act & ~plainBits;
    const V gain = Load(row.voiceGain);
    V add[4] = {};
    V tmp[4] = {};
    bool first = true;
    if (plainFiltered != 0) {
        const V gainPrev = Load(s.voiceGainPrev);
        PlainMix(f.x, gain, gainPrev, add);
        first = false;
        StoreIn(s.voiceGainPrev, gain, And(filtered, plain), plainFiltered == 0xFFu);
    }
    if (plainOff != 0) {
        const V m = Not(filtered);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) add[i] = first ? Sra(f.x[i], 6) : Select(m, Sra(f.x[i], 6), add[i]);
        first = false;
    }
    if (driven != 0) {
        DriveMix(f.x, drive, gain, filtered, (driven & filteredBits) != 0, (driven & ~filteredBits) != 0, tmp);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) add[i] = first ? tmp[i] : Select(plain, add[i], tmp[i]);
    }
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) Store(mix.add[i], act == 0xFFu ? add[i] : And(active, add[i]));
}
