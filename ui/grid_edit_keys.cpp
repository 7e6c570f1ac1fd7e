#include "ui/grid_edit_keys.h"

#include <algorithm>

#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "ui/pattern_cells.h"
#include "ui/pattern_clipboard.h"
#include "ui/pattern_undo.h"
#include "ui/select_command_dlg.h"
#include "ui/view_keys.h"

Relaxed<int32_t> g_prevCommand{0};

const uint8_t g_commandKeys[16] = {0,   'T', 'I', 'S', 'B', 'V', VK_ADD, VK_SUBTRACT,
                                   'P', 'F', 'G', 'E', '1', '2', 'O',    'X'};

namespace {

constexpr uint8_t kExtended = 15;
constexpr uint32_t kTracks = kVoices;

uint32_t Sub() { return g_cursorColumn % 7; }
uint32_t CursorTrack() { return g_firstTrack + g_cursorColumn / 7; }

// The character at another sub-column of the cursor's track and row.
uint8_t DigitAt(uint32_t sub) {
    const uint32_t saved = g_cursorColumn;
    g_cursorColumn = saved - saved % 7 + sub;
    const uint8_t v = GetCursorDigit();
    g_cursorColumn = saved;
    return v;
}
void SetDigitAt(uint32_t sub, uint8_t v) {
    const uint32_t saved = g_cursorColumn;
    g_cursorColumn = saved - saved % 7 + sub;
    SetCursorDigit(v);
    g_cursorColumn = saved;
}

// The snapshot and the mark that come before a write.
void BeforeEdit(KeyView& view) {
    PushPatternUndo();
    MarkDocument(view);
}

uint8_t Load(const uint8_t* p, uint32_t track, uint32_t plane, uint32_t row) {
    return RelaxedLoad(p[PatternIndex(track, plane, row, g_patternLength)]);
}
void Store(uint8_t* p, uint32_t track, uint32_t plane, uint32_t row, uint8_t v) {
    RelaxedStore(p[PatternIndex(track, plane, row, g_patternLength)], v);
}

// Shift + comma (down) or period (up): true when a note changed.
bool Transpose(uint8_t* pattern, bool up) {
    const uint32_t length = g_patternLength;
    uint32_t firstTrack, tracks, firstStep, lastStep;
    if (SelectionExists()) {
        EditedPatternData();
        firstTrack = g_selFirstPart / 3;
        tracks = (g_selLastPart - g_selFirstPart) / 3;
        firstStep = g_selFirstStep;
        lastStep = g_selLastStep;
    } else if (Sub() == 6) {
        firstTrack = CursorTrack();
        tracks = 1;
        firstStep = 0;
        lastStep = length;
    } else {
        return false;
    }
    // A selection never reaches past the pattern.
    lastStep = std::min(lastStep, length);
    bool changed = false;
    for (uint32_t t = firstTrack; t < firstTrack + tracks && t < kTracks; ++t)
        for (uint32_t s = firstStep; s < lastStep; ++s) {
            const uint8_t note = Load(pattern, t, 3, s);
            if (note >= 250) continue;
            if (up ? (note == 107 || note == 235) : (note == 0 || note == 128)) continue;
            Store(pattern, t, 3, s, static_cast<uint8_t>(up ? note + 1 : note - 1));
            changed = true;
        }
    return changed;
}

// Enter on a command column: the Select command dialog.
void SelectCommand(KeyView& view) {
    const uint32_t sub = Sub() < 3 ? 0 : 3;
    const uint8_t command = DigitAt(sub);
    int32_t row = command;
    if (command == kExtended) {
        const int32_t value = DigitAt(sub + 1) * 10 + DigitAt(sub + 2);
        row = (value >= 1 && value <= 3) ? 14 + value : 0;
        g_curCommand = (value >= 1 && value <= 3) ? 256 + value : 0;
    } else {
        g_curCommand = command;
    }
    g_prevCommand = row;
    view.RunSelectCommandDialog();
    int32_t chosen = g_curCommand;
    if (chosen >= 257 && chosen <= 259) chosen -= 256 - 14;  // an extended command left as it came in
    if (chosen < 0 || chosen > 17) chosen = row;

    const uint8_t tens = DigitAt(sub + 1), units = DigitAt(sub + 2);
    const bool extended = chosen >= 15;
    const uint8_t newCommand = extended ? kExtended : static_cast<uint8_t>(chosen);
    const bool rowChanged = chosen != g_prevCommand;
    const bool clearValue = rowChanged && !extended;
    const uint8_t newTens = extended ? 0 : clearValue ? 0 : tens;
    const uint8_t newUnits = extended ? static_cast<uint8_t>(chosen - 14) : clearValue ? 0 : units;
    // A cell that changes is snapshotted and marked, also when the row stayed
    // (an X with a value the list does not show becomes "No command").
    if (rowChanged || newCommand != command || newTens != tens || newUnits != units) BeforeEdit(view);
    SetDigitAt(sub, newCommand);
    if (extended) {
        SetDigitAt(sub + 1, 0);
        SetDigitAt(sub + 2, newUnits);
    } else if (clearValue) {
        SetDigitAt(sub + 1, 0);
        SetDigitAt(sub + 2, 0);
        g_cursorColumn = g_cursorColumn - g_cursorColumn % 7 + sub + 1;
    }
    g_selExtending = 0;
    view.ShowPatternGrid();
}

void Enter(KeyView& view) {
    const uint32_t sub = Sub();
    if (sub == 0 || sub == 3) {
        if (g_previewOnly != 0) {
            g_previewOnly = 0;
            g_selExtending = 0;
            view.ShowPatternGrid();
        } else if (EditedPatternData() != nullptr) {
            SelectCommand(view);
        }
    } else if (sub == 6) {
        if (g_previewNote != 0) {
            g_previewOnly = g_previewOnly != 0 ? 0 : 1;
            view.ShowPatternGrid();
        }
    } else if (g_previewOnly != 0) {
        g_previewOnly = 0;
        view.ShowPatternGrid();
    }
}

// Writes a mark into the note byte and moves one step down.
void NoteMark(uint8_t mark, KeyView& view) {
    BeforeEdit(view);
    SetCursorDigit(mark);
    StepDown();
    g_selExtending = 0;
    view.ShowPatternGrid();
}

}  // namespace

