// Fuzz target: the instrument file reader, into sound 1 of a song that has
// samples (for reuse and renaming) and used split sets (for placement). After
// it the song must keep its invariants, and a refused input must have changed
// nothing.
#include <cstddef>
#include <cstdint>

#include "data/instrument_file.h"
#include "fuzz/fuzz_setup.h"
#include "shared/file_io.h"
#include "shared/sound_bank.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_setup::Init(), true);
    (void)ready;
    fuzz_setup::BaseSong();
    g_curSound = 1;
    const uint64_t before = song_invariants::SongFingerprint();
    CMemFile mem(data, size);
    const bool loaded = LoadInstrumentFrom(mem);
    fuzz_setup::Check("after an instrument load");
    if (!loaded) fuzz_setup::CheckUnchanged(before);
    return 0;
}
