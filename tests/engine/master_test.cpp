// Bus mixer, mixer-gain smoothing, level meters, and the master loop's
// independence from how frames are split into calls.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "engine/stages.h"
#include "tests/engine/engine_fixture.h"

namespace {

// floor(a x b / 2^32) and floor(a x b / 2^31), written out.
int32_t Hi(int64_t a, int64_t b) { return static_cast<int32_t>((a * b) >> 32); }
int32_t Mul31(int64_t a, int64_t b) { return static_cast<int32_t>((a * b) >> 31); }

// The mixer gain curves, from their defining formulas.
int32_t BusVolumeGain(int v) { return static_cast<int32_t>(int64_t{v} * v * 684784 / 96); }
int32_t MasterGain(int page, int v) {
    const int64_t full = int64_t{v} * v * 684784;
    return page == 1 ? static_cast<int32_t>(full) : static_cast<int32_t>(0.6 * static_cast<double>(full));
}
int32_t SendGain(int s) { return static_cast<int32_t>(int64_t{s} * s * 1342177); }
int32_t PanGain(int pan) { return static_cast<int32_t>(0x10000000 + int64_t{pan + 20} * 0x2666666); }

class MasterTest : public EngineTest {
protected:
    static int32_t* Row(uint32_t pos, int bus) { return g_mixBuffer.row[pos] + 4 * bus; }
    static void SetBus(int b, int volume, int pan, int send1 = 0, int send2 = 0) {
        g_mixerSettings.volume[b] = volume;
        g_mixerSettings.pan[b] = pan;
        g_mixerSettings.send1[b] = send1;
        g_mixerSettings.send2[b] = send2;
    }
};

// ---------------------------------------------------------------- bus mixer

struct BusCase {
    int bus, volume, pan, send1, send2;
    int32_t x[4];
};

TEST_F(MasterTest, BusVolumePanAndSendsFollowTheTables) {
    const BusCase cases[] = {
        {3, 40, -20, 0, 0, {1000000, -1000000, 7, 0}},
        {0, 56, 0, 40, 0, {-3000000, 3000000, 123456789, -123456789}},
        {7, 56, 20, 0, 40, {INT_MAX, INT_MIN, 1 << 30, -(1 << 30)}},
        {5, 13, 7, 20, 33, {-7, 99999, -424242, 1}},
        {2, 0, -4, 40, 40, {5000000, 1, -1, 0}},
    };
    for (const BusCase& c : cases) {
        ResetEngineGlobals();
        SetBus(c.bus, c.volume, c.pan, c.send1, c.send2);
        SnapMixerGains();
        std::copy(c.x, c.x + 4, Row(100, c.bus));
        MixBuses(100);

        const MasterState& ms = g_masterState;
        for (int k = 0; k < 4; ++k) {
            const int32_t v = Hi(c.x[k], BusVolumeGain(c.volume));
            const int32_t right = 2 * Hi(v, PanGain(c.pan));
            const int32_t left = v - right;
            EXPECT_EQ(ms.dryLeft[k], left) << c.bus << " k " << k;
            EXPECT_EQ(ms.dryRight[k], right) << c.bus << " k " << k;
            EXPECT_EQ(ms.fx1InLeft[k], c.send1 ? 2 * Hi(left, SendGain(c.send1)) : 0);
            EXPECT_EQ(ms.fx1InRight[k], c.send1 ? 2 * Hi(right, SendGain(c.send1)) : 0);
            EXPECT_EQ(ms.fx2InLeft[k], c.send2 ? 2 * Hi(left, SendGain(c.send2)) : 0);
            EXPECT_EQ(ms.fx2InRight[k], c.send2 ? 2 * Hi(right, SendGain(c.send2)) : 0);
            if (k == 0) {
                EXPECT_EQ(g_busMeterSample[c.bus], v);
            }
        }
        EXPECT_TRUE(MixBufferIsZero()) << "the row is read and cleared";
    }
}

TEST_F(MasterTest, HandWorkedBusToOutput) {
    // Bus 3 at volume 40: gain 40^2 x 684,784 / 96 = 11,413,066; x = 1,000,000
    // gives v = floor(1e6 x 11,413,066 / 2^32) = 2,657. Pan -20 (right share
    // 2^28): right = 2 x floor(2,657 / 16) = 332, left = 2,325. Master 40 on page 0
    // (EQ off): 0.6 x 1,095,654,400 = 657,392,640; left = floor(2,325 x
    // 657,392,640 / 2^31) = 711, right = floor(332 x 657,392,640 / 2^31) = 101.
    g_bassTrebleEq = 0;
    SetBus(3, 40, -20);
    g_mixerSettings.master = 40;
    SnapMixerGains();
    Row(3, 3)[0] = 1000000;  // the first chunk is read in frame 3 (chunkPhase wraps)
    std::vector<uint32_t> out = Render(4);
    EXPECT_EQ(out[0], 0u);
    EXPECT_EQ(Left(out[3]), 711);
    EXPECT_EQ(Right(out[3]), 101);
    EXPECT_EQ(g_busMeterSample[3], 2657);
}

TEST_F(MasterTest, BusesSumSilentBusesAddNothingAndSumsRestartEachChunk) {
    SetBus(1, 56, -20, 40, 0);
    SetBus(6, 30, 20, 0, 40);
    SnapMixerGains();
    const int32_t a[4] = {4000000, -4000000, 100, -100};
    const int32_t b[4] = {-2500000, 2500000, 0, 77777};
    std::copy(a, a + 4, Row(8, 1));
    std::copy(b, b + 4, Row(8, 6));
    g_busMeterSample[4] = 12345;  // stale from an earlier run
    MixBuses(8);
    for (int k = 0; k < 4; ++k) {
        const int32_t va = Hi(a[k], BusVolumeGain(56)), vb = Hi(b[k], BusVolumeGain(30));
        const int32_t ra = 2 * Hi(va, PanGain(-20)), rb = 2 * Hi(vb, PanGain(20));
        EXPECT_EQ(g_masterState.dryLeft[k], (va - ra) + (vb - rb));
        EXPECT_EQ(g_masterState.dryRight[k], ra + rb);
        EXPECT_EQ(g_masterState.fx1InLeft[k], 2 * Hi(va - ra, SendGain(40)));
        EXPECT_EQ(g_masterState.fx2InRight[k], 2 * Hi(rb, SendGain(40)));
    }
    EXPECT_EQ(g_busMeterSample[4], 0);

    MixBuses(12);  // an empty row: every sum and meter sample back to 0
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(g_masterState.dryLeft[k], 0);
        EXPECT_EQ(g_masterState.dryRight[k], 0);
        EXPECT_EQ(g_masterState.fx1InLeft[k], 0);
        EXPECT_EQ(g_masterState.fx2InRight[k], 0);
    }
    EXPECT_EQ(g_busMeterSample[1], 0);
    EXPECT_EQ(g_busMeterSample[6], 0);
}

