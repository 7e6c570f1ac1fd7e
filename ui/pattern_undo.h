// The pattern undo ring: up to 16 earlier states of edited patterns, each with
// the cursor and the selection of its moment. The editing paths push a snapshot
// right before they write; Undo puts the newest one back and drops it. There is
// no redo.
//
// Every snapshot also records the number of the pattern it came from and the
// pattern length of its moment: Undo restores into that pattern while it still
// exists at that length and otherwise drops the snapshot, so it never writes one
// pattern's bytes into another or past a shorter pattern. Loading, resetting or
// reformatting the song and leaving the grid for the song-order list empty the
// ring (g_patternUndoCount = 0; slots are left as they are).
//
// GUI thread only: MIDI note recording hands its notes over to the GUI thread
// before it pushes.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t kPatternUndoSlots = 16;
inline constexpr size_t kPatternUndoSlotBytes = 16384;  // 128 steps x 128 bytes, the longest pattern

// Slot 0 holds the oldest snapshot, slot g_patternUndoCount - 1 the newest.
extern uint8_t g_patternUndo[kPatternUndoSlots][kPatternUndoSlotBytes];
// The editor state of each snapshot's moment, entry k belonging to slot k.
extern uint32_t g_undoFirstTrack[kPatternUndoSlots];
extern uint32_t g_undoCursorColumn[kPatternUndoSlots];
extern uint32_t g_undoEditStep[kPatternUndoSlots];
extern uint32_t g_undoSelFirstPart[kPatternUndoSlots];
extern uint32_t g_undoSelLastPart[kPatternUndoSlots];
extern uint32_t g_undoSelFirstStep[kPatternUndoSlots];
extern uint32_t g_undoSelLastStep[kPatternUndoSlots];
// Where each snapshot came from: its pattern number and the pattern length.
extern uint32_t g_undoPattern[kPatternUndoSlots];
extern uint32_t g_undoPatternLength[kPatternUndoSlots];

// Snapshots the pattern at the edited song position (EditedPatternData) with
// the seven cursor and selection values; a full ring drops its oldest snapshot.
// Pushes nothing when the song position holds no allocated pattern.
void PushPatternUndo();

// Undo: takes the newest snapshot off the ring and, while its pattern exists at
// its length, copies it back into that pattern and restores the seven values
// (g_selPattern stays). True when pattern bytes changed (the document is then
// to be marked). The caller has checked that the ring is not empty.
bool UndoPatternEdit();

// The keyboard focus passes from the pattern grid to the song-order list: the
// grid cursor goes to track 0, step 0 and the undo ring is emptied (the song
// position, and with it the pattern, may now change). The caller repaints.
void LeavePatternGrid();
