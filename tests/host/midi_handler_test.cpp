// Channel messages through the test back-end to the synthesizer: voice choice
// (round robin, stealing, folding), events and their positions, note off,
// bend, modulation, mapped controllers of every kind, the channel messages
// with fixed meanings, program changes, and recording handed to the GUI side.
#include <gtest/gtest.h>

#include "tests/host/midi_fixture.h"
#include "ui/pattern_undo.h"

namespace {

class MidiHandlerTest : public MidiTest {};

TEST_F(MidiHandlerTest, NoteOnQueuesItsEventOnTheChannelsVoiceAtItsTime) {
    g_channelPolyphony[0] = 2;
    g_channelPolyphony[1] = 2;
    Send(NoteOn(1, 60, 100), 10);
    QueuedEvent e = Queued(2);  // channel 1's first voice
    EXPECT_EQ(e.pos, 440);
    EXPECT_EQ(e.code, kVoiceEventNoteOn);
    EXPECT_EQ(e.key, 48);
    EXPECT_EQ(e.glideFrom, 0);
    EXPECT_EQ(e.sound, 7);      // no mapped sound, no program: the current sound
    EXPECT_EQ(e.level, 50 + 25);
    EXPECT_EQ(g_voiceMidiChannel[2], 1);
    EXPECT_EQ(g_voiceMidiKey[2], 48);
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{2});

    // The next note glides from the last one; velocity 127 gives 94, 1 gives 0.
    Send(NoteOn(1, 64, 127), 10);
    e = Queued(3);
    EXPECT_EQ(e.glideFrom, 48);
    EXPECT_EQ(e.level, 94);
    ClearEventQueues();
    Send(NoteOn(1, 65, 1));
    EXPECT_EQ(Queued(2).level, 0);
}

TEST_F(MidiHandlerTest, PositionsAreCappedInsideThePeriodAndTakeTheNextFreeSlot) {
    g_channelPolyphony[0] = 1;
    const struct {
        uint32_t frames;
        int32_t ms;
        int32_t pos;
    } cases[] = {
        {4096, 0, 0},
        {4096, 93, 4092},    // 4,092 is still inside
        {4096, 100, 4092},   // 4,400 lies past a waveOut period of 4,096
        {4096, 249, 4092},
        {4096, 600, 4092},   // later than the buffer: its last millisecond
        {4096, -5, 0},       // before the buffer began: its start
        {440, 9, 396},
        {440, 10, 436},
    };
    for (const auto& c : cases) {
        g_bufferFrames = c.frames;
        ClearEventQueues();
        Send(NoteOn(0, 60, 64), c.ms);
        EXPECT_EQ(Queued(0).pos, c.pos) << c.frames << " frames, " << c.ms << " ms";
    }
    // A taken slot pushes the event to the next free one; a full tail drops it.
    g_bufferFrames = 4096;
    ClearEventQueues();
    Send(NoteOn(0, 60, 64), 100);
    Send(NoteOn(0, 62, 64), 100);
    EXPECT_EQ(Queued(0, 4093).pos, 4093);
    Send(NoteOn(0, 63, 64), 100);
    Send(NoteOn(0, 64, 64), 100);
    Send(NoteOn(0, 65, 64), 100);
    EXPECT_EQ(Queued(0, 4093).key, 62 - 12);
    EXPECT_EQ(g_voiceEvents.key[0][4095], 64 - 12);
}

TEST_F(MidiHandlerTest, EventBeforeAnyDeviceOpenedIsDropped) {
    g_bufferFrames = 0;
    g_channelPolyphony[0] = 4;
    Send(NoteOn(0, 60, 64), 100);
    Send(NoteOff(0, 60), 100);
    EXPECT_TRUE(VoicesWithEvents().empty());
    EXPECT_EQ(g_voiceMidiKey[0], -1);
}

