#include "shared/settings.h"

Relaxed<uint32_t> g_polyphony{5};
const int g_polyphonyVoices[6] = {1, 4, 8, 16, 24, 32};
Relaxed<uint32_t> g_bassTrebleEq{1};
Relaxed<uint32_t> g_trebleLimiter{0};
Relaxed<uint32_t> g_testSignal{0};
Relaxed<uint32_t> g_soundModuleMode{0};
Relaxed<uint32_t> g_midiSync{0};
Relaxed<uint32_t> g_previewNote{1};
Relaxed<uint32_t> g_freeAudioDevWhenStopped{0};
Relaxed<uint8_t> g_startingUp{1};

Relaxed<uint32_t> g_bufferMs{0};
Relaxed<uint32_t> g_bufferFrames{0};
Relaxed<uint32_t> g_bufferStartTime{0};
