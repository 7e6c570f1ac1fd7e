// The selection of the edited pattern and the two private clipboards: Cut,
// Copy and Paste of pattern cells, Select All and Select Track, Duplicate of
// the pattern at the song position, and Copy / Paste tweaking of one song
// position's automation lanes. GUI thread only.
//
// Parts and tracks: a row has 32 tracks of 3 parts each, global part index
// 3 x track + part: part 0 is command A (high nibble of plane 0) with value A
// (plane 1), part 1 command B (low nibble of plane 0) with value B (plane 2),
// part 2 the note (plane 3). A selection covers parts g_selFirstPart up to
// g_selLastPart and steps g_selFirstStep up to g_selLastStep, the ends
// exclusive; it touches the tracks g_selFirstPart / 3 .. (g_selLastPart + 2) / 3 - 1.
//
// The pattern clipboard holds all four planes of every touched track, track by
// track and plane by plane, R = g_clipLastStep - g_clipFirstStep bytes each:
// touched track k, plane p, row r at (4k + p) x R + r. The tweak clipboard
// holds 256 bytes of each of the ten lanes (lane k at 256 x k).
//
// Every command works on the pattern at the edited song position
// (EditedPatternData): where the song position holds no allocated pattern they
// do nothing. The commands return whether the song changed, for the document
// mark; the view repaints.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shared/constants.h"

inline constexpr size_t kPatternClipboardBytes = 16384;  // 32 tracks x 4 planes x 128 steps

extern uint8_t g_patternClipboard[kPatternClipboardBytes];
extern uint32_t g_clipFirstPart;
extern uint32_t g_clipLastPart;
extern uint32_t g_clipFirstStep;
extern uint32_t g_clipLastStep;
extern uint8_t g_patternClipboardFilled;
extern uint8_t g_tweakClipboard[kAutomationKnobs * kLaneBytesPerPosition];
extern uint8_t g_tweakClipboardFilled;

// A selection exists in the edited pattern: it was made there, neither range
// is empty, and it lies within the 96 parts and the pattern's steps.
bool SelectionExists();
// Clears the selected cells (commands and values 0, notes empty); true when a
// byte changed. Nothing without a selection.
bool ClearSelection();
// Copies the selection into the pattern clipboard. Nothing without a selection.
void CopySelectionToClipboard();

// The commands.
void CopySelection();  // Copy
bool CutSelection();   // undo snapshot, copy, clear; cursor to the first selected step
struct EditResult {
    bool done = false;     // the command went ahead (the view repaints)
    bool changed = false;  // song data changed (the document is marked)
    bool refused = false;  // Paste: one command part onto the note column, a beep
};
EditResult PasteClipboard();
bool SelectWholePattern();  // Select All; false when there is no pattern
bool SelectCursorTrack();   // Select Track; false when there is no pattern
// Duplicate: after "Are You sure to duplicate this pattern?" a new pattern with
// a copy of the pattern at song position q is inserted at q + 1 with q's
// transpose and automation. Not done when declined; changed when a pattern
// was added.
EditResult DuplicatePattern();
void CopyTweaking();
bool PasteTweaking();

// Enable rules of the commands.
bool CanCutOrCopy();
bool CanPaste();
bool CanDuplicate();
bool CanSelect();  // Select All and Select Track
bool CanCopyTweaking();
bool CanPasteTweaking();
