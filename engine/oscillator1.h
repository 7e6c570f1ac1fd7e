// Oscillator 1, once per chunk of a sounding voice.
//
// Numeric contract:
// - Pitch index p = osc1Pitch (1/256 semitone, 0..0x9800) indexes the per-pitch
//   tables directly; step = g_phaseStepTable[p] is the phase increment per frame
//   (2^32 = one cycle). Phases are unsigned 32-bit; wave tables are read at
//   phase >> 19 without interpolation. Outputs: the sine at +-2^30 full scale;
//   the sawtooth with its offset and the pulse exceed it; samples span +-2^31.
// - Each frame reads with the phase it starts with, then advances.
// - FM (waves 1..4): frame i adds f_i = hi(4 x hi(osc2Out[i], D), F) to the
//   phase, D = osc1FmDepth (Q31), F = g_fmDepthCurve[p] (Q31). osc2Out is the
//   previous chunk's output of oscillator 2.
// - Hard sync (waves 1..4): bit i of osc1SyncMask resets the wave before frame i;
//   the mask is cleared after a chunk that had bits. Noise and sample neither use
//   nor clear it.
// - Waves: 1 sine; 2 triangle crossfaded into the sine by g_waveFadeOut/In; 3 a
//   sine pushed by its own rise over two frames (g_pitchCurveA), which gives a
//   falling sawtooth, plus the mean-cancelling offset g_pitchCurveC; 4 the
//   difference of two such sines (g_pitchCurveB) osc1PulseOffset apart, a pulse,
//   whose running width osc1PulseWidth grows by osc1PwmRate per chunk; 5 noise
//   drawn whenever a 31-bit clock overflows; 6 sample playback; 7..255 as 1.
// - All sums wrap modulo 2^32.
//
// Each wave keeps its phases and histories in locals for the chunk: the phase of
// a frame depends on the table value of the frame before (FM and the push), so
// the four frames form one chain of table reads.
#pragma once

#include <cstdint>

#include "engine/oscillators.h"
#include "engine/tables.h"
#include "shared/fixed.h"

namespace osc1 {

// Phase increment of each frame of the chunk: the step plus the frame's FM term
// (the FM terms depend only on the previous chunk, so they are formed first).
template <bool kFm>
[[gnu::always_inline]] inline void FrameIncrements(const VoiceState& vs, uint32_t step, uint32_t pitch,
                                                   uint32_t (&inc)[4]) {
    if constexpr (kFm) {
        const int32_t depth = vs.osc1FmDepth;
        const int32_t curve = g_fmDepthCurve[pitch];
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i)
            inc[i] = step + static_cast<uint32_t>(hi(wrapMul(4, hi(vs.osc2Out[i], depth)), curve));
    } else {
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) inc[i] = step;
    }
}

template <bool kSync>
[[gnu::always_inline]] inline bool SyncBit(uint32_t mask, int i) {
    if constexpr (kSync) {
        return (mask >> i) & 1u;
    } else {
        return false;
    }
}

template <bool kSync>
[[gnu::always_inline]] inline void Sine(VoiceState& vs, const uint32_t (&inc)[4], uint32_t mask) {
    uint32_t phase = vs.osc1Phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        if (SyncBit<kSync>(mask, i)) phase = 0;
        vs.osc1Out[i] = g_sineTable[phase >> 19];
        phase += inc[i];
    }
    vs.osc1Phase = phase;
}

template <bool kSync>
[[gnu::always_inline]] inline void Triangle(VoiceState& vs, const uint32_t (&inc)[4], uint32_t mask,
                                            uint32_t pitch) {
    const int32_t wT = g_waveFadeOut[pitch];
    const int32_t wS = g_waveFadeIn[pitch];
    uint32_t phase = vs.osc1Phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        if (SyncBit<kSync>(mask, i)) phase = 0;
        const uint32_t k = phase >> 19;
        vs.osc1Out[i] = hi(g_triangleTable[k], wT) + 2 * hi(g_sineTable[k], wS);
        phase += inc[i];
    }
    vs.osc1Phase = phase;
}

template <bool kSync>
[[gnu::always_inline]] inline void Saw(VoiceState& vs, const uint32_t (&inc)[4], uint32_t mask,
                                       uint32_t pitch) {
    const int32_t fb = g_pitchCurveA[pitch];
    const int32_t off = g_pitchCurveC[pitch];
    int32_t hist[4] = {vs.osc1History[0], vs.osc1History[1], vs.osc1History[2], vs.osc1History[3]};
    uint32_t phase = vs.osc1Phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        if (SyncBit<kSync>(mask, i)) {
            // A quarter cycle, where the sine peaks; the feedback of this frame and
            // the next starts from the peak.
            phase = 0x40000000;
            hist[(i + 2) & 3] = 0x40000000;
            hist[(i + 3) & 3] = 0x40000000;
        }
        const int32_t s = g_sineTable[phase >> 19];
        const int32_t before = hist[(i + 2) & 3];
        hist[i] = s;
        vs.osc1Out[i] = s + off;
        phase += inc[i] + static_cast<uint32_t>(2 * hi(wrapSub(s, before), fb));
    }
    vs.osc1Phase = phase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) vs.osc1History[i] = hist[i];
}

