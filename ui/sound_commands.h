// The Sounds menu's commands on the current sound as a whole: copy it to the
// one-sound clipboard (sound 0 of the bank), paste that over it, undo its
// changes since it was loaded, reset its knobs, or fill it with random values.
//
// Each works on the bank's column of g_curSound and ends with the sound loaded
// into the live knobs, so the undo copy follows: Undo changes after a paste, a
// reset or a randomize returns to the pasted, reset or random sound. Sound 0
// and the current sound are song data: a command that changed either sets
// g_docModified (the view's timer passes it on). GUI thread only.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>

// 1 after the first Copy of the run; never cleared. Enables Paste.
extern uint8_t g_soundClipboardFull;

// The current sound (live knobs and name) into sound 0; the clipboard full.
void CopySound();
// Sound 0 into the live knobs, then into the current sound with its name.
void PasteSound();
// The current sound back as it was loaded; g_soundEdited cleared.
void UndoSoundChanges();
// Every parameter but the samples and split sets to its new-song value; the
// name stays. Ends a sounding preview note while the song is stopped.
void ResetSoundKnobs();
// Random values, drawn from a generator seeded with the clock's seconds at
// every use, so two uses within one second give the same sound. Never the
// sample wave, never 80 for a knob; samples 0, split sets none, the note
// timer off; the mixer channel, the legato switch and the oscillator 3 key
// tracking kept; oscillator 3 off while oscillator 2 is off.
void RandomizeSound();

// The seconds clock RandomizeSound seeds from; an empty function restores the
// wall clock (tests).
void SetSoundRandomClock(std::function<std::time_t()> seconds);
