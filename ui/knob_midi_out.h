// Knob changes sent out as MIDI control changes on the knob-tweak output.
#pragma once
#include <cstdint>
enum class TweakRule { Always, IfValueChanged, IfDataDiffers };
// Data of the last message of the current press: 0 at start, -1 after each release.
extern int32_t g_lastTweakData;
// Sends `data` as the controller of the live word at `value` (searchAll: among all 85
// controllable words, the mixer kinds; else the first 52, the sound kinds).
void TransmitKnobTweak(const void* value, int32_t data, bool searchAll, TweakRule rule, bool valueChanged);
// The panel's call: the data byte, rule and search of control kind `kind` (1-5, 10-12)
// for its new value; other kinds send nothing.
void TransmitControlTweak(int32_t kind, const void* value, int32_t newValue, bool valueChanged);
