// The ranges of the song's settings, and the clamps that bring values read from
// a file into them. Values inside their ranges pass unchanged; a value outside
// is moved to the nearest end, except where a note below says otherwise.
#pragma once

#include <cstdint>

inline constexpr int32_t kMinTempo = 40;
inline constexpr int32_t kMaxTempo = 400;
inline constexpr int32_t kMaxBusVolume = 56;    // bus and master volume index
inline constexpr int32_t kMaxPan = 20;          // -20..+20
inline constexpr int32_t kMaxSendLevel = 40;    // sends and the serial amount
inline constexpr uint32_t kMaxRootKey = 107;    // a key of the note names
inline constexpr uint8_t kMaxLaneValue = 80;    // automation lane bytes
inline constexpr int32_t kMaxChannelVoices = 32;

int32_t ClampInt(int32_t v, int32_t lo, int32_t hi);

// Whether a pattern length is one the editors know: 16, 24, 32, 48, 64, 96, 128.
bool IsPatternLength(uint32_t rows);

// A sound-bank byte of parameter p (bank order). Knobs 0..80, switches 0..1,
// waves 1..6, filter type 0..5, LFO destination and shape 0..4, user envelope
// destination 0..6, mixer channel 1..8. Sample references pass as they are
// (255 = none); a split reference above 32 becomes 0 (none).
uint8_t ClampSoundParam(int p, uint8_t v);

// The fourteen effect words in file order (types of units 1..3, serial flag,
// serial amount, sliders 1..3 of units 1, 2, 3): each type to its unit's list
// (unit 1 0..11, units 2 and 3 0..7), the flag to 0..1, the amount to 0..40 and
// each slider to the range of its unit's type.
void ClampEffectWords(int32_t words[14]);
