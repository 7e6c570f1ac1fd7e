// Turning knobs and faders with the mouse, and the value tip that shows the
// held control's value as a percentage.
//
// One pixel of vertical movement is one step: the value is the value at the
// press plus the distance the mouse has moved up from the press point (mixer
// controls measured in mixer space), clamped to the kind's limits and written
// at every move, also when it did not change. A move without the left button
// runs the release.
#pragma once

#include <cstdint>
#include <string>

#include "platform/afx.h"

class PanelView;

// Limits of a drag, indexed by control kind (only the drag kinds use them).
inline constexpr int kControlKinds = 20;
extern const int32_t g_dragMin[kControlKinds];
extern const int32_t g_dragMax[kControlKinds];

// What the tip shows: 0 hidden; 1 bipolar knob, 2 knob, 3 pan, 4 send, 5 fader.
extern int32_t g_valueTipMode;

// The tip's text of value v in tip mode `mode` ("" for mode 0).
std::string PercentText(int32_t mode, int32_t v);
// The tip's text from g_valueTipMode and g_activeValue, given to the tip
// when it exists; nothing while the mode is 0.
void FormatPercentText(PanelView& view);

// One mouse move over the view (or anywhere while the press holds the capture).
void PanelMouseMove(PanelView& view, UINT flags, int32_t x, int32_t y);