TEST_F(MidiHandlerTest, RoundRobinTakesIdleVoicesAndStealsTheOneWhoseTurnItIs) {
    g_channelPolyphony[0] = 2;
    g_channelPolyphony[1] = 2;
    Send(NoteOn(0, 60, 64));
    Send(NoteOn(0, 62, 64));
    EXPECT_EQ(Queued(0).key, 48);
    EXPECT_EQ(Queued(1).key, 50);
    Consume();
    // Voice 0's turn, but it sounds and voice 1 is idle: voice 1.
    g_voiceState[1].ampGate = 0;
    Send(NoteOn(0, 64, 64));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{1});
    Consume();
    // Both sound: the one whose turn it is (voice 0) is stolen, then voice 1.
    Send(NoteOn(0, 65, 64));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{0});
    Consume();
    Send(NoteOn(0, 67, 64));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{1});
    Consume();
    // A pending note start counts as busy too.
    g_voiceState[0].ampGate = 0;
    g_voiceState[0].noteOnCountdown = 12;
    g_voiceState[1].ampGate = 0;
    Send(NoteOn(0, 69, 64));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{1});
    // Channel 1 never touches channel 0's voices.
    Consume();
    Send(NoteOn(1, 60, 64));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{2});
}

TEST_F(MidiHandlerTest, ReservedVoicesBeyondThoseInUseFoldOntoThem) {
    g_polyphony = 1;  // 4 voices
    g_channelPolyphony[0] = 6;
    std::vector<int> got;
    for (int i = 0; i < 6; ++i) {
        Send(NoteOn(0, 60 + i, 64));
        got.push_back(VoicesWithEvents().at(0));
        ClearEventQueues();
    }
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2, 3, 0, 1}));
}

TEST_F(MidiHandlerTest, CandidatesBeyondTheThirtyTwoVoicesAreTestedWhereTheyFold) {
    g_channelPolyphony[0] = 32;
    g_channelPolyphony[1] = 32;  // channel 1's voices are 32..63: no voice state of their own
    g_voiceState[0].ampGate = 1;
    Send(NoteOn(1, 60, 64));  // candidate 32 folds onto the busy voice 0; 33 onto the idle voice 1
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{1});
    EXPECT_EQ(g_voiceMidiChannel[1], 1);
    EXPECT_EQ(g_channelNextVoice[1], 2);
}

TEST_F(MidiHandlerTest, NoteOffReleasesEveryVoiceOfTheChannelHoldingTheKey) {
    g_channelPolyphony[0] = 3;
    g_channelPolyphony[1] = 1;
    Send(NoteOn(0, 60, 64));
    Send(NoteOn(0, 60, 64));
    Send(NoteOn(0, 62, 64));
    Send(NoteOn(1, 60, 64));
    ClearEventQueues();
    Send(NoteOff(0, 60), 3);
    EXPECT_EQ(VoicesWithEvents(), (std::vector<int>{0, 1}));
    EXPECT_EQ(Queued(0).code, kVoiceEventNoteOff);
    EXPECT_EQ(Queued(0).key, 48);
    EXPECT_EQ(Queued(0).pos, 132);
    EXPECT_EQ(g_voiceMidiKey[0], -1);
    EXPECT_EQ(g_voiceMidiChannel[0], 0);  // still follows the channel's bend
    EXPECT_EQ(g_voiceMidiKey[3], 48);
    // A note on with velocity 0 is the same note off.
    ClearEventQueues();
    Send(NoteOn(1, 60, 0));
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{3});
    EXPECT_EQ(Queued(3).code, kVoiceEventNoteOff);
}

TEST_F(MidiHandlerTest, NotesOutsideTheKeyRange) {
    g_channelPolyphony[0] = 2;
    // Notes 0..11 give no key: nothing sounds.
    for (int note : {0, 5, 11}) Send(NoteOn(0, note, 64));
    Send(NoteOff(0, 0));
    EXPECT_TRUE(VoicesWithEvents().empty());
    // Notes 120..127 sound with keys 108..115.
    Send(NoteOn(0, 127, 64));
    EXPECT_EQ(Queued(0).key, 115);
}

