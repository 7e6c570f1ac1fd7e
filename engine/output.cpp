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
#include "engine/master.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/fixed.h"
#include "shared/master_state.h"
#include "shared/settings.h"

int32_t g_lastOutLeft = 0;
int32_t g_lastOutRight = 0;

namespace {

constexpr int32_t kCombFeedback = 0x54000000;  // 21/64
constexpr int32_t kLimiterAttack = 0x2000000;  // 1/128
constexpr int32_t kLimiterRelease = 0x200000;  // 1/2048
constexpr uint32_t kDetectorMask = kLimiterEntries - 1;

// floor(a x b / 2^31), cut to 32 bits.
int32_t Mul31(int32_t a, int32_t b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 31);
}

int32_t Equalise(int32_t x, int32_t (&delay)[3], int32_t& poleA, int32_t& poleB) {
    const int32_t w = wrapAdd(static_cast<int32_t>(static_cast<uint32_t>(x) << 8), hi(delay[2], kCombFeedback));
    delay[2] = delay[1];
    delay[1] = delay[0];
    delay[0] = w;
    const int32_t a = wrapSub(w, poleA >> 1);
    poleA = a;
    const int32_t b = wrapSub(a, poleB >> 1);
    poleB = b;
    return b >> 8;
}

int32_t Limit(int32_t x, int32_t& prev, int32_t (&tap)[4], uint32_t& target, int32_t& gain) {
    const int32_t p = wrapAdd(x, prev >> 1);
    prev = wrapSub(0, x);

    const int32_t s0 = p >> 2;
    const int32_t s1 = wrapAdd(s0, tap[0] >> 1);
    tap[0] = s0;
    const int32_t s2 = wrapAdd(s1, tap[1] >> 1);
    tap[1] = s1;
    const int32_t s3 = wrapAdd(s2, tap[2] >> 1);
    tap[2] = s2;
    const int32_t s4 = wrapAdd(s3, tap[3] >> 1);
    tap[3] = s3;

    const int32_t h = wrapSub(p, s1);
    const uint32_t mag = h < 0 ? 0u - static_cast<uint32_t>(h) : static_cast<uint32_t>(h);
    const uint32_t t = static_cast<uint32_t>(g_limiterGainTable[(mag >> 8) & kDetectorMask]) >> 1;
    if (t >= target) target = t;

    const int32_t out = wrapAdd(s4, Mul31(h, wrapSub(0x7FFFFFFF, wrapAdd(gain, gain))));

    const int32_t held = static_cast<int32_t>(target);
    if (gain != held) gain = wrapAdd(gain, hi(wrapSub(held, gain), kLimiterAttack));
    if (target != 1) target = static_cast<uint32_t>(wrapAdd(held, hi(wrapSub(1, held), kLimiterRelease)));
    return out;
}

int32_t Clip16(int32_t y) { return y < -32768 ? -32768 : (y > 32767 ? 32767 : y); }

}  // namespace

uint32_t OutputStage() {
    MasterState& ms = g_masterState;
    const int k = ms.chunkPhase & 3;
    int32_t left = wrapAdd(wrapAdd(ms.dryLeft[k], ms.fx1OutLeft), ms.fx2OutLeft);
    int32_t right = wrapAdd(wrapAdd(ms.dryRight[k], ms.fx1OutRight), ms.fx2OutRight);

    if (g_bassTrebleEq != 0) {
        left = Equalise(left, ms.eqDelayLeft, ms.eqPoleALeft, ms.eqPoleBLeft);
        right = Equalise(right, ms.eqDelayRight, ms.eqPoleARight, ms.eqPoleBRight);
    }
    if (g_trebleLimiter != 0) {
        left = Limit(left, ms.limPrevLeft, ms.limTapLeft, ms.limTargetLeft, ms.limGainLeft);
        right = Limit(right, ms.limPrevRight, ms.limTapRight, ms.limTargetRight, ms.limGainRight);
    }

    const int32_t volume = ms.masterVolume;
    g_lastOutLeft = Clip16(Mul31(left, volume));
    g_lastOutRight = Clip16(Mul31(right, volume));
    return (static_cast<uint32_t>(g_lastOutLeft) & 0xFFFFu) | (static_cast<uint32_t>(g_lastOutRight) << 16);
}
