// The grid's editing keys: value digits and command letters in both styles,
// the Select command dialog, the marks, row insert and delete around end
// marks, Delete as cut, F8, transposition, and the keys refused where the song
// position holds no pattern.
#include <cstring>

#include "tests/editor/key_fixture.h"
#include "ui/grid_edit_keys.h"
#include "ui/pattern_clipboard.h"
#include "ui/select_command_dlg.h"

namespace {

class GridEditKeysTest : public KeyTest {
protected:
    static uint8_t Commands(uint32_t track, uint32_t row) { return Cell(0, track, 0, row); }
    static uint8_t ValueA(uint32_t track, uint32_t row) { return Cell(0, track, 1, row); }
    static uint8_t ValueB(uint32_t track, uint32_t row) { return Cell(0, track, 2, row); }
    static void Notes(uint32_t track, std::initializer_list<uint8_t> notes) {
        uint32_t r = 0;
        for (uint8_t n : notes) Cell(0, track, 3, r++) = n;
    }
    static std::vector<int> NotesOf(uint32_t track, uint32_t rows) {
        std::vector<int> v;
        for (uint32_t r = 0; r < rows; ++r) v.push_back(Note(track, r));
        return v;
    }
    static uint32_t Sub() { return g_cursorColumn % 7; }
};

TEST_F(GridEditKeysTest, ValueDigits) {
    const struct {
        const char* name;
        int tracker;
        uint8_t commands, nextRowCommands;
        uint32_t sub;
        std::vector<UINT> keys;
        int held;
        uint8_t valueA, valueB;
        uint32_t subAfter, stepAfter, undos;
    } cases[] = {
        {"4 then 7 on V", 0, 0x50, 0, 1, {'4', '7'}, 0, 47, 0, 3, 5, 2},
        {"units of B, then the note column", 0, 0x05, 0, 4, {'1', '2'}, 0, 0, 12, 6, 5, 2},
        {"keypad digits", 0, 0x50, 0, 1, {VK_NUMPAD0 + 9}, 0, 90, 0, 2, 5, 1},
        {"no value without a command", 0, 0x05, 0, 1, {'4'}, 0, 0, 0, 1, 5, 0},
        {"Shift+0 enters 0", 0, 0x50, 0, 2, {'0'}, kShift, 0, 0, 3, 5, 1},
        {"tracker: next row without command", 1, 0x50, 0, 1, {'4'}, 0, 40, 0, 1, 5, 1},
        {"tracker: next row with command", 1, 0x50, 0x50, 1, {'4', '7'}, 0, 40, 0, 1, 6, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_trackerStyle = c.tracker;
        BuildNoteKeyMap();
        Cell(0, 2, 0, 5) = c.commands;
        Cell(0, 2, 0, 6) = c.nextRowCommands;
        PlaceCursor(2, c.sub, 5);
        g_selExtending = 1;
        PressAll(c.keys, c.held);
        EXPECT_EQ(ValueA(2, 5), c.valueA);
        EXPECT_EQ(ValueB(2, 5), c.valueB);
        EXPECT_EQ(Sub(), c.subAfter);
        EXPECT_EQ(g_editStep, c.stepAfter);
        EXPECT_EQ(g_patternUndoCount, c.undos);
        EXPECT_EQ(view.marks.size(), c.undos);
        EXPECT_EQ(g_selExtending, c.undos ? 0u : 1u);
        EXPECT_EQ(g_octave, 4u);  // a digit entered as a value is no octave key
        TearDown();
    }
}

TEST_F(GridEditKeysTest, ShiftDigitsMuteAndNeverReachTheValue) {
    Cell(0, 0, 0, 0) = 0x50;
    PlaceCursor(0, 1, 0);
    Press('4', kShift);
    EXPECT_EQ(ValueA(0, 0), 0);
    EXPECT_EQ(g_volumeOverrides.bus[3], 1u);
    EXPECT_EQ(g_patternUndoCount, 0u);
}

TEST_F(GridEditKeysTest, CommandLetters) {
    const struct {
        const char* name;
        int tracker;
        uint32_t sub;
        UINT key;
        uint8_t commands, valueA, valueB;
        uint32_t subAfter, stepAfter;
    } cases[] = {
        {"V on A", 0, 0, 'V', 0x53, 0, 34, 1, 5},
        {"1 on B is the FX1 send", 0, 3, '1', 0x0C, 12, 0, 4, 5},
        {"keypad + on A", 0, 0, VK_ADD, 0x63, 0, 34, 1, 5},
        {"keypad - on B", 0, 3, VK_SUBTRACT, 0x07, 12, 0, 4, 5},
        {"tracker X on A", 1, 0, 'X', 0xF3, 0, 34, 0, 6},
        {"A is no command", 0, 0, 'A', 0x03, 12, 34, 0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_trackerStyle = c.tracker;
        BuildNoteKeyMap();
        Cell(0, 1, 0, 5) = 0x03;
        Cell(0, 1, 1, 5) = 12;
        Cell(0, 1, 2, 5) = 34;
        PlaceCursor(1, c.sub, 5);
        Press(c.key);
        EXPECT_EQ(Commands(1, 5), c.commands);
        EXPECT_EQ(ValueA(1, 5), c.valueA);
        EXPECT_EQ(ValueB(1, 5), c.valueB);
        EXPECT_EQ(Sub(), c.subAfter);
        EXPECT_EQ(g_editStep, c.stepAfter);
        EXPECT_TRUE(notes.empty());
        TearDown();
    }
}

TEST_F(GridEditKeysTest, MarkKeys) {
    Cell(0, 0, 0, 3) = 0x58;
    Cell(0, 0, 1, 3) = 64;
    PlaceCursor(0, 0, 3);
    g_selExtending = 1;
    Press(VK_OEM_MINUS);  // the nibble only: the value stays
    EXPECT_EQ(Commands(0, 3), 0x08);
    EXPECT_EQ(ValueA(0, 3), 64);
    EXPECT_EQ(g_editStep, 4u);
    EXPECT_EQ(g_selExtending, 1u);
    PlaceCursor(0, 6, 3);
    Press(VK_OEM_PLUS);
    Press(VK_OEM_MINUS);
    EXPECT_EQ(Note(0, 3), kNoteRelease);
    EXPECT_EQ(Note(0, 4), kNoteEmpty);
    EXPECT_EQ(g_editStep, 5u);
    PlaceCursor(12, 6, 9);
    Press(VK_OEM_3);  // end of pattern in every track
    for (uint32_t t = 0; t < 32; ++t) EXPECT_EQ(Note(t, 9), kNoteEnd) << t;
    EXPECT_EQ(g_firstTrack, 0u);
    EXPECT_EQ(g_cursorColumn, 6u);
    EXPECT_EQ(g_editStep, 9u);
    EXPECT_EQ(g_patternUndoCount, 4u);
    EXPECT_EQ(view.marks.size(), 4u);
    EXPECT_TRUE(notes.empty());
}

TEST_F(GridEditKeysTest, SelectCommandDialog) {
    const struct {
        const char* name;
        uint8_t commands, value;
        uint32_t sub;
        int32_t dialogIn;
        int32_t choice;  // -1: closed without a choice
        uint8_t commandsAfter, valueAfter;
        uint32_t subAfter, undos;
    } cases[] = {
        {"X02 kept", 0xF0, 2, 0, 258, -1, 0xF0, 2, 0, 0},
        {"X07 opens on no command, written as such", 0xF0, 7, 0, 0, -1, 0x00, 7, 0, 1},
        {"P64 to V", 0x80, 64, 0, 8, 5, 0x50, 0, 1, 1},
        {"P64 to P", 0x80, 64, 0, 8, 8, 0x80, 64, 0, 0},
        {"B: I to X03", 0x02, 5, 3, 2, 17, 0x0F, 3, 3, 1},
        {"X01 to X02", 0x0F, 1, 3, 257, 16, 0x0F, 2, 3, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Cell(0, 3, 0, 2) = c.commands;
        Cell(0, 3, c.sub == 0 ? 1 : 2, 2) = c.value;
        PlaceCursor(3, c.sub, 2);
        int32_t seen = -1;
        view.dialog = [&] {
            seen = g_curCommand;
            if (c.choice >= 0) g_curCommand = c.choice;
            else if (g_curCommand > 256) g_curCommand -= 256 - 14;  // as the list shows it
        };
        Press(VK_RETURN);
        EXPECT_EQ(view.dialogRuns, 1);
        EXPECT_EQ(seen, c.dialogIn);
        EXPECT_EQ(Commands(3, 2), c.commandsAfter);
        EXPECT_EQ(Cell(0, 3, c.sub == 0 ? 1 : 2, 2), c.valueAfter);
        EXPECT_EQ(Sub(), c.subAfter);
        EXPECT_EQ(g_patternUndoCount, c.undos);
        EXPECT_EQ(view.marks.size(), c.undos);
        TearDown();
    }
}

TEST_F(GridEditKeysTest, EnterSwitchesPreviewOnlyMode) {
    PlaceCursor(0, 6, 0);
    Press(VK_RETURN);
    EXPECT_EQ(g_previewOnly, 1u);
    PlaceCursor(0, 0, 0);
    Press(VK_RETURN);  // off, no dialog
    EXPECT_EQ(g_previewOnly, 0u);
    EXPECT_EQ(view.dialogRuns, 0);
    g_previewNote = 0;
    PlaceCursor(0, 6, 0);
    Press(VK_RETURN);
    EXPECT_EQ(g_previewOnly, 0u);
    g_previewOnly = 1;
    PlaceCursor(0, 4, 0);
    Press(VK_RETURN);
    EXPECT_EQ(g_previewOnly, 0u);
    EXPECT_TRUE(view.marks.empty());
}

TEST_F(GridEditKeysTest, RowInsertAndDeleteAroundEndMarks) {
    const struct {
        const char* name;
        UINT key;
        std::initializer_list<uint8_t> before;
        uint32_t row;
        std::vector<int> after;
    } cases[] = {
        {"insert above an end mark", VK_INSERT, {10, 11, 12, 13, 255, 15, 16}, 2, {10, 11, 254, 12, 255, 254, 15}},
        {"insert on an end mark", VK_INSERT, {10, 11, 255, 13, 14}, 2, {10, 11, 254, 255, 13}},
        {"delete above an end mark", VK_DELETE, {10, 11, 12, 13, 255, 15, 16}, 2, {10, 11, 13, 254, 255, 16, 254}},
        {"delete an end mark", VK_DELETE, {10, 11, 255, 13, 14}, 2, {10, 11, 13, 14, 254}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Notes(4, c.before);
        PlaceCursor(4, 6, c.row);
        Press(c.key);
        EXPECT_EQ(NotesOf(4, uint32_t(c.after.size())), c.after);
        EXPECT_EQ(g_editStep, c.row);
        EXPECT_EQ(g_patternUndoCount, 1u);
        TearDown();
    }
}

TEST_F(GridEditKeysTest, RowsMoveWithTheirCommandsAndTheLastRowFallsOff) {
    Cell(0, 0, 0, 62) = 0x51;
    Cell(0, 0, 1, 62) = 7;
    Cell(0, 0, 3, 63) = 40;
    Cell(0, 31, 3, 62) = 41;
    PlaceCursor(0, 2, 62);
    Press(VK_INSERT, kShift);  // all 32 tracks
    EXPECT_EQ(Commands(0, 63), 0x51);
    EXPECT_EQ(ValueA(0, 63), 7);
    EXPECT_EQ(Note(0, 63), kNoteEmpty);
    EXPECT_EQ(Commands(0, 62), 0);
    EXPECT_EQ(Note(31, 63), 41);  // also tracks beyond those in use
    PlaceCursor(0, 2, 63);
    Press(VK_DELETE);  // the last row: only cleared
    EXPECT_EQ(Commands(0, 63), 0);
    EXPECT_EQ(Note(31, 63), 41);
    Press(VK_INSERT);
    EXPECT_EQ(Note(0, 63), kNoteEmpty);
}

TEST_F(GridEditKeysTest, DeleteCutsTheSelection) {
    Cell(0, 1, 3, 4) = 50;
    Cell(0, 1, 3, 9) = 51;
    g_selPattern = 0;
    g_selFirstPart = 3;
    g_selLastPart = 6;
    g_selFirstStep = 4;
    g_selLastStep = 6;
    g_patternClipboardFilled = 0;
    PlaceCursor(1, 6, 9);
    Press(VK_DELETE);
    EXPECT_EQ(Note(1, 4), kNoteEmpty);
    EXPECT_EQ(Note(1, 9), 51);  // no row deleted
    EXPECT_EQ(g_patternClipboardFilled, 1);
    EXPECT_EQ(g_selFirstPart + g_selLastPart + g_selFirstStep + g_selLastStep, 0u);
    EXPECT_EQ(g_patternUndoCount, 1u);
    EXPECT_EQ(view.marks.size(), 1u);
}

TEST_F(GridEditKeysTest, F8TogglesTheKeyChangeAndMarks) {
    Cell(0, 0, 3, 0) = 48;
    PlaceCursor(0, 6, 0);
    g_previewOnly = 1;  // works there too
    Press(VK_F1 + 7);
    EXPECT_EQ(Note(0, 0), 176);
    Press(VK_F1 + 7);
    EXPECT_EQ(Note(0, 0), 48);
    EXPECT_EQ(view.marks.size(), 2u);
    EXPECT_EQ(g_patternUndoCount, 0u);
    Cell(0, 0, 3, 0) = kNoteRelease;
    Press(VK_F1 + 7);
    EXPECT_EQ(Note(0, 0), kNoteRelease);
    EXPECT_EQ(view.marks.size(), 2u);
}

TEST_F(GridEditKeysTest, Transposition) {
    Notes(2, {0, 12, 128, 107, 235, kNoteRelease, kNoteEnd});
    Notes(3, {30});
    // One note part selected: the track count rounds down to none.
    PlaceCursor(2, 6, 0);
    Press(VK_RIGHT, kShift);
    ASSERT_EQ(g_selLastPart - g_selFirstPart, 1u);
    EXPECT_FALSE(Press(VK_OEM_PERIOD, kShift));
    EXPECT_EQ(NotesOf(2, 7), (std::vector<int>{0, 12, 128, 107, 235, 253, 255}));
    EXPECT_TRUE(view.marks.empty());
    // F6: the whole track.
    PlaceCursor(2, 6, 0);
    Press(VK_F1 + 5);
    EXPECT_FALSE(Press(VK_OEM_COMMA, kShift));
    EXPECT_EQ(NotesOf(2, 7), (std::vector<int>{0, 11, 128, 106, 234, 253, 255}));
    Press(VK_OEM_PERIOD, kShift);
    Press(VK_OEM_PERIOD, kShift);
    EXPECT_EQ(NotesOf(2, 7), (std::vector<int>{2, 13, 130, 107, 235, 253, 255}));
    EXPECT_EQ(Note(3, 0), 30);
    // F5: the whole pattern; no selection: the cursor's track on a note column.
    Press(VK_F1 + 4);
    Press(VK_OEM_COMMA, kShift);
    EXPECT_EQ(Note(3, 0), 29);
    Press(VK_F1 + 6);
    PlaceCursor(3, 6, 5);
    Press(VK_OEM_PERIOD, kShift);
    EXPECT_EQ(Note(3, 0), 30);
    EXPECT_EQ(Note(2, 0), 1);
    PlaceCursor(3, 5, 5);
    Press(VK_OEM_PERIOD, kShift);  // not on a note column: nothing
    EXPECT_EQ(Note(3, 0), 30);
    EXPECT_EQ(g_editStep, 5u);
    EXPECT_EQ(g_patternUndoCount, 0u);
    EXPECT_EQ(view.marks.size(), 5u);
    EXPECT_TRUE(notes.empty());
}

TEST_F(GridEditKeysTest, CommaAndPeriodWithoutShiftAreNoteKeys) {
    g_trackerStyle = 1;
    BuildNoteKeyMap();
    PlaceCursor(0, 6, 0);
    EXPECT_TRUE(Press(VK_OEM_COMMA));
    EXPECT_EQ(Note(0, 0), 60);
}

// With no pattern under the order cursor (an entry of 100 or more, or a pattern
// not allocated) no editing key writes, snapshots or marks; moves still work.
TEST_F(GridEditKeysTest, NoPatternUnderTheCursorRefusesEveryEditingKey) {
    for (uint8_t entry : {uint8_t(150), uint8_t(kOrderEnd), uint8_t(7)}) {
        SCOPED_TRACE(int(entry));
        SetUp();
        Cell(0, 0, 0, 2) = 0x5F;
        Cell(0, 0, 3, 2) = 48;
        g_selPattern = 0;
        g_selFirstPart = 0;
        g_selLastPart = 3;
        g_selFirstStep = 0;
        g_selLastStep = 4;
        std::vector<uint8_t> before(g_patterns[0].load(), g_patterns[0].load() + 128 * 64);
        g_songOrder[0] = entry;
        const struct {
            uint32_t sub;
            UINT key;
            int held;
        } keys[] = {
            {6, VK_OEM_PLUS, 0}, {6, VK_OEM_MINUS, 0}, {0, VK_OEM_MINUS, 0}, {6, VK_OEM_3, 0},
            {6, VK_INSERT, 0},   {6, VK_INSERT, kShift}, {6, VK_DELETE, 0},  {6, VK_DELETE, kShift},
            {6, VK_F1 + 7, 0},   {1, '4', 0},            {0, 'V', 0},        {0, VK_RETURN, 0},
            {6, VK_OEM_PERIOD, kShift}, {6, VK_OEM_COMMA, kShift}, {6, 'A', 0}, {6, '3', 0},
        };
        for (const auto& k : keys) {
            PlaceCursor(0, k.sub, 2);
            Press(k.key, k.held);
        }
        EXPECT_EQ(std::vector<uint8_t>(g_patterns[0].load(), g_patterns[0].load() + 128 * 64), before);
        EXPECT_EQ(g_patternUndoCount, 0u);
        EXPECT_TRUE(view.marks.empty());
        EXPECT_EQ(view.dialogRuns, 0);
        EXPECT_EQ(g_octave, 3u);
        EXPECT_EQ(notes.size(), 1u);  // the note key still sounds
        Press(VK_DOWN);
        EXPECT_EQ(g_editStep, 3u);
        TearDown();
    }
}

}  // namespace
