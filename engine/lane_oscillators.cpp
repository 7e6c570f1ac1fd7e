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
// active lane plays it, from the state words as they were before the row, and
// stored into the lanes that play it (a lane's words depend only on that lane,
// so the waves may store one after the other). The state of a wave lives in
// registers for its four frames; nothing is copied as a whole. When every
// active lane plays one wave per oscillator, the three oscillators run frame by
// frame side by side (their chains overlap); when all eight lanes are active,
// words are stored whole, without selecting against the old state.
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

// ------------------------------------------------------------ per-pitch words
//
// The per-pitch factors of a row (step, feedback, offsets, wave weights) are
// table reads at the pitch indices, and a held note keeps its pitch from chunk
// to chunk. Each oscillator keeps the words it last read together with the eight
// indices they were read at; a row with the same indices takes them again
// instead of reading the tables. The tables never change once built, so a kept
// word is the word the table holds.

enum PitchTable : int { kStepT, kStep23T, kFeedbackT, kCurveAT, kCurveBT, kCurveCT, kFadeOutT, kFadeInT, kFmT, kPitchTables };

MC_LANE_INLINE const int32_t* TableOf(PitchTable t) {
    switch (t) {
        case kStepT: return reinterpret_cast<const int32_t*>(g_phaseStepTable);
        case kStep23T: return reinterpret_cast<const int32_t*>(g_osc23StepTable);
        case kFeedbackT: return g_feedbackCurve;
        case kCurveAT: return g_pitchCurveA;
        case kCurveBT: return g_pitchCurveB;
        case kCurveCT: return g_pitchCurveC;
        case kFadeOutT: return g_waveFadeOut;
        case kFadeInT: return g_waveFadeIn;
        default: return g_fmDepthCurve;
    }
}

// The words of one oscillator's last pitch indices.
struct PitchWords {
    alignas(32) int32_t pitch[kLanes];              // clamped indices
    alignas(32) int32_t value[kPitchTables][kLanes];
    uint32_t have;                                   // bit t: value[t] read at pitch
};
PitchWords g_pitchWords[3];

// The oscillator's words at `pitch` (clamped indices): forgets the kept words
// when the indices differ.
MC_LANE_INLINE PitchWords& WordsAt(int osc, V pitch) {
    PitchWords& w = g_pitchWords[osc];
    if (Bits(Eq(pitch, Load(w.pitch))) != 0xFFu) {
        Store(w.pitch, pitch);
        w.have = 0;
    }
    return w;
}
// Table t at the indices of w.
MC_LANE_INLINE V Factor(PitchWords& w, PitchTable t) {
    if ((w.have >> t) & 1u) return Load(w.value[t]);
    const V v = Gather(TableOf(t), Load(w.pitch));
    Store(w.value[t], v);
    w.have |= 1u << t;
    return v;
}

// ---------------------------------------------------------------- oscillator 1

// Oscillator 1's words while a wave runs.
struct Osc1 {
    V phase, phase2;
    V ha[4], hb[4];
    V out[4];
};

// Inputs of oscillator 1 shared by its waves.
struct Osc1In {
    V inc[4];  // step plus the frame's FM term
    PitchWords* words;  // per-pitch words of the clamped pitch indices
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
    // phase + inc formed while the table read runs (wrapping sums regroup).
    o.phase = Add(Add(o.phase, in.inc[I]), Twice(Hi(Sub(s, before), fb)));
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
    o.phase = Add(Add(o.phase, in.inc[I]), Twice(Hi(Sub(a, aBefore), fb)));
    o.phase2 = Add(Add(o.phase2, in.inc[I]), Twice(Hi(Sub(b, bBefore), fb)));
    o.out[I] = Sub(a, b);
}

// ------------------------------------------------------- oscillators 2 and 3

// The words of oscillator 2 or 3 while a wave runs.
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
    const V fm = Twice(Hi(Sub(s, before), fb));
    const V next = Add(Add(o.phase, step), fm);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Overflow(o.phase, Add(step, fm), next), I));
    o.phase = next;
    o.out[I] = Add(s, off);
}

