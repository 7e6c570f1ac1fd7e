// The pattern grid drawn into its surface without a display: glyphs compared
// with blocks copied straight from the glyph sheet at the places the grid's
// layout gives, recolourings checked pixel by pixel against the colour rules.
#include "ui/pattern_grid.h"

#include <algorithm>
#include <vector>

#include "res/skin_files.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/view_globals.h"

namespace {

// A block of the glyph sheet: w x h pixels at (sx, sy).
struct Block {
    int sx, sy, w, h;
};

// Glyphs by family and band, as the sheet's layout places them.
Block NoteName(int band) { return {1, 8 * band, 19, 7}; }
Block Octave(int band) { return {21, 8 * band, 9, 7}; }
Block KeyChangeName(int band) { return {32, 8 * band, 20, 8}; }
Block KeyChangeOctave(int band) { return {52, 8 * band, 11, 8}; }
Block Word(int band) { return {65, 8 * band, 29, 7}; }  // 0 Cut, 1 Off, 2 End
Block SmallDigit(int d) { return {98, 8 * d, 6, 7}; }
Block Letter(int command) { return {106, 8 * (command - 1), 6, 7}; }
Block LargeDigit(int d) { return {113, 8 * d, 10, 8}; }
// A row number's hundreds digit: its last three columns lie under the tens digit.
Block LargeDigitLeft(int d) { return {113, 8 * d, 7, 8}; }
constexpr Block kDash{68, 27, 24, 1};
constexpr Block kTrackLabel{0, 97, 34, 5};
Block LabelDigit(int d) { return {36 + 7 * d, 97, 6, 5}; }

constexpr int kWidth = 632;
int LineY(int line) { return 17 + 8 * line; }
int CellX(int column) { return 32 + 82 * column; }

class PatternGrid : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // Copies of exactly the sheet's and the surface's sizes: a read or write
        // past either end is caught by the address sanitizer.
        const auto data = FindSkinRawData(188);
        ASSERT_EQ(data.size(), 14880u);
        sheet.assign(data.begin(), data.end());
        g_glyphData = sheet.data();
        Layout(false);
        g_polyphony = 5;
        g_markBeats = 0;
        g_followSong = 0;
        g_songPlaying = 0;
        g_patternFocus = 0;
        g_viewHasFocus = 0;
        g_doubleStepsPerBeat = 0;
        g_soundModuleMode = 0;
        g_selPattern = 0;
        g_selFirstPart = g_selLastPart = g_selFirstStep = g_selLastStep = 0;
        for (int t = 0; t < kVoices; ++t) g_trackSongPos[t] = g_trackRow[t] = 0;
        Pattern(0);
    }
    void TearDown() override {
        Layout(false);  // the normal layout's values, as the program starts
        g_gridBits = nullptr;
        g_glyphData = nullptr;
        g_markBeats = 1;
        g_followSong = 1;
        g_songPlaying = 0;
        g_patternFocus = 0;
        g_viewHasFocus = 0;
        g_polyphony = 5;
        g_soundModuleMode = 0;
        g_doubleStepsPerBeat = 0;
        g_selFirstPart = g_selLastPart = g_selFirstStep = g_selLastStep = 0;
        for (int t = 0; t < kVoices; ++t) g_trackSongPos[t] = g_trackRow[t] = 0;
        EditorTest::TearDown();
    }

    // The normal (15 lines, cursor on line 7) or the large layout (19, line 9).
    void Layout(bool large) {
        g_gridHeight = large ? 172 : 140;
        g_visibleRows = large ? 19 : 15;
        g_cursorRow = large ? 9 : 7;
        surface.assign(size_t(kWidth) * size_t(g_gridHeight), 0xEE);  // nothing left of it after a draw
        g_gridBits = surface.data();
    }
    // Every byte of a track's row: commands, value A, value B, note.
    static void SetCell(uint32_t pattern, uint32_t track, uint32_t row, uint8_t commands, uint8_t a, uint8_t b,
                        uint8_t note) {
        Cell(pattern, track, 0, row) = commands;
        Cell(pattern, track, 1, row) = a;
        Cell(pattern, track, 2, row) = b;
        Cell(pattern, track, 3, row) = note;
    }

    uint8_t Px(int x, int y) const { return surface[size_t(y) * kWidth + size_t(x)]; }
    bool Shows(const Block& b, int x, int y) const {
        for (int j = 0; j < b.h; ++j)
            for (int i = 0; i < b.w; ++i)
                if (Px(x + i, y + j) != sheet[size_t(b.sy + j) * 124 + size_t(b.sx + i)]) return false;
        return true;
    }
    bool HasInk(const Block& b) const {
        for (int j = 0; j < b.h; ++j)
            for (int i = 0; i < b.w; ++i)
                if (sheet[size_t(b.sy + j) * 124 + size_t(b.sx + i)] != 0) return true;
        return false;
    }
    bool Blank(int x, int y, int w, int h) const {
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                if (Px(x + i, y + j) != 0) return false;
        return true;
    }
    bool AllBlank() const {
        return std::all_of(surface.begin(), surface.end(), [](uint8_t v) { return v == 0; });
    }

    std::vector<uint8_t> sheet;
    std::vector<uint8_t> surface;
};

