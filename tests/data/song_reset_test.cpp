// The song reset: every value of a new song, what it leaves alone, and the
// memory it gives back.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/data/data_fixture.h"
#include "shared/automation.h"
#include "shared/channel_map.h"
#include "shared/editor.h"
#include "shared/mixer.h"
#include "shared/song_info.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

namespace {

class SongResetTest : public DataTest {};

template <typename T, size_t N>
int CountNot(const T (&array)[N], int64_t value) {
    int n = 0;
    for (const T& e : array) n += static_cast<int64_t>(e) != value;
    return n;
}

template <typename P, size_t N>
int CountSet(const Relaxed<P*> (&pointers)[N]) {
    int n = 0;
    for (const Relaxed<P*>& e : pointers) n += e.load() != nullptr;
    return n;
}

// Every value the reset sets, set to something else.
void ScribbleOverSong() {
    for (int i = 0; i < kSplitSets * kSplitKeys; ++i) {
        g_splitSample[i] = i % 7;
        g_splitTranspose[i] = -3;
    }
    for (int i = 0; i < kOrderPositions; ++i) {
        g_songOrder[i] = 5;
        g_songOrderJump[i] = 0x80;
    }
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.volume[b] = 30 + b;
        g_mixerSettings.pan[b] = -5;
        g_mixerSettings.send1[b] = 7;
        g_mixerSettings.send2[b] = 9;
        g_volumeOverrides.bus[b] = 1;
    }
    g_mixerSettings.master = 12;
    g_volumeOverrides.master = 1;
    g_songTitle = "Title";
    g_songAuthor = "Author";
    g_songComment = std::string(600, 'c');
    g_showInfoOnOpen = 1;
    g_doubleStepsPerBeat = 1;
    g_previewOnly = 1;
    g_songHeaderWords[0] = 0x1234;
    g_songHeaderWords[1] = 0x5678;
    g_editStep = 3;
    g_cursorColumn = 4;
    g_firstTrack = 5;
    g_orderColumn = 1;
    g_orderCursor = 6;
    g_orderTop = 7;
    g_selFirstPart = 1;
    g_selLastPart = 2;
    g_selFirstStep = 3;
    g_selLastStep = 4;
    g_selPattern = 5;
    g_automationOn = 1;
    for (int k = 0; k < kAutomationKnobs; ++k) {
        g_knobEnabled[k] = 1;
        g_knobSound[k] = 9;
        g_knobParam[k] = 30;
        for (int i = 0; i < kLaneBytes; i += 97) g_tweakLaneData[k][i] = 80;
        g_tweakLaneData[k][kLaneBytes - 1] = 1;
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        g_channelSound[c] = 3;
        g_channelPolyphony[c] = 2;
    }
}

struct Expected {
    const char* what;
    std::function<int64_t()> actual;
    int64_t value;
};

// A new song, value by value.
std::vector<Expected> NewSongValues() {
    std::vector<Expected> rows = {
        {"pattern count", [] { return g_patternCount.load(); }, 0},
        {"sample count", [] { return g_sampleCount.load(); }, 0},
        {"pattern pointers set", [] { return CountSet(g_patterns); }, 0},
        {"sample pointers set", [] { return CountSet(g_sampleData); }, 0},
        {"split samples not 255", [] { return CountNot(g_splitSample, 255); }, 0},
        {"split transposes not 0", [] { return CountNot(g_splitTranspose, 0); }, 0},
        {"order position 0", [] { return g_songOrder[0]; }, 0},
        {"order position 1", [] { return g_songOrder[1]; }, 254},
        {"order positions not 0", [] { return CountNot(g_songOrder, 0); }, 1},
        {"order jump bytes not 0", [] { return CountNot(g_songOrderJump, 0); }, 0},
        {"bus 1 volume", [] { return g_mixerSettings.volume[0].load(); }, 40},
        {"master volume", [] { return g_mixerSettings.master.load(); }, 40},
        {"bus volumes not 0", [] { return CountNot(g_mixerSettings.volume, 0); }, 1},
        {"pans not 0", [] { return CountNot(g_mixerSettings.pan, 0); }, 0},
        {"first sends not 0", [] { return CountNot(g_mixerSettings.send1, 0); }, 0},
        {"second sends not 0", [] { return CountNot(g_mixerSettings.send2, 0); }, 0},
        {"title is Untitled", [] { return g_songTitle == "Untitled"; }, 1},
        {"author is N/A", [] { return g_songAuthor == "N/A"; }, 1},
        {"comment is N/A", [] { return g_songComment == "N/A"; }, 1},
        {"show info on open", [] { return g_showInfoOnOpen; }, 0},
        {"bus overrides not 0", [] { return CountNot(g_volumeOverrides.bus, 0); }, 0},
        {"master override", [] { return g_volumeOverrides.master.load(); }, 0},
        {"double steps per beat", [] { return g_doubleStepsPerBeat.load(); }, 0},
        {"preview only", [] { return g_previewOnly.load(); }, 0},
        {"header words not 0", [] { return CountNot(g_songHeaderWords, 0); }, 0},
        {"edit step", [] { return g_editStep.load(); }, 0},
        {"cursor column", [] { return g_cursorColumn.load(); }, 0},
        {"first track", [] { return g_firstTrack.load(); }, 0},
        {"order column", [] { return g_orderColumn.load(); }, 0},
        {"order cursor", [] { return g_orderCursor.load(); }, 0},
        {"order top", [] { return g_orderTop.load(); }, 0},
        {"selection first part", [] { return g_selFirstPart.load(); }, 0},
        {"selection last part", [] { return g_selLastPart.load(); }, 0},
        {"selection first step", [] { return g_selFirstStep.load(); }, 0},
        {"selection last step", [] { return g_selLastStep.load(); }, 0},
        {"selection pattern", [] { return g_selPattern.load(); }, 0},
        {"automation on", [] { return g_automationOn.load(); }, 0},
        {"knobs enabled", [] { return CountNot(g_knobEnabled, 0); }, 0},
        {"knob sounds", [] { return CountNot(g_knobSound, 0); }, 0},
        {"knob targets", [] { return CountNot(g_knobParam, 0); }, 0},
        {"channel sounds not 0", [] { return CountNot(g_channelSound, 0); }, 0},
        {"channel 1 voices (32-voice setting)", [] { return g_channelPolyphony[0].load(); }, 8},
        {"other channels' voices not 0", [] { return CountNot(g_channelPolyphony, 0); }, 1},
        {"retired blocks left", [] { return static_cast<int64_t>(RetiredBlockCount()); }, 0},
    };
    for (int k = 0; k < kAutomationKnobs; ++k) {
        rows.push_back({"lane bytes not 0", [k] { return CountNot(g_tweakLaneData[k], 0); }, 0});
    }
    return rows;
}

