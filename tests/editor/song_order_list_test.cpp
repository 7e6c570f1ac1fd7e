// The song-order display on its surface, without a window: each case states the
// lines it must show as text, and the expected picture is put together from
// glyphs copied out of the program's glyph sheet at the display's columns.
#include "ui/song_order_list.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/resources.h"
#include "res/resource_ids.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/view_globals.h"

namespace {

constexpr int kW = 88, kH = 60;
constexpr int kSheetW = 124;

// Where a glyph family lies in the sheet: columns, and rows copied from the
// top of band k (sheet rows 8k on).
struct Family {
    int column, width, rows;
};
constexpr Family kLarge{113, 10, 8};
constexpr Family kSmall{98, 6, 7};
constexpr Family kLetters{106, 6, 7};  // band 5 is +, band 6 is -
constexpr Family kGoWord{65, 28, 8};   // band 10
constexpr Family kStopWord{65, 40, 8}; // band 11

using Picture = std::vector<uint8_t>;

// What one line shows: the position number as written, then the entry ("07",
// "Stop" or "Go:05") and, for a pattern entry, the transpose ("+12", "-00").
// An empty position leaves the line blank.
struct Line {
    Line() = default;
    Line(std::string p, std::string e, std::string t = {})
        : position(std::move(p)), entry(std::move(e)), transpose(std::move(t)) {}
    std::string position, entry, transpose;
};
using Lines = std::array<Line, 7>;

struct Entry {
    uint32_t position;
    uint8_t order, second;  // g_songOrder and g_songOrderJump
};

struct CursorBox {
    int line = -1, x = 0, width = 0;  // line -1: none
};

std::string TwoDigits(uint32_t n) { return {char('0' + n / 10 % 10), char('0' + n % 10)}; }

class SongOrderList : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        size_t size = 0;
        const uint8_t* sheet = FindRawResource(IDR_GLYPHS, &size);
        ASSERT_NE(sheet, nullptr);
        ASSERT_EQ(size, 14880u);
        // Exact-size copies on the heap: a read past the sheet or a write past
        // the surface is caught by the address sanitizer.
        glyphs.assign(sheet, sheet + size);
        surface.assign(size_t(kW * kH), 0xEE);
        g_soundModuleMode = 0;
        g_patternFocus = 1;  // the grid has the editor's focus: no order-list cursor
        g_viewHasFocus = 1;
        g_orderColumn = 0;
        g_songPlaying = 0;
        for (auto& pos : g_trackSongPos) pos = 0;
    }
    void TearDown() override {
        g_patternFocus = 0;
        g_viewHasFocus = 0;
        g_orderColumn = 0;
        g_orderTop = 0;
        g_orderCursor = 0;
        g_songPlaying = 0;
        for (auto& pos : g_trackSongPos) pos = 0;
        EditorTest::TearDown();
    }

    static void Enter(const std::vector<Entry>& entries) {
        for (const Entry& e : entries) {
            g_songOrder[e.position] = e.order;
            g_songOrderJump[e.position] = e.second;
        }
    }
    void Draw() { RenderSongOrderList(surface.data(), glyphs.data()); }
    void Focus(uint32_t line, uint32_t column) {
        g_patternFocus = 0;
        g_orderCursor = line;
        g_orderColumn = column;
    }

    void Put(Picture& p, const Family& f, int band, int x, int y) const {
        for (int r = 0; r < f.rows; ++r)
            for (int c = 0; c < f.width; ++c)
                p[size_t((y + r) * kW + x + c)] = glyphs[size_t((8 * band + r) * kSheetW + f.column + c)];
    }
    Picture Expected(const Lines& lines, CursorBox cursor = {}, int markLine = -1) const {
        Picture p(size_t(kW * kH), 0);
        for (int i = 0; i < 7; ++i) {
            const Line& l = lines[size_t(i)];
            const int y = 2 + 8 * i;
            if (l.position.empty()) continue;
            static const std::vector<int> kPositionX[] = {{}, {17}, {7, 17}, {0, 7, 17}};
            for (size_t k = 0; k < l.position.size(); ++k)
                Put(p, kLarge, l.position[k] - '0', kPositionX[l.position.size()][k], y);
            if (l.entry == "Stop") {
                Put(p, kStopWord, 11, 37, y);
            } else if (l.entry.starts_with("Go:")) {
                Put(p, kGoWord, 10, 37, y);
                Put(p, kLarge, l.entry[3] - '0', 64, y);
                Put(p, kLarge, l.entry[4] - '0', 74, y);
            } else {
                Put(p, kLarge, l.entry[0] - '0', 37, y);
                Put(p, kLarge, l.entry[1] - '0', 47, y);
                Put(p, kLetters, l.transpose[0] == '+' ? 5 : 6, 64, y);
                Put(p, kSmall, l.transpose[1] - '0', 71, y);
                Put(p, kSmall, l.transpose[2] - '0', 78, y);
            }
        }
        auto inBox = [&](int x, int y) {
            const int top = 2 + 8 * cursor.line;
            return cursor.line >= 0 && x >= cursor.x && x < cursor.x + cursor.width && y >= top && y < top + 8;
        };
        if (cursor.line >= 0)
            for (int y = 2 + 8 * cursor.line; y < 10 + 8 * cursor.line; ++y)
                for (int x = cursor.x; x < cursor.x + cursor.width; ++x) {
                    uint8_t& c = p[size_t(y * kW + x)];
                    c = c == 0 ? 15 : c % 3 == 1 ? 14 : c % 3 == 2 ? 13 : 0;
                }
        if (markLine >= 0)
            for (int y = 2 + 8 * markLine; y < 10 + 8 * markLine; ++y)
                for (int x = 2; x <= 85; ++x)
                    if (p[size_t(y * kW + x)] == 0 && !inBox(x, y)) p[size_t(y * kW + x)] = 31;
        return p;
    }

    ::testing::AssertionResult Shows(const Picture& want) const {
        int wrong = 0, firstX = 0, firstY = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                if (surface[size_t(y * kW + x)] != want[size_t(y * kW + x)] && wrong++ == 0) firstX = x, firstY = y;
        if (wrong == 0) return ::testing::AssertionSuccess();
        const size_t at = size_t(firstY * kW + firstX);
        return ::testing::AssertionFailure() << wrong << " pixels differ, first at (" << firstX << ", " << firstY
                                             << "): " << int(surface[at]) << " instead of " << int(want[at]);
    }

    std::vector<uint8_t> glyphs;
    Picture surface;
};