// ---- cells ------------------------------------------------------------------

struct NoteCase {
    uint8_t note;
    std::vector<std::pair<Block, int>> glyphs;  // glyph, x offset in the cell
};

TEST_F(PatternGrid, NoteBytesShowTheirGlyphs) {
    const NoteCase cases[] = {
        {255, {{Word(2), 45}}},                                   // End
        {253, {{Word(0), 45}}},                                   // Cut
        {252, {{Word(1), 45}}},                                   // Off
        {60, {{NoteName(0), 45}, {Octave(5), 65}}},               // C-5
        {107, {{NoteName(11), 45}, {Octave(8), 65}}},             // B-8
        {120, {{NoteName(0), 45}, {Octave(0), 65}}},              // 120 to 127 as C-0
        {127, {{NoteName(0), 45}, {Octave(0), 65}}},
        {188, {{KeyChangeName(0), 44}, {KeyChangeOctave(5), 64}}},  // key change to C-5
        {131, {{KeyChangeName(3), 44}, {KeyChangeOctave(0), 64}}},  // key change to D#0
        {250, {{KeyChangeName(0), 44}, {KeyChangeOctave(0), 64}}},  // 248 to 251 as a boxed C-0
    };
    const int y = LineY(7);  // edit row 0 on the cursor line
    for (const NoteCase& c : cases) {
        SCOPED_TRACE(int(c.note));
        SetCell(0, 3, 0, 0, 0, 0, c.note);
        DrawPatternGridSurface();
        for (const auto& [glyph, dx] : c.glyphs) {
            ASSERT_TRUE(HasInk(glyph));
            EXPECT_TRUE(Shows(glyph, CellX(3) + dx, y));
            if (glyph.h == 7) {
                EXPECT_TRUE(Blank(CellX(3) + dx, y + 7, glyph.w, 1));  // the line's eighth row
            }
        }
        EXPECT_TRUE(Blank(CellX(3), y, 44, 8));  // no commands
    }
    // The empty note: one row of dashes three rows below the line top.
    SetCell(0, 3, 0, 0, 0, 0, 254);
    DrawPatternGridSurface();
    ASSERT_TRUE(HasInk(kDash));
    EXPECT_TRUE(Shows(kDash, CellX(3) + 48, y + 3));
    EXPECT_TRUE(Blank(CellX(3), y, 82, 3));
    EXPECT_TRUE(Blank(CellX(3), y + 4, 82, 4));
}

struct CommandCase {
    uint8_t commands, a, b;
    std::vector<std::pair<Block, int>> glyphs;
    std::vector<std::pair<int, int>> blank;  // x offset, width
};

