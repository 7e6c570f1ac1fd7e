// Fuzz target: the song file reader. Every input is read over a song with
// samples; after it the song must keep its invariants, and a refused input must
// have changed nothing.
#include <cstddef>
#include <cstdint>

#include "data/song_file.h"
#include "fuzz/fuzz_setup.h"
#include "shared/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_setup::Init(), true);
    (void)ready;
    const uint64_t before = fuzz_setup::PrepareSong();
    CMemFile mem(data, size);
    CArchive ar(&mem, CArchive::load);
    const bool loaded = LoadSong(ar);
    fuzz_setup::AfterLoad(loaded, before, "after a song load");
    return 0;
}
