#include "shared/mixer.h"

MixerSettings g_mixerSettings;
VolumeOverrides g_volumeOverrides;
Relaxed<int32_t> g_meterLevels[10];
EffectSettings g_effectSettings;
