// Automation lanes: after every tick of a playing track, each of the ten knobs
// records the dragged value into its lane or plays its lane into the modulation
// bank.
#include <cstdint>

#include "engine/sequencing.h"
#include "shared/automation.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

void PlayAutomation(int t) {
    if (g_automationOn == 0) return;

    // Lane byte of this tick: position x 256 + row x 2 + half, where the half-row
    // tick follows the row advance (tickParity 0, row one higher).
    const int64_t x = static_cast<int64_t>(g_trackSongPos[t]) * kLaneBytesPerPosition +
                      static_cast<int64_t>(g_trackRow[t]) * 2 + RelaxedLoad(g_voiceState[t].tickParity) - 1;
    const uint32_t lanePos = x < 0 ? 0 : static_cast<uint32_t>(x);
    // The lanes cover song positions 0..198: a tick beyond them plays and records
    // nothing.
    if (x >= kLaneBytes) return;

    // The panel writes the value and the knob before it sets the flag.
    const bool dragging = g_dragKnob.dragging.load(std::memory_order_acquire) != 0;
    const uint32_t dragIndex = g_dragKnob.index;
    const uint8_t dragValue = static_cast<uint8_t>(g_dragKnob.value);
    for (uint32_t i = 0; i < static_cast<uint32_t>(kAutomationKnobs); ++i) {
        const uint32_t target = g_knobParam[i];
        const uint32_t sound = g_knobSound[i];
        // An assignment outside the bank is ignored.
        if (target >= static_cast<uint32_t>(kModTargets) || sound >= static_cast<uint32_t>(kSoundSlots)) continue;
        uint8_t& offset = g_modulationBank[target][sound];
        uint8_t& laneByte = g_tweakLaneData[i][lanePos];
        if (dragging && dragIndex == i) {
            RelaxedStore(laneByte, dragValue);
            RelaxedStore(offset, dragValue);
        } else if (g_knobEnabled[i] != 0) {
            RelaxedStore(offset, RelaxedLoad(laneByte));
        } else {
            RelaxedStore(offset, uint8_t{0});  // a knob whose lane is off removes its offset
        }
    }
}
