#include "data/value_limits.h"

#include <algorithm>

#include "shared/constants.h"
#include "shared/sound_bank.h"

int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) { return std::clamp(v, lo, hi); }

bool IsPatternLength(uint32_t rows) {
    switch (rows) {
        case 16:
        case 24:
        case 32:
        case 48:
        case 64:
        case 96:
        case 128: return true;
        default: return false;
    }
}

uint8_t ClampSoundParam(int p, uint8_t v) {
    const auto clamp = [v](uint8_t lo, uint8_t hi) { return std::clamp(v, lo, hi); };
    switch (p) {
        case kParamOsc1Wave:
        case kParamOsc2Wave:
        case kParamOsc3Wave: return clamp(1, 6);
        case kParamOsc1KeyTrack:
        case kParamOsc2On:
        case kParamOsc2KeyTrack:
        case kParamOscSync:
        case kParamRingMod:
        case kParamOsc3On:
        case kParamOsc3KeyTrack:
        case kParamFilterOn:
        case kParamFilterKeyTrack:
        case kParamLfoOn:
        case kParamUserEnvOn:
        case kParamLegato: return clamp(0, 1);
        case kParamFilterType: return clamp(0, 5);
        case kParamLfoDestination:
        case kParamLfoShape: return clamp(0, 4);
        case kParamUserEnvDestination: return clamp(0, 6);
        case kParamChannel: return clamp(1, kBuses);
        case kParamOsc1Sample:
        case kParamOsc2Sample:
        case kParamOsc3Sample: return v;
        case kParamOsc1SplitSet:
        case kParamOsc2SplitSet:
        case kParamOsc3SplitSet: return v > kSplitSets ? 0 : v;
        default: return clamp(0, 80);  // knobs
    }
}

namespace {

struct SliderRange {
    int32_t lo, hi;
};
struct EffectKind {
    SliderRange slider[3];
};

constexpr EffectKind kOff = {{{0, 0}, {0, 0}, {0, 0}}};
constexpr EffectKind kDelay = {{{1, 16}, {0, 90}, {0, 0}}};
constexpr EffectKind kPhaser = {{{10, 180}, {0, 140}, {0, 90}}};
constexpr EffectKind kFlanger = {{{10, 100}, {0, 140}, {0, 90}}};
constexpr EffectKind kChorus = {{{10, 40}, {10, 100}, {1, 100}}};
constexpr EffectKind kReverbRoom = {{{10, 92}, {0, 256}, {0, 0}}};
constexpr EffectKind kReverbHallPlate = {{{5, 92}, {0, 256}, {0, 0}}};

// Kind of each type of each unit; unit 1 has 12 types, units 2 and 3 have 8.
const EffectKind* const kUnit1Kinds[12] = {&kOff,    &kDelay,   &kDelay,   &kDelay,  &kDelay,  &kPhaser,
                                           &kPhaser, &kFlanger, &kFlanger, &kChorus, &kChorus, &kChorus};
const EffectKind* const kUnit2Kinds[8] = {&kOff, &kDelay, &kDelay, &kDelay, &kDelay, &kPhaser, &kFlanger, &kChorus};
const EffectKind* const kUnit3Kinds[8] = {&kOff,   &kDelay,      &kDelay,           &kDelay,
                                          &kDelay, &kReverbRoom, &kReverbHallPlate, &kReverbHallPlate};

}  // namespace

void ClampEffectWords(int32_t words[14]) {
    const EffectKind* const* kinds[3] = {kUnit1Kinds, kUnit2Kinds, kUnit3Kinds};
    const int32_t maxType[3] = {11, 7, 7};
    for (int unit = 0; unit < 3; ++unit) {
        int32_t& type = words[unit];
        type = std::clamp(type, 0, maxType[unit]);
        const EffectKind& kind = *kinds[unit][type];
        for (int s = 0; s < 3; ++s) {
            int32_t& slider = words[5 + 3 * unit + s];
            slider = std::clamp(slider, kind.slider[s].lo, kind.slider[s].hi);
        }
    }
    words[3] = std::clamp(words[3], 0, 1);
    words[4] = std::clamp(words[4], 0, kMaxSendLevel);
}
