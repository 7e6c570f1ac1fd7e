// The pattern store: the layout of a new pattern, the limit of 100 and the
// out-of-memory path.
#include <cstdint>

#include "tests/data/data_fixture.h"

namespace {

class PatternStoreTest : public DataTest {};

TEST_F(PatternStoreTest, NewPatternIsEmptyInEveryCellForEveryLength) {
    for (uint32_t length : {16u, 24u, 32u, 48u, 64u, 96u, 128u}) {
        ResetSong();
        g_patternLength = length;
        ASSERT_TRUE(NewPattern());
        ASSERT_TRUE(NewPattern());
        ASSERT_EQ(g_patternCount, 2u);
        for (int n = 0; n < 2; ++n) {
            const uint8_t* p = g_patterns[n];
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p, g_patternHandles[n].get());
            // Byte of track t, plane q, row r at (4t + q) x length + r; the block
            // is exactly 128 x length bytes (a longer read trips the sanitizer).
            for (uint32_t t = 0; t < 32; ++t)
                for (uint32_t q = 0; q < 4; ++q)
                    for (uint32_t r = 0; r < length; ++r)
                        ASSERT_EQ(p[(4 * t + q) * length + r], q == 3 ? 254 : 0)
                            << "length " << length << " pattern " << n << " track " << t << " plane " << q
                            << " row " << r;
        }
        EXPECT_NE(g_patterns[0].load(), g_patterns[1].load());
        EXPECT_EQ(g_patterns[2].load(), nullptr);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PatternStoreTest, TheHundredAndFirstPatternIsRefusedSilently) {
    g_patternLength = 16;
    for (int n = 0; n < 100; ++n) ASSERT_TRUE(NewPattern()) << n;
    const uint8_t* last = g_patterns[99];
    EXPECT_FALSE(NewPattern());
    EXPECT_EQ(g_patternCount, 100u);
    EXPECT_EQ(g_patterns[99].load(), last);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PatternStoreTest, OutOfMemoryShowsTheStopMessageAndKeepsTheStore) {
    ASSERT_TRUE(NewPattern());
    const uint8_t* first = g_patterns[0];
    g_failBlockAllocations = 1;
    EXPECT_FALSE(NewPattern());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Failed to allocate memory for pattern!");
    EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONSTOP);
    EXPECT_EQ(boxes[0].type & MB_TYPEMASK, MB_OK);
    EXPECT_EQ(g_patternCount, 1u);
    EXPECT_EQ(g_patterns[0].load(), first);
    EXPECT_EQ(g_patterns[1].load(), nullptr);

    // The next try gets the slot.
    EXPECT_TRUE(NewPattern());
    EXPECT_EQ(g_patternCount, 2u);
    EXPECT_NE(g_patterns[1].load(), nullptr);
}

TEST_F(PatternStoreTest, ResetThenNewPatternGivesOnePatternLoopedByTheOrderList) {
    SongBuilder().Patterns(5);
    ResetSong();
    ASSERT_TRUE(NewPattern());
    EXPECT_EQ(g_patternCount, 1u);
    EXPECT_EQ(g_songOrder[0], 0);
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    EXPECT_EQ(g_songOrderJump[1], 0);
    for (int n = 1; n < kMaxPatterns; ++n) EXPECT_EQ(g_patterns[n].load(), nullptr) << n;
}

}  // namespace
