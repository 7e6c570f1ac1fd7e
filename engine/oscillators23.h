// Oscillators 2 and 3, once per chunk, right after oscillator 1.
//
// Numeric contract:
// - As oscillator 1 without FM and without sync resets: pitch index p indexes
//   the per-pitch tables directly, step = g_phaseStepTable[p], phases unsigned
//   32-bit read at phase >> 19, the sine at +-2^30 full scale, sums wrap.
// - Waves 1, 2, 3, 5, 6 compute what oscillator 1's wave of that number
//   computes. Wave 4 is a sine whose phase slows near its peaks (a rounded
//   square): increment g_osc23StepTable[p] + 8 x hi(hi(s, s), g_feedbackCurve[p]);
//   from pitch index 0x7E00 up it equals wave 1. Any other selector is silent;
//   for oscillator 2 (0 or above 6) oscillator 3 is then not computed.
// - Sync (oscillator 2 with osc2Sync, ORed into osc1SyncMask bit i for frame i):
//   wave 1 when the phase wraps past 2^32; waves 2, 3, 4 when the phase addition
//   overflows as a signed 32-bit addition (passing 2^31); wave 5 from the chunk's
//   first drawn value on, in each frame whose previous-chunk output is >= the
//   held value; wave 6 never.
// - Oscillator 3 has its own fields and raises no sync bits.
#pragma once

#include <cstdint>

#include "engine/oscillators.h"
#include "engine/tables.h"
#include "shared/fixed.h"

namespace osc23 {

// The fields of one of the two oscillators.
struct Osc {
    uint32_t& phase;
    int32_t (&history)[4];
    int32_t& noisePhase;
    uint32_t& noiseCount;
    uint32_t& noiseSeed;
    uint32_t sample;
    int32_t& samplePos;
    uint32_t& sampleFrac;
    int32_t (&out)[4];
};

// Adds inc to phase; true when the addition overflows as a signed addition.
[[gnu::always_inline]] inline bool AddSigned(uint32_t& phase, uint32_t inc) {
    int32_t sum;
    const bool overflow =
        __builtin_add_overflow(static_cast<int32_t>(phase), static_cast<int32_t>(inc), &sum);
    phase = static_cast<uint32_t>(sum);
    return overflow;
}

template <bool kSync>
[[gnu::always_inline]] inline uint32_t Sine(const Osc& o, uint32_t step) {
    uint32_t bits = 0;
    uint32_t phase = o.phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        o.out[i] = g_sineTable[phase >> 19];
        const uint32_t next = phase + step;
        if (kSync && next < phase) bits |= 1u << i;
        phase = next;
    }
    o.phase = phase;
    return bits;
}

template <bool kSync>
[[gnu::always_inline]] inline uint32_t Triangle(const Osc& o, uint32_t step, uint32_t pitch) {
    const int32_t wT = g_waveFadeOut[pitch];
    const int32_t wS = g_waveFadeIn[pitch];
    uint32_t bits = 0;
    uint32_t phase = o.phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const uint32_t k = phase >> 19;
        o.out[i] = hi(g_triangleTable[k], wT) + 2 * hi(g_sineTable[k], wS);
        if (AddSigned(phase, step) && kSync) bits |= 1u << i;
    }
    o.phase = phase;
    return bits;
}

template <bool kSync>
[[gnu::always_inline]] inline uint32_t Saw(const Osc& o, uint32_t step, uint32_t pitch) {
    const int32_t fb = g_pitchCurveA[pitch];
    const int32_t off = g_pitchCurveC[pitch];
    int32_t hist[4] = {o.history[0], o.history[1], o.history[2], o.history[3]};
    uint32_t bits = 0;
    uint32_t phase = o.phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const int32_t s = g_sineTable[phase >> 19];
        const int32_t h = hist[(i + 2) & 3];
        hist[i] = s;
        const uint32_t inc = step + static_cast<uint32_t>(2 * hi(wrapSub(s, h), fb));
        if (AddSigned(phase, inc) && kSync) bits |= 1u << i;
        o.out[i] = s + off;
    }
    o.phase = phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) o.history[i] = hist[i];
    return bits;
}

