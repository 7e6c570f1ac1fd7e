#include "ui/order_keys.h"

#include <cstdint>

#include "data/pattern_store.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "ui/transport.h"
#include "ui/view_keys.h"

namespace {

constexpr uint32_t kLastPosition = kOrderPositions - 1;  // 199
constexpr uint32_t kLastLanePosition = kLanePositions - 1;  // 198
constexpr uint32_t kVisibleLines = 7;

uint32_t Position() { return g_orderTop + g_orderCursor; }
uint8_t Entry(uint32_t pos) { return RelaxedLoad(g_songOrder[pos]); }
uint8_t Jump(uint32_t pos) { return RelaxedLoad(g_songOrderJump[pos]); }
void SetEntry(uint32_t pos, uint8_t entry) { RelaxedStore(g_songOrder[pos], entry); }
void SetJump(uint32_t pos, uint8_t jump) { RelaxedStore(g_songOrderJump[pos], jump); }
// The entry under the cursor, read as the end of the list when the cursor
// somehow stands beyond the last position.
uint8_t CursorEntry() {
    const uint32_t pos = Position();
    return pos <= kLastPosition ? Entry(pos) : kOrderEnd;
}

void MoveDown() {
    if (Position() >= kLastPosition) return;
    if (g_orderCursor < kVisibleLines - 1) g_orderCursor += 1;
    else g_orderTop += 1;
}
void MoveUp() {
    if (g_orderCursor > 0) g_orderCursor -= 1;
    else if (g_orderTop > 0) g_orderTop -= 1;
}

// A lane's position p: 256 bytes, moved and cleared byte by byte because the
// engine writes lanes while it records a dragged knob.
uint8_t* LanePosition(int lane, uint32_t p) { return g_tweakLaneData[lane] + p * kLaneBytesPerPosition; }
void CopyLanePosition(int lane, uint32_t to, uint32_t from) {
    uint8_t* d = LanePosition(lane, to);
    const uint8_t* s = LanePosition(lane, from);
    for (int i = 0; i < kLaneBytesPerPosition; ++i) RelaxedStore(d[i], RelaxedLoad(s[i]));
}
// Lane positions pos .. 197 move to pos + 1 .. 198.
void ShiftLanesDown(uint32_t pos) {
    for (int lane = 0; lane < kAutomationKnobs; ++lane)
        for (uint32_t p = kLastLanePosition; p > pos && p >= 1; --p) CopyLanePosition(lane, p, p - 1);
}

// Insert (without Shift): position pos doubled, or filled at the end of the list.
void InsertPosition(uint32_t pos) {
    for (uint32_t i = kLastPosition; i > pos; --i) {
        uint8_t entry = Entry(i - 1), jump = Jump(i - 1);
        if (entry == kOrderJump && pos + 1 < jump && jump < i) jump = static_cast<uint8_t>(jump + 1);
        SetEntry(i, entry);
        SetJump(i, jump);
    }
    if (Entry(pos) > 100) {
        if (pos == 0) {
            // With no pattern allocated the end of the list stays.
            if (g_patternCount > 0) {
                SetEntry(0, static_cast<uint8_t>(g_patternCount - 1));
                SetJump(0, 0);
            }
        } else {
            SetEntry(pos, Entry(pos - 1));
            SetJump(pos, Jump(pos - 1));
        }
    }
    ShiftLanesDown(pos);
}

// Shift + Insert after NewPattern succeeded: the new pattern at pos.
void InsertNewPattern(uint32_t pos) {
    for (uint32_t i = kLastPosition; i > pos; --i) {
        SetEntry(i, Entry(i - 1));
        SetJump(i, Jump(i - 1));
    }
    SetEntry(pos, static_cast<uint8_t>(g_patternCount - 1));
    SetJump(pos, 0);
    ShiftLanesDown(pos);
    if (pos <= kLastLanePosition)
        for (int lane = 0; lane < kAutomationKnobs; ++lane) {
            uint8_t* d = LanePosition(lane, pos);
            for (int i = 0; i < kLaneBytesPerPosition; ++i) RelaxedStore(d[i], uint8_t{0});
        }
}

void DeletePosition(uint32_t pos) {
    for (uint32_t i = pos; i < kLastPosition; ++i) {
        uint8_t entry = Entry(i + 1), jump = Jump(i + 1);
        if (entry == kOrderJump && jump > pos + 1) jump = static_cast<uint8_t>(jump - 1);
        SetEntry(i, entry);
        SetJump(i, jump);
    }
    SetEntry(kLastPosition, 0);
    SetJump(kLastPosition, 0);
    for (int lane = 0; lane < kAutomationKnobs; ++lane)
        for (uint32_t p = pos; p < kLastLanePosition; ++p) CopyLanePosition(lane, p, p + 1);
}

// A digit typed: the number shifts one place left, the digit enters as units.
void TypeDigit(uint32_t pos, uint8_t d) {
    const uint8_t e = Entry(pos), t = Jump(pos);
    if (g_orderColumn == 0) {
        if (e < 100) {
            // With no pattern allocated there is no number to type.
            const uint32_t count = g_patternCount;
            if (count == 0) return;
            uint32_t v = uint32_t(e % 10) * 10 + d;
            if (v > count - 1) v = 0;
            SetEntry(pos, static_cast<uint8_t>(v));
        } else if (e == kOrderJump) {
            SetJump(pos, static_cast<uint8_t>(t % 10 * 10 + d));
        }
    } else if (t < 128) {
        SetJump(pos, static_cast<uint8_t>(t % 10 * 10 + d));
    } else {
        const uint32_t m = t == 128 ? 0 : 256u - t;
        const uint32_t n = m % 10 * 10 + d;
        SetJump(pos, static_cast<uint8_t>(n == 0 ? 128 : 256 - n));
    }
}

// The redraws after a move to another song position.
void ShowNewPosition(KeyView& view) {
    g_editStep = 0;
    view.ShowSongOrderList();
    view.ShowPatternGrid();
}

bool FollowingPlay() { return g_songPlaying != 0 && g_followSong != 0; }

}  // namespace

