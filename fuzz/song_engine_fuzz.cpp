// Fuzz target: songs through the engine. Every input is read as a song over a
// song with samples; a refused one must have changed nothing, an accepted one
// keeps the song's invariants and is then played for two seconds the way the
// song export plays it (engine state at its start values, every voice, the
// effect units set up before each call, calls of the export's block length).
// After every call the mix bus buffer must be all zero again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "data/song_export.h"
#include "data/song_file.h"
#include "engine/effect_setup.h"
#include "engine/render.h"
#include "engine/tables.h"
#include "fuzz/fuzz_setup.h"
#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/mix_buffer.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "tests/engine/engine_state.h"

namespace {

constexpr uint32_t kPlayFrames = 2 * 44100;

const MixBusBuffer kSilentMix{};

void RenderCall(uint32_t frames) {
    g_renderOut = g_exportBuffer;
    g_renderFrames = frames;
    g_renderPeriodPos = 0;
    UpdateEffectUnits();
    RenderBlock();
    if (std::memcmp(&g_mixBuffer, &kSilentMix, sizeof(kSilentMix)) != 0) {
        std::fprintf(stderr, "the mix bus buffer is not zero after a render call\n");
        std::abort();
    }
}

void PlayTwoSeconds() {
    engine_state::Clear();
    g_tempo = g_tempoDisplay.load();  // as the panel passes it on
    g_patternFocus = 0;
    g_loopPattern = 0;
    g_orderCursor = 0;
    g_orderTop = 0;
    g_polyphony = static_cast<uint32_t>(std::size(g_polyphonyVoices) - 1);
    g_engineReset = kResetStart;
    for (uint32_t done = 0; done < kPlayFrames; done += kExportBlockFrames) {
        RenderCall(kPlayFrames - done < kExportBlockFrames ? kPlayFrames - done : kExportBlockFrames);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_setup::Init(), BuildEngineTables(), true);
    (void)ready;
    const uint64_t before = fuzz_setup::PrepareSong();
    CMemFile mem(data, size);
    CArchive ar(&mem, CArchive::load);
    const bool loaded = LoadSong(ar);
    fuzz_setup::AfterLoad(loaded, before, "after a song load");
    if (loaded) PlayTwoSeconds();
    return 0;
}
