// Oscillators 1, 2 and 3 of eight voice lanes (see voice_lanes.h).
//
// Numeric contract: lane l computes exactly what RenderOscillator1, then
// RenderOscillator2 and, when oscillator 2 plays (wave 1..4), RenderOscillator3
// compute for a voice holding lane l's state and row inputs (waves 1..4 and
// 7..255 for oscillator 1, 0..4 for oscillators 2 and 3). In particular:
// - the FM term hi(4 x hi(osc2Out[i], D), F) is 0 for D = 0, so it is formed
//   for every lane whenever one active lane has a depth;
// - sync bits 0..3 of osc1SyncMask reset oscillator 1 before frames 0..3, and
//   the mask is always cleared after oscillator 1 (the voice clears it only when
//   it held bits: the same word), before oscillator 2 ORs in its own bits;
// - a silent oscillator 2 (wave 0) writes zeros and leaves oscillator 3 alone.
//
// Each oscillator's frames form one chain of table reads per lane (a frame's
// phase depends on the table value of the frame before); the eight lanes run
// side by side, one frame after the other. A wave is computed when at least one
// active lane plays it, and taken by the lanes that play it; when every active
// lane plays the same wave its results are taken whole.
#include <cstdint>

#include "engine/tables.h"
#include "engine/lane_math.h"
#include "engine/voice_lanes.h"

