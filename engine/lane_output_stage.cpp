// The output stage of both channels at once, and the master loop around it. See
// lane_output_stage.h.
//
// The two channels sit in the even 32-bit words of one 128-bit vector (left in
// word 0, right in word 2), the low halves of its two 64-bit halves, where the
// signed 32 x 32 -> 64 bit multiply reads its factors: one multiply gives both
// channels' products. The odd words carry no meaning. The limiter's branches
// need no selects: an equal gain and target step by 0, a target at 1 by 0, and
// holding the larger of the target and the new value is an unsigned maximum.
#include "engine/lane_output_stage.h"

#include <cstddef>

#include "engine/master.h"
#include "engine/output_stage.h"
#include "engine/render.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/relaxed.h"
#include "shared/render_call.h"
#include "shared/settings.h"

#include "engine/lane_math.h"

namespace {

using output_stage::OutputChannel;
using W = __m128i;

// hi(x, 2^k) = floor(x 2^k / 2^32) = x >> (32 - k): the limiter's two rates are
// powers of two, and shifts keep the gain and target loops short.
constexpr int kAttackShift = 7;
constexpr int kReleaseShift = 11;
static_assert(output_stage::kLimiterAttack == 1 << (32 - kAttackShift));
static_assert(output_stage::kLimiterRelease == 1 << (32 - kReleaseShift));

// The frames between two meter updates, at most.
constexpr uint32_t kRun = 32;

MC_LANE_INLINE W Pair(int32_t left, int32_t right) { return _mm_set_epi32(0, right, 0, left); }
MC_LANE_INLINE int32_t LeftOf(W v) { return _mm_cvtsi128_si32(v); }
MC_LANE_INLINE int32_t RightOf(W v) { return _mm_extract_epi32(v, 2); }
MC_LANE_INLINE W Splat(int32_t x) { return _mm_set1_epi32(x); }
MC_LANE_INLINE W Add(W a, W b) { return _mm_add_epi32(a, b); }
MC_LANE_INLINE W Sub(W a, W b) { return _mm_sub_epi32(a, b); }
MC_LANE_INLINE W Half(W a) { return _mm_srai_epi32(a, 1); }
// floor(a x b / 2^32) and floor(a x b / 2^31) cut to 32 bits, in the even words.
MC_LANE_INLINE W Hi(W a, W b) { return _mm_srli_epi64(_mm_mul_epi32(a, b), 32); }
MC_LANE_INLINE W Mul31(W a, W b) { return _mm_srli_epi64(_mm_mul_epi32(a, b), 31); }

struct Pairs {
    W eqDelay0, eqDelay1, eqDelay2, eqPoleA, eqPoleB;
    W limPrev, limTap0, limTap1, limTap2, limTap3, limTarget, limGain;
};

MC_LANE_INLINE Pairs LoadPairs(const OutputChannel& l, const OutputChannel& r) {
    return {Pair(l.eqDelay[0], r.eqDelay[0]),
            Pair(l.eqDelay[1], r.eqDelay[1]),
            Pair(l.eqDelay[2], r.eqDelay[2]),
            Pair(l.eqPoleA, r.eqPoleA),
            Pair(l.eqPoleB, r.eqPoleB),
            Pair(l.limPrev, r.limPrev),
            Pair(l.limTap[0], r.limTap[0]),
            Pair(l.limTap[1], r.limTap[1]),
            Pair(l.limTap[2], r.limTap[2]),
            Pair(l.limTap[3], r.limTap[3]),
            Pair(static_cast<int32_t>(l.limTarget), static_cast<int32_t>(r.limTarget)),
            Pair(l.limGain, r.limGain)};
}

MC_LANE_INLINE void StorePairs(const Pairs& s, OutputChannel& l, OutputChannel& r) {
    l.eqDelay[0] = LeftOf(s.eqDelay0);
    r.eqDelay[0] = RightOf(s.eqDelay0);
    l.eqDelay[1] = LeftOf(s.eqDelay1);
    r.eqDelay[1] = RightOf(s.eqDelay1);
    l.eqDelay[2] = LeftOf(s.eqDelay2);
    r.eqDelay[2] = RightOf(s.eqDelay2);
    l.eqPoleA = LeftOf(s.eqPoleA);
    r.eqPoleA = RightOf(s.eqPoleA);
    l.eqPoleB = LeftOf(s.eqPoleB);
    r.eqPoleB = RightOf(s.eqPoleB);
    l.limPrev = LeftOf(s.limPrev);
    r.limPrev = RightOf(s.limPrev);
    l.limTap[0] = LeftOf(s.limTap0);
    r.limTap[0] = RightOf(s.limTap0);
    l.limTap[1] = LeftOf(s.limTap1);
    r.limTap[1] = RightOf(s.limTap1);
    l.limTap[2] = LeftOf(s.limTap2);
    r.limTap[2] = RightOf(s.limTap2);
    l.limTap[3] = LeftOf(s.limTap3);
    r.limTap[3] = RightOf(s.limTap3);
    l.limTarget = static_cast<uint32_t>(LeftOf(s.limTarget));
    r.limTarget = static_cast<uint32_t>(RightOf(s.limTarget));
    l.limGain = LeftOf(s.limGain);
    r.limGain = RightOf(s.limGain);
}

// The frames with the switches fixed (the callers pass constants, so that each
// combination compiles to a loop of its own). Returns the last frame's clipped
// samples (the input pair for n = 0).
MC_LANE_INLINE W Frames(Pairs& s, const int32_t* sums, uint32_t n, bool eq, bool limiter, int32_t volume,
                        uint32_t* out) {
    const W comb = Splat(output_stage::kCombFeedback);
    const W detectorMask = Splat(static_cast<int32_t>(output_stage::kDetectorMask));
    const W unity = Splat(0x7FFFFFFF);
    const W one = Splat(1);
    const W vol = Splat(volume);
    const W low = Splat(-32768);
    const W high = Splat(32767);
    // Bytes 0-1 of word 0 and of word 2 into word 0: the packed output word.
    const W pack = _mm_setr_epi8(0, 1, 8, 9, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    W y = _mm_setzero_si128();
    for (uint32_t i = 0; i < n; ++i) {
        W x = _mm_cvtepu32_epi64(_mm_loadl_epi64(reinterpret_cast<const W*>(sums + 2 * i)));
        if (eq) {
            const W w = Add(_mm_slli_epi32(x, 8), Hi(s.eqDelay2, comb));
            s.eqDelay2 = s.eqDelay1;
            s.eqDelay1 = s.eqDelay0;
            s.eqDelay0 = w;
            s.eqPoleA = Sub(w, Half(s.eqPoleA));
            s.eqPoleB = Sub(s.eqPoleA, Half(s.eqPoleB));
            x = _mm_srai_epi32(s.eqPoleB, 8);
        }
        if (limiter) {
            const W p = Add(x, Half(s.limPrev));
            s.limPrev = Sub(_mm_setzero_si128(), x);
            const W s0 = _mm_srai_epi32(p, 2);
            const W s1 = Add(s0, Half(s.limTap0));
            s.limTap0 = s0;
            const W s2 = Add(s1, Half(s.limTap1));
            s.limTap1 = s1;
            const W s3 = Add(s2, Half(s.limTap2));
            s.limTap2 = s2;
            const W s4 = Add(s3, Half(s.limTap3));
            s.limTap3 = s3;
            const W h = Sub(p, s1);
            // |h| as an unsigned word (2^31 for INT32_MIN). Two loads: faster here
            // than a gather.
            const W idx = _mm_and_si128(_mm_srli_epi32(_mm_abs_epi32(h), 8), detectorMask);
            const W gain = _mm_insert_epi32(_mm_cvtsi32_si128(g_limiterGainTable[LeftOf(idx)]),
                                            g_limiterGainTable[RightOf(idx)], 2);
            s.limTarget = _mm_max_epu32(s.limTarget, _mm_srli_epi32(gain, 1));
            x = Add(s4, Mul31(h, Sub(unity, Add(s.limGain, s.limGain))));
            s.limGain = Add(s.limGain, _mm_srai_epi32(Sub(s.limTarget, s.limGain), kAttackShift));
            s.limTarget = Add(s.limTarget, _mm_srai_epi32(Sub(one, s.limTarget), kReleaseShift));
        }
        y = _mm_min_epi32(_mm_max_epi32(Mul31(x, vol), low), high);
        // The output may lie in a buffer the device reads meanwhile.
        RelaxedStore(out[i], static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi8(y, pack))));
    }
    return y;
}

