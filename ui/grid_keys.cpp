#include "ui/grid_keys.h"

#include <algorithm>

#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/song.h"
#include "ui/pattern_cells.h"
#include "ui/pattern_undo.h"
#include "ui/transport.h"
#include "ui/view_globals.h"
#include "ui/view_keys.h"

Relaxed<uint32_t> g_selAnchorPart{0};
Relaxed<uint32_t> g_selAnchorStep{0};

namespace {

constexpr uint32_t kLastColumn = 48;
constexpr uint32_t kLastFirstTrack = 25;
constexpr uint32_t kPartsPerTrack = 3;
constexpr uint32_t kDumpBytes = 6144;

uint32_t Sub() { return g_cursorColumn % 7; }
uint32_t CursorTrack() { return g_firstTrack + g_cursorColumn / 7; }
uint32_t NoteColumn() { return g_cursorColumn - g_cursorColumn % 7 + 6; }
uint32_t LastStep() { return g_patternLength - 1; }
// The global index of the part under column c.
uint32_t PartAt(uint32_t c) { return kPartsPerTrack * (g_firstTrack + c / 7) + kSubColumnPart[c % 7]; }

// The command nibble at column c of the cursor's row (c on a command column).
uint8_t CommandAt(uint32_t c) {
    const uint32_t saved = g_cursorColumn;
    g_cursorColumn = c;
    const uint8_t command = GetCursorDigit();
    g_cursorColumn = saved;
    return command;
}

enum class Move { kLeft, kRight, kUp, kDown };

// The keyboard selection after a move: ends the extending without Shift,
// starts or extends it with Shift.
void SelectAfterMove(Move move) {
    if (g_shiftDown == 0) {
        g_selExtending = 0;
        return;
    }
    const uint32_t s = g_editStep;
    const uint32_t column = g_cursorColumn;
    if (g_selExtending == 0) {
        const uint32_t t = CursorTrack();
        switch (move) {
        case Move::kUp:
        case Move::kDown: {
            const uint32_t sub = column % 7;
            const uint32_t first = kPartsPerTrack * t + (sub == 6 ? 0 : kSubColumnPart[sub]);
            g_selFirstPart = first;
            g_selLastPart = sub == 6 ? first + kPartsPerTrack : first + 1;
            g_selAnchorPart = first;
            if (move == Move::kUp) {
                g_selFirstStep = s;
                g_selLastStep = s + 1;
                g_selAnchorStep = s + 1;
            } else {
                const uint32_t above = s > 0 ? s - 1 : 0;
                g_selFirstStep = above;
                g_selLastStep = s;
                g_selAnchorStep = above;
            }
            break;
        }
        case Move::kRight:
        case Move::kLeft: {
            if (move == Move::kRight) {
                const uint32_t part = PartAt(column > 0 ? column - 1 : 0);
                g_selFirstPart = part;
                g_selLastPart = part + 1;
                g_selAnchorPart = part;
            } else {
                const uint32_t part = PartAt(column);
                g_selFirstPart = part;
                g_selLastPart = part + 1;
                g_selAnchorPart = part + 1;
            }
            g_selFirstStep = s;
            g_selLastStep = s + 1;
            g_selAnchorStep = s;
            break;
        }
        }
        g_selExtending = 1;
        EditedPatternData();
        g_selPattern = g_curPattern;
        return;
    }
    switch (move) {
    case Move::kUp:
        if (s >= g_selAnchorStep) g_selLastStep = s;
        else g_selFirstStep = s;
        break;
    case Move::kDown:
        if (s > g_selAnchorStep) g_selLastStep = g_selLastStep >= LastStep() ? s + 1 : s;
        else g_selFirstStep = s;
        break;
    case Move::kRight:
    case Move::kLeft: {
        const uint32_t b = PartAt(column > 0 ? column - 1 : 0) + 1;
        if (move == Move::kRight) {
            if (b > g_selAnchorPart) g_selLastPart = b;
            else g_selFirstPart = b;
        } else if (b >= g_selAnchorPart) {
            g_selLastPart = b;
        } else if (g_selFirstPart <= 1) {
            g_selFirstPart = 0;
        } else {
            g_selFirstPart = b;
        }
        break;
    }
    }
}

void MoveLeft() {
    const uint32_t column = g_cursorColumn;
    const uint32_t sub = column % 7;
    if (sub == 3 || sub == 6) {
        g_cursorColumn = column - 3;
        if (CommandAt(column - 3) != 0) g_cursorColumn = column - 1;
    } else if (column == 0) {
        if (g_firstTrack > 0) {
            g_firstTrack -= 1;
            g_cursorColumn = 6;
        }
    } else {
        g_cursorColumn = column - 1;
    }
}

// False when the cursor stands on the last column of all and cannot move.
bool MoveRight() {
    const uint32_t column = g_cursorColumn;
    const uint32_t sub = column % 7;
    if (sub == 0 || sub == 3) {
        g_cursorColumn = column + (CommandAt(column) == 0 ? 3 : 1);
    } else if (column >= kLastColumn) {
        if (g_firstTrack >= kLastFirstTrack) return false;
        g_firstTrack += 1;
        g_cursorColumn = kLastColumn - 6;
    } else {
        g_cursorColumn = column + 1;
    }
    return true;
}

void MoveUp() {
    if (g_editStep > 0) g_editStep -= 1;
}
void MoveDown() {
    if (g_editStep < LastStep()) g_editStep += 1;
}

// Shift + End: the note column of the last track in use.
void ToLastTrackInUse() {
    switch (TracksInUse()) {
    case 1: g_firstTrack = 0, g_cursorColumn = 6; break;
    case 4: g_firstTrack = 0, g_cursorColumn = 27; break;
    case 8: g_firstTrack = 1, g_cursorColumn = 48; break;
    case 16: g_firstTrack = 9, g_cursorColumn = 48; break;
    case 24: g_firstTrack = 17, g_cursorColumn = 48; break;
    default: g_firstTrack = 25, g_cursorColumn = 48; break;
    }
}

void SelectWhole(uint32_t firstPart, uint32_t lastPart) {
    EditedPatternData();
    g_selPattern = g_curPattern;
    g_selFirstPart = firstPart;
    g_selLastPart = lastPart;
    g_selFirstStep = 0;
    g_selLastStep = g_patternLength;
}

}  // namespace

