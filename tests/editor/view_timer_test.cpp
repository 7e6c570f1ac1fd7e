#include "ui/view_timer.h"

#include <string>
#include <vector>

#include "data/song_export.h"
#include "host/synth_app.h"
#include "shared/app_settings.h"
#include "shared/master_state.h"
#include "shared/mixer.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/active_value.h"
#include "ui/panel_state.h"

namespace {

// A view that records what the tick asked of it, with a snapshot of the words
// the earlier steps should already have changed.
class TraceView final : public ViewTimerTarget {
public:
    void ShowPatternGrid() override { Note("grid"); }
    void ShowSongOrderList() override { Note("order"); }
    void UpdatePanel() override { Note("panel"); }
    void UpdateTopBar() override { Note("topbar"); }
    void SetDocumentModified(bool modified) override {
        Note(modified ? "modified on" : "modified off");
    }
    void Note(const std::string& what) {
        calls.push_back(what);
        midiAtCall.push_back(g_midiActivity);
        meterAtCall.push_back(g_meterLevels[3]);
    }
    int Count(const std::string& what) const {
        int n = 0;
        for (const auto& c : calls) n += c == what;
        return n;
    }
    std::vector<std::string> calls;
    std::vector<int32_t> midiAtCall, meterAtCall;
};

class ViewTimerTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        closes = 0;
        GetAppServices().closeAudioDevice = [this] {
            ++closes;
            closeSawStopRequest = g_engineReset == kResetStop && g_songPlaying == 0 && g_trackPlaying[31] == 0;
        };
        for (auto& level : g_meterLevels) level = 0;
        g_midiActivity = 0;
        g_midiOutActivity = 0;
        g_repeatActive = 0;
        g_activeValuePtr = nullptr;
        g_exportActive = 0;
        g_releaseDevicePending = 0;
        g_docModified = 0;
        g_saveChanges = 1;
        g_songPlaying = 0;
        for (auto& row : g_trackRow) row = 0;
        for (auto& pos : g_trackSongPos) pos = 0;
        g_lastShownRow = 0;
        g_lastShownSongPos = 0;
        g_lastShownPlaying = 0;
        g_captureCloseCountdown = 0;
    }
    void TearDown() override {
        ResetAppServices();
        g_releaseDevicePending = 0;
        g_engineReset = 0;
        g_repeatActive = 0;
        g_activeValuePtr = nullptr;
        g_exportActive = 0;
        for (auto& level : g_meterLevels) level = 0;
        EditorTest::TearDown();
    }
    TraceView Tick() {
        TraceView view;
        ViewTimerTick(view);
        return view;
    }

    int closes = 0;
    bool closeSawStopRequest = false;
};

TEST_F(ViewTimerTest, StepsRunInOrder) {
    g_docModified = 1;
    g_midiActivity = 3;
    g_meterLevels[3] = 9;
    g_trackRow[0] = 5;
    g_trackSongPos[0] = 2;
    g_songPlaying = 1;
    const TraceView view = Tick();
    const std::vector<std::string> expected = {"modified on", "grid", "order", "grid", "order", "panel", "topbar"};
    EXPECT_EQ(view.calls, expected);
    // The lamps fell before the repaints; the meters fall after the top bar.
    for (size_t i = 1; i < view.calls.size(); ++i) {
        EXPECT_EQ(view.midiAtCall[i], 2) << view.calls[i];
        EXPECT_EQ(view.meterAtCall[i], 9) << view.calls[i];
    }
    EXPECT_EQ(view.midiAtCall[0], 3);  // the modified flag comes before the lamps
    EXPECT_EQ(g_meterLevels[3], 8);
    EXPECT_EQ(g_lastShownRow, 5);
    EXPECT_EQ(g_lastShownSongPos, 2u);
    EXPECT_EQ(g_lastShownPlaying, 1u);
}

TEST_F(ViewTimerTest, RepaintsOnlyWhatChanged) {
    g_trackRow[0] = 7;
    g_trackRow[31] = 9;  // another track's row is not the play position shown
    EXPECT_EQ(Tick().calls, (std::vector<std::string>{"grid", "panel", "topbar"}));
    // A quiet tick repaints neither display.
    const TraceView quiet = Tick();
    EXPECT_EQ(quiet.Count("grid") + quiet.Count("order"), 0);
    g_trackSongPos[0] = 1;
    EXPECT_EQ(Tick().calls, (std::vector<std::string>{"order", "panel", "topbar"}));
    g_lastShownRow = -10;
    EXPECT_EQ(Tick().Count("grid"), 1);
    EXPECT_EQ(g_lastShownRow, 7);
}

