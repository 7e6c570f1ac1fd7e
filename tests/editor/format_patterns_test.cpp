// Format patterns on the song data: the four ways of filling the new rows with
// their questions, the tempo and delay scaling at their limits, the editor
// reset, an allocation failure that changes nothing, and a reformat while the
// render engine reads the patterns on another thread.
#include "ui/format_patterns.h"

#include <atomic>
#include <thread>
#include <vector>

#include "data/song_memory.h"
#include "shared/mixer.h"
#include "shared/render_lock.h"
#include "tests/editor/editor_fixture.h"

namespace {

constexpr const char* kStretch =
    "Would you like to stretch the pattern data to fit to the new length by inserting a silent note into every "
    "second step?";
constexpr const char* kCopy = "Or maybe would you like to copy the pattern data two times into the longer patterns?";
constexpr const char* kShrink =
    "Would you like to shrink the pattern data to fit to the new length by removing(!) every second step?";

enum class Fill { kPlain, kStretch, kCopyTwice, kShrink };

class FormatPatterns : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        g_tempo = 120;
        g_tempoDisplay = 120;
    }
    void TearDown() override {
        g_failBlockAllocations = 0;
        g_patternLength = 64;
        EditorTest::TearDown();
    }
    // Three patterns of `length` rows, every byte distinct by pattern, plane and row.
    static void MakeSong(uint32_t length) {
        ResetSong();
        g_patternLength = length;
        for (uint32_t n = 0; n < 3; ++n) {
            Pattern(n);
            for (uint32_t b = 0; b < length * 128; ++b) Pattern(n)[b] = Byte(n, b / length, b % length);
        }
    }
    static uint8_t Byte(uint32_t n, uint32_t plane, uint32_t row) { return uint8_t(n * 31 + plane * 7 + row * 3 + 1); }
    static uint8_t Empty(uint32_t plane) { return plane % 4 == 3 ? kNoteEmpty : 0; }
    static void SetEffects(std::vector<int32_t> types, std::vector<int32_t> delays) {
        for (int u = 0; u < 3; ++u) {
            g_effectSettings.fxType[u] = types[u];
            g_effectSettings.fxParam[u][0] = delays[u];
            g_effectSettings.fxParam[u][1] = 33;
        }
    }
    static std::vector<int32_t> FirstSliders() {
        return {g_effectSettings.fxParam[0][0], g_effectSettings.fxParam[1][0], g_effectSettings.fxParam[2][0],
                g_effectSettings.fxParam[0][1]};
    }
};