// hi(hi(s, s), k): the inner products' upper halves stay where the outer
// products read their factors (one blend at the end instead of two).
MC_LANE_INLINE V HiSquareTimes(V s, V k) {
    const V evenSq = _mm256_srli_epi64(_mm256_mul_epi32(s, s), 32);
    const V sOdd = _mm256_srli_epi64(s, 32);
    const V oddSq = _mm256_srli_epi64(_mm256_mul_epi32(sOdd, sOdd), 32);
    const V even = _mm256_srli_epi64(_mm256_mul_epi32(evenSq, k), 32);
    const V odd = _mm256_mul_epi32(oddSq, _mm256_srli_epi64(k, 32));
    return _mm256_blend_epi32(even, odd, 0xAA);
}

template <bool kBits, int I>
MC_LANE_INLINE void RoundFrame23(Osc23& o, V base, V k) {
    const V s = Gather(g_sineTable, TableIndex(o.phase));
    o.out[I] = s;
    const V bend = Sll(HiSquareTimes(s, k), 3);
    const V next = Add(Add(o.phase, base), bend);
    if constexpr (kBits) o.bits = Or(o.bits, Sll(Overflow(o.phase, Add(base, bend), next), I));
    o.phase = next;
}

// ----------------------------------------------------------- loads and stores

MC_LANE_INLINE void Load4(V (&v)[4], const int32_t (&p)[4][kLanes]) {
    v[0] = Load(p[0]);
    v[1] = Load(p[1]);
    v[2] = Load(p[2]);
    v[3] = Load(p[3]);
}

// The lanes a wave stores into: the mask, and whether it holds all eight (then
// the words are stored whole).
struct Lanes {
    V mask;
    bool all;
};

// Stores v into the lanes of m.
MC_LANE_INLINE void StoreIn(void* p, V v, const Lanes& m) {
    if (m.all) {
        Store(p, v);
    } else {
        Store(p, Select(m.mask, v, Load(p)));
    }
}
MC_LANE_INLINE void Store4(int32_t (&p)[4][kLanes], const V (&v)[4], const Lanes& m) {
    StoreIn(p[0], v[0], m);
    StoreIn(p[1], v[1], m);
    StoreIn(p[2], v[2], m);
    StoreIn(p[3], v[3], m);
}

// -------------------------------------------------------- oscillator 1 waves
//
// Each reads the lane state, runs its four frames and stores what it changed
// into the lanes of m.

template <bool kSync>
MC_LANE_INLINE void Sine1(LaneState& s, const Osc1In& in, const Lanes& m) {
    Osc1 o;
    o.phase = Load(s.osc1Phase);
    SineFrame1<kSync, 0>(o, in);
    SineFrame1<kSync, 1>(o, in);
    SineFrame1<kSync, 2>(o, in);
    SineFrame1<kSync, 3>(o, in);
    StoreIn(s.osc1Phase, o.phase, m);
    Store4(s.osc1Out, o.out, m);
}

template <bool kSync>
MC_LANE_INLINE void Triangle1(LaneState& s, const Osc1In& in, const Lanes& m) {
    const V wT = Factor(*in.words, kFadeOutT);
    const V wS = Factor(*in.words, kFadeInT);
    Osc1 o;
    o.phase = Load(s.osc1Phase);
    TriangleFrame1<kSync, 0>(o, in, wT, wS);
    TriangleFrame1<kSync, 1>(o, in, wT, wS);
    TriangleFrame1<kSync, 2>(o, in, wT, wS);
    TriangleFrame1<kSync, 3>(o, in, wT, wS);
    StoreIn(s.osc1Phase, o.phase, m);
    Store4(s.osc1Out, o.out, m);
}

template <bool kSync>
MC_LANE_INLINE void Saw1(LaneState& s, const Osc1In& in, const Lanes& m) {
    const V fb = Factor(*in.words, kCurveAT);
    const V off = Factor(*in.words, kCurveCT);
    Osc1 o;
    o.phase = Load(s.osc1Phase);
    Load4(o.ha, s.osc1History);
    SawFrame1<kSync, 0>(o, in, fb, off);
    SawFrame1<kSync, 1>(o, in, fb, off);
    SawFrame1<kSync, 2>(o, in, fb, off);
    SawFrame1<kSync, 3>(o, in, fb, off);
    StoreIn(s.osc1Phase, o.phase, m);
    Store4(s.osc1History, o.ha, m);
    Store4(s.osc1Out, o.out, m);
}

