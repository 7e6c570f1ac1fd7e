// Output stage: master volume, equaliser, limiter, clipping, the packed word.
#include "engine/stages.h"

uint32_t OutputStage() { return 0; }
