// The selection and the clipboards on the song data: the part masks of the
// first and last track, Cut, the two forms of Paste with their clipping, the
// selections, Duplicate with its order list and lanes, the tweaking
// clipboard, the enable rules, and song positions without a pattern.
#include "ui/pattern_clipboard.h"

#include <array>
#include <vector>

#include "platform/services.h"
#include "shared/automation.h"
#include "tests/editor/editor_fixture.h"
#include "ui/pattern_undo.h"

namespace {

class PatternClipboard : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        Pattern(0);
        g_patternFocus = 1;
        g_patternShown = 1;
        g_patternUndoCount = 0;
        g_patternClipboardFilled = 0;
        g_tweakClipboardFilled = 0;
        g_automationOn = 0;
        beeps.clear();
        SetBeepHandler([this](UINT type) { beeps.push_back(type); });
    }
    void TearDown() override {
        SetBeepHandler(nullptr);
        EditorTest::TearDown();
    }
    static void Select(uint32_t firstPart, uint32_t lastPart, uint32_t firstStep, uint32_t lastStep) {
        g_selFirstPart = firstPart;
        g_selLastPart = lastPart;
        g_selFirstStep = firstStep;
        g_selLastStep = lastStep;
        g_selPattern = g_curPattern;
    }
    // Every cell of pattern n distinct: commands 0x(t%15+1)(p..), values, notes.
    static void Fill(uint32_t n) {
        for (uint32_t t = 0; t < 32; ++t)
            for (uint32_t s = 0; s < g_patternLength; ++s) {
                Cell(n, t, 0, s) = uint8_t(((t % 15 + 1) << 4) | (s % 15 + 1));
                Cell(n, t, 1, s) = uint8_t((t + s) % 100);
                Cell(n, t, 2, s) = uint8_t((t * 3 + s) % 100);
                Cell(n, t, 3, s) = uint8_t((t + 2 * s) % 108);
            }
    }
    static std::vector<uint8_t> Bytes(uint32_t n) {
        const uint8_t* p = Pattern(n);
        return std::vector<uint8_t>(p, p + g_patternLength * 128);
    }
    std::vector<UINT> beeps;
};

TEST_F(PatternClipboard, CopyAndCutTakeTheirPartsOfTheFirstAndLastTrack) {
    Fill(0);
    const std::vector<uint8_t> before = Bytes(0);
    Select(2, 5, 4, 8);  // the note of track 0, commands A and B of track 1; steps 4..7
    ASSERT_TRUE(SelectionExists());
    CopySelectionToClipboard();
    EXPECT_EQ(g_patternClipboardFilled, 1);
    EXPECT_EQ(std::vector<uint32_t>({g_clipFirstPart, g_clipLastPart, g_clipFirstStep, g_clipLastStep}),
              std::vector<uint32_t>({2, 5, 4, 8}));
    // 2 tracks x 4 planes x 4 bytes, whole planes of both tracks.
    for (uint32_t k = 0; k < 2; ++k)
        for (uint32_t p = 0; p < 4; ++p)
            for (uint32_t r = 0; r < 4; ++r) EXPECT_EQ(g_patternClipboard[(4 * k + p) * 4 + r], Cell(0, k, p, 4 + r));

    EXPECT_TRUE(CutSelection());
    EXPECT_EQ(g_patternUndoCount, 1u);
    EXPECT_EQ(g_editStep, 4u);
    EXPECT_FALSE(SelectionExists());
    for (uint32_t s = 0; s < 64; ++s) {
        SCOPED_TRACE(s);
        const bool in = s >= 4 && s < 8;
        const auto old = [&](uint32_t t, uint32_t p) { return before[PatternIndex(t, p, s, 64)]; };
        EXPECT_EQ(Cell(0, 0, 3, s), in ? kNoteEmpty : old(0, 3));
        EXPECT_EQ(Cell(0, 0, 0, s), old(0, 0));  // track 0's commands stay
        EXPECT_EQ(Cell(0, 1, 0, s), in ? 0 : old(1, 0));
        EXPECT_EQ(Cell(0, 1, 1, s), in ? 0 : old(1, 1));
        EXPECT_EQ(Cell(0, 1, 2, s), in ? 0 : old(1, 2));
        EXPECT_EQ(Cell(0, 1, 3, s), old(1, 3));  // track 1's note stays
    }
    EXPECT_TRUE(UndoPatternEdit());
    EXPECT_EQ(Bytes(0), before);
}