template <bool kSync>
MC_LANE_INLINE void Pulse1(LaneState& s, const Osc1In& in, const Lanes& m) {
    const V fb = Factor(*in.words, kCurveBT);
    Osc1 o;
    o.phase = Load(s.osc1Phase);
    o.phase2 = Load(s.osc1Phase2);
    Load4(o.ha, s.osc1History);
    Load4(o.hb, s.osc1History2);
    PulseFrame1<kSync, 0>(o, in, fb);
    PulseFrame1<kSync, 1>(o, in, fb);
    PulseFrame1<kSync, 2>(o, in, fb);
    PulseFrame1<kSync, 3>(o, in, fb);
    StoreIn(s.osc1Phase, o.phase, m);
    StoreIn(s.osc1Phase2, o.phase2, m);
    Store4(s.osc1History, o.ha, m);
    Store4(s.osc1History2, o.hb, m);
    Store4(s.osc1Out, o.out, m);
}

// Oscillator 1 of the lanes in act (actMask): every wave one of them plays.
// When they all play one wave, that wave runs alone into all of them.
template <bool kSync>
MC_LANE_INLINE void RenderOsc1(LaneState& s, const Osc1In& in, V wave, uint32_t act, V actMask) {
    const V mTri = Eq(wave, Set1(2));
    const V mSaw = Eq(wave, Set1(3));
    const V mPulse = Eq(wave, Set1(4));
    const uint32_t bTri = LanesOf(mTri, act);
    const uint32_t bSaw = LanesOf(mSaw, act);
    const uint32_t bPulse = LanesOf(mPulse, act);
    const Lanes every{actMask, act == 0xFFu};
    if (bSaw == act) return Saw1<kSync>(s, in, every);
    if (bPulse == act) return Pulse1<kSync>(s, in, every);
    if ((bTri | bSaw | bPulse) == 0) return Sine1<kSync>(s, in, every);
    if (bTri == act) return Triangle1<kSync>(s, in, every);
    if (bPulse != 0) Pulse1<kSync>(s, in, {And(mPulse, actMask), false});
    if (bSaw != 0) Saw1<kSync>(s, in, {And(mSaw, actMask), false});
    if (bTri != 0) Triangle1<kSync>(s, in, {And(mTri, actMask), false});
    if ((bTri | bSaw | bPulse) != act) Sine1<kSync>(s, in, {AndNot(Or(mTri, Or(mSaw, mPulse)), actMask), false});
}

// ------------------------------------------------- oscillator 2 and 3 waves

// The fields of oscillator 2 or 3 in the lane state.
struct Osc23Words {
    uint32_t* phase;
    int32_t (&h)[4][kLanes];
    int32_t (&out)[4][kLanes];
};

// Each reads the oscillator's words, runs its four frames, stores what it
// changed into the lanes of m and returns the sync bits (with kBits).
template <bool kBits>
MC_LANE_INLINE V Sine23(const Osc23Words& w, PitchWords& pw, const Lanes& m) {
    const V step = Factor(pw, kStepT);
    Osc23 o;
    o.phase = Load(w.phase);
    o.bits = Zero();
    SineFrame23<kBits, 0>(o, step);
    SineFrame23<kBits, 1>(o, step);
    SineFrame23<kBits, 2>(o, step);
    SineFrame23<kBits, 3>(o, step);
    StoreIn(w.phase, o.phase, m);
    Store4(w.out, o.out, m);
    return o.bits;
}

template <bool kBits>
MC_LANE_INLINE V Triangle23(const Osc23Words& w, PitchWords& pw, const Lanes& m) {
    const V step = Factor(pw, kStepT);
    const V wT = Factor(pw, kFadeOutT);
    const V wS = Factor(pw, kFadeInT);
    Osc23 o;
    o.phase = Load(w.phase);
    o.bits = Zero();
    TriangleFrame23<kBits, 0>(o, step, wT, wS);
    TriangleFrame23<kBits, 1>(o, step, wT, wS);
    TriangleFrame23<kBits, 2>(o, step, wT, wS);
    TriangleFrame23<kBits, 3>(o, step, wT, wS);
    StoreIn(w.phase, o.phase, m);
    Store4(w.out, o.out, m);
    return o.bits;
}

