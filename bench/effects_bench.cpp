// Cost of the effect units per frame, driven as the master loop drives them
// (chunkPhase advancing, fresh sends at each sub-frame), on the heaviest types:
// unit 1 dual-voice chorus, unit 2 stereo flanger, unit 3 plate, serial
// connection. Also the set-up call and a render call with the units on.
#include <benchmark/benchmark.h>

#include "bench/bench_util.h"

#include <cstdint>
#include <vector>

#include "engine/effect_setup.h"
#include "engine/render.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/master_state.h"
#include "shared/mixer.h"
#include "shared/render_call.h"
#include "shared/song.h"

namespace {


void SetEffects(int32_t t1, int32_t t2, int32_t t3) {
    const int32_t types[3] = {t1, t2, t3};
    // Sliders at the ends of their ranges that make the sweeps longest.
    const int32_t params[3][3] = {{40, 100, 100}, {100, 140, 90}, {92, 256, 0}};
    for (int u = 0; u < 3; ++u) {
        g_effectSettings.fxType[u] = types[u];
        for (int s = 0; s < 3; ++s) g_effectSettings.fxParam[u][s] = params[u][s];
    }
    g_effectSettings.fxSerial = 1;
    g_effectSettings.fxSerialAmount = 40;
    g_tempo = 120;
    UpdateEffectUnits();
}

void Off() {
    SetEffects(0, 0, 0);
    g_effectSettings.fxSerial = 0;
}

// Frames of effects per second; real time is 44,100 frames per second.
void RunFrames(benchmark::State& state) {
    MasterState& ms = g_masterState;
    uint32_t noise = 1;
    int64_t frames = 0;
    for (auto _ : state) {
        for (int i = 0; i < 4096; ++i) {
            ms.chunkPhase = (ms.chunkPhase + 1) & 3;
            if (ms.chunkPhase == 0) {
                for (int k = 0; k < 4; ++k) {
                    noise = noise * 1664525u + 1013904223u;
                    const int32_t x = static_cast<int32_t>(noise >> 19) - 4096;
                    ms.fx1InLeft[k] = x;
                    ms.fx1InRight[k] = -x;
                    ms.fx2InLeft[k] = x >> 1;
                    ms.fx2InRight[k] = x >> 2;
                }
            }
            RunEffectUnits();
        }
        benchmark::DoNotOptimize(ms.fx2OutLeft);
        frames += 4096;
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(static_cast<double>(frames) / 44100.0, benchmark::Counter::kIsRate);
    state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(frames),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                    benchmark::Counter::kIs1000);
}

void BM_EffectsHeaviest(benchmark::State& state) {
    bench::TablesOnce();
    SetEffects(11, 6, 7);  // dual-voice chorus, stereo flanger, plate; serial
    RunFrames(state);
    Off();
}
BENCHMARK(BM_EffectsHeaviest);

void BM_EffectsDelays(benchmark::State& state) {
    bench::TablesOnce();
    SetEffects(4, 4, 4);  // ping-pong delay in every unit
    RunFrames(state);
    Off();
}
BENCHMARK(BM_EffectsDelays);

void BM_EffectsOff(benchmark::State& state) {
    bench::TablesOnce();
    Off();
    RunFrames(state);
}
BENCHMARK(BM_EffectsOff);

void BM_UpdateEffectUnits(benchmark::State& state) {
    SetEffects(11, 6, 7);
    for (auto _ : state) {
        UpdateEffectUnits();
        benchmark::ClobberMemory();
    }
    Off();
}
BENCHMARK(BM_UpdateEffectUnits);

// A render call with no voice sounding and the heaviest effects on.
void BM_RenderIdleHeaviestEffects(benchmark::State& state) {
    bench::TablesOnce();
    SetEffects(11, 6, 7);
    bench::RunRenderCalls(state, static_cast<uint32_t>(state.range(0)));
    Off();
}
BENCHMARK(BM_RenderIdleHeaviestEffects)->Arg(8192);

}  // namespace
