// Writers of the voice event queues for the computer-keyboard preview, and the
// clearing of all queues. They run on the GUI thread while the engine reads the
// queues; each event's code byte is published last.
//
// Position of an event: milliseconds since g_bufferStartTime (timeGetTime) times
// 44, kept inside the current render period: at most g_bufferFrames - 1, and 0
// while g_bufferFrames is still 0.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

// Queues a note-on of `sound` with the low byte of `key` into the lane of the
// cursor's track (g_cursorColumn / 7 + g_firstTrack). One preview note at a
// time: further calls are ignored until QueueNoteOff. With g_previewNote off or
// g_freeAudioDevWhenStopped on nothing is queued and no note is pending.
void QueueNoteOn(uint8_t sound, uint32_t key);

// Queues the note-off of the pending preview note into the lane of its note-on.
void QueueNoteOff();

// Empties every slot of every lane.
void ClearEventQueues();

// Period position for an event written now (see above).
uint32_t EventPosition();

// Preview-note state, written only by QueueNoteOn and QueueNoteOff.
extern Relaxed<uint32_t> g_previewPending;  // 1 while a preview note waits for its note-off
extern Relaxed<uint32_t> g_previewKey;      // its key
extern Relaxed<uint32_t> g_previewLane;     // its lane