// The comparisons below only mean something if the glyphs they tell apart differ.
TEST_F(SongOrderList, SheetTellsItsGlyphsApart) {
    auto glyph = [&](const Family& f, int band) {
        Picture p(size_t(kW * kH), 0);
        Put(p, f, band, 0, 0);
        return p;
    };
    const Picture blank(size_t(kW * kH), 0);
    for (const Family& f : {kLarge, kSmall})
        for (int a = 0; a < 10; ++a) {
            EXPECT_NE(glyph(f, a), blank) << a;
            for (int b = a + 1; b < 10; ++b) EXPECT_NE(glyph(f, a), glyph(f, b)) << a << " " << b;
        }
    EXPECT_NE(glyph(kLetters, 5), glyph(kLetters, 6));
    EXPECT_NE(glyph(kGoWord, 10), blank);
    EXPECT_NE(glyph(kStopWord, 11), blank);
}

TEST_F(SongOrderList, NewSongShowsPatternZeroAndTheJumpBack) {
    Draw();
    EXPECT_TRUE(Shows(Expected({{{"0", "00", "+00"}, {"1", "Go:00"}}})));
}

struct ViewCase {
    const char* name;
    uint32_t top;
    std::vector<Entry> entries;
    Lines lines;
};

TEST_F(SongOrderList, LinesShowPositionsEntriesAndTransposes) {
    const ViewCase cases[] = {
        {"top 193, transposes 0, 12, 99, 128, 244, 157",
         193,
         {{193, 7, 0}, {194, 12, 12}, {195, 99, 99}, {196, 0, 128}, {197, 45, 244}, {198, 3, 157}, {199, 60, 1}},
         {{{"193", "07", "+00"},
           {"194", "12", "+12"},
           {"195", "99", "+99"},
           {"196", "00", "-00"},
           {"197", "45", "-12"},
           {"198", "03", "-99"},
           {"199", "60", "+01"}}}},
        {"one and two digits",
         5,
         {},
         {{{"5", "00", "+00"},
           {"6", "00", "+00"},
           {"7", "00", "+00"},
           {"8", "00", "+00"},
           {"9", "00", "+00"},
           {"10", "00", "+00"},
           {"11", "00", "+00"}}}},
        {"position 100: the tens digit after a hundreds digit",
         97,
         {{97, 1, 2}},
         {{{"97", "01", "+02"},
           {"98", "00", "+00"},
           {"99", "00", "+00"},
           {"100", "00", "+00"},
           {"101", "00", "+00"},
           {"102", "00", "+00"},
           {"103", "00", "+00"}}}},
        {"position 170",
         168,
         {{170, 17, 24}},
         {{{"168", "00", "+00"},
           {"169", "00", "+00"},
           {"170", "17", "+24"},
           {"171", "00", "+00"},
           {"172", "00", "+00"},
           {"173", "00", "+00"},
           {"174", "00", "+00"}}}},
        {"the list ends after position 199", 197, {}, {{{"197", "00", "+00"}, {"198", "00", "+00"}, {"199", "00", "+00"}}}},
        {"Stop ends the visible list",
         0,
         {{0, 4, 0}, {1, 5, 3}, {2, 255, 0}, {3, 9, 0}},
         {{{"0", "04", "+00"}, {"1", "05", "+03"}, {"2", "Stop"}}}},
        {"a jump target of 105 shows as Go: 05", 10, {{10, 254, 105}, {11, 3, 0}}, {{{"10", "Go:05"}}}},
        {"entries 100 to 253 show their last two digits",
         20,
         {{20, 100, 0}, {21, 150, 12}, {22, 199, 128}, {23, 253, 157}, {24, 200, 99}, {25, 101, 100}, {26, 42, 127}},
         {{{"20", "00", "+00"},
           {"21", "50", "+12"},
           {"22", "99", "-00"},
           {"23", "53", "-99"},
           {"24", "00", "+99"},
           {"25", "01", "+00"},
           {"26", "42", "+27"}}}},
        {"transposes of 100 and more show their last two digits",
         30,
         {{30, 1, 129}, {31, 2, 156}, {32, 3, 155}, {33, 4, 255}},
         {{{"30", "01", "-27"},
           {"31", "02", "-00"},
           {"32", "03", "-01"},
           {"33", "04", "-01"},
           {"34", "00", "+00"},
           {"35", "00", "+00"},
           {"36", "00", "+00"}}}},
    };
    for (const ViewCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSong();
        Enter(c.entries);
        g_orderTop = c.top;
        std::fill(surface.begin(), surface.end(), 0xEE);
        Draw();
        EXPECT_TRUE(Shows(Expected(c.lines)));
    }
}

