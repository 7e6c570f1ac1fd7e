// Effect units 1 to 3, run once per master frame; their set-up between calls
// and the clearing of their delay memory.
#include "engine/stages.h"

void RunEffectUnits() {}

void UpdateEffectUnits() {}

void ResetEngineBuffers() {}
