// Track sequencer: row timing from the tempo and the MIDI clock, the order-list
// walk with jumps and ends, pattern ends with loop and cue, transposes and the
// note byte. Voices stay without a sound unless a case needs one, so only the
// sequencer writes the fields checked.
#include "engine/sequencing.h"
#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

using namespace song_fixture;

namespace {

class SequencerTest : public EngineTest {
protected:
    // One row tick of track t decoding `row` of its current song position, by a
    // direct sequencer step.
    static void DecodeRow(int t, uint32_t row) {
        g_trackPlaying[t] = 1;
        g_trackRow[t] = row;
        g_voiceState[t].tickCountdown = 0;
        g_voiceState[t].tickParity = 0;
        StepTrack(t);
    }
};

struct TempoCase {
    uint32_t tempo;
    uint32_t steps;
    bool doubled;
    uint32_t framesPerRow;  // two ticks of R + 1 frames
    uint32_t maxCall;
};

TEST_F(SequencerTest, RowsFollowTheTempoToTheFrame) {
    const TempoCase cases[] = {
        {120, 4, false, 5510, 8192}, {120, 6, false, 3674, 4096}, {120, 12, false, 3674, 1000},
        {120, 4, true, 2756, 1},     {40, 4, false, 16530, 8192}, {40, 6, false, 11020, 3},
        {60, 4, true, 5510, 777},    {125, 4, false, 5290, 8192}, {140, 6, false, 3150, 64},
        {200, 4, true, 1654, 8192},  {400, 4, false, 1654, 5},    {400, 6, false, 1102, 8192},
        {400, 4, true, 828, 2},
    };
    for (const TempoCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "tempo " << c.tempo << " steps " << c.steps << " doubled " << c.doubled);
        ResetEngineGlobals();
        g_tempo = c.tempo;
        g_stepsPerBeat = c.steps;
        g_doubleStepsPerBeat = c.doubled ? 1 : 0;
        ASSERT_EQ(FramesPerRow(c.tempo, c.steps, c.doubled), c.framesPerRow);
        for (int r = 0; r < 4; ++r) {
            SetNote(0, 0, r, static_cast<uint8_t>(10 + r));
            SetNote(0, 31, r, static_cast<uint8_t>(10 + r));
        }
        RequestStart();
        RenderFrames(1);
        EXPECT_EQ(g_voiceState[0].pendingKey, 10) << "the first row plays in the first frame";
        for (int r = 1; r < 4; ++r) {
            RenderFrames(c.framesPerRow - 1, c.maxCall);
            EXPECT_EQ(g_voiceState[0].pendingKey, 10 + r - 1) << "row " << r << " one frame early";
            RenderFrames(1);
            EXPECT_EQ(g_voiceState[0].pendingKey, 10 + r) << "row " << r;
            EXPECT_EQ(g_voiceState[31].pendingKey, 10 + r) << "row " << r << ", track 31";
            EXPECT_EQ(g_trackRow[0], static_cast<uint32_t>(r + 1));
        }
    }
}

TEST_F(SequencerTest, TempoChangeTakesEffectAtTheNextReload) {
    SetNote(0, 0, 1, 11);
    RequestStart();
    RenderFrames(1);  // row 0; the countdown was reloaded for 120 BPM: 2754
    g_tempo = 60;     // reloads from now on: 5509
    RenderFrames(2755 + 5510 - 1);
    EXPECT_NE(g_voiceState[0].pendingKey, 11);
    RenderFrames(1);
    EXPECT_EQ(g_voiceState[0].pendingKey, 11);
}