void WritePatternDump(const std::string& path) {
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite, nullptr)) return;
    try {
        if (const uint8_t* pattern = EditedPatternData()) {
            const uint32_t bytes = std::min<uint32_t>(kDumpBytes, 128 * g_patternLength);
            uint8_t copy[kDumpBytes];
            for (uint32_t i = 0; i < bytes; ++i) copy[i] = RelaxedLoad(pattern[i]);
            file.Write(copy, bytes);
        }
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
    }
}

bool GridNavigationKey(UINT vk, KeyView& view) {
    const bool ctrl = g_ctrlDown != 0;
    const bool shift = g_shiftDown != 0;
    switch (vk) {
    case VK_LEFT:
        MoveLeft();
        SelectAfterMove(Move::kLeft);
        view.ShowPatternGrid();
        return true;
    case VK_RIGHT:
        if (Sub() == 6 && CursorTrack() >= TracksInUse() - 1) return true;
        if (!MoveRight()) return true;
        SelectAfterMove(Move::kRight);
        view.ShowPatternGrid();
        return true;
    case VK_UP:
        MoveUp();
        SelectAfterMove(Move::kUp);
        view.ShowPatternGrid();
        return true;
    case VK_DOWN:
        MoveDown();
        SelectAfterMove(Move::kDown);
        view.ShowPatternGrid();
        return true;
    case VK_PRIOR:
    case VK_NEXT:
        if (ctrl) {
            g_editStep = vk == VK_PRIOR ? 0 : LastStep();
            g_cursorColumn = NoteColumn();
        } else {
            for (int32_t i = 0; i < g_cursorRow; ++i) {
                if (vk == VK_PRIOR) MoveUp();
                else MoveDown();
                SelectAfterMove(vk == VK_PRIOR ? Move::kUp : Move::kDown);
            }
        }
        view.ShowPatternGrid();
        return true;
    case VK_HOME:
        g_editStep = 0;
        if (shift) {
            g_firstTrack = 0;
            g_cursorColumn = 0;
        } else {
            g_cursorColumn = NoteColumn();
        }
        g_selExtending = 0;
        view.ShowPatternGrid();
        return true;
    case VK_END:
        g_editStep = LastStep();
        if (shift) ToLastTrackInUse();
        else g_cursorColumn = NoteColumn();
        g_selExtending = 0;
        view.ShowPatternGrid();
        return true;
    case VK_TAB:
        if (!shift) {
            if (Sub() != 6) {
                g_cursorColumn = NoteColumn();
            } else if (CursorTrack() >= TracksInUse() - 1) {
                return true;
            } else if (g_cursorColumn < kLastColumn) {
                g_cursorColumn += 7;
            } else if (g_firstTrack < kLastFirstTrack) {
                g_firstTrack += 1;
            }
        } else {
            g_cursorColumn = NoteColumn();
            if (g_cursorColumn > 6) g_cursorColumn -= 7;
            else if (g_firstTrack > 0) g_firstTrack -= 1;
        }
        g_selExtending = 0;
        view.ShowPatternGrid();
        return true;
    case VK_F1 + 4:  // F5: the whole pattern
        SelectWhole(0, kVoices * kPartsPerTrack);
        view.ShowPatternGrid();
        return true;
    case VK_F1 + 5:  // F6: the cursor's track
        SelectWhole(kPartsPerTrack * CursorTrack(), kPartsPerTrack * CursorTrack() + kPartsPerTrack);
        view.ShowPatternGrid();
        return true;
    case VK_F1 + 6:  // F7: no selection
        g_selPattern = 0;
        g_selFirstPart = 0;
        g_selLastPart = 0;
        g_selFirstStep = 0;
        g_selLastStep = 0;
        view.ShowPatternGrid();
        return true;
    case VK_F1 + 8:  // F9
        WritePatternDump(kPatternDumpFile);
        return true;
    case VK_ESCAPE:
        LeavePatternGrid();
        view.ShowPatternGrid();
        view.ShowSongOrderList();
        return true;
    case VK_SPACE:
        RunTransport(TransportCommand::kSpace, [&view] { view.UpdateTopBar(); });
        return true;
    default:
        return false;
    }
}
