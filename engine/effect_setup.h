// Effect set-up, effect memory and the effect type and slider data.
//
// UpdateEffectUnits turns g_effectSettings and the tempo into the engine effect
// code of each unit (g_fxCode) and the set-up fields of g_fx1State, g_fx2State
// and g_fx3State. It runs on the rendering thread between render calls; the
// render routine reads only the codes and the state records, never the unit
// types or sliders.
//
// Effect memory (engine-private, zero at program start): three rings of 131,072
// stereo frames (one 32-bit word per frame, left sample in the low half, right
// in the high half) and twenty reverb lines of 4,096 signed 32-bit words.
//
// ResetEngineBuffers may be called from any thread: it only posts a request.
// The render routine serves it at the start of its next call, before the voices
// (ServeEffectMemoryReset), by clearing all three rings, the reverb lines and
// unit 3's filter and damping states. So no thread but the renderer ever
// writes the effect memory, and a render call never hears half of a clear.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

// Engine effect codes (g_fxCode). 0 = off. Codes 1-4 are the delays of every
// unit; 5 to 11 mean different things in units 1/2 and unit 3.
inline constexpr uint32_t kFxOff = 0;
inline constexpr uint32_t kFxDelayDigital = 1;
inline constexpr uint32_t kFxDelayStereo = 2;
inline constexpr uint32_t kFxDelaySpatial = 3;
inline constexpr uint32_t kFxDelayPingPong = 4;
inline constexpr uint32_t kFxPhaserMono = 5;     // unit 1
inline constexpr uint32_t kFxPhaserSpatial = 6;  // units 1, 2
inline constexpr uint32_t kFxFlangerMono = 7;    // unit 1
inline constexpr uint32_t kFxFlangerStereo = 8;  // units 1, 2
inline constexpr uint32_t kFxChorusMono = 9;     // unit 1
inline constexpr uint32_t kFxChorusStereo = 10;  // units 1, 2
inline constexpr uint32_t kFxChorusDual = 11;    // unit 1
inline constexpr uint32_t kFxReverbRoom = 5;     // unit 3
inline constexpr uint32_t kFxReverbHall = 7;     // unit 3
inline constexpr uint32_t kFxReverbPlate = 8;    // unit 3

// Effect memory sizes.
inline constexpr uint32_t kFxRingFrames = 131072;      // 2.97 s per unit
inline constexpr uint32_t kFxRingBytes = kFxRingFrames * 4;
inline constexpr uint32_t kChorusRingFrames = 65536;   // each half of a ring, for the choruses
inline constexpr int kReverbLines = 20;
inline constexpr uint32_t kReverbLineWords = 4096;     // 92.9 ms per line

extern uint32_t g_fx1Ring[kFxRingFrames];
extern uint32_t g_fx2Ring[kFxRingFrames];
extern uint32_t g_fx3Ring[kFxRingFrames];
// Each line is followed by 64 bytes it does not use: lines a power of two
// apart would put the words of one position in the same cache set.
inline constexpr uint32_t kReverbLineStride = kReverbLineWords + 16;
extern int32_t g_reverbLines[kReverbLines][kReverbLineStride];

// Posted by ResetEngineBuffers, taken by ServeEffectMemoryReset.
extern Relaxed<uint32_t> g_effectMemoryResetRequest;

// Effect set-up: codes and coefficients of units 1, 2 and 3 from
// g_effectSettings, g_tempo (0 is taken as 1) and g_doubleStepsPerBeat. A type
// outside its unit's list leaves that unit's code and coefficients as they
// were; type 0 sets the code to 0 and nothing else.
void UpdateEffectUnits();

// Asks the render routine to clear the effect memory of all three units before
// its next call renders anything. Safe on any thread, while rendering too.
void ResetEngineBuffers();

// The kinds of effect type; each has its own slider meanings and ranges.
enum class EffectKind : uint8_t { Off, Delay, Phaser, Flanger, Chorus, ReverbRoom, ReverbHallPlate };

// One entry of a unit's type list: the text the effects dialog shows, the
// engine code the set-up gives it and its kind.
struct EffectType {
    const char* name;
    uint32_t code;
    EffectKind kind;
};

inline constexpr int kFxUnits = 3;
inline constexpr int32_t kFxTypeCount[kFxUnits] = {12, 8, 8};
// Type list of unit u (0..2), entries 0 .. kFxTypeCount[u] - 1.
const EffectType* EffectTypeList(int unit);
// The entry of a type, or nullptr for a unit or type outside the lists.
const EffectType* FindEffectType(int unit, int32_t type);

// One slider of the effects dialog: its label (a printf format; "%lu" shows the
// slider value, "%%" a percent sign) and its range.
struct EffectSlider {
    const char* label;
    int32_t min;
    int32_t max;
};
// The three sliders of a kind of type, left to right.
const EffectSlider* EffectSliders(EffectKind kind);
inline constexpr int32_t kFxSerialAmountMin = 0;
inline constexpr int32_t kFxSerialAmountMax = 40;
