#include "shared/automation.h"

uint8_t g_tweakLaneData[kAutomationKnobs][kLaneBytes];
Relaxed<uint32_t> g_knobParam[kAutomationKnobs];
Relaxed<uint32_t> g_knobSound[kAutomationKnobs];
Relaxed<uint32_t> g_knobEnabled[kAutomationKnobs];
Relaxed<uint32_t> g_automationOn{0};
DragKnob g_dragKnob;