TEST_F(SequencerTest, MidiClockPlaysOneRowPerStep) {
    g_midiSync = 1;
    g_songOrderJump[0] = 7;  // read at every row under MIDI sync, not only at row 0
    for (int r = 0; r < 8; ++r) SetNote(0, 0, r, static_cast<uint8_t>(30 + r));
    // A MIDI Start after a song position: the input has set the positions.
    for (int t = 0; t < kVoices; ++t) {
        g_trackSongPos[t] = 0;
        g_trackRow[t] = 2;
    }
    g_midiStartPending = 1;
    g_engineReset = kResetStart;
    Render(1);
    EXPECT_EQ(g_voiceState[0].pendingKey, 32 + 7) << "the start row plays in the first frame";
    EXPECT_EQ(g_midiStartPending, 0u);
    EXPECT_EQ(g_trackClockTicks[0], 0);

    Render(5000);
    EXPECT_EQ(g_trackRow[0], 3u) << "no clock, no row";

    // Clock steps queued at positions 10, 11 and 12 of the next period.
    for (int v = 0; v < kVoices; ++v)
        for (int p : {10, 11, 12}) g_voiceEvents.code[v][p] = kVoiceEventClock;
    Render(10, 0);
    EXPECT_EQ(g_voiceState[0].pendingKey, 32 + 7);
    Render(1, 10);
    EXPECT_EQ(g_voiceState[0].pendingKey, 33 + 7);
    Render(2, 11);
    EXPECT_EQ(g_voiceState[0].pendingKey, 35 + 7);
    EXPECT_EQ(g_trackRow[31], 6u);

    // Three banked steps: one row in each of the next three frames.
    g_trackClockTicks[0] = 3;
    for (uint32_t row : {7u, 8u, 9u, 9u}) {
        Render(1);
        EXPECT_EQ(g_trackRow[0], row);
    }
}

struct WalkCase {
    const char* name;
    std::vector<std::pair<uint8_t, uint8_t>> order;  // order byte, parallel byte
    uint32_t start;
    bool playing;
    uint32_t pos;  // song position after the first row
};

TEST_F(SequencerTest, OrderListWalkFollowsJumpsAndStops) {
    const WalkCase cases[] = {
        {"pattern", {{1, 0x80}}, 0, true, 0},
        {"two jumps, then a pattern", {{254, 1}, {254, 2}, {1, 0x80}}, 0, true, 2},
        {"third jump stops", {{254, 1}, {254, 2}, {254, 3}, {1, 0x80}}, 0, false, 3},
        {"jump to itself", {{254, 0}}, 0, false, 0},
        {"end marker", {{255, 0}}, 0, false, 0},
        {"empty position", {{100, 0}}, 0, false, 0},
        {"missing pattern", {{5, 0x80}}, 0, false, 0},
        {"two patterns ending at row 0, then a pattern", {{2, 0x80}, {2, 0x80}, {1, 0x80}}, 0, true, 2},
        {"third pattern end stops", {{2, 0x80}, {2, 0x80}, {2, 0x80}, {1, 0x80}}, 0, false, 3},
        {"jump past the order list", {{254, 250}}, 0, false, 250},
        {"start past the order list", {}, 230, false, 230},
        {"last position plays", {{0, 0}}, 199, true, 199},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineGlobals();
        NewPattern(1);
        SetNote(1, 0, 0, 50);
        NewPattern(2);
        for (int t = 0; t < kVoices; ++t) SetNote(2, t, 0, kNoteEnd);
        for (size_t i = 0; i < c.order.size(); ++i) {
            g_songOrder[i] = c.order[i].first;
            g_songOrderJump[i] = c.order[i].second;
        }
        if (c.start == 199) OrderPattern(199, 1);
        g_playFlag = 1;
        RequestStart(c.start);
        Render(64);
        EXPECT_EQ(g_trackPlaying[0], c.playing ? 1u : 0u);
        EXPECT_EQ(g_trackPlaying[31], c.playing ? 1u : 0u);
        EXPECT_EQ(g_playFlag, c.playing ? 1u : 0u);
        EXPECT_EQ(g_trackSongPos[0], c.pos);
        if (c.playing) {
            EXPECT_EQ(g_voiceState[0].pendingKey, 50);
        }
    }
}

TEST_F(SequencerTest, PastTheLastPositionTheSongEnds) {
    g_patternLength = 16;
    NewPattern(0);
    OrderPattern(199, 0);
    RequestStart(199);
    const uint32_t row = FramesPerRow(120);
    RenderFrames(16 * row);
    EXPECT_EQ(g_trackPlaying[0], 1u);
    RenderFrames(1);
    EXPECT_EQ(g_trackPlaying[0], 0u);
    EXPECT_EQ(g_trackSongPos[0], 200u);
}

