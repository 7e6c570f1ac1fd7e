// The MIDI mapper's rules on the channel map (shared/channel_map.h), kept
// apart from its dialog: the voices field's number, the clamp at opening, the
// total with its warning, and the song marked when an edit changed the map.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int32_t kMaxChannelVoices = 32;
inline constexpr int32_t kVoicesFieldMax = 999999;  // a longer run of digits reads as this

// The number in a voices field: its leading run of digits, saturating at
// kVoicesFieldMax; 0 when it holds none.
int32_t ParseVoicesField(const std::string& text);

// At opening: every channel's voice count above 32, read unsigned (a negative
// count too), becomes 32.
void ClampChannelVoices();

// The total of the 16 voice counts, and the warning line against the voices
// of the polyphony setting: "WARNING!!! Not ehough available voices!!!" when
// the total exceeds them, else a single space.
int64_t MappedVoices();
std::string VoicesWarning(int64_t total, int32_t polyphonyChoice);

// An edit of channel c (0..15): the new voice count or sound written at once;
// g_docModified set when the map changed.
void SetChannelVoices(int channel, int32_t voices);
void SetChannelSound(int channel, int32_t sound);