TEST_F(MidiHandlerTest, PitchBendAndModulationReachTheChannelsVoices) {
    g_channelPolyphony[0] = 2;
    g_channelPolyphony[1] = 1;
    Send(NoteOn(0, 60, 64));
    Send(NoteOn(0, 62, 64));
    Send(NoteOn(1, 60, 64));
    const struct {
        uint32_t d1, d2;
        int32_t bend;
    } bends[] = {{0x00, 0x40, 0}, {0x00, 0x00, -512}, {0x7F, 0x7F, 511}, {0x10, 0x40, 1}, {0x0F, 0x40, 0}, {0x70, 0x3F, -1}};
    for (const auto& b : bends) {
        Send(0xE0 | b.d1 << 8 | b.d2 << 16);
        EXPECT_EQ(g_voiceState[0].pitchBend, b.bend) << b.d1 << " " << b.d2;
        EXPECT_EQ(g_voiceState[1].pitchBend, b.bend);
        EXPECT_EQ(g_voiceState[2].pitchBend, 0);
    }
    const struct {
        int value;
        int32_t depth, rate;
    } mods[] = {{127, 63, 40}, {9, 0, 0}, {10, 5, 40}, {0, 0, 0}, {64, 32, 40}};
    for (const auto& m : mods) {
        Send(Control(0, 1, m.value));
        EXPECT_EQ(g_voiceState[1].vibratoDepthCmd, m.depth) << m.value;
        EXPECT_EQ(g_voiceState[1].vibratoRateCmd, m.rate) << m.value;
        EXPECT_EQ(g_voiceState[2].vibratoRateCmd, 0);
    }
}

TEST(MidiControllerKinds, ValuesAtTheStatedPoints) {
    const struct {
        uint32_t kind, value;
        int32_t r;
    } cases[] = {
        {1, 0, 1},   {1, 20, 1},  {1, 21, 1},  {1, 42, 2},  {1, 127, 6}, {2, 63, 0},   {2, 64, 1},  {2, 127, 1},
        {3, 0, 0},   {3, 64, 41}, {3, 127, 80}, {3, 1, 1},  {4, 0, 1},   {4, 64, 41},  {4, 127, 80}, {5, 0, 1},
        {5, 50, 2},  {5, 127, 5}, {6, 0, 1},   {6, 84, 4},  {6, 127, 4}, {7, 0, 1},    {7, 64, 29}, {7, 127, 56},
        {8, 0, -19}, {8, 64, 1},  {8, 127, 20}, {9, 0, 1},  {9, 64, 21}, {9, 127, 40},
    };
    for (const auto& c : cases) EXPECT_EQ(ControllerValueForKind(c.kind, c.value), c.r) << c.kind << " " << c.value;
    // Kinds 3 and 4 follow v x 80 / 127 taken just below (the fraction is
    // rounded down): kind 4 adds one, kind 3 rounds up from an eighth.
    for (uint32_t v = 1; v < 128; ++v) {
        const uint32_t whole = (v * 80 - 1) / 127, rest = v * 80 - whole * 127;
        EXPECT_EQ(ControllerValueForKind(4, v), int32_t(whole) + 1) << v;
        EXPECT_EQ(ControllerValueForKind(3, v), int32_t(whole) + (rest * 8 >= 127 ? 1 : 0)) << v;
    }
}

TEST_F(MidiHandlerTest, MappedControllersWriteTheBankTheLiveKnobOrTheMixer) {
    g_channelPolyphony[0] = 1;
    g_channelSound[1] = 12;  // channel 1 plays sound 12, not the current one
    // Channel 0 plays the current sound: bank and live knob (OSC1 Tune, signed).
    Send(Control(0, 13, 64));
    EXPECT_EQ(g_soundBank[kParamOsc1Tune][7], 41);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 1);
    // Another sound: its bank only.
    Send(Control(1, 13, 0));
    EXPECT_EQ(g_soundBank[kParamOsc1Tune][12], 0);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 1);
    // The knob the user holds on the current sound does not move; on another sound the bank does.
    g_activeValuePtr = static_cast<void*>(&g_liveKnobs[kParamFilterCutoff]);
    g_soundBank[kParamFilterCutoff][7] = 33;
    g_liveKnobs[kParamFilterCutoff] = 33;
    Send(Control(0, 37, 127));
    EXPECT_EQ(g_soundBank[kParamFilterCutoff][7], 33);
    EXPECT_EQ(g_liveKnobs[kParamFilterCutoff], 33);
    Send(Control(1, 37, 127));
    EXPECT_EQ(g_soundBank[kParamFilterCutoff][12], 80);
    // Mixer settings, whatever the channel's sound; not the one under the mouse.
    Send(Control(1, 70, 64));
    EXPECT_EQ(g_mixerSettings.volume[0].load(), 29);
    Send(Control(1, 78, 127));
    EXPECT_EQ(g_mixerSettings.master.load(), 56);
    Send(Control(1, 86, 0));
    EXPECT_EQ(g_mixerSettings.pan[7].load(), -19);
    Send(Control(1, 105, 64));
    EXPECT_EQ(g_mixerSettings.send1[7].load(), 21);
    Send(Control(1, 113, 127));
    EXPECT_EQ(g_mixerSettings.send2[7].load(), 40);
    g_activeValuePtr = static_cast<void*>(&g_mixerSettings.pan[7]);
    Send(Control(1, 86, 127));
    EXPECT_EQ(g_mixerSettings.pan[7].load(), -19);
    // Selectors never reach 0: Oscillator 1 wave (kind 1), filter type (5), LFO shape (6).
    Send(Control(0, 12, 0));
    EXPECT_EQ(g_liveKnobs[kParamOsc1Wave], 1);
    Send(Control(0, 39, 127));
    EXPECT_EQ(g_liveKnobs[kParamFilterType], 5);
    Send(Control(0, 48, 127));
    EXPECT_EQ(g_soundBank[kParamLfoShape][7], 4);
    // Unmapped controllers do nothing.
    for (int c : {64, 69, 91, 101, 121, 127}) Send(Control(0, c, 127));
    EXPECT_EQ(g_engineReset.load(), 0);
}

