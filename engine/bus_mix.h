// Distortion, voice-gain ramp and the mix of a filtered voice into its bus.
//
// Numeric contract (hi(a, b) = floor(a x b / 2^32), shifts arithmetic, the
// additions into the bus words wrap):
// - drive 0, plain mix: G = voiceGain, sigma = (voiceGainPrev - G) >> 2,
//   voiceGainPrev := G; frame i adds hi(voiceOut[i], g_i), g_i = G - i x sigma.
//   The ramp starts at the new gain and continues a quarter of the last change
//   per frame. A ramp factor above 0x7FFFFFFF is held at 0x7FFFFFFF: that
//   happens only in the first chunk of a note after a fade (gain 0x7E000000
//   after a previous gain near 0), where it would otherwise wrap to a negative
//   factor. Below the top the factor is the plain 32-bit value, so a gain that
//   has faded to 0 still gives 0, -0x800000, -0x1000000, -0x1800000.
// - drive d non-zero, distortion: t = hi(voiceOut[i], voiceGain) (no ramp);
//   u = hi(t, P) x 8 in 32 bits with the pre-gain P = 0x20000000, plus
//   (d - 0x900000) << 7 from d = 0x900000 on (1.0 up to knob 36, 3.75 at knob
//   80); u clipped to -C..C with C = 0xD00000 - (d >> 1). voiceGainPrev stays.
#pragma once

#include <cstdint>

#include "engine/voice_output.h"
#include "shared/fixed.h"

namespace bus_mix {

inline constexpr int64_t kRampTop = 0x7FFFFFFF;

[[gnu::always_inline]] inline int32_t Shl(int32_t x, int n) {
    return static_cast<int32_t>(static_cast<uint32_t>(x) << n);
}

}  // namespace bus_mix

[[gnu::always_inline]] inline void MixVoiceToBus(VoiceState& vs, int32_t* bus) {
    const uint32_t d = vs.drive;
    if (d == 0) {
        const uint32_t g = vs.voiceGain;
        const int32_t sigma = static_cast<int32_t>(vs.voiceGainPrev - g) >> 2;
        vs.voiceGainPrev = g;
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            int64_t gi = static_cast<int64_t>(static_cast<int32_t>(g)) - int64_t{i} * sigma;
            if (gi > bus_mix::kRampTop) gi = bus_mix::kRampTop;
            bus[i] = wrapAdd(bus[i], hi(vs.voiceOut[i], static_cast<int32_t>(gi)));
        }
        return;
    }
    int32_t pre = 0x20000000;
    if (d >= 0x900000) pre = wrapAdd(pre, bus_mix::Shl(static_cast<int32_t>(d - 0x900000), 7));
    const int32_t ceiling = static_cast<int32_t>(0xD00000 - (d >> 1));
    const int32_t gain = static_cast<int32_t>(vs.voiceGain);
#pragma GCC unroll 4
    for (int i = 0; i < 4; ++i) {
        const int32_t t = hi(vs.voiceOut[i], gain);
        int32_t u = wrapMul(hi(t, pre), 8);
        if (u >= ceiling) u = ceiling;
        if (u <= -ceiling) u = -ceiling;
        bus[i] = wrapAdd(bus[i], u);
    }
}
