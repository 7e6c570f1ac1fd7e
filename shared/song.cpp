#include "shared/song.h"

Relaxed<uint8_t*> g_patterns[kMaxPatterns];
Relaxed<uint32_t> g_patternCount{0};
Relaxed<uint32_t> g_patternLength{64};
uint8_t g_songOrder[kOrderPositions];
uint8_t g_songOrderJump[kOrderPositions];

Relaxed<uint32_t> g_tempo{120};
Relaxed<uint32_t> g_tempoDisplay{120};
Relaxed<uint32_t> g_stepsPerBeat{4};
Relaxed<uint32_t> g_doubleStepsPerBeat{0};
