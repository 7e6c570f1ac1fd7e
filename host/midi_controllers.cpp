// The controller map's tables and its builder.
#include "host/midi_controllers.h"

Relaxed<uint32_t> g_midiControllerMap[kControllerKnobs];

uint8_t* const g_paramBankArrays[kControllerKnobs] = {
    g_soundBank[kParamOsc1Wave],        g_soundBank[kParamOsc1Tune],
    g_soundBank[kParamOsc1KeyTrack],    g_soundBank[kParamOsc1PulseWidth],
    g_soundBank[kParamOsc1Pwm],         g_soundBank[kParamOsc2On],
    g_soundBank[kParamOsc2Wave],        g_soundBank[kParamOsc2Tune],
    g_soundBank[kParamOsc2FineTune],    g_soundBank[kParamOsc2KeyTrack],
    g_soundBank[kParamOsc2FmAmount],    g_soundBank[kParamOscSync],
    g_soundBank[kParamRingMod],         g_soundBank[kParamOsc2Volume],
    g_soundBank[kParamOsc3On],          g_soundBank[kParamOsc3Wave],
    g_soundBank[kParamOsc3Tune],        g_soundBank[kParamOsc3FineTune],
    g_soundBank[kParamOsc3Volume],      g_soundBank[kParamAmpAttack],
    g_soundBank[kParamAmpDecay],        g_soundBank[kParamAmpSustain],
    g_soundBank[kParamAmpRelease],      g_soundBank[kParamAmpGain],
    g_soundBank[kParamFilterOn],        g_soundBank[kParamFilterCutoff],
    g_soundBank[kParamFilterResonance], g_soundBank[kParamFilterType],
    g_soundBank[kParamFilterKeyTrack],  g_soundBank[kParamFilterAttack],
    g_soundBank[kParamFilterDecay],     g_soundBank[kParamFilterSustain],
    g_soundBank[kParamFilterRelease],   g_soundBank[kParamFilterGain],
    g_soundBank[kParamLfoOn],           g_soundBank[kParamLfoDestination],
    g_soundBank[kParamLfoShape],        g_soundBank[kParamLfoDepth],
    g_soundBank[kParamLfoRate],         g_soundBank[kParamUserEnvOn],
    g_soundBank[kParamUserEnvDestination], g_soundBank[kParamUserEnvAttack],
    g_soundBank[kParamUserEnvDecay],    g_soundBank[kParamUserEnvSustain],
    g_soundBank[kParamUserEnvRelease],  g_soundBank[kParamUserEnvGain],
    g_soundBank[kParamVibratoDelay],    g_soundBank[kParamVibratoDepth],
    g_soundBank[kParamVibratoRate],     g_soundBank[kParamPortamento],
    g_soundBank[kParamGateTime],        g_soundBank[kParamDistortion],
    // 52..84: the mixer settings have no bank array.
};

const uint8_t g_paramKinds[kControllerKnobs] = {
    1, 3, 2, 4, 4, 2, 1, 3, 3, 2,  // 0..9
    4, 2, 2, 4, 2, 1, 3, 3, 4, 4,  // 10..19
    4, 4, 4, 4, 2, 4, 4, 5, 2, 4,  // 20..29
    4, 4, 4, 4, 2, 6, 6, 4, 4, 2,  // 30..39
    1, 4, 4, 4, 4, 4, 4, 4, 4, 4,  // 40..49
    4, 4,                          // 50..51
    7, 7, 7, 7, 7, 7, 7, 7, 7,     // 52..60 volumes and master
    8, 8, 8, 8, 8, 8, 8, 8,        // 61..68 pans
    9, 9, 9, 9, 9, 9, 9, 9,        // 69..76 first sends
    9, 9, 9, 9, 9, 9, 9, 9,        // 77..84 second sends
};

namespace {
// Knobs 0..51 -> 12..63, 52..72 -> 70..90, 73..84 -> 102..113.
constexpr std::array<uint8_t, kControllerKnobs> MakeFactoryMap() {
    std::array<uint8_t, kControllerKnobs> m{};
    for (int p = 0; p < kControllerKnobs; ++p) m[p] = uint8_t(p < 52 ? 12 + p : p < 73 ? p + 18 : p + 29);
    return m;
}
}  // namespace

const std::array<uint8_t, kControllerKnobs> g_factoryControllerMap = MakeFactoryMap();

const uint8_t g_customControllerKnob[kCustomControllers] = {
    1,  3,  4,  7,  10, 16, 19, 20, 21, 22, 23, 25, 26, 29, 30, 31, 32, 33,
    37, 38, 41, 42, 43, 44, 45, 49, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60,
};

const char* const g_customControllerNames[kCustomControllers] = {
    "OSC1 Tune",        "OSC1 Pulse Width", "OSC1 PWM",         "OSC2 Tune",         "OSC2 FM amount",
    "OSC3 Tune",        "AMPLIFIER Attack", "AMPLIFIER Decay",  "AMPLIFIER Sustain", "AMPLIFIER Release",
    "AMPLIFIER Gain",   "FILTER Cutoff",    "FILTER Resonance", "FILTER Attack",     "FILTER Decay",
    "FILTER Sustain",   "FILTER Release",   "FILTER Gain",      "LFO Depth",         "LFO Rate",
    "EG Attack",        "EG Decay",         "EG Sustain",       "EG Release",        "EG Gain",
    "Portamento",       "Distortion",       "Channel 1 volume", "Channel 2 volume",  "Channel 3 volume",
    "Channel 4 volume", "Channel 5 volume", "Channel 6 volume", "Channel 7 volume",  "Channel 8 volume",
    "Master volume",
};

void ApplyMidiControllerMap() {
    uint32_t map[kControllerKnobs];
    if (g_useCustomControllers == 0) {
        for (int p = 0; p < kControllerKnobs; ++p) map[p] = g_factoryControllerMap[p];
    } else {
        for (uint32_t& m : map) m = kNoController;
        // A number outside 0..127 (while the user types) is kept: it never
        // matches a controller.
        for (int r = 0; r < kCustomControllers; ++r) map[g_customControllerKnob[r]] = uint32_t(g_customControllerSet[r].load());
    }
    for (int p = 0; p < kControllerKnobs; ++p) g_midiControllerMap[p] = map[p];
}

namespace {
uint32_t HighWord(uint32_t v, uint32_t fraction) { return uint32_t((uint64_t(v) * fraction) >> 32); }
}  // namespace

int32_t ControllerValueForKind(uint32_t kind, uint32_t v) {
    switch (kind) {
    case 1: return v / 21 < 1 ? 1 : int32_t(v / 21);
    case 2: return int32_t(v / 64);
    case 3: {
        const uint64_t x = uint64_t(v) * 0xA1428509u;
        return int32_t(x >> 32) + (uint32_t(x) >= 0x20000000u ? 1 : 0);
    }
    case 4: return int32_t(HighWord(v, 0xA1428509u)) + 1;
    case 5: return v / 25 < 1 ? 1 : int32_t(v / 25);
    case 6: return v / 21 < 1 ? 1 : v / 21 > 4 ? 4 : int32_t(v / 21);
    case 7: return int32_t(HighWord(v, 0x70E1C386u)) + 1;
    case 8: return int32_t(HighWord(v, 0x50A14284u)) + 1 - 20;
    case 9: return int32_t(HighWord(v, 0x50A14284u)) + 1;
    default: return -1;
    }
}
