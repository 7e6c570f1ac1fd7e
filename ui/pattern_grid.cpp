#include "ui/pattern_grid.h"

#include <cstring>

#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "ui/pattern_cells.h"
#include "ui/view_globals.h"

namespace {

// ---- glyph families: sheet column, width and rows; band k starts at row 8k --

struct Family {
    int column;
    int width;
    int rows;
};

constexpr Family kNoteNames{1, 19, 7};
constexpr Family kOctaveDigits{21, 9, 7};
constexpr Family kKeyChangeNames{32, 20, 8};
constexpr Family kKeyChangeOctaves{52, 11, 8};
constexpr Family kWords{65, 29, 7};
constexpr Family kSmallDigits{98, 6, 7};
constexpr Family kCommandLetters{106, 6, 7};
constexpr Family kLargeDigits{113, 10, 8};

constexpr int kWordCut = 0;
constexpr int kWordOff = 1;
constexpr int kWordEnd = 2;

// The empty-note dash: one sheet row.
constexpr int kDashColumn = 68;
constexpr int kDashRow = 27;
constexpr int kDashWidth = 24;

// The track header: the word TRACK and its digits, five sheet rows.
constexpr int kLabelRow = 97;
constexpr int kLabelRows = 5;
constexpr int kLabelWidth = 34;
constexpr int kLabelDigitColumn = 36;
constexpr int kLabelDigitStep = 7;
constexpr int kLabelDigitWidth = 6;

// ---- surface geometry -------------------------------------------------------

constexpr int kHeaderY = 4;
constexpr int kFirstLineY = 17;
constexpr int kLineHeight = 8;
constexpr int kColumns = 7;
constexpr int kCellX = 32;
constexpr int kColumnWidth = 82;
constexpr int kRightRowNumbers = 600;

constexpr int kCursorOffset[7] = {0, 7, 14, 21, 28, 35, 44};
constexpr int kPlayBandX[kColumns] = {0, 108, 190, 272, 354, 436, 518};
constexpr int kPlayBandWidth[kColumns] = {108, 82, 82, 82, 82, 82, 112};
constexpr int kSelectionOffset[3] = {0, 23, 46};
constexpr int kSelectionWidth[3] = {23, 23, 36};

// ---- colours ----------------------------------------------------------------

constexpr uint8_t kSelectionColour = 1;
constexpr uint8_t kPlayRowColour = 31;
constexpr uint8_t kBeatColour = 28;
constexpr uint8_t kTwoBeatsColour = 29;
constexpr uint8_t kEightBeatsColour = 30;

// The cursor's colours: background, then glyph pixels by their place in the
// colour triple (c mod 3 = 1, 2, 0).
struct CursorColours {
    uint8_t background, first, second, third;
};
constexpr CursorColours kCursorYellow{15, 14, 13, 0};
constexpr CursorColours kCursorRed{9, 8, 7, 0};

class GridPainter {
public:
    GridPainter(uint8_t* bits, const uint8_t* sheet, int height) : bits_(bits), sheet_(sheet), height_(height) {}

    // Copies a w x h block of the sheet at (sx, sy) to (x, y), background
    // pixels included.
    void Copy(int sx, int sy, int w, int h, int x, int y) {
        for (int j = 0; j < h; ++j)
            std::memcpy(Row(y + j) + x, sheet_ + (sy + j) * kGlyphSheetWidth + sx, static_cast<size_t>(w));
    }
    void Glyph(const Family& f, uint32_t band, int x, int y) {
        Copy(f.column, static_cast<int>(band) * 8, f.width, f.rows, x, y);
    }

    // The background pixels of a band of 8 rows take `colour`.
    void Fill(int x, int w, int y, uint8_t colour) {
        for (int j = 0; j < kLineHeight; ++j) {
            uint8_t* p = Row(y + j) + x;
            for (int i = 0; i < w; ++i)
                if (p[i] == 0) p[i] = colour;
        }
    }

    void Cursor(int x, int w, int y, const CursorColours& c) {
        for (int j = 0; j < kLineHeight; ++j) {
            uint8_t* p = Row(y + j) + x;
            for (int i = 0; i < w; ++i) {
                const uint8_t v = p[i];
                if (v == 0)
                    p[i] = c.background;
                else
                    p[i] = v % 3 == 1 ? c.first : (v % 3 == 2 ? c.second : c.third);
            }
        }
    }

    void Clear() { std::memset(bits_, 0, static_cast<size_t>(kGridSurfaceWidth) * static_cast<size_t>(height_)); }

private:
    uint8_t* Row(int y) { return bits_ + y * kGridSurfaceWidth; }

