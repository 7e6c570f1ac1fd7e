// The song reset: throws the whole song away and leaves the song globals as a
// new, empty song has them. Every road that replaces the song goes through it
// (document construction, File New, the song reader, closing the document); all
// but the close then add pattern 0, or the loaded patterns, with NewPattern.
#pragma once

// In this order: patterns freed (g_patternCount 0); samples freed (g_sampleCount
// 0; names, lengths, loop points and root keys stay); every split entry sample
// 255, transpose 0; order list all 0 with position 1 = 254 (jump to 0); mixer
// bus 1 volume and master 40, everything else 0; title "Untitled", author and
// comment "N/A", no show-on-open; volume overrides 0; double steps, preview-only
// and the song file's header words 0; editor cursor and selection 0, undo ring
// emptied; automation off (the panel's window closed), knobs and lanes 0; MIDI
// channel map cleared, channel 1 given the voices of the polyphony setting, at most 8.
// Tempo, pattern length, steps per beat, effect settings, song mode, pattern cue,
// the sound bank and the transport words are left alone. Memory the engine may
// still read is freed at a later safe point.
void ResetSong();