template <bool kSync>
[[gnu::always_inline]] inline uint32_t RoundedSquare(const Osc& o, uint32_t pitch) {
    const uint32_t base = g_osc23StepTable[pitch];
    const int32_t k = g_feedbackCurve[pitch];
    uint32_t bits = 0;
    uint32_t phase = o.phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const int32_t s = g_sineTable[phase >> 19];
        o.out[i] = s;
        const int32_t e = wrapMul(8, hi(hi(s, s), k));
        if (AddSigned(phase, base + static_cast<uint32_t>(e)) && kSync) bits |= 1u << i;
    }
    o.phase = phase;
    return bits;
}

template <bool kSync>
[[gnu::always_inline]] inline uint32_t Noise(const Osc& o, uint32_t step) {
    uint32_t bits = 0;
    bool drawn = false;
    int32_t v = o.history[0];
    int32_t clock = o.noisePhase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        int32_t sum;
        if (__builtin_add_overflow(clock, static_cast<int32_t>(step), &sum)) {
            clock = static_cast<int32_t>(static_cast<uint32_t>(sum) & 0x7FFFFFFFu);
            o.noiseCount += 1;
            const uint32_t s = o.noiseSeed + o.noiseCount;
            o.noiseSeed = s * s;
            v = static_cast<int32_t>(o.noiseSeed & 0x7FFFFFFFu) - 0x40000000;
            drawn = true;
        } else {
            clock = sum;
        }
        // Compared with this frame's output of the previous chunk, before it is
        // overwritten.
        if (kSync && drawn && o.out[i] >= v) bits |= 1u << i;
        o.out[i] = v;
    }
    o.noisePhase = clock;
    o.history[0] = v;
    return bits;
}

// One chunk of oscillator o with wave `wave`. Returns false for a silent selector
// (0 or above 6); `bits` receives the sync bits.
template <bool kSync>
[[gnu::always_inline]] inline bool Render(const Osc& o, uint32_t wave, uint32_t pitch, uint32_t& bits) {
    switch (wave) {
        case kWaveSine: bits = Sine<kSync>(o, g_phaseStepTable[pitch]); return true;
        case kWaveTriangle: bits = Triangle<kSync>(o, g_phaseStepTable[pitch], pitch); return true;
        case kWaveSaw: bits = Saw<kSync>(o, g_phaseStepTable[pitch], pitch); return true;
        case kWavePulse: bits = RoundedSquare<kSync>(o, pitch); return true;
        case kWaveNoise: bits = Noise<kSync>(o, g_phaseStepTable[pitch]); return true;
        case kWaveSample:
            PlaySample(o.sample, o.samplePos, o.sampleFrac, pitch, o.out);
            return true;
        default:
            o.out[0] = o.out[1] = o.out[2] = o.out[3] = 0;
            return false;
    }
}

}  // namespace osc23

[[gnu::always_inline]] inline bool RenderOscillator2(VoiceState& vs) {
    const osc23::Osc o{vs.osc2Phase,  vs.osc2History,   vs.osc2NoisePhase, vs.osc2NoiseCount, vs.osc2NoiseSeed,
                       vs.osc2Sample, vs.osc2SamplePos, vs.osc2SampleFrac, vs.osc2Out};
    uint32_t bits = 0;
    bool goOn;
    if (vs.osc2Sync != 0) {
        goOn = osc23::Render<true>(o, vs.osc2Wave, vs.osc2Pitch, bits);
        vs.osc1SyncMask |= bits;
    } else {
        goOn = osc23::Render<false>(o, vs.osc2Wave, vs.osc2Pitch, bits);
    }
    return goOn;
}

[[gnu::always_inline]] inline void RenderOscillator3(VoiceState& vs) {
    const osc23::Osc o{vs.osc3Phase,  vs.osc3History,   vs.osc3NoisePhase, vs.osc3NoiseCount, vs.osc3NoiseSeed,
                       vs.osc3Sample, vs.osc3SamplePos, vs.osc3SampleFrac, vs.osc3Out};
    uint32_t bits = 0;
    osc23::Render<false>(o, vs.osc3Wave, vs.osc3Pitch, bits);
}
