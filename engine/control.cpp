// Voice control: the control tick (every 64 frames, when controlCounter is 0).
// The chunk step (every 4 frames, when chunkPhase is 0) is inline in
// voice_control.h.
//
// Numeric contract (P, K, C as in engine/sound_params.h):
// - Pitch index: 1/256 semitone, 6,144 = C0; a key k at centre tune plays at
//   k x 256 + 6,143. Base and effective pitches are limited to 0..0x9800.
// - Smoothing by 1/16 (1/32): x += hi(t - x, 0x10000000 (0x8000000)), the
//   difference read as signed: floor((t - x) / 16).
// - Control tick: drive toward C(Distortion) << 18; automatic release when the
//   gate timer passes 1; vibrato hi(triangle[phase >> 19], depth x 8) with the
//   phase stepping by rate << 20 (after its delay in control ticks); glide by
//   floor((target - glide) x (81 - speed) / 512), at least +1; tunes
//   (K x 0x999999 >> 16, + fine tune, + vibrato and pitch bend) smoothed by 1/16;
//   oscillator 2 and 3 switches, volumes (C x 0x1999999) smoothed by 1/16; cutoff
//   (93 per knob step, + 64 per key above 24 with key tracking, at most 0x1FFE)
//   smoothed by 1/32; resonance hiu(C, 0x63333332) (0..30, the knob halved while
//   a note start is pending); filter type through g_filterTypeMap, a change
//   clears the filter memories; LFO depth C x 0x1800000, rate (C + 5)^2 << 11.
//
// Guards for sound data: an LFO shape above 4 counts as 0 (no LFO), an LFO
// destination above 4 as none, a Filter - Type above 5 as 1 (12 dB low pass,
// as the filter itself reads any unknown non-zero type).
#include <algorithm>
#include <iterator>

#include "engine/adsr.h"
#include "engine/sound_params.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "engine/voice_control.h"
#include "shared/fixed.h"
#include "shared/relaxed.h"
#include "shared/voice_state.h"

const int32_t g_filterTypeMap[6] = {0, 1, 4, 3, 2, 5};
const int32_t g_lfoTargetMap[5] = {0, 2, 3, 1, 4};

namespace {

using voice_control::LimitPitch;

inline int32_t Smooth16(int32_t x, int32_t target) {
    return target == x ? x : x + hi(wrapSub(target, x), 0x10000000);
}
inline int32_t Smooth32(int32_t x, int32_t target) {
    return target == x ? x : x + hi(wrapSub(target, x), 0x8000000);
}

}  // namespace

