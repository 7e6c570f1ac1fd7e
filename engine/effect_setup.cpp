// Effect set-up, effect memory, and the type and slider data of the effects.
#include "engine/effect_setup.h"

#include <cstring>

#include "engine/stages.h"
#include "shared/effect_state.h"
#include "shared/mixer.h"
#include "shared/song.h"

alignas(64) uint32_t g_fx1Ring[kFxRingFrames];
alignas(64) uint32_t g_fx2Ring[kFxRingFrames];
alignas(64) uint32_t g_fx3Ring[kFxRingFrames];
alignas(64) int32_t g_reverbLines[kReverbLines][kReverbLineStride];

Relaxed<uint32_t> g_effectMemoryResetRequest{0};

namespace {

constexpr EffectType kUnit1Types[12] = {
    {"Off", kFxOff, EffectKind::Off},
    {"Delay, digital", kFxDelayDigital, EffectKind::Delay},
    {"Delay, stereo", kFxDelayStereo, EffectKind::Delay},
    {"Delay, spatial", kFxDelaySpatial, EffectKind::Delay},
    {"Delay, spatial ping-pong", kFxDelayPingPong, EffectKind::Delay},
    {"Phaser, mono", kFxPhaserMono, EffectKind::Phaser},
    {"Phaser, spatial", kFxPhaserSpatial, EffectKind::Phaser},
    {"Flanger, mono", kFxFlangerMono, EffectKind::Flanger},
    {"Flanger, stereo", kFxFlangerStereo, EffectKind::Flanger},
    {"Chorus, mono", kFxChorusMono, EffectKind::Chorus},
    {"Chorus, stereo", kFxChorusStereo, EffectKind::Chorus},
    {"Chorus, dual-voice stereo", kFxChorusDual, EffectKind::Chorus},
};

constexpr EffectType kUnit2Types[8] = {
    {"Off", kFxOff, EffectKind::Off},
    {"Delay, digital", kFxDelayDigital, EffectKind::Delay},
    {"Delay, stereo", kFxDelayStereo, EffectKind::Delay},
    {"Delay, spatial", kFxDelaySpatial, EffectKind::Delay},
    {"Delay, spatial ping-pong", kFxDelayPingPong, EffectKind::Delay},
    {"Phaser, spatial", kFxPhaserSpatial, EffectKind::Phaser},
    {"Flanger, stereo", kFxFlangerStereo, EffectKind::Flanger},
    {"Chorus, stereo", kFxChorusStereo, EffectKind::Chorus},
};

constexpr EffectType kUnit3Types[8] = {
    {"Off", kFxOff, EffectKind::Off},
    {"Delay, digital", kFxDelayDigital, EffectKind::Delay},
    {"Delay, stereo", kFxDelayStereo, EffectKind::Delay},
    {"Delay, spatial", kFxDelaySpatial, EffectKind::Delay},
    {"Delay, spatial ping-pong", kFxDelayPingPong, EffectKind::Delay},
    {"Reverb, room", kFxReverbRoom, EffectKind::ReverbRoom},
    {"Reverb, hall", kFxReverbHall, EffectKind::ReverbHallPlate},
    {"Reverb, plate", kFxReverbPlate, EffectKind::ReverbHallPlate},
};

constexpr const EffectType* kTypeLists[kFxUnits] = {kUnit1Types, kUnit2Types, kUnit3Types};

// Sliders 1, 2, 3 per kind, in the order of EffectKind.
constexpr EffectSlider kSliders[7][3] = {
    {{"not used", 0, 0}, {"not used", 0, 0}, {"not used", 0, 0}},                     // Off
    {{"Delay %lu step(s)", 1, 16}, {"Feedback %lu%%", 0, 90}, {"not used", 0, 0}},    // Delay
    {{"Phasing speed", 10, 180}, {"Sweep distance", 0, 140}, {"Feedback %lu%%", 0, 90}},   // Phaser
    {{"Flanging speed", 10, 100}, {"Sweep distance", 0, 140}, {"Feedback %lu%%", 0, 90}},  // Flanger
    {{"Delay %lums", 10, 40}, {"Depth", 10, 100}, {"Rate", 1, 100}},                  // Chorus
    {{"Pre delay", 10, 92}, {"Rev time", 0, 256}, {"not used", 0, 0}},                // ReverbRoom
    {{"Pre delay", 5, 92}, {"Rev time", 0, 256}, {"not used", 0, 0}},                 // ReverbHallPlate
};

// Fraction s / 100 in Q31 per slider step.
constexpr uint32_t kPercentQ31 = 21474836;       // floor(2^31 / 100)
constexpr uint32_t kStepBytesAt1Bpm = 661500000;  // delay bytes per step times beats per minute x 250
constexpr uint32_t kFlangerFeedbackStep = 10845877;   // 2^31 / 198, truncated
constexpr uint32_t kFlangerFeedbackBase = 939524096;  // 0.4375 x 2^31
constexpr uint32_t kChorusDepthStep = 37748736;       // 2.25 x 2^24: 2.25 frames of sweep per step
constexpr uint32_t kRoomGainStep = 2800000;
constexpr uint32_t kRoomGainBase = 1u << 30;           // 0.5
constexpr uint32_t kHallGainStep = 1572864;           // 3 x 2^19
constexpr uint32_t kHallGainBase = 1610612736;        // 0.75 x 2^31

// The words of one unit's coefficients that the set-up writes; units 1 and 2
// keep them in EffectUnitState, unit 3 in EffectUnit3State.
void SetUpUnit12(EffectUnitState& st, uint32_t code, uint32_t s1, uint32_t s2, uint32_t s3,
                 uint32_t stepBytes) {
    switch (code) {
        case kFxDelayDigital:
        case kFxDelayStereo:
        case kFxDelaySpatial:
        case kFxDelayPingPong:
            st.delayLength = stepBytes * s1 / 250;
            st.feedback = static_cast<int32_t>(0u - s2 * kPercentQ31);
            break;
        case kFxPhaserMono:
        case kFxPhaserSpatial:
            st.sweepRate = 16 * s1 * s1;
            st.baseDelay = static_cast<int32_t>(s2);
            st.feedback = static_cast<int32_t>(s3 * kPercentQ31);
            break;
        case kFxFlangerMono:
        case kFxFlangerStereo:
            st.sweepRate = 32 * s1 * s1;
            st.baseDelay = static_cast<int32_t>(s2);
            st.feedback = static_cast<int32_t>(s3 * kFlangerFeedbackStep + kFlangerFeedbackBase);
            break;
        case kFxChorusMono:
        case kFxChorusStereo:
        case kFxChorusDual:
            st.baseDelay = static_cast<int32_t>(44 * s1);
            st.sweepDepth = s2 * kChorusDepthStep;
            st.sweepRate = s3 * 4096 + 49152;
            break;
        default:
            break;
    }
}

void SetUpUnit3(EffectUnit3State& st, uint32_t code, uint32_t s1, uint32_t s2, uint32_t stepBytes) {
    switch (code) {
        case kFxDelayDigital:
        case kFxDelayStereo:
        case kFxDelaySpatial:
        case kFxDelayPingPong:
            st.delayLength = stepBytes * s1 / 250;
            st.feedback = static_cast<int32_t>(s2 * kPercentQ31);
            break;
        case kFxReverbRoom: {
            st.preDelay = s1 * 44 * 4;
            const uint32_t u = 256 - s2;
            const uint32_t v = u * u / 256;
            st.feedback = static_cast<int32_t>((256 - v) * kRoomGainStep + kRoomGainBase);
            break;
        }
        case kFxReverbHall:
        case kFxReverbPlate:
            st.preDelay = s1 * 44 * 4;
            st.feedback = static_cast<int32_t>(0u - (s2 * kHallGainStep + kHallGainBase));
            break;
        default:
            break;
    }
}

}  // namespace

