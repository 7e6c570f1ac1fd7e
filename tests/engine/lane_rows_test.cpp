// The bus addition of a lane row against lane-by-lane addition: random addends
// (range ends often), random active sets, and bus words laid out as every lane
// on one bus, lane l on bus l, and any buses (with bits above the bus number).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "engine/voice_lanes.h"

namespace {

TEST(LaneAddToBusesTest, AddsEachActiveLaneIntoItsBusWords) {
    if (!VoiceLanesSupported()) GTEST_SKIP() << "no AVX2";
    std::mt19937 rng(7321u);
    const auto word = [&] {
        static constexpr uint32_t kEdges[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        return rng() % 4 == 0 ? kEdges[rng() % 5] : static_cast<uint32_t>(rng());
    };
    int failures = 0;
    for (int n = 0; n < 20000 && failures < 10; ++n) {
        LaneMix mix;
        LaneRow row{};
        for (auto& frame : mix.add)
            for (auto& w : frame) w = static_cast<int32_t>(word());
        const uint32_t pick = rng() % 4;
        const uint32_t active = pick == 0 ? 0xFFu : pick == 1 ? 0u : rng() % 256;
        const uint32_t layout = rng() % 3;
        const uint32_t one = rng();
        for (int l = 0; l < kLanes; ++l) {
            const uint32_t high = rng() % 2 ? 0u : static_cast<uint32_t>(rng()) & ~7u;
            row.bus[l] = layout == 0 ? one : layout == 1 ? static_cast<uint32_t>(l) | high : static_cast<uint32_t>(rng());
            // An inactive lane on another bus must not change the layout taken.
            if (!((active >> l) & 1) && rng() % 2) row.bus[l] = static_cast<uint32_t>(rng());
        }
        int32_t got[kBuses * 4], want[kBuses * 4];
        for (int i = 0; i < kBuses * 4; ++i) got[i] = want[i] = static_cast<int32_t>(word());
        for (int l = 0; l < kLanes; ++l) {
            if (!((active >> l) & 1)) continue;
            for (int i = 0; i < 4; ++i) {
                int32_t& w = want[4 * (row.bus[l] % 8) + i];
                w = static_cast<int32_t>(static_cast<uint32_t>(w) + static_cast<uint32_t>(mix.add[i][l]));
            }
        }
        LaneAddToBuses(mix, active, row.bus, got);
        for (int i = 0; i < kBuses * 4; ++i) {
            if (got[i] == want[i]) continue;
            ++failures;
            ADD_FAILURE() << "case " << n << " layout " << layout << " active " << active << " bus " << i / 4
                          << " frame " << i % 4 << ": " << got[i] << " != " << want[i];
        }
    }
}

}  // namespace
