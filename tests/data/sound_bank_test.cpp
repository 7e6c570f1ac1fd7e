// The sound bank: defaults and reset, the three copies with the signed-knob
// bias, and agreement between the bank order, the engine's parameter names, the
// modulation targets and the controller indices.
#include <cstdint>
#include <set>

#include "tests/data/data_fixture.h"
#include "shared/mixer.h"
#include "shared/sound_bank.h"

namespace {

class SoundBankTest : public DataTest {};

// The parameter table in bank order: default byte, controller index and
// modulation target (-1 = none).
struct ParamRow {
    int param;
    int defaultByte;
    int ctl;
    int mod;
};
constexpr ParamRow kParamTable[kSoundParams] = {
    {0, 1, 0, -1},    {1, 40, 1, 0},    {2, 80, 3, 1},    {3, 0, 4, 2},     {4, 1, 2, -1},
    {5, 0, 5, -1},    {6, 1, 6, -1},    {7, 40, 7, 3},    {8, 40, 8, -1},   {9, 1, 9, -1},
    {10, 0, 10, 4},   {11, 0, 11, -1},  {12, 0, 12, -1},  {13, 80, 13, 5},  {14, 0, 14, -1},
    {15, 1, 15, -1},  {16, 40, 16, 6},  {17, 40, 17, -1}, {18, 80, 18, 7},  {19, 1, -1, -1},
    {20, 0, 19, 8},   {21, 20, 20, 9},  {22, 0, 21, 10},  {23, 0, 22, 11},  {24, 80, 23, 12},
    {25, 0, 24, -1},  {26, 1, 27, -1},  {27, 80, 25, 13}, {28, 0, 26, 14},  {29, 0, 29, 15},
    {30, 0, 30, 16},  {31, 0, 31, 17},  {32, 0, 32, 18},  {33, 0, 33, 19},  {34, 0, 28, -1},
    {35, 0, 34, -1},  {36, 1, 35, -1},  {37, 1, 36, -1},  {38, 0, 38, 21},  {39, 0, 37, 20},
    {40, 0, 39, -1},  {41, 0, 41, 22},  {42, 0, 42, 23},  {43, 0, 43, 24},  {44, 0, 44, 25},
    {45, 0, 45, 26},  {46, 1, 40, -1},  {47, 0, 46, -1},  {48, 0, 47, 27},  {49, 0, 48, 28},
    {50, 0, 49, 29},  {51, 0, 50, -1},  {52, 0, -1, -1},  {53, 0, 51, 30},  {54, 1, -1, -1},
    {55, 255, -1, -1}, {56, 255, -1, -1}, {57, 255, -1, -1}, {58, 0, -1, -1}, {59, 0, -1, -1},
    {60, 0, -1, -1},
};

bool Signed(int p) { return p == 1 || p == 7 || p == 8 || p == 16 || p == 17; }

TEST_F(SoundBankTest, ResetGivesEverySoundTheDefaultsAndLoadsSoundOne) {
    for (int p = 0; p < kSoundParams; ++p)
        for (int s = 0; s < kSoundSlots; ++s) g_soundBank[p][s] = 0xAB;
    for (auto& name : g_soundNames) name = "OLD";
    g_curSound = 42;

    ResetSoundBank();

    for (const ParamRow& row : kParamTable) {
        for (int s = 0; s < 100; ++s) ASSERT_EQ(g_soundBank[row.param][s], row.defaultByte) << row.param << "/" << s;
        for (int s = 100; s < kSoundSlots; ++s) EXPECT_EQ(g_soundBank[row.param][s], 0xAB) << "spare entry " << s;
        const int live = Signed(row.param) ? row.defaultByte - 40 : row.defaultByte;
        EXPECT_EQ(g_liveKnobs[row.param], live) << row.param;
        EXPECT_EQ(g_knobUndo[row.param], live) << row.param;
    }
    for (int s = 0; s < 100; ++s) EXPECT_EQ(g_soundNames[s], "NOT USED") << s;
    EXPECT_EQ(g_curSound, 1u);
    EXPECT_EQ(g_curSoundName, "NOT USED");
    EXPECT_EQ(g_curSoundNameUndo, "NOT USED");
}

TEST_F(SoundBankTest, SignedKnobsCarryABiasOf40BothWays) {
    struct Case {
        int param;
        uint8_t bank;
        int32_t live;
    };
    const Case cases[] = {
        {kParamOsc1Tune, 0, -40},     {kParamOsc2Tune, 80, 40},    {kParamOsc2FineTune, 40, 0},
        {kParamOsc3Tune, 13, -27},    {kParamOsc3FineTune, 79, 39}, {kParamOsc1PulseWidth, 0, 0},
        {kParamAmpGain, 80, 80},      {kParamOsc1Sample, 254, 254}, {kParamOsc3SplitSet, 32, 32},
    };
    for (const Case& c : cases) {
        g_soundBank[c.param][12] = c.bank;
        LoadSoundToKnobs(12);
        EXPECT_EQ(g_liveKnobs[c.param], c.live) << c.param;
        EXPECT_EQ(g_knobUndo[c.param], c.live) << c.param;

        g_soundBank[c.param][13] = 0x55;
        StoreKnobsToSound(13);
        EXPECT_EQ(g_soundBank[c.param][13], c.bank) << c.param;
    }
    // The stored byte is the low byte of the (biased) value: no range check.
    g_liveKnobs[kParamOsc1Tune] = 216;      // 216 + 40 = 256
    g_liveKnobs[kParamAmpDecay] = 300;      // 300 & 0xFF = 44
    g_liveKnobs[kParamFilterCutoff] = -1;   // 0xFF
    StoreKnobsToSound(14);
    EXPECT_EQ(g_soundBank[kParamOsc1Tune][14], 0);
    EXPECT_EQ(g_soundBank[kParamAmpDecay][14], 44);
    EXPECT_EQ(g_soundBank[kParamFilterCutoff][14], 255);
}

TEST_F(SoundBankTest, LoadThenStoreLeavesASoundUnchanged) {
    uint8_t before[kSoundParams];
    for (int p = 0; p < kSoundParams; ++p) {
        before[p] = static_cast<uint8_t>((p * 37 + 11) % 81);
        g_soundBank[p][7] = before[p];
    }
    g_soundNames[7] = "PAD 7";
    LoadSoundToKnobs(7);
    EXPECT_EQ(g_curSound, 1u);  // loading does not choose the sound
    StoreKnobsToSound(7);
    for (int p = 0; p < kSoundParams; ++p) EXPECT_EQ(g_soundBank[p][7], before[p]) << p;
    EXPECT_EQ(g_soundNames[7], "PAD 7");
}

TEST_F(SoundBankTest, StoreUndoPutsBackTheSoundAsItWasLoaded) {
    g_soundBank[kParamOsc2Tune][5] = 50;
    g_soundBank[kParamAmpAttack][5] = 10;
    g_soundNames[5] = "LEAD";
    LoadSoundToKnobs(5);

    // Edits on the panel, stored by the panel's update.
    g_liveKnobs[kParamOsc2Tune] = -20;
    g_liveKnobs[kParamAmpAttack] = 70;
    g_curSoundName = "LEAD 2";
    StoreKnobsToSound(5);
    EXPECT_EQ(g_soundBank[kParamOsc2Tune][5], 20);
    EXPECT_EQ(g_soundNames[5], "LEAD 2");

    StoreUndoKnobsToSound(5);
    EXPECT_EQ(g_soundBank[kParamOsc2Tune][5], 50);
    EXPECT_EQ(g_soundBank[kParamAmpAttack][5], 10);
    EXPECT_EQ(g_soundNames[5], "LEAD");
    // The live knobs keep the edits.
    EXPECT_EQ(g_liveKnobs[kParamOsc2Tune], -20);
    EXPECT_EQ(g_liveKnobs[kParamAmpAttack], 70);
    EXPECT_EQ(g_curSoundName, "LEAD 2");
}

TEST_F(SoundBankTest, SoundNumbersWithoutANameAreIgnored) {
    g_soundBank[kParamAmpGain][100] = 3;
    g_liveKnobs[kParamAmpGain] = 9;
    StoreKnobsToSound(100);
    StoreUndoKnobsToSound(1000);
    LoadSoundToKnobs(100);
    EXPECT_EQ(g_soundBank[kParamAmpGain][100], 3);
    EXPECT_EQ(g_liveKnobs[kParamAmpGain], 9);
}

// The engine names the parameters in its own table, numbered from the far end of
// the bank: index i there is bank array 60 - i. Reading a parameter by name must
// give the byte the bank order put there.
TEST_F(SoundBankTest, TheEngineReadsByNameTheByteOfTheBankOrder) {
    struct EngineRow {
        SoundParam name;
        int engineIndex;
        int target;
    };
    const EngineRow rows[kSoundParams] = {
        {kParamOsc3SplitSet, 0, -1},       {kParamOsc2SplitSet, 1, -1},      {kParamOsc1SplitSet, 2, -1},
        {kParamOsc3Sample, 3, -1},         {kParamOsc2Sample, 4, -1},        {kParamOsc1Sample, 5, -1},
        {kParamChannel, 6, -1},            {kParamDistortion, 7, 30},        {kParamLegato, 8, -1},
        {kParamGateTime, 9, -1},           {kParamPortamento, 10, 29},       {kParamVibratoRate, 11, 28},
        {kParamVibratoDepth, 12, 27},      {kParamVibratoDelay, 13, -1},     {kParamUserEnvDestination, 14, -1},
        {kParamUserEnvGain, 15, 26},       {kParamUserEnvRelease, 16, 25},   {kParamUserEnvSustain, 17, 24},
        {kParamUserEnvDecay, 18, 23},      {kParamUserEnvAttack, 19, 22},    {kParamUserEnvOn, 20, -1},
        {kParamLfoDepth, 21, 20},          {kParamLfoRate, 22, 21},          {kParamLfoShape, 23, -1},
        {kParamLfoDestination, 24, -1},    {kParamLfoOn, 25, -1},            {kParamFilterKeyTrack, 26, -1},
        {kParamFilterGain, 27, 19},        {kParamFilterRelease, 28, 18},    {kParamFilterSustain, 29, 17},
        {kParamFilterDecay, 30, 16},       {kParamFilterAttack, 31, 15},     {kParamFilterResonance, 32, 14},
        {kParamFilterCutoff, 33, 13},      {kParamFilterType, 34, -1},       {kParamFilterOn, 35, -1},
        {kParamAmpGain, 36, 12},           {kParamAmpRelease, 37, 11},       {kParamAmpSustain, 38, 10},
        {kParamAmpDecay, 39, 9},           {kParamAmpAttack, 40, 8},         {kParamOsc3KeyTrack, 41, -1},
        {kParamOsc3Volume, 42, 7},         {kParamOsc3FineTune, 43, -1},     {kParamOsc3Tune, 44, 6},
        {kParamOsc3Wave, 45, -1},          {kParamOsc3On, 46, -1},           {kParamOsc2Volume, 47, 5},
        {kParamRingMod, 48, -1},           {kParamOscSync, 49, -1},          {kParamOsc2FmAmount, 50, 4},
        {kParamOsc2KeyTrack, 51, -1},      {kParamOsc2FineTune, 52, -1},     {kParamOsc2Tune, 53, 3},
        {kParamOsc2Wave, 54, -1},          {kParamOsc2On, 55, -1},           {kParamOsc1KeyTrack, 56, -1},
        {kParamOsc1Pwm, 57, 2},            {kParamOsc1PulseWidth, 58, 1},    {kParamOsc1Tune, 59, 0},
        {kParamOsc1Wave, 60, -1},
    };

    // Bank array p of sound 9 receives the byte 100 + p through the live knobs.
    for (int p = 0; p < kSoundParams; ++p) g_liveKnobs[p] = 100 + p - (Signed(p) ? 40 : 0);
    StoreKnobsToSound(9);

    for (const EngineRow& row : rows) {
        EXPECT_EQ(BankByte(row.name, 9), 100 + (60 - row.engineIndex)) << "engine index " << row.engineIndex;
        if (row.target >= 0) {
            EXPECT_EQ(g_modTargetParam[row.target], row.name) << "target " << row.target;
        }
    }
    // Each target offsets the parameter of the bank table's "mod" column.
    std::set<int> targets;
    for (const ParamRow& row : kParamTable) {
        if (row.mod < 0) continue;
        EXPECT_EQ(g_modTargetParam[row.mod], row.param) << "target " << row.mod;
        targets.insert(row.mod);
    }
    EXPECT_EQ(targets.size(), static_cast<size_t>(kModTargets));
}

TEST_F(SoundBankTest, ControllerIndicesLeadToTheLiveValueOfTheirParameter) {
    std::set<int> indices;
    for (const ParamRow& row : kParamTable) {
        if (row.ctl < 0) continue;
        EXPECT_EQ(g_paramValuePtrs[row.ctl].Address(), &g_liveKnobs[row.param]) << "controller index " << row.ctl;
        indices.insert(row.ctl);
    }
    EXPECT_EQ(indices.size(), static_cast<size_t>(kSoundControllers));
    EXPECT_EQ(*indices.rbegin(), kSoundControllers - 1);
    // The mixer settings follow: volumes, master, pans, first and second sends.
    for (int b = 0; b < kBuses; ++b) {
        EXPECT_EQ(g_paramValuePtrs[52 + b].Address(), &g_mixerSettings.volume[b]);
        EXPECT_EQ(g_paramValuePtrs[61 + b].Address(), &g_mixerSettings.pan[b]);
        EXPECT_EQ(g_paramValuePtrs[69 + b].Address(), &g_mixerSettings.send1[b]);
        EXPECT_EQ(g_paramValuePtrs[77 + b].Address(), &g_mixerSettings.send2[b]);
    }
    EXPECT_EQ(g_paramValuePtrs[60].Address(), &g_mixerSettings.master);
    // Both forms are written and read through the table.
    g_paramValuePtrs[1].Store(-7);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], -7);
    g_paramValuePtrs[60].Store(33);
    EXPECT_EQ(g_mixerSettings.master.load(), 33);
    EXPECT_EQ(g_paramValuePtrs[60].Load(), 33);
    g_mixerSettings.master = 0;
}

}  // namespace
