// The engine's running state back at its program-start value: voices, master,
// mix buffer, event queues, effect units and their memory, and the transport
// words the render call reads and writes. Shared by the engine tests, the export
// tests and the engine benchmark; song and settings data are left to each caller.
#pragma once

#include <cstring>

#include "engine/effect_setup.h"
#include "engine/render.h"
#include "shared/effect_state.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

namespace engine_state {

inline void Clear() {
    std::memset(static_cast<void*>(g_voiceState), 0, sizeof(g_voiceState));
    std::memset(static_cast<void*>(&g_masterState), 0, sizeof(g_masterState));
    std::memset(&g_mixBuffer, 0, sizeof(g_mixBuffer));
    std::memset(&g_voiceEvents, 0, sizeof(g_voiceEvents));
    std::memset(g_fxCode, 0, sizeof(g_fxCode));
    std::memset(static_cast<void*>(&g_fx1State), 0, sizeof(g_fx1State));
    std::memset(static_cast<void*>(&g_fx2State), 0, sizeof(g_fx2State));
    std::memset(static_cast<void*>(&g_fx3State), 0, sizeof(g_fx3State));
    std::memset(g_fx1Ring, 0, sizeof(g_fx1Ring));
    std::memset(g_fx2Ring, 0, sizeof(g_fx2Ring));
    std::memset(g_fx3Ring, 0, sizeof(g_fx3Ring));
    std::memset(g_reverbLines, 0, sizeof(g_reverbLines));
    g_effectMemoryResetRequest = 0;
    g_engineReset = 0;
    g_songPlaying = 0;
    g_songPlayingLast = 0;
    for (auto& playing : g_trackPlaying) playing = 0;
    g_masterMute = 0;
    g_testSignal = 0;
    g_testToneLevel = 0;
    g_testTonePhase = 0;
}

}  // namespace engine_state