TEST_F(SequencerTest, EndOfSongStopsEveryTrackAndRequestsAStop) {
    g_patternLength = 16;
    NewPattern(0);
    NewPattern(1);
    OrderPattern(0, 0);
    OrderPattern(1, 1);
    OrderEnd(2);
    SetNote(1, 0, 0, 77);
    const uint32_t row = FramesPerRow(120);

    RequestStart();
    RenderFrames(16 * row);
    EXPECT_EQ(g_trackSongPos[0], 0u);
    EXPECT_EQ(g_trackRow[0], 16u) << "the pattern has ended; the next row tick advances";
    RenderFrames(1);
    EXPECT_EQ(g_trackSongPos[0], 1u);
    EXPECT_EQ(g_voiceState[0].pendingKey, 77) << "row 0 of the next position plays without a gap";

    RenderFrames(16 * row - 1);
    EXPECT_EQ(g_songPlaying, 1u);
    g_playFlag = 1;
    g_voiceState[4].ampGate = 1;
    g_voiceState[4].filterEnvGate = 1;
    g_voiceState[4].ampStage = -1;
    RenderFrames(1);
    for (int t = 0; t < kVoices; ++t) EXPECT_EQ(g_trackPlaying[t], 0u) << t;
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_EQ(g_songPlaying, 0u);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(g_voiceState[4].ampGate, 0);
    EXPECT_EQ(g_voiceState[4].filterEnvGate, 0);
    EXPECT_EQ(g_voiceState[4].ampStage, -1) << "stages are left to release at their sustain";
    EXPECT_EQ(g_trackRow[0], 0u) << "the pattern end set row 0; no row advance in the frame that stops the track";
    RenderFrames(1);
    EXPECT_EQ(g_engineReset, 0);
}

struct PatternEndCase {
    uint32_t songMode;
    uint32_t cue;
    uint8_t loop;
    uint32_t pos;       // position after the pattern end
    uint32_t cueAfter;  // g_patternCue after the call
};

TEST_F(SequencerTest, PatternEndFollowsModeCueAndLoop) {
    const PatternEndCase cases[] = {
        {1, 0, 0, 1, 0},  // song mode advances
        {1, 1, 0, 0, 1},  // song mode: the cue holds the pattern and stays
        {0, 0, 0, 0, 0},  // pattern mode repeats
        {0, 1, 0, 1, 0},  // pattern mode: the cue advances once and is cleared
        {0, 2, 0, 0, 2},  // only a cue of exactly 1 counts
        {1, 0, 1, 0, 0},  // loop repeats
        {0, 1, 1, 0, 1},  // loop repeats and leaves the cue alone
    };
    const uint32_t row = FramesPerRow(120);
    for (const PatternEndCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.songMode << " cue " << c.cue << " loop " << int{c.loop});
        ResetEngineGlobals();
        g_patternLength = 16;
        NewPattern(0);
        NewPattern(1);
        OrderPattern(0, 0);
        OrderPattern(1, 1);
        OrderJump(2, 0);
        SetNote(0, 0, 0, 20);
        SetNote(1, 0, 0, 21);
        g_songMode = c.songMode;
        g_loopPattern = c.loop;
        RequestStart();
        RenderFrames(16 * row);
        g_patternCue = c.cue;
        RenderFrames(1);
        EXPECT_EQ(g_trackSongPos[0], c.pos);
        EXPECT_EQ(g_trackSongPos[31], c.pos);
        EXPECT_EQ(g_voiceState[0].pendingKey, c.pos == 0 ? 20 : 21);
        EXPECT_EQ(g_patternCue, c.cueAfter);
        EXPECT_EQ(g_patternCueDone, 0u);
    }
}