TEST_F(MasterTest, MuteOverrideLeavesAtMostTwo) {
    // Override 1: hi(x x 1) is 0 for x >= 0 and -1 below; -1 at pan centre gives
    // right = 2 x hi(-1 x pan) = -2 and left = +1.
    SetBus(4, 56, 0, 40, 40);
    g_volumeOverrides.bus[4] = 1;
    SnapMixerGains();
    EXPECT_EQ(g_masterState.busVolume[4], 1);
    const int32_t x[4] = {INT_MAX, 5, INT_MIN, -1};
    std::copy(x, x + 4, Row(0, 4));
    MixBuses(0);
    const MasterState& ms = g_masterState;
    EXPECT_EQ(ms.dryLeft[0], 0);
    EXPECT_EQ(ms.dryRight[1], 0);
    for (int k : {2, 3}) {
        EXPECT_EQ(ms.dryLeft[k], 1);
        EXPECT_EQ(ms.dryRight[k], -2);
        EXPECT_EQ(ms.fx1InLeft[k], 0);   // 2 x floor(1 x 0.99999...) = 0
        EXPECT_EQ(ms.fx1InRight[k], -2); // 2 x floor(-2 x 0.99999...) = -2
        EXPECT_EQ(ms.fx2InRight[k], -2);
    }
}

