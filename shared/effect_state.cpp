#include "shared/effect_state.h"

uint32_t g_fxCode[3]{};
EffectUnitState g_fx1State{};
EffectUnitState g_fx2State{};
EffectUnit3State g_fx3State{};