    uint8_t* bits_;
    const uint8_t* sheet_;
    int height_;
};

// The last two decimal digits of a byte: every digit drawn stays one of its
// family's ten bands, whatever a song file holds.
uint32_t Tens(uint32_t v) { return v / 10 % 10; }
uint32_t Units(uint32_t v) { return v % 10; }

void DrawCell(GridPainter& p, const uint8_t* pattern, uint32_t track, uint32_t row, uint32_t length, int x, int y) {
    auto byte = [&](uint32_t plane) -> uint32_t {
        return RelaxedLoad(pattern[PatternIndex(track, plane, row, length)]);
    };
    const uint32_t commands = byte(0);
    if (const uint32_t a = commands >> 4; a != 0) {
        p.Glyph(kCommandLetters, a - 1, x, y);
        const uint32_t value = byte(1);
        p.Glyph(kSmallDigits, Tens(value), x + 7, y);
        p.Glyph(kSmallDigits, Units(value), x + 14, y);
    }
    if (const uint32_t b = commands & 0x0F; b != 0) {
        p.Glyph(kCommandLetters, b - 1, x + 21, y);
        const uint32_t value = byte(2);
        p.Glyph(kSmallDigits, Tens(value), x + 28, y);
        p.Glyph(kSmallDigits, Units(value), x + 35, y);
    }
    const uint32_t note = byte(3);
    switch (note) {
    case kNoteEnd: p.Glyph(kWords, kWordEnd, x + 45, y); return;
    case kNoteEmpty: p.Copy(kDashColumn, kDashRow, kDashWidth, 1, x + 48, y + 3); return;
    case kNoteRelease: p.Glyph(kWords, kWordCut, x + 45, y); return;
    case kNoteKill: p.Glyph(kWords, kWordOff, x + 45, y); return;
    default: break;
    }
    if (note < kNoteKeyChange) {
        const uint32_t n = note >= 120 ? 0 : note;  // past the tenth octave: C-0
        p.Glyph(kNoteNames, n % 12, x + 45, y);
        p.Glyph(kOctaveDigits, n / 12, x + 65, y);
    } else {
        const uint32_t k = note - kNoteKeyChange >= 120 ? 0 : note - kNoteKeyChange;
        p.Glyph(kKeyChangeNames, k % 12, x + 44, y);
        p.Glyph(kKeyChangeOctaves, k / 12, x + 64, y);
    }
}

void DrawRowNumber(GridPainter& p, uint32_t row, bool rightCopy, int y) {
    const uint32_t hundreds = row / 100 % 10;
    const uint32_t tens = Tens(row);
    for (int x0 : {0, kRightRowNumbers}) {
        if (x0 != 0 && !rightCopy) break;
        if (hundreds != 0) p.Glyph(kLargeDigits, hundreds, x0, y);
        if (hundreds != 0 || tens != 0) p.Glyph(kLargeDigits, tens, x0 + 7, y);
        p.Glyph(kLargeDigits, Units(row), x0 + 17, y);
    }
}

uint32_t OrderEntry(uint32_t position) {
    return position < static_cast<uint32_t>(kOrderPositions) ? RelaxedLoad(g_songOrder[position]) : kOrderEnd;
}

// Follow song: the edit row and the order-list cursor go where the first
// track plays.
void FollowFirstTrack() {
    const uint32_t counter = g_trackRow[0];
    const uint32_t length = g_patternLength;
    uint32_t step = counter == 0 ? 0 : counter - 1;
    if (length != 0 && step >= length) step = length - 1;
    g_editStep = step;
    uint32_t position = g_trackSongPos[0];
    if (position >= static_cast<uint32_t>(kOrderPositions)) position = kOrderPositions - 1;
    if (position >= 6) {
        g_orderCursor = 6;
        g_orderTop = position - 6;
    } else {
        g_orderCursor = position;
        g_orderTop = 0;
    }
}

}  // namespace