namespace {

using namespace lanes;

// ~a & b.
MC_LANE_INLINE V AndNot(V a, V b) { return _mm256_andnot_si256(a, b); }
MC_LANE_INLINE V Twice(V a) { return Add(a, a); }
MC_LANE_INLINE V TableIndex(V phase) { return Srl(phase, 19); }
// Pitch index clamped into the pitch tables (never changes a valid index).
MC_LANE_INLINE V PitchIndex(const uint32_t* p) { return MinU(Load(p), Set1(kPitchEntries - 1)); }
// All ones where bit I of word is set.
template <int I>
MC_LANE_INLINE V BitSet(V word) {
    const V bit = Set1(1 << I);
    return Eq(And(word, bit), bit);
}
// 1 where a + b = sum carried out of 32 bits (unsigned wrap), else 0.
MC_LANE_INLINE V Carry(V a, V b, V sum) { return Srl(Or(And(a, b), AndNot(sum, Or(a, b))), 31); }
// 1 where a + b = sum overflowed as a signed addition, else 0.
MC_LANE_INLINE V Overflow(V a, V b, V sum) { return Srl(And(Xor(a, sum), Xor(b, sum)), 31); }
// Lanes whose bit is set in `bits` of the lanes in `act`, as a bit set.
MC_LANE_INLINE uint32_t LanesOf(V mask, uint32_t act) { return Bits(mask) & act; }

// ---------------------------------------------------------------- oscillator 1

struct Osc1 {
    V phase, phase2;
    V ha[4], hb[4];
    V out[4];
};

// Inputs of oscillator 1 shared by its waves.
struct Osc1In {
    V inc[4];  // step plus the frame's FM term
    V pitch;   // clamped pitch index
    V sync;    // osc1SyncMask of the previous chunk
    V width;   // osc1PulseOffset
};

template <bool kSync, int I>
MC_LANE_INLINE void SineFrame1(Osc1& o, const Osc1In& in) {
    if constexpr (kSync) o.phase = AndNot(BitSet<I>(in.sync), o.phase);
    o.out[I] = Gather(g_sineTable, TableIndex(o.phase));
    o.phase = Add(o.phase, in.inc[I]);
}

template <bool kSync, int I>
MC_LANE_INLINE void TriangleFrame1(Osc1& o, const Osc1In& in, V wT, V wS) {
    if constexpr (kSync) o.phase = AndNot(BitSet<I>(in.sync), o.phase);
    const V k = TableIndex(o.phase);
    o.out[I] = Add(Hi(Gather(g_triangleTable, k), wT), Twice(Hi(Gather(g_sineTable, k), wS)));
    o.phase = Add(o.phase, in.inc[I]);
}

template <bool kSync, int I>
MC_LANE_INLINE void SawFrame1(Osc1& o, const Osc1In& in, V fb, V off) {
    constexpr int kBefore = (I + 2) & 3;
    constexpr int kNext = (I + 3) & 3;
    if constexpr (kSync) {
        // Reset to a quarter cycle; the feedback of this frame and the next
        // starts from the peak.
        const V r = BitSet<I>(in.sync);
        const V peak = Set1(0x40000000);
        o.phase = Select(r, peak, o.phase);
        o.ha[kBefore] = Select(r, peak, o.ha[kBefore]);
        o.ha[kNext] = Select(r, peak, o.ha[kNext]);
    }
    const V s = Gather(g_sineTable, TableIndex(o.phase));
    const V before = o.ha[kBefore];
    o.ha[I] = s;
    o.out[I] = Add(s, off);
    o.phase = Add(o.phase, Add(in.inc[I], Twice(Hi(Sub(s, before), fb))));
}

template <bool kSync, int I>
MC_LANE_INLINE void PulseFrame1(Osc1& o, const Osc1In& in, V fb) {
    constexpr int kBefore = (I + 2) & 3;
    constexpr int kNext = (I + 3) & 3;
    if constexpr (kSync) {
        const V r = BitSet<I>(in.sync);
        o.phase = AndNot(r, o.phase);
        o.phase2 = AndNot(r, o.phase2);
        o.ha[kBefore] = AndNot(r, o.ha[kBefore]);
        o.ha[kNext] = AndNot(r, o.ha[kNext]);
        o.hb[kBefore] = AndNot(r, o.hb[kBefore]);
        o.hb[kNext] = AndNot(r, o.hb[kNext]);
    }
    const V a = Gather(g_oscSineTable, TableIndex(o.phase));
    const V b = Gather(g_oscSineTable, TableIndex(Add(o.phase2, in.width)));
    const V aBefore = o.ha[kBefore];
    const V bBefore = o.hb[kBefore];
    o.ha[I] = a;
    o.hb[I] = b;
    o.phase = Add(o.phase, Add(in.inc[I], Twice(Hi(Sub(a, aBefore), fb))));
    o.phase2 = Add(o.phase2, Add(in.inc[I], Twice(Hi(Sub(b, bBefore), fb))));
    o.out[I] = Sub(a, b);
}

// The four frames of oscillator 1's waves.
template <bool kSync>
MC_LANE_INLINE void Sine1(Osc1& o, const Osc1In& in) {
    SineFrame1<kSync, 0>(o, in);
    SineFrame1<kSync, 1>(o, in);
    SineFrame1<kSync, 2>(o, in);
    SineFrame1<kSync, 3>(o, in);
}

template <bool kSync>
MC_LANE_INLINE void Triangle1(Osc1& o, const Osc1In& in) {
    const V wT = Gather(g_waveFadeOut, in.pitch);
    const V wS = Gather(g_waveFadeIn, in.pitch);
    TriangleFrame1<kSync, 0>(o, in, wT, wS);
    TriangleFrame1<kSync, 1>(o, in, wT, wS);
    TriangleFrame1<kSync, 2>(o, in, wT, wS);
    TriangleFrame1<kSync, 3>(o, in, wT, wS);
}

template <bool kSync>
MC_LANE_INLINE void Saw1(Osc1& o, const Osc1In& in) {
    const V fb = Gather(g_pitchCurveA, in.pitch);
    const V off = Gather(g_pitchCurveC, in.pitch);
    SawFrame1<kSync, 0>(o, in, fb, off);
    SawFrame1<kSync, 1>(o, in, fb, off);
    SawFrame1<kSync, 2>(o, in, fb, off);
    SawFrame1<kSync, 3>(o, in, fb, off);
}

template <bool kSync>
MC_LANE_INLINE void Pulse1(Osc1& o, const Osc1In& in) {
    const V fb = Gather(g_pitchCurveB, in.pitch);
    PulseFrame1<kSync, 0>(o, in, fb);
    PulseFrame1<kSync, 1>(o, in, fb);
    PulseFrame1<kSync, 2>(o, in, fb);
    PulseFrame1<kSync, 3>(o, in, fb);
}

// `to` takes `from` in the lanes of m, or whole when `all`.
MC_LANE_INLINE void Take(Osc1& to, const Osc1& from, V m, bool all) {
    if (all) {
        to = from;
        return;
    }
    to.phase = Select(m, from.phase, to.phase);
    to.phase2 = Select(m, from.phase2, to.phase2);
    for (int i = 0; i < 4; ++i) {
        to.ha[i] = Select(m, from.ha[i], to.ha[i]);
        to.hb[i] = Select(m, from.hb[i], to.hb[i]);
        to.out[i] = Select(m, from.out[i], to.out[i]);
    }
}

// Oscillator 1 of the lanes in act: every wave one of them plays.
template <bool kSync>
MC_LANE_INLINE void RenderOsc1(Osc1& o, const Osc1In& in, V wave, uint32_t act) {
    const V mTri = Eq(wave, Set1(2));
    const V mSaw = Eq(wave, Set1(3));
    const V mPulse = Eq(wave, Set1(4));
    const uint32_t bTri = LanesOf(mTri, act);
    const uint32_t bSaw = LanesOf(mSaw, act);
    const uint32_t bPulse = LanesOf(mPulse, act);
    const uint32_t bSine = act & ~(bTri | bSaw | bPulse);
    const Osc1 old = o;
    if (bSine != 0) {
        Osc1 t = old;
        Sine1<kSync>(t, in);
        // The sine's lanes are all but the others; it is taken first and whole.
        o = t;
    }
    if (bTri != 0) {
        Osc1 t = old;
        Triangle1<kSync>(t, in);
        Take(o, t, mTri, bTri == act);
    }
    if (bSaw != 0) {
        Osc1 t = old;
        Saw1<kSync>(t, in);
        Take(o, t, mSaw, bSaw == act);
    }
    if (bPulse != 0) {
        Osc1 t = old;
        Pulse1<kSync>(t, in);
        Take(o, t, mPulse, bPulse == act);
    }
}

// ------------------------------------------------------- oscillators 2 and 3

struct Osc23 {
    V phase;
    V h[4];
    V out[4];
    V bits;  // sync bits raised (oscillator 2)
};

template <bool kBits, int I>
MC_LANE_INLINE void SineFrame23(Osc23& o, V step) {
    o.out[I] = Gather(g_sineTable, TableIndex(o.phase));
    const V next = Add(o.phase, step);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Carry(o.phase, step, next), I));
    o.phase = next;
}