void OrderListKey(UINT vk, KeyView& view) {
    g_selExtending = 0;
    const uint32_t pos = Position();
    const uint8_t e = CursorEntry();
    const bool shift = g_shiftDown != 0;

    if ((vk >= '0' && vk <= '9') || (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)) {
        if (pos > kLastPosition) return;
        MarkDocument(view);
        TypeDigit(pos, static_cast<uint8_t>(vk >= VK_NUMPAD0 ? vk - VK_NUMPAD0 : vk - '0'));
        ShowNewPosition(view);
        return;
    }

    switch (vk) {
    case VK_TAB:
        if (e > 100) return;
        g_orderColumn = g_orderColumn == 0 ? 1 : 0;
        view.ShowSongOrderList();
        return;
    case VK_RETURN:
    case VK_ESCAPE:
        if (e > 100) return;
        g_patternFocus = 1;
        g_editStep = 0;
        g_firstTrack = 0;
        g_cursorColumn = 0;
        view.ShowPatternGrid();
        view.ShowSongOrderList();
        return;
    case VK_SPACE:
        RunTransport(TransportCommand::kSpace, [&view] { view.UpdateTopBar(); });
        return;
    case VK_PRIOR:
        for (int i = 0; i < 6; ++i) MoveUp();
        ShowNewPosition(view);
        return;
    case VK_NEXT:
        for (int i = 0; i < 6; ++i) {
            if (CursorEntry() > 100) break;
            MoveDown();
        }
        if (CursorEntry() > 100) g_orderColumn = 0;
        ShowNewPosition(view);
        return;
    case VK_END:
        for (uint32_t i = 0; i <= kLastPosition; ++i)
            if (Entry(i) > 100) {
                if (i >= kVisibleLines - 1) {
                    g_orderCursor = kVisibleLines - 1;
                    g_orderTop = i - (kVisibleLines - 1);
                } else {
                    g_orderTop = 0;
                    g_orderCursor = i;
                }
                g_orderColumn = 0;
                break;
            }
        ShowNewPosition(view);
        return;
    case VK_HOME:
        g_orderCursor = 0;
        g_orderColumn = 0;
        g_orderTop = 0;
        ShowNewPosition(view);
        return;
    case VK_LEFT:
        if (g_orderColumn == 1) g_orderColumn = 0;
        view.ShowSongOrderList();
        return;
    case VK_UP:
        if (FollowingPlay()) return;
        MoveUp();
        ShowNewPosition(view);
        view.UpdatePanel();
        return;
    case VK_RIGHT:
        if (e > 100) return;
        if (g_orderColumn == 0) g_orderColumn = 1;
        view.ShowSongOrderList();
        return;
    case VK_DOWN:
        if (FollowingPlay() || e > 100) return;
        MoveDown();
        if (CursorEntry() > 100) g_orderColumn = 0;
        ShowNewPosition(view);
        view.UpdatePanel();
        return;
    case VK_INSERT:
        if (pos > kLastPosition) return;
        if (!shift) {
            if (Entry(kLastPosition) > 100) return;
            MarkDocument(view);
            InsertPosition(pos);
        } else {
            if (!NewPattern() || Entry(kLastPosition) > 100) return;
            MarkDocument(view);
            InsertNewPattern(pos);
            MoveDown();
            if (CursorEntry() > 100) g_orderColumn = 0;
        }
        ShowNewPosition(view);
        return;
    case VK_DELETE:
        if (e > 100) return;
        MarkDocument(view);
        DeletePosition(pos);
        ShowNewPosition(view);
        return;
    case 'G':
        if (e < 100 || pos > kLastPosition) return;
        MarkDocument(view);
        SetEntry(pos, kOrderJump);
        SetJump(pos, 0);
        view.ShowSongOrderList();
        return;
    case 'S':
        if (e < 100 || pos > kLastPosition) return;
        if (e != kOrderEnd) {
            SetEntry(pos, kOrderEnd);
            MarkDocument(view);
        }
        view.ShowSongOrderList();
        return;
    case VK_ADD:
        if (pos > kLastPosition) return;
        if (g_orderColumn != 0) {
            const uint8_t t = Jump(pos);
            if (t >= 128) {
                SetJump(pos, static_cast<uint8_t>(t == 128 ? 0 : 256 - t));
                MarkDocument(view);
            }
        } else if (g_patternCount > 0 && e < g_patternCount - 1) {
            SetEntry(pos, static_cast<uint8_t>(e + 1));
            MarkDocument(view);
        }
        ShowNewPosition(view);
        return;
    case VK_SUBTRACT:
        if (pos > kLastPosition) return;
        if (g_orderColumn != 0) {
            const uint8_t t = Jump(pos);
            if (t < 128) {
                SetJump(pos, static_cast<uint8_t>(t == 0 ? 128 : 256 - t));
                MarkDocument(view);
            }
        } else if (e > 0 && e < 100) {
            SetEntry(pos, static_cast<uint8_t>(e - 1));
            MarkDocument(view);
        }
        ShowNewPosition(view);
        return;
    default:
        return;
    }
}