// ---------------------------------------------------------------- smoothing

TEST_F(MasterTest, SmoothingStepsWithTheMinimumStepOfOne) {
    // Volumes move by floor(d x 3/128), pans and sends by floor(d / 64); a step of
    // 0 (target above by 42 or less, or 63 or less) becomes +1; falling values move
    // by at least 1 because the floor rounds toward minus infinity.
    struct Case {
        int32_t distance;  // target - current
        int32_t volumeStep, panStep;
    };
    const Case cases[] = {
        {0, 0, 0},        {1, 1, 1},       {42, 1, 1},      {43, 1, 1},     {63, 1, 1},
        {64, 1, 1},       {85, 1, 1},      {86, 2, 1},      {128, 3, 2},    {-1, -1, -1},
        {-42, -1, -1},    {-43, -2, -1},   {-64, -2, -1},   {-65, -2, -2},  {1000000, 23437, 15625},
    };
    SetBus(2, 0, 5, 17, 0);
    for (const Case& c : cases) {
        // Bus volume and master targets come from the overrides; the pan and send
        // targets from their tables.
        g_volumeOverrides.bus[2] = 5000000;
        g_volumeOverrides.master = 0x40000000;
        g_masterState.busVolume[2] = 5000000 - c.distance;
        g_masterState.masterVolume = 0x40000000 - c.distance;
        g_masterState.busPan[2] = PanGain(5) - c.distance;
        g_masterState.busSend1[2] = SendGain(17) - c.distance;
        g_masterState.busSend2[2] = -c.distance;  // send 0: table 0
        SmoothMixer();
        EXPECT_EQ(g_masterState.busVolume[2], 5000000 - c.distance + c.volumeStep) << c.distance;
        EXPECT_EQ(g_masterState.masterVolume, 0x40000000 - c.distance + c.volumeStep) << c.distance;
        EXPECT_EQ(g_masterState.busPan[2], PanGain(5) - c.distance + c.panStep) << c.distance;
        EXPECT_EQ(g_masterState.busSend1[2], SendGain(17) - c.distance + c.panStep) << c.distance;
        EXPECT_EQ(g_masterState.busSend2[2], -c.distance + c.panStep) << c.distance;
    }
}

TEST_F(MasterTest, GlideFromZeroArrivesExactlyWithoutOvershoot) {
    // From program start (all gains 0) to bus volume 56 and pan +20.
    SetBus(0, 56, 20);
    const int32_t volumeTarget = BusVolumeGain(56);  // 22,369,610
    const int32_t panTarget = PanGain(20);           // 0x6FFFFFF0
    ASSERT_EQ(volumeTarget, 22369610);
    ASSERT_EQ(panTarget, 0x6FFFFFF0);

    int32_t volume = 0, pan = 0;
    int steps = 0, volumeSteps = -1, panSteps = -1, stepsAt37 = -1;
    while (volumeSteps < 0 || panSteps < 0) {
        SmoothMixer();
        ++steps;
        const int32_t dv = volumeTarget - volume, dp = panTarget - pan;
        if (dv != 0) volume += std::max(Hi(dv, 0x6000000), 1);
        if (dp != 0) pan += std::max(Hi(dp, 0x4000000), 1);
        ASSERT_EQ(g_masterState.busVolume[0], volume) << "step " << steps;
        ASSERT_EQ(g_masterState.busPan[0], pan) << "step " << steps;
        ASSERT_LE(volume, volumeTarget);
        ASSERT_LE(pan, panTarget);
        if (stepsAt37 < 0 && volumeTarget - volume <= volumeTarget * 0.3679) stepsAt37 = steps;
        if (volumeSteps < 0 && volume == volumeTarget) volumeSteps = steps;
        if (panSteps < 0 && pan == panTarget) panSteps = steps;
        ASSERT_LT(steps, 5000);
    }
    // 3/128 per 32 frames: time constant 32 x 128 / 3 = 1,365 frames (31 ms),
    // about 43 steps; the last 42 units go one per step.
    EXPECT_GE(stepsAt37, 42);
    EXPECT_LE(stepsAt37, 44);
    EXPECT_GT(volumeSteps, 42 + 43 * 10);
    for (int i = 0; i < 5; ++i) SmoothMixer();
    EXPECT_EQ(g_masterState.busVolume[0], volumeTarget) << "stays at the target";
    EXPECT_EQ(g_masterState.busPan[0], panTarget);
}

