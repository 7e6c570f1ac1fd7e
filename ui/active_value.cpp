#include "ui/active_value.h"

#include "shared/mixer.h"
#include "shared/relaxed.h"
#include "shared/song.h"
#include "shared/sound_bank.h"

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

}  // namespace

bool ActiveValueIsCurrentSound(const void* target) { return target == &g_curSound; }

int32_t ReadActiveValue(const void* target) {
    if (target == nullptr) return 0;
    if (target == &g_curSound) return int32_t(g_curSound.load());
    if (target == &g_tempoDisplay) return int32_t(g_tempoDisplay.load());
    if (int32_t* knob = LiveKnob(target)) return RelaxedLoad(*knob);
    if (Relaxed<int32_t>* field = MixerField(target)) return field->load();
    return 0;
}

void WriteActiveValue(void* target, int32_t value) {
    if (target == nullptr) return;
    if (target == &g_curSound) g_curSound = uint32_t(value);
    else if (target == &g_tempoDisplay) g_tempoDisplay = uint32_t(value);
    else if (int32_t* knob = LiveKnob(target)) RelaxedStore(*knob, value);
    else if (Relaxed<int32_t>* field = MixerField(target)) field->store(value);
}
