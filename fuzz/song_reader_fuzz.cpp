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
    fuzz_setup::BaseSong();
    const uint64_t before = song_invariants::SongFingerprint();
    CMemFile mem(data, size);
    CArchive ar(&mem, CArchive::load);
    const bool loaded = LoadSong(ar);
    fuzz_setup::Check("after a song load");
    if (!loaded) fuzz_setup::CheckUnchanged(before);
    return 0;
}
