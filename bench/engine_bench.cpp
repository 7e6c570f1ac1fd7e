// RenderBlock playing songs: the worst case (all 32 tracks holding notes of the
// heaviest sound, polyphony 32) and a typical case (8 voices of a plain
// two-oscillator sound with the filter), in calls of 8,192 and of 88 frames.
// Counters: frames per second and the real-time factor (frames per second /
// 44,100); the time per iteration of the 88-frame runs is the time of one call.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/render.h"
#include "engine/tables.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/render_call.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/voice_state.h"
#include "tests/engine/song_presets.h"

namespace {

enum class Fixture { kWorst, kTypical };

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
    static bool built = false;
    if (!built) {
        BuildEngineTables();
        built = true;
    }
    std::memset(static_cast<void*>(g_voiceState), 0, sizeof(g_voiceState));
    std::memset(static_cast<void*>(&g_masterState), 0, sizeof(g_masterState));
    std::memset(&g_mixBuffer, 0, sizeof(g_mixBuffer));
    std::memset(&g_voiceEvents, 0, sizeof(g_voiceEvents));
    song_fixture::ResetSongAndTransport();
    for (auto& t : g_trackPlaying) t = 0;
    g_engineReset = 0;
    g_testSignal = 0;
    g_testToneLevel = 0;
    g_tempo = 120;
    g_bassTrebleEq = 1;
    g_trebleLimiter = 1;
    song_presets::MixerDefaults();
    if (which == Fixture::kWorst) {
        // Every track on its own bus, four tracks a bus.
        for (int s = 1; s <= 8; ++s) song_presets::HeavySound(s, s);
        song_presets::HeldNotesSong(kVoices, 1);
        for (int t = 0; t < kVoices; ++t)
            song_fixture::SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(1 + t % 8));
        g_polyphony = 5;
    } else {
        song_presets::PlainSound(1);
        song_presets::HeldNotesSong(8, 1);
        g_polyphony = 2;
    }
    song_fixture::RequestStart();
    g_pos = 0;
    // Past the note starts (255 frames after the first row) and into the notes.
    for (int i = 0; i < 8; ++i) Call(1024);
}

void Run(benchmark::State& state, Fixture which) {
    SetUpFixture(which);
    const uint32_t frames = static_cast<uint32_t>(state.range(0));
    int64_t total = 0;
    for (auto _ : state) {
        Call(frames);
        benchmark::DoNotOptimize(g_out.data());
        benchmark::ClobberMemory();
        total += frames;
    }
    state.counters["frames/s"] = benchmark::Counter(static_cast<double>(total), benchmark::Counter::kIsRate);
    state.counters["x realtime"] =
        benchmark::Counter(static_cast<double>(total) / 44100.0, benchmark::Counter::kIsRate);
}

void BM_EngineWorstCase(benchmark::State& state) { Run(state, Fixture::kWorst); }
BENCHMARK(BM_EngineWorstCase)->Arg(8192)->Arg(88)->Unit(benchmark::kMicrosecond);

void BM_EngineTypical(benchmark::State& state) { Run(state, Fixture::kTypical); }
BENCHMARK(BM_EngineTypical)->Arg(8192)->Arg(88)->Unit(benchmark::kMicrosecond);

}  // namespace
