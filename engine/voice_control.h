// The control part of a voice's frame as the voice loop runs it: the note-on
// countdown with the note start (StartNote) and the control tick and chunk step
// (UpdateModulation). The frequent steps are inline; the note start itself and
// the control tick are out of line (note_start.cpp, control.cpp).
//
// Chunk step (every 4 frames, when chunkPhase is 0) numeric contract: the fade
// (voiceGain - 0x2000000 per chunk), the user envelope E (unsigned, full scale
// 2^32) on one destination, the LFO value (stepped every 16 frames: table
// shapes hi(wave, depth), the random shape a smoothed (seed + count)^2
// sequence) on one target, and the effective per-chunk values.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/adsr.h"
#include "engine/tables.h"
#include "shared/fixed.h"
#include "shared/relaxed.h"
#include "shared/voice_state.h"

// The note start of a voice whose note-on countdown has reached 1: the pending
// note's sound and key, then its parameters, unless its amplifier gain sum is 0
// (then the countdown stays at 1 and the start is tried again next frame).
void StartPendingNote(VoiceState& vs);
// The control tick (every 64 frames, when controlCounter is 0).
void ControlTick(VoiceState& vs);

namespace voice_control {

inline constexpr int32_t kPitchTop = 0x9800;
inline constexpr int32_t kCutoffTop = 0x1FFE;
inline constexpr uint32_t kFadeStep = 0x2000000;

[[gnu::always_inline]] inline int32_t LimitPitch(int32_t p) { return std::clamp(p, 0, kPitchTop); }

// The user envelope of one chunk: E, unsigned, full scale 2^32.
[[gnu::always_inline]] inline uint32_t UserEnvelope(VoiceState& vs) {
    int32_t stage = RelaxedLoad(vs.userEnvStage);
    const int32_t before = stage;
    const AdsrResult r = AdsrStep({vs.userEnvLevel, vs.userEnvAttackRate, vs.userEnvDecayRate,
                                   vs.userEnvReleaseRate, vs.userEnvSustainLevel,
                                   RelaxedLoad(vs.userEnvGate), stage, vs.userEnvAttackPhase,
                                   vs.userEnvDecayPhase, vs.userEnvReleasePhase, vs.userEnvPeak,
                                   vs.userEnvValue},
                                  g_shapeRiseLine, g_shapeFallLine);
    if (stage != before) RelaxedStore(vs.userEnvStage, stage);
    return r.value;  // 0 with level 0 and after the release has ended
}

[[gnu::always_inline]] inline void StepLfo(VoiceState& vs) {
    const int32_t shape = vs.lfoShape;
    if (shape == 4) {
        const uint32_t old = vs.lfoPhase;
        vs.lfoPhase = old + static_cast<uint32_t>(vs.lfoRate) * 4;
        if (vs.lfoPhase < old) {
            vs.lfoRandomCount += 1;
            const uint32_t s = static_cast<uint32_t>(vs.lfoRandomSeed) + static_cast<uint32_t>(vs.lfoRandomCount);
            vs.lfoRandomSeed = static_cast<int32_t>(s * s);
        }
        const int32_t g = vs.lfoRandomSeed >> 1;
        if (vs.lfoRandomSmooth != g) {
            vs.lfoRandomSmooth -= hi(wrapSub(vs.lfoRandomSmooth, g), 0x8000000);
        }
        vs.lfoValue = hi(wrapMul(vs.lfoRandomSmooth, 2), vs.lfoDepth);
    } else {
        const uint32_t o = vs.lfoPhase;
        vs.lfoPhase = o + static_cast<uint32_t>(vs.lfoRate);
        // shape is 1..3 here (the control tick stores 0..4).
        vs.lfoValue = hi(g_lfoWaveTables[(shape - 1) * kLfoWaveEntries + (o >> 22)], vs.lfoDepth);
    }
}

[[gnu::always_inline]] inline bool ChunkStep(VoiceState& vs) {
    if (vs.osc1Wave == 0 || vs.chunkPhase != 0 || vs.voiceGain == 0) return false;

    if (vs.fading != 0) vs.voiceGain -= kFadeStep;

    // Effective values of the chunk, from their bases.
    vs.osc1Pitch = static_cast<uint32_t>(vs.osc1BasePitch);
    vs.osc2Pitch = static_cast<uint32_t>(vs.osc2BasePitch);
    vs.osc1FmDepth = vs.osc1FmDepthBase;
    vs.osc1PulseOffset = vs.osc1PulseWidth;
    vs.osc2Volume = static_cast<uint32_t>(vs.osc2VolumeBase);
    vs.cutoff = vs.cutoffBase;

    // User envelope on its destination.
    const int32_t dest = vs.userEnvTarget;
    if (dest != 0) {
        const uint32_t e = UserEnvelope(vs);
        switch (dest) {
            case 1:
                vs.osc1FmDepth = static_cast<int32_t>(
                    std::min<uint32_t>(0x7FFFFFFF, (e >> 1) + static_cast<uint32_t>(vs.osc1FmDepthBase)));
                break;
            case 2: vs.osc1PulseOffset = (e >> 1) + vs.osc1PulseWidth; break;
            case 3:
                vs.osc1Pitch = static_cast<uint32_t>(std::min(kPitchTop, static_cast<int32_t>(e >> 17) + vs.osc1BasePitch));
                break;
            case 4:
                vs.osc2Pitch = static_cast<uint32_t>(std::min(kPitchTop, static_cast<int32_t>(e >> 17) + vs.osc2BasePitch));
                break;
            case 5: vs.osc2Volume = g_shapeRiseCurve[kShapeLevels - 1][(e >> 21) & 0x7FF] >> 1; break;
            case 6: vs.cutoff = std::min(kCutoffTop, static_cast<int32_t>(e >> 19) + vs.cutoffBase); break;
            default: break;
        }
    }

    // LFO.
    if (vs.lfoShape != 0) {
        if (vs.chunkCount == 0) StepLfo(vs);
        const int32_t value = vs.lfoValue;
        switch (vs.lfoTarget) {
            case 1: vs.osc1PulseOffset += static_cast<uint32_t>(value); break;
            case 2: vs.osc1Pitch = LimitPitch(static_cast<int32_t>(vs.osc1Pitch) + (value >> 16)); break;
            case 3: vs.osc2Pitch = LimitPitch(static_cast<int32_t>(vs.osc2Pitch) + (value >> 16)); break;
            case 4: vs.cutoff = std::clamp(vs.cutoff + (value >> 18), 0, kCutoffTop); break;
            default: break;
        }
    }
    return true;
}

}  // namespace voice_control

// Control counter, note-on countdown and note start of one frame; false: the
// voice has no sound, nothing more this frame.
[[gnu::always_inline]] inline bool StartNote(int v) {
    VoiceState& vs = g_voiceState[v];
    vs.controlCounter = (vs.controlCounter + 1) & 63;
    if (vs.sound == 0) return false;
    const int32_t countdown = RelaxedLoad(vs.noteOnCountdown);
    if (countdown > 1) {
        RelaxedStore(vs.noteOnCountdown, countdown - 1);
    } else if (countdown == 1) {
        StartPendingNote(vs);
    }
    return true;
}

// Control tick and chunk step of one frame; true: the chunk's audio is due.
[[gnu::always_inline]] inline bool UpdateModulation(int v) {
    VoiceState& vs = g_voiceState[v];
    if (vs.voiceGain == 0) return false;
    if (vs.controlCounter == 0) ControlTick(vs);
    return voice_control::ChunkStep(vs);
}
