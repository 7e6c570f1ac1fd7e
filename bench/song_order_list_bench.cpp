// One draw of the song-order display at its busiest: seven three-digit
// positions with patterns and transposes, the cursor on and the play mark on
// the cursor's line. Counter: allocations per draw (must stay 0).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "data/song_reset.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "tests/engine/allocation_count.h"
#include "ui/song_order_list.h"
#include "ui/view_globals.h"

namespace {

void BM_SongOrderListDraw(benchmark::State& state) {
    size_t size = 0;
    const uint8_t* glyphs = FindRawResource(IDR_GLYPHS, &size);
    if (glyphs == nullptr) {
        state.SkipWithError("no glyph sheet");
        return;
    }
    ResetSong();
    for (uint32_t p = 150; p < 157; ++p) {
        g_songOrder[p] = uint8_t(p % 100);
        g_songOrderJump[p] = uint8_t(p * 37);
    }
    g_orderTop = 150;
    g_orderCursor = 3;
    g_orderColumn = 1;
    g_patternFocus = 0;
    g_viewHasFocus = 1;
    g_songPlaying = 1;
    g_trackSongPos[0] = 153;
    std::vector<uint8_t> surface(size_t(kOrderSurfaceWidth) * kOrderSurfaceHeight);

    const long before = AllocationCount();
    for (auto _ : state) {
        RenderSongOrderList(surface.data(), glyphs);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    const long allocations = AllocationCount() - before;
    state.counters["allocs/draw"] = double(allocations) / double(state.iterations());
    if (allocations != 0) state.SkipWithError("the draw allocates");

    g_songPlaying = 0;
    g_trackSongPos[0] = 0;
    g_viewHasFocus = 0;
    g_orderTop = 0;
    g_orderCursor = 0;
    g_orderColumn = 0;
    ResetSong();
}
BENCHMARK(BM_SongOrderListDraw);

}  // namespace
