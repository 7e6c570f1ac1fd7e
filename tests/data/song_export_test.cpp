// The offline render loop: the checks before an export, the file's length and
// header against the song's length in rows, its content against the same
// sequence of engine calls made here, what a live session leaves behind kept
// out of the file, the bound on a song that never ends, and file errors.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "data/song_export.h"
#include "data/wave_file.h"
#include "engine/effect_setup.h"
#include "engine/master.h"
#include "engine/render.h"
#include "engine/tables.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "tests/data/file_fixture.h"
#include "tests/faulty_file.h"
#include "tests/engine/engine_state.h"

namespace {

using namespace file_fixture;

constexpr char kInfiniteLoop[] =
    "Cannot export current song, because it contains an infinite loop.\n"
    "Use the command \"STOP\" to mark the end of the song!";

class SongExportTest : public DataTest {
protected:
    static void SetUpTestSuite() {
        static bool built = false;
        if (!built) BuildEngineTables();
        built = true;
    }

    void SetUp() override {
        DataTest::SetUp();
        ResetEngine();
        g_tempo = 120;
        g_stepsPerBeat = 4;
        g_doubleStepsPerBeat = 0;
        g_songMode = 1;
        g_patternCue = 0;
    }

    // The engine as at program start.
    static void ResetEngine() {
        engine_state::Clear();
    }

    // A song of one 16-row pattern followed by the end.
    static void ShortSong() {
        g_patternLength = 16;
        ResetSong();
        ASSERT_TRUE(NewPattern());
        g_songOrder[1] = kOrderEnd;
    }

    // The export's engine calls made directly: the words of every written block.
    static std::vector<uint32_t> ReferenceRender(uint32_t* songBlocks) {
        std::vector<uint32_t> out;
        std::vector<uint32_t> block(kExportBlockFrames);
        const auto render = [&block](uint32_t frames) {
            g_renderOut = block.data();
            g_renderFrames = frames;
            g_renderPeriodPos = 0;
            RenderBlock();
        };
        g_engineReset = kResetStop;
        for (int k = 0; k < 8; ++k) render(4096);
        g_engineReset = kResetStart;
        g_polyphony = 5;
        *songBlocks = 0;
        do {
            render(kExportBlockFrames);
            out.insert(out.end(), block.begin(), block.end());
            ++*songBlocks;
        } while (g_songPlaying != 0);
        for (int k = 0; k < 64; ++k) {
            render(kExportBlockFrames);
            out.insert(out.end(), block.begin(), block.end());
            uint32_t left = 0, right = 0;
            for (uint32_t w : block) {
                left += static_cast<uint32_t>(std::abs(static_cast<int16_t>(w & 0xFFFF)));
                right += static_cast<uint32_t>(std::abs(static_cast<int16_t>(w >> 16)));
            }
            if (left < 131072 && right < 131072) break;
        }
        g_masterMute = 1;
        render(kExportBlockFrames);
        out.insert(out.end(), block.begin(), block.end());
        return out;
    }
};

TEST_F(SongExportTest, ChecksBeforeTheExport) {
    const struct {
        const char* what;
        std::vector<std::pair<int, std::pair<uint8_t, uint8_t>>> positions;  // position, (entry, jump byte)
        const char* message;  // null: the song may be exported
    } cases[] = {
        {"new song: a jump back without end", {}, kInfiniteLoop},
        {"255 at position 0", {{0, {255, 0}}}, "There is no data to export!"},
        {"101 at position 0", {{0, {101, 0}}}, "There is no data to export!"},
        {"end at 2", {{2, {255, 0}}}, nullptr},
        {"jump at 5 to itself", {{1, {0, 0}}, {5, {254, 5}}}, nullptr},
        {"jump at 5 to 4", {{1, {0, 0}}, {5, {254, 4}}}, kInfiniteLoop},
        {"end at 199 only", {{1, {0, 0}}, {199, {255, 0}}}, nullptr},
    };
    for (const auto& c : cases) {
        ResetSong();
        for (const auto& [pos, entry] : c.positions) {
            g_songOrder[pos] = entry.first;
            g_songOrderJump[pos] = entry.second;
        }
        boxes.clear();
        EXPECT_EQ(CheckSongExportable(), c.message == nullptr) << c.what;
        if (c.message != nullptr) {
            ASSERT_EQ(boxes.size(), 1u) << c.what;
            EXPECT_EQ(boxes[0].text, c.message) << c.what;
            EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
        } else {
            EXPECT_TRUE(boxes.empty()) << c.what;
        }
    }
}

// 16 rows at tempo 120: a row is 2 x ((0xA16C1000 / 120 >> 13) + 1) = 5,510
// frames, so the track passes the end at frame 16 x 5,510 = 88,160 of the song,
// inside song block 88,160 / 8,192 = 10: eleven song blocks, one quiet tail
// block, one faded block.
TEST_F(SongExportTest, FileLengthHeaderAndContent) {
    ShortSong();
    struct Recorder : ExportProgress {
        void PreRoll(int p) override { preRoll.push_back(p); }
        void SongStarted(uint32_t expected) override { expectedBlocks = expected; }
        void SongBlock() override { ++songBlocks; }
        void TailStarted() override { ++tails; }
        void TailBlock(int c) override { tailCounters.push_back(c); }
        void BlockWritten() override { ++written; }
        std::vector<int> preRoll, tailCounters;
        uint32_t expectedBlocks = 0;
        int songBlocks = 0, tails = 0, written = 0;
    } progress;
    g_polyphony = 2;
    const std::string path = TempPath("export.wav");
    ASSERT_EQ(ExportSong(path, &progress), ExportResult::kDone);
    EXPECT_TRUE(boxes.empty());

    const uint32_t frameOfEnd = 16 * 2 * (((0xA16C1000u / 120) >> 13) + 1);
    ASSERT_EQ(frameOfEnd, 88160u);
    const uint32_t songBlocks = frameOfEnd / 8192 + 1;
    const uint32_t blocks = songBlocks + 1 + 1;
    const Bytes file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 44 + 32768u * blocks);
    const auto header = StereoWaveHeader(32768 * blocks);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
    EXPECT_EQ(g_exportKilobytes, 32 * blocks);
    EXPECT_DOUBLE_EQ(g_exportElapsedMs, blocks * 185.7596371882);
    EXPECT_EQ(g_polyphony, 5u);  // 32 voices; restoring it is the caller's