template <bool kBits, int I>
MC_LANE_INLINE void TriangleFrame23(Osc23& o, V step, V wT, V wS) {
    const V k = TableIndex(o.phase);
    o.out[I] = Add(Hi(Gather(g_triangleTable, k), wT), Twice(Hi(Gather(g_sineTable, k), wS)));
    const V next = Add(o.phase, step);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Overflow(o.phase, step, next), I));
    o.phase = next;
}

template <bool kBits, int I>
MC_LANE_INLINE void SawFrame23(Osc23& o, V step, V fb, V off) {
    const V s = Gather(g_sineTable, TableIndex(o.phase));
    const V before = o.h[(I + 2) & 3];
    o.h[I] = s;
    const V inc = Add(step, Twice(Hi(Sub(s, before), fb)));
    const V next = Add(o.phase, inc);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Overflow(o.phase, inc, next), I));
    o.phase = next;
    o.out[I] = Add(s, off);
}

template <bool kBits, int I>
MC_LANE_INLINE void RoundFrame23(Osc23& o, V base, V k) {
    const V s = Gather(g_sineTable, TableIndex(o.phase));
    o.out[I] = s;
    const V inc = Add(base, Sll(Hi(Hi(s, s), k), 3));
    const V next = Add(o.phase, inc);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Overflow(o.phase, inc, next), I));
    o.phase = next;
}

template <bool kBits>
MC_LANE_INLINE void Sine23(Osc23& o, V pitch) {
    const V step = Gather(g_phaseStepTable, pitch);
    SineFrame23<kBits, 0>(o, step);
    SineFrame23<kBits, 1>(o, step);
    SineFrame23<kBits, 2>(o, step);
    SineFrame23<kBits, 3>(o, step);
}

