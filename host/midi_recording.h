// MIDI note recording into the pattern, on the GUI thread. The MIDI thread
// queues one step per note on or off (the key, on or off, and Ctrl and Shift as
// they were when the message arrived) while "MIDI writes into sequencer" is on
// and the pattern grid has the focus, and wakes the GUI thread with the
// deferred-redraw request; the view's default processing then plays the steps
// in order before it redraws. So recording never moves the shared cursor or
// writes the pattern while the GUI thread edits it.
//
// Each write is preceded by a snapshot on the pattern undo ring, and the song
// is marked modified only when a write changed a byte. Without a pattern at
// the song position nothing is written, pushed or marked.
// A note on writes its key (plus 128 with Shift: a key change without a new
// attack) into the note cell under the cursor, replacing what is there, and the
// current sound's instrument command as "Set instruments" asks; with Ctrl it
// goes to the first empty cell to the right within the voices in use, or
// nowhere. A note off writes a release only into an empty cell or one that
// holds a release (with Ctrl, the first empty one to the right).
#pragma once

#include <cstdint>

struct MidiRecordStep {
    uint8_t key;    // 0..107
    uint8_t on;     // 1 note on, 0 note off
    uint8_t ctrl;   // g_ctrlDown as of the message
    uint8_t shift;  // g_shiftDown as of the message
};

// MIDI thread: queues a step and requests the redraw. A step that finds the
// queue full (the GUI thread stalled for hundreds of notes) is not recorded.
void QueueMidiRecordStep(const MidiRecordStep& step);

// GUI thread: plays every queued step. True when one changed a byte of the pattern.
bool PlayMidiRecording();
