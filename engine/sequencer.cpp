// Track sequencer: tick timing, song order walk, row decoding, pattern commands.
#include "engine/stages.h"

void StepTrack(int) {}
