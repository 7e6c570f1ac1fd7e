// RenderBlock throughput: frames per second and the real-time factor
// (frames per second / 44,100).
#include <benchmark/benchmark.h>

#include "bench/bench_util.h"

#include <vector>

#include "engine/render.h"
#include "engine/tables.h"
#include "shared/render_call.h"
#include "shared/settings.h"

namespace {

void BM_RenderTestTone(benchmark::State& state) {
    bench::TablesOnce();
    g_testSignal = 1;
    bench::RunRenderCalls(state, static_cast<uint32_t>(state.range(0)));
    g_testSignal = 0;
}
BENCHMARK(BM_RenderTestTone)->Arg(88)->Arg(8192);

void BM_RenderIdle(benchmark::State& state) {
    bench::TablesOnce();
    g_testSignal = 0;
    g_testToneLevel = 0;
    bench::RunRenderCalls(state, static_cast<uint32_t>(state.range(0)));
}
BENCHMARK(BM_RenderIdle)->Arg(88)->Arg(8192);

}  // namespace
