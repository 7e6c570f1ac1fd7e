// render_song: renders a song file into a WAV file as the song export does,
// from a freshly started engine with the default output settings, for tests
// and benchmarks. (The program's export starts from the engine as the session
// left it: effect sweeps, noise and output filters go on from where they stood.)
//
//   render_song [--max-blocks N] SONG OUT.wav
//
// Exits 0 when the file was written; 1 with the message on stderr when the song
// cannot be read, has no data or no end, does not end within the song-block
// bound (N blocks of 8,192 frames; by default the longest song the order list
// holds without a loop), or the
// file cannot be written; 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/pattern_store.h"
#include "data/song_export.h"
#include "data/song_file.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "engine/tables.h"
#include "shared/file_io.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/song.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: render_song [--max-blocks N] SONG OUT.wav\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    uint32_t maxBlocks = kSongBlocksOfTheSong;  // the longest song without a loop
    int arg = 1;
    if (arg + 1 < argc && std::string(argv[arg]) == "--max-blocks") {
        char* end = nullptr;
        const unsigned long n = std::strtoul(argv[arg + 1], &end, 10);
        if (end == argv[arg + 1] || *end != '\0' || n == 0 || n > kMaxSongExportBlocks) return Usage();
        maxBlocks = static_cast<uint32_t>(n);
        arg += 2;
    }
    if (argc - arg != 2) return Usage();
    const std::string songPath = argv[arg];
    const std::string wavePath = argv[arg + 1];

    BuildEngineTables();
    g_startingUp = 0;
    // The song a new document starts with, which the reader then replaces.
    ResetSong();
    ResetSoundBank();
    g_tempo = 120;
    g_tempoDisplay = 120;
    g_patternLength = 64;
    g_stepsPerBeat = 4;
    NewPattern();

    CFile file;
    CFileException error;
    if (!file.Open(songPath, CFile::modeRead, &error)) {
        std::fprintf(stderr, "render_song: cannot open %s\n", songPath.c_str());
        return 1;
    }
    try {
        CArchive ar(&file, CArchive::load);
        if (!LoadSong(ar)) return 1;  // the reader has shown its message
    } catch (const CFileException&) {
        std::fprintf(stderr, "File or disk error!\n");
        return 1;
    }
    file.Close();

    // The panel copies its tempo into the engine's at its next update.
    g_tempo = g_tempoDisplay.load();
    if (!CheckSongExportable()) return 1;

    const ExportResult result = ExportSong(wavePath, nullptr, maxBlocks);
    if (result != ExportResult::kDone) return 1;
    std::printf("%s: %u kilobytes, %.3f s\n", wavePath.c_str(), g_exportKilobytes.load(), g_exportElapsedMs / 1000.0);
    return 0;
}
