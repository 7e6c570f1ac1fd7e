// Fuzz target: the WAV sample loader, appending or (for inputs of odd length)
// replacing sample 0, with the answers to its questions taken from the input's
// last byte. After it the store must keep its invariants, and a refused input
// must have changed nothing.
#include <cstddef>
#include <cstdint>

#include "data/wave_file.h"
#include "fuzz/fuzz_setup.h"
#include "shared/file_io.h"
#include "shared/samples.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = (fuzz_setup::Init(), true);
    (void)ready;
    const uint64_t before = fuzz_setup::PrepareSong();
    fuzz_setup::g_answerYes = size == 0 || (data[size - 1] & 1) == 0;
    const bool replace = (size & 1) != 0;
    g_sampleLoadSlot = replace ? 0 : static_cast<int32_t>(g_sampleCount.load());
    CMemFile mem(data, size);
    const bool loaded = LoadWaveSampleFrom(mem, "fuzz.wav", replace);
    fuzz_setup::AfterLoad(loaded, before, "after a wave load");
    return 0;
}
