// The render call: test tone, request dispatch, polyphony exits, exit rules.
#include <algorithm>
#include <cstdlib>

#include "tests/engine/engine_fixture.h"

namespace {

class RenderCallTest : public EngineTest {};

// The tone sample of one frame, from the phase and level before that frame's step.
int16_t ToneSample(uint32_t phase, int32_t level) {
    const int64_t s = static_cast<int64_t>(g_sineTable[phase >> 19]) * level;
    return static_cast<int16_t>(static_cast<uint64_t>(s) >> 48);
}

TEST_F(RenderCallTest, TestToneFadesInToPeak5120InBothChannels) {
    g_testSignal = 1;
    std::vector<uint32_t> out = Render(4000);
    int32_t level = 0;
    uint32_t phase = 0;
    int peak = 0;
    for (uint32_t i = 0; i < out.size(); ++i) {
        const int16_t expected = ToneSample(phase, level);
        ASSERT_EQ(Left(out[i]), expected) << "frame " << i;
        ASSERT_EQ(Right(out[i]), expected) << "frame " << i;
        phase += 0x028DDFB9u;
        level = std::min(level + 0x200000, 0x50000000);
        if (i >= 640) peak = std::max(peak, std::abs(static_cast<int>(expected)));
    }
    // 640 steps of 0x200000 reach 0x50000000; sine x 2^30 at that level peaks at
    // 2^30 x 0x50000000 / 2^48 = 5,120.
    EXPECT_EQ(g_testToneLevel, 0x50000000);
    EXPECT_GE(peak, 5100);
    EXPECT_LE(peak, 5120);
    EXPECT_EQ(g_testTonePhase, 4000u * 0x028DDFB9u);
    EXPECT_EQ(Left(out[0]), 0);  // the first frame uses level 0
}

TEST_F(RenderCallTest, TestToneLevelAfter640FramesAndFadeOut) {
    g_testSignal = 1;
    Render(639);
    EXPECT_EQ(g_testToneLevel, 639 * 0x200000);
    Render(1);
    EXPECT_EQ(g_testToneLevel, 0x50000000);
    Render(10);
    EXPECT_EQ(g_testToneLevel, 0x50000000);

    // Off mid-way: the level falls 0x200000 per frame; once 0 the rest of the call
    // is silence.
    g_testSignal = 0;
    std::vector<uint32_t> out = Render(1000);
    EXPECT_EQ(g_testToneLevel, 0);
    EXPECT_NE(out[100], 0u);
    for (uint32_t i = 640; i < out.size(); ++i) ASSERT_EQ(out[i], 0u) << i;
}

TEST_F(RenderCallTest, RequestsWaitWhileTheToneSounds) {
    g_testSignal = 1;
    Render(100);
    g_engineReset = kResetStart;
    g_testSignal = 0;
    Render(600);  // still fading out: level 100 x 0x200000 - 600 steps hits 0 after 100
    EXPECT_EQ(g_testToneLevel, 0);
    EXPECT_EQ(g_engineReset, kResetStart) << "a test-tone call serves no request";
    Render(64);
    EXPECT_EQ(g_engineReset, 0) << "the first normal call serves it";
}

TEST_F(RenderCallTest, TempoZeroBecomesOneAlsoInToneCalls) {
    g_tempo = 0;
    Render(4);
    EXPECT_EQ(g_tempo, 1u);
    g_tempo = 0;
    g_testSignal = 1;
    Render(4);
    EXPECT_EQ(g_tempo, 1u);
}

TEST_F(RenderCallTest, NormalPathIsSilentAndLeavesMixBufferZero) {
    for (uint32_t frames : {1u, 3u, 88u, 4096u, 11025u}) {
        std::vector<uint32_t> out = Render(frames);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](uint32_t w) { return w == 0; }));
        EXPECT_TRUE(MixBufferIsZero());
    }
    Render(25, 11000);  // a late sub-block of a period
    EXPECT_TRUE(MixBufferIsZero());
}

struct SongPlayingCase {
    uint32_t polyphony;
    int playingTrack;
    uint32_t expected;
};

