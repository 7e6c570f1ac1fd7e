// Voice filter: five types built from one two-pole section, and the filter-off
// mix into the voice's bus.
//
// Numeric contract (all 32-bit two's complement; additions and left shifts wrap,
// nothing saturates; hi(a, b) = floor(a x b / 2^32)):
// - Section S(x) with coefficients (G Q28, F1 Q30, F2 Q30) and memory (Y1, Y2):
//     v = hi(x, G) + (hi(Y1, F1) << 2) + (hi(Y2, F2) << 2); out = v + Y1;
//     Y2 := Y1; Y1 := v.
//   An all-pole low pass y[n] = G/2^32 x[n] + F1/2^30 y[n-1] + F2/2^30 y[n-2]
//   followed by a zero at the Nyquist frequency; gain at 0 Hz k g / 32 with
//   k = 1 - 0.0005 row^2 and g the set's fade-in factor (about 1 above it).
// - Coefficients are looked up once per chunk, at set X, row r = resonance,
//   entry c = filterCutoff; the four samples then pass the whole chain in order.
//     1  12 dB low pass: set A; memory 1; out = S(x).
//     3  12 dB high pass: set A; memory 1; h = g_resonanceGainTable[r];
//        out = (hi(x, h) << 1) - S(x).
//     4  24 dB low pass: set B; u = S(x) with memory 2; out = S(u << 5) with
//        memory 3 (same coefficients).
//     2  band pass: set B at row r >> 1; L = S(x) with memory 1;
//        out = S((L << 5) - x) << 1 with memory 2.
//     5  dual peak: set A row 28; e1 = (c >> 1) + 768, e2 = e1 + 64 (r + 4);
//        out = S2(S1(x)) << 5, S1 at e1 with memory 1, S2 at e2 with memory 2.
//   Any other non-zero type is type 1.
// - Filter off: with drive 0 each bus word += voiceOut[i] >> 6. With drive d:
//   gain = 0x20000000 (+ (d - 0x900000) << 7 from d = 0x900000 on), limit =
//   0xD00000 - (d >> 1); word += hi(voiceOut[i] >> 2, gain) clamped to +-limit.
//
// Guards: the resonance row is taken modulo 32 and the cutoff entry is held at
// 8,191, so no value of those fields indexes outside the tables.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/fixed.h"

namespace voice_filter {

inline constexpr int kDualPeakRow = 28;
inline constexpr uint32_t kDualPeakBase = 768;
inline constexpr uint32_t kLastEntry = kCutoffEntries - 1;

[[gnu::always_inline]] inline int32_t Shl(int32_t x, int n) {
    return static_cast<int32_t>(static_cast<uint32_t>(x) << n);
}

struct Coef {
    int32_t g, f1, f2;
};

[[gnu::always_inline]] inline Coef Lookup(const FilterCoefSet& set, uint32_t row, uint32_t entry) {
    return {set.gain[row][entry], set.feedback1[row][entry], set.feedback2[row][entry]};
}

// One two-pole section; y1, y2 are the memory words.
[[gnu::always_inline]] inline int32_t Section(int32_t x, const Coef& c, int32_t& y1, int32_t& y2) {
    const int32_t v = wrapAdd(wrapAdd(hi(x, c.g), Shl(hi(y1, c.f1), 2)), Shl(hi(y2, c.f2), 2));
    const int32_t out = wrapAdd(v, y1);
    y2 = y1;
    y1 = v;
    return out;
}

// The row and entries of the first section.
struct Where {
    const FilterCoefSet* set;
    uint32_t row, entry;
};

[[gnu::always_inline]] inline Where FirstSection(const VoiceState& vs) {
    const uint32_t r = static_cast<uint32_t>(vs.resonance) & (kResonanceRows - 1);
    const uint32_t c = std::min(vs.filterCutoff, kLastEntry);
    switch (vs.filterType) {
        case 4: return {&g_filterCoefTables[kFilterSetB], r, c};
        case 2: return {&g_filterCoefTables[kFilterSetB], r >> 1, c};
        case 5: return {&g_filterCoefTables[kFilterSetA], kDualPeakRow, (c >> 1) + kDualPeakBase};
        default: return {&g_filterCoefTables[kFilterSetA], r, c};
    }
}

}  // namespace voice_filter

[[gnu::always_inline]] inline void PrefetchFilter(const VoiceState& vs) {
    using namespace voice_filter;
    const Where w = FirstSection(vs);
    __builtin_prefetch(&w.set->gain[w.row][w.entry]);
    __builtin_prefetch(&w.set->feedback1[w.row][w.entry]);
    __builtin_prefetch(&w.set->feedback2[w.row][w.entry]);
}

