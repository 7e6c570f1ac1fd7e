#include "ui/pattern_clipboard.h"

#include <algorithm>

#include "data/pattern_store.h"
#include "platform/services.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/message_box.h"
#include "shared/relaxed.h"
#include "shared/song.h"
#include "ui/pattern_cells.h"
#include "ui/pattern_undo.h"

uint8_t g_patternClipboard[kPatternClipboardBytes];
uint32_t g_clipFirstPart = 0;
uint32_t g_clipLastPart = 0;
uint32_t g_clipFirstStep = 0;
uint32_t g_clipLastStep = 0;
uint8_t g_patternClipboardFilled = 0;
uint8_t g_tweakClipboard[kAutomationKnobs * kLaneBytesPerPosition];
uint8_t g_tweakClipboardFilled = 0;

namespace {

constexpr uint32_t kParts = 3 * kVoices;
constexpr uint32_t kLastTrack = kVoices - 1;
constexpr uint32_t kLastLanePosition = kLanePositions - 1;  // 198

// Which parts of touched track k (of nT) a part range takes: all of them but
// on the first and the last track, where the range may start or end inside.
struct TrackParts {
    bool a, b, note;
};
TrackParts PartsOf(uint32_t k, uint32_t nT, uint32_t firstPart, uint32_t lastPart) {
    const uint32_t f = firstPart % 3, l = lastPart % 3;
    return {!(k == 0 && f != 0), !((k == 0 && f == 2) || (k == nT - 1 && l == 1)),
            !(k == nT - 1 && (l == 1 || l == 2))};
}
uint32_t TouchedTracks(uint32_t firstPart, uint32_t lastPart) { return (lastPart + 2) / 3 - firstPart / 3; }

uint8_t Read(const uint8_t* p, uint32_t track, uint32_t plane, uint32_t step, uint32_t length) {
    return RelaxedLoad(p[PatternIndex(track, plane, step, length)]);
}
// Writes one pattern byte; true when it changed.
bool Write(uint8_t* p, uint32_t track, uint32_t plane, uint32_t step, uint32_t length, uint8_t v) {
    uint8_t& b = p[PatternIndex(track, plane, step, length)];
    if (RelaxedLoad(b) == v) return false;
    RelaxedStore(b, v);
    return true;
}

void ClearSelectionBounds() {
    g_selFirstPart = 0;
    g_selLastPart = 0;
    g_selFirstStep = 0;
    g_selLastStep = 0;
}

uint32_t CursorTrack() { return g_firstTrack + g_cursorColumn / 7; }
uint32_t SongPosition() { return g_orderTop + g_orderCursor; }
uint8_t* LanePosition(int lane, uint32_t position) { return &g_tweakLaneData[lane][position * kLaneBytesPerPosition]; }

}  // namespace

bool SelectionExists() {
    if (EditedPatternData() == nullptr) return false;
    return g_selPattern == g_curPattern && g_selFirstStep < g_selLastStep && g_selFirstPart < g_selLastPart &&
           g_selLastPart <= kParts && g_selLastStep <= g_patternLength;
}

bool ClearSelection() {
    if (!SelectionExists()) return false;
    uint8_t* p = EditedPatternData();
    const uint32_t length = g_patternLength;
    const uint32_t firstPart = g_selFirstPart, lastPart = g_selLastPart;
    const uint32_t nT = TouchedTracks(firstPart, lastPart);
    bool changed = false;
    for (uint32_t k = 0; k < nT; ++k) {
        const uint32_t t = firstPart / 3 + k;
        const TrackParts parts = PartsOf(k, nT, firstPart, lastPart);
        for (uint32_t s = g_selFirstStep; s < g_selLastStep && s < length; ++s) {
            if (parts.a) {
                changed |= Write(p, t, 0, s, length, Read(p, t, 0, s, length) & 0x0F);
                changed |= Write(p, t, 1, s, length, 0);
            }
            if (parts.b) {
                changed |= Write(p, t, 0, s, length, Read(p, t, 0, s, length) & 0xF0);
                changed |= Write(p, t, 2, s, length, 0);
            }
            if (parts.note) changed |= Write(p, t, 3, s, length, kNoteEmpty);
        }
    }
    return changed;
}