TEST_F(PatternGrid, CommandsShowTheirLettersAndTwoDigitsOfTheirValues) {
    const CommandCase cases[] = {
        {0x21, 45, 7, {{Letter(2), 0}, {SmallDigit(4), 7}, {SmallDigit(5), 14}, {Letter(1), 21},
                       {SmallDigit(0), 28}, {SmallDigit(7), 35}}, {}},
        // Command A 0 with a value: neither letter nor value; B alone at x + 21.
        {0x0F, 55, 99, {{Letter(15), 21}, {SmallDigit(9), 28}, {SmallDigit(9), 35}}, {{0, 21}}},
        {0xE0, 3, 42, {{Letter(14), 0}, {SmallDigit(0), 7}, {SmallDigit(3), 14}}, {{21, 21}}},
        // Values a song file may hold above 99: their last two digits.
        {0x33, 150, 255, {{SmallDigit(5), 7}, {SmallDigit(0), 14}, {SmallDigit(5), 28}, {SmallDigit(5), 35}}, {}},
        {0x33, 100, 199, {{SmallDigit(0), 7}, {SmallDigit(0), 14}, {SmallDigit(9), 28}, {SmallDigit(9), 35}}, {}},
    };
    const int y = LineY(7);
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(int(c.commands));
        SetCell(0, 0, 0, c.commands, c.a, c.b, 254);
        DrawPatternGridSurface();
        for (const auto& [glyph, dx] : c.glyphs) {
            ASSERT_TRUE(HasInk(glyph));
            EXPECT_TRUE(Shows(glyph, CellX(0) + dx, y)) << "at x + " << dx;
        }
        for (const auto& [dx, w] : c.blank) EXPECT_TRUE(Blank(CellX(0) + dx, y, w, 8)) << "at x + " << dx;
    }
}

// Every byte in every plane and track, in both layouts and both halves of the
// tracks: each digit is one of the ten of its family, read inside the sheet
// (the sanitizer build checks the reads).
TEST_F(PatternGrid, EveryByteDrawsInsideTheSheet) {
    for (bool large : {false, true}) {
        Layout(large);
        for (uint32_t first : {0u, 25u}) {
            g_firstTrack = first;
            for (int v = 0; v < 256; ++v) {
                const uint8_t byte = uint8_t(v);
                const uint8_t commands = uint8_t(((v % 15) + 1) << 4 | ((v + 7) % 15 + 1));
                for (uint32_t t = 0; t < kVoices; ++t)
                    for (uint32_t r = 0; r < g_patternLength; ++r) SetCell(0, t, r, commands, byte, byte, byte);
                DrawPatternGridSurface();
                const int y = LineY(g_cursorRow);
                EXPECT_TRUE(Shows(SmallDigit(v / 10 % 10), CellX(6) + 7, y)) << v;
                EXPECT_TRUE(Shows(SmallDigit(v % 10), CellX(6) + 35, y)) << v;
            }
        }
    }
}

// ---- cursor -------------------------------------------------------------------

struct CursorCase {
    uint8_t previewOnly;
    uint8_t background, first, second, third;  // colours for 0 and c mod 3 = 1, 2, 0
};

TEST_F(PatternGrid, TheCursorShowsDarkTextOnYellowOrRed) {
    const CursorCase cases[] = {{0, 15, 14, 13, 0}, {1, 9, 8, 7, 0}};
    SetCell(0, 2, 5, 0x12, 34, 56, 60);
    g_editStep = 5;
    const int y = LineY(7);
    struct Box {
        uint32_t sub;
        int x, w;
    };
    const Box boxes[] = {{6, CellX(2) + 44, 31}, {1, CellX(2) + 7, 7}, {3, CellX(2) + 21, 7}, {0, CellX(2), 7}};
    for (const CursorCase& c : cases) {
        for (const Box& box : boxes) {
            SCOPED_TRACE(testing::Message() << "preview " << int(c.previewOnly) << " sub-column " << box.sub);
            g_previewOnly = c.previewOnly;
            g_cursorColumn = 2 * 7 + box.sub;
            g_patternFocus = 1;
            g_viewHasFocus = 0;  // first without the view's focus: no cursor
            DrawPatternGridSurface();
            const std::vector<uint8_t> plain = surface;
            g_viewHasFocus = 1;
            DrawPatternGridSurface();
            int glyphPixels = 0, backgroundPixels = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = -1; i <= box.w; ++i) {
                    const int x = box.x + i;
                    const uint8_t before = plain[size_t(y + j) * kWidth + size_t(x)];
                    uint8_t want = before;
                    if (i >= 0 && i < box.w) {
                        if (before == 0) {
                            want = c.background;
                            ++backgroundPixels;
                        } else {
                            want = before % 3 == 1 ? c.first : (before % 3 == 2 ? c.second : c.third);
                            ++glyphPixels;
                        }
                    }
                    ASSERT_EQ(Px(x, y + j), want) << "x " << x << " row " << j;
                }
            EXPECT_GT(glyphPixels, 0);
            EXPECT_GT(backgroundPixels, 0);
            // Only that box changed (no pixel keeps its colour under the cursor).
            size_t changed = 0;
            for (size_t k = 0; k < surface.size(); ++k) changed += surface[k] != plain[k];
            EXPECT_EQ(changed, size_t(glyphPixels + backgroundPixels));
            // Without the grid's focus there is none either.
            g_patternFocus = 0;
            DrawPatternGridSurface();
            EXPECT_EQ(surface, plain);
        }
    }
    g_previewOnly = 0;
}