TEST_F(MasterTest, SmoothingAndMetersRunEvery32FramesBeforeTheMix) {
    g_volumeOverrides.master = 1000000;
    Render(31);
    EXPECT_EQ(g_masterState.masterVolume, 0) << "no smoothing step in the first 31 frames";
    Render(1);
    EXPECT_EQ(g_masterState.masterVolume, Hi(1000000, 0x6000000));
    Render(31);
    EXPECT_EQ(g_masterState.masterVolume, Hi(1000000, 0x6000000));
    Render(1);
    const int32_t v1 = Hi(1000000, 0x6000000);
    EXPECT_EQ(g_masterState.masterVolume, v1 + Hi(1000000 - v1, 0x6000000));

    // The meters read the meter sample of the previous mix, not of the mix that
    // follows them in the same frame: a loud bus at frame 95 (position 95) shows
    // only at the step of frame 127.
    g_volumeOverrides.bus[2] = 0x7FFFFFFF;
    SnapMixerGains();
    Row(95, 2)[0] = 1 << 20;  // v = 2^19 - 1 after the gain: amplitude 16,383
    Row(127, 2)[0] = 0;
    Render(32, 64);  // frames 64..95: the meter step at 95 runs before the mix
    EXPECT_EQ(g_meterLevels[MeterOfBus(2)], 0);
    EXPECT_EQ(g_busMeterSample[2], (1 << 19) - 1);
    Render(32, 96);  // the step at 127 sees the sample of frame 123's mix: 0 again
    EXPECT_EQ(g_meterLevels[MeterOfBus(2)], 0);
    Row(155, 2)[0] = 1 << 20;
    Render(32, 128);  // mix at 155 fills the sample, the step at 159 raises the meter
    EXPECT_EQ(g_meterLevels[MeterOfBus(2)], 16);
}

struct TargetCase {
    uint32_t eq;
    int master;
    uint32_t masterOverride, mute;
    int32_t expected;
};

TEST_F(MasterTest, MasterTargetPrecedenceAndPage) {
    const TargetCase cases[] = {
        {1, 56, 0, 0, MasterGain(1, 56)},  // 2,147,482,624
        {0, 56, 0, 0, MasterGain(0, 56)},
        {0, 40, 0, 0, 657392640},
        {7, 30, 0, 0, MasterGain(1, 30)},  // any non-zero switch means the EQ page
        {0xFFFFFFFF, 30, 0, 0, MasterGain(1, 30)},
        {1, 56, 0, 1, 1},                  // mute glides to gain 1
        {1, 56, 0, 77, 77},
        {1, 56, 0x12345678, 1, 0x12345678},  // the override wins over the mute
        {0, 0, 0, 0, 0},
    };
    for (const TargetCase& c : cases) {
        g_bassTrebleEq = c.eq;
        g_mixerSettings.master = c.master;
        g_volumeOverrides.master = c.masterOverride;
        g_masterMute = c.mute;
        SnapMixerGains();
        EXPECT_EQ(g_masterState.masterVolume, c.expected) << c.eq << " " << c.master << " " << c.mute;
    }
}

