// The shipped default song: its generator makes it again byte for byte (the
// random word aside), and it is a song the program can greet its user with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/song_export.h"
#include "shared/settings.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

const std::filesystem::path kShipped = std::filesystem::path(MC_SOURCE_DIR) / "songs" / "_default_.mcs";

Bytes MaskRandomWord(Bytes b) {
    if (b.size() >= 12) std::fill(b.begin() + 8, b.begin() + 12, uint8_t{0});
    return b;
}

class DemoSongTest : public DataTest {};

TEST_F(DemoSongTest, TheShippedDefaultSongIsWhatItsGeneratorMakes) {
    const std::string made = TempPath("demo.mcs");
    ASSERT_EQ(std::system((std::string(MC_TOOLS_DIR) + "/make_demo_song " + made).c_str()), 0);
    const Bytes shipped = ReadFileBytes(kShipped.string());
    ASSERT_FALSE(shipped.empty()) << kShipped;
    EXPECT_EQ(MaskRandomWord(ReadFileBytes(made)), MaskRandomWord(shipped))
        << "songs/_default_.mcs is out of date: run build/tools/make_demo_song songs/_default_.mcs";
}

// It loads without a message, asks for no song information at start, uses fewer
// voices than the smallest setting that plays it whole, and ends (so it can be
// exported), after several patterns.
TEST_F(DemoSongTest, TheDefaultSongLoadsQuietlyAndPlaysThroughToAnEnd) {
    ASSERT_TRUE(LoadSongBytes(ReadFileBytes(kShipped.string())));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g_showInfoOnOpen, 0);
    EXPECT_LE(g_songVoices, 16u);
    EXPECT_GE(g_patternCount, 4u);
    EXPECT_TRUE(CheckSongExportable());
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(g_soundNames[1], "NOT USED");  // the panel shows sound 1 after a load
}

}  // namespace