TEST_F(PatternClipboard, ClearSelectionMasks) {
    const struct {
        uint32_t first, last;
        // per touched track: parts cleared (A, B, note)
        std::vector<std::array<bool, 3>> cleared;
    } cases[] = {
        {1, 2, {{false, true, false}}},                          // command B alone
        {0, 1, {{true, false, false}}},                          // command A alone
        {2, 3, {{false, false, true}}},                          // a note alone
        {1, 7, {{false, true, true}, {true, true, true}, {true, false, false}}},
        {3, 6, {{true, true, true}}},                            // one whole track
        {0, 96, std::vector<std::array<bool, 3>>(32, {true, true, true})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
        Fill(0);
        const std::vector<uint8_t> before = Bytes(0);
        Select(c.first, c.last, 0, 64);
        EXPECT_TRUE(ClearSelection());
        for (uint32_t k = 0; k < c.cleared.size(); ++k) {
            const uint32_t t = c.first / 3 + k;
            const auto old = [&](uint32_t p) { return before[PatternIndex(t, p, 9, 64)]; };
            const auto [a, b, note] = c.cleared[k];
            EXPECT_EQ(Cell(0, t, 0, 9), uint8_t((a ? 0 : old(0) & 0xF0) | (b ? 0 : old(0) & 0x0F))) << k;
            EXPECT_EQ(Cell(0, t, 1, 9), a ? 0 : old(1)) << k;
            EXPECT_EQ(Cell(0, t, 2, 9), b ? 0 : old(2)) << k;
            EXPECT_EQ(Cell(0, t, 3, 9), note ? kNoteEmpty : old(3)) << k;
        }
    }
}

TEST_F(PatternClipboard, OneCommandPartGoesIntoTheCommandUnderTheCursor) {
    Fill(0);
    Select(3, 4, 10, 12);  // command A of track 1, steps 10 and 11
    CopySelectionToClipboard();
    const std::vector<uint8_t> before = Bytes(0);

    // Onto the tens digit of value B of track 5: command B and value B.
    PlaceCursor(5, 4, 30);
    const EditResult r = PasteClipboard();
    EXPECT_TRUE(r.done && r.changed && !r.refused);
    for (uint32_t i = 0; i < 2; ++i) {
        const uint8_t src = before[PatternIndex(1, 0, 10 + i, 64)];
        const uint8_t dst = before[PatternIndex(5, 0, 30 + i, 64)];
        EXPECT_EQ(Cell(0, 5, 0, 30 + i), uint8_t((dst & 0xF0) | (src >> 4)));
        EXPECT_EQ(Cell(0, 5, 2, 30 + i), before[PatternIndex(1, 1, 10 + i, 64)]);
        EXPECT_EQ(Cell(0, 5, 1, 30 + i), before[PatternIndex(5, 1, 30 + i, 64)]);  // value A untouched
    }
    EXPECT_EQ(g_editStep, 32u);

    // Command B onto command A's column: the high nibble and plane 1.
    Select(4, 5, 10, 11);
    CopySelectionToClipboard();
    PlaceCursor(7, 0, 3);
    PasteClipboard();
    EXPECT_EQ(Cell(0, 7, 0, 3) >> 4, before[PatternIndex(1, 0, 10, 64)] & 0x0F);
    EXPECT_EQ(Cell(0, 7, 1, 3), before[PatternIndex(1, 2, 10, 64)]);
}

TEST_F(PatternClipboard, OneCommandPartOnANoteIsRefusedWithABeep) {
    Fill(0);
    Select(0, 1, 0, 4);
    CopySelectionToClipboard();
    g_selFirstPart = 0, g_selLastPart = 3;  // a selection that must survive the refusal
    PlaceCursor(2, 6, 20);
    const std::vector<uint8_t> before = Bytes(0);
    const EditResult r = PasteClipboard();
    EXPECT_TRUE(r.refused);
    EXPECT_FALSE(r.done || r.changed);
    EXPECT_EQ(beeps, std::vector<UINT>({0xFFFFFFFF}));
    EXPECT_EQ(Bytes(0), before);
    EXPECT_EQ(g_editStep, 20u);
    EXPECT_EQ(g_selLastPart, 3u);
    EXPECT_EQ(g_patternUndoCount, 1u);  // Undo available
}

TEST_F(PatternClipboard, PastesAreClippedAtTheLastTrackAndTheLastStep) {
    Fill(0);
    const std::vector<uint8_t> source = Bytes(0);
    // Three whole tracks (3..5), 16 rows (0..15).
    Select(9, 18, 0, 16);
    CopySelectionToClipboard();
    Pattern(1);
    g_songOrder[0] = 1;
    PlaceCursor(30, 2, 56);  // the sub-column does not matter here
    const EditResult r = PasteClipboard();
    EXPECT_TRUE(r.done && r.changed);
    for (uint32_t t = 0; t < 32; ++t)
        for (uint32_t s = 0; s < 64; ++s)
            for (uint32_t p = 0; p < 4; ++p) {
                const bool pasted = t >= 30 && s >= 56;
                const uint8_t want =
                    pasted ? source[PatternIndex(3 + t - 30, p, s - 56, 64)] : (p == 3 ? kNoteEmpty : 0);
                ASSERT_EQ(Cell(1, t, p, s), want) << t << " " << p << " " << s;
            }
    EXPECT_EQ(g_editStep, 63u);
    EXPECT_EQ(g_selLastPart, 0u);
}

TEST_F(PatternClipboard, SelectAllThenCutEmptiesThePattern) {
    Fill(0);
    PlaceCursor(12, 3, 40);
    ASSERT_TRUE(SelectWholePattern());
    EXPECT_EQ(std::vector<uint32_t>({g_selFirstPart, g_selLastPart, g_selFirstStep, g_selLastStep, g_selPattern}),
              std::vector<uint32_t>({0, 96, 0, 64, 0}));
    EXPECT_TRUE(CutSelection());
    for (uint32_t t = 0; t < 32; ++t)
        for (uint32_t s = 0; s < 64; ++s)
            ASSERT_TRUE(Cell(0, t, 0, s) == 0 && Cell(0, t, 1, s) == 0 && Cell(0, t, 2, s) == 0 &&
                        Cell(0, t, 3, s) == kNoteEmpty);
    EXPECT_EQ(g_editStep, 0u);
    EXPECT_FALSE(SelectionExists());

    PlaceCursor(27, 5, 3);
    Pattern(2);
    g_songOrder[0] = 2;
    ASSERT_TRUE(SelectCursorTrack());
    EXPECT_EQ(std::vector<uint32_t>({g_selFirstPart, g_selLastPart, g_selFirstStep, g_selLastStep, g_selPattern}),
              std::vector<uint32_t>({81, 84, 0, 64, 2}));
}

TEST_F(PatternClipboard, DuplicateInsertsACopyBehindThePosition) {
    for (uint32_t n = 0; n < 4; ++n) Pattern(n);
    Fill(3);
    const uint8_t order[] = {0, 1, 2, 3, 255};
    for (int i = 0; i < 200; ++i) g_songOrder[i] = i < 5 ? order[i] : 0;
    g_songOrderJump[3] = 0x85;   // transpose +5
    g_songOrderJump[4] = 0x42;
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int pos = 0; pos < kLanePositions; ++pos)
            for (int b = 0; b < 256; b += 51) g_tweakLaneData[k][pos * 256 + b] = uint8_t((k * 7 + pos) % 81);
    g_orderCursor = 3;
    g_cursorColumn = 12;
    g_editStep = 30;
    g_patternClipboardFilled = 1;
    g_tweakClipboardFilled = 1;
    answers = {IDYES};

    const EditResult r = DuplicatePattern();
    EXPECT_TRUE(r.done && r.changed);
    EXPECT_EQ(boxes, std::vector<std::string>({"Are You sure to duplicate this pattern?"}));
    ASSERT_EQ(g_patternCount, 5u);
    const uint8_t want[] = {0, 1, 2, 3, 4, 255, 0};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(g_songOrder[i], want[i]) << i;
    EXPECT_EQ(g_songOrderJump[4], 0x85);
    EXPECT_EQ(g_songOrderJump[5], 0x42);
    EXPECT_EQ(Bytes(4), Bytes(3));
    EXPECT_EQ(g_orderCursor, 4u);
    EXPECT_EQ(g_cursorColumn, 0u);
    EXPECT_EQ(g_editStep, 0u);
    for (int k = 0; k < kAutomationKnobs; ++k) {
        EXPECT_EQ(g_tweakLaneData[k][4 * 256 + 51], (k * 7 + 3) % 81);  // position 3's automation copied
        EXPECT_EQ(g_tweakLaneData[k][5 * 256 + 51], (k * 7 + 4) % 81);  // the old position 4's moved on
        EXPECT_EQ(g_tweakLaneData[k][198 * 256], (k * 7 + 197) % 81);
    }
    EXPECT_FALSE(CanPaste());
    g_patternFocus = 0;
    g_automationOn = 1;
    EXPECT_FALSE(CanPasteTweaking());
}