template <bool kBits>
MC_LANE_INLINE V Saw23(const Osc23Words& w, PitchWords& pw, const Lanes& m) {
    const V step = Factor(pw, kStepT);
    const V fb = Factor(pw, kCurveAT);
    const V off = Factor(pw, kCurveCT);
    Osc23 o;
    o.phase = Load(w.phase);
    Load4(o.h, w.h);
    o.bits = Zero();
    SawFrame23<kBits, 0>(o, step, fb, off);
    SawFrame23<kBits, 1>(o, step, fb, off);
    SawFrame23<kBits, 2>(o, step, fb, off);
    SawFrame23<kBits, 3>(o, step, fb, off);
    StoreIn(w.phase, o.phase, m);
    Store4(w.h, o.h, m);
    Store4(w.out, o.out, m);
    return o.bits;
}

template <bool kBits>
MC_LANE_INLINE V Round23(const Osc23Words& w, PitchWords& pw, const Lanes& m) {
    const V base = Factor(pw, kStep23T);
    const V k = Factor(pw, kFeedbackT);
    Osc23 o;
    o.phase = Load(w.phase);
    o.bits = Zero();
    RoundFrame23<kBits, 0>(o, base, k);
    RoundFrame23<kBits, 1>(o, base, k);
    RoundFrame23<kBits, 2>(o, base, k);
    RoundFrame23<kBits, 3>(o, base, k);
    StoreIn(w.phase, o.phase, m);
    Store4(w.out, o.out, m);
    return o.bits;
}

// Oscillator 2 or 3 of the lanes in act (actMask). Lanes of any selector but
// 1..4 are silent: outputs 0, phase and history kept, no bits. Returns the sync
// bits of the active lanes (with kBits; other lanes any value) and sets `on` to
// the active lanes that play.
template <bool kBits>
MC_LANE_INLINE V RenderOsc23(const Osc23Words& w, PitchWords& pw, V wave, uint32_t act, V actMask, uint32_t& on) {
    const V mSine = Eq(wave, Set1(1));
    const V mTri = Eq(wave, Set1(2));
    const V mSaw = Eq(wave, Set1(3));
    const V mRound = Eq(wave, Set1(4));
    const uint32_t bSine = LanesOf(mSine, act);
    const uint32_t bTri = LanesOf(mTri, act);
    const uint32_t bSaw = LanesOf(mSaw, act);
    const uint32_t bRound = LanesOf(mRound, act);
    on = bSine | bTri | bSaw | bRound;
    const Lanes every{actMask, act == 0xFFu};
    if (bSaw == act) return Saw23<kBits>(w, pw, every);
    if (bRound == act) return Round23<kBits>(w, pw, every);
    if (bSine == act) return Sine23<kBits>(w, pw, every);
    if (bTri == act) return Triangle23<kBits>(w, pw, every);
    V bits = Zero();
    if (bSaw != 0) bits = Select(mSaw, Saw23<kBits>(w, pw, {And(mSaw, actMask), false}), bits);
    if (bRound != 0) bits = Select(mRound, Round23<kBits>(w, pw, {And(mRound, actMask), false}), bits);
    if (bSine != 0) bits = Select(mSine, Sine23<kBits>(w, pw, {And(mSine, actMask), false}), bits);
    if (bTri != 0) bits = Select(mTri, Triangle23<kBits>(w, pw, {And(mTri, actMask), false}), bits);
    if (on != act) {
        const Lanes silent{AndNot(Or(Or(mSine, mTri), Or(mSaw, mRound)), actMask), on == 0 && act == 0xFFu};
        for (int i = 0; i < 4; ++i) StoreIn(w.out[i], Zero(), silent);
    }
    return bits;
}

// ------------------------------------------------------ one wave per oscillator
//
// When every active lane plays the same wave on each oscillator (the common
// case), the three oscillators run frame by frame side by side: their chains are
// independent within a row, so the processor keeps all of them in flight. The
// wave choices are tested per frame; they are the same in every frame, so the
// branches are predicted.