// ---- tracks in use and headers --------------------------------------------------

struct VoicesCase {
    uint32_t polyphony;
    uint32_t tracks;
    int columns;        // track columns drawn
    bool rightNumbers;  // row numbers again at x 600
    int beatWidth;      // beat marks over x 0 to beatWidth - 1
};

TEST_F(PatternGrid, TracksInUseDecideColumnsRowNumbersAndBeatWidth) {
    const VoicesCase cases[] = {
        {0, 1, 1, false, 108}, {1, 4, 4, false, 354}, {2, 8, 7, true, 632}, {5, 32, 7, true, 632},
        {9, 32, 7, true, 632},  // a setting out of range counts as the largest
    };
    for (bool large : {false, true}) {
        Layout(large);
        for (const VoicesCase& c : cases) {
            SCOPED_TRACE(testing::Message() << c.tracks << " voices, large " << large);
            g_polyphony = c.polyphony;
            for (uint32_t t = 0; t < 8; ++t) SetCell(0, t, 0, 0, 0, 0, 60);
            g_markBeats = 0;
            DrawPatternGridSurface();
            EXPECT_EQ(g_tracksInUse, c.tracks);
            const int y = LineY(g_cursorRow);  // row 0
            for (int v = 0; v < 7; ++v) {
                const int x = 82 * v;
                EXPECT_EQ(Shows(kTrackLabel, 43 + x, 4), v < c.columns) << v;
                EXPECT_EQ(Shows(NoteName(0), CellX(v) + 45, y), v < c.columns) << v;
                if (v >= c.columns) {
                    EXPECT_TRUE(Blank(CellX(v), y, 82, 8)) << v;
                    EXPECT_TRUE(Blank(43 + x, 4, 51, 5)) << v;
                }
            }
            EXPECT_TRUE(Shows(LargeDigit(0), 17, y));
            EXPECT_EQ(Shows(LargeDigit(0), 617, y), c.rightNumbers);
            if (!c.rightNumbers) {
                EXPECT_TRUE(Blank(600, y, 32, 8));
            }
            // Row 0 has an eight-beat mark, row 1 none.
            g_markBeats = 1;
            DrawPatternGridSurface();
            EXPECT_EQ(Px(c.beatWidth - 1, y), 30);
            if (c.beatWidth < kWidth) {
                EXPECT_EQ(Px(c.beatWidth, y), 0);
            }
            EXPECT_EQ(Px(c.beatWidth - 1, y + 8), 0);
        }
    }
}

struct HeaderCase {
    uint32_t first;
    uint32_t polyphony;
    int firstNumber;
};

TEST_F(PatternGrid, HeadersNumberTheVisibleTracks) {
    const HeaderCase cases[] = {{25, 5, 26}, {1, 2, 2}, {0, 5, 1}};
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.first);
        g_firstTrack = c.first;
        g_polyphony = c.polyphony;
        DrawPatternGridSurface();
        for (int v = 0; v < 7; ++v) {
            const int number = c.firstNumber + v;
            EXPECT_TRUE(Shows(kTrackLabel, 43 + 82 * v, 4));
            EXPECT_TRUE(Shows(LabelDigit(number / 10), 81 + 82 * v, 4)) << number;
            EXPECT_TRUE(Shows(LabelDigit(number % 10), 88 + 82 * v, 4)) << number;
        }
    }
}

