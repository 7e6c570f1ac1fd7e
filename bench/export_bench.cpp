// The song export of the worst-case song (32 tracks holding notes of the
// heaviest sounds, every bus sending to the three effect units on their
// heaviest types, in series) into a file, against the same engine calls with
// the blocks thrown away: the difference is what writing the file costs.
// Counters: the real-time factor (seconds of audio per second) of each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "data/song_export.h"
#include "engine/effect_setup.h"
#include "shared/effect_state.h"
#include "shared/message_box.h"
#include "shared/transport.h"
#include "tests/engine/engine_state.h"
#include "tests/engine/song_presets.h"

namespace {

// The worst case of the engine benchmark as a song that ends: one 64-row
// pattern (8.7 s at tempo 120), then the end mark.
void WorstCaseSong() {
    bench::TablesOnce();
    engine_state::Clear();
    song_fixture::ResetSongAndTransport();
    g_tempo = 120;
    g_bassTrebleEq = 1;
    g_trebleLimiter = 1;
    song_presets::MixerDefaults();
    for (int s = 1; s <= 8; ++s) song_presets::HeavySound(s, s);
    song_presets::HeldNotesSong(kVoices, 1);
    for (int t = 0; t < kVoices; ++t)
        song_fixture::SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(1 + t % 8));
    song_fixture::OrderEnd(1);
    g_polyphony = 5;
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.send1[b] = 30;
        g_mixerSettings.send2[b] = 30;
    }
    const int32_t types[kFxUnits] = {11, 6, 7};
    const int32_t sliders[kFxUnits][3] = {{40, 100, 100}, {100, 140, 90}, {92, 256, 0}};
    for (int u = 0; u < kFxUnits; ++u) {
        g_effectSettings.fxType[u] = types[u];
        for (int k = 0; k < 3; ++k) g_effectSettings.fxParam[u][k] = sliders[u][k];
    }
    g_effectSettings.fxSerial = 1;
    g_effectSettings.fxSerialAmount = 40;
}

void BM_ExportWorstCaseSongToFile(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() / "mc_export_bench.wav").string();
    SetMessageBoxHandler([](const std::string& text, unsigned, unsigned) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return IDOK;
    });
    double audioSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WorstCaseSong();
        state.ResumeTiming();
        if (ExportSong(path) != ExportResult::kDone) state.SkipWithError("export failed");
        audioSeconds += g_exportElapsedMs / 1000;
    }
    state.counters["x realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    std::filesystem::remove(path);
    SetMessageBoxHandler(nullptr);
}
BENCHMARK(BM_ExportWorstCaseSongToFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// The export's engine calls alone: pre-roll, song, tail and last block, nothing
// written.
void BM_ExportWorstCaseSongRenderOnly(benchmark::State& state) {
    std::vector<uint32_t> block(kExportBlockFrames);
    const auto render = [&block](uint32_t frames) {
        g_renderOut = block.data();
        g_renderFrames = frames;
        g_renderPeriodPos = 0;
        UpdateEffectUnits();
        RenderBlock();
    };
    double audioSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        WorstCaseSong();
        state.ResumeTiming();
        g_engineReset = kResetStop;
        ResetEngineBuffers();
        g_masterMute = 0;
        for (int k = 0; k < 8; ++k) render(4096);
        g_engineReset = kResetStart;
        uint32_t blocks = 0;
        do {
            render(kExportBlockFrames);
            ++blocks;
        } while (g_songPlaying != 0);
        for (uint32_t k = 0; k < kMaxTailBlocks; ++k) {
            render(kExportBlockFrames);
            ++blocks;
            uint32_t left = 0, right = 0;
            for (uint32_t w : block) {
                const int32_t l = static_cast<int16_t>(w & 0xFFFF), r = static_cast<int16_t>(w >> 16);
                left += static_cast<uint32_t>(l < 0 ? -l : l);
                right += static_cast<uint32_t>(r < 0 ? -r : r);
            }
            if (left < 131072 && right < 131072) break;
        }
        g_masterMute = 1;
        render(kExportBlockFrames);
        ++blocks;
        benchmark::DoNotOptimize(block.data());
        audioSeconds += blocks * kExportBlockMs / 1000;
    }
    state.counters["x realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ExportWorstCaseSongRenderOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