TEST_F(SequencerTest, EndNoteMovesOnInTheSameTick) {
    for (uint8_t focus : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "pattern focus " << int{focus});
        ResetEngineGlobals();
        g_patternLength = 16;
        NewPattern(0);
        NewPattern(1);
        OrderPattern(0, 0);
        OrderPattern(1, 1, 2);
        for (int r = 0; r < 5; ++r) SetNote(0, 0, r, static_cast<uint8_t>(60 + r));
        SetNote(0, 0, 5, kNoteEnd);
        SetNote(1, 0, 0, 40);
        SetCommands(1, 0, 0, kCmdTranspose, 47);
        g_patternFocus = focus;  // read live: the loop flag of an end note
        const uint32_t row = FramesPerRow(120);
        RequestStart();
        RenderFrames(5 * row);
        EXPECT_EQ(g_voiceState[0].pendingKey, 64);
        RenderFrames(1);
        EXPECT_EQ(g_trackRow[0], 1u);
        if (focus == 0) {
            EXPECT_EQ(g_trackSongPos[0], 1u);
            EXPECT_EQ(g_voiceState[0].pendingKey, 40 + 2) << "with the new position's transpose";
            EXPECT_EQ(g_voiceState[0].osc2Transpose, 4 * 256) << "and its commands";
        } else {
            EXPECT_EQ(g_trackSongPos[0], 0u);
            EXPECT_EQ(g_voiceState[0].pendingKey, 60);
        }
    }
}

TEST_F(SequencerTest, PositionTransposeIsLimitedTo24) {
    const std::pair<uint8_t, int32_t> cases[] = {{30, 24}, {0xE2, -24}, {0x80, 0}, {5, 5},
                                                 {0xFB, -5}, {24, 24},  {0xE8, -24}, {0x7F, 24}};
    for (auto [byte, transpose] : cases) {
        SCOPED_TRACE(testing::Message() << "byte " << int{byte});
        ResetEngineGlobals();
        OrderPattern(0, 0, byte);
        SetNote(0, 3, 0, 60);
        SetNote(0, 3, 1, kNoteKeyChange + 50);
        RequestStart();
        RenderFrames(1);
        EXPECT_EQ(g_voiceState[3].positionTranspose, transpose);
        EXPECT_EQ(g_voiceState[3].pendingKey, 60 + transpose);
        RenderFrames(FramesPerRow(120));
        EXPECT_EQ(g_voiceState[3].key, 50 + transpose);
    }
}

TEST_F(SequencerTest, StartInsideAPatternTakesTheTransposeAtTheNextPosition) {
    g_patternLength = 16;
    NewPattern(0);
    NewPattern(1);
    OrderPattern(0, 0, 12);
    OrderPattern(1, 1, 12);
    SetNote(0, 0, 8, 60);
    SetNote(1, 0, 0, 61);
    RequestStart(0, 8);
    RenderFrames(1);
    EXPECT_EQ(g_voiceState[0].pendingKey, 60) << "row 8: the transpose is read only at row 0";
    RenderFrames(8 * FramesPerRow(120));
    EXPECT_EQ(g_voiceState[0].pendingKey, 61 + 12);
}

struct FadeCase {
    int32_t stageBefore;
    int32_t stageAfter;
    uint32_t sustainAfter;
};

TEST_F(SequencerTest, NewNoteFadesTheOldOneAndStartsTheCountdown) {
    const FadeCase cases[] = {
        {0, -1, 0},            // in its attack: decays toward silence
        {-1, -1, 0x12345678},  // decaying: keeps its sustain level
        {1, 1, 0x12345678},    // releasing: stays in the release
        {2, -1, 0x12345678},
    };
    for (const FadeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << c.stageBefore);
        ResetEngineGlobals();
        OrderPattern(0, 0, 3);
        SetNote(0, 2, 0, 60);
        VoiceState& vs = g_voiceState[2];
        vs.ampStage = c.stageBefore;
        vs.ampSustainLevel = 0x12345678;
        vs.ampGate = 1;
        vs.filterEnvGate = 1;
        vs.sound = 9;
        vs.pendingSound = 9;
        DecodeRow(2, 0);
        EXPECT_EQ(vs.pendingKey, 63);
        EXPECT_EQ(vs.noteOnCountdown, 256);
        EXPECT_EQ(vs.ampDecayRate, 0x2200u);
        EXPECT_EQ(vs.ampReleaseRate, 0x2200u);
        EXPECT_EQ(vs.ampGate, 0);
        EXPECT_EQ(vs.ampStage, c.stageAfter);
        EXPECT_EQ(vs.ampSustainLevel, c.sustainAfter);
        EXPECT_EQ(vs.fading, 1u);
        EXPECT_EQ(vs.resonanceHalved, 1);
        EXPECT_EQ(vs.filterEnvGate, 1) << "the filter envelope is left to the note start";
        EXPECT_EQ(vs.sound, 9);
        EXPECT_EQ(g_trackRow[2], 1u);
    }
}