enum Kind1 : int { kSine1, kTriangle1, kSaw1, kPulse1 };

// Per-pitch factors of one oscillator's wave (those the wave reads).
struct Factors {
    V step, a, b;  // step; fb or wT or base; off or wS or k
};

template <int I>
MC_LANE_INLINE void Frame1(int kind, bool sync, Osc1& o, const Osc1In& in, const Factors& f) {
    if (sync) {
        switch (kind) {
            case kPulse1: PulseFrame1<true, I>(o, in, f.a); break;
            case kSaw1: SawFrame1<true, I>(o, in, f.a, f.b); break;
            case kTriangle1: TriangleFrame1<true, I>(o, in, f.a, f.b); break;
            default: SineFrame1<true, I>(o, in); break;
        }
    } else {
        switch (kind) {
            case kPulse1: PulseFrame1<false, I>(o, in, f.a); break;
            case kSaw1: SawFrame1<false, I>(o, in, f.a, f.b); break;
            case kTriangle1: TriangleFrame1<false, I>(o, in, f.a, f.b); break;
            default: SineFrame1<false, I>(o, in); break;
        }
    }
}

template <bool kBits, int I>
MC_LANE_INLINE void Frame23(int wave, Osc23& o, const Factors& f) {
    switch (wave) {
        case 1: SineFrame23<kBits, I>(o, f.step); break;
        case 2: TriangleFrame23<kBits, I>(o, f.step, f.a, f.b); break;
        case 3: SawFrame23<kBits, I>(o, f.step, f.a, f.b); break;
        case 4: RoundFrame23<kBits, I>(o, f.a, f.b); break;
        default: break;
    }
}

MC_LANE_INLINE void Factors1(int kind, PitchWords& pw, Factors& f) {
    switch (kind) {
        case kPulse1: f.a = Factor(pw, kCurveBT); break;
        case kSaw1:
            f.a = Factor(pw, kCurveAT);
            f.b = Factor(pw, kCurveCT);
            break;
        case kTriangle1:
            f.a = Factor(pw, kFadeOutT);
            f.b = Factor(pw, kFadeInT);
            break;
        default: break;
    }
}

MC_LANE_INLINE void Factors23(int wave, PitchWords& pw, Factors& f) {
    switch (wave) {
        case 1: f.step = Factor(pw, kStepT); break;
        case 2:
            f.step = Factor(pw, kStepT);
            f.a = Factor(pw, kFadeOutT);
            f.b = Factor(pw, kFadeInT);
            break;
        case 3:
            f.step = Factor(pw, kStepT);
            f.a = Factor(pw, kCurveAT);
            f.b = Factor(pw, kCurveCT);
            break;
        case 4:
            f.a = Factor(pw, kStep23T);
            f.b = Factor(pw, kFeedbackT);
            break;
        default: break;
    }
}

template <int I>
MC_LANE_INLINE void Frames(int kind1, bool sync, Osc1& o1, const Osc1In& in, const Factors& f1, int wave2, bool bits,
                           Osc23& o2, const Factors& f2, int wave3, Osc23& o3, const Factors& f3) {
    Frame1<I>(kind1, sync, o1, in, f1);
    if (bits) {
        Frame23<true, I>(wave2, o2, f2);
    } else {
        Frame23<false, I>(wave2, o2, f2);
    }
    Frame23<false, I>(wave3, o3, f3);
}

// Stores oscillator 2 or 3 of wave `wave` (0: silent) into the lanes of m.
// (The outputs are stored frame by frame.)
MC_LANE_INLINE void StoreOsc23(const Osc23Words& w, int wave, const Osc23& o, const Lanes& m) {
    if (wave == 0) return;
    StoreIn(w.phase, o.phase, m);
    if (wave == 3) Store4(w.h, o.h, m);
}

