// The pattern undo ring: the order of snapshots and their editor state, the
// full ring dropping its oldest, snapshots restored into the pattern they came
// from (or dropped when it is gone), and everything that empties the ring.
#include "ui/pattern_undo.h"

#include <vector>

#include "tests/editor/editor_fixture.h"

namespace {

class PatternUndo : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Pattern(1);
        g_patternUndoCount = 0;
    }
    // The seven values a snapshot carries, set from one number.
    static void SetState(uint32_t k) {
        g_firstTrack = k % 26;
        g_cursorColumn = k % 7 + 7;
        g_editStep = k;
        g_selFirstPart = k;
        g_selLastPart = k + 3;
        g_selFirstStep = k + 1;
        g_selLastStep = k + 5;
    }
    static std::vector<uint32_t> State() {
        return {g_firstTrack, g_cursorColumn, g_editStep, g_selFirstPart, g_selLastPart, g_selFirstStep, g_selLastStep};
    }
    static std::vector<uint8_t> Bytes(uint32_t pattern) {
        const uint8_t* p = Pattern(pattern);
        return std::vector<uint8_t>(p, p + g_patternLength * 128);
    }
};

TEST_F(PatternUndo, SeventeenPushesKeepTheNewestSixteenWithTheirState) {
    // Push k snapshots the pattern holding k in track 3's note at row 9.
    std::vector<std::vector<uint32_t>> states(18);
    for (uint32_t k = 1; k <= 17; ++k) {
        Cell(0, 3, 3, 9) = uint8_t(k);
        SetState(k);
        states[k] = State();
        PushPatternUndo();
    }
    EXPECT_EQ(g_patternUndoCount, 16u);
    g_selPattern = 77;
    for (uint32_t k = 17; k >= 2; --k) {
        SCOPED_TRACE(k);
        Cell(0, 3, 3, 9) = 200;
        SetState(90);
        EXPECT_TRUE(UndoPatternEdit());
        EXPECT_EQ(Cell(0, 3, 3, 9), k);
        EXPECT_EQ(State(), states[k]);
        EXPECT_EQ(g_selPattern, 77u);
        EXPECT_EQ(g_patternUndoCount, k - 2);
    }
}

TEST_F(PatternUndo, SnapshotsCoverTheWholePatternAtEveryLength) {
    for (uint32_t length : {16u, 128u}) {
        SCOPED_TRACE(length);
        ResetSong();
        g_patternLength = length;
        Pattern(0);
        for (uint32_t b = 0; b < length * 128; ++b) Pattern(0)[b] = uint8_t(b * 7);
        const std::vector<uint8_t> before = Bytes(0);
        PushPatternUndo();
        for (uint32_t b = 0; b < length * 128; ++b) Pattern(0)[b] = 1;
        EXPECT_TRUE(UndoPatternEdit());  // ASan: nothing outside the block
        EXPECT_EQ(Bytes(0), before);
    }
}

TEST_F(PatternUndo, UndoRestoresThePatternTheSnapshotCameFrom) {
    g_songOrder[0] = 0;
    g_songOrder[1] = 1;
    Cell(0, 0, 3, 0) = 40;
    PushPatternUndo();
    Cell(0, 0, 3, 0) = 41;
    // The song position moves on (follow song, File New's order, a click).
    g_orderCursor = 1;
    Cell(1, 0, 3, 0) = 50;
    const std::vector<uint8_t> shown = Bytes(1);

    EXPECT_TRUE(UndoPatternEdit());
    EXPECT_EQ(Cell(0, 0, 3, 0), 40);
    EXPECT_EQ(Bytes(1), shown);
}

TEST_F(PatternUndo, NothingIsPushedWithoutAPatternAtTheSongPosition) {
    for (uint8_t entry : {uint8_t{100}, uint8_t{254}, uint8_t{255}, uint8_t{7}}) {
        SCOPED_TRACE(int(entry));
        g_songOrder[0] = entry;  // 7: a pattern number not allocated
        PushPatternUndo();
        EXPECT_EQ(g_patternUndoCount, 0u);
    }
}

TEST_F(PatternUndo, SnapshotsOfAPatternGoneOrResizedAreDropped) {
    const struct {
        const char* name;
        void (*change)();
    } cases[] = {
        {"the pattern was freed", [] {
             ReleaseAllPatterns();
             ASSERT_TRUE(NewPattern());
         }},
        {"the length changed", [] { g_patternLength = 32; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSong();
        g_patternLength = 64;
        g_songOrder[0] = 1;
        Pattern(1);
        PushPatternUndo();
        SetState(5);
        c.change();
        const std::vector<uint32_t> state = State();
        const std::vector<uint8_t> zero = Bytes(0);
        EXPECT_FALSE(UndoPatternEdit());
        EXPECT_EQ(g_patternUndoCount, 0u);
        EXPECT_EQ(State(), state);
        EXPECT_EQ(Bytes(0), zero);
        g_patternLength = 64;
    }
}

TEST_F(PatternUndo, UndoOfAnUnchangedPatternChangesNothing) {
    PushPatternUndo();
    EXPECT_FALSE(UndoPatternEdit());
    EXPECT_EQ(g_patternUndoCount, 0u);
}

TEST_F(PatternUndo, ResetAndLeavingTheGridEmptyTheRing) {
    PushPatternUndo();
    PushPatternUndo();
    ResetSong();
    EXPECT_EQ(g_patternUndoCount, 0u);

    Pattern(0);
    PushPatternUndo();
    g_patternFocus = 1;
    PlaceCursor(30, 4, 12);
    LeavePatternGrid();
    EXPECT_EQ(g_patternUndoCount, 0u);
    EXPECT_EQ(g_patternFocus, 0u);
    EXPECT_EQ(g_firstTrack, 0u);
    EXPECT_EQ(g_cursorColumn, 0u);
    EXPECT_EQ(g_editStep, 0u);
}

}  // namespace
