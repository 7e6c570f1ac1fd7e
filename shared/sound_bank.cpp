#include "shared/sound_bank.h"

#include "shared/mixer.h"

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

std::string g_soundNames[kSounds];
std::string g_curSoundName;
std::string g_curSoundNameUndo;

// Controller index order differs from the bank order: parameter 4 comes before 2
// and 3, 27 and 28 before 26, 34 after 28, 39 before 38, 46 after 40; parameters
// 19, 52 and 54..60 have no controller.
const ParamValueRef g_paramValuePtrs[kControllerKnobs] = {
    &g_liveKnobs[kParamOsc1Wave],        &g_liveKnobs[kParamOsc1Tune],
    &g_liveKnobs[kParamOsc1KeyTrack],    &g_liveKnobs[kParamOsc1PulseWidth],
    &g_liveKnobs[kParamOsc1Pwm],         &g_liveKnobs[kParamOsc2On],
    &g_liveKnobs[kParamOsc2Wave],        &g_liveKnobs[kParamOsc2Tune],
    &g_liveKnobs[kParamOsc2FineTune],    &g_liveKnobs[kParamOsc2KeyTrack],
    &g_liveKnobs[kParamOsc2FmAmount],    &g_liveKnobs[kParamOscSync],
    &g_liveKnobs[kParamRingMod],         &g_liveKnobs[kParamOsc2Volume],
    &g_liveKnobs[kParamOsc3On],          &g_liveKnobs[kParamOsc3Wave],
    &g_liveKnobs[kParamOsc3Tune],        &g_liveKnobs[kParamOsc3FineTune],
    &g_liveKnobs[kParamOsc3Volume],      &g_liveKnobs[kParamAmpAttack],
    &g_liveKnobs[kParamAmpDecay],        &g_liveKnobs[kParamAmpSustain],
    &g_liveKnobs[kParamAmpRelease],      &g_liveKnobs[kParamAmpGain],
    &g_liveKnobs[kParamFilterOn],        &g_liveKnobs[kParamFilterCutoff],
    &g_liveKnobs[kParamFilterResonance], &g_liveKnobs[kParamFilterType],
    &g_liveKnobs[kParamFilterKeyTrack],  &g_liveKnobs[kParamFilterAttack],
    &g_liveKnobs[kParamFilterDecay],     &g_liveKnobs[kParamFilterSustain],
    &g_liveKnobs[kParamFilterRelease],   &g_liveKnobs[kParamFilterGain],
    &g_liveKnobs[kParamLfoOn],           &g_liveKnobs[kParamLfoDestination],
    &g_liveKnobs[kParamLfoShape],        &g_liveKnobs[kParamLfoDepth],
    &g_liveKnobs[kParamLfoRate],         &g_liveKnobs[kParamUserEnvOn],
    &g_liveKnobs[kParamUserEnvDestination], &g_liveKnobs[kParamUserEnvAttack],
    &g_liveKnobs[kParamUserEnvDecay],    &g_liveKnobs[kParamUserEnvSustain],
    &g_liveKnobs[kParamUserEnvRelease],  &g_liveKnobs[kParamUserEnvGain],
    &g_liveKnobs[kParamVibratoDelay],    &g_liveKnobs[kParamVibratoDepth],
    &g_liveKnobs[kParamVibratoRate],     &g_liveKnobs[kParamPortamento],
    &g_liveKnobs[kParamGateTime],        &g_liveKnobs[kParamDistortion],
    &g_mixerSettings.volume[0], &g_mixerSettings.volume[1], &g_mixerSettings.volume[2], &g_mixerSettings.volume[3],
    &g_mixerSettings.volume[4], &g_mixerSettings.volume[5], &g_mixerSettings.volume[6], &g_mixerSettings.volume[7],
    &g_mixerSettings.master,
    &g_mixerSettings.pan[0],    &g_mixerSettings.pan[1],    &g_mixerSettings.pan[2],    &g_mixerSettings.pan[3],
    &g_mixerSettings.pan[4],    &g_mixerSettings.pan[5],    &g_mixerSettings.pan[6],    &g_mixerSettings.pan[7],
    &g_mixerSettings.send1[0],  &g_mixerSettings.send1[1],  &g_mixerSettings.send1[2],  &g_mixerSettings.send1[3],
    &g_mixerSettings.send1[4],  &g_mixerSettings.send1[5],  &g_mixerSettings.send1[6],  &g_mixerSettings.send1[7],
    &g_mixerSettings.send2[0],  &g_mixerSettings.send2[1],  &g_mixerSettings.send2[2],  &g_mixerSettings.send2[3],
    &g_mixerSettings.send2[4],  &g_mixerSettings.send2[5],  &g_mixerSettings.send2[6],  &g_mixerSettings.send2[7],
};