template <bool kBits>
MC_LANE_INLINE void Triangle23(Osc23& o, V pitch) {
    const V step = Gather(g_phaseStepTable, pitch);
    const V wT = Gather(g_waveFadeOut, pitch);
    const V wS = Gather(g_waveFadeIn, pitch);
    TriangleFrame23<kBits, 0>(o, step, wT, wS);
    TriangleFrame23<kBits, 1>(o, step, wT, wS);
    TriangleFrame23<kBits, 2>(o, step, wT, wS);
    TriangleFrame23<kBits, 3>(o, step, wT, wS);
}

template <bool kBits>
MC_LANE_INLINE void Saw23(Osc23& o, V pitch) {
    const V step = Gather(g_phaseStepTable, pitch);
    const V fb = Gather(g_pitchCurveA, pitch);
    const V off = Gather(g_pitchCurveC, pitch);
    SawFrame23<kBits, 0>(o, step, fb, off);
    SawFrame23<kBits, 1>(o, step, fb, off);
    SawFrame23<kBits, 2>(o, step, fb, off);
    SawFrame23<kBits, 3>(o, step, fb, off);
}

template <bool kBits>
MC_LANE_INLINE void Round23(Osc23& o, V pitch) {
    const V base = Gather(g_osc23StepTable, pitch);
    const V k = Gather(g_feedbackCurve, pitch);
    RoundFrame23<kBits, 0>(o, base, k);
    RoundFrame23<kBits, 1>(o, base, k);
    RoundFrame23<kBits, 2>(o, base, k);
    RoundFrame23<kBits, 3>(o, base, k);
}

MC_LANE_INLINE void Take(Osc23& to, const Osc23& from, V m, bool all) {
    if (all) {
        to = from;
        return;
    }
    to.phase = Select(m, from.phase, to.phase);
    for (int i = 0; i < 4; ++i) {
        to.h[i] = Select(m, from.h[i], to.h[i]);
        to.out[i] = Select(m, from.out[i], to.out[i]);
    }
    to.bits = Select(m, from.bits, to.bits);
}

// Oscillator 2 or 3 of the lanes in act; o.bits starts at 0. Lanes of any
// selector but 1..4 are silent: outputs 0, phase and history kept, no bits.
template <bool kBits>
MC_LANE_INLINE void RenderOsc23(Osc23& o, V pitch, V wave, uint32_t act) {
    const V mSine = Eq(wave, Set1(1));
    const V mTri = Eq(wave, Set1(2));
    const V mSaw = Eq(wave, Set1(3));
    const V mRound = Eq(wave, Set1(4));
    const uint32_t bSine = LanesOf(mSine, act);
    const uint32_t bTri = LanesOf(mTri, act);
    const uint32_t bSaw = LanesOf(mSaw, act);
    const uint32_t bRound = LanesOf(mRound, act);
    const Osc23 old = o;
    for (int i = 0; i < 4; ++i) o.out[i] = Zero();
    if (bSine != 0) {
        Osc23 t = old;
        Sine23<kBits>(t, pitch);
        Take(o, t, mSine, bSine == act);
    }
    if (bTri != 0) {
        Osc23 t = old;
        Triangle23<kBits>(t, pitch);
        Take(o, t, mTri, bTri == act);
    }
    if (bSaw != 0) {
        Osc23 t = old;
        Saw23<kBits>(t, pitch);
        Take(o, t, mSaw, bSaw == act);
    }
    if (bRound != 0) {
        Osc23 t = old;
        Round23<kBits>(t, pitch);
        Take(o, t, mRound, bRound == act);
    }
}

// ----------------------------------------------------------- loads and stores

MC_LANE_INLINE void Load4(V (&v)[4], const int32_t (&p)[4][kLanes]) {
    for (int i = 0; i < 4; ++i) v[i] = Load(p[i]);
}
MC_LANE_INLINE void Store4(int32_t (&p)[4][kLanes], const V (&v)[4], V m) {
    for (int i = 0; i < 4; ++i) Store(p[i], Select(m, v[i], Load(p[i])));
}
MC_LANE_INLINE void StoreSel(void* p, V v, V m) { Store(p, Select(m, v, Load(p))); }