TEST_F(MasterTest, SettingsOutsideTheirRangesStayInsideTheTables) {
    struct Case {
        int32_t setting;
        int volumeIndex, panIndex, sendIndex;  // the clamped setting each table reads
    };
    const Case cases[] = {
        {-1, 0, -1, 0},        {57, 56, 20, 40},       {41, 41, 20, 40},    {21, 21, 20, 21},
        {-21, 0, -20, 0},      {INT_MAX, 56, 20, 40},  {INT_MIN, 0, -20, 0}, {1000, 56, 20, 40},
    };
    for (const Case& c : cases) {
        for (int b = 0; b < kBuses; ++b) SetBus(b, c.setting, c.setting, c.setting, c.setting);
        g_mixerSettings.master = c.setting;
        SnapMixerGains();
        for (int b = 0; b < kBuses; ++b) {
            EXPECT_EQ(g_masterState.busVolume[b], BusVolumeGain(std::min(c.volumeIndex, 56))) << c.setting;
            EXPECT_EQ(g_masterState.busPan[b], PanGain(c.panIndex)) << c.setting;
            EXPECT_EQ(g_masterState.busSend1[b], SendGain(std::min(c.sendIndex, 40))) << c.setting;
            EXPECT_EQ(g_masterState.busSend2[b], SendGain(std::min(c.sendIndex, 40))) << c.setting;
        }
        EXPECT_EQ(g_masterState.masterVolume, MasterGain(1, std::min(c.volumeIndex, 56))) << c.setting;
        SmoothMixer();  // the same targets: nothing moves
        EXPECT_EQ(g_masterState.masterVolume, MasterGain(1, std::min(c.volumeIndex, 56)));
    }
}

TEST_F(MasterTest, SnapSetsEveryGainToItsTarget) {
    for (int b = 0; b < kBuses; ++b) SetBus(b, 7 * b, 5 * b - 20, 5 * b, 40 - 5 * b);
    g_volumeOverrides.bus[5] = 1;
    g_mixerSettings.master = 33;
    g_bassTrebleEq = 0;
    std::memset(static_cast<void*>(&g_masterState), 0x5A, sizeof(g_masterState));
    SnapMixerGains();
    for (int b = 0; b < kBuses; ++b) {
        EXPECT_EQ(g_masterState.busVolume[b], b == 5 ? 1 : BusVolumeGain(7 * b));
        EXPECT_EQ(g_masterState.busPan[b], PanGain(5 * b - 20));
        EXPECT_EQ(g_masterState.busSend1[b], SendGain(5 * b));
        EXPECT_EQ(g_masterState.busSend2[b], SendGain(40 - 5 * b));
    }
    EXPECT_EQ(g_masterState.masterVolume, MasterGain(0, 33));
}

// ---------------------------------------------------------------- meters

struct MeterCase {
    int32_t level;   // current level
    int32_t sample;  // bus meter sample
    int32_t expected;
};

TEST_F(MasterTest, BusMetersRiseOnlyAboveTheCurrentThreshold) {
    // Amplitude = |sample| >> 5; a new level is looked up only when it exceeds the
    // first amplitude of the level above the current one.
    const MeterCase cases[] = {
        {0, 32 * 32, 0},                // amplitude 32 = threshold of level 0
        {0, 33 * 32, 1},
        {0, -33 * 32, 1},
        {0, 33 * 32 - 1, 0},            // 1,055 >> 5 = 32
        {1, 48 * 32, 1},
        {1, 49 * 32, 2},
        {0, 1024 * 32, 13},
        {5, 100 * 32, 5},               // only rises: a lower amplitude keeps the level
        {12, 1024 * 32, 12},            // 1,024 is level 12's threshold
        {12, 1025 * 32, 13},
        {15, 1792 * 32, 15},
        {15, 1793 * 32, 16},
        {16, 1792 * 32, 16},
        {16, 1793 * 32, 16},
        {3, 16383 * 32, 16},
        {3, 524288, 16},                // amplitude 16,384: beyond the table, level 16
        {3, INT_MAX, 16},
        {3, INT_MIN, 16},
        {17, 1793 * 32, 16},            // levels 16..31 all hold 1,792
        {-1, 1700 * 32, -1},            // taken modulo 32: 31 -> 1,792
        {40, 600 * 32, 9},              // 40 mod 32 = 8 -> 512
    };
    for (const MeterCase& c : cases) {
        ResetEngineGlobals();
        g_meterLevels[MeterOfBus(6)] = c.level;
        g_busMeterSample[6] = c.sample;
        UpdateMeters();
        EXPECT_EQ(g_meterLevels[MeterOfBus(6)], c.expected) << c.level << " " << c.sample;
    }
}