// Frame I's outputs, stored as soon as they are formed so that they do not
// hold registers for the rest of the row (oscillator 3 only when computed;
// a silent oscillator's outputs stay 0).
template <int I>
MC_LANE_INLINE void StoreOutputs(LaneState& s, const Osc1& o1, const Osc23& o2, int wave3, const Osc23& o3,
                                 const Lanes& m) {
    StoreIn(s.osc1Out[I], o1.out[I], m);
    StoreIn(s.osc2Out[I], o2.out[I], m);
    if (wave3 >= 0) StoreIn(s.osc3Out[I], o3.out[I], m);
}

// All three oscillators of the lanes in m, each of one wave: kind1 for
// oscillator 1, wave2 and wave3 (0..4) for oscillators 2 and 3 (wave3 is read
// only when wave2 is not 0).
MC_LANE_INLINE void RenderSame(LaneState& s, const Osc1In& in, int kind1, bool sync, int wave2, PitchWords& pw2,
                               V noSync, bool bits, int wave3, const LaneRow& row, const Lanes& m) {
    const Osc23Words w2{s.osc2Phase, s.osc2History, s.osc2Out};
    const Osc23Words w3{s.osc3Phase, s.osc3History, s.osc3Out};
    if (wave2 == 0) wave3 = -1;  // oscillator 3 not computed
    Factors f1, f2, f3;
    f1.step = f1.a = f1.b = f2.step = f2.a = f2.b = f3.step = f3.a = f3.b = Zero();
    Factors1(kind1, *in.words, f1);
    Factors23(wave2, pw2, f2);
    if (wave3 > 0) Factors23(wave3, WordsAt(2, PitchIndex(row.osc3Pitch)), f3);
    Osc1 o1;
    o1.phase = Load(s.osc1Phase);
    o1.phase2 = Load(s.osc1Phase2);
    Load4(o1.ha, s.osc1History);
    Load4(o1.hb, s.osc1History2);
    Osc23 o2, o3;
    o2.phase = Load(w2.phase);
    Load4(o2.h, w2.h);
    o2.bits = Zero();
    o3.phase = Load(w3.phase);
    Load4(o3.h, w3.h);
    o3.bits = Zero();
    for (int i = 0; i < 4; ++i) o2.out[i] = o3.out[i] = Zero();
    Frames<0>(kind1, sync, o1, in, f1, wave2, bits, o2, f2, wave3, o3, f3);
    StoreOutputs<0>(s, o1, o2, wave3, o3, m);
    Frames<1>(kind1, sync, o1, in, f1, wave2, bits, o2, f2, wave3, o3, f3);
    StoreOutputs<1>(s, o1, o2, wave3, o3, m);
    Frames<2>(kind1, sync, o1, in, f1, wave2, bits, o2, f2, wave3, o3, f3);
    StoreOutputs<2>(s, o1, o2, wave3, o3, m);
    Frames<3>(kind1, sync, o1, in, f1, wave2, bits, o2, f2, wave3, o3, f3);
    StoreOutputs<3>(s, o1, o2, wave3, o3, m);

    StoreIn(s.osc1Phase, o1.phase, m);
    if (kind1 == kPulse1) {
        StoreIn(s.osc1Phase2, o1.phase2, m);
        Store4(s.osc1History2, o1.hb, m);
    }
    if (kind1 == kPulse1 || kind1 == kSaw1) Store4(s.osc1History, o1.ha, m);
    StoreIn(s.osc1SyncMask, AndNot(noSync, o2.bits), m);
    StoreOsc23(w2, wave2, o2, m);
    if (wave3 >= 0) StoreOsc23(w3, wave3, o3, m);
}

// The one wave of the lanes in act among waves 1..4 (any other selector counts
// as `other`), or -1 when they play more than one.
MC_LANE_INLINE int OneWave(V wave, uint32_t act, int other) {
    const uint32_t b1 = LanesOf(Eq(wave, Set1(1)), act);
    const uint32_t b2 = LanesOf(Eq(wave, Set1(2)), act);
    const uint32_t b3 = LanesOf(Eq(wave, Set1(3)), act);
    const uint32_t b4 = LanesOf(Eq(wave, Set1(4)), act);
    if (b1 == act) return 1;
    if (b2 == act) return 2;
    if (b3 == act) return 3;
    if (b4 == act) return 4;
    return (b1 | b2 | b3 | b4) == 0 ? other : -1;
}