TEST_F(PatternGrid, RowNumbersAroundTheEditRow) {
    g_patternLength = 128;
    ResetSong();
    Pattern(0);
    Layout(true);
    g_editStep = 104;  // rows 95 to 113 on lines 0 to 18
    DrawPatternGridSurface();
    // Row 95: two digits; row 104: three, on both sides.
    EXPECT_TRUE(Blank(0, LineY(0), 7, 8));
    EXPECT_TRUE(Shows(LargeDigit(9), 7, LineY(0)));
    EXPECT_TRUE(Shows(LargeDigit(5), 17, LineY(0)));
    for (int x0 : {0, 600}) {
        EXPECT_TRUE(Shows(LargeDigitLeft(1), x0, LineY(9)));
        EXPECT_TRUE(Shows(LargeDigit(0), x0 + 7, LineY(9)));
        EXPECT_TRUE(Shows(LargeDigit(4), x0 + 17, LineY(9)));
    }
    // Edit row 0: the lines above are blank; rows 0 to 9 have one digit.
    g_editStep = 0;
    DrawPatternGridSurface();
    EXPECT_TRUE(Blank(0, LineY(0), kWidth, 8 * 9));
    EXPECT_TRUE(Blank(0, LineY(9), 17, 8));
    EXPECT_TRUE(Shows(LargeDigit(0), 17, LineY(9)));
    EXPECT_TRUE(Shows(LargeDigit(9), 17, LineY(18)));
}

TEST_F(PatternGrid, TheLastRowOfAShortPatternLeavesTheLinesBelowBlank) {
    g_patternLength = 16;
    ResetSong();
    Pattern(0);
    g_editStep = 15;
    DrawPatternGridSurface();
    EXPECT_TRUE(Shows(LargeDigit(1), 7, LineY(7)));
    EXPECT_TRUE(Shows(LargeDigit(5), 17, LineY(7)));
    EXPECT_TRUE(Blank(0, LineY(8), kWidth, 140 - LineY(8)));
    EXPECT_FALSE(Blank(0, LineY(6), kWidth, 8));
}

// ---- positions without a pattern ---------------------------------------------------

struct BlankCase {
    uint32_t top, cursor;
    uint8_t entry;  // at top + cursor, when below 200
    uint32_t shown, pattern;
};

TEST_F(PatternGrid, PositionsWithoutAPatternLeaveTheGridBlank) {
    Pattern(4);
    const BlankCase cases[] = {
        {0, 3, 254, 0, 0}, {0, 3, 255, 0, 0}, {10, 6, 150, 0, 0},
        {0, 3, 7, 1, 7},      // a pattern number that is not allocated
        {196, 6, 4, 0, 0},    // past the order list
    };
    for (const BlankCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.top << "+" << c.cursor);
        g_songOrder[3] = 4;
        g_songOrder[0] = 4;
        g_orderTop = 0;
        g_orderCursor = 0;
        DrawPatternGridSurface();  // pattern 4 shown first
        ASSERT_EQ(g_curPattern, 4u);
        g_orderTop = c.top;
        g_orderCursor = c.cursor;
        if (uint64_t(c.top) + c.cursor < 200) g_songOrder[c.top + c.cursor] = c.entry;
        std::fill(surface.begin(), surface.end(), 0xEE);
        DrawPatternGridSurface();
        EXPECT_TRUE(AllBlank());
        EXPECT_EQ(g_patternShown, c.shown);
        EXPECT_EQ(g_curPattern, c.pattern);
    }
}

