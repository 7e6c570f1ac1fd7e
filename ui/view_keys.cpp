#include "ui/view_keys.h"

#include "platform/key_layer.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "ui/grid_edit_keys.h"
#include "ui/grid_keys.h"
#include "ui/order_keys.h"
#include "ui/pattern_cells.h"
#include "ui/piano_keys.h"

namespace {

// The key state halved: the toggle bit alone (bit 0) gives 0.
void RefreshModifierKeys() {
    g_ctrlDown = static_cast<int16_t>(GetKeyState(VK_CONTROL) / 2);
    g_shiftDown = static_cast<int16_t>(GetKeyState(VK_SHIFT) / 2);
}

// Shift + 1 .. 8 mutes bus 0 .. 7, Shift + 9 the master: 1 mutes, 0 plays.
// The song file keeps the eight bus mutes, so toggling one marks the song; the
// master's mute is kept by no file and marks nothing.
void ToggleMute(UINT vk, KeyView& view) {
    const bool master = vk == '9';
    Relaxed<uint32_t>& word = master ? g_volumeOverrides.master : g_volumeOverrides.bus[vk - '1'];
    word = word != 0 ? 0u : 1u;
    if (!master) MarkDocument(view);
    view.UpdatePanel();
}

}  // namespace

void MarkDocument(KeyView& view) { view.SetModifiedFlag(g_saveChanges != 0); }

uint32_t TracksInUse() {
    const uint32_t tracks = g_tracksInUse;
    return tracks >= 1 && tracks <= uint32_t(kVoices) ? tracks : uint32_t(kVoices);
}

void StepDown() {
    if (g_editStep + 1 < g_patternLength) g_editStep += 1;
}

bool PatternWritable() { return g_previewOnly == 0 && EditedPatternData() != nullptr; }

bool ViewKeyDown(UINT vk, KeyView& view) {
    RefreshModifierKeys();
    if (vk >= '1' && vk <= '9' && g_shiftDown != 0) {
        ToggleMute(vk, view);
        return false;
    }
    if (g_patternFocus == 0) {
        OrderListKey(vk, view);
        return true;
    }
    if (!GridNavigationKey(vk, view))
        if (GridEditKey(vk, view) == EditKey::kFinished) return false;
    if (CharacterEntry(vk, view)) return true;
    if (g_cursorColumn % 7 == 6) PianoKeyDown(vk, view);
    return true;
}

void ViewKeyUp(UINT vk) {
    RefreshModifierKeys();
    PianoKeyUp(vk);
}
