// Effect unit 3: the four delays and the room, hall and plate reverbs.
//
// Unit 3 hears the effect-2 send plus unit 2's output of the frame and adds its
// own result to unit 2's output. The reverbs run per channel: a one-pole input
// low-pass cascade (gain 2 at zero frequency per stage), a pre-delay line,
// parallel feedback combs, and three all-passes in series, all on the 4,096-word
// reverb lines with wrapping 32-bit arithmetic and no clamp.
//
// Lines: 19 and 9 are the left and right pre-delays, 18..13 and 8..3 the left
// and right combs 1..6, 12..10 and 2..0 the left and right all-passes 1..3.
//
// Inline: the effect units run as one body per frame (effects.cpp). Each reverb
// is its own instance of the templates, so its stages, line numbers and delays
// are constants of the code.
#pragma once

#include "engine/effect_dsp.h"
#include "shared/effect_state.h"
#include "shared/master_state.h"

namespace reverb {

inline constexpr uint32_t kLineMask = kReverbLineWords - 1;
inline constexpr int32_t kAllPass = 1503238553;  // 0.7 in Q31

struct ReverbShape {
    int32_t gainLeft;
    int32_t gainRight;
    int preStages;      // input low-pass stages per channel
    int combs;          // combs per channel
    uint32_t combDelayLeft[6];
    uint32_t combDelayRight[6];
    int32_t allPass[3];
    bool invertRight;   // the right output is subtracted
};

inline constexpr uint32_t kAllPassDelay[3] = {660, 264, 88};

inline constexpr ReverbShape kRoom = {32, 32, 4, 4,
                                      {2200, 2372, 2557, 2713, 0, 0}, {2200, 2372, 2557, 2713, 0, 0},
                                      {kAllPass, kAllPass, kAllPass}, true};
inline constexpr ReverbShape kHall = {-48, 48, 4, 6,
                                      {1980, 2152, 2337, 2493, 2662, 2841}, {2024, 2196, 2381, 2537, 2706, 2885},
                                      {kAllPass, kAllPass, kAllPass}, false};
inline constexpr ReverbShape kPlate = {-96, 96, 2, 6,
                                       {1980, 2152, 2337, 2493, 2662, 2841}, {2024, 2196, 2381, 2537, 2706, 2885},
                                       {kAllPass, -kAllPass, kAllPass}, false};

template <int kCount>
[[gnu::always_inline]] inline int32_t PreFilter(int32_t* stages, int32_t x) {
#pragma GCC unroll 4
    for (int j = 0; j < kCount; ++j) {
        stages[j] = x + (stages[j] >> 1);
        x = stages[j];
    }
    return x;
}

// One channel of a reverb after its pre-delay: the combs on lines
// firstComb, firstComb - 1, ... and the all-passes on lines firstComb - 6 .. - 8.
// damping[5 - i] belongs to the comb on line firstComb - i. Returns the last
// all-pass output.
template <uint32_t Code, const ReverbShape& shape, bool kLeft>
[[gnu::always_inline]] inline int32_t ReverbChannel(int32_t* damping, uint32_t w, int32_t pre, int32_t g) {
    constexpr int firstComb = kLeft ? 18 : 8;
    constexpr const uint32_t* combDelay = kLeft ? shape.combDelayLeft : shape.combDelayRight;
    int32_t sum = 0;
#pragma GCC unroll 6
    for (int i = 0; i < shape.combs; ++i) {
        int32_t* line = g_reverbLines[firstComb - i];
        const int32_t c = line[(w - combDelay[i]) & kLineMask];
        if constexpr (Code == kFxReverbRoom) {
            damping[5 - i] = hi(c, g) + (damping[5 - i] >> 1);
            const int32_t v = damping[5 - i] + pre;
            line[w] = v;
            sum += v;
        } else if constexpr (Code == kFxReverbHall) {
            const int32_t h = hi(c, g);
            sum += 2 * h;
            damping[5 - i] = h + (damping[5 - i] >> 1);
            line[w] = damping[5 - i] + pre;
        } else {
            const int32_t v = pre + 2 * hi(c, g);
            line[w] = v;
            sum += v;
        }
    }
    int32_t x = sum;
    int32_t y = 0;
#pragma GCC unroll 3
    for (int j = 0; j < 3; ++j) {
        int32_t* line = g_reverbLines[firstComb - 6 - j];
        const int32_t z = line[(w - kAllPassDelay[j]) & kLineMask];
        const int32_t v = x + 2 * hi(z, shape.allPass[j]);
        line[w] = v;
        y = z + 2 * hi(0 - v, shape.allPass[j]);
        x = y;
    }
    return y;
}

template <uint32_t Code, const ReverbShape& shape>
[[gnu::always_inline]] inline void Reverb(EffectUnit3State& st, MasterState& ms) {
    const int32_t xl = PreFilter<shape.preStages>(st.leftPreFilter, st.inputLeft * shape.gainLeft);
    const int32_t xr = PreFilter<shape.preStages>(st.rightPreFilter, st.inputRight * shape.gainRight);

    const uint32_t w = st.writePos & kLineMask;
    st.writePos += 1;

    const uint32_t p = st.preDelay / 4;
    const uint32_t r = (w - p) & kLineMask;
    const int32_t pl = g_reverbLines[19][r];
    g_reverbLines[19][w] = xl;
    const int32_t pr = g_reverbLines[9][r];
    g_reverbLines[9][w] = xr;

    // combDamping: [0..5] the combs on lines 3..8, [6..11] those on lines 13..18.
    const int32_t yl = ReverbChannel<Code, shape, true>(&st.combDamping[6], w, pl, st.feedback);
    ms.fx2OutLeft += yl >> 12;
    const int32_t yr = ReverbChannel<Code, shape, false>(&st.combDamping[0], w, pr, st.feedback);
    if (shape.invertRight) {
        ms.fx2OutRight -= yr >> 12;
    } else {
        ms.fx2OutRight += yr >> 12;
    }
}

}  // namespace reverb

[[gnu::always_inline]] inline void RenderEffectUnit3(int k) {
    using namespace reverb;
    MasterState& ms = g_masterState;
    EffectUnit3State& st = g_fx3State;
    st.inputLeft = ms.fx2InLeft[k] + ms.fx2OutLeft;
    st.inputRight = ms.fx2InRight[k] + ms.fx2OutRight;

    switch (g_fxCode[2]) {
        case kFxDelayDigital:
        case kFxDelayStereo:
        case kFxDelaySpatial:
        case kFxDelayPingPong: {
            const fx::Stereo out = fx::DelayFrame(g_fx3Ring, g_fxCode[2], st.writePos, st.delayLength, st.feedback,
                                                  st.inputLeft, st.inputRight);
            ms.fx2OutLeft += out.left;
            ms.fx2OutRight += out.right;
            break;
        }
        case kFxReverbRoom:
            Reverb<kFxReverbRoom, kRoom>(st, ms);
            break;
        case kFxReverbHall:
            Reverb<kFxReverbHall, kHall>(st, ms);
            break;
        case kFxReverbPlate:
            Reverb<kFxReverbPlate, kPlate>(st, ms);
            break;
        default:
            break;  // off: unit 2's output passes unchanged
    }
}
