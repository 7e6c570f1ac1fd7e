// Effect units 1 to 3, run once per master frame.
#include "engine/stages.h"

void RunEffectUnits() {}