TEST_F(PatternClipboard, DuplicateDeclinedOrImpossible) {
    // Declined: nothing changes, not even the clipboards.
    g_patternClipboardFilled = 1;
    answers = {IDNO};
    EXPECT_FALSE(DuplicatePattern().done);
    EXPECT_EQ(g_patternClipboardFilled, 1);
    EXPECT_EQ(g_patternCount, 1u);

    // 100 patterns: no message besides the question, nothing inserted.
    Pattern(99);
    answers = {IDYES};
    boxes.clear();
    const EditResult full = DuplicatePattern();
    EXPECT_TRUE(full.done);
    EXPECT_FALSE(full.changed);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    EXPECT_EQ(g_patternClipboardFilled, 0);

    // A pattern number at position 199: disabled (and the command inserts nothing).
    ResetSong();
    Pattern(0);
    g_songOrder[199] = 0;
    EXPECT_TRUE(CanDuplicate());
    g_songOrder[199] = 100;
    EXPECT_TRUE(CanDuplicate());
    answers = {IDYES};
    EXPECT_TRUE(DuplicatePattern().changed);  // the pattern is added without a position
    EXPECT_EQ(g_patternCount, 2u);
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    g_songOrder[199] = 101;
    EXPECT_FALSE(CanDuplicate());
}

