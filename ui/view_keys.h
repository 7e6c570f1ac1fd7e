// The panel view's keyboard: what one key-down or key-up message of the view
// does, as routines that run without a window (the view hands them itself as a
// KeyView; tests hand them a recorder).
//
// A key-down runs, in this order: the Ctrl and Shift states refreshed; Shift +
// 1 .. 9 toggling the mutes of buses 0..7 and the master (both focuses, nothing
// else after it); the song-order list's keys while it has the focus; else the
// grid's key table (navigation and editing keys), then the character entry
// (value digits, command letters) and last the note and octave keys, each judged
// on the sub-column the cursor has at that moment. Every auto-repeated key-down
// acts again. A key-up ends the preview note when it is a note key, whatever the
// focus or the column.
#pragma once

#include <cstdint>

#include "platform/afx.h"

// What the key routines ask of the view.
class KeyView {
public:
    virtual ~KeyView() = default;
    virtual void ShowPatternGrid() = 0;
    virtual void ShowSongOrderList() = 0;
    virtual void UpdatePanel() = 0;
    virtual void UpdateTopBar() = 0;
    // The document's modified flag (CDocument::SetModifiedFlag).
    virtual void SetModifiedFlag(bool modified) = 0;
    // Runs the Select command dialog modally on g_curCommand.
    virtual void RunSelectCommandDialog() = 0;
};

// Marks the document after an edit: the modified flag takes the "Save changes"
// setting, so that with the setting off an edit clears it.
void MarkDocument(KeyView& view);

// Tracks the polyphony setting lets sound (1, 4, 8, 16, 24 or 32), as the last
// drawing of the grid found them.
uint32_t TracksInUse();

// Step + 1: the cursor one step down unless it is on the last step.
void StepDown();

// One key-down of the view. True when the framework's default key handling
// follows (not after a mute toggle or a transposition).
bool ViewKeyDown(UINT vk, KeyView& view);

// One key-up of the view; the default key handling always follows.
void ViewKeyUp(UINT vk);

// True when an editing key may write into the pattern: preview-only mode is off
// and the song position under the order cursor holds an allocated pattern.
// Otherwise editing keys change nothing (no snapshot, no mark, no write), while
// moves, note previews and octave choices still work.
bool PatternWritable();
