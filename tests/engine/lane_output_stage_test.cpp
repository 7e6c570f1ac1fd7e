// The two-channel output stage against output_stage::Frame word for word, and the
// master loop that uses it against the frame-by-frame loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/lane_output_stage.h"
#include "engine/output_stage.h"
#include "engine/stages.h"
#include "engine/voice_lanes.h"
#include "tests/engine/engine_fixture.h"
#include "tests/engine/random_words.h"

namespace {

using output_stage::OutputChannel;

class Gen : public RandomWords {
public:
    using RandomWords::RandomWords;
    // Any 32-bit word, the range ends and their neighbours often.
    int32_t Word() {
        static constexpr uint32_t kEdges[] = {0, 1, 2, 0xFFFFFFFF, 0x7FFFFFFF, 0x7FFFFFFE, 0x80000000, 0x80000001};
        if (OneIn(5)) return static_cast<int32_t>(Pick(kEdges));
        if (OneIn(3)) return static_cast<int32_t>(U()) >> Below(32);
        return static_cast<int32_t>(U());
    }
    // A frame sum: mostly on the 16-bit sample scale (so that the detector index
    // and the clip go both ways), sometimes any word.
    int32_t Sum() {
        if (OneIn(8)) return Word();
        if (OneIn(8)) return 0;
        return static_cast<int32_t>(U()) >> (12 + Below(8));
    }
    // The held target: near a gain table value (the hold compares with it), at
    // or near 1 (where the release stops), or any word.
    uint32_t Target() {
        switch (Below(4)) {
            case 0: {
                const uint32_t t = static_cast<uint32_t>(g_limiterGainTable[Below(kLimiterEntries)]) >> 1;
                return t + Below(3) - 1;
            }
            case 1: return Below(3);
            default: return static_cast<uint32_t>(Word());
        }
    }
    OutputChannel Channel() {
        OutputChannel c{};
        for (int32_t& w : c.eqDelay) w = Word();
        c.eqPoleA = Word();
        c.eqPoleB = Word();
        c.limPrev = Word();
        for (int32_t& w : c.limTap) w = Word();
        c.limTarget = Target();
        // The gain at its target (where it stops), next to it, or anywhere.
        switch (Below(3)) {
            case 0: c.limGain = static_cast<int32_t>(c.limTarget) + static_cast<int32_t>(Below(3)) - 1; break;
            case 1: c.limGain = static_cast<int32_t>(Target()); break;
            default: c.limGain = Word(); break;
        }
        return c;
    }
};

// Every word of a channel state, in declaration order, with its name.
std::vector<std::pair<std::string, uint32_t>> Words(const OutputChannel& c) {
    std::vector<std::pair<std::string, uint32_t>> w;
    for (int i = 0; i < 3; ++i) w.push_back({"eqDelay[" + std::to_string(i) + "]", c.eqDelay[i]});
    w.push_back({"eqPoleA", c.eqPoleA});
    w.push_back({"eqPoleB", c.eqPoleB});
    w.push_back({"limPrev", c.limPrev});
    for (int i = 0; i < 4; ++i) w.push_back({"limTap[" + std::to_string(i) + "]", c.limTap[i]});
    w.push_back({"limTarget", c.limTarget});
    w.push_back({"limGain", c.limGain});
    return w;
}

class LaneOutputStageTest : public EngineTest {};

// Random states (every word, the limiter's hold and stop points among them),
// random sums, every switch combination and random volumes, in runs of 0 to 40
// frames so that the state carries: every output word, both last samples and
// every state word as Frame leaves them.
TEST_F(LaneOutputStageTest, RunsOfFramesMatchTheFrameByFrameStage) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    Gen gen(20240611);
    int64_t framesRun = 0, held = 0, released = 0;
    for (int run = 0; run < 20000; ++run) {
        OutputChannel laneLeft = gen.Channel();
        OutputChannel laneRight = gen.OneIn(8) ? laneLeft : gen.Channel();
        OutputChannel refLeft = laneLeft, refRight = laneRight;
        const bool eq = gen.OneIn(2);
        const bool limiter = !gen.OneIn(4);
        const int32_t volume = gen.OneIn(2) ? gen.Word() : static_cast<int32_t>(gen.U() >> 1);
        const uint32_t n = gen.Below(41);
        std::vector<int32_t> sums(2 * n);
        for (int32_t& s : sums) s = gen.Sum();

        std::vector<uint32_t> laneOut(n + 1, 0xDEADBEEFu);
        int32_t laneLastLeft = 0x1234, laneLastRight = -0x1234;
        LaneOutputFrames(laneLeft, laneRight, sums.data(), n, eq, limiter, volume, laneOut.data(), laneLastLeft,
                         laneLastRight);
        ASSERT_EQ(laneOut[n], 0xDEADBEEFu) << "wrote past the run";

        int32_t refLastLeft = 0x1234, refLastRight = -0x1234;
        for (uint32_t i = 0; i < n; ++i) {
            const uint32_t before = refLeft.limTarget;
            const uint32_t word = output_stage::Frame(refLeft, refRight, sums[2 * i], sums[2 * i + 1], eq, limiter,
                                                      volume, refLastLeft, refLastRight);
            held += limiter && refLeft.limTarget != before;
            released += limiter && before == 1;
            ASSERT_EQ(laneOut[i], word) << "run " << run << " frame " << i << " eq " << eq << " limiter " << limiter;
        }
        ASSERT_EQ(laneLastLeft, refLastLeft) << "run " << run;
        ASSERT_EQ(laneLastRight, refLastRight) << "run " << run;
        const auto lane = Words(laneLeft), ref = Words(refLeft);
        const auto laneR = Words(laneRight), refR = Words(refRight);
        for (size_t k = 0; k < lane.size(); ++k) {
            ASSERT_EQ(lane[k].second, ref[k].second) << "run " << run << " left " << lane[k].first;
            ASSERT_EQ(laneR[k].second, refR[k].second) << "run " << run << " right " << laneR[k].first;
        }
        framesRun += n;
    }
    // The inputs reach the limiter's branches both ways.
    EXPECT_GT(framesRun, 300000);
    EXPECT_GT(held, 10000);
    EXPECT_GT(released, 1000);
}

