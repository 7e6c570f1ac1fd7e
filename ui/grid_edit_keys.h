// The pattern grid's editing keys: value digits and command letters, the
// Select command dialog on Enter, release, empty and end-of-pattern marks, row
// insert and delete, Delete as cut of a selection, the key-change toggle (F8)
// and transposition (Shift + comma and period).
//
// Each key takes its undo snapshot before it writes and marks the document when
// it changed something. In preview-only mode, and while the song position under
// the order cursor holds no pattern, they change nothing (Enter and F8 aside,
// which work in preview-only mode).
#pragma once

#include <cstdint>

#include "platform/afx.h"
#include "shared/relaxed.h"

class KeyView;

// The cell's command as a row of the Select command dialog (0..14 a command
// code, 15..17 the extended commands X01..X03), recorded before the dialog runs;
// the dialog's own g_curCommand carries the row in and out.
extern Relaxed<int32_t> g_prevCommand;

// The command letters of codes 1..15 (index 0 unused).
extern const uint8_t g_commandKeys[16];

enum class EditKey {
    kNone,       // not an editing key of the table: the later stages judge it
    kHandled,    // handled; the later stages still judge it
    kFinished,   // handled and nothing after it, not even the default handling
};

// The editing keys of the grid's key table.
EditKey GridEditKey(UINT vk, KeyView& view);

// The character entry after the key table: value digits on value columns,
// command letters on command columns. True when the key entered as a value
// digit (no later stage then sees it).
bool CharacterEntry(UINT vk, KeyView& view);

// Row insert and delete at step e in one track of pattern (length rows).
void InsertRow(uint8_t* pattern, uint32_t track, uint32_t e, uint32_t length);
void DeleteRow(uint8_t* pattern, uint32_t track, uint32_t e, uint32_t length);