const EffectType* EffectTypeList(int unit) {
    return (unit >= 0 && unit < kFxUnits) ? kTypeLists[unit] : nullptr;
}

const EffectType* FindEffectType(int unit, int32_t type) {
    if (unit < 0 || unit >= kFxUnits || type < 0 || type >= kFxTypeCount[unit]) return nullptr;
    return &kTypeLists[unit][type];
}

const EffectSlider* EffectSliders(EffectKind kind) { return kSliders[static_cast<int>(kind)]; }

void UpdateEffectUnits() {
    uint32_t tempo = g_tempo;
    if (tempo == 0) tempo = 1;
    const uint32_t stepBytes = (kStepBytesAt1Bpm >> (g_doubleStepsPerBeat != 0 ? 1 : 0)) / tempo;

    for (int unit = 0; unit < kFxUnits; ++unit) {
        const EffectType* type = FindEffectType(unit, g_effectSettings.fxType[unit]);
        if (type == nullptr) continue;  // damaged song data: keep the previous set-up
        g_fxCode[unit] = type->code;
        if (type->code == kFxOff) continue;
        const uint32_t s1 = static_cast<uint32_t>(g_effectSettings.fxParam[unit][0].load());
        const uint32_t s2 = static_cast<uint32_t>(g_effectSettings.fxParam[unit][1].load());
        if (unit == 2) {
            SetUpUnit3(g_fx3State, type->code, s1, s2, stepBytes);
        } else {
            const uint32_t s3 = static_cast<uint32_t>(g_effectSettings.fxParam[unit][2].load());
            SetUpUnit12(unit == 0 ? g_fx1State : g_fx2State, type->code, s1, s2, s3, stepBytes);
        }
    }
}

void ResetEngineBuffers() { g_effectMemoryResetRequest = 1; }

void ServeEffectMemoryReset() {
    if (g_effectMemoryResetRequest.exchange(0) == 0) return;
    std::memset(g_fx1Ring, 0, sizeof(g_fx1Ring));
    std::memset(g_fx2Ring, 0, sizeof(g_fx2Ring));
    std::memset(g_fx3Ring, 0, sizeof(g_fx3Ring));
    std::memset(g_reverbLines, 0, sizeof(g_reverbLines));
    std::memset(g_fx3State.leftPreFilter, 0, sizeof(g_fx3State.leftPreFilter));
    std::memset(g_fx3State.rightPreFilter, 0, sizeof(g_fx3State.rightPreFilter));
    std::memset(g_fx3State.combDamping, 0, sizeof(g_fx3State.combDamping));
}
