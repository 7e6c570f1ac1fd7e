// The computer keyboard as a piano: while the cursor stands on a note column,
// letter and punctuation keys play and enter notes and digit keys choose the
// octave; the key-up of a note key ends the preview note.
//
// The note-key maps hold virtual-key codes. One-row style: 18 keys, entry i
// plays semitone i above C of the current octave. "Tracker" style: a lower row
// of 17 keys from C of the current octave and an upper row of 20 entries from C
// of the octave above (0 = no key). Octave 8 plays only the first 12 entries of
// the lower or one-row map and no upper-row key; octave 7 only the first 12 of
// the upper row: no note goes above 107 (B-8). German and French layouts have
// tables of their own, any other language plays the English ones.
#pragma once

#include <cstdint>

#include "platform/afx.h"
#include "shared/relaxed.h"

class KeyView;

inline constexpr int kNoteKeyLayouts = 9;
inline constexpr int kNoteKeyEntries = 20;
// One-row English, German, French; tracker lower English, German, French;
// tracker upper English, German, French.
extern const uint8_t g_noteKeyLayouts[kNoteKeyLayouts][kNoteKeyEntries];

extern uint8_t g_noteKeys[18];       // one-row map, or the lower row in tracker style
extern uint32_t g_noteKeyCount;      // 18, or 17 in tracker style
extern uint8_t g_noteKeysUpper[20];  // upper row (tracker style only)
extern Relaxed<uint32_t> g_octave;   // 0..8, 4 at start

// Builds the maps from the tracker-style setting and the system language
// (declared in ui/view_globals.h as well, for its callers).
void BuildNoteKeyMap();

// The note and octave keys, with the cursor on a note column: true when the key
// was one of them.
bool PianoKeyDown(UINT vk, KeyView& view);

// A key released: the pending preview note ends when the key is a note key.
void PianoKeyUp(UINT vk);