TEST_F(PatternGrid, SoundModuleModeOnlySetsTheStepsPerBeat) {
    struct Steps {
        uint32_t length, doubled, steps;
    };
    for (const Steps s : {Steps{16, 0, 4}, Steps{24, 0, 6}, Steps{48, 1, 12}, Steps{128, 1, 8}, Steps{96, 0, 6}}) {
        g_patternLength = s.length;
        g_doubleStepsPerBeat = s.doubled;
        g_soundModuleMode = 1;
        g_polyphony = 0;
        g_tracksInUse = 32;
        g_stepsPerBeat = 0;
        DrawPatternGridSurface();
        EXPECT_EQ(g_stepsPerBeat, s.steps) << s.length;
        EXPECT_EQ(g_tracksInUse, 32u);
        EXPECT_TRUE(std::all_of(surface.begin(), surface.end(), [](uint8_t v) { return v == 0xEE; }));
    }
    g_patternLength = 64;
}

// ---- follow song and play rows -------------------------------------------------------

struct FollowCase {
    uint32_t follow, playing;
    uint32_t position, counter;
    uint32_t editStep, cursor, top;
};

TEST_F(PatternGrid, FollowSongPutsTheCursorWhereTheFirstTrackPlays) {
    const FollowCase cases[] = {
        {1, 1, 9, 1, 0, 6, 3},
        {1, 1, 3, 5, 4, 3, 0},
        {1, 1, 6, 0, 0, 6, 0},           // counter 0: row 0
        {1, 1, 250, 200, 63, 6, 193},    // words out of range: the last position and row
        {1, 1, 0xFFFFFFFF, 0xFFFFFFFF, 63, 6, 193},
        {0, 1, 9, 1, 20, 2, 11},          // follow song off: unchanged
        {1, 0, 9, 1, 20, 2, 11},          // stopped: unchanged
    };
    for (const FollowCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << ", " << c.counter);
        g_editStep = 20;
        g_orderCursor = 2;
        g_orderTop = 11;
        g_followSong = c.follow;
        g_songPlaying = c.playing;
        g_trackSongPos[0] = c.position;
        g_trackRow[0] = c.counter;
        g_trackSongPos[31] = 2;  // the last track elsewhere: only the first counts
        g_trackRow[31] = 40;
        DrawPatternGridSurface();
        EXPECT_EQ(g_editStep, c.editStep);
        EXPECT_EQ(g_orderCursor, c.cursor);
        EXPECT_EQ(g_orderTop, c.top);
    }
}

TEST_F(PatternGrid, EachTrackShowsItsPlayRowInThePatternShown) {
    Pattern(1);
    g_songOrder[0] = 0;
    g_songOrder[5] = 0;  // the pattern shown, at another position
    g_songOrder[2] = 1;
    g_editStep = 5;      // rows -2 to 12 on the lines
    struct Track {
        uint32_t position, counter;
        int line;  // -1: no play row
    };
    const Track tracks[] = {
        {0, 3, 4},            // row 2
        {5, 4, 5},            // row 3, the same pattern at position 5
        {2, 5, -1},           // another pattern
        {300, 6, -1},         // a position past the order list
        {0, 0, -1},           // counter 0: no row
        {0, 13, 14},          // row 12, the last line
        {0, 14, -1},          // row 13, below the grid
    };
    const int bandX[7] = {0, 108, 190, 272, 354, 436, 518};
    const int bandW[7] = {108, 82, 82, 82, 82, 82, 112};
    for (int v = 0; v < 7; ++v) {
        SetCell(0, uint32_t(v), 2, 0x11, 11, 22, 60);
        g_trackSongPos[v] = tracks[v].position;
        g_trackRow[v] = tracks[v].counter;
    }
    DrawPatternGridSurface();
    const std::vector<uint8_t> stopped = surface;
    g_songPlaying = 1;
    DrawPatternGridSurface();
    for (int v = 0; v < 7; ++v) {
        SCOPED_TRACE(v);
        for (int line = 0; line < 15; ++line)
            for (int j = 0; j < 8; ++j)
                for (int x = bandX[v]; x < bandX[v] + bandW[v]; ++x) {
                    const size_t k = size_t(LineY(line) + j) * kWidth + size_t(x);
                    const uint8_t want = line == tracks[v].line && stopped[k] == 0 ? 31 : stopped[k];
                    ASSERT_EQ(surface[k], want) << "line " << line << " x " << x;
                }
    }
}

// ---- selection and beat marks ---------------------------------------------------------

