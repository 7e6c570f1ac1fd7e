// Fuzz target: songs through the engine. Every input is read as a song over a
// song with samples; a refused one must have changed nothing, an accepted one
// keeps the song's invariants and is then played for two seconds the way the
// song export plays it, the mix bus buffer all zero after every call.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data/song_file.h"
#include "engine/tables.h"
#include "fuzz/fuzz_setup.h"
#include "fuzz/song_playback.h"
#include "shared/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_setup::Init(), BuildEngineTables(), true);
    (void)ready;
    const uint64_t before = fuzz_setup::PrepareSong();
    CMemFile mem(data, size);
    CArchive ar(&mem, CArchive::load);
    const bool loaded = LoadSong(ar);
    fuzz_setup::AfterLoad(loaded, before, "after a song load");
    if (loaded && !song_playback::PlayTwoSeconds()) {
        std::fprintf(stderr, "the mix bus buffer is not zero after a render call\n");
        std::abort();
    }
    return 0;
}
