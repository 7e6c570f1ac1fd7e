#include "data/song_reset.h"

#include <algorithm>
#include <cstdint>

#include "data/pattern_store.h"
#include "data/sample_store.h"
#include "data/song_memory.h"
#include "data/ui_hooks.h"
#include "shared/automation.h"
#include "shared/channel_map.h"
#include "shared/editor.h"
#include "shared/mixer.h"
#include "shared/relaxed.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/song_info.h"

namespace {

inline constexpr int32_t kNewSongVolume = 40;
inline constexpr int32_t kMaxChannelOneVoices = 8;

template <typename T, size_t N>
void RelaxedFill(T (&array)[N], T value) {
    for (T& element : array) RelaxedStore(element, value);
}

// Voices of the polyphony setting; a setting out of range counts as the largest.
int32_t PolyphonyVoices() {
    const uint32_t setting = g_polyphony;
    return setting < 6 ? g_polyphonyVoices[setting] : g_polyphonyVoices[5];
}

}  // namespace

void ResetSong() {
    // 1, 2: pattern and sample memory.
    ReleaseAllPatterns();
    ReleaseAllSamples();

    // 3: key splits.
    RelaxedFill(g_splitSample, static_cast<int32_t>(kNoSample));
    RelaxedFill(g_splitTranspose, int32_t{0});

    // 4: order list: pattern 0 at position 0, then a jump back to position 0.
    RelaxedFill(g_songOrder, uint8_t{0});
    RelaxedFill(g_songOrderJump, uint8_t{0});
    RelaxedStore(g_songOrder[1], kOrderJump);

    // 5: mixer.
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.volume[b] = 0;
        g_mixerSettings.pan[b] = 0;
        g_mixerSettings.send1[b] = 0;
        g_mixerSettings.send2[b] = 0;
    }
    g_mixerSettings.volume[0] = kNewSongVolume;
    g_mixerSettings.master = kNewSongVolume;

    // 6: song information.
    g_songTitle = "Untitled";
    g_songAuthor = "N/A";
    g_songComment.assign(kSongCommentChars, '\0');
    g_songComment = "N/A";
    g_showInfoOnOpen = 0;

    // 7: no bus muted.
    for (int b = 0; b < kBuses; ++b) g_volumeOverrides.bus[b] = 0;
    g_volumeOverrides.master = 0;

    // 8.
    g_doubleStepsPerBeat = 0;
    g_previewOnly = 0;
    g_songHeaderWords[0] = 0;
    g_songHeaderWords[1] = 0;

    // 9: editor cursor and selection.
    g_editStep = 0;
    g_cursorColumn = 0;
    g_firstTrack = 0;
    g_orderColumn = 0;
    g_orderCursor = 0;
    g_orderTop = 0;
    g_selFirstPart = 0;
    g_selLastPart = 0;
    g_selFirstStep = 0;
    g_selLastStep = 0;
    g_selPattern = 0;
    g_patternUndoCount = 0;  // its snapshots belong to the song thrown away

    // 10: automation.
    if (g_automationOn != 0) {
        g_automationOn = 0;
        Ui().DestroyAutomationPanel();
    }
    for (int k = 0; k < kAutomationKnobs; ++k) {
        g_knobEnabled[k] = 0;
        g_knobSound[k] = 0;
        g_knobParam[k] = 0;
        RelaxedFill(g_tweakLaneData[k], uint8_t{0});
    }

    // 11: MIDI channel map.
    for (int c = 0; c < kMidiChannels; ++c) {
        g_channelSound[c] = 0;
        g_channelPolyphony[c] = 0;
    }
    g_channelPolyphony[0] = std::min(PolyphonyVoices(), kMaxChannelOneVoices);

    ReleaseRetiredBlocks();
}