TEST_F(MidiHandlerTest, ProgramChangesPickTheChannelsSound) {
    g_channelPolyphony[0] = 1;
    const struct {
        int program;
        uint8_t sound;
    } cases[] = {{5, 5}, {99, 99}, {100, 99}, {127, 99}, {0, 7}, {120, 7}};
    for (const auto& c : cases) {
        Send(0xC0 | uint32_t(c.program) << 8);
        ClearEventQueues();
        Send(NoteOn(0, 60, 64));
        EXPECT_EQ(Queued(0).sound, c.sound) << "program " << c.program;
        // A mapped controller reaches that sound's bank (programs 100..127 would have run past it).
        Send(Control(0, 63, 127));
        EXPECT_EQ(g_soundBank[kParamDistortion][c.sound], 80);
    }
    // A mapped sound wins over the program.
    g_channelSound[0] = 3;
    ClearEventQueues();
    Send(NoteOn(0, 60, 64));
    EXPECT_EQ(Queued(0).sound, 3);
}

TEST_F(MidiHandlerTest, AllSoundOffStopsAllNotesOffReleasesTheChannel) {
    g_channelPolyphony[0] = 1;
    g_channelPolyphony[1] = 1;
    Send(NoteOn(0, 60, 64));
    Send(NoteOn(1, 60, 64));
    for (int v : {0, 1}) {
        VoiceState& vs = g_voiceState[v];
        vs.ampGate = vs.filterEnvGate = vs.userEnvGate = 1;
        vs.ampStage = vs.filterEnvStage = vs.userEnvStage = 0;
        vs.noteOnCountdown = 5;
    }
    Send(Control(0, 121, 0));
    EXPECT_EQ(g_engineReset.load(), 0);
    EXPECT_EQ(g_voiceState[0].ampGate, 1);
    Send(Control(0, 123, 0));
    const VoiceState& off = g_voiceState[0];
    EXPECT_EQ(off.ampGate + off.filterEnvGate + off.userEnvGate, 0);
    EXPECT_EQ(off.ampStage + off.filterEnvStage + off.userEnvStage, 3);
    EXPECT_EQ(off.noteOnCountdown, 5);  // a pending note start stays
    EXPECT_EQ(g_voiceState[1].ampGate, 1);
    Send(Control(1, 120, 0));
    EXPECT_EQ(g_engineReset.load(), kResetStop);
}

TEST_F(MidiHandlerTest, NothingHappensWhileASongIsExported) {
    g_channelPolyphony[0] = 1;
    g_midiWritesSequencer = 1;
    g_patternFocus = 1;
    g_exporting = 1;
    g_midiBusy = 0;
    Send(NoteOn(0, 60, 64));
    Send(Control(0, 120, 0));
    Send(Control(0, 13, 127));
    Send(0xC0 | 9 << 8);
    EXPECT_TRUE(VoicesWithEvents().empty());
    EXPECT_EQ(g_engineReset.load(), 0);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 0);
    EXPECT_EQ(g_midiProgram[0], 0);
    EXPECT_FALSE(PlayMidiRecording());
    g_exporting = 0;
}