void ExpectNewSong(const std::string& from) {
    for (const Expected& row : NewSongValues()) EXPECT_EQ(row.actual(), row.value) << row.what << " (" << from << ")";
}

TEST_F(SongResetTest, LeavesEveryValueOfANewSong) {
    // A full song: patterns, samples and every value changed.
    SongBuilder().Patterns(3).Samples(4, 100);
    ScribbleOverSong();
    ResetSong();
    ExpectNewSong("full song");
    EXPECT_EQ(ui.automationPanelCloses, 1);
    EXPECT_TRUE(boxes.empty());

    // Again with nothing allocated and automation off: the panel is left alone.
    ScribbleOverSong();
    g_automationOn = 0;
    ResetSong();
    ExpectNewSong("empty song");
    EXPECT_EQ(ui.automationPanelCloses, 1);
}

TEST_F(SongResetTest, ChannelOneGetsThePolyphonyVoicesUpToEight) {
    struct Case {
        uint32_t polyphony;
        int32_t voices;
    };
    for (const Case& c : {Case{0, 1}, Case{1, 4}, Case{2, 8}, Case{3, 8}, Case{4, 8}, Case{5, 8}, Case{77, 8}}) {
        g_polyphony = c.polyphony;
        ResetSong();
        EXPECT_EQ(g_channelPolyphony[0], c.voices) << "polyphony setting " << c.polyphony;
    }
}

TEST_F(SongResetTest, LeavesTimingSoundsTransportAndSampleRecordsAlone) {
    SongBuilder().Sample(300, 120, "kick.wav");
    g_tempo = 133;
    g_tempoDisplay = 134;
    g_patternLength = 96;
    g_stepsPerBeat = 6;
    g_effectSettings.fxType[1] = 5;
    g_songMode = 0;
    g_patternCue = 1;
    g_soundBank[kParamFilterCutoff][9] = 17;
    g_soundNames[9] = "BASS";
    g_engineReset = kResetStop;
    g_trackPlaying[4] = 1;

    ResetSong();

    EXPECT_EQ(g_tempo, 133u);
    EXPECT_EQ(g_tempoDisplay, 134u);
    EXPECT_EQ(g_patternLength, 96u);
    EXPECT_EQ(g_stepsPerBeat, 6u);
    EXPECT_EQ(g_effectSettings.fxType[1], 5);
    EXPECT_EQ(g_songMode, 0u);
    EXPECT_EQ(g_patternCue, 1u);
    EXPECT_EQ(g_soundBank[kParamFilterCutoff][9], 17);
    EXPECT_EQ(g_soundNames[9], "BASS");
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(g_trackPlaying[4], 1u);
    // The sample's records stay behind its freed memory.
    EXPECT_EQ(g_sampleData[0].load(), nullptr);
    EXPECT_EQ(g_sampleName[0], "kick.wav");
    EXPECT_EQ(g_sampleLength[0], 300u);
    EXPECT_EQ(g_sampleLoopPoint[0], 120u);
    EXPECT_EQ(g_sampleRootKey[0], 48u);

    g_engineReset = 0;
    g_trackPlaying[4] = 0;
    g_patternCue = 0;
    g_songMode = 1;
    g_effectSettings.fxType[1] = 0;
}

TEST_F(SongResetTest, MemoryTheEngineMayReadIsFreedOnlyOnceItWasSeenOutside) {
    SongBuilder().Patterns(2).Sample(1000, 1000, "a.wav", 7);
    const uint8_t* pattern = g_patterns[1];
    const int16_t* frames = g_sampleData[0];

    MarkRenderEntry();  // a render call is running and may hold both pointers
    ResetSong();
    EXPECT_EQ(g_patterns[1].load(), nullptr);
    EXPECT_EQ(g_sampleData[0].load(), nullptr);
    EXPECT_EQ(RetiredBlockCount(), 3u);
    // Still readable (the sanitizer build would catch a read of freed memory).
    EXPECT_EQ(pattern[PatternIndex(31, 3, 63, 64)], kNoteEmpty);
    EXPECT_EQ(frames[999], 7);
    EXPECT_FALSE(ReleaseRetiredBlocks());
    EXPECT_EQ(RetiredBlockCount(), 3u);

    MarkRenderExit();
    EXPECT_TRUE(ReleaseRetiredBlocks());
    EXPECT_EQ(RetiredBlockCount(), 0u);
}

}  // namespace
