#include "ui/view_timer.h"

#include "data/song_export.h"
#include "data/sound_bank_ops.h"
#include "host/audio_device.h"
#include "host/capture.h"
#include "host/synth_app.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/master_state.h"
#include "shared/mixer.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/active_value.h"
#include "ui/panel_state.h"

Relaxed<int32_t> g_lastShownRow{0};
Relaxed<uint32_t> g_lastShownSongPos{0};
Relaxed<uint32_t> g_lastShownPlaying{0};

namespace {

void ReleaseQuietDevice() {
    if (!g_releaseDevicePending) return;
    // The gain is compared unsigned: a negative word counts as loud.
    if (uint32_t(RelaxedLoad(g_masterState.masterVolume)) >= kQuietMasterGain) return;
    g_releaseDevicePending = 0;
    g_engineReset = kResetStop;
    for (auto& playing : g_trackPlaying) playing = 0;
    g_songPlaying = 0;
    const auto& close = GetAppServices().closeAudioDevice;
    if (close) close();
    else CloseAudioDevice();
}

void RepeatHeldButton() {
    if (!g_repeatActive) return;
    if (g_repeatDelay != 0) {
        g_repeatDelay -= 1;
        return;
    }
    void* target = g_activeValuePtr;
    if (target == nullptr) return;
    int32_t value = ReadActiveValue(target);
    if (g_repeatDirection == 1) {
        if (value < g_repeatMax) ++value;
    } else if (value > g_repeatMin) {
        --value;
    }
    // The panel tempo is saved with the song: a step that changed it marks.
    if (target == &g_tempoDisplay && value != ReadActiveValue(target)) g_docModified = 1;
    g_activeValue = value;
    WriteActiveValue(target, value);
    if (ActiveValueIsCurrentSound(target)) LoadSoundToKnobs(g_curSound);
}

void RepaintPlayPosition(ViewTimerTarget& view) {
    const auto row = int32_t(g_trackRow[0].load());
    if (g_lastShownRow != row) {
        view.ShowPatternGrid();
        g_lastShownRow = row;
    }
    const uint32_t pos = g_trackSongPos[0];
    if (g_lastShownSongPos != pos) {
        view.ShowSongOrderList();
        g_lastShownSongPos = pos;
    }
    const uint32_t playing = g_songPlaying;
    if (g_lastShownPlaying != playing) {
        view.ShowPatternGrid();
        view.ShowSongOrderList();
        g_lastShownPlaying = playing;
    }
}

}  // namespace

void ViewTimerTick(ViewTimerTarget& view) {
    CaptureTimerTick();
    ReleaseQuietDevice();
    if (g_docModified) {
        g_docModified = 0;
        view.SetDocumentModified(g_saveChanges != 0);
    }
    RepeatHeldButton();
    const bool exporting = g_exportActive != 0;
    if (exporting)
        for (auto& level : g_meterLevels) level = 0;
    if (g_midiActivity != 0) g_midiActivity -= 1;
    if (g_midiOutActivity != 0) g_midiOutActivity -= 1;
    RepaintPlayPosition(view);
    view.UpdatePanel();
    view.UpdateTopBar();
    if (!exporting)
        for (auto& level : g_meterLevels)
            if (level != 0) level -= 1;
}