    EXPECT_EQ(progress.preRoll, (std::vector<int>{0, 14, 21, 35, 49, 64, 78, 99}));
    EXPECT_EQ(progress.expectedBlocks, 10u);  // 16 rows x 1 position x 500 ms / 185.76 ms / 4 = 10.77
    EXPECT_EQ(progress.songBlocks, static_cast<int>(songBlocks));
    EXPECT_EQ(progress.tails, 1);
    EXPECT_EQ(progress.tailCounters, (std::vector<int>{0}));
    EXPECT_EQ(progress.written, static_cast<int>(blocks));

    // The same engine calls made directly give the same frames.
    ResetEngine();
    ShortSong();
    uint32_t referenceSongBlocks = 0;
    const std::vector<uint32_t> want = ReferenceRender(&referenceSongBlocks);
    EXPECT_EQ(referenceSongBlocks, songBlocks);
    ASSERT_EQ(want.size() * 4, file.size() - 44);
    for (size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(GetU32(&file[44 + 4 * i]), want[i]) << "frame " << i;
    }
}

// The demo song played live for a while (2,048-frame blocks at period position
// 0, each followed by the effect set-up, as the live paths call the engine),
// then stopped; `leave` adds what the session leaves for its device; then the
// export. The file's sample words.
std::vector<uint32_t> ExportAfterLivePlaying(void (*leave)()) {
    engine_state::Clear();
    const Bytes song = ReadFileBytes((std::filesystem::path(MC_SOURCE_DIR) / "songs" / "_default_.mcs").string());
    EXPECT_TRUE(LoadSongBytes(song));
    g_tempo = g_tempoDisplay.load();
    std::vector<uint32_t> block(2048);
    const auto live = [&block](int blocks) {
        for (int i = 0; i < blocks; ++i) {
            g_renderOut = block.data();
            g_renderFrames = 2048;
            g_renderPeriodPos = 0;
            RenderBlock();
            UpdateEffectUnits();
        }
    };
    g_engineReset = kResetStart;
    live(60);
    g_engineReset = kResetStop;
    live(4);
    if (leave != nullptr) leave();
    const std::string path = TempPath("after-live.wav");
    EXPECT_EQ(ExportSong(path), ExportResult::kDone);
    const Bytes file = ReadFileBytes(path);
    std::vector<uint32_t> words((file.size() - 44) / 4);
    for (size_t i = 0; i < words.size(); ++i) words[i] = GetU32(&file[44 + 4 * i]);
    return words;
}

