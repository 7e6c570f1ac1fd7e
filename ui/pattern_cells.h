// The pattern editor's cells: how the text cursor maps onto the bytes of the
// pattern at the edited song position, and the three operations every editing
// path (the grid keys on the GUI thread, MIDI note recording on the MIDI thread)
// uses to touch a single cell.
//
// A track shows 7 characters: command A, value A tens and units, command B,
// value B tens and units, the note. The cursor's track is g_firstTrack +
// g_cursorColumn / 7, its character g_cursorColumn % 7, its row g_editStep.
// Values are written with 8-bit arithmetic and no range check: callers pass
// digits 0..9, command nibbles 0..15 or note bytes.
#pragma once

#include <cstdint>

// The pattern at the edited song position (g_orderTop + g_orderCursor), or null
// when the order entry there is not a pattern number (100 or more) or the
// pattern is not allocated. A pattern number refreshes g_curPattern and
// g_curPatternPtr; otherwise they keep what they held. Every reader of pattern
// memory in the editor goes through this: a pointer kept from an earlier call
// may be stale after a song reset or a reformat.
uint8_t* EditedPatternData();

// Where a sub-column (0..6) lives: its byte plane and its selection part.
inline constexpr uint32_t kSubColumnPlane[7] = {0, 1, 1, 0, 2, 2, 3};
inline constexpr uint32_t kSubColumnPart[7] = {0, 0, 0, 1, 1, 1, 2};

// The character under the cursor: a command nibble, one decimal digit of a
// value, or the whole note byte; 0 when the song position holds no pattern.
uint8_t GetCursorDigit();
// Writes v as the character under the cursor; nothing when the song position
// holds no pattern.
void SetCursorDigit(uint8_t v);
// The sound the cursor's track plays at the cursor row: the value of the last
// sound-change command (command 2) at or above it, slot B over slot A on one
// row; 0 when there is none. With "Set instruments" on, outside preview-only
// mode and when that sound is not g_curSound, writes a sound change to
// g_curSound at the cursor (slot A when it is free or a sound change already,
// else slot B). Scans with its own indices: the shared cursor never moves.
int32_t RecordSoundChange();
