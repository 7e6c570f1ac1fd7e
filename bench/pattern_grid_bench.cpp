// The pattern grid's full redraw in its heaviest state: the large layout, 32
// tracks in use, every cell holding two commands and a note, the cursor, a
// play row in every column, a selection over everything and the beat marks.
// The grid is redrawn at every row change while the song plays; the counter
// "allocations/draw" must stay 0.
#include <benchmark/benchmark.h>

#include <vector>

#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "res/skin_files.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "tests/engine/allocation_count.h"
#include "ui/pattern_grid.h"
#include "ui/view_globals.h"

namespace {

void BusiestGrid(std::vector<uint8_t>& surface, std::vector<uint8_t>& sheet) {
    g_patternLength = 64;
    ResetSong();
    NewPattern();
    uint8_t* pattern = g_patterns[0];
    const uint32_t length = g_patternLength;
    for (uint32_t t = 0; t < kVoices; ++t)
        for (uint32_t r = 0; r < length; ++r) {
            pattern[PatternIndex(t, 0, r, length)] = uint8_t(((r % 15) + 1) << 4 | (t % 15 + 1));
            pattern[PatternIndex(t, 1, r, length)] = uint8_t(r % 100);
            pattern[PatternIndex(t, 2, r, length)] = uint8_t(99 - r % 100);
            pattern[PatternIndex(t, 3, r, length)] = uint8_t((r * 7 + t) % 2 ? (r + t) % 120 : 128 + (r + t) % 120);
        }

    const auto data = FindSkinRawData(188);
    sheet.assign(data.begin(), data.end());
    g_glyphData = sheet.data();
    g_gridHeight = 172;
    g_visibleRows = 19;
    g_cursorRow = 9;
    surface.assign(632 * 172, 0);
    g_gridBits = surface.data();

    g_polyphony = 5;
    g_orderTop = 0;
    g_orderCursor = 0;
    g_firstTrack = 0;
    g_editStep = 20;
    g_cursorColumn = 6;
    g_patternFocus = 1;
    g_viewHasFocus = 1;
    g_markBeats = 1;
    g_followSong = 0;
    g_songPlaying = 1;
    for (int t = 0; t < kVoices; ++t) {
        g_trackSongPos[t] = 0;
        g_trackRow[t] = uint32_t(12 + t % 19);
    }
    g_selPattern = 0;
    g_selFirstPart = 0;
    g_selLastPart = 96;
    g_selFirstStep = 0;
    g_selLastStep = 64;
}

void BM_PatternGridFullDraw(benchmark::State& state) {
    std::vector<uint8_t> surface, sheet;
    BusiestGrid(surface, sheet);
    DrawPatternGridSurface();
    const long before = AllocationCount();
    int64_t draws = 0;
    for (auto _ : state) {
        DrawPatternGridSurface();
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
        ++draws;
    }
    const long allocations = AllocationCount() - before;
    state.counters["allocations/draw"] = draws ? double(allocations) / double(draws) : 0.0;
    if (allocations != 0) state.SkipWithError("the grid drawing allocated");
    g_gridBits = nullptr;
    g_glyphData = nullptr;
    g_songPlaying = 0;
    ResetSong();
}
BENCHMARK(BM_PatternGridFullDraw)->Unit(benchmark::kMicrosecond);

}  // namespace