MC_LANE_FN void RunFrames(OutputChannel& l, OutputChannel& r, const int32_t* sums, uint32_t n, bool eq,
                          bool limiter, int32_t volume, uint32_t* out, int32_t& lastLeft, int32_t& lastRight) {
    if (n == 0) return;
    Pairs s = LoadPairs(l, r);
    W y;
    if (eq) {
        y = limiter ? Frames(s, sums, n, true, true, volume, out) : Frames(s, sums, n, true, false, volume, out);
    } else {
        y = limiter ? Frames(s, sums, n, false, true, volume, out) : Frames(s, sums, n, false, false, volume, out);
    }
    StorePairs(s, l, r);
    lastLeft = LeftOf(y);
    lastRight = RightOf(y);
}

// floor(a x b / 2^32) in all four words, for a b with one value in all words.
MC_LANE_INLINE W HiAll(W a, W b) {
    const W even = _mm_srli_epi64(_mm_mul_epi32(a, b), 32);
    const W odd = _mm_mul_epi32(_mm_srli_epi64(a, 32), b);
    return _mm_blend_epi32(even, odd, 0xA);
}

// The sums of MixBuses as 8 words: the four sub-frames of the left channel, then
// those of the right, as they lie in MasterState.
static_assert(offsetof(MasterState, dryRight) == offsetof(MasterState, dryLeft) + 4 * sizeof(int32_t));
static_assert(offsetof(MasterState, fx1InRight) == offsetof(MasterState, fx1InLeft) + 4 * sizeof(int32_t));
static_assert(offsetof(MasterState, fx2InRight) == offsetof(MasterState, fx2InLeft) + 4 * sizeof(int32_t));