void InsertRow(uint8_t* p, uint32_t track, uint32_t e, uint32_t length) {
    if (e >= length) return;
    for (uint32_t r = length - 1; r > e; --r) {
        for (uint32_t plane = 0; plane < 3; ++plane) Store(p, track, plane, r, Load(p, track, plane, r - 1));
        uint8_t v = Load(p, track, 3, r - 1);
        if (v == kNoteEnd && r - 1 != e) v = kNoteEmpty;
        if (Load(p, track, 3, r) != kNoteEnd) Store(p, track, 3, r, v);
    }
    for (uint32_t plane = 0; plane < 3; ++plane) Store(p, track, plane, e, 0);
    Store(p, track, 3, e, kNoteEmpty);
}

void DeleteRow(uint8_t* p, uint32_t track, uint32_t e, uint32_t length) {
    if (e >= length) return;
    for (uint32_t r = e; r + 1 < length; ++r) {
        for (uint32_t plane = 0; plane < 3; ++plane) Store(p, track, plane, r, Load(p, track, plane, r + 1));
        uint8_t v = Load(p, track, 3, r + 1);
        if (v == kNoteEnd) v = kNoteEmpty;
        if (r == e || Load(p, track, 3, r) != kNoteEnd) Store(p, track, 3, r, v);
    }
    for (uint32_t plane = 0; plane < 3; ++plane) Store(p, track, plane, length - 1, 0);
    Store(p, track, 3, length - 1, kNoteEmpty);
}

