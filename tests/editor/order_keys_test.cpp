// The song-order list's keys: moves and the end of the list, digits,
// transposes, jumps and the end marker, insert and delete with the lanes, a new
// pattern at the cursor, and position 199.
#include <initializer_list>

#include "shared/automation.h"
#include "tests/editor/key_fixture.h"

namespace {

class OrderKeysTest : public KeyTest {
protected:
    void SetUp() override {
        KeyTest::SetUp();
        g_patternFocus = 0;
        for (auto& lane : g_tweakLaneData) std::fill(std::begin(lane), std::end(lane), uint8_t{0});
    }
    // The list: entries from position 0 on, the rest pattern 0.
    static void List(std::initializer_list<uint8_t> entries, uint8_t lastJump = 0) {
        for (int i = 0; i < kOrderPositions; ++i) g_songOrder[i] = 0, g_songOrderJump[i] = 0;
        int i = 0;
        for (uint8_t e : entries) g_songOrder[i++] = e;
        if (i > 0) g_songOrderJump[i - 1] = lastJump;
    }
    static std::vector<int> Entries(int n) { return std::vector<int>(g_songOrder, g_songOrder + n); }
    static void At(uint32_t pos) {
        g_orderTop = pos < 6 ? 0 : pos - 6;
        g_orderCursor = pos < 6 ? pos : 6;
    }
    static uint32_t Pos() { return g_orderTop + g_orderCursor; }
    static uint8_t& Lane(int knob, uint32_t pos, int byte = 0) { return g_tweakLaneData[knob][pos * 256 + byte]; }
};

TEST_F(OrderKeysTest, NewSongEndsAtItsJump) {
    ASSERT_EQ(g_songOrder[1], kOrderJump);
    g_orderColumn = 1;
    Press(VK_DOWN);
    EXPECT_EQ(Pos(), 1u);
    EXPECT_EQ(g_orderColumn, 0u);
    for (UINT k : {UINT(VK_DOWN), UINT(VK_RETURN), UINT(VK_RIGHT), UINT(VK_TAB), UINT(VK_NEXT)}) {
        Press(k);
        EXPECT_EQ(Pos(), 1u) << k;
        EXPECT_EQ(g_patternFocus, 0u) << k;
        EXPECT_EQ(g_orderColumn, 0u) << k;
    }
    Press(VK_UP);
    Press(VK_RETURN);
    EXPECT_EQ(g_patternFocus, 1u);
    EXPECT_TRUE(view.marks.empty());
}

TEST_F(OrderKeysTest, InsertAndDeleteKeepJumpTargets) {
    const struct {
        const char* name;
        std::vector<uint8_t> list;
        uint8_t jump;
        uint32_t pos;
        UINT key;
        std::vector<int> after;
        uint8_t jumpAfter;
        uint32_t jumpPos;
    } cases[] = {
        {"insert on a new song's jump", {0, 254}, 0, 1, VK_INSERT, {0, 0, 254, 0}, 0, 2},
        {"insert before a later target", {3, 5, 7, 9, 254}, 3, 1, VK_INSERT, {3, 5, 5, 7, 9, 254}, 4, 5},
        {"insert before target 2", {3, 5, 7, 9, 254}, 2, 1, VK_INSERT, {3, 5, 5, 7, 9, 254}, 2, 5},
        {"delete at 0", {3, 5, 7, 254}, 1, 0, VK_DELETE, {5, 7, 254, 0}, 1, 2},
        {"delete before a later target", {3, 5, 7, 254}, 3, 0, VK_DELETE, {5, 7, 254, 0}, 2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int i = 0; i < 10; ++i) Pattern(uint32_t(i));
        g_songOrder[199] = 42;
        List({});
        for (size_t i = 0; i < c.list.size(); ++i) g_songOrder[i] = c.list[i];
        g_songOrderJump[c.list.size() - 1] = c.jump;
        g_songOrder[199] = 42;
        At(c.pos);
        Press(c.key);
        EXPECT_EQ(Entries(int(c.after.size())), c.after);
        EXPECT_EQ(g_songOrderJump[c.jumpPos], c.jumpAfter);
        EXPECT_EQ(Pos(), c.pos);
        EXPECT_EQ(view.marks, std::vector<bool>{true});
        if (c.key == VK_DELETE) {
            EXPECT_EQ(g_songOrder[199], 0);
        }
        TearDown();
    }
}

TEST_F(OrderKeysTest, InsertIsRefusedWhenTheLastPositionEndsTheList) {
    g_songOrder[199] = kOrderEnd;
    At(0);
    Press(VK_INSERT);
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    EXPECT_TRUE(view.marks.empty());
}

TEST_F(OrderKeysTest, DigitsAndTransposes) {
    const struct {
        const char* name;
        uint32_t column;
        uint8_t entry, jump;
        std::vector<UINT> keys;
        uint8_t entryAfter, jumpAfter;
        size_t marks;
    } cases[] = {
        {"1 then 2", 0, 0, 0x80, {'1', '2'}, 12, 0x80, 2},
        {"1, 2, 5: above 19", 0, 0, 0x80, {'1', '2', '5'}, 0, 0x80, 3},
        {"keypad digits", 0, 0, 0x80, {VK_NUMPAD0 + 1, VK_NUMPAD0 + 9}, 19, 0x80, 2},
        {"jump target", 0, 254, 7, {'4'}, 254, 74, 1},
        {"end entry unchanged, marked", 0, 255, 7, {'4'}, 255, 7, 1},
        {"transpose digits", 1, 3, 0, {'1', '2'}, 3, 12, 2},
        {"keypad minus on +12", 1, 3, 12, {VK_SUBTRACT}, 3, 244, 1},
        {"keypad plus back", 1, 3, 244, {VK_ADD}, 3, 12, 1},
        {"keypad minus on +00", 1, 3, 0, {VK_SUBTRACT}, 3, 128, 1},
        {"digits on -00", 1, 3, 128, {'0', '5'}, 3, 251, 2},
        {"keypad minus on -05 unmarked", 1, 3, 251, {VK_SUBTRACT}, 3, 251, 0},
        {"keypad plus on +05 unmarked", 1, 3, 5, {VK_ADD}, 3, 5, 0},
        {"keypad plus on the pattern", 0, 3, 0, {VK_ADD}, 4, 0, 1},
        {"keypad plus on the last pattern", 0, 19, 0, {VK_ADD}, 19, 0, 0},
        {"keypad minus on pattern 0", 0, 0, 0, {VK_SUBTRACT}, 0, 0, 0},
        {"keypad minus on a pattern", 0, 7, 0, {VK_SUBTRACT}, 6, 0, 1},
        {"keypad minus on the end", 0, 255, 0, {VK_SUBTRACT}, 255, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Pattern(19);
        g_songOrder[3] = c.entry;
        g_songOrderJump[3] = c.jump;
        At(3);
        g_orderColumn = c.column;
        g_editStep = 9;
        PressAll(c.keys);
        EXPECT_EQ(g_songOrder[3], c.entryAfter);
        EXPECT_EQ(g_songOrderJump[3], c.jumpAfter);
        EXPECT_EQ(view.marks.size(), c.marks);
        EXPECT_EQ(g_editStep, 0u);
        TearDown();
    }
}

// A song file may hold no pattern: the numbers have nothing to count to.
TEST_F(OrderKeysTest, WithoutPatternsDigitsAndPlusLeaveTheEntry) {
    ResetSong();
    ASSERT_EQ(g_patternCount, 0u);
    At(0);
    PressAll({'5', VK_ADD, VK_NUMPAD0 + 7});
    EXPECT_EQ(g_songOrder[0], 0);
    g_songOrder[0] = kOrderEnd;
    Press(VK_INSERT);
    EXPECT_EQ(g_songOrder[0], kOrderEnd);
}

TEST_F(OrderKeysTest, JumpAndEndKeys) {
    g_songOrder[1] = kOrderJump;
    g_songOrderJump[1] = 9;
    At(1);
    Press('S');
    EXPECT_EQ(g_songOrder[1], kOrderEnd);
    EXPECT_EQ(g_songOrderJump[1], 9);
    EXPECT_EQ(view.marks.size(), 1u);  // the song changed
    Press('S');
    EXPECT_EQ(view.marks.size(), 1u);  // nothing changed
    Press('G');
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    EXPECT_EQ(g_songOrderJump[1], 0);
    EXPECT_EQ(view.marks.size(), 2u);
    At(0);
    PressAll({'G', 'S'});
    EXPECT_EQ(g_songOrder[0], 0);
    EXPECT_EQ(view.marks.size(), 2u);
}

TEST_F(OrderKeysTest, EndHomeAndPages) {
    List({});
    g_songOrder[150] = kOrderEnd;
    g_orderColumn = 1;
    Press(VK_END);
    EXPECT_EQ(g_orderTop, 144u);
    EXPECT_EQ(g_orderCursor, 6u);
    EXPECT_EQ(g_orderColumn, 0u);
    Press(VK_PRIOR);
    EXPECT_EQ(Pos(), 144u);
    EXPECT_EQ(g_orderCursor, 0u);
    Press(VK_NEXT);
    EXPECT_EQ(Pos(), 150u);
    Press(VK_HOME);
    EXPECT_EQ(g_orderTop, 0u);
    EXPECT_EQ(g_orderCursor, 0u);
    g_songOrder[3] = kOrderEnd;
    Press(VK_END);
    EXPECT_EQ(g_orderTop, 0u);
    EXPECT_EQ(g_orderCursor, 3u);
}

TEST_F(OrderKeysTest, UpAndDownRefusedWhileFollowingThePlay) {
    List({0, 0, 0, 254});
    At(1);
    g_songPlaying = 1;
    g_followSong = 1;
    PressAll({VK_UP, VK_DOWN});
    EXPECT_EQ(Pos(), 1u);
    Press(VK_NEXT);
    EXPECT_EQ(Pos(), 3u);
    EXPECT_EQ(view.panelUpdates, 0);
}

// A list with no end before position 199: the cursor stops there and the lanes,
// which hold positions 0 to 198, are never written past their end.
TEST_F(OrderKeysTest, Position199) {
    List({});
    At(196);
    Press(VK_NEXT);
    EXPECT_EQ(Pos(), 199u);
    Press(VK_DOWN);
    EXPECT_EQ(Pos(), 199u);
    Lane(9, 198, 255) = 77;
    Press(VK_INSERT);  // refused by no end: entry 199 is pattern 0
    EXPECT_EQ(Lane(9, 198, 255), 77);
    Press(VK_INSERT, kShift);
    EXPECT_EQ(g_patternCount, 2u);
    EXPECT_EQ(g_songOrder[199], 1);
    EXPECT_EQ(Pos(), 199u);
    EXPECT_EQ(Lane(9, 198, 255), 77);
    Press(VK_DELETE);
    EXPECT_EQ(g_songOrder[199], 0);
    EXPECT_EQ(Lane(9, 198, 255), 77);
    At(198);
    Press(VK_INSERT, kShift);  // clears lane position 198, moves nothing
    EXPECT_EQ(Lane(9, 198, 255), 0);
    EXPECT_EQ(Pos(), 199u);
}

TEST_F(OrderKeysTest, LanesMoveWithThePositions) {
    List({0, 0, 0, 0, 254});
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (uint32_t p = 0; p < 5; ++p) Lane(k, p, 3) = uint8_t(10 * k + p + 1);
    At(1);
    Press(VK_INSERT);
    EXPECT_EQ(Lane(0, 1, 3), 2);
    EXPECT_EQ(Lane(0, 2, 3), 2);
    EXPECT_EQ(Lane(9, 3, 3), 93);
    Press(VK_DELETE);
    EXPECT_EQ(Lane(0, 1, 3), 2);
    EXPECT_EQ(Lane(0, 2, 3), 3);
    EXPECT_EQ(Lane(9, 4, 3), 95);
    Press(VK_INSERT, kShift);
    EXPECT_EQ(g_songOrder[1], 1);
    EXPECT_EQ(g_songOrderJump[1], 0);
    EXPECT_EQ(Pos(), 2u);
    EXPECT_EQ(Lane(5, 1, 3), 0);
    EXPECT_EQ(Lane(5, 2, 3), 52);
}

TEST_F(OrderKeysTest, ShiftInsertWith100PatternsChangesNothing) {
    Pattern(99);
    List({0, 254});
    Press(VK_INSERT, kShift);
    EXPECT_EQ(Entries(3), (std::vector<int>{0, 254, 0}));
    EXPECT_EQ(Pos(), 0u);
    EXPECT_TRUE(view.marks.empty());
}

TEST_F(OrderKeysTest, NoteKeysPlayNothingHere) {
    PressAll({'A', 'Q', VK_NUMPAD0 + 3});
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(g_octave, 4u);
}

}  // namespace
