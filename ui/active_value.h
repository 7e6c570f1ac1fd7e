// The value a pressed panel control edits, reached through g_activeValuePtr.
//
// The pointer names one live 32-bit word: a live knob of the current sound
// (g_liveKnobs, the output channel among them), a field of g_mixerSettings,
// a volume override, g_songMode, g_patternCue, g_curSound or the panel tempo
// g_tempoDisplay. These words are of different
// kinds (plain array elements written through atomic_ref, relaxed atomics), so
// reading and writing go through here, which finds the word by its address and
// uses the access its kind needs. A pointer to none of them reads 0 and writes
// nothing.
#pragma once

#include <cstdint>

int32_t ReadActiveValue(const void* target);
void WriteActiveValue(void* target, int32_t value);
// The pointer names g_curSound.
bool ActiveValueIsCurrentSound(const void* target);
