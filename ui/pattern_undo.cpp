#include "ui/pattern_undo.h"

#include <cstring>

#include "shared/editor.h"
#include "shared/relaxed.h"
#include "shared/song.h"
#include "ui/pattern_cells.h"

uint8_t g_patternUndo[kPatternUndoSlots][kPatternUndoSlotBytes];
uint32_t g_undoFirstTrack[kPatternUndoSlots];
uint32_t g_undoCursorColumn[kPatternUndoSlots];
uint32_t g_undoEditStep[kPatternUndoSlots];
uint32_t g_undoSelFirstPart[kPatternUndoSlots];
uint32_t g_undoSelLastPart[kPatternUndoSlots];
uint32_t g_undoSelFirstStep[kPatternUndoSlots];
uint32_t g_undoSelLastStep[kPatternUndoSlots];
uint32_t g_undoPattern[kPatternUndoSlots];
uint32_t g_undoPatternLength[kPatternUndoSlots];

namespace {

// Every per-slot array, moved together when the oldest snapshot is dropped.
uint32_t* const kSlotValues[] = {g_undoFirstTrack,  g_undoCursorColumn, g_undoEditStep,
                                 g_undoSelFirstPart, g_undoSelLastPart,  g_undoSelFirstStep,
                                 g_undoSelLastStep,  g_undoPattern,      g_undoPatternLength};

}  // namespace

void PushPatternUndo() {
    const uint8_t* pattern = EditedPatternData();
    const uint32_t length = g_patternLength;
    if (pattern == nullptr || length * 128u > kPatternUndoSlotBytes) return;

    uint32_t i = g_patternUndoCount;
    if (i < kPatternUndoSlots) {
        g_patternUndoCount = i + 1;
    } else {
        std::memmove(g_patternUndo[0], g_patternUndo[1], (kPatternUndoSlots - 1) * kPatternUndoSlotBytes);
        for (uint32_t* values : kSlotValues) std::memmove(values, values + 1, (kPatternUndoSlots - 1) * sizeof(uint32_t));
        i = kPatternUndoSlots - 1;
    }
    g_undoFirstTrack[i] = g_firstTrack;
    g_undoCursorColumn[i] = g_cursorColumn;
    g_undoEditStep[i] = g_editStep;
    g_undoSelFirstPart[i] = g_selFirstPart;
    g_undoSelLastPart[i] = g_selLastPart;
    g_undoSelFirstStep[i] = g_selFirstStep;
    g_undoSelLastStep[i] = g_selLastStep;
    g_undoPattern[i] = g_curPattern;
    g_undoPatternLength[i] = length;
    // The engine may read the pattern meanwhile: byte by byte, relaxed.
    for (uint32_t b = 0; b < length * 128u; ++b) g_patternUndo[i][b] = RelaxedLoad(pattern[b]);
}

bool UndoPatternEdit() {
    const uint32_t count = g_patternUndoCount;
    if (count == 0 || count > kPatternUndoSlots) return false;
    const uint32_t i = count - 1;
    g_patternUndoCount = i;

    const uint32_t number = g_undoPattern[i];
    const uint32_t length = g_undoPatternLength[i];
    uint8_t* pattern = number < g_patternCount ? g_patterns[number].load() : nullptr;
    if (pattern == nullptr || length != g_patternLength) return false;  // its pattern is gone: dropped

    g_firstTrack = g_undoFirstTrack[i];
    g_cursorColumn = g_undoCursorColumn[i];
    g_editStep = g_undoEditStep[i];
    g_selFirstPart = g_undoSelFirstPart[i];
    g_selLastPart = g_undoSelLastPart[i];
    g_selFirstStep = g_undoSelFirstStep[i];
    g_selLastStep = g_undoSelLastStep[i];
    bool changed = false;
    for (uint32_t b = 0; b < length * 128u; ++b) {
        const uint8_t v = g_patternUndo[i][b];
        if (RelaxedLoad(pattern[b]) == v) continue;
        RelaxedStore(pattern[b], v);
        changed = true;
    }
    return changed;
}

void LeavePatternGrid() {
    g_patternFocus = 0;
    g_editStep = 0;
    g_firstTrack = 0;
    g_cursorColumn = 0;
    g_patternUndoCount = 0;
}
