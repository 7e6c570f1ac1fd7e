#include "data/sound_bank_ops.h"

#include "shared/relaxed.h"
#include "shared/sound_bank.h"

const uint8_t g_soundParamDefaults[kSoundParams] = {
    1,  40, 80, 0,  1,  0,  1,  40, 40, 1,   //  0..9
    0,  0,  0,  80, 0,  1,  40, 40, 80, 1,   // 10..19
    0,  20, 0,  0,  80, 0,  1,  80, 0,  0,   // 20..29
    0,  0,  0,  0,  0,  0,  1,  1,  0,  0,   // 30..39
    0,  0,  0,  0,  0,  0,  1,  0,  0,  0,   // 40..49
    0,  0,  0,  0,  1,  255, 255, 255, 0, 0, // 50..59
    0,                                       // 60
};

bool IsSignedKnob(int param) {
    switch (param) {
        case kParamOsc1Tune:
        case kParamOsc2Tune:
        case kParamOsc2FineTune:
        case kParamOsc3Tune:
        case kParamOsc3FineTune: return true;
        default: return false;
    }
}

namespace {

// The sound numbers the copies accept: the 100 sounds that have a name.
bool ValidSound(uint32_t sound) { return sound < static_cast<uint32_t>(kSounds); }

void StoreValuesToSound(const int32_t* values, const std::string& name, uint32_t sound) {
    if (!ValidSound(sound)) return;
    for (int p = 0; p < kSoundParams; ++p) {
        int32_t v = RelaxedLoad(values[p]);
        if (IsSignedKnob(p)) v += kSignedKnobBias;
        RelaxedStore(g_soundBank[p][sound], static_cast<uint8_t>(v));
    }
    g_soundNames[sound] = name;
}

}  // namespace

void ResetSoundBank() {
    for (int p = 0; p < kSoundParams; ++p) {
        for (int s = 0; s < kSounds; ++s) RelaxedStore(g_soundBank[p][s], g_soundParamDefaults[p]);
    }
    for (std::string& name : g_soundNames) name = kUnusedSoundName;
    g_curSound = 1;
    LoadSoundToKnobs(1);
}

void LoadSoundToKnobs(uint32_t sound) {
    if (!ValidSound(sound)) return;
    for (int p = 0; p < kSoundParams; ++p) {
        int32_t v = RelaxedLoad(g_soundBank[p][sound]);
        if (IsSignedKnob(p)) v -= kSignedKnobBias;
        RelaxedStore(g_liveKnobs[p], v);
        g_knobUndo[p] = v;
    }
    g_curSoundName = g_soundNames[sound];
    g_curSoundNameUndo = g_soundNames[sound];
}

void StoreKnobsToSound(uint32_t sound) { StoreValuesToSound(g_liveKnobs, g_curSoundName, sound); }

void StoreUndoKnobsToSound(uint32_t sound) { StoreValuesToSound(g_knobUndo, g_curSoundNameUndo, sound); }