TEST_F(ViewTimerTest, DeviceReleasedOnceTheFadeIsQuiet) {
    const struct {
        const char* name;
        uint32_t gain;
        bool released;
    } cases[] = {
        {"just below the threshold", kQuietMasterGain - 1, true},
        {"at the threshold", kQuietMasterGain, false},
        {"negative gain word counts as loud", 0x80000000u, false},
        {"silent", 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        closes = 0;
        closeSawStopRequest = false;
        g_releaseDevicePending = 1;
        g_engineReset = 0;
        g_songPlaying = 1;
        for (auto& playing : g_trackPlaying) playing = 1;
        RelaxedStore(g_masterState.masterVolume, int32_t(c.gain));
        Tick();
        EXPECT_EQ(closes, c.released ? 1 : 0);
        EXPECT_EQ(g_releaseDevicePending, c.released ? 0 : 1);
        if (c.released) EXPECT_TRUE(closeSawStopRequest);
        else EXPECT_EQ(g_engineReset, 0);
    }
    for (auto& playing : g_trackPlaying) playing = 0;
    g_songPlaying = 0;
}

TEST_F(ViewTimerTest, ModifiedFlagFollowsSaveChanges) {
    g_saveChanges = 0;
    g_docModified = 1;
    EXPECT_EQ(Tick().Count("modified off"), 1);
    EXPECT_EQ(g_docModified, 0);
    EXPECT_EQ(Tick().Count("modified off"), 0);
    g_saveChanges = 1;
    g_docModified = 1;
    EXPECT_EQ(Tick().Count("modified on"), 1);
}

TEST_F(ViewTimerTest, HeldSoundButtonRepeatsAndLoadsEachSound) {
    for (uint32_t s = 1; s < kSounds; ++s) g_soundNames[s] = "Sound " + std::to_string(s);
    const struct {
        const char* name;
        uint32_t start;
        int32_t direction, min, max;
        std::vector<uint32_t> sounds;  // after each tick from the press on
    } cases[] = {
        {"up: first repeat on the 7th tick, then every tick, stops at 99", 96, 1, 1, 99,
         {96, 96, 96, 96, 96, 96, 97, 98, 99, 99, 99}},
        {"down stops at 1", 3, 2, 1, 99, {3, 3, 3, 3, 3, 3, 2, 1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_curSound = c.start;
        g_curSoundName = "";
        g_activeValuePtr = static_cast<void*>(&g_curSound);
        g_repeatActive = 1;
        g_repeatDelay = 6;
        g_repeatDirection = c.direction;
        g_repeatMin = c.min;
        g_repeatMax = c.max;
        for (size_t t = 0; t < c.sounds.size(); ++t) {
            Tick();
            EXPECT_EQ(g_curSound, c.sounds[t]) << "tick " << t + 1;
            if (t >= 6) {
                EXPECT_EQ(g_activeValue, int32_t(c.sounds[t]));
                // Each step loads the sound, also at the bound.
                EXPECT_EQ(g_curSoundName, "Sound " + std::to_string(c.sounds[t]));
            } else {
                EXPECT_EQ(g_curSoundName, "");
            }
        }
    }
}

TEST_F(ViewTimerTest, HeldButtonsReachEveryKindOfValue) {
    g_repeatActive = 1;
    g_repeatDirection = 1;
    g_repeatMin = 1;
    g_repeatMax = 400;
    g_repeatDelay = 0;
    g_tempoDisplay = 120;
    g_activeValuePtr = static_cast<void*>(&g_tempoDisplay);
    Tick();
    EXPECT_EQ(g_tempoDisplay, 121u);
    g_repeatMax = 8;
    RelaxedStore(g_liveKnobs[kParamChannel], 7);
    g_activeValuePtr = static_cast<void*>(&g_liveKnobs[kParamChannel]);
    Tick();
    Tick();
    EXPECT_EQ(g_liveKnobs[kParamChannel], 8);
    g_mixerSettings.send2[6] = 5;
    g_repeatDirection = 2;
    g_activeValuePtr = static_cast<void*>(&g_mixerSettings.send2[6]);
    Tick();
    EXPECT_EQ(g_mixerSettings.send2[6], 4);
    EXPECT_EQ(ReadActiveValue(&g_mixerSettings.master), g_mixerSettings.master);
    int32_t stray = 3;
    EXPECT_EQ(ReadActiveValue(&stray), 0);
}

TEST_F(ViewTimerTest, MetersHeldDuringAnExportThenFall) {
    for (auto& level : g_meterLevels) level = 4;
    g_exportActive = 1;
    Tick();
    for (auto& level : g_meterLevels) EXPECT_EQ(level, 0);
    for (auto& level : g_meterLevels) level = 3;  // raised by the export's render
    Tick();
    for (auto& level : g_meterLevels) EXPECT_EQ(level, 0);
    g_exportActive = 0;
    for (auto& level : g_meterLevels) level = 2;
    Tick();
    for (auto& level : g_meterLevels) EXPECT_EQ(level, 1);
    Tick();
    Tick();
    for (auto& level : g_meterLevels) EXPECT_EQ(level, 0);
}

TEST_F(ViewTimerTest, MidiLampsGoOutAfterTheirTicks) {
    g_midiActivity = 5;
    g_midiOutActivity = 6;
    for (int t = 1; t <= 6; ++t) {
        Tick();
        EXPECT_EQ(g_midiActivity != 0, t < 5) << "tick " << t;
        EXPECT_EQ(g_midiOutActivity != 0, t < 6) << "tick " << t;
    }
}

}  // namespace
