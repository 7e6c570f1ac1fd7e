// Port lists and opens, time placement, and the external clock sync: clocks per
// row, the catch-up, the song position pointer, Start, Continue and Stop, the
// echo and the activity lamp, all through the test back-end.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/host/midi_fixture.h"

namespace {

class MidiPortsTest : public MidiTest {
protected:
    // Positions of voice 0's clock steps; every voice has the same.
    static std::vector<int32_t> ClockSteps() {
        std::vector<int32_t> pos;
        for (int32_t p = 0; p < kPeriodPositions; ++p) {
            if (g_voiceEvents.code[0][p] != kVoiceEventClock) continue;
            for (int v = 1; v < kVoices; ++v) EXPECT_EQ(g_voiceEvents.code[v][p], kVoiceEventClock) << v;
            pos.push_back(p);
        }
        return pos;
    }
    std::vector<uint32_t> Echoed() {
        MidiOutFlush();
        return backend->Sent();
    }
    void Synced() {
        g_midiSync = 1;
        g_songPlaying = 1;
    }
};

TEST_F(MidiPortsTest, ListsHideTheProgramsOwnPortsByExactName) {
    EXPECT_EQ(g_midiInNames, (std::vector<std::string>{"Keys", "Pads"}));
    EXPECT_EQ(g_midiOutNames, std::vector<std::string>{"Synth"});
    EXPECT_EQ(backend->OpenInput(), "Keys");
    EXPECT_EQ(backend->OpenOutput(), "Synth");
    CloseMidiIn();
    CloseMidiOut();
    inputs = {"morvel canopy MIDI OUT", "Morvel Canopy MIDI OUT ", "Morvel Canopy MIDI IN"};
    outputs = {"Morvel Canopy MIDI OUT", "MORVEL CANOPY MIDI IN"};
    InstallMidiBackend(std::make_unique<TestMidiBackend>(inputs, outputs));
    EnumerateMidiDevices();
    EXPECT_EQ(g_midiInNames, inputs);
    EXPECT_EQ(g_midiOutNames, outputs);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(MidiPortsTest, AtMostSixteenPortsAreListed) {
    std::vector<std::string> many;
    for (int i = 0; i < 20; ++i) many.push_back("Port " + std::to_string(i));
    many[3] = "Morvel Canopy MIDI OUT";  // counts toward the sixteen
    CloseMidiIn();
    CloseMidiOut();
    InstallMidiBackend(std::make_unique<TestMidiBackend>(many, many));
    EnumerateMidiDevices();
    EXPECT_EQ(g_midiInNames.size(), 15u);
    EXPECT_EQ(g_midiInNames.back(), "Port 15");
    EXPECT_EQ(g_midiOutNames.size(), 16u);
}

TEST_F(MidiPortsTest, ListingErrorsShowTheirMessageAndEndThatList) {
    const struct {
        uint32_t code;
        const char* text;
    } cases[] = {
        {kMidiListBadId, "Specified device identifier is out of range."},
        {kMidiListInvalid, "The specified pointer or structure is invalid."},
        {kMidiListNoDriver, "Driver is not installed."},
        {kMidiListNoMemory, "Unable to allocate or lock memory."},
        {99, nullptr},
    };
    CloseMidiIn();
    CloseMidiOut();
    for (const auto& c : cases) {
        auto b = std::make_unique<TestMidiBackend>(std::vector<std::string>{"A", "B", "C"}, std::vector<std::string>{"X", "Y"});
        b->FailInputListing(1, c.code);
        b->FailOutputListing(0, c.code);
        InstallMidiBackend(std::move(b));
        boxes.clear();
        EnumerateMidiDevices();
        EXPECT_EQ(g_midiInNames, std::vector<std::string>{"A"});
        EXPECT_TRUE(g_midiOutNames.empty());
        if (c.text) {
            EXPECT_EQ(boxes, (std::vector<std::string>{std::string("Error! midiInGetDevCaps\n") + c.text,
                                                       std::string("Error! midiOutGetDevCaps\n") + c.text}));
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

TEST_F(MidiPortsTest, OpenErrors) {
    CloseMidiIn();
    CloseMidiOut();
    backend->ForceOpen("Pads", MidiOpenResult::Allocated);
    backend->ForceOpen("Synth", MidiOpenResult::Allocated);
    g_midiInDevice = 1;
    EXPECT_FALSE(OpenMidiIn());
    EXPECT_FALSE(OpenMidiOut());
    EXPECT_EQ(boxes, (std::vector<std::string>{"MIDI device/keyboard is already allocated!", "MIDI device is already allocated!"}));
    EXPECT_EQ(g_midiInOpen, 0);
    boxes.clear();
    backend->ForceOpen("Pads", MidiOpenResult::Failed);
    backend->ForceOpen("Synth", MidiOpenResult::Failed);
    EXPECT_FALSE(OpenMidiIn());
    EXPECT_FALSE(OpenMidiOut());
    for (int32_t i : {-1, 2, 40}) {  // outside the lists: nothing opens, silently
        g_midiInDevice = i;
        g_midiOutDevice = i;
        EXPECT_FALSE(OpenMidiIn());
        EXPECT_FALSE(OpenMidiOut());
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(backend->OpenInput(), "");
    CloseMidiIn();  // closing what is not open does nothing
    // Opening forgets which voices the channels held.
    g_midiInDevice = 0;
    g_voiceMidiKey[3] = 40;
    g_voiceMidiChannel[3] = 2;
    EXPECT_TRUE(OpenMidiIn());
    EXPECT_EQ(g_voiceMidiKey[3], -1);
    EXPECT_EQ(g_voiceMidiChannel[3], -1);
}

TEST_F(MidiPortsTest, ClocksPerRowFollowTheStepsPerBeat) {
    Synced();
    const struct {
        uint32_t stepsPerBeat, doubled, clocks;
    } cases[] = {{4, 0, 6}, {6, 0, 4}, {4, 1, 3}, {6, 1, 2}, {8, 0, 6}, {12, 0, 4}};
    for (const auto& c : cases) {
        g_stepsPerBeat = c.stepsPerBeat;
        g_doubleStepsPerBeat = c.doubled;
        g_clockCount = 0;
        ClearEventQueues();
        for (uint32_t i = 1; i <= 2 * c.clocks; ++i) {
            Send(0xF8, int32_t(i));
            const size_t expected = i / c.clocks;
            ASSERT_EQ(ClockSteps().size(), expected) << c.stepsPerBeat << "/" << c.doubled << " clock " << i;
        }
        // The step lies at the clock's time x 44.1, truncated.
        EXPECT_EQ(ClockSteps(), (std::vector<int32_t>{int32_t(c.clocks * 441 / 10), int32_t(2 * c.clocks * 441 / 10)}));
    }
}

TEST_F(MidiPortsTest, ClockStepsStayInsideThePeriodOnASlotFreeInEveryRenderedVoice) {
    Synced();
    g_bufferFrames = 4096;  // waveOut: 250 ms of placement, 4,096 frames of period
    for (int i = 0; i < 6; ++i) Send(0xF8, 200);
    EXPECT_EQ(ClockSteps(), std::vector<int32_t>{4092});
    // A note queued on voice 9 at the clock's position: the step moves past it.
    ClearEventQueues();
    g_voiceEvents.code[9][441] = kVoiceEventNoteOn;
    for (int i = 0; i < 6; ++i) Send(0xF8, 10);
    EXPECT_EQ(g_voiceEvents.code[9][441], kVoiceEventNoteOn);
    EXPECT_EQ(g_voiceEvents.code[0][441], 0);
    EXPECT_EQ(ClockSteps(), std::vector<int32_t>{442});
    // At 8 voices the engine takes the steps from voices 0 to 7 alone; the
    // steps of four earlier late clocks stay in voices 8 to 31 for good and
    // must not crowd out the next one.
    ClearEventQueues();
    g_polyphony = 2;
    for (int v = 8; v < kVoices; ++v)
        for (int32_t p = 4092; p < 4096; ++p) g_voiceEvents.code[v][p] = kVoiceEventClock;
    for (int i = 0; i < 6; ++i) Send(0xF8, 200);
    for (int v = 0; v < 8; ++v) EXPECT_EQ(g_voiceEvents.code[v][4092], kVoiceEventClock) << v;
    for (int v = 0; v < 8; ++v) EXPECT_EQ(g_voiceEvents.code[v][4093], 0) << v;
    g_polyphony = 5;
    // Before a device opened there is no period: the step is dropped.
    ClearEventQueues();
    g_bufferFrames = 0;
    for (int i = 0; i < 6; ++i) Send(0xF8, 10);
    EXPECT_TRUE(ClockSteps().empty());
}

TEST_F(MidiPortsTest, CatchUpCountsTwiceUntilAheadByAShareOfTheBuffer) {
    Synced();
    g_stepsPerBeat = 4;
    // bufferMs -> clocks counted twice when each clock adds 1 ms (interval 2).
    const struct {
        uint32_t ms, doubled;
    } cases[] = {{9, 0}, {10, 3}, {15, 5}, {16, 10}, {25, 15}, {26, 21}, {40, 32}, {41, 41}, {100, 100}, {101, 0}};
    for (const auto& c : cases) {
        g_bufferMs = c.ms;
        g_bufferFrames = c.ms * 44;
        g_lastClockTime = 0;
        Send(0xFA);
        EXPECT_EQ(g_clockCatchUp, 1u);
        uint32_t clocks = 0, stamp = 0;
        while (g_clockCatchUp != 0 && clocks < 500) {
            stamp += 2;
            now = kStart + stamp;
            g_lastClockTime = stamp - 2;
            backend->InjectWord(0xF8);
            MidiInFlush();
            ++clocks;
        }
        const uint32_t doubled = g_clockCatchUpTime == 0 ? 0 : clocks;
        EXPECT_EQ(doubled, c.doubled) << c.ms << " ms";
        // Afterwards each clock counts once.
        g_clockCount = 0;
        Send(0xF8);
        EXPECT_EQ(g_clockCount, 1u);
    }
}

TEST_F(MidiPortsTest, SongPositionPointerPlacesEveryTrack) {
    g_midiSync = 1;
    g_songOrder[0] = 0;
    g_songOrder[1] = 0;
    g_songOrder[2] = 0;
    g_songOrder[3] = kOrderEnd;
    const auto pointer = [](uint32_t beats) { return 0xF2 | (beats & 0x7F) << 8 | (beats >> 7) << 16; };
    const struct {
        uint32_t stepsPerBeat, doubled, beats, pos, row;
    } cases[] = {
        {4, 0, 16, 0, 16}, {6, 0, 16, 0, 24}, {4, 1, 16, 0, 32}, {6, 1, 16, 0, 48}, {4, 0, 64 + 5, 1, 5},
        {4, 0, 3 * 64, 0, 0},  // beyond the song's end
        {4, 0, 0, 0, 0},       {4, 0, 127 * 128 + 127, 0, 0},
    };
    for (const auto& c : cases) {
        g_stepsPerBeat = c.stepsPerBeat;
        g_doubleStepsPerBeat = c.doubled;
        for (int t = 0; t < kVoices; ++t) g_trackRow[t] = g_trackSongPos[t] = 99;
        g_midiStartPending = 1;
        Send(pointer(c.beats));
        EXPECT_EQ(g_songPosPointer, c.beats);
        for (int t = 0; t < kVoices; ++t) {
            EXPECT_EQ(g_trackSongPos[t], c.pos) << c.beats << " beats, " << c.stepsPerBeat << " steps";
            EXPECT_EQ(g_trackRow[t], c.row) << c.beats << " beats, " << c.stepsPerBeat << " steps";
        }
        EXPECT_EQ(g_midiStartPending, 0u);
        EXPECT_EQ(g_songPosReceived, 1u);
    }
    // An order that ends at once: always position 0, row 0.
    g_songOrder[0] = kOrderJump;
    Send(pointer(16));
    EXPECT_EQ(g_trackRow[5], 0u);
}

TEST_F(MidiPortsTest, StartKeepsAPointersPositionContinueAlwaysDoes) {
    g_midiSync = 1;
    g_songOrder[0] = 0;
    g_songOrder[1] = kOrderEnd;
    Send(0x10F2);  // pointer 16
    g_songMode = 0;
    g_patternCue = 1;
    g_loopPattern = 1;
    Send(0xFA);
    EXPECT_EQ(g_trackRow[31], 16u);
    EXPECT_EQ(g_engineReset.load(), kResetStart);
    EXPECT_EQ(g_playFlag, 1u);
    EXPECT_EQ(g_midiStartPending, 1u);
    EXPECT_EQ(g_clockCatchUp, 1u);
    EXPECT_EQ(g_songMode, 1u);
    EXPECT_EQ(g_patternCue, 0u);
    EXPECT_EQ(g_loopPattern, 0);
    EXPECT_EQ(g_songPosReceived, 0u);
    // Start without a pointer: from the top.
    Send(0xFA);
    EXPECT_EQ(g_trackRow[31], 0u);
    for (int t = 0; t < kVoices; ++t) g_trackRow[t] = 7;
    Send(0xFB);
    EXPECT_EQ(g_trackRow[31], 7u);
    g_engineReset = 0;
    g_transmitTweaks = 1;
    Send(0xFC);
    EXPECT_EQ(g_engineReset.load(), kResetStop);
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_EQ(g_transmitTweaks, 0);
}

TEST_F(MidiPortsTest, EchoOfTheTransportMessagesAndOfClocksWhilePlaying) {
    g_midiSync = 1;
    g_songPlaying = 0;
    g_lastClockTime = 0;
    Send(0xF8, 7);  // stopped: not echoed, only timed
    EXPECT_TRUE(Echoed().empty());
    EXPECT_EQ(g_clockInterval, 7u);
    EXPECT_EQ(g_lastClockTime, 7u);
    EXPECT_EQ(g_clockCount, 0u);
    const std::vector<uint32_t> transport = {0x0203F2, 0xFA, 0xFB, 0xFC};
    for (uint32_t m : transport) Send(m);
    g_songPlaying = 1;
    Send(0xF8, 9);
    std::vector<uint32_t> expected = transport;
    expected.push_back(0xF8);
    EXPECT_EQ(Echoed(), expected);
    EXPECT_EQ(g_clockInterval, 2u);
    // Without the sync nothing is echoed or acted on.
    backend->ClearSent();
    g_midiSync = 0;
    g_engineReset = 0;
    g_clockCount = 0;
    for (uint32_t m : {0xF8u, 0x0203F2u, 0xFAu, 0xFBu, 0xFCu}) Send(m);
    EXPECT_TRUE(Echoed().empty());
    EXPECT_EQ(g_engineReset.load(), 0);
    EXPECT_EQ(g_clockCount, 0u);
}

TEST_F(MidiPortsTest, EverythingButClockAndSensingLightsTheLamp) {
    const struct {
        uint32_t message;
        bool sync;
        int32_t lamp;
    } cases[] = {{0xF8, false, 0}, {0xF8, true, 0},   {0xFE, false, 0}, {0x403C90, false, 5}, {0x3C80, false, 5},
                 {0x05C0, false, 5}, {0xFA, true, 5}, {0xFC, true, 5}, {0xFA, false, 5},   {0x1000F2, true, 5}};
    g_songPlaying = 1;
    for (const auto& c : cases) {
        g_midiSync = c.sync ? 1 : 0;
        g_midiActivity = 0;
        Send(c.message);
        EXPECT_EQ(g_midiActivity, c.lamp) << std::hex << c.message;
    }
}

TEST_F(MidiPortsTest, NoMessageIsLostInABurst) {
    // Note offs after a burst of notes and clocks: every voice is released.
    g_channelPolyphony[0] = 32;
    g_bufferFrames = 11000;
    g_bufferMs = 250;
    for (int i = 0; i < 32; ++i) backend->InjectWord(NoteOn(0, 40 + i, 100));
    for (int i = 0; i < 500; ++i) backend->InjectWord(0xF8);
    for (int i = 0; i < 32; ++i) backend->InjectWord(NoteOff(0, 40 + i));
    MidiInFlush();
    for (int v = 0; v < kVoices; ++v) EXPECT_EQ(g_voiceMidiKey[v], -1) << v;
}

}  // namespace
