// Transport resets: the stop reset and the play-start reset with its chase.
#include "engine/stages.h"

void FullReset() {}
void PlayStartReset() {}
