// RenderBlock playing songs: the worst case (all 32 tracks holding notes of the
// heaviest sound, polyphony 32, every bus sending to both effect sends, the three
// effect units on their heaviest types: dual-voice chorus, stereo flanger and
// plate, in series; equaliser and limiter on), the same without the effect units,
// and a typical case (8 voices of a plain two-oscillator sound with the filter),
// in calls of 8,192 and of 88 frames; the worst and typical cases also voice by
// voice, without the eight-voice lanes. Counters: frames per second and the
// real-time factor (frames per second / 44,100); the time per iteration of the
// 88-frame runs is the time of one call.
#include <benchmark/benchmark.h>

#include "bench/bench_util.h"
#include "tests/engine/engine_state.h"

#include <cstring>
#include <vector>

#include "engine/effect_setup.h"
#include "engine/render.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "shared/events.h"
#include "shared/effect_state.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/render_call.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/voice_state.h"
#include "tests/engine/song_presets.h"

namespace {

enum class Fixture { kWorst, kWorstWithoutEffects, kTypical };

std::vector<uint32_t> g_out(kMaxRenderFrames);
uint32_t g_pos = 0;

// One call of `frames` frames at the next period position, as a host makes them.
void Call(uint32_t frames) {
    if (g_pos + frames > static_cast<uint32_t>(kPeriodPositions)) g_pos = 0;
    g_renderOut = g_out.data();
    g_renderFrames = frames;
    g_renderPeriodPos = g_pos;
    RenderBlock();
    g_pos += frames;
}

void SetUpFixture(Fixture which) {
    bench::TablesOnce();
    engine_state::Clear();
    song_fixture::ResetSongAndTransport();
    g_tempo = 120;
    g_bassTrebleEq = 1;
    g_trebleLimiter = 1;
    song_presets::MixerDefaults();
    // Effect units off unless the fixture turns them on.
    for (int u = 0; u < kFxUnits; ++u) {
        g_effectSettings.fxType[u] = 0;
        for (auto& slider : g_effectSettings.fxParam[u]) slider = 0;
    }
    g_effectSettings.fxSerial = 0;
    g_effectSettings.fxSerialAmount = 0;
    if (which != Fixture::kTypical) {
        // Eight sounds on eight buses, four tracks a bus.
        for (int s = 1; s <= 8; ++s) song_presets::HeavySound(s, s);
        song_presets::HeldNotesSong(kVoices, 1);
        for (int t = 0; t < kVoices; ++t)
            song_fixture::SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(1 + t % 8));
        g_polyphony = 5;
    }
    if (which == Fixture::kWorst) {
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.send1[b] = 30;
            g_mixerSettings.send2[b] = 30;
        }
        // Unit 1 dual-voice chorus, unit 2 stereo flanger, unit 3 plate, in
        // series; sliders at the ends of their ranges that make the sweeps longest.
        const int32_t types[kFxUnits] = {11, 6, 7};
        const int32_t sliders[kFxUnits][3] = {{40, 100, 100}, {100, 140, 90}, {92, 256, 0}};
        for (int u = 0; u < kFxUnits; ++u) {
            g_effectSettings.fxType[u] = types[u];
            for (int k = 0; k < 3; ++k) g_effectSettings.fxParam[u][k] = sliders[u][k];
        }
        g_effectSettings.fxSerial = 1;
        g_effectSettings.fxSerialAmount = 40;
    }
    if (which == Fixture::kTypical) {
        song_presets::PlainSound(1);
        song_presets::HeldNotesSong(8, 1);
        g_polyphony = 2;
    }
    UpdateEffectUnits();
    song_fixture::RequestStart();
    g_pos = 0;
    // Past the note starts (255 frames after the first row) and into the notes.
    for (int i = 0; i < 8; ++i) Call(1024);
}

void Run(benchmark::State& state, Fixture which, bool lanes = true) {
    UseVoiceLanes(lanes);
    SetUpFixture(which);
    const uint32_t frames = static_cast<uint32_t>(state.range(0));
    int64_t total = 0;
    for (auto _ : state) {
        Call(frames);
        benchmark::DoNotOptimize(g_out.data());
        benchmark::ClobberMemory();
        total += frames;
    }
    bench::ReportThroughput(state, total);
    UseVoiceLanes(true);
}

void BM_EngineWorstCase(benchmark::State& state) { Run(state, Fixture::kWorst); }
BENCHMARK(BM_EngineWorstCase)->Arg(8192)->Arg(88)->Unit(benchmark::kMicrosecond);

void BM_EngineWorstCaseWithoutEffects(benchmark::State& state) { Run(state, Fixture::kWorstWithoutEffects); }
BENCHMARK(BM_EngineWorstCaseWithoutEffects)->Arg(8192)->Arg(88)->Unit(benchmark::kMicrosecond);

void BM_EngineTypical(benchmark::State& state) { Run(state, Fixture::kTypical); }
BENCHMARK(BM_EngineTypical)->Arg(8192)->Arg(88)->Unit(benchmark::kMicrosecond);

// The same fixtures voice by voice, as on a processor without the voice lanes.
void BM_EngineWorstCaseVoiceByVoice(benchmark::State& state) { Run(state, Fixture::kWorst, false); }
BENCHMARK(BM_EngineWorstCaseVoiceByVoice)->Arg(8192)->Unit(benchmark::kMicrosecond);

void BM_EngineTypicalVoiceByVoice(benchmark::State& state) { Run(state, Fixture::kTypical, false); }
BENCHMARK(BM_EngineTypicalVoiceByVoice)->Arg(8192)->Unit(benchmark::kMicrosecond);

}  // namespace
