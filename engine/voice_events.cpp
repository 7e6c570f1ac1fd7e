// Voice event intake: reads and clears a voice's queue slot at each frame.
#include "engine/stages.h"

#include <cstring>

#include "shared/events.h"

void ReadVoiceEvents(int, uint32_t) {}

void ClearEventQueues() { std::memset(&g_voiceEvents, 0, sizeof(g_voiceEvents)); }