struct NoteByteCase {
    uint8_t note;
    int32_t key;        // expected `key` (starts at 5)
    int32_t gate;       // expected gates (start at 1)
    int32_t stage;      // expected stages (start at -1)
    int32_t countdown;  // expected noteOnCountdown (starts at 77)
    int32_t sound;      // expected sound (starts at 9)
};

TEST_F(SequencerTest, NoteBytesOtherThanNotes) {
    const NoteByteCase cases[] = {
        {kNoteKeyChange + 67, 67 + 2, 1, -1, 77, 9},  // key change, no new attack
        {kNoteKeyChange, 0 + 2, 1, -1, 77, 9},
        {kNoteRelease, 5, 0, 1, 77, 9},  // release leaves a pending start alone
        {kNoteKill, 5, 1, -1, 77, 0},
        {kNoteEmpty, 5, 1, -1, 77, 9},
        {110, 5, 1, -1, 77, 9},  // unused values do nothing
        {240, 5, 1, -1, 77, 9},
    };
    for (const NoteByteCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "note byte " << int{c.note});
        ResetEngineGlobals();
        OrderPattern(0, 0, 2);
        SetNote(0, 6, 0, c.note);
        VoiceState& vs = g_voiceState[6];
        vs.key = 5;
        vs.ampGate = vs.filterEnvGate = vs.userEnvGate = 1;
        vs.ampStage = vs.filterEnvStage = vs.userEnvStage = -1;
        vs.noteOnCountdown = 77;
        vs.sound = 9;
        vs.osc1Wave = vs.osc2Wave = vs.osc3Wave = 3;
        DecodeRow(6, 0);
        EXPECT_EQ(vs.key, c.key);
        EXPECT_EQ(vs.ampGate, c.gate);
        EXPECT_EQ(vs.filterEnvGate, c.gate);
        EXPECT_EQ(vs.userEnvGate, c.gate);
        EXPECT_EQ(vs.ampStage, c.stage);
        EXPECT_EQ(vs.filterEnvStage, c.stage);
        EXPECT_EQ(vs.userEnvStage, c.stage);
        EXPECT_EQ(vs.noteOnCountdown, c.countdown);
        EXPECT_EQ(vs.sound, c.sound);
        EXPECT_EQ(vs.osc1Wave + vs.osc2Wave + vs.osc3Wave, c.sound == 0 ? 0u : 9u);
    }
}

TEST_F(SequencerTest, NotesUpToKeyChangeZeroClearSlideAndVibrato) {
    for (uint8_t note : {uint8_t{60}, uint8_t{0x80}, uint8_t{110}, uint8_t{0x81}, uint8_t{kNoteEmpty}}) {
        SCOPED_TRACE(testing::Message() << "note byte " << int{note});
        ResetEngineGlobals();
        SetNote(0, 1, 0, note);
        VoiceState& vs = g_voiceState[1];
        vs.slideSpeed = 60;
        vs.vibratoRateCmd = 8;
        vs.vibratoDepthCmd = 16;
        vs.pendingGlideFrom = 0x1000;
        DecodeRow(1, 0);
        const bool cleared = note <= 0x80;
        EXPECT_EQ(vs.slideSpeed, cleared ? 0 : 60);
        EXPECT_EQ(vs.vibratoRateCmd, cleared ? 0 : 8);
        EXPECT_EQ(vs.vibratoDepthCmd, cleared ? 0 : 16);
        EXPECT_EQ(vs.pendingGlideFrom, cleared ? 0 : 0x1000);
    }
}

struct SlideCase {
    const char* name;
    uint8_t slide;     // value of command S on the row of note 60
    uint32_t row;      // row of the note
    uint8_t nextNote;  // note byte of the row after it
    int32_t pendingKey;
    int32_t glideFrom;
};

