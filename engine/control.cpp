// Voice control: the 64-frame control tick and the chunk step.
#include "engine/stages.h"

void UpdateModulation(int) {}