void ControlTick(VoiceState& vs) {
    const SoundReader snd(vs.sound);

    // Drive.
    vs.drive = static_cast<uint32_t>(
        Smooth16(static_cast<int32_t>(vs.drive), snd.C(kModDistortion) << 18));

    // Automatic release.
    if (vs.gateTimer != 0) {
        if (vs.gateTimer == 1) {
            vs.ampDecayRate = vs.ampReleaseRate;
            vs.userEnvDecayRate = vs.userEnvReleaseRate;
            vs.filterEnvDecayRate = vs.filterEnvReleaseRate;
            RelaxedStore(vs.ampGate, 0);
            RelaxedStore(vs.filterEnvGate, 0);
            RelaxedStore(vs.userEnvGate, 0);
        }
        vs.gateTimer -= 1;
    }

    // Vibrato.
    int32_t vib = 0;
    const int32_t rateCmd = RelaxedLoad(vs.vibratoRateCmd);
    bool vibrate = false;
    int32_t depth = 0;
    uint32_t step = 0;
    if (rateCmd != 0) {
        step = static_cast<uint32_t>(rateCmd) << 20;
        depth = RelaxedLoad(vs.vibratoDepthCmd) * 8;
        vibrate = true;
    } else {
        const int32_t depth0 = snd.C(kModVibratoDepth);
        if (depth0 != 0) {
            if (vs.vibratoDelay != 0) {
                vs.vibratoDelay -= 1;
            } else {
                depth = depth0 * 8;
                step = static_cast<uint32_t>(snd.C(kModVibratoRate)) << 20;
                vibrate = true;
            }
        }
    }
    if (vibrate) {
        vib = hi(g_triangleTable[vs.vibratoPhase >> 19], depth);
        vs.vibratoPhase += step;
    }

    // Glide.
    const int32_t target = vs.key * 256;
    const int32_t speed = vs.slideSpeed != 0 ? vs.slideSpeed : snd.C(kModPortamento);
    if (speed == 0) {
        vs.glidePitch = target;
    } else {
        int32_t s = hi(wrapSub(target, vs.glidePitch), (81 - speed) << 23);
        if (s == 0) s = 1;
        vs.glidePitch += s;
    }

    vib += RelaxedLoad(vs.pitchBend);

    // Oscillator 1.
    vs.osc1Tune = Smooth16(vs.osc1Tune, TuneUnits(snd.K(kModOsc1Tune)) + vib);
    int32_t b = snd.P(kParamOsc1KeyTrack) != 0 ? vs.glidePitch + vs.osc1Tune : vs.osc1Tune * 3;
    vs.osc1BasePitch = LimitPitch(b + vs.osc1SplitTranspose);

    vs.osc1Wave = static_cast<uint32_t>(snd.P(kParamOsc1Wave));
    if (vs.osc1Wave == 4) {
        const int32_t r = snd.K(kModOsc1Pwm);
        if (r != 0) {
            vs.osc1PwmRate = static_cast<uint32_t>(r) << 14;
        } else {
            vs.osc1PwmRate = 0;
            vs.pulseWidthSmooth = static_cast<uint32_t>(
                Smooth16(static_cast<int32_t>(vs.pulseWidthSmooth),
                         static_cast<int32_t>(PulseWidthUnits(snd.K(kModOsc1PulseWidth)))));
            vs.osc1PulseWidth = vs.pulseWidthSmooth;
        }
    }

    // Oscillators 2 and 3.
    if (snd.P(kParamOsc2On) != 0) {
        vs.osc2Wave = static_cast<uint32_t>(snd.P(kParamOsc2Wave));
        vs.osc2Sync = static_cast<uint32_t>(snd.P(kParamOscSync));
        vs.osc2RingMod = static_cast<uint32_t>(snd.P(kParamRingMod));
        vs.osc1FmDepthBase = snd.C(kModOsc2FmAmount) << 24;

        vs.osc2Tune = Smooth16(vs.osc2Tune, TuneUnits(snd.K(kModOsc2Tune)) + vib +
                                                FineTuneUnits(snd.P(kParamOsc2FineTune)));
        b = snd.P(kParamOsc2KeyTrack) != 0 ? vs.glidePitch + vs.osc2Transpose + vs.osc2Tune
                                           : vs.osc2Tune * 3;
        vs.osc2BasePitch = LimitPitch(b + vs.osc2SplitTranspose);

        vs.osc2VolumeSmooth = Smooth16(vs.osc2VolumeSmooth, VolumeUnits(snd.C(kModOsc2Volume)));
        vs.osc2VolumeBase = vs.osc2VolumeSmooth;

        if (snd.P(kParamOsc3On) != 0) {
            vs.osc3Wave = static_cast<uint32_t>(snd.P(kParamOsc3Wave));
            vs.osc3Tune = Smooth16(vs.osc3Tune, TuneUnits(snd.K(kModOsc3Tune)) + vib +
                                                    FineTuneUnits(snd.P(kParamOsc3FineTune)));
            // Oscillator 3 always follows the key.
            vs.osc3Pitch = static_cast<uint32_t>(
                LimitPitch(vs.glidePitch + vs.osc3Transpose + vs.osc3Tune + vs.osc3SplitTranspose));
            vs.osc3VolumeSmooth = Smooth16(vs.osc3VolumeSmooth, VolumeUnits(snd.C(kModOsc3Volume)));
            vs.osc3Volume = static_cast<uint32_t>(vs.osc3VolumeSmooth);
        } else {
            vs.osc3Wave = 0;
        }
    } else {
        // Oscillator 3 sounds only beside oscillator 2; the FM depth is kept.
        vs.osc2Wave = vs.osc2Sync = vs.osc2RingMod = vs.osc3Wave = 0;
    }

    // Filter.
    int32_t type = 0;
    if (snd.P(kParamFilterOn) != 0) {
        const int32_t c = CutoffUnits(snd.K(kModFilterCutoff) + vs.cutoffOffset,
                                      snd.P(kParamFilterKeyTrack) != 0, vs.key);
        vs.cutoffSmooth = Smooth32(vs.cutoffSmooth, c);
        vs.cutoffBase = vs.cutoffSmooth;
        uint32_t r = static_cast<uint32_t>(snd.C(kModFilterResonance));
        if (vs.resonanceHalved == 1) r >>= 1;
        vs.resonance = static_cast<int32_t>(hiu(r, 0x63333332));
        const uint32_t knob = static_cast<uint32_t>(snd.P(kParamFilterType));
        type = knob < std::size(g_filterTypeMap) ? g_filterTypeMap[knob] : 1;
    }
    vs.filterType = type;
    if (type != vs.filterTypeActive) {
        FlushVoiceSignal(vs);  // chunks still waiting filter with the old memories
        vs.filterTypeActive = type;
        vs.filterMem1Y1 = vs.filterMem1Y2 = 0;
        vs.filterMem2Y1 = vs.filterMem2Y2 = 0;
        vs.filterMem3Y1 = vs.filterMem3Y2 = 0;
    }

    // LFO.
    if (snd.P(kParamLfoOn) != 0) {
        const int32_t shape = snd.P(kParamLfoShape);
        vs.lfoShape = shape <= 4 ? shape : 0;
        vs.lfoDepth = snd.C(kModLfoDepth) * 0x1800000;
        const int32_t rate = snd.C(kModLfoRate) + 5;
        vs.lfoRate = (rate * rate) << 11;
        const uint32_t dest = static_cast<uint32_t>(snd.P(kParamLfoDestination));
        vs.lfoTarget = dest < std::size(g_lfoTargetMap) ? g_lfoTargetMap[dest] : 0;
    } else {
        vs.lfoTarget = 0;
    }
}