struct CursorCase {
    const char* name;
    std::vector<Entry> entries;
    uint32_t top, line, column;
    Lines lines;
    CursorBox box;
};

TEST_F(SongOrderList, CursorBoxesCoverTheirColumn) {
    const Lines newSong{{{"0", "00", "+00"}, {"1", "Go:00"}}};
    const CursorCase cases[] = {
        {"pattern number", {}, 0, 0, 0, newSong, {0, 37, 21}},
        {"transpose", {}, 0, 0, 1, newSong, {0, 63, 22}},
        {"Go: and both target digits", {}, 0, 1, 0, newSong, {1, 37, 48}},
        {"Go: 05", {{1, 254, 105}}, 0, 1, 0, {{{"0", "00", "+00"}, {"1", "Go:05"}}}, {1, 37, 48}},
        {"the whole word Stop", {{1, 0, 0}, {3, 255, 0}}, 1, 2, 0, {{{"1", "00", "+00"}, {"2", "00", "+00"}, {"3", "Stop"}}},
         {2, 37, 41}},
        {"bottom line, transpose",
         {{199, 88, 140}},
         193,
         6,
         1,
         {{{"193", "00", "+00"},
           {"194", "00", "+00"},
           {"195", "00", "+00"},
           {"196", "00", "+00"},
           {"197", "00", "+00"},
           {"198", "00", "+00"},
           {"199", "88", "-16"}}},
         {6, 63, 22}},
    };
    for (const CursorCase& c : cases) {
        SCOPED_TRACE(c.name);
        ResetSong();
        Enter(c.entries);
        g_orderTop = c.top;
        Focus(c.line, c.column);
        Draw();
        EXPECT_TRUE(Shows(Expected(c.lines, c.box)));
    }
}

TEST_F(SongOrderList, NoCursorWithoutBothFocuses) {
    const Lines newSong{{{"0", "00", "+00"}, {"1", "Go:00"}}};
    Focus(0, 0);
    g_viewHasFocus = 0;
    Draw();
    EXPECT_TRUE(Shows(Expected(newSong))) << "view without the keyboard focus";
    g_viewHasFocus = 1;
    g_patternFocus = 1;
    Draw();
    EXPECT_TRUE(Shows(Expected(newSong))) << "grid with the editor's focus";
}

struct MarkCase {
    const char* name;
    uint32_t top;
    uint32_t playing;  // the first track's song position
    int markLine;
    CursorBox cursor;
};