[[gnu::always_inline]] inline void RenderFilter(VoiceState& vs) {
    using namespace voice_filter;
    const int32_t type = vs.filterType;
    if (type == 0) return;
    const uint32_t r = static_cast<uint32_t>(vs.resonance) & (kResonanceRows - 1);
    const uint32_t c = std::min(vs.filterCutoff, kLastEntry);
    int32_t* const x = vs.voiceOut;
    const FilterCoefSet& setA = g_filterCoefTables[kFilterSetA];
    const FilterCoefSet& setB = g_filterCoefTables[kFilterSetB];

    switch (type) {
        case 3: {
            const Coef k = Lookup(setA, r, c);
            const int32_t h = g_resonanceGainTable[r];
            int32_t y1 = vs.filterMem1Y1, y2 = vs.filterMem1Y2;
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) x[i] = wrapSub(Shl(hi(x[i], h), 1), Section(x[i], k, y1, y2));
            vs.filterMem1Y1 = y1;
            vs.filterMem1Y2 = y2;
            break;
        }
        case 4: {
            const Coef k = Lookup(setB, r, c);
            int32_t a1 = vs.filterMem2Y1, a2 = vs.filterMem2Y2;
            int32_t b1 = vs.filterMem3Y1, b2 = vs.filterMem3Y2;
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) {
                const int32_t u = Section(x[i], k, a1, a2);
                x[i] = Section(Shl(u, 5), k, b1, b2);
            }
            vs.filterMem2Y1 = a1;
            vs.filterMem2Y2 = a2;
            vs.filterMem3Y1 = b1;
            vs.filterMem3Y2 = b2;
            break;
        }
        case 2: {
            const Coef k = Lookup(setB, r >> 1, c);
            int32_t a1 = vs.filterMem1Y1, a2 = vs.filterMem1Y2;
            int32_t b1 = vs.filterMem2Y1, b2 = vs.filterMem2Y2;
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) {
                const int32_t l = Section(x[i], k, a1, a2);
                x[i] = Shl(Section(wrapSub(Shl(l, 5), x[i]), k, b1, b2), 1);
            }
            vs.filterMem1Y1 = a1;
            vs.filterMem1Y2 = a2;
            vs.filterMem2Y1 = b1;
            vs.filterMem2Y2 = b2;
            break;
        }
        case 5: {
            // c <= 8,191 and r <= 31 keep both entries inside the row (at most 7,103).
            const uint32_t e1 = (c >> 1) + kDualPeakBase;
            const uint32_t e2 = e1 + 64 * (r + 4);
            const Coef k1 = Lookup(setA, kDualPeakRow, e1);
            const Coef k2 = Lookup(setA, kDualPeakRow, e2);
            int32_t a1 = vs.filterMem1Y1, a2 = vs.filterMem1Y2;
            int32_t b1 = vs.filterMem2Y1, b2 = vs.filterMem2Y2;
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) x[i] = Shl(Section(Section(x[i], k1, a1, a2), k2, b1, b2), 5);
            vs.filterMem1Y1 = a1;
            vs.filterMem1Y2 = a2;
            vs.filterMem2Y1 = b1;
            vs.filterMem2Y2 = b2;
            break;
        }
        default: {  // 1, and any unknown non-zero type
            const Coef k = Lookup(setA, r, c);
            int32_t y1 = vs.filterMem1Y1, y2 = vs.filterMem1Y2;
#pragma GCC unroll 4
            for (int i = 0; i < 4; ++i) x[i] = Section(x[i], k, y1, y2);
            vs.filterMem1Y1 = y1;
            vs.filterMem1Y2 = y2;
            break;
        }
    }
}

[[gnu::always_inline]] inline void MixFilterOff(const VoiceState& vs, int32_t* bus) {
    using namespace voice_filter;
    const uint32_t d = vs.drive;
    if (d == 0) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) bus[i] = wrapAdd(bus[i], vs.voiceOut[i] >> 6);
        return;
    }
    int32_t gain = 0x20000000;
    if (d >= 0x900000) gain = wrapAdd(gain, Shl(static_cast<int32_t>(d - 0x900000), 7));
    const int32_t limit = static_cast<int32_t>(0xD00000 - (d >> 1));
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        int32_t v = hi(vs.voiceOut[i] >> 2, gain);
        if (v > limit) v = limit;
        if (v < -limit) v = -limit;
        bus[i] = wrapAdd(bus[i], v);
    }
}
