// The grid's cursor, page and selection keys, Tab, Home and End, the selection
// keys, Esc, Space and the pattern dump; and the view's common beginning: the
// Shift + digit mutes in both focuses.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/editor/key_fixture.h"
#include "host/audio_device.h"

namespace {

class GridKeysTest : public KeyTest {
protected:
    struct Selection {
        uint32_t firstPart, lastPart, firstStep, lastStep;
        bool operator==(const Selection&) const = default;
    };
    static Selection Sel() { return {g_selFirstPart, g_selLastPart, g_selFirstStep, g_selLastStep}; }
    struct Cursor {
        uint32_t firstTrack, column, step;
        bool operator==(const Cursor&) const = default;
    };
    static Cursor Cur() { return {g_firstTrack, g_cursorColumn, g_editStep}; }
};

TEST_F(GridKeysTest, ShiftDigitsMuteInBothFocuses) {
    for (uint8_t focus : {0, 1}) {
        SCOPED_TRACE(focus ? "grid" : "order list");
        SetUp();
        g_patternFocus = focus;
        PlaceCursor(0, 1, 0);
        Cell(0, 0, 0, 0) = 0x50;
        EXPECT_FALSE(Press('5', kShift));  // no default handling
        EXPECT_EQ(g_volumeOverrides.bus[4], 1u);
        EXPECT_EQ(view.panelUpdates, 1);
        EXPECT_EQ(view.marks, std::vector<bool>{true});  // the song keeps its mutes
        Press('9', kShift);
        EXPECT_EQ(g_volumeOverrides.master, 1u);
        Press('5', kShift);
        EXPECT_EQ(g_volumeOverrides.bus[4], 0u);
        // Nothing else saw the keys.
        EXPECT_EQ(Cell(0, 0, 1, 0), 0);
        EXPECT_EQ(g_songOrder[0], 0);
        EXPECT_EQ(view.gridShows + view.listShows, 0);
        EXPECT_TRUE(Press('5'));
        EXPECT_EQ(g_volumeOverrides.bus[4], 0u);
        TearDown();
    }
}

// The song file keeps the mutes of the eight buses but not the master's: only
// a bus mute marks the song, on and off, in either focus.
TEST_F(GridKeysTest, OnlyTheBusMutesMarkTheSong) {
    const struct {
        UINT key;
        Relaxed<uint32_t>& word;
        bool marks;
    } cases[] = {{'1', g_volumeOverrides.bus[0], true},
                 {'8', g_volumeOverrides.bus[7], true},
                 {'9', g_volumeOverrides.master, false}};
    for (uint8_t focus : {0, 1})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(focus ? "grid, key " : "order list, key ") + char(c.key));
            SetUp();
            g_patternFocus = focus;
            Press(c.key, kShift);
            EXPECT_EQ(c.word, 1u);
            Press(c.key, kShift);
            EXPECT_EQ(c.word, 0u);
            EXPECT_EQ(view.panelUpdates, 2);
            EXPECT_EQ(view.marks, std::vector<bool>(c.marks ? 2 : 0, true));
            TearDown();
        }
}

