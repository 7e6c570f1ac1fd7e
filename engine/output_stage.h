// Output stage: the frame's dry and effect sum, the bass and treble equaliser,
// the treble limiter, the master volume, clipping to 16 bits and the packed
// output word (left sample in bits 0-15, right in bits 16-31).
//
// Equaliser (while g_bassTrebleEq is non-zero), per channel, with 8 extra
// fraction bits: w = (x << 8) + hi(w[n-3], 21/64); a = w - a[n-1] / 2;
// b = a - b[n-1] / 2; out = b >> 8. That is
//   H(z) = 1 / ((1 - 21/64 z^-3) (1 + z^-1 / 2)^2),
// -3.6 dB at DC, lowest (-7.7 dB) near 5 kHz, +9.6 dB at 22.05 kHz.
//
// Limiter (while g_trebleLimiter is non-zero), per channel: pre-emphasis
// p = x - x[n-1] / 2; four smoothing stages s(j+1) = s(j) + s(j)[n-1] / 2 from
// s0 = p >> 2; high band h = p - s1; detector index (|h| >> 8) mod 16,384 into
// g_limiterGainTable, halved, held as the target while it is not below it; out
// = s4 + h (2^31 - 1 - 2 gain) / 2^31. The gain follows the target by 1/128 of
// the distance per frame (attack, about 2.9 ms) after the frame's output, and
// the target sinks toward 1 by 1/2048 per frame (release, about 46 ms).
//
// Then y = value x masterVolume / 2^31 (floor), clipped to -32,768..32,767.
//
// The state of each channel is taken into an OutputChannel for a run of frames
// (the master loop keeps it in locals) and stored back after it.
#pragma once

#include <cstdint>

#include "engine/tables.h"
#include "shared/fixed.h"
#include "shared/master_state.h"

namespace output_stage {

inline constexpr int32_t kCombFeedback = 0x54000000;  // 21/64
inline constexpr int32_t kLimiterAttack = 0x2000000;  // 1/128
inline constexpr int32_t kLimiterRelease = 0x200000;  // 1/2048
inline constexpr uint32_t kDetectorMask = kLimiterEntries - 1;

// The equaliser and limiter state of one channel.
struct OutputChannel {
    int32_t eqDelay[3];
    int32_t eqPoleA;
    int32_t eqPoleB;
    int32_t limPrev;
    int32_t limTap[4];
    uint32_t limTarget;
    int32_t limGain;
};

inline OutputChannel LoadLeft(const MasterState& ms) {
    return {{ms.eqDelayLeft[0], ms.eqDelayLeft[1], ms.eqDelayLeft[2]},
            ms.eqPoleALeft,
            ms.eqPoleBLeft,
            ms.limPrevLeft,
            {ms.limTapLeft[0], ms.limTapLeft[1], ms.limTapLeft[2], ms.limTapLeft[3]},
            ms.limTargetLeft,
            ms.limGainLeft};
}
inline OutputChannel LoadRight(const MasterState& ms) {
    return {{ms.eqDelayRight[0], ms.eqDelayRight[1], ms.eqDelayRight[2]},
            ms.eqPoleARight,
            ms.eqPoleBRight,
            ms.limPrevRight,
            {ms.limTapRight[0], ms.limTapRight[1], ms.limTapRight[2], ms.limTapRight[3]},
            ms.limTargetRight,
            ms.limGainRight};
}
inline void StoreLeft(MasterState& ms, const OutputChannel& c) {
    for (int i = 0; i < 3; ++i) ms.eqDelayLeft[i] = c.eqDelay[i];
    ms.eqPoleALeft = c.eqPoleA;
    ms.eqPoleBLeft = c.eqPoleB;
    ms.limPrevLeft = c.limPrev;
    for (int i = 0; i < 4; ++i) ms.limTapLeft[i] = c.limTap[i];
    ms.limTargetLeft = c.limTarget;
    ms.limGainLeft = c.limGain;
}
inline void StoreRight(MasterState& ms, const OutputChannel& c) {
    for (int i = 0; i < 3; ++i) ms.eqDelayRight[i] = c.eqDelay[i];
    ms.eqPoleARight = c.eqPoleA;
    ms.eqPoleBRight = c.eqPoleB;
    ms.limPrevRight = c.limPrev;
    for (int i = 0; i < 4; ++i) ms.limTapRight[i] = c.limTap[i];
    ms.limTargetRight = c.limTarget;
    ms.limGainRight = c.limGain;
}

// floor(a x b / 2^31), cut to 32 bits.
[[gnu::always_inline]] inline int32_t Mul31(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 31);
}

