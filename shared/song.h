// Song data the engine plays: patterns, the song order list and the timing.
//
// A pattern is one block of 128 x g_patternLength bytes: 32 tracks x 4 planes x
// rows, plane by plane; the byte of track t, plane p, row r lies at
// (4t + p) x g_patternLength + r. Plane 0 holds command A (high nibble, value in
// plane 1) and command B (low nibble, value in plane 2), values 0..99; plane 3 the
// note byte: 0..107 key, 128 + key key change, 252 kill, 253 release, 254 empty,
// 255 end of pattern.
// g_songOrder: 0..99 pattern, 254 jump (target in g_songOrderJump), 255 end,
// other values empty positions. At a pattern position g_songOrderJump is a
// signed transpose (0x80 = none).
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

inline constexpr uint8_t kNoteKeyChange = 128;
inline constexpr uint8_t kNoteKill = 252;
inline constexpr uint8_t kNoteRelease = 253;
inline constexpr uint8_t kNoteEmpty = 254;
inline constexpr uint8_t kNoteEnd = 255;
inline constexpr uint8_t kOrderJump = 254;
inline constexpr uint8_t kOrderEnd = 255;
inline constexpr uint8_t kNoTranspose = 0x80;

extern Relaxed<uint8_t*> g_patterns[kMaxPatterns];  // null = pattern not allocated
extern Relaxed<uint32_t> g_patternCount;            // patterns 0..count-1 exist (0..100)
extern Relaxed<uint32_t> g_patternLength;           // 16, 24, 32, 48, 64, 96 or 128
extern uint8_t g_songOrder[kOrderPositions];
extern uint8_t g_songOrderJump[kOrderPositions];

extern Relaxed<uint32_t> g_tempo;               // engine tempo, beats per minute (40..400)
extern Relaxed<uint32_t> g_tempoDisplay;        // tempo shown on the panel and stored in the song
extern Relaxed<uint32_t> g_stepsPerBeat;        // 4, or 6 for 24-, 48- and 96-row patterns
extern Relaxed<uint32_t> g_doubleStepsPerBeat;  // 0 "4/6 steps", 1 "8/12 steps"

inline uint32_t PatternIndex(uint32_t track, uint32_t plane, uint32_t row, uint32_t length) {
    return (4 * track + plane) * length + row;
}