// Recording: the cell under the cursor of the pattern at song position 0.
class MidiRecordingTest : public MidiTest {
protected:
    void SetUp() override {
        MidiTest::SetUp();
        g_channelPolyphony[0] = 4;
        g_midiWritesSequencer = 1;
        g_patternFocus = 1;
        g_previewOnly = 0;
        g_setInstruments = 0;
        g_orderTop = 0;
        g_orderCursor = 0;
        g_editStep = 5;
        Place(2);
        if (g_patternCount == 0) {
            ASSERT_TRUE(NewPattern());
        }
    }
    static void Place(uint32_t track, uint32_t sub = 6) {
        g_firstTrack = 1;
        g_cursorColumn = (track - 1) * 7 + sub;
    }
    static uint8_t Note(uint32_t track, uint32_t row = 5) {
        return g_patterns[0].load()[PatternIndex(track, 3, row, g_patternLength)];
    }
    static void SetNote(uint32_t track, uint8_t note, uint32_t row = 5) {
        g_patterns[0].load()[PatternIndex(track, 3, row, g_patternLength)] = note;
    }
};

TEST_F(MidiRecordingTest, StepsWaitForTheGuiThreadAndReplaceTheNote) {
    SetNote(2, 30);
    g_patternUndoCount = 0;
    Send(NoteOn(0, 72, 100));
    EXPECT_EQ(Note(2), 30);          // the MIDI thread touched no pattern
    EXPECT_EQ(g_refreshPending, 1u);  // and asked the GUI thread to wake up
    EXPECT_EQ(VoicesWithEvents(), std::vector<int>{0});  // the sound came at once
    g_docModified = 0;
    EXPECT_TRUE(PlayMidiRecording());
    EXPECT_EQ(Note(2), 60);
    EXPECT_EQ(g_docModified, 1);
    // The state before the note is on the undo ring.
    ASSERT_EQ(g_patternUndoCount, 1u);
    EXPECT_EQ(g_patternUndo[0][PatternIndex(2, 3, 5, g_patternLength)], 30);

    // Shift as of the message: a key change without a new attack.
    g_shiftDown = 1;
    Send(NoteOn(0, 74, 100));
    g_shiftDown = 0;
    PlayMidiRecording();
    EXPECT_EQ(Note(2), 62 + 128);
}

TEST_F(MidiRecordingTest, CtrlWalksToTheNextEmptyTrackWithinTheVoicesInUse) {
    SetNote(2, 30);
    SetNote(3, 31);
    g_ctrlDown = 1;
    Send(NoteOn(0, 72, 100));
    g_ctrlDown = 0;  // released before the GUI thread plays the step: the message's state counts
    PlayMidiRecording();
    EXPECT_EQ(Note(2), 30);
    EXPECT_EQ(Note(3), 31);
    EXPECT_EQ(Note(4), 60);
    EXPECT_EQ(g_firstTrack, 1u);
    EXPECT_EQ(g_cursorColumn, 6u + 7u);

    // No empty cell before the last voice in use: nothing is written.
    g_polyphony = 1;  // 4 voices: tracks 0..3
    SetNote(4, 40);
    g_ctrlDown = 1;
    Send(NoteOn(0, 76, 100));
    g_ctrlDown = 0;
    EXPECT_FALSE(PlayMidiRecording());
    EXPECT_EQ(Note(2), 30);
    EXPECT_EQ(Note(3), 31);
    EXPECT_EQ(g_firstTrack, 1u);
}

TEST_F(MidiRecordingTest, NoteOffsGoOnlyIntoEmptyOrReleaseCells) {
    const struct {
        uint8_t before, after;
    } cases[] = {{0xFE, 0xFD}, {0xFD, 0xFD}, {30, 30}, {0xFF, 0xFF}};
    for (const auto& c : cases) {
        SetNote(2, c.before);
        Send(NoteOff(0, 60));
        PlayMidiRecording();
        EXPECT_EQ(Note(2), c.after) << int(c.before);
    }
    SetNote(2, 30);
    Send(NoteOn(0, 60, 0));  // velocity 0: a note off
    PlayMidiRecording();
    EXPECT_EQ(Note(2), 30);
}