TEST_F(FormatPatterns, TheFourFillsWithTheirQuestionsTempoAndDelays) {
    const struct {
        const char* name;
        uint32_t from, to;
        std::vector<int> answers;
        std::vector<std::string> questions;
        Fill fill;
        uint32_t tempoBefore, tempoAfter;
        std::vector<int32_t> types, delaysBefore, slidersAfter;
    } cases[] = {
        {"stretch at 250", 64, 128, {IDYES}, {kStretch}, Fill::kStretch, 250, 400,
         {1, 4, 5}, {12, 5, 7}, {16, 10, 7, 33}},
        // An Off unit's first slider is scaled as well, for when a delay is chosen again.
        {"stretch scales an Off unit too", 32, 64, {IDYES}, {kStretch}, Fill::kStretch, 120, 240,
         {0, 2, 3}, {5, 8, 16}, {10, 16, 16, 33}},
        {"shrink at 100", 64, 32, {IDYES}, {kShrink}, Fill::kShrink, 100, 60, {1, 3, 0}, {1, 9, 0}, {1, 4, 1, 33}},
        {"shrink at 300", 48, 24, {IDYES}, {kShrink}, Fill::kShrink, 300, 150, {2, 6, 4}, {16, 9, 3}, {8, 9, 1, 33}},
        {"copy twice", 64, 128, {IDNO, IDYES}, {kStretch, kCopy}, Fill::kCopyTwice, 250, 250,
         {1, 2, 3}, {12, 5, 7}, {12, 5, 7, 33}},
        {"both declined", 64, 128, {IDNO, IDNO}, {kStretch, kCopy}, Fill::kPlain, 250, 250,
         {1, 2, 3}, {12, 5, 7}, {12, 5, 7, 33}},
        {"shrink declined", 96, 48, {IDNO}, {kShrink}, Fill::kPlain, 100, 100, {1, 2, 3}, {2, 2, 2}, {2, 2, 2, 33}},
        {"128 to 16", 128, 16, {}, {}, Fill::kPlain, 120, 120, {1, 1, 1}, {4, 4, 4}, {4, 4, 4, 33}},
        {"16 to 24", 16, 24, {}, {}, Fill::kPlain, 120, 120, {1, 1, 1}, {4, 4, 4}, {4, 4, 4, 33}},
        {"24 to 96", 24, 96, {}, {}, Fill::kPlain, 120, 120, {1, 1, 1}, {4, 4, 4}, {4, 4, 4, 33}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MakeSong(c.from);
        g_tempo = c.tempoBefore;
        g_tempoDisplay = c.tempoBefore;
        SetEffects(c.types, c.delaysBefore);
        answers.assign(c.answers.begin(), c.answers.end());
        boxes.clear();
        g_patternUndoCount = 5;
        g_editStep = 9, g_firstTrack = 3, g_cursorColumn = 20;
        g_selFirstPart = 1, g_selLastPart = 4, g_selFirstStep = 2, g_selLastStep = 5, g_selPattern = 2;

        ASSERT_TRUE(ReformatPatterns(c.to));
        EXPECT_EQ(boxes, c.questions);
        EXPECT_EQ(g_patternLength, c.to);
        EXPECT_EQ(g_tempo, c.tempoAfter);
        EXPECT_EQ(g_tempoDisplay, c.tempoAfter);
        EXPECT_EQ(FirstSliders(), c.slidersAfter);
        for (uint32_t n = 0; n < 3; ++n)
            for (uint32_t plane = 0; plane < 128; ++plane)
                for (uint32_t r = 0; r < c.to; ++r) {
                    uint8_t want = Empty(plane);
                    switch (c.fill) {
                        case Fill::kPlain: if (r < c.from) want = Byte(n, plane, r); break;
                        case Fill::kStretch: if (r % 2 == 0) want = Byte(n, plane, r / 2); break;
                        case Fill::kCopyTwice: want = Byte(n, plane, r % c.from); break;
                        case Fill::kShrink: want = Byte(n, plane, 2 * r); break;
                    }
                    ASSERT_EQ(g_patterns[n].load()[plane * c.to + r], want) << n << " " << plane << " " << r;
                }
        EXPECT_EQ(std::vector<uint32_t>({g_patternUndoCount, g_editStep, g_firstTrack, g_cursorColumn, g_selFirstPart,
                                         g_selLastPart, g_selFirstStep, g_selLastStep, g_selPattern}),
                  std::vector<uint32_t>(9, 0));
    }
}

TEST_F(FormatPatterns, AFailedAllocationChangesNothing) {
    MakeSong(64);
    g_tempo = 250;
    g_tempoDisplay = 250;
    SetEffects({1, 2, 3}, {12, 5, 7});
    std::vector<uint8_t*> blocks;
    for (uint32_t n = 0; n < 3; ++n) blocks.push_back(g_patterns[n]);
    g_patternUndoCount = 3;
    g_editStep = 9, g_selLastPart = 4, g_selPattern = 2;
    g_failBlockAllocations = 1;
    {
        EXPECT_FALSE(ReformatPatterns(128));
        EXPECT_EQ(boxes, std::vector<std::string>(
                             {"Fatal Error! Couldn't allocate memory for the new patterns! Quit Morvel Canopy!"}));
        EXPECT_EQ(g_patternLength, 64u);
        EXPECT_EQ(g_tempo, 250u);
        EXPECT_EQ(g_tempoDisplay, 250u);
        EXPECT_EQ(FirstSliders(), std::vector<int32_t>({12, 5, 7, 33}));
        for (uint32_t n = 0; n < 3; ++n) {
            EXPECT_EQ(g_patterns[n].load(), blocks[n]);
            for (uint32_t b = 0; b < 64 * 128; b += 97) ASSERT_EQ(g_patterns[n].load()[b], Byte(n, b / 64, b % 64));
        }
        EXPECT_EQ(g_patternUndoCount, 3u);
        EXPECT_EQ(g_editStep, 9u);
        EXPECT_EQ(g_selLastPart, 4u);
        EXPECT_EQ(g_selPattern, 2u);
    }
}

TEST_F(FormatPatterns, ReformatWhileTheEngineReadsThePatterns) {
    MakeSong(64);
    // A reader that takes the render lock as the live paths do and reads every
    // pattern to its length: it must never see a block and a length that do
    // not belong together (ASan reports a read past a shorter block).
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> sum{0};
    std::thread reader([&] {
        while (!stop) {
            if (!g_renderLock.try_lock()) continue;
            const uint32_t length = g_patternLength;
            for (uint32_t n = 0; n < 3; ++n)
                if (const uint8_t* p = g_patterns[n].load(std::memory_order_acquire))
                    sum += RelaxedLoad(p[length * 128 - 1]);
            g_renderLock.unlock();
        }
    });
    for (uint32_t length : {128u, 16u, 32u, 64u, 128u, 24u, 48u, 96u, 16u}) {
        answers = {IDNO, IDNO};
        ASSERT_TRUE(ReformatPatterns(length));
    }
    stop = true;
    reader.join();
    WaitForEngineOutside();
    EXPECT_EQ(RetiredBlockCount(), 0u);
}

}  // namespace