TEST_F(GridKeysTest, HorizontalMoves) {
    const struct {
        const char* name;
        uint32_t tracks;  // in use
        Cursor from;
        UINT key;
        int held;
        uint8_t commands;  // plane 0 of every track at the cursor row
        Cursor to;
        int redraws;
    } cases[] = {
        {"Right on the last track in use", 8, {1, 48, 0}, VK_RIGHT, 0, 0, {1, 48, 0}, 0},
        {"Tab on the last track in use", 8, {1, 48, 0}, VK_TAB, 0, 0, {1, 48, 0}, 0},
        {"Right on its command still moves", 8, {1, 42, 0}, VK_RIGHT, 0, 0, {1, 45, 0}, 1},
        {"Right on an empty command A", 32, {0, 0, 0}, VK_RIGHT, 0, 0, {0, 3, 0}, 1},
        {"Right on a command A", 32, {0, 0, 0}, VK_RIGHT, 0, 0x50, {0, 1, 0}, 1},
        {"Right at column 48 scrolls", 32, {3, 48, 0}, VK_RIGHT, 0, 0, {4, 42, 0}, 1},
        {"Right on track 31 stays", 32, {25, 48, 0}, VK_RIGHT, 0, 0, {25, 48, 0}, 0},
        {"Left from the note onto command B", 32, {0, 13, 0}, VK_LEFT, 0, 0, {0, 10, 0}, 1},
        {"Left from the note onto value B", 32, {0, 13, 0}, VK_LEFT, 0, 0x05, {0, 12, 0}, 1},
        {"Left at column 0, track 0", 32, {0, 0, 0}, VK_LEFT, 0, 0, {0, 0, 0}, 1},
        {"Left at column 0 scrolls", 32, {3, 0, 0}, VK_LEFT, 0, 0, {2, 6, 0}, 1},
        {"Left from command A", 32, {0, 7, 0}, VK_LEFT, 0, 0, {0, 6, 0}, 1},
        {"Tab to the note column", 32, {0, 8, 0}, VK_TAB, 0, 0, {0, 13, 0}, 1},
        {"Tab to the next note column", 32, {0, 13, 0}, VK_TAB, 0, 0, {0, 20, 0}, 1},
        {"Tab at column 48 scrolls", 32, {2, 48, 0}, VK_TAB, 0, 0, {3, 48, 0}, 1},
        {"Shift+Tab", 32, {2, 9, 0}, VK_TAB, kShift, 0, {2, 6, 0}, 1},
        {"Shift+Tab at the first column scrolls", 32, {2, 2, 0}, VK_TAB, kShift, 0, {1, 6, 0}, 1},
        {"Home", 32, {2, 9, 30}, VK_HOME, 0, 0, {2, 13, 0}, 1},
        {"Shift+Home", 32, {2, 9, 30}, VK_HOME, kShift, 0, {0, 0, 0}, 1},
        {"End", 32, {2, 9, 30}, VK_END, 0, 0, {2, 13, 63}, 1},
        {"Shift+End, 1 track", 1, {2, 9, 30}, VK_END, kShift, 0, {0, 6, 63}, 1},
        {"Shift+End, 4 tracks", 4, {2, 9, 30}, VK_END, kShift, 0, {0, 27, 63}, 1},
        {"Shift+End, 8 tracks", 8, {2, 9, 30}, VK_END, kShift, 0, {1, 48, 63}, 1},
        {"Shift+End, 16 tracks", 16, {2, 9, 30}, VK_END, kShift, 0, {9, 48, 63}, 1},
        {"Shift+End, 24 tracks", 24, {2, 9, 30}, VK_END, kShift, 0, {17, 48, 63}, 1},
        {"Shift+End, 32 tracks", 32, {2, 9, 30}, VK_END, kShift, 0, {25, 48, 63}, 1},
        {"Ctrl+Page Up", 32, {2, 9, 30}, VK_PRIOR, kCtrl, 0, {2, 13, 0}, 1},
        {"Ctrl+Page Down", 32, {2, 9, 30}, VK_NEXT, kCtrl, 0, {2, 13, 63}, 1},
        {"Page Down", 32, {0, 6, 30}, VK_NEXT, 0, 0, {0, 6, 37}, 1},
        {"Page Down at the end", 32, {0, 6, 60}, VK_NEXT, 0, 0, {0, 6, 63}, 1},
        {"Page Up at the start", 32, {0, 6, 3}, VK_PRIOR, 0, 0, {0, 6, 0}, 1},
        {"Up at step 0", 32, {0, 6, 0}, VK_UP, 0, 0, {0, 6, 0}, 1},
        {"Down at the last step", 32, {0, 6, 63}, VK_DOWN, 0, 0, {0, 6, 63}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_tracksInUse = c.tracks;
        for (uint32_t t = 0; t < 32; ++t) Cell(0, t, 0, c.from.step) = c.commands;
        g_firstTrack = c.from.firstTrack;
        g_cursorColumn = c.from.column;
        g_editStep = c.from.step;
        g_selExtending = 1;
        Press(c.key, c.held);
        EXPECT_EQ(Cur(), c.to);
        EXPECT_EQ(view.gridShows, c.redraws);
        TearDown();
    }
}

TEST_F(GridKeysTest, PageKeysMoveByTheCursorRow) {
    for (int32_t row : {7, 9}) {
        SetUp();
        g_cursorRow = row;
        PlaceCursor(0, 6, 0);
        Press(VK_NEXT);
        EXPECT_EQ(g_editStep, uint32_t(row));
        Press(VK_PRIOR);
        EXPECT_EQ(g_editStep, 0u);
        TearDown();
    }
}

TEST_F(GridKeysTest, KeyboardSelection) {
    const struct {
        const char* name;
        uint32_t track, sub, step;
        std::vector<UINT> keys;  // all with Shift
        Selection sel;
        uint32_t anchorPart, anchorStep;
    } cases[] = {
        {"Shift+Down twice from step 4", 2, 1, 4, {VK_DOWN, VK_DOWN}, {6, 7, 4, 6}, 6, 4},
        {"Shift+Down on the note column", 2, 6, 4, {VK_DOWN}, {6, 9, 4, 5}, 6, 4},
        {"Shift+Down on command B", 2, 3, 4, {VK_DOWN}, {7, 8, 4, 5}, 7, 4},
        {"Shift+Up", 2, 6, 4, {VK_UP, VK_UP}, {6, 9, 2, 4}, 6, 4},
        {"Shift+Up then Down past the anchor", 2, 6, 4, {VK_UP, VK_DOWN, VK_DOWN}, {6, 9, 4, 5}, 6, 4},
        {"Shift+Right from the note column", 2, 6, 4, {VK_RIGHT}, {8, 9, 4, 5}, 8, 4},
        {"Shift+Right twice", 2, 6, 4, {VK_RIGHT, VK_RIGHT}, {8, 10, 4, 5}, 8, 4},
        {"Shift+Left from command A", 2, 0, 4, {VK_LEFT}, {5, 6, 4, 5}, 6, 4},
        {"Shift+Left twice", 2, 0, 4, {VK_LEFT, VK_LEFT}, {4, 6, 4, 5}, 6, 4},
        {"Shift+Left to column 0", 0, 6, 4, {VK_LEFT, VK_LEFT, VK_LEFT}, {0, 2, 4, 5}, 2, 4},
        {"Shift+Page Down", 0, 6, 0, {VK_NEXT}, {0, 3, 0, 7}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        PlaceCursor(c.track, c.sub, c.step);
        PressAll(c.keys, kShift);
        EXPECT_EQ(Sel(), c.sel);
        EXPECT_EQ(g_selAnchorPart, c.anchorPart);
        EXPECT_EQ(g_selAnchorStep, c.anchorStep);
        EXPECT_EQ(g_selExtending, 1u);
        EXPECT_EQ(g_selPattern, 0u);
        TearDown();
    }
}

TEST_F(GridKeysTest, ShiftDownAtTheBottomTakesTheBottomRowOnTheNextPress) {
    PlaceCursor(0, 6, 61);
    Press(VK_DOWN, kShift);
    Press(VK_DOWN, kShift);
    EXPECT_EQ(g_editStep, 63u);
    EXPECT_EQ(Sel(), (Selection{0, 3, 61, 63}));
    Press(VK_DOWN, kShift);
    EXPECT_EQ(Sel(), (Selection{0, 3, 61, 64}));
    Press(VK_DOWN, kShift);
    EXPECT_EQ(Sel(), (Selection{0, 3, 61, 64}));
}

TEST_F(GridKeysTest, AKeyWithoutShiftEndsTheExtendingAndKeepsTheSelection) {
    PlaceCursor(0, 6, 4);
    Press(VK_DOWN, kShift);
    Press(VK_DOWN);
    EXPECT_EQ(g_selExtending, 0u);
    EXPECT_EQ(Sel(), (Selection{0, 3, 4, 5}));
    Press(VK_DOWN, kShift);  // a new start
    EXPECT_EQ(Sel(), (Selection{0, 3, 6, 7}));
}

TEST_F(GridKeysTest, SelectionKeys) {
    Pattern(3);
    g_songOrder[0] = 3;
    PlaceCursor(4, 2, 9);
    g_selExtending = 1;
    Press(VK_F1 + 4);
    EXPECT_EQ(Sel(), (Selection{0, 96, 0, 64}));
    EXPECT_EQ(g_selPattern, 3u);
    Press(VK_F1 + 5);
    EXPECT_EQ(Sel(), (Selection{12, 15, 0, 64}));
    EXPECT_EQ(g_selExtending, 1u);
    Press(VK_F1 + 6);
    EXPECT_EQ(Sel(), (Selection{0, 0, 0, 0}));
    EXPECT_EQ(g_selPattern, 0u);
    EXPECT_EQ(view.gridShows, 3);
}

TEST_F(GridKeysTest, EscGivesTheFocusToTheOrderListAndEmptiesTheUndoRing) {
    PlaceCursor(9, 4, 20);
    Press('A');
    ASSERT_EQ(g_patternUndoCount, 0u + 0);  // on a value column: nothing
    PlaceCursor(9, 6, 20);
    Press('A');
    ASSERT_EQ(g_patternUndoCount, 1u);
    Press(VK_ESCAPE);
    EXPECT_EQ(g_patternFocus, 0u);
    EXPECT_EQ(Cur(), (Cursor{0, 0, 0}));
    EXPECT_EQ(g_patternUndoCount, 0u);
    EXPECT_EQ(view.listShows, 1);
}

TEST_F(GridKeysTest, SpaceTogglesTheTransportAndLoopsThePattern) {
    g_deviceOpen = 1;
    g_orderTop = 0;
    g_orderCursor = 0;
    Press(VK_SPACE);
    EXPECT_EQ(g_engineReset, kResetStart);
    EXPECT_EQ(g_loopPattern, 1u);
    EXPECT_EQ(view.topBarUpdates, 1);
    g_songPlaying = 1;
    Press(VK_SPACE);
    EXPECT_EQ(g_engineReset, kResetStop);
    g_songPlaying = 0;
    g_patternFocus = 0;
    Press(VK_SPACE);
    EXPECT_EQ(g_loopPattern, 0u);
    g_deviceOpen = 0;
    g_engineReset = 0;
}

TEST_F(GridKeysTest, PatternDumpNeverReadsPastThePattern) {
    const auto dir = std::filesystem::temp_directory_path() / ("mc-dump-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = (dir / kPatternDumpFile).string();
    auto dump = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    const struct {
        uint32_t length;
        size_t bytes;
    } cases[] = {{16, 2048}, {48, 6144}, {64, 6144}, {128, 6144}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        g_patternLength = c.length;
        ResetSong();
        Pattern(0)[5] = 0x37;
        WritePatternDump(path);
        const auto bytes = dump();
        ASSERT_EQ(bytes.size(), c.bytes);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), g_patterns[0].load()));
    }
    g_songOrder[0] = kOrderEnd;
    WritePatternDump(path);
    EXPECT_TRUE(dump().empty());
    WritePatternDump((dir / "missing" / kPatternDumpFile).string());  // skipped silently
    std::filesystem::remove_all(dir);
    g_patternLength = 64;
}

}  // namespace
