// Pattern commands: each command's effect on the track's voice or on the mixer
// settings of its sound's bus.
#include <vector>

#include "engine/sequencing.h"
#include "tests/engine/engine_fixture.h"

namespace {

class PatternCommandTest : public EngineTest {
protected:
    static constexpr int kVoice = 4;
    static constexpr int kSound = 6;  // on mixer channel 3: bus 2

    void SetUp() override {
        EngineTest::SetUp();
        g_soundBank[kParamChannel][kSound] = 3;
        VoiceState& vs = g_voiceState[kVoice];
        vs.pendingSound = kSound;
        vs.sampleStartPercent = 33;
        vs.slideSpeed = 66;
        vs.lfoPhase = 0x1234;
        vs.filterEnvStage = vs.userEnvStage = -1;
        vs.filterEnvAttackPhase = vs.filterEnvDecayPhase = vs.filterEnvReleasePhase = 5;
        vs.userEnvAttackPhase = vs.userEnvDecayPhase = vs.userEnvReleasePhase = 5;
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = 40;
            g_mixerSettings.pan[b] = 7;
            g_mixerSettings.send1[b] = 9;
            g_mixerSettings.send2[b] = 9;
        }
    }
};

using Field = int64_t (*)(const VoiceState&);
struct FieldValue {
    Field get;
    const char* name;
    int64_t value;
};
#define FIELD(f) +[](const VoiceState& v) { return static_cast<int64_t>(v.f); }, #f

struct VoiceCommandCase {
    uint32_t code;
    uint32_t value;
    int32_t soundBefore;
    std::vector<FieldValue> expect;
};

TEST_F(PatternCommandTest, VoiceCommands) {
    const VoiceCommandCase cases[] = {
        {kCmdTranspose, 47, 0, {{FIELD(osc2Transpose), 4 * 256}, {FIELD(osc3Transpose), 7 * 256}}},
        {kCmdTranspose, 0, 0, {{FIELD(osc2Transpose), 0}, {FIELD(osc3Transpose), 0}}},
        {kCmdInstrument, 12, 0, {{FIELD(pendingSound), 12}, {FIELD(sound), 12}, {FIELD(sampleStartPercent), 0}}},
        {kCmdInstrument, 12, 5, {{FIELD(pendingSound), 12}, {FIELD(sound), 5}, {FIELD(sampleStartPercent), 0}}},
        {kCmdInstrument, 0, 0, {{FIELD(pendingSound), 0}, {FIELD(sound), 0}}},
        {kCmdInstrument, 0, 5, {{FIELD(pendingSound), 0}, {FIELD(sound), 5}}},
        {kCmdInstrument, 103, 0, {{FIELD(pendingSound), 103}, {FIELD(sound), 103}}},
        // A value beyond the bank's 104 sounds selects no sound.
        {kCmdInstrument, 104, 0, {{FIELD(pendingSound), 0}, {FIELD(sound), 0}}},
        {kCmdInstrument, 255, 5, {{FIELD(pendingSound), 0}, {FIELD(sound), 5}}},
        // ((99 - v) >> 2) + 55
        {kCmdSlide, 0, 0, {{FIELD(slideSpeed), 66}}},
        {kCmdSlide, 1, 0, {{FIELD(slideSpeed), 79}}},
        {kCmdSlide, 50, 0, {{FIELD(slideSpeed), (49 >> 2) + 55}}},
        {kCmdSlide, 99, 0, {{FIELD(slideSpeed), 55}}},
        {kCmdVibrato, 30, 0, {{FIELD(vibratoDepthCmd), 24}, {FIELD(vibratoRateCmd), 0}}},
        {kCmdVibrato, 35, 0, {{FIELD(vibratoDepthCmd), 24}, {FIELD(vibratoRateCmd), 40}}},
        // hi(v x 0xCCCCCCCC): 0.8 v, one less at the non-zero multiples of 5.
        {kCmdCutoffMod, 1, 0, {{FIELD(cutoffOffset), 0}}},
        {kCmdCutoffMod, 2, 0, {{FIELD(cutoffOffset), 1}}},
        {kCmdCutoffMod, 5, 0, {{FIELD(cutoffOffset), 3}}},
        {kCmdCutoffMod, 50, 0, {{FIELD(cutoffOffset), 39}}},
        {kCmdCutoffMod, 99, 0, {{FIELD(cutoffOffset), 79}}},
        {kCmdFilterEnvMod, 51, 0, {{FIELD(filterEnvGainOffset), 40}}},
        {kCmdAmpEnvMod, 95, 0, {{FIELD(ampGainOffset), 75}}},
        {kCmdSampleOffset, 42, 0, {{FIELD(sampleStartPercent), 42}}},
        {kCmdRetrigger, 1, 0, {{FIELD(lfoPhase), 0}, {FIELD(filterEnvStage), -1}, {FIELD(userEnvStage), -1}}},
        {kCmdRetrigger,
         2,
         0,
         {{FIELD(filterEnvStage), 0},
          {FIELD(filterEnvAttackPhase), 0},
          {FIELD(filterEnvDecayPhase), 0},
          {FIELD(filterEnvReleasePhase), 0},
          {FIELD(filterEnvGate), 1},
          {FIELD(userEnvStage), -1},
          {FIELD(userEnvGate), 0},
          {FIELD(lfoPhase), 0x1234}}},
        {kCmdRetrigger,
         3,
         0,
         {{FIELD(userEnvStage), 0},
          {FIELD(userEnvAttackPhase), 0},
          {FIELD(userEnvDecayPhase), 0},
          {FIELD(userEnvReleasePhase), 0},
          {FIELD(userEnvGate), 1},
          {FIELD(filterEnvStage), -1},
          {FIELD(filterEnvGate), 0}}},
        {kCmdRetrigger,
         4,
         0,
         {{FIELD(lfoPhase), 0x1234}, {FIELD(filterEnvStage), -1}, {FIELD(userEnvStage), -1}, {FIELD(filterEnvGate), 0}}},
    };
    for (const VoiceCommandCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.code << " value " << c.value);
        SetUp();
        g_voiceState[kVoice].sound = c.soundBefore;
        RunPatternCommand(kVoice, c.code, c.value);
        for (const FieldValue& f : c.expect) EXPECT_EQ(f.get(g_voiceState[kVoice]), f.value) << f.name;
    }
}