// The export starts from the engine as the session left it: the effect units'
// sweeps, the noise generators and the output filters go on from where they
// stood (so the same playing is needed before both exports). What the session
// queued or left sounding for its device does not reach the file.
TEST_F(SongExportTest, WhatTheLiveSessionLeftForItsDeviceStaysOutOfTheFile) {
    const struct {
        const char* what;
        void (*leave)();
    } cases[] = {
        {"a preview note queued for the closed device beyond the pre-roll",
         [] {
             auto& q = g_voiceEvents;
             q.key[0][6000] = 40;
             q.sound[0][6000] = 1;
             q.code[0][6000] = kVoiceEventNoteOn;
         }},
        {"the rest of a test tone's fade-out", [] { g_testToneLevel = 0x50000000; }},
        {"a pitch bend held on the voices of a MIDI channel",
         [] {
             for (int v = 0; v < 8; ++v) g_voiceState[v].pitchBend = 300;
         }},
    };
    const std::vector<uint32_t> want = ExportAfterLivePlaying(nullptr);
    for (const auto& c : cases) {
        const std::vector<uint32_t> got = ExportAfterLivePlaying(c.leave);
        ASSERT_EQ(got.size(), want.size()) << c.what;
        size_t first = 0;
        while (first < want.size() && got[first] == want[first]) ++first;
        EXPECT_EQ(first, want.size()) << c.what << ": the file differs from frame " << first;
    }
}

TEST_F(SongExportTest, ASongThatNeverEndsStopsAtTheBound) {
    ShortSong();
    g_songOrder[1] = kOrderJump;  // back to 0 ...
    g_songOrderJump[1] = 0;
    g_songOrder[2] = kOrderEnd;   // ... before the end
    ASSERT_TRUE(CheckSongExportable());
    const std::string path = TempPath("endless.wav");
    EXPECT_EQ(ExportSong(path, nullptr, 30), ExportResult::kEndless);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kInfiniteLoop);
    EXPECT_EQ(g_engineReset, kResetStop);
    const Bytes file = ReadFileBytes(path);
    ASSERT_EQ(file.size(), 44 + 30 * 32768u);
    EXPECT_EQ(GetU32(&file[4]), 30 * 32768u + 36);
    EXPECT_EQ(GetU32(&file[40]), 30 * 32768u);
    EXPECT_EQ(kMaxSongExportBlocks, 131006u);  // 4 GB of 32 KB blocks, less the tail and last block
}

