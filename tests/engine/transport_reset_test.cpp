// Transport resets: the stop reset, the play-start reset with its start
// positions and mixer snap, and the chase of the start pattern's commands.
#include "engine/sequencing.h"
#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

using namespace song_fixture;

namespace {

class TransportResetTest : public EngineTest {
protected:
    // Every bank byte set, so that a reset shows which it clears.
    static void FillModulationBank() { std::memset(g_modulationBank, 9, sizeof(g_modulationBank)); }
    static void ExpectBankClearedForSoundsInUse() {
        for (int m = 0; m < kModTargets; ++m) {
            for (int s = 0; s < kSounds; ++s) ASSERT_EQ(g_modulationBank[m][s], 0) << m << " " << s;
            for (int s = kSounds; s < kSoundSlots; ++s) ASSERT_EQ(g_modulationBank[m][s], 9) << m << " " << s;
        }
    }
};

TEST_F(TransportResetTest, StopReleasesEveryNoteAndStopsTheTracks) {
    for (int t = 0; t < kVoices; ++t) {
        g_trackPlaying[t] = 1;
        VoiceState& vs = g_voiceState[t];
        vs.ampGate = vs.filterEnvGate = vs.userEnvGate = 1;
        vs.ampStage = vs.filterEnvStage = vs.userEnvStage = -1;
        vs.noteOnCountdown = 100;
        vs.ampDecayRate = vs.ampReleaseRate = 0x50;
        vs.sound = 3;
    }
    FillModulationBank();
    FullReset();
    for (int t = 0; t < kVoices; ++t) {
        const VoiceState& vs = g_voiceState[t];
        EXPECT_EQ(g_trackPlaying[t], 0u);
        EXPECT_EQ(vs.ampGate, 0);
        EXPECT_EQ(vs.noteOnCountdown, 0) << "a pending note never starts";
        EXPECT_EQ(vs.ampStage, 1);
        EXPECT_EQ(vs.ampDecayRate, 0x1000u);
        EXPECT_EQ(vs.ampReleaseRate, 0x1000u);
        EXPECT_EQ(vs.filterEnvGate, 1) << "filter and user envelopes are left alone";
        EXPECT_EQ(vs.userEnvStage, -1);
        EXPECT_EQ(vs.sound, 3);
    }
    ExpectBankClearedForSoundsInUse();
}

TEST_F(TransportResetTest, StopDuringCaptureLeavesOneSecondOfTail) {
    for (uint32_t captureOn : {0u, 1u}) {
        ResetEngineGlobals();
        g_captureOn = captureOn;
        RequestStart();
        Render(64);
        g_engineReset = kResetStop;
        Render(64);  // the stop; the song-playing word falls, so a second stop follows
        EXPECT_EQ(g_captureCloseCountdown, captureOn != 0 ? 26u : 0u);
        EXPECT_EQ(g_engineReset, kResetStop);
        g_captureCloseCountdown = 20;  // the view's timer counts down meanwhile
        Render(64);
        EXPECT_EQ(g_captureCloseCountdown, captureOn != 0 ? 26u : 20u);
        EXPECT_EQ(g_engineReset, 0);
    }
}

TEST_F(TransportResetTest, StartRequestInSoundModuleModeStops) {
    g_soundModuleMode = 1;
    for (int t = 0; t < kVoices; ++t) g_trackPlaying[t] = 1;
    g_voiceState[0].ampGate = 1;
    g_engineReset = kResetStart;
    Render(1);
    EXPECT_EQ(g_trackPlaying[0], 0u);
    EXPECT_EQ(g_voiceState[0].ampGate, 0);
    EXPECT_EQ(g_voiceState[0].ampStage, 1);
}

struct StartCase {
    const char* name;
    uint32_t orderTop, orderCursor, playFromCursor, editStep, midiStart;
    uint32_t pos, row;
    int32_t clockTicks;
};

TEST_F(TransportResetTest, StartPositions) {
    const StartCase cases[] = {
        {"order cursor, row 0", 2, 3, 0, 9, 0, 5, 0, 0},
        {"from the edit cursor", 2, 3, 1, 9, 0, 5, 9, 0},
        {"after a MIDI start the positions stand", 2, 3, 1, 9, 1, 7, 4, 1},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetEngineGlobals();
        g_orderTop = c.orderTop;
        g_orderCursor = c.orderCursor;
        g_playFromCursor = c.playFromCursor;
        g_editStep = c.editStep;
        g_midiStartPending = c.midiStart;
        for (int t = 0; t < kVoices; ++t) {
            g_trackSongPos[t] = 7;
            g_trackRow[t] = 4;
        }
        PlayStartReset();
        for (int t : {0, 17, 31}) {
            EXPECT_EQ(g_trackSongPos[t], c.pos);
            EXPECT_EQ(g_trackRow[t], c.row);
            EXPECT_EQ(g_trackClockTicks[t], c.clockTicks);
            EXPECT_EQ(g_trackPlaying[t], 1u);
        }
        EXPECT_EQ(g_playFromCursor, 0u);
        EXPECT_EQ(g_midiStartPending, 0u);
    }

    // The next start without the cursor flag begins at row 0 again.
    g_midiStartPending = 0;
    PlayStartReset();
    EXPECT_EQ(g_trackRow[0], 0u);
}

TEST_F(TransportResetTest, StartClearsThePreviousPerformance) {
    for (VoiceState& vs : g_voiceState) {
        vs.ampPeak = vs.ampValue = vs.userEnvPeak = vs.userEnvValue = vs.filterEnvPeak = vs.filterEnvValue = 5;
        vs.positionTranspose = vs.ampGainOffset = vs.filterEnvGainOffset = vs.cutoffOffset = 5;
        vs.sound = vs.osc2Transpose = vs.osc3Transpose = vs.sampleStartPercent = 5;
        vs.lfoPhase = 5;
        vs.tickParity = 1;
        vs.tickCountdown = 500;
        // Left as they are:
        vs.noteOnCountdown = 7;
        vs.ampGate = 1;
        vs.ampStage = -1;
        vs.pendingSound = 7;
        vs.key = 7;
        vs.slideSpeed = 7;
    }
    FillModulationBank();
    g_captureOn = 1;
    g_masterMute = 1;
    g_clockCount = 3;
    PlayStartReset();
    for (const VoiceState& vs : g_voiceState) {
        EXPECT_EQ(vs.ampPeak | vs.ampValue | vs.userEnvPeak | vs.userEnvValue | vs.filterEnvPeak | vs.filterEnvValue, 0u);
        EXPECT_EQ(vs.positionTranspose | vs.ampGainOffset | vs.filterEnvGainOffset | vs.cutoffOffset, 0);
        EXPECT_EQ(vs.sound | vs.osc2Transpose | vs.osc3Transpose | vs.sampleStartPercent, 0);
        EXPECT_EQ(vs.lfoPhase, 0u);
        EXPECT_EQ(vs.tickParity, 0);
        EXPECT_EQ(vs.tickCountdown, 0);
        EXPECT_EQ(vs.noteOnCountdown, 7);
        EXPECT_EQ(vs.ampGate, 1);
        EXPECT_EQ(vs.ampStage, -1);
        EXPECT_EQ(vs.pendingSound, 7);
        EXPECT_EQ(vs.key, 7);
        EXPECT_EQ(vs.slideSpeed, 7);
    }
    ExpectBankClearedForSoundsInUse();
    EXPECT_EQ(g_captureArmed, 1u) << "an armed capture records with the playback";
    EXPECT_EQ(g_masterMute, 0u);
    EXPECT_EQ(g_clockCount, 0u);

    g_captureOn = 0;
    g_captureArmed = 0;
    PlayStartReset();
    EXPECT_EQ(g_captureArmed, 0u);
}

struct SnapCase {
    int32_t volume, pan, send1, send2, master;
    uint32_t busOverride, masterOverride, eq;
    // Expected table indices.
    int volumeIndex, panIndex, send1Index, send2Index, masterIndex;
};

TEST_F(TransportResetTest, StartSnapsTheMixerGainsToTheirTargets) {
    const SnapCase cases[] = {
        {40, -20, 0, 40, 56, 0, 0, 1, 40, 0, 0, 40, 64 + 56},
        {0, 20, 12, 1, 40, 0, 0, 0, 0, 40, 12, 1, 40},
        {56, 0, 40, 0, 0, 0, 0, 1, 56, 20, 40, 0, 64 + 0},
        // Settings outside their ranges are clamped to the tables.
        {70, 30, 99, -5, 60, 0, 0, 7, 56, 40, 40, 0, 64 + 56},
        {-3, -50, -1, 200, -1, 0, 0, 0, 0, 0, 0, 40, 0},
    };
    for (const SnapCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan << " master " << c.master);
        ResetEngineGlobals();
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = c.volume;
            g_mixerSettings.pan[b] = c.pan;
            g_mixerSettings.send1[b] = c.send1;
            g_mixerSettings.send2[b] = c.send2;
        }
        g_mixerSettings.master = c.master;
        g_bassTrebleEq = c.eq;
        g_masterMute = 1;  // cleared first: the master snaps to its setting
        PlayStartReset();
        for (int b = 0; b < kBuses; ++b) {
            EXPECT_EQ(g_masterState.busVolume[b], g_busVolumeTable[c.volumeIndex]) << b;
            EXPECT_EQ(g_masterState.busPan[b], g_panTable[c.panIndex]) << b;
            EXPECT_EQ(g_masterState.busSend1[b], g_sendLevelTable[c.send1Index]) << b;
            EXPECT_EQ(g_masterState.busSend2[b], g_sendLevelTable[c.send2Index]) << b;
        }
        EXPECT_EQ(g_masterState.masterVolume, g_masterVolumeTable[c.masterIndex]);
    }

    // A non-zero override is itself the target.
    g_volumeOverrides.bus[3] = 1;
    g_volumeOverrides.master = 0x1234;
    PlayStartReset();
    EXPECT_EQ(g_masterState.busVolume[3], 1);
    EXPECT_EQ(g_masterState.busVolume[2], g_busVolumeTable[0]);
    EXPECT_EQ(g_masterState.masterVolume, 0x1234);
}

