// Pattern commands: the two commands of a decoded row, applied to the track's
// voice or to the mixer settings of the bus its sound plays on. Values are 0..99
// (tens digit d1, units digit d0).
#include <algorithm>

#include "engine/sequencing.h"
#include "shared/fixed.h"
#include "shared/mixer.h"
#include "shared/sound_bank.h"
#include "shared/voice_state.h"

namespace {

constexpr int32_t kVolumeMax = 56;
constexpr int32_t kPanMax = 20;
constexpr int32_t kSendMax = 40;

// Bus of the track's selected sound: its channel 1..8 minus 1; any other channel
// acts as channel 1.
int MixerBus(const VoiceState& vs) {
    const uint32_t channel = BankByte(kParamChannel, static_cast<uint32_t>(vs.pendingSound));
    return channel - 1 < static_cast<uint32_t>(kBuses) ? static_cast<int>(channel - 1) : 0;
}

// Mixer setting from a value: v x 256 / divisor, kept inside the setting's range
// for values beyond 99.
int32_t MixerValue(uint32_t v, uint32_t divisor, int32_t max) {
    return std::min(static_cast<int32_t>(v * 256 / divisor), max);
}

}  // namespace

void RunPatternCommand(int t, uint32_t code, uint32_t v) {
    VoiceState& vs = g_voiceState[t];
    const int32_t d1 = static_cast<int32_t>(v / 10);
    const int32_t d0 = static_cast<int32_t>(v % 10);
    MixerSettings& mx = g_mixerSettings;
    switch (code) {
        case kCmdTranspose:
            vs.osc2Transpose = d1 * 256;
            vs.osc3Transpose = d0 * 256;
            break;
        case kCmdInstrument:
            vs.pendingSound = ValidSound(v);
            if (vs.sound == 0) vs.sound = vs.pendingSound;
            vs.sampleStartPercent = 0;
            break;
        case kCmdSlide:
            // 79 for the slowest (1) down to 55 for the fastest (99).
            if (v != 0) vs.slideSpeed = ((99 - static_cast<int32_t>(v)) >> 2) + 55;
            break;
        case kCmdVibrato:
            RelaxedStore(vs.vibratoDepthCmd, d1 * 8);
            RelaxedStore(vs.vibratoRateCmd, d0 * 8);
            break;
        case kCmdSetVolume:
            mx.volume[MixerBus(vs)] = MixerValue(v, 452, kVolumeMax);
            break;
        case kCmdVolumeUp: {
            auto& volume = mx.volume[MixerBus(vs)];
            const int32_t n = volume + static_cast<int32_t>(v >> 2);
            if (n <= kVolumeMax) volume = n;  // a step past the top is dropped, not clipped
            break;
        }
        case kCmdVolumeDown: {
            auto& volume = mx.volume[MixerBus(vs)];
            const int32_t n = volume - static_cast<int32_t>(v >> 2);
            if (n >= 0) volume = n;
            break;
        }
        case kCmdSetPan:
            mx.pan[MixerBus(vs)] = MixerValue(v, 633, 2 * kPanMax) - kPanMax;
            break;
        case kCmdCutoffMod:
            vs.cutoffOffset = static_cast<int32_t>(scale08(v));
            break;
        case kCmdFilterEnvMod:
            vs.filterEnvGainOffset = static_cast<int32_t>(scale08(v));
            break;
        case kCmdAmpEnvMod:
            vs.ampGainOffset = static_cast<int32_t>(scale08(v));
            break;
        case kCmdSend1:
            mx.send1[MixerBus(vs)] = MixerValue(v, 633, kSendMax);
            break;
        case kCmdSend2:
            mx.send2[MixerBus(vs)] = MixerValue(v, 633, kSendMax);
            break;
        case kCmdSampleOffset:
            vs.sampleStartPercent = static_cast<int32_t>(v);
            break;
        case kCmdRetrigger:
            if (v == 1) {
                vs.lfoPhase = 0;
            } else if (v == 2) {
                RelaxedStore(vs.filterEnvStage, 0);
                vs.filterEnvAttackPhase = 0;
                vs.filterEnvDecayPhase = 0;
                vs.filterEnvReleasePhase = 0;
                RelaxedStore(vs.filterEnvGate, 1);
            } else if (v == 3) {
                RelaxedStore(vs.userEnvStage, 0);
                vs.userEnvAttackPhase = 0;
                vs.userEnvDecayPhase = 0;
                vs.userEnvReleasePhase = 0;
                RelaxedStore(vs.userEnvGate, 1);
            }
            break;
        default:
            break;
    }
}
