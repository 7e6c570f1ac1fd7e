// Mixer and effect settings (song data), the mute overrides and the level meters.
//
// Mixer setting indices: volume 0..56 (g_busVolumeTable), pan -20..+20
// (g_panTable after adding 20), sends 0..40 (g_sendLevelTable), master 0..56
// (g_masterVolumeTable). Per-bus arrays are indexed by bus number 0..7.
// A non-zero volume override is itself the target gain of its bus (or of the
// master) and replaces the setting; the editor writes 1 to mute.
#pragma once

#include <cstdint>

#include "shared/constants.h"
#include "shared/relaxed.h"

struct MixerSettings {
    Relaxed<int32_t> volume[kBuses];
    Relaxed<int32_t> pan[kBuses];
    Relaxed<int32_t> send1[kBuses];
    Relaxed<int32_t> send2[kBuses];
    Relaxed<int32_t> master;
};
extern MixerSettings g_mixerSettings;

struct VolumeOverrides {
    Relaxed<uint32_t> bus[kBuses];
    Relaxed<uint32_t> master;
};
extern VolumeOverrides g_volumeOverrides;

// Ten level meters 0..16, in the order master right, master left, bus 7 .. bus 0.
// The engine raises them; the main window lets them fall.
inline constexpr int kMeterMasterRight = 0;
inline constexpr int kMeterMasterLeft = 1;
inline constexpr int MeterOfBus(int bus) { return 9 - bus; }
extern Relaxed<int32_t> g_meterLevels[10];

// Effect settings: fourteen words in the order the song file stores them.
// Types: unit 1 0..11, units 2 and 3 0..7 (0 = off); serial 0/1; serial amount
// 0..40 (g_sendLevelTable); three sliders per unit, ranges per type.
struct EffectSettings {
    Relaxed<int32_t> fxType[3];
    Relaxed<int32_t> fxSerial;
    Relaxed<int32_t> fxSerialAmount;
    Relaxed<int32_t> fxParam[3][3];
};
extern EffectSettings g_effectSettings;
static_assert(sizeof(EffectSettings) == 14 * sizeof(int32_t));