class ChaseTest : public TransportResetTest {
protected:
    void SetUp() override {
        TransportResetTest::SetUp();
        g_patternLength = 16;
        NewPattern(4);
        OrderPattern(2, 4);
        for (VoiceState& vs : g_voiceState) vs.pendingSound = 77;
    }
};

TEST_F(ChaseTest, StartInsideAPatternChasesTheRowsBeforeTheStartRow) {
    // Track 0: instrument at row 2, another at row 4; one at row 6 lies past the
    // start row.
    SetCommands(4, 0, 2, kCmdInstrument, 7);
    SetCommands(4, 0, 4, kCmdInstrument, 9);
    SetCommands(4, 0, 6, kCmdInstrument, 20);
    // Track 1: a sample start after an instrument stays in force.
    SetCommands(4, 1, 1, kCmdInstrument, 3);
    SetCommands(4, 1, 3, kCmdSampleOffset, 60);
    // Track 2: an instrument after a sample start clears it.
    SetCommands(4, 2, 3, kCmdSampleOffset, 60);
    SetCommands(4, 2, 4, kCmdInstrument, 5);
    // Track 3: in one cell command B overrides the same command A.
    SetCommands(4, 3, 0, kCmdCutoffMod, 10, kCmdCutoffMod, 50);
    // Track 4: the offsets, 0.8 v as hi(v x 0xCCCCCCCC): 50 gives 39, 51 gives 40,
    // 95 gives 75.
    SetCommands(4, 4, 0, kCmdCutoffMod, 51, kCmdFilterEnvMod, 50);
    SetCommands(4, 4, 1, kCmdAmpEnvMod, 95, kCmdTranspose, 47);
    // Track 5: commands that act only when played.
    SetCommands(4, 5, 0, kCmdSlide, 50, kCmdVibrato, 35);
    SetCommands(4, 5, 1, kCmdSetVolume, 99, kCmdRetrigger, 1);
    // Track 31: a value beyond the bank's sounds selects none.
    SetCommands(4, 31, 0, kCmdInstrument, 8);
    SetCommands(4, 31, 1, kCmdInstrument, 150);
    g_voiceState[5].lfoPhase = 0;
    g_mixerSettings.volume[0] = 10;

    RequestStart(2, 5);
    Render(1);  // the chase, then row 5 plays in the first frame

    const VoiceState* v = g_voiceState;
    EXPECT_EQ(v[0].sound, 9);
    EXPECT_EQ(v[0].pendingSound, 9);
    EXPECT_EQ(v[1].sound, 3);
    EXPECT_EQ(v[1].sampleStartPercent, 60);
    EXPECT_EQ(v[2].sound, 5);
    EXPECT_EQ(v[2].sampleStartPercent, 0);
    EXPECT_EQ(v[3].cutoffOffset, 39);
    EXPECT_EQ(v[3].sound, 0) << "no instrument chased: the voice stays idle";
    EXPECT_EQ(v[3].pendingSound, 77);
    EXPECT_EQ(v[4].cutoffOffset, 40);
    EXPECT_EQ(v[4].filterEnvGainOffset, 39);
    EXPECT_EQ(v[4].ampGainOffset, 75);
    EXPECT_EQ(v[4].osc2Transpose, 4 * 256);
    EXPECT_EQ(v[4].osc3Transpose, 7 * 256);
    EXPECT_EQ(v[5].slideSpeed, 0);
    EXPECT_EQ(v[5].vibratoRateCmd, 0);
    EXPECT_EQ(g_mixerSettings.volume[0], 10);
    EXPECT_EQ(v[31].sound, 0);
    EXPECT_EQ(v[31].pendingSound, 0);
    EXPECT_EQ(v[0].noteOnCountdown, 0) << "the chase starts no note";
}