[[gnu::always_inline]] inline int32_t Equalise(int32_t x, OutputChannel& c) {
    const int32_t w = wrapAdd(static_cast<int32_t>(static_cast<uint32_t>(x) << 8), hi(c.eqDelay[2], kCombFeedback));
    c.eqDelay[2] = c.eqDelay[1];
    c.eqDelay[1] = c.eqDelay[0];
    c.eqDelay[0] = w;
    const int32_t a = wrapSub(w, c.eqPoleA >> 1);
    c.eqPoleA = a;
    const int32_t b = wrapSub(a, c.eqPoleB >> 1);
    c.eqPoleB = b;
    return b >> 8;
}

[[gnu::always_inline]] inline int32_t Limit(int32_t x, OutputChannel& c) {
    const int32_t p = wrapAdd(x, c.limPrev >> 1);
    c.limPrev = wrapSub(0, x);

    const int32_t s0 = p >> 2;
    const int32_t s1 = wrapAdd(s0, c.limTap[0] >> 1);
    c.limTap[0] = s0;
    const int32_t s2 = wrapAdd(s1, c.limTap[1] >> 1);
    c.limTap[1] = s1;
    const int32_t s3 = wrapAdd(s2, c.limTap[2] >> 1);
    c.limTap[2] = s2;
    const int32_t s4 = wrapAdd(s3, c.limTap[3] >> 1);
    c.limTap[3] = s3;

    const int32_t h = wrapSub(p, s1);
    const uint32_t mag = h < 0 ? 0u - static_cast<uint32_t>(h) : static_cast<uint32_t>(h);
    const uint32_t t = static_cast<uint32_t>(g_limiterGainTable[(mag >> 8) & kDetectorMask]) >> 1;
    if (t >= c.limTarget) c.limTarget = t;

    const int32_t out = wrapAdd(s4, Mul31(h, wrapSub(0x7FFFFFFF, wrapAdd(c.limGain, c.limGain))));

    const int32_t held = static_cast<int32_t>(c.limTarget);
    if (c.limGain != held) c.limGain = wrapAdd(c.limGain, hi(wrapSub(held, c.limGain), kLimiterAttack));
    if (c.limTarget != 1) c.limTarget = static_cast<uint32_t>(wrapAdd(held, hi(wrapSub(1, held), kLimiterRelease)));
    return out;
}

[[gnu::always_inline]] inline int32_t Clip16(int32_t y) { return y < -32768 ? -32768 : (y > 32767 ? 32767 : y); }

// One frame: the sums of the two channels through the equaliser and the
// limiter (each while switched on), the master volume and the clip. Stores the
// clipped samples in outLeft / outRight and returns the packed word.
[[gnu::always_inline]] inline uint32_t Frame(OutputChannel& l, OutputChannel& r, int32_t left, int32_t right,
                                             bool eq, bool limiter, int32_t volume, int32_t& outLeft,
                                             int32_t& outRight) {
    if (eq) {
        left = Equalise(left, l);
        right = Equalise(right, r);
    }
    if (limiter) {
        left = Limit(left, l);
        right = Limit(right, r);
    }
    outLeft = Clip16(Mul31(left, volume));
    outRight = Clip16(Mul31(right, volume));
    return (static_cast<uint32_t>(outLeft) & 0xFFFFu) | (static_cast<uint32_t>(outRight) << 16);
}

}  // namespace output_stage