TEST_F(SongExportTest, EveryFileFailureIsReportedByCauseAndLeavesTheTransportStopped) {
    // ShortSong writes the header, 13 blocks and the two size fields.
    const struct {
        const char* what;
        int createCause, failWrite, failSeek;
        bool failClose;
        int cause;
        const char* message;
    } cases[] = {
        {"create", CFileException::accessDenied, 0, 0, false, CFileException::none, "Export failed. Access Denied!"},
        {"header", CFileException::none, 1, 0, false, CFileException::diskFull, "Export failed. Disk full!"},
        {"middle block", CFileException::none, 6, 0, false, CFileException::generic, "Export failed. Disk error!"},
        {"size field", CFileException::none, 16, 0, false, CFileException::diskFull, "Export failed. Disk full!"},
        {"seek to a size field", CFileException::none, 0, 1, false, CFileException::accessDenied,
         "Export failed. Access Denied!"},
        {"close", CFileException::none, 0, 0, true, CFileException::diskFull, "Export failed. Disk full!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngine();
        ShortSong();
        FaultyFiles files;
        files.faults.createCause = c.createCause;
        files.faults.failWrite = c.failWrite;
        files.faults.failSeek = c.failSeek;
        files.faults.failClose = c.failClose;
        files.faults.cause = c.cause;
        boxes.clear();
        g_playFlag = 1;
        EXPECT_EQ(ExportSong(TempPath("failed.wav")), ExportResult::kFileError);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
        EXPECT_EQ(g_engineReset, kResetStop) << "no start request or running song left behind";
        EXPECT_EQ(g_playFlag, 0u);
    }
}

// 16-row patterns at tempo 400: a row is 37.5 ms, so 200 positions hold at most
// 120 s of song; with its margin the bound is 675 blocks.
TEST_F(SongExportTest, ASongWhoseEndLiesBehindAJumpBackStopsAtTheLongestLoopFreeLength) {
    g_tempo = 400;
    ShortSong();
    g_songOrder[1] = kOrderJump;
    g_songOrderJump[1] = 0;
    g_songOrder[2] = kOrderEnd;
    ASSERT_TRUE(CheckSongExportable());
    const uint32_t bound = LongestSongBlocks();
    EXPECT_EQ(bound, 675u);
    g_playFlag = 1;
    const std::string path = TempPath("endless400.wav");
    EXPECT_EQ(ExportSong(path), ExportResult::kEndless);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kInfiniteLoop);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_NEAR(g_exportElapsedMs / 1000, 125, 5);
    const uint64_t size = std::filesystem::file_size(path);
    EXPECT_EQ(size, 44 + uint64_t{bound} * 32768);
    EXPECT_NEAR(static_cast<double>(size) / 1e6, 22, 1.5);
    std::filesystem::remove(path);

    // The longest loop-free song of the same rows is not cut.
    ResetEngine();
    boxes.clear();
    ShortSong();
    for (int pos = 1; pos < 199; ++pos) g_songOrder[pos] = 0;
    g_songOrder[199] = kOrderEnd;
    ASSERT_TRUE(CheckSongExportable());
    EXPECT_EQ(ExportSong(path), ExportResult::kDone);
    EXPECT_TRUE(boxes.empty());
    EXPECT_GT(g_exportElapsedMs / 1000, 199 * 16 * 0.0375);
    std::filesystem::remove(path);
}

TEST_F(SongExportTest, ATailThatNeverFallsQuietStopsAfterSixtyFourBlocks) {
    ShortSong();
    g_testSignal = 1;  // a tone that never fades stands for a very long release
    const std::string path = TempPath("loud-tail.wav");
    struct Tail : ExportProgress {
        void TailBlock(int c) override { counters.push_back(c); }
        std::vector<int> counters;
    } progress;
    ASSERT_EQ(ExportSong(path, &progress), ExportResult::kDone);
    g_testSignal = 0;
    ASSERT_EQ(progress.counters.size(), 64u);
    EXPECT_EQ(progress.counters[5], 5);
    EXPECT_EQ(progress.counters[6], 0);
    const uint32_t blocks = g_exportKilobytes / 32;
    EXPECT_EQ(std::filesystem::file_size(path), 44 + uint64_t{blocks} * 32768);
    EXPECT_EQ(blocks, 1 + 64 + 1u) << "the tone keeps no track playing: one song block, 64 tail blocks, the last";
}

TEST_F(SongExportTest, FileErrorsAreReportedByCause) {
    ShortSong();
    EXPECT_EQ(ExportSong(TempPath("no-such-dir/x.wav")), ExportResult::kFileError);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Export failed. Disk error!");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
    if (std::filesystem::exists("/dev/full")) {
        boxes.clear();
        EXPECT_EQ(ExportSong("/dev/full"), ExportResult::kFileError);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Export failed. Disk full!");
    }
}

}  // namespace