// The same for oscillator 1, whose selectors other than 2..4 play as 1.
MC_LANE_INLINE int OneWave1(V wave, uint32_t act) {
    const uint32_t b2 = LanesOf(Eq(wave, Set1(2)), act);
    const uint32_t b3 = LanesOf(Eq(wave, Set1(3)), act);
    const uint32_t b4 = LanesOf(Eq(wave, Set1(4)), act);
    if (b2 == act) return 2;
    if (b3 == act) return 3;
    if (b4 == act) return 4;
    return (b2 | b3 | b4) == 0 ? 1 : -1;
}

}  // namespace

MC_LANE_FN void LaneOscillators(LaneState& s, const LaneRow& row) {
    const uint32_t act = row.active & 0xFFu;
    if (act == 0) return;
    const V actMask = MaskOfBits(act);

    // Oscillator 1, hearing oscillator 2's output and sync bits of the chunk
    // before.
    Osc1In in;
    PitchWords& pw1 = WordsAt(0, PitchIndex(row.osc1Pitch));
    in.words = &pw1;
    in.sync = Load(s.osc1SyncMask);
    in.width = Load(row.osc1PulseOffset);
    const V step = Factor(pw1, kStepT);
    const V depth = Load(row.osc1FmDepth);
    if ((~Bits(Eq(depth, Zero())) & act) != 0) {
        const V curve = Factor(pw1, kFmT);
        in.inc[0] = Add(step, Hi(Sll(Hi(Load(s.osc2Out[0]), depth), 2), curve));
        in.inc[1] = Add(step, Hi(Sll(Hi(Load(s.osc2Out[1]), depth), 2), curve));
        in.inc[2] = Add(step, Hi(Sll(Hi(Load(s.osc2Out[2]), depth), 2), curve));
        in.inc[3] = Add(step, Hi(Sll(Hi(Load(s.osc2Out[3]), depth), 2), curve));
    } else {
        in.inc[0] = in.inc[1] = in.inc[2] = in.inc[3] = step;
    }
    const V wave1 = Load(row.osc1Wave);
    const bool sync = (~Bits(Eq(And(in.sync, Set1(0xF)), Zero())) & act) != 0;
    PitchWords& pw2 = WordsAt(1, PitchIndex(row.osc2Pitch));
    const V wave2 = Load(row.osc2Wave);
    const V noSync = Eq(Load(row.osc2Sync), Zero());
    const Lanes every{actMask, act == 0xFFu};

    // One wave per oscillator in all active lanes: the three side by side.
    const int one1 = OneWave1(wave1, act);
    const int one2 = OneWave(wave2, act, 0);
    const int one3 = one2 > 0 ? OneWave(Load(row.osc3Wave), act, 0) : 0;
    if (one1 > 0 && one2 >= 0 && one3 >= 0) {
        RenderSame(s, in, one1 - 1, sync, one2, pw2, noSync, (~Bits(noSync) & act) != 0, one3, row, every);
        return;
    }

    // Mixed waves: one oscillator after the other.
    if (sync) {
        RenderOsc1<true>(s, in, wave1, act, actMask);
    } else {
        RenderOsc1<false>(s, in, wave1, act, actMask);
    }

    // Oscillator 2; its sync bits replace the mask oscillator 1 cleared.
    const Osc23Words w2{s.osc2Phase, s.osc2History, s.osc2Out};
    uint32_t on2;
    if ((~Bits(noSync) & act) != 0) {
        StoreIn(s.osc1SyncMask, AndNot(noSync, RenderOsc23<true>(w2, pw2, wave2, act, actMask, on2)), every);
    } else {
        RenderOsc23<false>(w2, pw2, wave2, act, actMask, on2);
        StoreIn(s.osc1SyncMask, Zero(), every);
    }

    // Oscillator 3, in the lanes whose oscillator 2 plays.
    if (on2 == 0) return;
    const Osc23Words w3{s.osc3Phase, s.osc3History, s.osc3Out};
    PitchWords& pw3 = WordsAt(2, PitchIndex(row.osc3Pitch));
    uint32_t on3;
    RenderOsc23<false>(w3, pw3, Load(row.osc3Wave), on2, on2 == act ? actMask : MaskOfBits(on2), on3);
}
