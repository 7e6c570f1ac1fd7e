#include "shared/sound_bank.h"

const SoundParam g_modTargetParam[kModTargets] = {
    kParamOsc1Tune,       kParamOsc1PulseWidth, kParamOsc1Pwm,        kParamOsc2Tune,
    kParamOsc2FmAmount,   kParamOsc2Volume,     kParamOsc3Tune,       kParamOsc3Volume,
    kParamAmpAttack,      kParamAmpDecay,       kParamAmpSustain,     kParamAmpRelease,
    kParamAmpGain,        kParamFilterCutoff,   kParamFilterResonance, kParamFilterAttack,
    kParamFilterDecay,    kParamFilterSustain,  kParamFilterRelease,  kParamFilterGain,
    kParamLfoDepth,       kParamLfoRate,        kParamUserEnvAttack,  kParamUserEnvDecay,
    kParamUserEnvSustain, kParamUserEnvRelease, kParamUserEnvGain,    kParamVibratoDepth,
    kParamVibratoRate,    kParamPortamento,     kParamDistortion,
};

const char* const g_modTargetNames[kModTargets] = {
    "Oscillator 1 - Tune",
    "Oscillator 1 - Pulse width",
    "Oscillator 1 - Pulse width modulation",
    "Oscillator 2 - Tune",
    "Oscillator 2 - FM amount",
    "Oscillator 2 - Volume",
    "Oscillator 3 - Tune",
    "Oscillator 3 - Volume",
    "Amplifier - Attack",
    "Amplifier - Decay",
    "Amplifier - Sustain",
    "Amplifier - Release",
    "Amplifier - Gain",
    "Filter - Cutoff",
    "Filter - Resonance",
    "Filter - Attack",
    "Filter - Decay",
    "Filter - Sustain",
    "Filter - Release",
    "Filter - Gain",
    "LFO - Depth",
    "LFO - Rate",
    "User envelope - Attack",
    "User envelope - Decay",
    "User envelope - Sustain",
    "User envelope - Release",
    "User envelope - Gain",
    "Vibrato - Depth",
    "Vibrato - Rate",
    "Portamento",
    "Distortion",
};

uint8_t g_soundBank[kSoundParams][kSoundSlots];
uint8_t g_modulationBank[kModTargets][kSoundSlots];

Relaxed<uint32_t> g_curSound{1};
int32_t g_liveKnobs[kSoundParams];
int32_t g_knobUndo[kSoundParams];
