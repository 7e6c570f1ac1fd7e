// Effect units 1 to 3, run once per master frame on the sub-frame given by the
// master's chunkPhase, after the bus mixer and before the output stage:
// unit 1 on the effect-1 send; the serial feed of unit 1's output into the
// effect-2 send; unit 2 on the effect-2 send; unit 3 on the effect-2 send plus
// unit 2's output (reverb.h).
//
// Units 1 and 2 run the same arithmetic on their own state, ring, inputs and
// outputs; unit 1 knows codes 1-11, unit 2 codes 1-4, 6, 8 and 10. A unit whose
// code is 0 (or one it does not know) writes 0 to both outputs and touches
// nothing else. Outputs are 32-bit and not clamped.
#include "engine/effect_dsp.h"
#include "engine/reverb.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/effect_state.h"
#include "shared/master_state.h"
#include "shared/mixer.h"

namespace {

using fx::Stereo;
using fx::SweepOf;
using fx::SweptDelayOf;
using fx::SweptRead;

constexpr uint32_t kRingMask = kFxRingFrames - 1;
constexpr uint32_t kChorusMask = kChorusRingFrames - 1;
constexpr uint32_t kQuarterSweep = 1u << 30;       // a quarter of the sweep period ahead
constexpr int32_t kPhaserAllPass = 1610612736;     // 0.375 x 2^32
constexpr uint32_t kPhaserBase = 100;               // frames added to every phaser and flanger delay
constexpr uint32_t kDriftStep = 4096;               // spatial phaser: right sweep runs this much faster
constexpr uint32_t kChorusBase = 1;
constexpr uint32_t kDualVoiceBase = 1200;           // second voice of the dual-voice chorus
constexpr uint32_t kDualVoiceRateExtra = 16384;

constexpr uint32_t CodeBit(uint32_t code) { return 1u << code; }
constexpr uint32_t kUnit1Codes = 0xFFEu;  // 1..11
constexpr uint32_t kUnit2Codes = CodeBit(kFxDelayDigital) | CodeBit(kFxDelayStereo) | CodeBit(kFxDelaySpatial) |
                                 CodeBit(kFxDelayPingPong) | CodeBit(kFxPhaserSpatial) |
                                 CodeBit(kFxFlangerStereo) | CodeBit(kFxChorusStereo);

[[gnu::always_inline]] inline Stereo Phaser(EffectUnitState& st, uint32_t* ring, uint32_t code, int32_t left,
                                             int32_t right) {
    const uint32_t p = st.sweepPhase;
    st.sweepPhase += st.sweepRate;
    const uint32_t offset = kPhaserBase + static_cast<uint32_t>(st.baseDelay);
    const fx::SweptDelay dl = SweptDelayOf(SweepOf(p), offset);
    fx::SweptDelay dr = dl;
    if (code == kFxPhaserSpatial) {
        dr = SweptDelayOf(SweepOf(st.sweepPhase + st.driftPhase), offset);
        st.driftPhase += kDriftStep;
    }
    const uint32_t w = st.writePos & kRingMask;
    st.writePos += 1;
    const int32_t yl = SweptRead(ring, kRingMask, w, dl, 0);
    const int32_t yr = SweptRead(ring, kRingMask, w, dr, 16);
    const Stereo out{yl + hi(left, -kPhaserAllPass), yr + hi(right, -kPhaserAllPass)};
    ring[w] = fx::Pack(fx::Clamp16(left + hi(out.left, kPhaserAllPass) + hi(yl, st.feedback)),
                       fx::Clamp16(right + hi(out.right, kPhaserAllPass) + hi(yr, st.feedback)));
    return out;
}

[[gnu::always_inline]] inline Stereo Flanger(EffectUnitState& st, uint32_t* ring, uint32_t code, int32_t left,
                                              int32_t right) {
    const uint32_t p = st.sweepPhase;
    st.sweepPhase += st.sweepRate;
    const uint32_t offset = kPhaserBase + static_cast<uint32_t>(st.baseDelay);
    const fx::SweptDelay dl = SweptDelayOf(SweepOf(p), offset);
    const fx::SweptDelay dr =
        code == kFxFlangerStereo ? SweptDelayOf(SweepOf(st.sweepPhase + kQuarterSweep), offset) : dl;
    const uint32_t w = st.writePos & kRingMask;
    st.writePos += 1;
    const int32_t yl = SweptRead(ring, kRingMask, w, dl, 0);
    const int32_t yr = SweptRead(ring, kRingMask, w, dr, 16);
    ring[w] = fx::Pack(fx::Clamp16(left + 2 * hi(yl, st.feedback)), fx::Clamp16(right + 2 * hi(yr, st.feedback)));
    return {left + yl, right + yr};
}

[[gnu::always_inline]] inline Stereo Chorus(EffectUnitState& st, uint32_t* ring, uint32_t code, int32_t left,
                                             int32_t right) {
    const uint32_t p = st.sweepPhase;
    st.sweepPhase += st.sweepRate;
    const uint32_t offset = kChorusBase + static_cast<uint32_t>(st.baseDelay);
    const fx::SweptDelay dl = SweptDelayOf(2 * hiu(SweepOf(p), st.sweepDepth), offset);
    // The right channel of the stereo choruses sweeps a quarter period ahead over
    // the full 128 frames, whatever the depth.
    const fx::SweptDelay dr =
        code == kFxChorusMono ? dl : SweptDelayOf(SweepOf(st.sweepPhase + kQuarterSweep), offset);
    const uint32_t w = st.writePos & kChorusMask;
    st.writePos += 1;
    Stereo out{SweptRead(ring, kChorusMask, w, dl, 0), SweptRead(ring, kChorusMask, w, dr, 16)};
    const uint32_t frame = fx::Pack(fx::Clamp16(left), fx::Clamp16(right));
    ring[w] = frame;
    if (code == kFxChorusDual) {
        uint32_t* ring2 = ring + kChorusRingFrames;
        const uint32_t p2 = st.sweepPhase2;
        st.sweepPhase2 += st.sweepRate + kDualVoiceRateExtra;
        const uint32_t offset2 = kDualVoiceBase + static_cast<uint32_t>(st.baseDelay);
        const fx::SweptDelay dl2 = SweptDelayOf(2 * hiu(SweepOf(p2), st.sweepDepth), offset2);
        const fx::SweptDelay dr2 = SweptDelayOf(SweepOf(st.sweepPhase2 + kQuarterSweep), offset2);
        out.left = (out.left >> 1) + (SweptRead(ring2, kChorusMask, w, dl2, 0) >> 1);
        out.right = (out.right >> 1) + (SweptRead(ring2, kChorusMask, w, dr2, 16) >> 1);
        ring2[w] = frame;
    }
    return out;
}

// One frame of unit 1 or 2.
[[gnu::always_inline]] inline Stereo RenderUnit(EffectUnitState& st, uint32_t* ring, uint32_t code, uint32_t known,
                                                 int32_t left, int32_t right) {
    if (code > 31 || (known & CodeBit(code)) == 0) return {0, 0};
    switch (code) {
        case kFxDelayDigital:
        case kFxDelayStereo:
        case kFxDelaySpatial:
        case kFxDelayPingPong:
            return fx::DelayFrame(ring, code, st.writePos, st.delayLength, st.feedback, left, right);
        case kFxPhaserMono:
        case kFxPhaserSpatial:
            return Phaser(st, ring, code, left, right);
        case kFxFlangerMono:
        case kFxFlangerStereo:
            return Flanger(st, ring, code, left, right);
        default:
            return Chorus(st, ring, code, left, right);
    }
}

}  // namespace

