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
    g_curSound = 1;
    const uint64_t before = fuzz_setup::PrepareSong();
    CMemFile mem(data, size);
    const bool loaded = LoadInstrumentFrom(mem);
    fuzz_setup::AfterLoad(loaded, before, "after an instrument load");
    return 0;
}