struct MixerCommandCase {
    uint32_t code;
    uint32_t value;
    int32_t volumeBefore;
    int32_t volume, pan, send1, send2;  // bus 2 afterwards
};

TEST_F(PatternCommandTest, MixerCommandsWriteTheBusOfTheSelectedSound) {
    const MixerCommandCase cases[] = {
        {kCmdSetVolume, 99, 40, 56, 7, 9, 9},  // 99 x 256 / 452
        {kCmdSetVolume, 50, 40, 28, 7, 9, 9},
        {kCmdSetVolume, 0, 40, 0, 7, 9, 9},
        {kCmdVolumeUp, 99, 40, 40, 7, 9, 9},  // 40 + 24 passes 56: dropped
        {kCmdVolumeUp, 60, 40, 55, 7, 9, 9},  // 40 + 15
        {kCmdVolumeUp, 67, 40, 56, 7, 9, 9},  // 40 + 16
        {kCmdVolumeDown, 8, 1, 1, 7, 9, 9},   // 1 - 2 is negative: dropped
        {kCmdVolumeDown, 7, 1, 0, 7, 9, 9},   // 1 - 1
        {kCmdSetPan, 0, 40, 40, -20, 9, 9},   // v x 256 / 633 - 20
        {kCmdSetPan, 50, 40, 40, 0, 9, 9},
        {kCmdSetPan, 99, 40, 40, 20, 9, 9},
        {kCmdSend1, 99, 40, 40, 7, 40, 9},  // v x 256 / 633
        {kCmdSend2, 50, 40, 40, 7, 9, 20},
        // Values beyond 99 stay inside the settings' ranges.
        {kCmdSetVolume, 255, 40, 56, 7, 9, 9},
        {kCmdSetPan, 255, 40, 40, 20, 9, 9},
        {kCmdSend1, 200, 40, 40, 7, 40, 9},
        {kCmdSend2, 255, 40, 40, 7, 9, 40},
    };
    for (const MixerCommandCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.code << " value " << c.value);
        SetUp();
        g_mixerSettings.volume[2] = c.volumeBefore;
        RunPatternCommand(kVoice, c.code, c.value);
        EXPECT_EQ(g_mixerSettings.volume[2], c.volume);
        EXPECT_EQ(g_mixerSettings.pan[2], c.pan);
        EXPECT_EQ(g_mixerSettings.send1[2], c.send1);
        EXPECT_EQ(g_mixerSettings.send2[2], c.send2);
        for (int b : {0, 1, 3, 7}) {
            EXPECT_EQ(g_mixerSettings.volume[b], 40) << "bus " << b;
            EXPECT_EQ(g_mixerSettings.pan[b], 7) << "bus " << b;
        }
    }
}

TEST_F(PatternCommandTest, ChannelOutsideOneToEightActsAsChannelOne) {
    for (uint8_t channel : {0, 9, 255}) {
        SetUp();
        g_soundBank[kParamChannel][kSound] = channel;
        RunPatternCommand(kVoice, kCmdSetVolume, 99);
        EXPECT_EQ(g_mixerSettings.volume[0], 56) << "channel " << int{channel};
        EXPECT_EQ(g_mixerSettings.volume[2], 40);
    }
    // The bus follows the selected (pending) sound, not the sounding one.
    SetUp();
    g_soundBank[kParamChannel][8] = 8;
    g_voiceState[kVoice].sound = 8;
    RunPatternCommand(kVoice, kCmdSetVolume, 99);
    EXPECT_EQ(g_mixerSettings.volume[2], 56);
    EXPECT_EQ(g_mixerSettings.volume[7], 40);
}

}  // namespace
