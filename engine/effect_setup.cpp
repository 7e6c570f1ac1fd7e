// Effect set-up between blocks.
#include "engine/stages.h"

void UpdateEffectUnits() {}
void ResetEngineBuffers() {}
