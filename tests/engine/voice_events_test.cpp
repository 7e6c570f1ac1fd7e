// Voice event queues: what each event code does to its voice, the frame at which
// it acts, and the preview writers with their positions.
#include <cstring>

#include "engine/event_queue.h"
#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

namespace {

class VoiceEventTest : public EngineTest {
protected:
    static void Put(int lane, uint32_t pos, uint8_t code, uint8_t key = 0, uint8_t sound = 0, uint8_t value = 0,
                    uint8_t offset = 0) {
        VoiceEventQueue& q = g_voiceEvents;
        q.key[lane][pos] = key;
        q.sound[lane][pos] = sound;
        q.value[lane][pos] = value;
        q.offset[lane][pos] = offset;
        q.code[lane][pos] = code;
    }
    static bool SlotEmpty(int lane, uint32_t pos) {
        const VoiceEventQueue& q = g_voiceEvents;
        return (q.code[lane][pos] | q.key[lane][pos] | q.sound[lane][pos] | q.value[lane][pos] |
                q.offset[lane][pos]) == 0;
    }
    // The preview clock reads `now` milliseconds; the period began at `start`.
    static void ClockAt(uint32_t start, uint32_t now) {
        g_bufferStartTime = start;
        SetClockForTest([now] { return now; });
    }
};

struct NoteOnCase {
    int32_t soundBefore;
    int32_t stageBefore;
    uint8_t eventSound;
    int32_t sound, pendingSound, stage;
    uint32_t sustain;
};

TEST_F(VoiceEventTest, NoteOnLoadsThePendingNoteAndFadesTheOldOne) {
    const NoteOnCase cases[] = {
        {0, 0, 7, 7, 7, -1, 0},             // idle voice takes the sound; attack: no sustain
        {4, -1, 7, 4, 7, -1, 0x5555},       // sounding voice keeps its sound until the note start
        {4, 1, 7, 4, 7, 1, 0x5555},         // a release stays a release
        {4, 2, 7, 4, 7, -1, 0x5555},
        {0, 1, 200, 0, 0, 1, 0x5555},       // a sound beyond the bank is no sound
    };
    for (const NoteOnCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "sound " << c.soundBefore << " stage " << c.stageBefore);
        ResetEngineGlobals();
        VoiceState& vs = g_voiceState[9];
        vs.sound = c.soundBefore;
        vs.ampStage = c.stageBefore;
        vs.ampSustainLevel = 0x5555;
        vs.ampGate = 1;
        vs.cutoffOffset = vs.filterEnvGainOffset = vs.osc2Transpose = vs.osc3Transpose = vs.slideSpeed = 3;
        vs.sampleStartPercent = 3;
        Put(9, 1234, kVoiceEventNoteOn, 60, c.eventSound, 48, 20);
        ReadVoiceEvents(9, 1234);
        EXPECT_EQ(vs.sound, c.sound);
        EXPECT_EQ(vs.pendingSound, c.pendingSound);
        EXPECT_EQ(vs.pendingKey, 60);
        EXPECT_EQ(vs.pendingGlideFrom, 48 * 256);
        EXPECT_EQ(vs.ampDecayRate, 0x4000u);
        EXPECT_EQ(vs.ampReleaseRate, 0x4000u);
        EXPECT_EQ(vs.ampGate, 0);
        EXPECT_EQ(vs.ampStage, c.stage);
        EXPECT_EQ(vs.ampSustainLevel, c.sustain);
        EXPECT_EQ(vs.ampGainOffset, 20);
        EXPECT_EQ(vs.cutoffOffset | vs.filterEnvGainOffset | vs.osc2Transpose | vs.osc3Transpose | vs.slideSpeed, 0);
        EXPECT_EQ(vs.sampleStartPercent, 3);
        EXPECT_EQ(vs.noteOnCountdown, 240);
        EXPECT_EQ(vs.fading, 1u);
        EXPECT_EQ(vs.resonanceHalved, 1);
        EXPECT_TRUE(SlotEmpty(9, 1234));
    }
}