TEST_F(PatternClipboard, DuplicateAtTheLastPositions) {
    // Position 198: the copy goes to 199 without lane data; position 199: disabled.
    for (int k = 0; k < kAutomationKnobs; ++k) g_tweakLaneData[k][198 * 256 + 7] = uint8_t(k + 1);
    g_orderTop = 192;
    g_orderCursor = 6;
    g_songOrder[198] = 0;
    g_songOrder[199] = 0;
    ASSERT_TRUE(CanDuplicate());
    answers = {IDYES};
    EXPECT_TRUE(DuplicatePattern().changed);
    EXPECT_EQ(g_songOrder[199], 1);
    EXPECT_EQ(g_orderTop, 193u);
    EXPECT_EQ(g_orderCursor, 6u);
    for (int k = 0; k < kAutomationKnobs; ++k) EXPECT_EQ(g_tweakLaneData[k][198 * 256 + 7], k + 1);  // ASan: nothing past the lanes
    EXPECT_FALSE(CanDuplicate());  // now at 199
    g_patternFocus = 0;
    g_automationOn = 1;
    EXPECT_FALSE(CanCopyTweaking());
    g_tweakClipboardFilled = 1;
    EXPECT_FALSE(CanPasteTweaking());
}

TEST_F(PatternClipboard, TweakingCopiesOnePositionOfEveryLane) {
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int b = 0; b < 256; ++b) g_tweakLaneData[k][10 * 256 + b] = uint8_t((k + b) % 81);
    g_orderTop = 5;
    g_orderCursor = 5;
    CopyTweaking();
    EXPECT_EQ(g_tweakClipboardFilled, 1);
    g_orderCursor = 2;  // position 7
    EXPECT_TRUE(PasteTweaking());
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int b = 0; b < 256; ++b) ASSERT_EQ(g_tweakLaneData[k][7 * 256 + b], (k + b) % 81);
    EXPECT_FALSE(PasteTweaking());  // the same again changes nothing
}

TEST_F(PatternClipboard, PositionsWithoutAPatternDoNothing) {
    Fill(0);
    Select(0, 96, 0, 64);
    CopySelectionToClipboard();
    const std::vector<uint8_t> before = Bytes(0);
    for (uint8_t entry : {uint8_t{100}, uint8_t{255}, uint8_t{9}}) {
        SCOPED_TRACE(int(entry));
        g_songOrder[0] = entry;  // 9: not allocated
        Select(0, 96, 0, 64);
        EXPECT_FALSE(SelectionExists());
        EXPECT_FALSE(CanCutOrCopy());
        EXPECT_FALSE(CutSelection());
        EXPECT_FALSE(PasteClipboard().done);
        EXPECT_FALSE(SelectWholePattern());
        EXPECT_FALSE(SelectCursorTrack());
        EXPECT_FALSE(CanSelect());
        EXPECT_FALSE(CanDuplicate());
        EXPECT_FALSE(DuplicatePattern().done);
        EXPECT_EQ(g_patternUndoCount, 0u);
    }
    EXPECT_EQ(Bytes(0), before);
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
