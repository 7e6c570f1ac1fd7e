// Automation lanes: the lane byte of each row and half-row tick, playback into
// the modulation bank, recording from the dragged knob, and the knob rules.
#include "tests/engine/engine_fixture.h"

using namespace song_fixture;

namespace {

class AutomationTest : public EngineTest {
protected:
    static constexpr uint32_t kTarget = kModFilterCutoff;
    static constexpr uint32_t kSound = 5;

    void SetUp() override {
        EngineTest::SetUp();
        g_automationOn = 1;
        Assign(0, kTarget, kSound, 1);
    }
    static void Assign(int knob, uint32_t target, uint32_t sound, uint32_t enabled) {
        g_knobParam[knob] = target;
        g_knobSound[knob] = sound;
        g_knobEnabled[knob] = enabled;
    }
    static uint8_t Offset() { return g_modulationBank[kTarget][kSound]; }
    static void Drag(uint32_t knob, uint32_t value) {
        g_dragKnob.index = knob;
        g_dragKnob.value = value;
        g_dragKnob.dragging = 1;
    }
};

struct LaneCase {
    uint32_t pos, row, length;
    bool doubled;
    uint32_t rowByte;  // lane byte of the row tick; the half-row tick uses the next
};

TEST_F(AutomationTest, RowAndHalfRowTicksPlayAndRecordTheirLaneBytes) {
    const LaneCase cases[] = {
        {3, 5, 16, false, 3 * 256 + 5 * 2},       // 778 and 779
        {3, 5, 16, true, 778},                    // half a row of the doubled steps
        {0, 127, 128, false, 254},                // the half-row after row 127 uses byte 255
        {198, 127, 128, false, 198 * 256 + 254},  // the lane's last two bytes
    };
    for (const LaneCase& c : cases) {
        for (bool record : {false, true}) {
            SCOPED_TRACE(testing::Message() << "pos " << c.pos << " row " << c.row << " doubled " << c.doubled
                                            << (record ? " recording" : " playing"));
            SetUp();
            g_patternLength = c.length;
            NewPattern(0);
            OrderPattern(static_cast<int>(c.pos), 0);
            g_doubleStepsPerBeat = c.doubled ? 1 : 0;
            uint8_t* lane = g_tweakLaneData[0];
            lane[c.rowByte] = 11;
            lane[c.rowByte + 1] = 22;
            if (record) Drag(0, 33);
            const uint32_t tick = FramesPerRow(120, 4, c.doubled) / 2;  // R + 1 frames

            RequestStart(c.pos, c.row);
            Render(1);
            EXPECT_EQ(Offset(), record ? 33 : 11) << "row tick";
            EXPECT_EQ(lane[c.rowByte], record ? 33 : 11);
            EXPECT_EQ(lane[c.rowByte + 1], 22);
            RenderFrames(tick - 1);
            EXPECT_EQ(Offset(), record ? 33 : 11);
            if (record) g_dragKnob.value = 44;
            RenderFrames(1);
            EXPECT_EQ(Offset(), record ? 44 : 22) << "half-row tick";
            EXPECT_EQ(lane[c.rowByte + 1], record ? 44 : 22);
            EXPECT_EQ(lane[c.rowByte - 1], 0);
            if (c.rowByte + 2 < static_cast<uint32_t>(kLaneBytes)) {
                EXPECT_EQ(lane[c.rowByte + 2], 0);
            }
        }
    }
}

TEST_F(AutomationTest, UnderMidiSyncOnlyEvenBytesAreUsed) {
    g_midiSync = 1;
    uint8_t* lane = g_tweakLaneData[0];
    for (int b = 0; b < 8; ++b) lane[b] = static_cast<uint8_t>(10 + b);
    g_midiStartPending = 1;
    g_engineReset = kResetStart;
    Render(1);
    EXPECT_EQ(Offset(), 10);
    g_trackClockTicks[0] = 1;
    Render(100);
    EXPECT_EQ(Offset(), 12);
    Drag(0, 50);
    g_trackClockTicks[0] = 1;
    Render(1);
    EXPECT_EQ(lane[4], 50);
    EXPECT_EQ(lane[3], 13);
    EXPECT_EQ(lane[5], 15);
}

TEST_F(AutomationTest, KnobsOnTheSameTargetHigherIndexWins) {
    struct Case {
        uint32_t enabled0, enabled1;
        uint8_t offset;
    };
    const Case cases[] = {{1, 0, 0}, {0, 1, 55}, {1, 1, 55}, {0, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "knob 0 " << c.enabled0 << ", knob 1 " << c.enabled1);
        SetUp();
        Assign(0, kTarget, kSound, c.enabled0);
        Assign(1, kTarget, kSound, c.enabled1);
        g_tweakLaneData[0][0] = 44;
        g_tweakLaneData[1][0] = 55;
        RequestStart();
        Render(1);
        EXPECT_EQ(Offset(), c.offset) << "a knob whose lane is off writes 0";
    }
}

TEST_F(AutomationTest, DraggingAKnobWhoseLaneIsOffRecordsUntilReleased) {
    Assign(3, kModAmpGain, 7, 0);
    RequestStart();
    Render(1);
    Drag(3, 30);
    RenderFrames(FramesPerRow(120) / 2);  // the half-row tick
    EXPECT_EQ(g_modulationBank[kModAmpGain][7], 30);
    EXPECT_EQ(g_tweakLaneData[3][1], 30);
    g_dragKnob.dragging = 0;
    RenderFrames(FramesPerRow(120) / 2 - 1);
    EXPECT_EQ(g_modulationBank[kModAmpGain][7], 30);
    RenderFrames(1);
    EXPECT_EQ(g_modulationBank[kModAmpGain][7], 0) << "released: the offset goes back at the next tick";
    EXPECT_EQ(g_tweakLaneData[3][2], 0);
}

TEST_F(AutomationTest, SwitchedOffTheEngineNeitherReadsNorWrites) {
    g_tweakLaneData[0][0] = 11;
    RequestStart();
    g_automationOn = 0;
    Drag(0, 33);
    Render(1);
    g_modulationBank[kTarget][kSound] = 9;
    RenderFrames(FramesPerRow(120) * 2);
    EXPECT_EQ(Offset(), 9);
    EXPECT_EQ(g_tweakLaneData[0][0], 11);
    EXPECT_EQ(g_tweakLaneData[0][1], 0);
}

TEST_F(AutomationTest, PositionBeyondTheLanesPlaysAndRecordsNothing) {
    OrderPattern(199, 0);
    Drag(0, 33);
    Assign(1, kModAmpGain, 7, 0);
    RequestStart(199);
    Render(1);
    EXPECT_EQ(g_trackPlaying[0], 1u);
    EXPECT_EQ(Offset(), 0);
    EXPECT_EQ(g_modulationBank[kModAmpGain][7], 0);
}

TEST_F(AutomationTest, AssignmentsOutsideTheBankAreIgnored) {
    Assign(1, kModTargets, kSound, 1);
    Assign(2, 0xFFFFFFFF, kSound, 0);
    Assign(3, kTarget, kSoundSlots, 1);
    Assign(4, kTarget, 0xFFFFFFFF, 0);
    Drag(2, 70);
    for (int k = 0; k < 5; ++k) g_tweakLaneData[k][0] = static_cast<uint8_t>(20 + k);
    RequestStart();
    Render(1);
    uint8_t bank[kModTargets][kSoundSlots];
    std::memcpy(bank, g_modulationBank, sizeof(bank));
    EXPECT_EQ(bank[kTarget][kSound], 20) << "knob 0 plays";
    bank[kTarget][kSound] = 0;
    for (int m = 0; m < kModTargets; ++m)
        for (int s = 0; s < kSoundSlots; ++s) EXPECT_EQ(bank[m][s], 0) << m << " " << s;
    EXPECT_EQ(g_tweakLaneData[2][0], 22) << "nothing recorded for a broken knob";
}

}  // namespace