TEST_F(ChaseTest, StartAtRowZeroChasesNothing) {
    SetCommands(4, 0, 0, kCmdCutoffMod, 50);
    SetCommands(4, 0, 1, kCmdInstrument, 7);
    g_orderCursor = 2;
    PlayStartReset();
    EXPECT_EQ(g_voiceState[0].sound, 0);
    EXPECT_EQ(g_voiceState[0].cutoffOffset, 0);
}

TEST_F(ChaseTest, StartRowPastThePatternChasesItsRowsOnly) {
    for (int t = 0; t < kVoices; ++t) SetCommands(4, t, 15, kCmdInstrument, 11);
    RequestStart(2, 40);
    Render(1);
    EXPECT_EQ(g_voiceState[31].sound, 11);
    // Rows past the length would take the value and note planes for commands
    // (the value 11 of row 15 read as command E).
    EXPECT_EQ(g_voiceState[31].ampGainOffset, 0);
}

TEST_F(ChaseTest, StartWithoutAPatternChasesNothing) {
    SetCommands(4, 0, 0, kCmdInstrument, 7);
    g_patterns[4] = nullptr;
    for (uint32_t pos : {2u, 3u, 230u}) {  // missing pattern, empty position, beyond the list
        SCOPED_TRACE(pos);
        if (pos == 3) g_songOrder[3] = 150;
        RequestStart(pos, 5);
        Render(1);
        EXPECT_EQ(g_voiceState[0].sound, 0);
        EXPECT_EQ(g_trackPlaying[0], 0u) << "the sequencer stops the track at its first step";
    }
}

}  // namespace