// The song is marked only when a recorded note changed a byte of the pattern;
// a snapshot goes onto the undo ring before each write, and there is no write
// without a pattern at the song position or without room for a Ctrl chord.
TEST_F(MidiRecordingTest, MarksTheSongOnlyWhenAByteChanged) {
    const struct {
        const char* name;
        uint8_t order;  // the song order entry under the order cursor
        uint8_t before;
        uint32_t message;
        int16_t ctrl;
        uint8_t setInstruments;
        uint8_t after;
        uint32_t undos;
        bool changed;
    } cases[] = {
        {"note on over another note", 0, 30, NoteOn(0, 72, 100), 0, 0, 60, 1, true},
        {"note on over the same note", 0, 60, NoteOn(0, 72, 100), 0, 0, 60, 1, false},
        {"the same note and a sound change", 0, 60, NoteOn(0, 72, 100), 0, 1, 60, 1, true},
        {"note off into an empty cell", 0, 0xFE, NoteOff(0, 72), 0, 0, 0xFD, 1, true},
        {"note off onto a release", 0, 0xFD, NoteOff(0, 72), 0, 0, 0xFD, 1, false},
        {"note on, the end of the song under the cursor", 255, 30, NoteOn(0, 72, 100), 0, 0, 30, 0, false},
        {"note on, a pattern never allocated", 7, 30, NoteOn(0, 72, 100), 0, 0, 30, 0, false},
        {"note on with Ctrl, the end of the song", 255, 0xFE, NoteOn(0, 72, 100), 1, 0, 0xFE, 0, false},
        {"note off, the end of the song", 255, 0xFE, NoteOff(0, 72), 0, 0, 0xFE, 0, false},
        {"Ctrl, no empty cell in the voices in use", 0, 30, NoteOn(0, 72, 100), 1, 0, 30, 0, false},
    };
    g_polyphony = 1;  // 4 voices: the Ctrl walk ends at track 3
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (uint32_t plane = 0; plane < 3; ++plane) g_patterns[0].load()[PatternIndex(2, plane, 5, g_patternLength)] = 0;
        SetNote(2, c.before);
        SetNote(3, 31);
        g_songOrder[0] = c.order;
        g_setInstruments = c.setInstruments;
        g_patternUndoCount = 0;
        g_docModified = 0;
        g_ctrlDown = c.ctrl;
        Send(c.message);
        g_ctrlDown = 0;
        EXPECT_EQ(PlayMidiRecording(), c.changed);
        EXPECT_EQ(int(g_docModified), c.changed ? 1 : 0);
        EXPECT_EQ(g_patternUndoCount, c.undos);
        EXPECT_EQ(Note(2), c.after);
        EXPECT_EQ(Note(3), 31);
        EXPECT_EQ(g_firstTrack, 1u);
        g_songOrder[0] = 0;
    }
}

TEST_F(MidiRecordingTest, WhatIsNeverRecorded) {
    const auto unchanged = [this](const char* what) {
        PlayMidiRecording();
        EXPECT_EQ(Note(2), 0xFE) << what;
    };
    Send(NoteOn(0, 11, 100));
    unchanged("note 11: no key");
    Send(NoteOn(0, 120, 100));
    unchanged("note 120: key 108 is no pattern note");
    Send(NoteOff(0, 127));
    unchanged("note off 127");
    Place(2, 5);
    Send(NoteOn(0, 60, 100));
    unchanged("cursor off the note column");
    Place(2);
    g_previewOnly = 1;
    Send(NoteOn(0, 60, 100));
    unchanged("preview only");
    g_previewOnly = 0;
    g_patternFocus = 0;
    Send(NoteOn(0, 60, 100));
    unchanged("no grid focus");
    g_patternFocus = 1;
    g_midiWritesSequencer = 0;
    Send(NoteOn(0, 60, 100));
    unchanged("recording off");
    // A channel without voices still records.
    g_midiWritesSequencer = 1;
    ClearEventQueues();
    Send(NoteOn(5, 60, 100));
    PlayMidiRecording();
    EXPECT_EQ(Note(2), 48);
    EXPECT_TRUE(VoicesWithEvents().empty());
}

}  // namespace