TEST_F(MasterTest, MasterMetersUseTheLastOutput) {
    // Amplitude = |sample| >> 4; full scale -32,768 gives 2,048: level 16.
    const MeterCase cases[] = {
        {0, 32 * 16, 0},    {0, 33 * 16, 1},   {0, -32768, 16}, {0, 32767, 16},
        {7, 257 * 16, 7},   {7, 385 * 16, 8},  {16, -32768, 16},
        {-5, 33 * 16, 1},   // a level below 0 reads the first threshold
        {99, 1793 * 16, 16}, // a level above 31 reads the last one
        {99, 1700 * 16, 99},
    };
    for (const MeterCase& c : cases) {
        ResetEngineGlobals();
        g_meterLevels[kMeterMasterLeft] = c.level;
        g_meterLevels[kMeterMasterRight] = c.level;
        g_lastOutLeft = c.sample;
        g_lastOutRight = c.sample == -32768 ? 0 : -c.sample;
        UpdateMeters();
        EXPECT_EQ(g_meterLevels[kMeterMasterLeft], c.expected) << c.level << " " << c.sample;
        EXPECT_EQ(g_meterLevels[kMeterMasterRight], c.sample == -32768 ? c.level : c.expected)
            << c.level << " " << c.sample;
    }
    // Meter order: master right, master left, bus 7 .. bus 0.
    ResetEngineGlobals();
    g_lastOutRight = 32767;
    g_busMeterSample[0] = 1 << 20;
    UpdateMeters();
    EXPECT_EQ(g_meterLevels[0], 16);
    EXPECT_EQ(g_meterLevels[1], 0);
    EXPECT_EQ(g_meterLevels[9], 16);
    EXPECT_EQ(g_meterLevels[2], 0);
}

// ---------------------------------------------------------------- call splits

// Deterministic chunk content for global frame n, bus b, sub-frame k.
int32_t Source(uint32_t n, int b, int k) {
    const uint32_t t = 4 * n + k;
    switch (b) {
        case 0: return g_sineTable[(t * 37) & 8191] >> 6;                // ~1.3 kHz, +-16.7 M
        case 3: return static_cast<int32_t>((t * 2654435761u) ^ (t >> 3)) >> 7;  // noise
        case 6: return (t / 50) % 2 ? 9000000 : -9000000;                   // square
        default: return 0;
    }
}

struct SplitRun {
    std::vector<uint32_t> out;
    MasterState finalState;
    int32_t meters[10];
};

SplitRun RunSplit(uint32_t callFrames) {
    constexpr uint32_t kPeriod = 8192;
    constexpr uint32_t kPeriods = 3;
    SplitRun run;
    uint32_t global = 0;
    for (uint32_t period = 0; period < kPeriods; ++period) {
        // Settings change at period starts, which every split shares.
        if (period == 1) {
            g_volumeOverrides.bus[3] = 1;
            g_mixerSettings.master = 44;
            g_trebleLimiter = 1;
        }
        if (period == 2) g_bassTrebleEq = 0;
        for (uint32_t pos = 0; pos < kPeriod;) {
            const uint32_t frames = std::min(callFrames, kPeriod - pos);
            // The voices write a chunk into the row of each frame in which the
            // master's chunk phase wraps to 0.
            const int32_t phase = g_masterState.chunkPhase;
            for (uint32_t f = 0; f < frames; ++f) {
                if ((phase + f + 1) % 4 != 0) continue;
                for (int b = 0; b < kBuses; ++b)
                    for (int k = 0; k < 4; ++k) g_mixBuffer.row[pos + f][4 * b + k] = Source(global + f, b, k);
            }
            std::vector<uint32_t> out(frames);
            g_renderOut = out.data();
            g_renderFrames = frames;
            g_renderPeriodPos = pos;
            RenderBlock();
            run.out.insert(run.out.end(), out.begin(), out.end());
            for (uint32_t f = 0; f < frames; ++f)
                for (int32_t w : g_mixBuffer.row[pos + f]) EXPECT_EQ(w, 0) << "position " << pos + f;
            pos += frames;
            global += frames;
        }
    }
    run.finalState = g_masterState;
    for (int i = 0; i < 10; ++i) run.meters[i] = g_meterLevels[i];
    return run;
}