TEST_F(SequencerTest, SlideGlidesToTheNextRowsKey) {
    const SlideCase cases[] = {
        {"to a key change", 50, 3, kNoteKeyChange + 67, 67 + 1, (60 + 1) * 256},
        {"to a note", 99, 3, 62, 62 + 1, (60 + 1) * 256},
        {"no next note", 50, 3, kNoteEmpty, 60 + 1, 0},
        {"S 0 on a new note", 0, 3, kNoteKeyChange + 67, 60 + 1, 0},
        {"last row: no next row", 50, 15, 0, 60 + 1, 0},
    };
    for (const SlideCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineGlobals();
        g_patternLength = 16;
        NewPattern(0);
        OrderPattern(0, 0, 1);
        SetNote(0, 5, c.row, 60);
        SetCommands(0, 5, c.row, kCmdSlide, c.slide);
        if (c.row + 1 < 16) SetNote(0, 5, c.row + 1, c.nextNote);
        // What lies just past the last row (the next track's first command byte)
        // must not be taken for a note.
        Cell(0, 6, 0, 0) = 0x21;
        g_voiceState[5].slideSpeed = 60;  // an earlier S ends with its note
        g_voiceState[5].positionTranspose = 1;
        DecodeRow(5, c.row);
        EXPECT_EQ(g_voiceState[5].pendingKey, c.pendingKey);
        EXPECT_EQ(g_voiceState[5].pendingGlideFrom, c.glideFrom);
    }
}

struct LegatoCase {
    const char* name;
    uint8_t legato;
    int32_t pendingSound;
    int32_t gate;
    bool legatoPlayed;
};

TEST_F(SequencerTest, LegatoChangesOnlyTheKey) {
    const LegatoCase cases[] = {
        {"legato", 1, 4, 1, true},
        {"gate closed", 1, 4, 0, false},
        {"another sound pending", 1, 5, 1, false},
        {"switch off", 0, 4, 1, false},
    };
    for (const LegatoCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineGlobals();
        g_soundBank[kParamLegato][4] = c.legato;
        SetNote(0, 7, 0, 62);
        VoiceState& vs = g_voiceState[7];
        vs.sound = 4;
        vs.pendingSound = c.pendingSound;
        vs.ampGate = c.gate;
        vs.key = 50;
        DecodeRow(7, 0);
        EXPECT_EQ(vs.pendingKey, 62);
        EXPECT_EQ(vs.key, c.legatoPlayed ? 62 : 50);
        EXPECT_EQ(vs.noteOnCountdown, c.legatoPlayed ? 0 : 256);
        EXPECT_EQ(vs.ampGate, c.legatoPlayed ? 1 : 0);
    }
}

TEST_F(SequencerTest, CommandsRunBeforeTheNoteInOrderAThenB) {
    g_soundBank[kParamChannel][3] = 2;
    SetCommands(0, 0, 0, kCmdSetVolume, 10, kCmdSetVolume, 90);
    SetCommands(0, 1, 0, kCmdInstrument, 3, kCmdSlide, 99);
    SetNote(0, 1, 0, 60);
    SetNote(0, 1, 1, 64);
    g_voiceState[0].pendingSound = 3;
    RequestStart();
    RenderFrames(1);
    EXPECT_EQ(g_mixerSettings.volume[1], 90 * 256 / 452) << "command B wins";
    EXPECT_EQ(g_voiceState[1].sound, 3);
    EXPECT_EQ(g_voiceState[1].slideSpeed, 55);
    EXPECT_EQ(g_voiceState[1].pendingKey, 64) << "the slide acts on its own row's note";
    EXPECT_EQ(g_voiceState[1].pendingGlideFrom, 60 * 256);
}

TEST_F(SequencerTest, RowsBeyondThePatternEndIt) {
    // A start row past the pattern's length ends the pattern at the first tick
    // instead of reading beyond it.
    g_patternLength = 16;
    NewPattern(0);
    NewPattern(1);
    OrderPattern(0, 0);
    OrderPattern(1, 1);
    SetNote(1, 31, 0, 45);
    RequestStart(0, 40);
    RenderFrames(1);
    EXPECT_EQ(g_trackSongPos[31], 1u);
    EXPECT_EQ(g_voiceState[31].pendingKey, 45);
}

}  // namespace
