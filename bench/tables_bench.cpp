// Start-up cost of filling the engine's lookup tables.
#include <benchmark/benchmark.h>

#include "engine/tables.h"

static void BM_BuildEngineTables(benchmark::State& state) {
    for (auto _ : state) {
        BuildEngineTables();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildEngineTables)->Unit(benchmark::kMillisecond);