void CopySelectionToClipboard() {
    if (!SelectionExists()) return;
    const uint8_t* p = EditedPatternData();
    const uint32_t length = g_patternLength;
    g_clipFirstPart = g_selFirstPart;
    g_clipLastPart = g_selLastPart;
    g_clipFirstStep = g_selFirstStep;
    g_clipLastStep = g_selLastStep;
    g_patternClipboardFilled = 1;
    const uint32_t first = g_clipFirstPart / 3;
    const uint32_t planes = 4 * TouchedTracks(g_clipFirstPart, g_clipLastPart);
    uint8_t* out = g_patternClipboard;
    for (uint32_t plane = 0; plane < planes; ++plane)
        for (uint32_t s = g_clipFirstStep; s < g_clipLastStep; ++s) *out++ = Read(p, first + plane / 4, plane % 4, s, length);
}

void CopySelection() { CopySelectionToClipboard(); }

bool CutSelection() {
    if (!SelectionExists()) return false;
    PushPatternUndo();
    CopySelection();
    const bool changed = ClearSelection();
    g_editStep = g_selFirstStep;
    ClearSelectionBounds();
    return changed;
}

EditResult PasteClipboard() {
    EditResult result;
    PushPatternUndo();  // also before a paste that is then refused
    uint8_t* p = EditedPatternData();
    const uint32_t T = CursorTrack();
    if (p == nullptr || g_patternClipboardFilled == 0 || T > kLastTrack) return result;
    const uint32_t c = g_cursorColumn % 7, S = g_editStep, length = g_patternLength;
    const uint32_t firstPart = g_clipFirstPart, lastPart = g_clipLastPart;
    const uint32_t R = g_clipLastStep - g_clipFirstStep;
    const uint32_t nT = TouchedTracks(firstPart, lastPart);
    const uint32_t f = firstPart % 3;
    auto clip = [R](uint32_t k, uint32_t plane, uint32_t r) { return g_patternClipboard[(4 * k + plane) * R + r]; };

    if (lastPart - firstPart == 1 && f != 2) {
        // One command part: into the command part under the cursor.
        if (c == 6) {
            result.refused = true;
            MessageBeep(0xFFFFFFFF);
            return result;
        }
        const bool intoA = c < 3;
        for (uint32_t r = 0; r < R && S + r < length; ++r) {
            const uint8_t commands = clip(0, 0, r);
            const uint8_t command = f == 0 ? commands >> 4 : commands & 0x0F;
            const uint8_t value = clip(0, f == 0 ? 1 : 2, r);
            const uint8_t old = Read(p, T, 0, S + r, length);
            const uint8_t merged = intoA ? uint8_t((old & 0x0F) | (command << 4)) : uint8_t((old & 0xF0) | command);
            result.changed |= Write(p, T, 0, S + r, length, merged);
            result.changed |= Write(p, T, intoA ? 1 : 2, S + r, length, value);
        }
    } else {
        for (uint32_t k = 0; k < nT && T + k <= kLastTrack; ++k) {
            const uint32_t t = T + k;
            const TrackParts parts = PartsOf(k, nT, firstPart, lastPart);
            for (uint32_t r = 0; r < R && S + r < length; ++r) {
                const uint32_t s = S + r;
                if (parts.a) {
                    const uint8_t old = Read(p, t, 0, s, length);
                    result.changed |= Write(p, t, 0, s, length, uint8_t((old & 0x0F) | (clip(k, 0, r) & 0xF0)));
                    result.changed |= Write(p, t, 1, s, length, clip(k, 1, r));
                }
                if (parts.b) {
                    const uint8_t old = Read(p, t, 0, s, length);
                    result.changed |= Write(p, t, 0, s, length, uint8_t((old & 0xF0) | (clip(k, 0, r) & 0x0F)));
                    result.changed |= Write(p, t, 2, s, length, clip(k, 2, r));
                }
                if (parts.note) result.changed |= Write(p, t, 3, s, length, clip(k, 3, r));
            }
        }
    }
    result.done = true;
    ClearSelectionBounds();
    g_editStep = std::min(S + R, length - 1);
    return result;
}

bool SelectWholePattern() {
    if (EditedPatternData() == nullptr) return false;
    g_selFirstPart = 0;
    g_selLastPart = kParts;
    g_selFirstStep = 0;
    g_selLastStep = g_patternLength;
    g_selPattern = g_curPattern;
    return true;
}

bool SelectCursorTrack() {
    const uint32_t T = CursorTrack();
    if (EditedPatternData() == nullptr || T > kLastTrack) return false;
    g_selFirstPart = 3 * T;
    g_selLastPart = 3 * T + 3;
    g_selFirstStep = 0;
    g_selLastStep = g_patternLength;
    g_selPattern = g_curPattern;
    return true;
}

