// The command-line renderer: a song file in, a WAV file out whose length follows
// the song's tempo and rows; non-zero exit with the message for a bad, empty or
// endless song.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

class RenderSongTest : public DataTest {
protected:
    // Saves the current song and runs the tool on it; returns its exit code and
    // keeps its error output.
    int Run(const std::string& name, const std::string& options = "", void (*patch)(Bytes&) = nullptr) {
        Bytes bytes = SaveSongBytes();
        if (patch != nullptr) patch(bytes);
        const std::string song = WriteTempFile(name + ".mcs", bytes);
        wave = TempPath(name + ".wav");
        const std::string errors = TempPath(name + ".err");
        const std::string command =
            std::string(MC_TOOLS_DIR) + "/render_song " + options + " " + song + " " + wave + " >/dev/null 2>" + errors;
        const int status = std::system(command.c_str());
        const Bytes err = ReadFileBytes(errors);
        stderrText.assign(err.begin(), err.end());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // One 16-row pattern, then the end, at the given tempo.
    static void ShortSong(uint32_t tempo) {
        g_patternLength = 16;
        ResetSong();
        ASSERT_TRUE(NewPattern());
        g_songOrder[1] = kOrderEnd;
        g_tempoDisplay = tempo;
    }

    std::string wave;
    std::string stderrText;
};

// A row lasts 2 x ((0xA16C1000 / tempo >> 13) + 1) frames; the song ends after
// 16 rows, in song block (16 x row) / 8,192; then one quiet tail block and the
// faded block. The tool takes the engine's tempo from the song's.
TEST_F(RenderSongTest, WaveLengthFollowsTheSongsTempo) {
    for (uint32_t tempo : {120u, 240u}) {
        ShortSong(tempo);
        ASSERT_EQ(Run("tempo" + std::to_string(tempo)), 0) << stderrText;
        const uint32_t row = 2 * (((0xA16C1000u / tempo) >> 13) + 1);
        const uint32_t blocks = 16 * row / 8192 + 1 + 2;
        const Bytes file = ReadFileBytes(wave);
        ASSERT_EQ(file.size(), 44 + 32768u * blocks) << tempo;
        EXPECT_EQ(GetU32(&file[4]), 32768u * blocks + 36);
        EXPECT_EQ(GetU32(&file[40]), 32768u * blocks);
        EXPECT_EQ(GetU16(&file[22]), 2);
        EXPECT_EQ(GetU32(&file[24]), 44100u);
    }
}

TEST_F(RenderSongTest, BadEmptyAndEndlessSongsFail) {
    ShortSong(120);
    g_songOrder[0] = kOrderEnd;
    EXPECT_EQ(Run("empty"), 1);
    EXPECT_NE(stderrText.find("There is no data to export!"), std::string::npos) << stderrText;

    ShortSong(120);
    g_songOrder[1] = kOrderJump;
    g_songOrderJump[1] = 0;
    EXPECT_EQ(Run("new"), 1);
    EXPECT_NE(stderrText.find("infinite loop"), std::string::npos) << stderrText;

    // An end behind the jump back: the writer stores the list up to its first
    // mark, so the file is patched into 0, jump to 0, end.
    ShortSong(120);
    g_songOrder[1] = 0;
    g_songOrder[2] = kOrderEnd;
    EXPECT_EQ(Run("endless", "--max-blocks 4", [](Bytes& b) {
                  ASSERT_EQ(GetU32(&b[520]), 3u);
                  b[524 + 1] = kOrderJump;
                  b[524 + 3 + 1] = 0;
              }),
              1);
    EXPECT_NE(stderrText.find("infinite loop"), std::string::npos) << stderrText;
    EXPECT_EQ(ReadFileBytes(wave).size(), 44 + 4 * 32768u);

    const std::string garbage = WriteTempFile("garbage.mcs", Bytes{'M', 'C', 'F', 'm', 't', '1', '\r', '\n', 1, 2});
    const std::string command = std::string(MC_TOOLS_DIR) + "/render_song " + garbage + " " + TempPath("g.wav") +
                                " 2>" + TempPath("g.err");
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const Bytes err = ReadFileBytes(TempPath("g.err"));
    EXPECT_NE(std::string(err.begin(), err.end()).find("Unsupported song format or invalid file!"), std::string::npos);
}

}  // namespace