template <bool kSync>
[[gnu::always_inline]] inline void Pulse(VoiceState& vs, const uint32_t (&inc)[4], uint32_t mask,
                                         uint32_t pitch) {
    // The running width (osc1PulseWidth) sweeps by osc1PwmRate once per chunk of
    // this wave, in the chunk's envelope steps; the offset played here is the one
    // formed before the sweep.
    const int32_t fb = g_pitchCurveB[pitch];
    const uint32_t width = vs.osc1PulseOffset;
    int32_t ha[4] = {vs.osc1History[0], vs.osc1History[1], vs.osc1History[2], vs.osc1History[3]};
    int32_t hb[4] = {vs.osc1History2[0], vs.osc1History2[1], vs.osc1History2[2], vs.osc1History2[3]};
    uint32_t phase = vs.osc1Phase;
    uint32_t phase2 = vs.osc1Phase2;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        if (SyncBit<kSync>(mask, i)) {
            phase = 0;
            phase2 = 0;
            ha[(i + 2) & 3] = ha[(i + 3) & 3] = 0;
            hb[(i + 2) & 3] = hb[(i + 3) & 3] = 0;
        }
        const int32_t a = g_oscSineTable[phase >> 19];
        const int32_t aBefore = ha[(i + 2) & 3];
        ha[i] = a;
        phase += inc[i] + static_cast<uint32_t>(2 * hi(wrapSub(a, aBefore), fb));
        const int32_t b = g_oscSineTable[(phase2 + width) >> 19];
        const int32_t bBefore = hb[(i + 2) & 3];
        hb[i] = b;
        phase2 += inc[i] + static_cast<uint32_t>(2 * hi(wrapSub(b, bBefore), fb));
        vs.osc1Out[i] = a - b;
    }
    vs.osc1Phase = phase;
    vs.osc1Phase2 = phase2;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        vs.osc1History[i] = ha[i];
        vs.osc1History2[i] = hb[i];
    }
}

// Noise: a signed 31-bit clock advanced by c per frame; each overflow draws the
// next value of the generator seed := (seed + count)^2.
[[gnu::always_inline]] inline void Noise(VoiceState& vs, uint32_t step, int32_t depth) {
    int32_t c = static_cast<int32_t>(step);
    if (depth != 0) c = wrapAdd(c, wrapMul(4, hi(vs.osc2Out[0], depth)));
    int32_t v = vs.osc1History[0];
    int32_t clock = vs.osc1NoisePhase;
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        int32_t sum;
        if (__builtin_add_overflow(clock, c, &sum)) {
            clock = static_cast<int32_t>(static_cast<uint32_t>(sum) & 0x7FFFFFFFu);
            vs.osc1NoiseCount += 1;
            const uint32_t s = vs.osc1NoiseSeed + vs.osc1NoiseCount;
            vs.osc1NoiseSeed = s * s;
            v = static_cast<int32_t>(vs.osc1NoiseSeed & 0x7FFFFFFFu) - 0x40000000;
        } else {
            clock = sum;
        }
        vs.osc1Out[i] = v;
    }
    vs.osc1NoisePhase = clock;
    vs.osc1History[0] = v;
}

template <bool kFm, bool kSync>
[[gnu::always_inline]] inline void TableWave(VoiceState& vs, uint32_t wave, uint32_t pitch, uint32_t mask) {
    uint32_t inc[4];
    FrameIncrements<kFm>(vs, g_phaseStepTable[pitch], pitch, inc);
    switch (wave) {
        case kWaveTriangle: Triangle<kSync>(vs, inc, mask, pitch); break;
        case kWaveSaw: Saw<kSync>(vs, inc, mask, pitch); break;
        case kWavePulse: Pulse<kSync>(vs, inc, mask, pitch); break;
        default: Sine<kSync>(vs, inc, mask); break;
    }
}

}  // namespace osc1

[[gnu::always_inline]] inline void RenderOscillator1(VoiceState& vs) {
    const uint32_t wave = vs.osc1Wave;
    const uint32_t pitch = vs.osc1Pitch;
    if (wave == kWaveNoise) {
        osc1::Noise(vs, g_phaseStepTable[pitch], vs.osc1FmDepth);
        return;
    }
    if (wave == kWaveSample) {
        PlaySample(vs.osc1Sample, vs.osc1SamplePos, vs.osc1SampleFrac, pitch, vs.osc1Out);
        return;
    }
    const uint32_t mask = vs.osc1SyncMask;
    const bool fm = vs.osc1FmDepth != 0;
    if (mask == 0) {
        if (fm) osc1::TableWave<true, false>(vs, wave, pitch, 0);
        else osc1::TableWave<false, false>(vs, wave, pitch, 0);
    } else {
        if (fm) osc1::TableWave<true, true>(vs, wave, pitch, mask);
        else osc1::TableWave<false, true>(vs, wave, pitch, mask);
        vs.osc1SyncMask = 0;
    }
}