// Random rows (buses silent, with one non-zero sub-frame, or full; sums on the
// sample scale or any word) and random gains (sends often 0): the sums, the
// meter samples, the cleared row and every other master word as MixBuses leaves
// them.
TEST_F(LaneOutputStageTest, BusMixerMatchesMixBuses) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    Gen gen(4711);
    MasterState& ms = g_masterState;
    for (int run = 0; run < 20000; ++run) {
        const uint32_t pos = gen.Below(kPeriodPositions);
        int32_t row[kBuses * 4];
        for (int b = 0; b < kBuses; ++b) {
            const uint32_t kind = gen.Below(3);
            const uint32_t only = gen.Below(4);
            for (uint32_t k = 0; k < 4; ++k)
                row[4 * b + k] = kind == 0 || (kind == 1 && k != only) ? 0 : gen.OneIn(2) ? gen.Sum() : gen.Word();
            ms.busVolume[b] = gen.Word();
            ms.busPan[b] = gen.Word();
            ms.busSend1[b] = gen.OneIn(3) ? 0 : gen.Word();
            ms.busSend2[b] = gen.OneIn(3) ? 0 : gen.Word();
            g_busMeterSample[b] = gen.Word();
        }
        for (auto* sums : {ms.dryLeft, ms.dryRight, ms.fx1InLeft, ms.fx1InRight, ms.fx2InLeft, ms.fx2InRight})
            for (int k = 0; k < 4; ++k) sums[k] = gen.Word();
        const MasterState start = ms;
        int32_t meterStart[kBuses];
        std::memcpy(meterStart, g_busMeterSample, sizeof meterStart);

        std::memcpy(g_mixBuffer.row[pos], row, sizeof row);
        MixBuses(pos);
        const MasterState ref = ms;
        int32_t refMeter[kBuses];
        std::memcpy(refMeter, g_busMeterSample, sizeof refMeter);

        ms = start;
        std::memcpy(g_busMeterSample, meterStart, sizeof meterStart);
        std::memcpy(g_mixBuffer.row[pos], row, sizeof row);
        LaneMixBuses(pos);
        for (int32_t w : g_mixBuffer.row[pos]) ASSERT_EQ(w, 0) << "run " << run;
        for (int b = 0; b < kBuses; ++b) ASSERT_EQ(g_busMeterSample[b], refMeter[b]) << "run " << run << " bus " << b;
        const auto* lane = reinterpret_cast<const uint32_t*>(&ms);
        const auto* want = reinterpret_cast<const uint32_t*>(&ref);
        for (size_t i = 0; i < sizeof(MasterState) / 4; ++i)
            ASSERT_EQ(lane[i], want[i]) << "run " << run << " master word " << i;
    }
}