TEST_F(SongOrderList, PlayMarkFillsTheBackgroundOfThePlayedLine) {
    const Lines newSong{{{"0", "00", "+00"}, {"1", "Go:00"}}};
    const MarkCase cases[] = {
        {"a drawn line", 0, 0, 0, {}},
        {"the jump's line", 0, 1, 1, {}},
        {"a line below the jump, not drawn", 0, 4, 4, {}},
        {"under the cursor on the pattern number", 0, 0, 0, {0, 37, 21}},
        {"under the cursor on the transpose", 0, 0, 0, {0, 63, 22}},
        {"under the cursor on Go:", 0, 1, 1, {1, 37, 48}},
        {"a line other than the cursor's", 0, 0, 0, {1, 37, 48}},
    };
    for (const MarkCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_orderTop = c.top;
        g_patternFocus = 1;
        if (c.cursor.line >= 0) Focus(uint32_t(c.cursor.line), c.cursor.x == 63 ? 1 : 0);
        g_songPlaying = 1;
        g_trackSongPos[0] = c.playing;
        g_trackSongPos[kVoices - 1] = c.playing + 2;  // track 0 is element 0
        Draw();
        EXPECT_TRUE(Shows(Expected(newSong, c.cursor, c.markLine)));
    }
}

TEST_F(SongOrderList, PlayMarkOnlyForAShownPositionWhilePlaying) {
    g_orderTop = 10;
    const Lines lines{{{"10", "00", "+00"},
                       {"11", "00", "+00"},
                       {"12", "00", "+00"},
                       {"13", "00", "+00"},
                       {"14", "00", "+00"},
                       {"15", "00", "+00"},
                       {"16", "00", "+00"}}};
    g_songPlaying = 1;
    for (uint32_t playing : {0u, 9u, 17u, 200u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(playing);
        g_trackSongPos[0] = playing;
        Draw();
        EXPECT_TRUE(Shows(Expected(lines)));
    }
    g_trackSongPos[0] = 16;
    Draw();
    EXPECT_TRUE(Shows(Expected(lines, {}, 6)));
    g_songPlaying = 0;
    Draw();
    EXPECT_TRUE(Shows(Expected(lines))) << "stopped";
}

// The order-list words are shared with other threads and follow the engine's
// play position: whatever they hold, no position at 200 or beyond is read, no
// top wraps round to position 0, and nothing is written off the surface.
TEST_F(SongOrderList, WildCursorWordsReadNothingBeyondTheList) {
    g_songPlaying = 1;
    g_viewHasFocus = 1;
    for (uint32_t top : {200u, 201u, 250u, 0xFFFFFFF9u, 0xFFFFFFFAu, 0xFFFFFFFFu})
        for (uint32_t line : {0u, 6u, 7u, 8u, 0xFFFFFFFFu})
            for (uint32_t column : {0u, 1u, 7u})
                for (uint32_t playing : {0u, 199u, 205u, 0xFFFFFFFFu}) {
                    SCOPED_TRACE(testing::Message() << top << " " << line << " " << column << " " << playing);
                    g_orderTop = top;
                    Focus(line, column);
                    g_trackSongPos[0] = playing;
                    Draw();
                    int cursorPixels = 0;
                    for (uint8_t c : surface) {
                        ASSERT_TRUE(c == 0 || c == 15 || c == 31) << int(c);
                        cursorPixels += c == 15;
                    }
                    const int width = column == 0 ? 21 : 22;
                    EXPECT_EQ(cursorPixels, line < 7 ? width * 8 : 0);
                }
}

TEST_F(SongOrderList, SoundModuleModeDrawsNothing) {
    g_soundModuleMode = 1;
    Draw();
    g_soundModuleMode = 0;
    EXPECT_EQ(surface, Picture(size_t(kW * kH), 0xEE));
}

// Every byte a song file may hold, as an entry, a transpose and a jump target:
// each digit drawn is the glyph of the number's last two digits, read from
// inside its own family.
TEST_F(SongOrderList, EveryEntryTransposeAndTargetStaysInItsGlyphFamily) {
    auto transpose = [](uint32_t b) {
        const uint32_t magnitude = b < 128 ? b : b == 128 ? 0 : 256 - b;
        return std::string(1, b < 128 ? '+' : '-') + TwoDigits(magnitude);
    };
    for (uint32_t b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        ResetSong();
        // As an entry, with the next position ending the list.
        Enter({{0, uint8_t(b), 12}, {1, 255, 0}});
        Draw();
        const Line first = b == 255 ? Line{"0", "Stop"} : b == 254 ? Line{"0", "Go:12"} : Line{"0", TwoDigits(b), "+12"};
        EXPECT_TRUE(Shows(Expected(b >= 254 ? Lines{{first}} : Lines{{first, {"1", "Stop"}}}))) << "entry";
        // As a transpose.
        Enter({{0, 5, uint8_t(b)}});
        Draw();
        EXPECT_TRUE(Shows(Expected({{{"0", "05", transpose(b)}, {"1", "Stop"}}}))) << "transpose";
        // As a jump target.
        Enter({{0, 254, uint8_t(b)}});
        Draw();
        EXPECT_TRUE(Shows(Expected({{{"0", "Go:" + TwoDigits(b)}}}))) << "target";
    }
}

}  // namespace
