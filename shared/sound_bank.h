// The sound bank: 61 parameter arrays of 104 bytes, one byte per sound
// (sounds 0..99 used, 100..103 spare), in bank order below. Knobs 0..80; the
// signed knobs (tunes, fine tunes) stored with a bias of 40; switches 0/1;
// selectors small ranges; sample references 0..254 (255 = none); split references
// 0 = none, 1..32. The song and instrument files store the arrays in this order.
//
// g_modulationBank: per modulation target (0..30) and sound, the offset (0..80,
// added without bias) that automation sets and a note start or control tick adds
// to the target's parameter.
#pragma once

#include <cstdint>
#include <string>

#include "shared/constants.h"
#include "shared/relaxed.h"

enum SoundParam : int {
    kParamOsc1Wave = 0,          // 1..6 (6 = sample)
    kParamOsc1Tune,              // signed knob
    kParamOsc1PulseWidth,
    kParamOsc1Pwm,               // pulse width modulation
    kParamOsc1KeyTrack,          // switch: split follows transpose / key tracking
    kParamOsc2On,
    kParamOsc2Wave,
    kParamOsc2Tune,              // signed knob
    kParamOsc2FineTune,          // signed knob
    kParamOsc2KeyTrack,
    kParamOsc2FmAmount,
    kParamOscSync,
    kParamRingMod,
    kParamOsc2Volume,
    kParamOsc3On,
    kParamOsc3Wave,
    kParamOsc3Tune,              // signed knob
    kParamOsc3FineTune,          // signed knob
    kParamOsc3Volume,
    kParamOsc3KeyTrack,          // stored, not read by the engine
    kParamAmpAttack = 20,
    kParamAmpDecay,
    kParamAmpSustain,
    kParamAmpRelease,
    kParamAmpGain,
    kParamFilterOn = 25,
    kParamFilterType,            // 0..5
    kParamFilterCutoff,
    kParamFilterResonance,
    kParamFilterAttack,
    kParamFilterDecay,
    kParamFilterSustain,
    kParamFilterRelease,
    kParamFilterGain,
    kParamFilterKeyTrack = 34,
    kParamLfoOn = 35,
    kParamLfoDestination,        // 0..4
    kParamLfoShape,              // 0..4
    kParamLfoRate,
    kParamLfoDepth,
    kParamUserEnvOn = 40,
    kParamUserEnvAttack,
    kParamUserEnvDecay,
    kParamUserEnvSustain,
    kParamUserEnvRelease,
    kParamUserEnvGain,
    kParamUserEnvDestination,    // 0..6
    kParamVibratoDelay = 47,
    kParamVibratoDepth,
    kParamVibratoRate,
    kParamPortamento = 50,
    kParamGateTime,              // auto release, 0 = off
    kParamLegato,
    kParamDistortion,
    kParamChannel = 54,          // mixer bus 1..8
    kParamOsc1Sample,
    kParamOsc2Sample,
    kParamOsc3Sample,
    kParamOsc1SplitSet = 58,
    kParamOsc2SplitSet,
    kParamOsc3SplitSet,
    kParamCount
};
static_assert(kParamCount == kSoundParams);

// Modulation targets, in the order of the knob-assignment dialog's list.
enum ModTarget : int {
    kModOsc1Tune = 0, kModOsc1PulseWidth, kModOsc1Pwm, kModOsc2Tune, kModOsc2FmAmount,
    kModOsc2Volume, kModOsc3Tune, kModOsc3Volume, kModAmpAttack, kModAmpDecay,
    kModAmpSustain, kModAmpRelease, kModAmpGain, kModFilterCutoff, kModFilterResonance,
    kModFilterAttack, kModFilterDecay, kModFilterSustain, kModFilterRelease, kModFilterGain,
    kModLfoDepth, kModLfoRate, kModUserEnvAttack, kModUserEnvDecay, kModUserEnvSustain,
    kModUserEnvRelease, kModUserEnvGain, kModVibratoDepth, kModVibratoRate, kModPortamento,
    kModDistortion, kModCount
};
static_assert(kModCount == kModTargets);

// Target -> the sound parameter it offsets.
extern const SoundParam g_modTargetParam[kModTargets];
// The dialog's texts of the 31 targets ("Oscillator 1 - Tune" ...).
extern const char* const g_modTargetNames[kModTargets];

extern uint8_t g_soundBank[kSoundParams][kSoundSlots];
extern uint8_t g_modulationBank[kModTargets][kSoundSlots];

extern std::string g_soundNames[kSounds];  // "NOT USED" marks a free sound

extern Relaxed<uint32_t> g_curSound;  // sound being edited, 1..99
extern int32_t g_liveKnobs[kSoundParams];  // live values, signed knobs as -40..+40
extern int32_t g_knobUndo[kSoundParams];   // the live values as the sound was loaded
extern std::string g_curSoundName;         // the current sound's name as shown on the panel
extern std::string g_curSoundNameUndo;     // ... and as it was loaded

// Controllable knobs: indices 0..51 are sound parameters (their live values),
// 52..84 the mixer settings.
inline constexpr int kControllerKnobs = 85;
inline constexpr int kSoundControllers = 52;

// The live word of a controllable knob: a plain live-knob word or a shared
// mixer word. Both are read and written atomically; Address() is what the
// panel's pressed-control pointer holds for that knob.
class ParamValueRef {
public:
    constexpr ParamValueRef(int32_t* plain) : plain_(plain), shared_(nullptr) {}             // NOLINT
    constexpr ParamValueRef(Relaxed<int32_t>* shared) : plain_(nullptr), shared_(shared) {}  // NOLINT
    int32_t Load() const { return plain_ ? RelaxedLoad(*plain_) : shared_->load(); }
    void Store(int32_t v) const {
        if (plain_) RelaxedStore(*plain_, v);
        else shared_->store(v);
    }
    const void* Address() const { return plain_ ? static_cast<const void*>(plain_) : static_cast<const void*>(shared_); }

private:
    int32_t* plain_;
    Relaxed<int32_t>* shared_;
};
// Controller index -> the live value it writes: 0..51 the live knobs,
// 52..59 bus volumes, 60 master volume, 61..68 pans, 69..76 first sends,
// 77..84 second sends (g_mixerSettings).
extern const ParamValueRef g_paramValuePtrs[kControllerKnobs];

// Bank byte of parameter p for sound s, read while other threads may edit it.
inline uint8_t BankByte(SoundParam p, uint32_t sound) {
    return RelaxedLoad(g_soundBank[p][sound]);
}