EditResult DuplicatePattern() {
    EditResult result;
    const uint32_t q = SongPosition();
    const uint8_t* source = EditedPatternData();
    if (source == nullptr || q >= kOrderPositions - 1) return result;
    if (AfxMessageBox("Are You sure to duplicate this pattern?", MB_YESNO | MB_ICONQUESTION) != IDYES) return result;
    result.done = true;

    // Working copies; from here on both clipboards count as empty.
    const uint32_t length = g_patternLength;
    for (uint32_t b = 0; b < length * 128; ++b) g_patternClipboard[b] = RelaxedLoad(source[b]);
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int b = 0; b < kLaneBytesPerPosition; ++b)
            g_tweakClipboard[k * kLaneBytesPerPosition + b] = RelaxedLoad(LanePosition(k, q)[b]);
    g_patternClipboardFilled = 0;
    g_tweakClipboardFilled = 0;

    if (!NewPattern()) return result;  // 100 patterns (no message), or its own failure message
    result.changed = true;
    if (RelaxedLoad(g_songOrder[kOrderPositions - 1]) >= kMaxPatterns) return result;  // no room: kept unplaced
    const uint8_t number = uint8_t(g_patternCount - 1);

    for (uint32_t i = kOrderPositions - 1; i >= q + 2; --i) {
        RelaxedStore(g_songOrder[i], RelaxedLoad(g_songOrder[i - 1]));
        RelaxedStore(g_songOrderJump[i], RelaxedLoad(g_songOrderJump[i - 1]));
    }
    RelaxedStore(g_songOrder[q + 1], number);
    RelaxedStore(g_songOrderJump[q + 1], RelaxedLoad(g_songOrderJump[q]));
    if (g_orderCursor < 6) g_orderCursor = g_orderCursor + 1;
    else g_orderTop = g_orderTop + 1;

    uint8_t* copy = g_patterns[number];
    for (uint32_t b = 0; b < length * 128; ++b) RelaxedStore(copy[b], g_patternClipboard[b]);
    g_cursorColumn = 0;
    g_editStep = 0;

    // The lanes make room at q + 1 (position 198's data is lost); a copy
    // inserted at 199 gets none.
    if (q + 1 <= kLastLanePosition) {
        for (int k = 0; k < kAutomationKnobs; ++k) {
            for (uint32_t pos = kLastLanePosition; pos >= q + 2; --pos)
                for (int b = 0; b < kLaneBytesPerPosition; ++b)
                    RelaxedStore(LanePosition(k, pos)[b], RelaxedLoad(LanePosition(k, pos - 1)[b]));
            for (int b = 0; b < kLaneBytesPerPosition; ++b)
                RelaxedStore(LanePosition(k, q + 1)[b], g_tweakClipboard[k * kLaneBytesPerPosition + b]);
        }
    }
    return result;
}

void CopyTweaking() {
    const uint32_t q = SongPosition();
    if (q > kLastLanePosition) return;
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int b = 0; b < kLaneBytesPerPosition; ++b)
            g_tweakClipboard[k * kLaneBytesPerPosition + b] = RelaxedLoad(LanePosition(k, q)[b]);
    g_tweakClipboardFilled = 1;
}

bool PasteTweaking() {
    const uint32_t q = SongPosition();
    if (q > kLastLanePosition || g_tweakClipboardFilled == 0) return false;
    bool changed = false;
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int b = 0; b < kLaneBytesPerPosition; ++b) {
            uint8_t& lane = LanePosition(k, q)[b];
            const uint8_t v = g_tweakClipboard[k * kLaneBytesPerPosition + b];
            if (RelaxedLoad(lane) == v) continue;
            RelaxedStore(lane, v);
            changed = true;
        }
    return changed;
}

bool CanCutOrCopy() { return SelectionExists(); }
bool CanPaste() { return g_patternFocus != 0 && g_patternClipboardFilled == 1; }
bool CanDuplicate() {
    return g_patternShown == 1 && EditedPatternData() != nullptr && SongPosition() < kOrderPositions - 1 &&
           RelaxedLoad(g_songOrder[kOrderPositions - 1]) <= kMaxPatterns;
}
bool CanSelect() { return g_patternShown == 1 && g_patternFocus != 0 && EditedPatternData() != nullptr; }
bool CanCopyTweaking() { return g_patternFocus == 0 && g_automationOn != 0 && SongPosition() <= kLastLanePosition; }
bool CanPasteTweaking() { return CanCopyTweaking() && g_tweakClipboardFilled == 1; }
