// Amplifier envelope, amplifier stage and filter envelope of one voice chunk.
//
// Numeric contract:
// - Amplifier envelope: AdsrStep on the amplifier fields with the rising
//   parabola (row ampLevel) and the falling parabola (row 31). ampEnv is the
//   value >> 1 (Q31), 0 when the step gives nothing (level 0) or the release has
//   ended; every chunk with ampEnv 0 counts up `fading`.
// - Ring modulation (osc2RingMod non-zero): osc1Out[i] := (osc1Out[i] x
//   osc2Out[i]) >> 30 from the exact 64-bit product, saturated to the signed
//   32-bit range. Two full-scale sines (+-2^30) give +-2^30; a sample (+-2^31),
//   the offset saw or the pulse can take the product beyond 32 bits, and it is
//   then held at the range end instead of wrapping to the opposite sign.
// - Envelope ramp: delta = (ampEnv - ampEnvPrev) >> 2 (arithmetic), frame i of
//   the chunk uses e_i = ampEnv + i x delta, formed in 32 bits.
// - Mix, with hi(a, b) = floor(a x b / 2^32) and shifts arithmetic:
//     oscillator 1 alone (osc2Wave 0): hi(osc1, e_i)                  -> 0.5
//     oscillators 1 and 2 (osc3Wave 0): s = (osc1 >> 1) + hi(osc2, vol2),
//       out = low 32 bits of (s x e_i) >> 31                         -> 0.5, 0.5 vol2
//     three oscillators: s = (osc1 >> 2) + hi(osc2, vol2 >> 1) + hi(osc3, vol3 >> 1),
//       P = s x e_i, out = low32(P >> 31) + ((P >> 32) >> 1)         -> 5/16 each
//   (weights at e = 2^31, volumes Q31).
// - Filter envelope (only while filterType is non-zero): AdsrStep on the filter
//   fields with the rising line (row filterEnvLevel) and the falling line (row
//   31). Nothing or the end mark: filterCutoff := cutoff. Attack, sustain and
//   release: min(8190, cutoff + (R >> 19)). Decay: S = R + min(cutoff, 8190) x
//   2^19 in 32 bits, 0xF4000000 when that carries; filterCutoff := S >> 19
//   (8191 possible without a carry, 7808 after one).
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "engine/adsr.h"
#include "engine/tables.h"
#include "engine/voice_output.h"
#include "shared/fixed.h"
#include "shared/relaxed.h"

namespace amp_stage {

inline constexpr uint32_t kCutoffLimit = 8190;
inline constexpr uint32_t kDecayCarryValue = 0xF4000000;

[[gnu::always_inline]] inline int32_t RingProduct(int32_t a, int32_t b) {
    const int64_t p = (static_cast<int64_t>(a) * b) >> 30;
    const int32_t r = static_cast<int32_t>(p);
    if (r == p) [[likely]] return r;
    return p < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

}  // namespace amp_stage

[[gnu::always_inline]] inline void AmpEnvelope(VoiceState& vs) {
    int32_t stage = RelaxedLoad(vs.ampStage);
    const int32_t before = stage;
    const AdsrResult r =
        AdsrStep({vs.ampLevel, vs.ampAttackRate, vs.ampDecayRate, vs.ampReleaseRate, vs.ampSustainLevel,
                  RelaxedLoad(vs.ampGate), stage, vs.ampAttackPhase, vs.ampDecayPhase,
                  vs.ampReleasePhase, vs.ampPeak, vs.ampValue},
                 g_shapeRiseCurve, g_shapeFallCurve);
    if (stage != before) RelaxedStore(vs.ampStage, stage);
    const uint32_t e = r.value >> 1;  // 0 for nothing and the end mark
    vs.ampEnvPrev = vs.ampEnv;
    vs.ampEnv = e;
    if (e == 0) vs.fading += 1;
}

[[gnu::always_inline]] inline void AmpStage(VoiceState& vs) {
    int32_t* const out = vs.voiceOut;
    const int32_t* const o1 = vs.osc1Out;
    const int32_t* const o2 = vs.osc2Out;
    const int32_t* const o3 = vs.osc3Out;

    if (vs.osc2RingMod != 0) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) vs.osc1Out[i] = amp_stage::RingProduct(vs.osc1Out[i], o2[i]);
    }

    const uint32_t env = vs.ampEnv;
    const uint32_t delta = static_cast<uint32_t>(static_cast<int32_t>(env - vs.ampEnvPrev) >> 2);
    int32_t e[4];
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) e[i] = static_cast<int32_t>(env + static_cast<uint32_t>(i) * delta);

    if (vs.osc2Wave == 0) {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) out[i] = hi(o1[i], e[i]);
    } else if (vs.osc3Wave == 0) {
        const int32_t vol2 = static_cast<int32_t>(vs.osc2Volume);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const int32_t s = wrapAdd(o1[i] >> 1, hi(o2[i], vol2));
            out[i] = static_cast<int32_t>((static_cast<int64_t>(s) * e[i]) >> 31);
        }
    } else {
        const int32_t vol2 = static_cast<int32_t>(vs.osc2Volume >> 1);
        const int32_t vol3 = static_cast<int32_t>(vs.osc3Volume >> 1);
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const int32_t s = wrapAdd(wrapAdd(o1[i] >> 2, hi(o2[i], vol2)), hi(o3[i], vol3));
            const int64_t p = static_cast<int64_t>(s) * e[i];
            out[i] = wrapAdd(static_cast<int32_t>(p >> 31), static_cast<int32_t>(p >> 32) >> 1);
        }
    }
}

[[gnu::always_inline]] inline void FilterEnvelope(VoiceState& vs) {
    int32_t stage = RelaxedLoad(vs.filterEnvStage);
    const int32_t before = stage;
    const AdsrResult r = AdsrStep(
        {vs.filterEnvLevel, vs.filterEnvAttackRate, vs.filterEnvDecayRate, vs.filterEnvReleaseRate,
         vs.filterEnvSustainLevel, RelaxedLoad(vs.filterEnvGate), stage, vs.filterEnvAttackPhase,
         vs.filterEnvDecayPhase, vs.filterEnvReleasePhase, vs.filterEnvPeak, vs.filterEnvValue},
        g_shapeRiseLine, g_shapeFallLine);
    if (stage != before) RelaxedStore(vs.filterEnvStage, stage);

    // cutoff is 0..0x1FFE by the chunk step; read it as unsigned so that a value
    // outside that range still gives a cutoff entry inside the tables.
    const uint32_t cutoff = std::min(static_cast<uint32_t>(vs.cutoff), amp_stage::kCutoffLimit);
    switch (r.stage) {
        case AdsrStage::kNothing:
        case AdsrStage::kEnded:
            vs.filterCutoff = cutoff;
            break;
        case AdsrStage::kDecay: {
            const uint32_t base = cutoff << 19;
            uint32_t s = r.value + base;
            if (s < base) s = amp_stage::kDecayCarryValue;  // the sum carried past 2^32
            vs.filterCutoff = s >> 19;
            break;
        }
        case AdsrStage::kAttack:
        case AdsrStage::kSustain:
            vs.filterCutoff = std::min(amp_stage::kCutoffLimit, cutoff + (r.value >> 19));
            break;
    }
}
