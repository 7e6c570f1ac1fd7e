// Automation: ten knobs, each with a lane of one offset byte (0..80) per half
// row of every song position. The lane byte of position p, row r and half h is at
// p x 256 + r x 2 + h (h 0 for the row tick, 1 for the half-row tick).
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

inline constexpr int kLaneBytes = kLanePositions * kLaneBytesPerPosition;  // 50,944

extern uint8_t g_tweakLaneData[kAutomationKnobs][kLaneBytes];
extern Relaxed<uint32_t> g_knobParam[kAutomationKnobs];    // modulation target 0..30
extern Relaxed<uint32_t> g_knobSound[kAutomationKnobs];    // sound 1..99
extern Relaxed<uint32_t> g_knobEnabled[kAutomationKnobs];  // lane plays while non-zero
extern Relaxed<uint32_t> g_automationOn;

// The automation panel's drag record. The panel writes value and index before
// it sets dragging (release); the engine reads dragging first (acquire).
struct DragKnob {
    Relaxed<uint32_t> value;     // 0..80, the dragged knob's current value
    Relaxed<uint32_t> index;     // knob 0..9
    Relaxed<uint32_t> dragging;  // 1 while the button is down on a knob
};
extern DragKnob g_dragKnob;
