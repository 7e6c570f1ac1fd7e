// Helpers shared by the benchmarks: the engine tables built once, and the
// throughput counters every render benchmark reports.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/render.h"
#include "engine/tables.h"
#include "shared/render_call.h"

namespace bench {

inline void TablesOnce() {
    static bool built = false;
    if (!built) {
        BuildEngineTables();
        built = true;
    }
}

// Frames per second and the real-time factor (frames per second / 44,100).
inline void ReportThroughput(benchmark::State& state, int64_t frames) {
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
}

// RenderBlock calls of `frames` frames at period position 0, timed.
inline void RunRenderCalls(benchmark::State& state, uint32_t frames) {
    std::vector<uint32_t> out(frames);
    int64_t total = 0;
    for (auto _ : state) {
        g_renderOut = out.data();
        g_renderFrames = frames;
        g_renderPeriodPos = 0;
        RenderBlock();
        benchmark::DoNotOptimize(out.data());
        total += frames;
    }
    ReportThroughput(state, total);
}

}  // namespace bench
