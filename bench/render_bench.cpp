// RenderBlock throughput: frames per second and the real-time factor
// (frames per second / 44,100).
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/render.h"
#include "engine/tables.h"
#include "shared/render_call.h"
#include "shared/settings.h"

namespace {

void TablesOnce() {
    static bool built = false;
    if (!built) {
        BuildEngineTables();
        built = true;
    }
}

void RunCalls(benchmark::State& state, uint32_t frames) {
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
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(static_cast<double>(total) / 44100.0, benchmark::Counter::kIsRate);
}

void BM_RenderTestTone(benchmark::State& state) {
    TablesOnce();
    g_testSignal = 1;
    RunCalls(state, static_cast<uint32_t>(state.range(0)));
    g_testSignal = 0;
}
BENCHMARK(BM_RenderTestTone)->Arg(88)->Arg(8192);

void BM_RenderIdle(benchmark::State& state) {
    TablesOnce();
    g_testSignal = 0;
    g_testToneLevel = 0;
    RunCalls(state, static_cast<uint32_t>(state.range(0)));
}
BENCHMARK(BM_RenderIdle)->Arg(88)->Arg(8192);

}  // namespace
