// Editor state that the engine reads: where play starts and how the pattern
// grid is focused.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

extern Relaxed<uint32_t> g_orderTop;      // first song position shown in the order list
extern Relaxed<uint32_t> g_orderCursor;   // cursor within the visible order list
extern Relaxed<uint32_t> g_editStep;      // row of the edit cursor
extern Relaxed<uint8_t> g_patternFocus;   // 1 while the pattern grid has the keyboard focus
extern Relaxed<uint32_t> g_cursorColumn;  // 7 columns per visible track
extern Relaxed<uint32_t> g_firstTrack;    // first visible track
// The pattern being edited: refreshed from the song position by the cell
// routines and the grid whenever the order entry there is a pattern number.
// g_curPatternPtr is only what the last look-up found; code that reads pattern
// memory asks EditedPatternData() (ui/pattern_cells.h) instead of keeping it.
extern Relaxed<uint32_t> g_curPattern;
extern Relaxed<uint8_t*> g_curPatternPtr;
extern Relaxed<uint32_t> g_patternShown;  // 1 while the edited song position holds a pattern number
// Tracks the grid shows and the pattern keys edit: the voices of the polyphony
// setting, refreshed at every drawing of the grid.
extern Relaxed<uint32_t> g_tracksInUse;
extern Relaxed<uint8_t> g_docModified;    // set by every editing window
extern Relaxed<uint32_t> g_orderColumn;   // 0 pattern-number column, 1 jump/transpose column
extern Relaxed<uint8_t> g_previewOnly;    // 1 = note keys only preview, nothing is recorded
extern Relaxed<uint32_t> g_patternUndoCount;  // entries in the pattern undo ring; 0 empties it
extern Relaxed<uint8_t> g_songInfoOnLoad;     // 1 = the view's next paint runs its post-load checks

// Pattern selection: parts (three per track) and rows, the last of each exclusive.
extern Relaxed<uint32_t> g_selFirstPart;
extern Relaxed<uint32_t> g_selLastPart;
extern Relaxed<uint32_t> g_selFirstStep;
extern Relaxed<uint32_t> g_selLastStep;
extern Relaxed<uint32_t> g_selPattern;
// 1 while a keyboard selection is being extended with Shift and the cursor keys.
extern Relaxed<uint32_t> g_selExtending;

// Ctrl and Shift as of the view's last key message: the key state halved, so 0
// while the key is up and non-zero while it is down. The view writes them; MIDI
// note recording reads them.
extern Relaxed<int16_t> g_ctrlDown;
extern Relaxed<int16_t> g_shiftDown;