// Whole calls with the lanes on and off from one start: random mix rows, gains,
// output stage state, meter levels, switches and call sizes (so that runs start
// and end everywhere around the meter updates), effect units on. The output,
// every master state word, the meters and the last samples agree.
TEST_F(LaneOutputStageTest, MasterLoopMatchesTheFrameByFrameLoop) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    struct Result {
        std::vector<uint32_t> out;
        MasterState master;
        std::vector<int32_t> meters;
        int32_t lastLeft, lastRight;
    };
    auto render = [&](bool lanes) {
        ResetEngineGlobals();
        UseVoiceLanes(lanes);
        Gen gen(77);
        g_effectSettings.fxType[0] = 3;
        g_effectSettings.fxParam[0][0] = 40;
        g_effectSettings.fxType[2] = 7;
        UpdateEffectUnits();
        MasterState& ms = g_masterState;
        ms.chunkPhase = static_cast<int32_t>(gen.Below(4));
        ms.meterPhase = static_cast<int32_t>(gen.Below(8));
        OutputChannel l = gen.Channel(), r = gen.Channel();
        output_stage::StoreLeft(ms, l);
        output_stage::StoreRight(ms, r);
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = static_cast<int32_t>(gen.Below(57));
            g_mixerSettings.pan[b] = static_cast<int32_t>(gen.Below(41)) - 20;
            g_mixerSettings.send1[b] = static_cast<int32_t>(gen.Below(41));
            g_mixerSettings.send2[b] = static_cast<int32_t>(gen.Below(41));
        }
        g_mixerSettings.master = 40;
        Result res;
        uint32_t pos = 0;
        for (int call = 0; call < 200; ++call) {
            const uint32_t n = 1 + gen.Below(call % 3 == 0 ? 2000 : 70);
            if (pos + n > static_cast<uint32_t>(kPeriodPositions)) pos = 0;
            for (uint32_t f = pos; f < pos + n; ++f)
                for (int32_t& w : g_mixBuffer.row[f]) w = gen.OneIn(3) ? 0 : gen.Sum() >> gen.Below(10);
            g_bassTrebleEq = gen.OneIn(3) ? 0 : 1;
            g_trebleLimiter = gen.OneIn(3) ? 0 : 1;
            // As the display lets them fall, so that they rise again.
            for (auto& level : g_meterLevels) level = static_cast<int32_t>(gen.Below(8));
            const std::vector<uint32_t> words = Render(n, pos);
            res.out.insert(res.out.end(), words.begin(), words.end());
            for (auto& level : g_meterLevels) res.meters.push_back(level);
            pos += n;
        }
        res.master = ms;
        res.lastLeft = g_lastOutLeft;
        res.lastRight = g_lastOutRight;
        UseVoiceLanes(true);
        return res;
    };
    const Result lanes = render(true);
    const Result alone = render(false);
    ASSERT_EQ(lanes.out.size(), alone.out.size());
    for (size_t i = 0; i < lanes.out.size(); ++i) ASSERT_EQ(lanes.out[i], alone.out[i]) << "frame " << i;
    EXPECT_EQ(std::memcmp(&lanes.master, &alone.master, sizeof(MasterState)), 0);
    EXPECT_EQ(lanes.meters, alone.meters);
    EXPECT_EQ(lanes.lastLeft, alone.lastLeft);
    EXPECT_EQ(lanes.lastRight, alone.lastRight);
    // The meters rose above the levels they were set to now and then.
    EXPECT_GT(std::count_if(lanes.meters.begin(), lanes.meters.end(), [](int32_t level) { return level >= 8; }),
              100);
}

}  // namespace
