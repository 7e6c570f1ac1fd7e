#include "ui/active_value.h"

#include "shared/mixer.h"
#include "shared/relaxed.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

namespace {

int32_t* LiveKnob(const void* target) {
    for (auto& knob : g_liveKnobs)
        if (&knob == target) return &knob;
    return nullptr;
}

Relaxed<int32_t>* MixerField(const void* target) {
    auto match = [target](Relaxed<int32_t>* row, int n) -> Relaxed<int32_t>* {
        for (int i = 0; i < n; ++i)
            if (&row[i] == target) return &row[i];
        return nullptr;
    };
    Relaxed<int32_t>* rows[] = {g_mixerSettings.volume, g_mixerSettings.pan, g_mixerSettings.send1,
                                g_mixerSettings.send2};
    for (auto* row : rows)
        if (auto* field = match(row, kBuses)) return field;
    return match(&g_mixerSettings.master, 1);
}

// The mixer's on/off words: the mutes, song mode and the pattern cue.
Relaxed<uint32_t>* MixerSwitch(const void* target) {
    if (target == &g_volumeOverrides.master) return &g_volumeOverrides.master;
    if (target == &g_songMode) return &g_songMode;
    if (target == &g_patternCue) return &g_patternCue;
    for (auto& bus : g_volumeOverrides.bus)
        if (&bus == target) return &bus;
    return nullptr;
}

}  // namespace

bool ActiveValueIsCurrentSound(const void* target) { return target == &g_curSound; }

int32_t ReadActiveValue(const void* target) {
    if (target == nullptr) return 0;
    if (target == &g_curSound) return int32_t(g_curSound.load());
    if (target == &g_tempoDisplay) return int32_t(g_tempoDisplay.load());
    if (int32_t* knob = LiveKnob(target)) return RelaxedLoad(*knob);
    if (Relaxed<int32_t>* field = MixerField(target)) return field->load();
    if (Relaxed<uint32_t>* on = MixerSwitch(target)) return int32_t(on->load());
    return 0;
}

void WriteActiveValue(void* target, int32_t value) {
    if (target == nullptr) return;
    if (target == &g_curSound) g_curSound = uint32_t(value);
    else if (target == &g_tempoDisplay) g_tempoDisplay = uint32_t(value);
    else if (int32_t* knob = LiveKnob(target)) RelaxedStore(*knob, value);
    else if (Relaxed<int32_t>* field = MixerField(target)) field->store(value);
    else if (Relaxed<uint32_t>* on = MixerSwitch(target)) on->store(uint32_t(value));
}
