#include "ui/song_order_list.h"

#include <cstring>

#include "shared/constants.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "ui/view_globals.h"

namespace {

constexpr int kSheetWidth = 124;
constexpr int kLines = 7;
constexpr int kLineTop = 2;
constexpr int kLineHeight = 8;

// One glyph family of the sheet: its columns and how many rows of a band are
// copied. Band k starts at sheet row 8k.
struct GlyphFamily {
    int column;
    int width;
    int rows;
};
constexpr GlyphFamily kLargeDigits{113, 10, 8};
constexpr GlyphFamily kSmallDigits{98, 6, 7};
constexpr GlyphFamily kCommandLetters{106, 6, 7};
constexpr GlyphFamily kJumpWord{65, 28, 8};
constexpr GlyphFamily kEndWord{65, 40, 8};
constexpr int kPlusBand = 5;  // command letters: code 6 is +, code 7 is -
constexpr int kMinusBand = 6;
constexpr int kJumpWordBand = 10;
constexpr int kEndWordBand = 11;

// Columns of a line.
constexpr int kHundredsX = 0, kTensX = 7, kUnitsX = 17;
constexpr int kEntryX = 37, kEntryUnitsX = 47;
constexpr int kTargetX = 64, kTargetUnitsX = 74;
constexpr int kSignX = 64, kTransposeX = 71, kTransposeUnitsX = 78;

// The cursor's boxes and the play mark's span.
constexpr int kEntryBoxX = 37, kEntryBoxWidth = 21, kEndBoxWidth = 41, kJumpBoxWidth = 48;
constexpr int kTransposeBoxX = 63, kTransposeBoxWidth = 22;
constexpr int kMarkLeft = 2, kMarkRight = 85;
constexpr uint8_t kMarkColour = 31;

void Put(uint8_t* surface, const uint8_t* sheet, const GlyphFamily& f, int band, int x, int y) {
    const uint8_t* from = sheet + (band * kLineHeight) * kSheetWidth + f.column;
    uint8_t* to = surface + y * kOrderSurfaceWidth + x;
    for (int r = 0; r < f.rows; ++r) std::memcpy(to + r * kOrderSurfaceWidth, from + r * kSheetWidth, size_t(f.width));
}

// The last two digits of n, always both: bands 0 to 9 whatever n is.
void PutTwoDigits(uint8_t* surface, const uint8_t* sheet, const GlyphFamily& f, uint32_t n, int tensX, int unitsX,
                  int y) {
    Put(surface, sheet, f, int(n / 10 % 10), tensX, y);
    Put(surface, sheet, f, int(n % 10), unitsX, y);
}

// The magnitude of a transpose byte: below 128 up, 128 a negative zero, above
// 128 down by 256 minus the byte.
uint32_t TransposeMagnitude(uint8_t b) { return b < 128 ? b : b == 128 ? 0u : 256u - b; }

struct Box {
    int x = 0, y = 0, width = 0;  // width 0: no cursor
    bool Holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + kLineHeight; }
};

// Draws the line at y showing song position p (below 200); false when it ends
// the visible list.
bool DrawLine(uint8_t* surface, const uint8_t* sheet, uint32_t p, int y) {
    const uint32_t hundreds = p / 100 % 10, tens = p / 10 % 10;
    if (hundreds != 0) Put(surface, sheet, kLargeDigits, int(hundreds), kHundredsX, y);
    if (hundreds != 0 || tens != 0) Put(surface, sheet, kLargeDigits, int(tens), kTensX, y);
    Put(surface, sheet, kLargeDigits, int(p % 10), kUnitsX, y);

    const uint8_t entry = RelaxedLoad(g_songOrder[p]);
    const uint8_t second = RelaxedLoad(g_songOrderJump[p]);
    if (entry == kOrderEnd) {
        Put(surface, sheet, kEndWord, kEndWordBand, kEntryX, y);
        return false;
    }
    if (entry == kOrderJump) {
        Put(surface, sheet, kJumpWord, kJumpWordBand, kEntryX, y);
        PutTwoDigits(surface, sheet, kLargeDigits, second, kTargetX, kTargetUnitsX, y);
        return false;
    }
    // A pattern number; the values the editor never writes (100 to 253) show
    // their last two digits in the same way.
    PutTwoDigits(surface, sheet, kLargeDigits, entry, kEntryX, kEntryUnitsX, y);
    Put(surface, sheet, kCommandLetters, second < 128 ? kPlusBand : kMinusBand, kSignX, y);
    PutTwoDigits(surface, sheet, kSmallDigits, TransposeMagnitude(second), kTransposeX, kTransposeUnitsX, y);
    return true;
}

// The cursor's box, or none: only while the order list has the editor's focus
// and the view has the keyboard focus, and only on one of the seven lines.
Box CursorBox(uint64_t top) {
    Box box;
    if (g_patternFocus != 0 || g_viewHasFocus == 0) return box;
    const uint32_t line = g_orderCursor;
    if (line >= uint32_t(kLines)) return box;
    box.y = kLineTop + kLineHeight * int(line);
    if (g_orderColumn != 0) {
        box.x = kTransposeBoxX;
        box.width = kTransposeBoxWidth;
        return box;
    }
    box.x = kEntryBoxX;
    box.width = kEntryBoxWidth;
    const uint64_t p = top + line;
    if (p < uint64_t(kOrderPositions)) {
        const uint8_t entry = RelaxedLoad(g_songOrder[p]);
        if (entry == kOrderEnd) box.width = kEndBoxWidth;
        if (entry == kOrderJump) box.width = kJumpBoxWidth;
    }
    return box;
}

// Dark text on a yellow block: background 15, the colours of a triple 14, 13, 0.
uint8_t CursorColour(uint8_t c) {
    if (c == 0) return 15;
    switch (c % 3) {
    case 1: return 14;
    case 2: return 13;
    default: return 0;
    }
}

}  // namespace

void RenderSongOrderList(uint8_t* surface, const uint8_t* glyphs) {
    if (g_soundModuleMode != 0 || surface == nullptr || glyphs == nullptr) return;
    std::memset(surface, 0, size_t(kOrderSurfaceWidth) * kOrderSurfaceHeight);

    // Positions counted wide, so that no top word wraps round to position 0.
    const uint64_t top = g_orderTop;
    for (int i = 0; i < kLines; ++i) {
        const uint64_t p = top + uint64_t(i);
        if (p >= uint64_t(kOrderPositions)) break;  // so are all below it
        if (!DrawLine(surface, glyphs, uint32_t(p), kLineTop + kLineHeight * i)) break;
    }

    const Box cursor = CursorBox(top);
    for (int y = cursor.y; y < cursor.y + (cursor.width ? kLineHeight : 0); ++y)
        for (int x = cursor.x; x < cursor.x + cursor.width; ++x) {
            uint8_t& px = surface[y * kOrderSurfaceWidth + x];
            px = CursorColour(px);
        }

    // The play mark fills the background of the line being played, drawn or
    // not; the cursor keeps its colours, its dark pixels included.
    if (g_songPlaying == 0) return;
    const uint64_t playing = g_trackSongPos[0];
    if (playing < top || playing - top >= uint64_t(kLines)) return;
    const int lineTop = kLineTop + kLineHeight * int(playing - top);
    for (int y = lineTop; y < lineTop + kLineHeight; ++y)
        for (int x = kMarkLeft; x <= kMarkRight; ++x) {
            uint8_t& px = surface[y * kOrderSurfaceWidth + x];
            if (px == 0 && !cursor.Holds(x, y)) px = kMarkColour;
        }
}
