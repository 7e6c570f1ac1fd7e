#include "ui/pattern_cells.h"

#include "tests/editor/editor_fixture.h"

namespace {

class PatternCells : public EditorTest {};

struct DigitCase {
    uint32_t sub;
    uint8_t before;
    uint8_t read;     // GetCursorDigit on `before`
    uint8_t written;  // value passed to SetCursorDigit
    uint8_t after;
};

TEST_F(PatternCells, DigitsReadAndWriteTheirPartOfTheByte) {
    const DigitCase cases[] = {
        {0, 0x21, 2, 9, 0x91},   // command A: high nibble
        {3, 0x21, 1, 9, 0x29},   // command B: low nibble
        {1, 45, 4, 7, 75},       // tens of value A, units stay
        {2, 45, 5, 7, 47},       // units of value A, tens stay
        {4, 45, 4, 7, 75},       // value B
        {5, 45, 5, 7, 47},
        {6, 60, 60, 188, 188},   // the whole note byte
        {1, 99, 9, 30, 53},      // 8-bit arithmetic, no range check: 30 x 10 + 9 = 309 wraps to 53
    };
    for (const DigitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "sub-column " << c.sub << " byte " << int(c.before));
        const uint32_t track = 9;
        PlaceCursor(track, c.sub, 17);
        uint8_t& byte = Cell(0, track, kSubColumnPlane[c.sub], 17);
        byte = c.before;
        EXPECT_EQ(GetCursorDigit(), c.read);
        SetCursorDigit(c.written);
        EXPECT_EQ(byte, c.after);
    }
}

TEST_F(PatternCells, PositionsWithoutAPatternReadZeroAndWriteNothing) {
    Pattern(3);
    g_songOrder[0] = 3;
    PlaceCursor(0, 6, 0);
    Cell(3, 0, 3, 0) = 60;
    EXPECT_EQ(GetCursorDigit(), 60);
    ASSERT_EQ(g_curPattern, 3u);
    uint8_t* const kept = g_curPatternPtr;

    for (uint8_t entry : {uint8_t{255}, uint8_t{254}, uint8_t{100}, uint8_t{177}}) {
        SCOPED_TRACE(int(entry));
        g_songOrder[0] = entry;
        EXPECT_EQ(GetCursorDigit(), 0);
        SetCursorDigit(12);
        EXPECT_EQ(g_curPattern, 3u);
        EXPECT_EQ(g_curPatternPtr, kept);
    }
    g_songOrder[0] = 7;  // a pattern number not allocated
    EXPECT_EQ(GetCursorDigit(), 0);
    SetCursorDigit(12);
    EXPECT_EQ(Cell(3, 0, 3, 0), 60);
}

TEST_F(PatternCells, CursorOutsideThePatternTouchesNothing) {
    g_songOrder[0] = 0;
    Pattern(0);
    for (uint32_t step : {64u, 1000u}) {
        g_firstTrack = 0;
        g_cursorColumn = 6;
        g_editStep = step;
        EXPECT_EQ(GetCursorDigit(), 0);
        SetCursorDigit(1);
    }
    g_editStep = 0;
    g_firstTrack = 30;  // track 30 + 6 = 36
    g_cursorColumn = 6 * 7 + 6;
    EXPECT_EQ(GetCursorDigit(), 0);
    SetCursorDigit(1);
    EXPECT_EQ(RecordSoundChange(), 0);
}

TEST_F(PatternCells, RecordSoundChangeFindsTheLastSoundAtOrAboveTheCursor) {
    g_setInstruments = 0;
    const uint32_t track = 4;
    Cell(0, track, 0, 2) = 0x22;  // sound 5 in slot A, sound 12 in slot B
    Cell(0, track, 1, 2) = 5;
    Cell(0, track, 2, 2) = 12;
    const struct {
        uint32_t row;
        int32_t sound;
    } before[] = {{0, 0}, {1, 0}, {2, 12}, {3, 12}, {63, 12}};
    for (const auto& c : before) {
        PlaceCursor(track, 4, c.row);
        EXPECT_EQ(RecordSoundChange(), c.sound) << "row " << c.row;
        EXPECT_EQ(g_editStep, c.row);
        EXPECT_EQ(g_cursorColumn, 4u + (track - g_firstTrack) * 7);
    }
    Cell(0, track, 0, 3) = 0x20;
    Cell(0, track, 1, 3) = 5;
    for (uint32_t row : {3u, 4u, 63u}) {
        PlaceCursor(track, 0, row);
        EXPECT_EQ(RecordSoundChange(), 5) << "row " << row;
    }
    PlaceCursor(track + 1, 0, 63);  // another track has none
    EXPECT_EQ(RecordSoundChange(), 0);
}

TEST_F(PatternCells, RecordSoundChangeWritesTheCurrentSoundWhenAsked) {
    const struct {
        uint8_t commands;   // plane 0 at the cursor before
        uint32_t sound;     // g_curSound
        uint8_t setInstr;
        uint8_t preview;
        uint8_t commandsAfter, valueA, valueB;
    } cases[] = {
        {0x00, 0, 1, 0, 0x00, 0, 0},    // sound 0 equals "none found": nothing written
        {0x00, 7, 1, 0, 0x20, 7, 0},    // slot A free
        {0x50, 7, 1, 0, 0x52, 0, 7},    // slot A holds another command: slot B
        {0x53, 42, 1, 0, 0x52, 0, 42},  // slot B overwritten whatever it held
        {0x00, 7, 0, 0, 0x00, 0, 0},    // "Set instruments" off
        {0x00, 7, 1, 1, 0x00, 0, 0},    // preview-only mode
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "commands " << int(c.commands) << " sound " << c.sound);
        Cell(0, 2, 0, 10) = c.commands;
        Cell(0, 2, 1, 10) = 0;
        Cell(0, 2, 2, 10) = 0;
        g_curSound = c.sound;
        g_setInstruments = c.setInstr;
        g_previewOnly = c.preview;
        PlaceCursor(2, 6, 10);
        EXPECT_EQ(RecordSoundChange(), 0);
        EXPECT_EQ(Cell(0, 2, 0, 10), c.commandsAfter);
        EXPECT_EQ(Cell(0, 2, 1, 10), c.valueA);
        EXPECT_EQ(Cell(0, 2, 2, 10), c.valueB);
        EXPECT_EQ(g_editStep, 10u);
    }
    // A slot A sound change to another sound is rewritten in place; the result is
    // the sound found before the write.
    Cell(0, 2, 0, 10) = 0x20;
    Cell(0, 2, 1, 10) = 3;
    g_curSound = 9;
    g_setInstruments = 1;
    g_previewOnly = 0;
    EXPECT_EQ(RecordSoundChange(), 3);
    EXPECT_EQ(Cell(0, 2, 1, 10), 9);
}

}  // namespace