TEST_F(VoiceEventTest, QueuedNoteOnActsAtItsFrame) {
    g_cursorColumn = 14;  // third visible track
    g_firstTrack = 1;
    ClockAt(5000, 5010);  // 10 ms into the period: position 440
    // Sound 0 keeps the voice idle, so that only the intake moves the countdown.
    QueueNoteOn(0, 0x100 + 60);
    ASSERT_EQ(g_voiceEvents.code[3][440], kVoiceEventNoteOn);
    Render(440, 0);
    EXPECT_EQ(g_voiceState[3].noteOnCountdown, 0);
    EXPECT_EQ(g_voiceEvents.code[3][440], kVoiceEventNoteOn);
    Render(1, 440);
    EXPECT_EQ(g_voiceState[3].noteOnCountdown, 240);
    EXPECT_EQ(g_voiceState[3].pendingKey, 60) << "the key's low byte";
    EXPECT_TRUE(SlotEmpty(3, 440));
}

TEST_F(VoiceEventTest, NoteOffOfThePendingKeyCancelsTheStart) {
    Put(2, 100, kVoiceEventNoteOn, 60);
    Put(2, 300, kVoiceEventNoteOff, 60);
    Render(300, 0);
    EXPECT_EQ(g_voiceState[2].noteOnCountdown, 240);
    Render(1, 300);
    const VoiceState& vs = g_voiceState[2];
    EXPECT_EQ(vs.noteOnCountdown, 0) << "the note never starts";
    EXPECT_EQ(vs.ampGate | vs.filterEnvGate | vs.userEnvGate, 0);
    EXPECT_EQ(vs.ampStage, 1);
    EXPECT_EQ(vs.filterEnvStage, 1);
    EXPECT_EQ(vs.userEnvStage, 1);
    EXPECT_TRUE(SlotEmpty(2, 300));
}

TEST_F(VoiceEventTest, MismatchedNoteOffReleasesOnePeriodLater) {
    VoiceState& vs = g_voiceState[2];
    vs.pendingKey = 60;
    vs.ampGate = vs.filterEnvGate = vs.userEnvGate = 1;
    vs.noteOnCountdown = 100;
    Put(2, 100, kVoiceEventNoteOff, 61);
    Render(101, 0);
    EXPECT_EQ(vs.ampGate, 1);
    EXPECT_EQ(vs.noteOnCountdown, 100);
    EXPECT_EQ(g_voiceEvents.code[2][100], kVoiceEventRelease);
    EXPECT_EQ(g_voiceEvents.key[2][100], 61);

    Render(100, 0);  // the next period, up to the frame before
    EXPECT_EQ(vs.ampGate, 1);
    Render(1, 100);
    EXPECT_EQ(vs.ampGate | vs.filterEnvGate | vs.userEnvGate, 0);
    EXPECT_EQ(vs.ampStage, 1);
    EXPECT_EQ(vs.noteOnCountdown, 0);
    EXPECT_EQ(g_voiceEvents.code[2][100], 0);
}

TEST_F(VoiceEventTest, ClockStepCountsOnlyForAPlayingTrackUnderSync) {
    for (uint32_t sync : {0u, 1u}) {
        for (uint32_t playing : {0u, 1u}) {
            g_midiSync = sync;
            g_trackPlaying[5] = playing;
            g_trackClockTicks[5] = 0;
            Put(5, 7, kVoiceEventClock);
            ReadVoiceEvents(5, 7);
            EXPECT_EQ(g_trackClockTicks[5], sync && playing ? 1 : 0) << sync << playing;
            EXPECT_EQ(g_voiceEvents.code[5][7], 0);
        }
    }
}

TEST_F(VoiceEventTest, UnknownCodesAreClearedWithoutEffect) {
    for (uint8_t code : {5, 99, 255}) {
        g_voiceState[1].pendingKey = 60;
        VoiceState before;
        std::memcpy(static_cast<void*>(&before), &g_voiceState[1], sizeof(before));
        Put(1, 0, code, 60, 7);
        ReadVoiceEvents(1, 0);
        EXPECT_EQ(g_voiceEvents.code[1][0], 0) << int{code};
        EXPECT_EQ(std::memcmp(&before, &g_voiceState[1], sizeof(before)), 0) << int{code};
    }
}

struct PositionCase {
    uint32_t bufferFrames, start, now, pos;
};