void DrawPatternGridSurface() {
    // 1. Steps per beat, which the engine and the LED readout read.
    const uint32_t length = g_patternLength;
    const bool fourSteps = length == 16 || length == 32 || length == 64 || length == 128;
    const uint32_t steps = (fourSteps ? 4u : 6u) * (g_doubleStepsPerBeat != 0 ? 2u : 1u);
    g_stepsPerBeat = steps;
    if (g_soundModuleMode != 0) return;

    // 2. Tracks in use.
    const uint32_t polyphony = g_polyphony;
    const uint32_t tracks = static_cast<uint32_t>(g_polyphonyVoices[polyphony < 6 ? polyphony : 5]);
    g_tracksInUse = tracks;

    // 3. Follow song.
    const bool playing = g_songPlaying != 0;
    if (g_followSong != 0 && playing) FollowFirstTrack();

    // 4. A blank surface.
    uint8_t* const bits = g_gridBits;
    const int height = g_gridHeight;
    const bool canDraw = bits != nullptr && g_glyphData != nullptr && height > 0;
    GridPainter p(bits, g_glyphData, height);
    if (canDraw) p.Clear();

    // 5., 6. The pattern at the edited song position; none leaves the grid blank.
    const uint32_t entry = OrderEntry(g_orderTop + g_orderCursor);
    if (entry >= static_cast<uint32_t>(kMaxPatterns)) {
        g_curPattern = 0;
        g_patternShown = 0;
        return;
    }
    g_patternShown = 1;
    const uint8_t* const pattern = EditedPatternData();  // also sets g_curPattern and g_curPatternPtr
    if (pattern == nullptr || !canDraw) return;

    // Screen lines: line i shows row top + i; only lines that fit the surface.
    const int visible = g_visibleRows;
    const int fitting = height >= kFirstLineY + kLineHeight ? (height - kFirstLineY) / kLineHeight : 0;
    const int lines = visible < fitting ? (visible < 0 ? 0 : visible) : fitting;
    const int cursorLine = g_cursorRow;
    const int64_t top = static_cast<int64_t>(g_editStep) - cursorLine;
    auto rowOf = [&](int line) { return top + line; };
    auto inPattern = [&](int64_t r) { return r >= 0 && r < static_cast<int64_t>(length); };
    auto lineY = [](int line) { return kFirstLineY + kLineHeight * line; };

    const uint32_t first = g_firstTrack;
    auto trackOf = [&](int v) { return first + static_cast<uint32_t>(v); };
    auto trackShown = [&](int v) { return first < static_cast<uint32_t>(kVoices) && trackOf(v) < tracks; };

    // 7. Track headers.
    for (int v = 0; v < kColumns; ++v) {
        if (!trackShown(v)) continue;
        const uint32_t number = trackOf(v) + 1;
        const int x = kColumnWidth * v;
        p.Copy(0, kLabelRow, kLabelWidth, kLabelRows, 43 + x, kHeaderY);
        p.Copy(kLabelDigitColumn + kLabelDigitStep * static_cast<int>(number / 10), kLabelRow, kLabelDigitWidth,
               kLabelRows, 81 + x, kHeaderY);
        p.Copy(kLabelDigitColumn + kLabelDigitStep * static_cast<int>(number % 10), kLabelRow, kLabelDigitWidth,
               kLabelRows, 88 + x, kHeaderY);
    }

    // 8. Row numbers and cells.
    for (int i = 0; i < lines; ++i) {
        const int64_t r = rowOf(i);
        if (!inPattern(r)) continue;
        const uint32_t row = static_cast<uint32_t>(r);
        DrawRowNumber(p, row, tracks >= 8, lineY(i));
        for (int v = 0; v < kColumns; ++v)
            if (trackShown(v)) DrawCell(p, pattern, trackOf(v), row, length, kCellX + kColumnWidth * v, lineY(i));
    }

    // 9. The edit cursor, while the grid has the editor's and the view's focus.
    const uint32_t column = g_cursorColumn;
    if (g_patternFocus == 1 && g_viewHasFocus != 0 && cursorLine >= 0 && cursorLine < lines &&
        column < static_cast<uint32_t>(kColumns * 7)) {
        const int v = static_cast<int>(column / 7);
        const int s = static_cast<int>(column % 7);
        p.Cursor(kCellX + kColumnWidth * v + kCursorOffset[s], s == 6 ? 31 : 7, lineY(cursorLine),
                 g_previewOnly != 0 ? kCursorRed : kCursorYellow);
    }

    // 10. Each track's play row, where it plays the pattern shown.
    if (playing) {
        for (int v = 0; v < kColumns; ++v) {
            if (!trackShown(v)) continue;
            const uint32_t t = trackOf(v);
            if (OrderEntry(g_trackSongPos[t]) != entry) continue;
            const int64_t r = static_cast<int64_t>(g_trackRow[t]) - 1;
            const int64_t line = r - top;
            if (inPattern(r) && line >= 0 && line < lines)
                p.Fill(kPlayBandX[v], kPlayBandWidth[v], lineY(static_cast<int>(line)), kPlayRowColour);
        }
    }

    // 11. The selection, over every visible column it covers.
    const uint32_t firstPart = g_selFirstPart, lastPart = g_selLastPart;
    const uint32_t firstStep = g_selFirstStep, lastStep = g_selLastStep;
    if (g_selPattern == entry && firstStep < lastStep && firstPart < lastPart) {
        for (int i = 0; i < lines; ++i) {
            const int64_t r = rowOf(i);
            if (!inPattern(r) || r < firstStep || r >= lastStep) continue;
            for (int q = 0; q < kColumns * 3; ++q) {
                const uint64_t part = 3ull * first + static_cast<uint64_t>(q);
                if (part < firstPart || part >= lastPart) continue;
                p.Fill(30 + kColumnWidth * (q / 3) + kSelectionOffset[q % 3], kSelectionWidth[q % 3], lineY(i),
                       kSelectionColour);
            }
        }
    }

    // 12. Beat marks: one beat, two beats, eight beats.
    if (g_markBeats != 0) {
        const int width = tracks == 1 ? 108 : (tracks == 4 ? 354 : kGridSurfaceWidth);
        for (int i = 0; i < lines; ++i) {
            const int64_t r = rowOf(i);
            if (!inPattern(r)) continue;
            const uint32_t row = static_cast<uint32_t>(r);
            const uint8_t colour = row % (8 * steps) == 0   ? kEightBeatsColour
                                   : row % (2 * steps) == 0 ? kTwoBeatsColour
                                   : row % steps == 0       ? kBeatColour
                                                            : 0;
            if (colour != 0) p.Fill(0, width, lineY(i), colour);
        }
    }
}