MC_LANE_FN void MixRow(int32_t* row) {
    using lanes::V;
    MasterState& ms = g_masterState;
    V dry = lanes::Zero(), fx1 = lanes::Zero(), fx2 = lanes::Zero();
    for (int b = 0; b < kBuses; ++b) {
        W* in = reinterpret_cast<W*>(row + 4 * b);
        const W x = _mm_loadu_si128(in);
        if (_mm_testz_si128(x, x)) {
            g_busMeterSample[b] = 0;
            continue;
        }
        _mm_storeu_si128(in, _mm_setzero_si128());
        const W v = HiAll(x, Splat(ms.busVolume[b]));
        g_busMeterSample[b] = LeftOf(v);
        const W halfRight = HiAll(v, Splat(ms.busPan[b]));
        const W right = Add(halfRight, halfRight);
        const V both = _mm256_set_m128i(right, Sub(v, right));
        dry = lanes::Add(dry, both);
        const int32_t send1 = ms.busSend1[b];
        if (send1 != 0) fx1 = lanes::Add(fx1, lanes::Sll(lanes::Hi(both, lanes::Set1(send1)), 1));
        const int32_t send2 = ms.busSend2[b];
        if (send2 != 0) fx2 = lanes::Add(fx2, lanes::Sll(lanes::Hi(both, lanes::Set1(send2)), 1));
    }
    _mm256_storeu_si256(reinterpret_cast<V*>(ms.dryLeft), dry);
    _mm256_storeu_si256(reinterpret_cast<V*>(ms.fx1InLeft), fx1);
    _mm256_storeu_si256(reinterpret_cast<V*>(ms.fx2InLeft), fx2);
}

}  // namespace

void LaneMixBuses(uint32_t pos) { MixRow(g_mixBuffer.row[pos]); }

void LaneOutputFrames(OutputChannel& l, OutputChannel& r, const int32_t* sums, uint32_t n, bool eq, bool limiter,
                      int32_t volume, uint32_t* out, int32_t& lastLeft, int32_t& lastRight) {
    RunFrames(l, r, sums, n, eq, limiter, volume, out, lastLeft, lastRight);
}

void MasterLoopLanes(uint32_t frames, uint32_t periodPos) {
    MasterState& ms = g_masterState;
    uint32_t* out = g_renderOut;
    OutputChannel left = output_stage::LoadLeft(ms);
    OutputChannel right = output_stage::LoadRight(ms);
    int32_t lastLeft = g_lastOutLeft;
    int32_t lastRight = g_lastOutRight;
    alignas(16) int32_t sums[2 * kRun];
    uint32_t f = 0;
    while (f < frames) {
        // A run: the frames from here up to the next meter update. Only its
        // first frame can be one.
        uint32_t n = 0;
        for (;;) {
            if (MasterFrameCounters(ms, lastLeft, lastRight)) MixRow(g_mixBuffer.row[periodPos + f + n]);
            RunEffectUnits();
            const int k = ms.chunkPhase & 3;
            sums[2 * n] = wrapAdd(wrapAdd(ms.dryLeft[k], ms.fx1OutLeft), ms.fx2OutLeft);
            sums[2 * n + 1] = wrapAdd(wrapAdd(ms.dryRight[k], ms.fx1OutRight), ms.fx2OutRight);
            ++n;
            const bool meterNext = ((ms.chunkPhase + 1) & 3) == 0 && ((ms.meterPhase + 1) & 7) == 0;
            if (f + n == frames || n == kRun || meterNext) break;
        }
        RunFrames(left, right, sums, n, g_bassTrebleEq != 0, g_trebleLimiter != 0, ms.masterVolume, out, lastLeft,
                  lastRight);
        out += n;
        f += n;
    }
    output_stage::StoreLeft(ms, left);
    output_stage::StoreRight(ms, right);
    g_lastOutLeft = lastLeft;
    g_lastOutRight = lastRight;
    g_frameCounter = frames;
    g_renderOut = out;
}