TEST_F(VoiceEventTest, PositionsStayInsideThePeriod) {
    const PositionCase cases[] = {
        {11000, 1000, 1010, 440},
        {11000, 1000, 1300, 10999},     // later than the period: its last position
        {1024, 1000, 1030, 1023},       // a short period in a long buffer time
        {0, 1000, 1010, 0},             // no period yet
        {11000, 0xFFFFFFF0, 4, 880},    // across the clock's wrap: 20 ms
        {11000, 1000, 999, 10999},      // a period start after the reading
        {30000, 1000, 1300, 11024},     // never beyond the queues
    };
    for (const PositionCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "frames " << c.bufferFrames << " now " << c.now);
        ResetEngineGlobals();
        g_bufferFrames = c.bufferFrames;
        ClockAt(c.start, c.now);
        EXPECT_EQ(EventPosition(), c.pos);
        QueueNoteOn(3, 60);
        EXPECT_EQ(g_voiceEvents.code[0][c.pos], kVoiceEventNoteOn);
        ClockAt(c.start, c.now + 2000);
        QueueNoteOff();
        const uint32_t last = c.bufferFrames == 0 ? 0 : std::min<uint32_t>(c.bufferFrames, 11025) - 1;
        EXPECT_EQ(g_voiceEvents.code[0][last], kVoiceEventNoteOff) << "a late key-up lands on the last position";
    }
}

TEST_F(VoiceEventTest, LateKeyUpInAShortPeriodStillReleases) {
    // A 1,024-frame period while the buffer time says 250 ms: a key-up 30 ms
    // after the period began must still fall inside it.
    g_bufferMs = 250;
    g_bufferFrames = 1024;
    ClockAt(0, 0);
    QueueNoteOn(0, 60);
    ClockAt(0, 30);
    QueueNoteOff();
    Render(1024, 0);
    EXPECT_EQ(g_voiceState[0].noteOnCountdown, 0);
    EXPECT_EQ(g_voiceState[0].ampStage, 1);
    for (int p = 0; p < kPeriodPositions; ++p) ASSERT_EQ(g_voiceEvents.code[0][p], 0) << p;
}

TEST_F(VoiceEventTest, OnePreviewNoteAtATime) {
    ClockAt(0, 1);  // position 44
    QueueNoteOn(7, 60);
    EXPECT_EQ(g_previewPending, 1u);
    EXPECT_EQ(g_voiceEvents.code[0][44], kVoiceEventNoteOn);
    EXPECT_EQ(g_voiceEvents.sound[0][44], 7);
    EXPECT_EQ(g_voiceEvents.key[0][44], 60);

    g_cursorColumn = 7;  // the cursor moves to track 1
    ClockAt(0, 2);
    QueueNoteOn(7, 62);
    EXPECT_EQ(g_voiceEvents.code[1][88], 0) << "a second key-down writes nothing";
    QueueNoteOff();
    EXPECT_EQ(g_voiceEvents.code[0][88], kVoiceEventNoteOff) << "to the lane of the note-on";
    EXPECT_EQ(g_voiceEvents.key[0][88], 60);
    EXPECT_EQ(g_previewPending, 0u);
    ClockAt(0, 3);
    QueueNoteOff();
    EXPECT_EQ(g_voiceEvents.code[0][132], 0) << "no note pending";
}

TEST_F(VoiceEventTest, PreviewOffWritesNothing) {
    for (int which = 0; which < 2; ++which) {
        ResetEngineGlobals();
        ClockAt(0, 1);
        g_previewPending = 1;
        if (which == 0) g_previewNote = 0;
        else g_freeAudioDevWhenStopped = 1;
        QueueNoteOn(7, 60);
        EXPECT_EQ(g_previewPending, 0u);
        QueueNoteOff();
        for (int p = 0; p < kPeriodPositions; ++p) ASSERT_EQ(g_voiceEvents.code[0][p], 0) << p;
    }
}

TEST_F(VoiceEventTest, ClearEmptiesEveryLane) {
    for (int v : {0, 13, 31})
        for (uint32_t p : {0u, 5000u, 11024u}) Put(v, p, kVoiceEventNoteOn, 1, 2, 3, 4);
    ClearEventQueues();
    const auto* bytes = reinterpret_cast<const uint8_t*>(&g_voiceEvents);
    for (size_t i = 0; i < sizeof(g_voiceEvents); ++i) ASSERT_EQ(bytes[i], 0) << i;
}

}  // namespace
