// Key scripts without a display: key codes go into the view's key routines
// with the Shift and Ctrl states a test chooses; out come the pattern bytes,
// the cursor, the selection, the undo count, the document marks, the redraws
// and the preview notes queued.
#pragma once

#include <string>
#include <vector>

#include "engine/event_queue.h"
#include "host/synth_app.h"
#include "platform/key_layer.h"
#include "shared/app_settings.h"
#include "shared/events.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/grid_keys.h"
#include "ui/piano_keys.h"
#include "ui/view_globals.h"
#include "ui/view_keys.h"

// The view as the key routines see it, with every call counted.
class RecordingKeyView : public KeyView {
public:
    void ShowPatternGrid() override { ++gridShows; }
    void ShowSongOrderList() override { ++listShows; }
    void UpdatePanel() override { ++panelUpdates; }
    void UpdateTopBar() override { ++topBarUpdates; }
    void SetModifiedFlag(bool modified) override { marks.push_back(modified); }
    void RunSelectCommandDialog() override {
        ++dialogRuns;
        if (dialog) dialog();
    }
    int gridShows = 0, listShows = 0, panelUpdates = 0, topBarUpdates = 0, dialogRuns = 0;
    std::vector<bool> marks;
    std::function<void()> dialog;  // what the user does in the dialog
};

// A preview note-on found in the event queues.
struct QueuedNote {
    uint32_t lane, key, sound;
    bool operator==(const QueuedNote&) const = default;
};

enum KeyMods { kNoMods = 0, kShift = 1, kCtrl = 2 };

class KeyTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        SetKeyStateOverride([this](UINT vk) -> short {
            if (vk == VK_SHIFT && (mods & kShift)) return short(-32768);
            if (vk == VK_CONTROL && (mods & kCtrl)) return short(-32768);
            return 0;
        });
        g_patternFocus = 1;
        g_trackerStyle = 0;
        g_langId = 0x09;
        g_octave = 4;
        g_previewNote = 1;
        g_freeAudioDevWhenStopped = 0;
        g_saveChanges = 1;
        g_followSong = 0;
        g_songPlaying = 0;
        g_engineReset = 0;
        g_curSound = 1;
        g_setInstruments = 0;
        g_cursorRow = 7;
        g_tracksInUse = 32;
        g_patternUndoCount = 0;
        g_selExtending = 0;
        g_selPattern = g_selFirstPart = g_selLastPart = g_selFirstStep = g_selLastStep = 0;
        g_orderColumn = 0;
        for (auto& b : g_volumeOverrides.bus) b = 0;
        g_volumeOverrides.master = 0;
        QueueNoteOff();
        ClearEventQueues();
        BuildNoteKeyMap();
        Pattern(0);
        view = RecordingKeyView{};
        notes.clear();
        noteOffs = 0;
        mods = kNoMods;
    }
    void TearDown() override {
        SetKeyStateOverride(nullptr);
        QueueNoteOff();
        ClearEventQueues();
        g_octave = 4;
        g_trackerStyle = 0;
        g_langId = 0x09;
        g_tracksInUse = 32;
        BuildNoteKeyMap();
        EditorTest::TearDown();
    }

    // One key-down with the given modifiers held; true when the default
    // handling follows.
    bool Press(UINT vk, int held = kNoMods) {
        mods = held;
        const bool def = ViewKeyDown(vk, view);
        CollectNotes();
        return def;
    }
    void Release(UINT vk, int held = kNoMods) {
        mods = held;
        ViewKeyUp(vk);
        CollectNotes();
    }
    void PressAll(const std::vector<UINT>& keys, int held = kNoMods) {
        for (UINT k : keys) Press(k, held);
    }
    // Note-ons and note-offs queued since the last key, moved into notes/offs.
    void CollectNotes() {
        for (uint32_t lane = 0; lane < uint32_t(kVoices); ++lane)
            for (uint32_t p = 0; p < uint32_t(kPeriodPositions); ++p) {
                const uint8_t code = g_voiceEvents.code[lane][p];
                if (code == 1) notes.push_back({lane, g_voiceEvents.key[lane][p], g_voiceEvents.sound[lane][p]});
                if (code == 2) ++noteOffs;
            }
        ClearEventQueues();
    }
    static uint8_t Note(uint32_t track, uint32_t row) { return Cell(0, track, 3, row); }
    static uint32_t Track() { return g_firstTrack + g_cursorColumn / 7; }

    int mods = kNoMods;
    RecordingKeyView view;
    std::vector<QueuedNote> notes;
    int noteOffs = 0;
};