void RunEffectUnits() {
    MasterState& ms = g_masterState;
    const int k = ms.chunkPhase & 3;

    // All three units off: each writes 0 to its outputs, and unit 3 takes the
    // effect-2 send alone as its input (the serial feed of a silent unit 1 adds 0).
    if ((g_fxCode[0] | g_fxCode[1] | g_fxCode[2]) == 0) {
        ms.fx1OutLeft = ms.fx1OutRight = 0;
        ms.fx2OutLeft = ms.fx2OutRight = 0;
        g_fx3State.inputLeft = ms.fx2InLeft[k];
        g_fx3State.inputRight = ms.fx2InRight[k];
        return;
    }

    const Stereo out1 = RenderUnit(g_fx1State, g_fx1Ring, g_fxCode[0], kUnit1Codes, ms.fx1InLeft[k], ms.fx1InRight[k]);
    ms.fx1OutLeft = out1.left;
    ms.fx1OutRight = out1.right;

    // Serial feed: unit 1's output, scaled by the serial amount's send level,
    // also enters the effect-2 send of this frame. An amount outside 0..40 (from
    // damaged song data) is held at the nearer end of the range.
    if (g_effectSettings.fxSerial != 0) {
        int32_t amount = g_effectSettings.fxSerialAmount;
        if (amount < kFxSerialAmountMin) amount = kFxSerialAmountMin;
        if (amount > kFxSerialAmountMax) amount = kFxSerialAmountMax;
        const int64_t g = g_sendLevelTable[amount];
        ms.fx2InLeft[k] += static_cast<int32_t>((out1.left * g) >> 31);
        ms.fx2InRight[k] += static_cast<int32_t>((out1.right * g) >> 31);
    }

    const Stereo out2 = RenderUnit(g_fx2State, g_fx2Ring, g_fxCode[1], kUnit2Codes, ms.fx2InLeft[k], ms.fx2InRight[k]);
    ms.fx2OutLeft = out2.left;
    ms.fx2OutRight = out2.right;

    RenderEffectUnit3(k);
}
