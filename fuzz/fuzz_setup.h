// Shared set-up of the file reader fuzz targets: message boxes answered without
// output (the answer chosen by the input, so that both answers are explored), a
// song with a few samples and used split sets to load into, and a trap when the
// song breaks an invariant or a refused load changed it.
//
// The song is built again only after an input that was accepted: a refused one
// has just been shown to leave the song as it was, so the next input finds the
// same song without a rebuild. Its fingerprint is taken once per build.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/pattern_store.h"
#include "data/sample_store.h"
#include "data/song_memory.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "fuzz/song_invariants.h"
#include "shared/message_box.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/song.h"

namespace fuzz_setup {

inline bool g_answerYes = true;

inline void Init() {
    SetMessageBoxHandler([](const std::string&, unsigned type, unsigned) {
        switch (type & MB_TYPEMASK) {
            case MB_YESNO:
            case MB_YESNOCANCEL: return g_answerYes ? IDYES : IDNO;
            case MB_OKCANCEL: return g_answerYes ? IDOK : IDCANCEL;
            default: return IDOK;
        }
    });
    g_startingUp = 0;
    g_polyphony = 5;
    // A sample of more than a million frames is refused as if the memory were
    // short: the readers take the same road, without the sanitizer's cost of
    // poisoning a hundred megabytes for each such input.
    g_blockAllocationLimit = size_t{2} << 20;
}

inline void AddSample(const char* name, uint32_t length, uint32_t loopPoint, uint32_t rootKey) {
    SampleBlock block = SampleBlock::Allocate(length);
    for (uint32_t i = 0; i < length; ++i) block.data()[i] = static_cast<int16_t>(i * 37);
    const uint32_t slot = g_sampleCount;
    InstallSample(slot, std::move(block), loopPoint);
    g_sampleName[slot] = name;
    g_sampleRootKey[slot] = rootKey;
    g_sampleCount = slot + 1;
}

// A new song with three samples (two of them named as an instrument or a WAV
// file might name its own) and split sets 1 and 3 in use.
inline void BaseSong() {
    g_patternLength = 64;
    g_tempoDisplay = 120;
    ResetSong();
    ResetSoundBank();
    NewPattern();
    AddSample("bass.wav", 16, 16, 48);
    AddSample("fuzz.wav", 8, 2, 36);
    AddSample("fuzz-L.wav", 4, 4, 24);
    g_splitSample[0 * 128 + 60] = 0;
    g_splitSample[2 * 128 + 61] = 1;
}

inline void Check(const char* when) {
    const std::string violation = song_invariants::Violation();
    if (!violation.empty()) {
        std::fprintf(stderr, "invariant broken %s: %s\n", when, violation.c_str());
        std::abort();
    }
}

inline bool g_songChanged = true;
inline uint64_t g_songFingerprint = 0;

// The base song for the next input (built again when the last input changed it);
// returns its fingerprint.
inline uint64_t PrepareSong() {
    if (g_songChanged) {
        BaseSong();
        Check("in the base song");
        g_songFingerprint = song_invariants::SongFingerprint();
        g_songChanged = false;
    }
    return g_songFingerprint;
}

inline void CheckUnchanged(uint64_t before) {
    if (song_invariants::SongFingerprint() != before) {
        std::fprintf(stderr, "a refused load changed the song\n");
        std::abort();
    }
}

// After a load: an accepted one keeps the invariants and has the song built
// again before the next input; a refused one changed nothing (the fingerprint
// covers all the invariants look at, and the base song keeps them).
inline void AfterLoad(bool loaded, uint64_t before, const char* when) {
    if (loaded) {
        Check(when);
        g_songChanged = true;
    } else {
        CheckUnchanged(before);
    }
}

}  // namespace fuzz_setup