TEST_F(MasterTest, OutputDoesNotDependOnHowFramesAreSplitIntoCalls) {
    SplitRun runs[4];
    const uint32_t splits[4] = {8192, 4096, 88, 1};
    for (int s = 0; s < 4; ++s) {
        ResetEngineGlobals();
        SetBus(0, 56, -12, 30, 0);
        SetBus(3, 50, 3, 0, 25);
        SetBus(6, 36, 20, 40, 40);
        g_mixerSettings.master = 52;
        // Gains start at 0 and glide across the calls.
        runs[s] = RunSplit(splits[s]);
        EXPECT_TRUE(MixBufferIsZero());
    }
    // The run is loud enough to clip and to drive the limiter.
    const auto& ref = runs[0].out;
    ASSERT_EQ(ref.size(), 3u * 8192u);
    EXPECT_TRUE(std::any_of(ref.begin(), ref.end(), [](uint32_t w) { return Left(w) == 32767 || Left(w) == -32768; }));
    EXPECT_GT(runs[0].finalState.limGainLeft, 0);
    for (int s = 1; s < 4; ++s) {
        EXPECT_EQ(runs[s].out, ref) << "split " << splits[s];
        EXPECT_EQ(std::memcmp(&runs[s].finalState, &runs[0].finalState, sizeof(MasterState)), 0) << splits[s];
        EXPECT_TRUE(std::equal(runs[s].meters, runs[s].meters + 10, runs[0].meters)) << splits[s];
    }
}

TEST_F(MasterTest, AChunkPlaysOutOverFourFramesAcrossCalls) {
    // Master override 2^30 halves the dry value exactly; EQ off; bus 1 at full
    // override 0x7FFFFFFF (v = floor(x (1 - 2^-31) / 2)), pan -20.
    g_bassTrebleEq = 0;
    g_volumeOverrides.master = 0x40000000;
    g_volumeOverrides.bus[1] = 0x7FFFFFFF;
    SetBus(1, 0, -20);
    SnapMixerGains();
    const int32_t x[4] = {80000, -80000, 40000, 16};
    std::copy(x, x + 4, Row(3, 1));
    std::vector<uint32_t> first = Render(4);       // frames 0..3: sub-frame 0 at frame 3
    std::vector<uint32_t> second = Render(5, 4);   // frames 4..8: sub-frames 1..3, then a new chunk
    std::vector<uint32_t> all(first);
    all.insert(all.end(), second.begin(), second.end());
    for (int k = 0; k < 4; ++k) {
        const int32_t v = Hi(x[k], 0x7FFFFFFF);
        const int32_t right = 2 * Hi(v, 0x10000000);
        EXPECT_EQ(Left(all[3 + k]), Mul31(v - right, 0x40000000)) << k;
        EXPECT_EQ(Right(all[3 + k]), Mul31(right, 0x40000000)) << k;
    }
    EXPECT_EQ(Left(all[3]), (39999 - 2 * (39999 >> 4)) >> 1);  // 17,500
    EXPECT_EQ(all[7], 0u) << "the next chunk (empty row 7)";
    EXPECT_EQ(all[0], 0u);
}

}  // namespace
