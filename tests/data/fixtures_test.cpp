// Every damaged or hostile file kept in tests/data/fixtures (hand-made ones and
// the inputs the fuzz step found) goes through its reader over a song with
// samples: the song keeps its invariants, and a refused file changes nothing.
// The songs (with those the engine fuzz target found, and the demo song, which
// sounds) are also played for two seconds when they load.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "data/instrument_file.h"
#include "data/song_file.h"
#include "data/wave_file.h"
#include "engine/tables.h"
#include "fuzz/fuzz_setup.h"
#include "fuzz/song_playback.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

const std::filesystem::path kFixtures = std::filesystem::path(MC_SOURCE_DIR) / "tests" / "data" / "fixtures";

std::vector<std::filesystem::path> FilesIn(const std::string& kind) {
    std::vector<std::filesystem::path> files;
    if (!std::filesystem::is_directory(kFixtures / kind)) return files;
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures / kind)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FixturesTest : public DataTest {
protected:
    // Reads every file of a kind with read; each answer is tried for files that ask.
    template <typename Read>
    void ReadAll(const std::string& kind, Read read) {
        const auto files = FilesIn(kind);
        EXPECT_FALSE(files.empty()) << kind;
        for (const auto& path : files) {
            for (int answer : {IDYES, IDNO}) {
                fuzz_setup::BaseSong();
                const uint64_t before = song_invariants::SongFingerprint();
                answers = {answer == IDYES ? IDOK : IDCANCEL, answer};
                const bool loaded = read(path.string());
                EXPECT_EQ(song_invariants::Violation(), "") << path;
                if (!loaded) {
                    EXPECT_EQ(song_invariants::SongFingerprint(), before) << path << " changed the song";
                }
            }
        }
    }
};

TEST_F(FixturesTest, SongFiles) {
    ReadAll("song", [](const std::string& path) {
        CFile file(path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        return LoadSong(ar);
    });
}

TEST_F(FixturesTest, SongsPlayThroughTheEngine) {
    BuildEngineTables();
    auto files = FilesIn("song");
    const auto found = FilesIn("engine");
    files.insert(files.end(), found.begin(), found.end());
    files.push_back(kFixtures / "../../../songs/_default_.mcs");
    int played = 0;
    for (const auto& path : files) {
        fuzz_setup::BaseSong();
        CFile file(path.string(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        if (!LoadSong(ar)) continue;
        EXPECT_TRUE(song_playback::PlayTwoSeconds()) << path << " left the mix bus buffer dirty";
        ++played;
    }
    EXPECT_GT(played, 0);
}

TEST_F(FixturesTest, InstrumentFiles) {
    ReadAll("instrument", [](const std::string& path) {
        g_curSound = 1;
        return LoadInstrumentFile(path);
    });
}

TEST_F(FixturesTest, WaveFiles) {
    ReadAll("wave", [](const std::string& path) {
        g_sampleLoadSlot = static_cast<int32_t>(g_sampleCount.load());
        return LoadWaveSample(path, "fuzz.wav", false);
    });
}

}  // namespace