TEST_F(PatternGrid, ASelectionFromCommandBOfTrack2CoversItAndTheNote) {
    // Parts 7 and 8: command B and the note of track 2; rows 1 and 2.
    g_selPattern = 0;
    g_selFirstPart = 7;
    g_selLastPart = 9;
    g_selFirstStep = 1;
    g_selLastStep = 3;
    g_editStep = 0;
    g_polyphony = 0;  // drawn also over columns beyond the tracks in use
    for (uint32_t first : {0u, 1u}) {
        SCOPED_TRACE(first);
        g_firstTrack = first;
        DrawPatternGridSurface();
        const int base = 30 + 82 * int(2 - first);
        for (int line = 7; line <= 10; ++line) {
            const bool selectedRow = line == 8 || line == 9;
            const int y = LineY(line);
            for (int x = base - 2; x < base + 84; ++x) {
                const bool selected = selectedRow && x >= base + 23 && x < base + 82;
                EXPECT_EQ(Px(x, y + 7), selected ? 1 : 0) << "line " << line << " x " << x;
            }
        }
    }
    // Another pattern's selection is not shown.
    g_firstTrack = 0;
    g_selPattern = 1;
    DrawPatternGridSurface();
    EXPECT_EQ(Px(30 + 82 * 2 + 30, LineY(8) + 7), 0);
}

TEST_F(PatternGrid, BeatMarksByRow) {
    struct Mark {
        uint32_t length, doubled;
        uint32_t row;
        uint8_t colour;
    };
    const Mark marks[] = {
        {128, 0, 0, 30},  {128, 0, 32, 30}, {128, 0, 64, 30}, {128, 0, 96, 30}, {128, 0, 8, 29},
        {128, 0, 16, 29}, {128, 0, 24, 29}, {128, 0, 40, 29}, {128, 0, 4, 28},  {128, 0, 12, 28},
        {128, 0, 20, 28}, {128, 0, 1, 0},   {128, 0, 6, 0},   {128, 0, 127, 0}, {48, 0, 0, 30},
        {48, 0, 12, 29},  {48, 0, 6, 28},   {48, 0, 3, 0},    {64, 1, 0, 30},   {64, 1, 32, 29},
        {64, 1, 8, 28},   {64, 1, 4, 0},    {96, 1, 12, 28},  {96, 1, 24, 29},  {96, 1, 96 - 1, 0},
    };
    g_markBeats = 1;
    Layout(true);
    for (const Mark& m : marks) {
        SCOPED_TRACE(testing::Message() << m.length << " rows, row " << m.row);
        if (g_patternLength != m.length) {
            g_patternLength = m.length;
            ResetSong();
            Pattern(0);
        }
        g_doubleStepsPerBeat = m.doubled;
        g_editStep = m.row;
        DrawPatternGridSurface();
        // Right of the right-hand row numbers, on the edit row's line.
        for (int j = 0; j < 8; ++j) EXPECT_EQ(Px(629, LineY(9) + j), m.colour);
    }
    // Off: no marks.
    g_markBeats = 0;
    g_editStep = 0;
    DrawPatternGridSurface();
    EXPECT_EQ(Px(629, LineY(9)), 0);
}

// The cursor over the play row over the selection over the beat mark: each
// recolours only what is still background.
TEST_F(PatternGrid, EarlierMarksWinWhereTheyOverlap) {
    g_markBeats = 1;
    g_editStep = 0;
    g_patternFocus = 1;
    g_viewHasFocus = 1;
    g_cursorColumn = 6;  // the note of track 0: x 76 to 106
    g_songPlaying = 1;
    g_trackSongPos[0] = 0;
    g_trackRow[0] = 1;  // play row 0: x 0 to 107
    g_selPattern = 0;
    g_selFirstPart = 0;
    g_selLastPart = 6;  // tracks 0 and 1: x 30 to 193
    g_selFirstStep = 0;
    g_selLastStep = 1;
    DrawPatternGridSurface();
    const int y = LineY(7) + 7;  // a row no glyph reaches
    EXPECT_EQ(Px(80, y), 15);
    EXPECT_EQ(Px(40, y), 31);
    EXPECT_EQ(Px(150, y), 1);
    EXPECT_EQ(Px(300, y), 30);
}

}  // namespace
