// Transport resets, served at the start of a render call: the stop reset, the
// play-start reset and the chase of the start pattern's commands. The dispatch
// has already taken the request out of g_engineReset.
#include <algorithm>

#include "engine/master.h"
#include "engine/sequencing.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/editor.h"
#include "shared/fixed.h"
#include "shared/master_state.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

namespace {

// 40 ms ticks of capture tail after a stop (about one second).
constexpr uint32_t kCaptureTailTicks = 26;
// Release rate of every sounding note at a stop: at most 124 chunks.
constexpr uint32_t kStopReleaseRate = 0x1000;

// Offsets of the sounds in use (0..99); the spare entries stay as they are.
void ClearModulationBank() {
    for (auto& target : g_modulationBank)
        for (int s = 0; s < kSounds; ++s) RelaxedStore(target[s], uint8_t{0});
}

// One command of the chase on voice vs.
void ChaseCommand(VoiceState& vs, uint32_t code, uint32_t v) {
    switch (code) {
        case kCmdInstrument:
            vs.sound = ValidSound(v);
            vs.pendingSound = vs.sound;
            vs.sampleStartPercent = 0;
            break;
        case kCmdTranspose:
            vs.osc2Transpose = static_cast<int32_t>(v / 10) * 256;
            vs.osc3Transpose = static_cast<int32_t>(v % 10) * 256;
            break;
        case kCmdCutoffMod: vs.cutoffOffset = static_cast<int32_t>(scale08(v)); break;
        case kCmdFilterEnvMod: vs.filterEnvGainOffset = static_cast<int32_t>(scale08(v)); break;
        case kCmdAmpEnvMod: vs.ampGainOffset = static_cast<int32_t>(scale08(v)); break;
        case kCmdSampleOffset: vs.sampleStartPercent = static_cast<int32_t>(v); break;
        default: break;  // acts only when its row is played
    }
}

}  // namespace

void FullReset() {
    if (g_captureOn != 0) g_captureCloseCountdown = kCaptureTailTicks;
    for (auto& playing : g_trackPlaying) playing = 0;
    for (VoiceState& vs : g_voiceState) {
        RelaxedStore(vs.ampGate, 0);
        RelaxedStore(vs.noteOnCountdown, 0);
        RelaxedStore(vs.ampStage, 1);
        vs.ampDecayRate = kStopReleaseRate;
        vs.ampReleaseRate = kStopReleaseRate;
    }
    ClearModulationBank();
}

void PlayStartReset() {
    if (g_captureOn != 0) g_captureArmed = 1;

    const uint32_t midiStart = g_midiStartPending;
    for (auto& ticks : g_trackClockTicks) ticks = static_cast<int32_t>(midiStart);
    if (midiStart != 0) {
        // The MIDI input has set the track positions already.
        g_midiStartPending = 0;
        g_playFromCursor = 0;
    } else {
        const uint32_t pos = g_orderTop + g_orderCursor;
        uint32_t row = 0;
        if (g_playFromCursor != 0) {
            row = g_editStep;
            g_playFromCursor = 0;
        }
        for (int t = 0; t < kVoices; ++t) {
            g_trackSongPos[t] = pos;
            g_trackRow[t] = row;
        }
    }

    for (VoiceState& vs : g_voiceState) {
        vs.ampPeak = 0;
        vs.ampValue = 0;
        vs.userEnvPeak = 0;
        vs.userEnvValue = 0;
        vs.filterEnvPeak = 0;
        vs.filterEnvValue = 0;
        vs.positionTranspose = 0;
        vs.ampGainOffset = 0;
        vs.filterEnvGainOffset = 0;
        vs.cutoffOffset = 0;
        vs.sound = 0;
        vs.lfoPhase = 0;
        vs.osc2Transpose = 0;
        vs.osc3Transpose = 0;
        RelaxedStore(vs.tickParity, 0);
        vs.tickCountdown = 0;
        vs.sampleStartPercent = 0;
    }
    for (auto& playing : g_trackPlaying) playing = 1;
    g_clockCount = 0;
    g_masterMute = 0;
    SnapMixerGains();  // master mute is 0 here, so the targets are the settings'
    ClearModulationBank();
    if (g_trackRow[0] != 0) ChaseInstruments();
}

void ChaseInstruments() {
    const uint32_t pos = g_trackSongPos[0];
    if (pos >= static_cast<uint32_t>(kOrderPositions)) return;
    const uint8_t number = RelaxedLoad(g_songOrder[pos]);
    if (number >= kMaxPatterns) return;
    const uint8_t* pattern = g_patterns[number];
    if (pattern == nullptr) return;  // the sequencer stops such tracks at their first step

    const uint32_t length = g_patternLength;
    const uint32_t rows = std::min<uint32_t>(g_trackRow[0], length);
    for (int t = 0; t < kVoices; ++t) {
        VoiceState& vs = g_voiceState[t];
        const uint8_t* commands = pattern + PatternIndex(t, 0, 0, length);
        const uint8_t* valuesA = pattern + PatternIndex(t, 1, 0, length);
        const uint8_t* valuesB = pattern + PatternIndex(t, 2, 0, length);
        for (uint32_t r = 0; r < rows; ++r) {
            const uint8_t c = RelaxedLoad(commands[r]);
            ChaseCommand(vs, c >> 4, RelaxedLoad(valuesA[r]));
            ChaseCommand(vs, c & 15, RelaxedLoad(valuesB[r]));
        }
    }
}