EditKey GridEditKey(UINT vk, KeyView& view) {
    const uint32_t sub = Sub();
    const bool shift = g_shiftDown != 0;
    const bool writable = PatternWritable();
    switch (vk) {
    case VK_RETURN:
        Enter(view);
        return EditKey::kHandled;
    case VK_OEM_PLUS:
        if (sub == 6 && writable) NoteMark(kNoteRelease, view);
        return EditKey::kHandled;
    case VK_OEM_MINUS:
        if (!writable) return EditKey::kHandled;
        if (sub == 0 || sub == 3) {
            BeforeEdit(view);
            SetCursorDigit(0);
            StepDown();
            view.ShowPatternGrid();
        } else if (sub == 6) {
            NoteMark(kNoteEmpty, view);
        }
        return EditKey::kHandled;
    case VK_OEM_3:
        if (sub == 6 && writable) {
            uint8_t* pattern = EditedPatternData();
            BeforeEdit(view);
            for (uint32_t t = 0; t < kTracks; ++t) Store(pattern, t, 3, g_editStep, kNoteEnd);
            g_firstTrack = 0;
            g_cursorColumn = 6;
            g_selExtending = 0;
            view.ShowPatternGrid();
        }
        return EditKey::kHandled;
    case VK_INSERT:
    case VK_DELETE: {
        if (!writable) return EditKey::kHandled;
        uint8_t* pattern = EditedPatternData();
        const uint32_t length = g_patternLength;
        if (vk == VK_DELETE && SelectionExists()) {
            BeforeEdit(view);
            CopySelectionToClipboard();
            ClearSelection();
            g_selFirstPart = 0;
            g_selLastPart = 0;
            g_selFirstStep = 0;
            g_selLastStep = 0;
        } else {
            BeforeEdit(view);
            const uint32_t first = shift ? 0 : CursorTrack(), last = shift ? kTracks : CursorTrack() + 1;
            for (uint32_t t = first; t < last; ++t) {
                if (vk == VK_INSERT) InsertRow(pattern, t, g_editStep, length);
                else DeleteRow(pattern, t, g_editStep, length);
            }
        }
        g_selExtending = 0;
        view.ShowPatternGrid();
        return EditKey::kHandled;
    }
    case VK_F1 + 7:  // F8: note and key change of the same key
        if (sub == 6 && EditedPatternData() != nullptr) {
            const uint8_t note = GetCursorDigit();
            if (note < 250) {
                SetCursorDigit(static_cast<uint8_t>(note ^ 0x80));
                MarkDocument(view);
                view.ShowPatternGrid();
            }
        }
        return EditKey::kHandled;
    case VK_OEM_COMMA:
    case VK_OEM_PERIOD:
        if (!shift) return EditKey::kNone;
        if (writable && Transpose(EditedPatternData(), vk == VK_OEM_PERIOD)) MarkDocument(view);
        view.ShowPatternGrid();
        return EditKey::kFinished;
    default:
        return EditKey::kNone;
    }
}

bool CharacterEntry(UINT vk, KeyView& view) {
    const uint32_t sub = Sub();
    if (sub == 1 || sub == 2 || sub == 4 || sub == 5) {
        int digit = -1;
        if (vk >= '0' && vk <= '9') digit = int(vk - '0');
        else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9) digit = int(vk - VK_NUMPAD0);
        if (digit < 0) return false;
        const uint32_t commandSub = sub < 3 ? 0 : 3;
        if (DigitAt(commandSub) == 0 || !PatternWritable()) return true;  // no value without a command
        BeforeEdit(view);
        SetCursorDigit(static_cast<uint8_t>(digit));
        if (g_trackerStyle == 0) {
            g_cursorColumn += 1;
        } else {
            const uint32_t step = g_editStep;
            StepDown();
            if (g_editStep != step && DigitAt(commandSub) == 0) g_editStep = step;
        }
        g_selExtending = 0;
        view.ShowPatternGrid();
        return true;
    }
    if (sub == 0 || sub == 3) {
        uint8_t code = 0;
        for (uint8_t c = 1; c < 16; ++c)
            if (g_commandKeys[c] == vk) code = c;
        if (code == 0 || !PatternWritable()) return false;
        BeforeEdit(view);
        SetCursorDigit(code);
        SetDigitAt(sub + 1, 0);
        SetDigitAt(sub + 2, 0);
        if (g_trackerStyle == 0) {
            g_cursorColumn += 1;
        } else {
            StepDown();
        }
        g_selExtending = 0;
        view.ShowPatternGrid();
        return false;
    }
    return false;
}