TEST_F(RenderCallTest, SongPlayingIsTheOrOfTheTracksInUse) {
    const SongPlayingCase cases[] = {
        {0, 0, 1},  {0, 1, 0},  {1, 3, 1},  {1, 4, 0},  {2, 7, 1},   {2, 8, 0},
        {3, 15, 1}, {3, 16, 0}, {4, 23, 1}, {4, 24, 0}, {5, 31, 1},  {6, 31, 1},
        {99, 31, 1},
    };
    for (const auto& c : cases) {
        ResetEngineGlobals();
        g_polyphony = c.polyphony;
        g_trackPlaying[c.playingTrack] = 1;
        Render(8);
        EXPECT_EQ(g_songPlaying, c.expected) << "polyphony " << c.polyphony << " track " << c.playingTrack;
    }
}

TEST_F(RenderCallTest, FallToZeroWritesOneStopRequest) {
    g_trackPlaying[5] = 1;
    Render(16);
    EXPECT_EQ(g_songPlaying, 1u);
    EXPECT_EQ(g_engineReset, 0);

    g_trackPlaying[5] = 0;
    Render(16);
    EXPECT_EQ(g_songPlaying, 0u);
    EXPECT_EQ(g_engineReset, kResetStop);

    Render(16);  // serves the stop; still 0, so no further request
    EXPECT_EQ(g_engineReset, 0);
    Render(16);
    EXPECT_EQ(g_engineReset, 0);
}

TEST_F(RenderCallTest, LoweringPolyphonyCanStopTheSong) {
    g_trackPlaying[20] = 1;
    Render(8);
    EXPECT_EQ(g_songPlaying, 1u);
    g_polyphony = 2;  // 8 voices: track 20 no longer counts
    Render(8);
    EXPECT_EQ(g_songPlaying, 0u);
    EXPECT_EQ(g_engineReset, kResetStop);
}

TEST_F(RenderCallTest, StopRequestNeverOverwritesAPendingStart) {
    // A start request written during the call in which the song ends must survive
    // the engine's own stop request. The tone path leaves requests untouched, so a
    // tone call with a pending start shows the exit's rule.
    g_trackPlaying[0] = 1;
    Render(8);
    g_trackPlaying[0] = 0;
    g_testSignal = 1;
    g_engineReset = kResetStart;
    Render(8);
    EXPECT_EQ(g_songPlaying, 0u);
    EXPECT_EQ(g_engineReset, kResetStart);
}

TEST_F(RenderCallTest, PatternCueClearedOnlyWhenDoneIsOne) {
    g_patternCue = 1;
    g_patternCueDone = 1;
    Render(4);
    EXPECT_EQ(g_patternCue, 0u);
    EXPECT_EQ(g_patternCueDone, 0u);

    g_patternCue = 1;
    g_patternCueDone = 2;
    Render(4);
    EXPECT_EQ(g_patternCue, 1u);
    EXPECT_EQ(g_patternCueDone, 2u);
}

TEST_F(RenderCallTest, VoicesAboveTheLimitStandStillAndRejoinInStep) {
    g_polyphony = 0;
    Render(3);
    Render(6);
    EXPECT_EQ(g_voiceState[0].chunkPhase, g_masterState.chunkPhase);
    EXPECT_EQ(g_voiceState[1].chunkPhase, 0);
    EXPECT_EQ(g_voiceState[31].chunkCount, 0);
    EXPECT_EQ(g_masterState.chunkPhase, 9 % 4);

    g_polyphony = 5;
    Render(5);
    for (int v = 0; v < kVoices; ++v) EXPECT_EQ(g_voiceState[v].chunkPhase, g_masterState.chunkPhase) << v;
    EXPECT_TRUE(MixBufferIsZero());
}

TEST_F(RenderCallTest, MasterCountersAdvanceEveryFrame) {
    Render(33);
    EXPECT_EQ(g_masterState.chunkPhase, 33 % 4);
    EXPECT_EQ(g_masterState.meterPhase, 8 % 8);  // 8 chunk starts in 33 frames
    EXPECT_EQ(g_voiceState[7].chunkCount, 8 % 4);
}

}  // namespace