MC_LANE_INLINE Osc23 LoadOsc23(const uint32_t* phase, const int32_t (&h)[4][kLanes],
                               const int32_t (&out)[4][kLanes]) {
    Osc23 o;
    o.phase = Load(phase);
    Load4(o.h, h);
    Load4(o.out, out);
    o.bits = Zero();
    return o;
}

MC_LANE_INLINE void StoreOsc23(const Osc23& o, uint32_t* phase, int32_t (&h)[4][kLanes],
                               int32_t (&out)[4][kLanes], V m) {
    StoreSel(phase, o.phase, m);
    Store4(h, o.h, m);
    Store4(out, o.out, m);
}

}  // namespace

MC_LANE_FN void LaneOscillators(LaneState& s, const LaneRow& row) {
    const uint32_t act = row.active & 0xFFu;
    if (act == 0) return;
    const V actMask = MaskOfBits(act);

    // Oscillator 1, hearing oscillator 2's output and sync bits of the chunk
    // before.
    Osc1In in;
    in.pitch = PitchIndex(row.osc1Pitch);
    in.sync = Load(s.osc1SyncMask);
    in.width = Load(row.osc1PulseOffset);
    {
        const V step = Gather(g_phaseStepTable, in.pitch);
        const V depth = Load(row.osc1FmDepth);
        if ((~Bits(Eq(depth, Zero())) & act) != 0) {
            const V curve = Gather(g_fmDepthCurve, in.pitch);
            for (int i = 0; i < 4; ++i) {
                const V fm = Hi(Sll(Hi(Load(s.osc2Out[i]), depth), 2), curve);
                in.inc[i] = Add(step, fm);
            }
        } else {
            for (int i = 0; i < 4; ++i) in.inc[i] = step;
        }
    }
    Osc1 o1;
    o1.phase = Load(s.osc1Phase);
    o1.phase2 = Load(s.osc1Phase2);
    Load4(o1.ha, s.osc1History);
    Load4(o1.hb, s.osc1History2);
    Load4(o1.out, s.osc1Out);
    const V wave1 = Load(row.osc1Wave);
    if ((~Bits(Eq(And(in.sync, Set1(0xF)), Zero())) & act) != 0) {
        RenderOsc1<true>(o1, in, wave1, act);
    } else {
        RenderOsc1<false>(o1, in, wave1, act);
    }

    // Oscillator 2; its sync bits replace the mask oscillator 1 cleared.
    Osc23 o2 = LoadOsc23(s.osc2Phase, s.osc2History, s.osc2Out);
    const V pitch2 = PitchIndex(row.osc2Pitch);
    const V wave2 = Load(row.osc2Wave);
    const V noSync = Eq(Load(row.osc2Sync), Zero());
    if ((~Bits(noSync) & act) != 0) {
        RenderOsc23<true>(o2, pitch2, wave2, act);
    } else {
        RenderOsc23<false>(o2, pitch2, wave2, act);
    }

    StoreSel(s.osc1Phase, o1.phase, actMask);
    StoreSel(s.osc1Phase2, o1.phase2, actMask);
    Store4(s.osc1History, o1.ha, actMask);
    Store4(s.osc1History2, o1.hb, actMask);
    Store4(s.osc1Out, o1.out, actMask);
    StoreSel(s.osc1SyncMask, AndNot(noSync, o2.bits), actMask);
    StoreOsc23(o2, s.osc2Phase, s.osc2History, s.osc2Out, actMask);

    // Oscillator 3, in the lanes whose oscillator 2 plays.
    const V wave2Less1 = Sub(wave2, Set1(1));
    const V on2 = Eq(MinU(wave2Less1, Set1(3)), wave2Less1);
    const uint32_t act3 = LanesOf(on2, act);
    if (act3 == 0) return;
    Osc23 o3 = LoadOsc23(s.osc3Phase, s.osc3History, s.osc3Out);
    RenderOsc23<false>(o3, PitchIndex(row.osc3Pitch), Load(row.osc3Wave), act3);
    StoreOsc23(o3, s.osc3Phase, s.osc3History, s.osc3Out, MaskOfBits(act3));
}
