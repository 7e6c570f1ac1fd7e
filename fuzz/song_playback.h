// A loaded song played for two seconds the way the song export plays it: the
// engine's running state at its start values, every voice, the effect units set
// up before each call, calls of the export's block length. After every call the
// mix bus buffer must be all zero again. Shared by the engine fuzz target and
// the fixture tests that replay what it found.
#pragma once

#include <cstdint>
#include <cstring>
#include <iterator>

#include "data/song_export.h"
#include "engine/effect_setup.h"
#include "engine/render.h"
#include "shared/editor.h"
#include "shared/mix_buffer.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "tests/engine/engine_state.h"

namespace song_playback {

inline constexpr uint32_t kPlayFrames = 2 * 44100;

inline bool MixBufferSilent() {
    static const MixBusBuffer silent{};
    return std::memcmp(&g_mixBuffer, &silent, sizeof(silent)) == 0;
}

// Plays the song in memory (the engine tables built); false as soon as a call
// leaves something in the mix bus buffer.
inline bool PlayTwoSeconds() {
    engine_state::Clear();
    g_tempo = g_tempoDisplay.load();  // as the panel passes it on
    g_patternFocus = 0;
    g_loopPattern = 0;
    g_orderCursor = 0;
    g_orderTop = 0;
    g_polyphony = static_cast<uint32_t>(std::size(g_polyphonyVoices) - 1);
    g_engineReset = kResetStart;
    for (uint32_t done = 0; done < kPlayFrames; done += kExportBlockFrames) {
        g_renderOut = g_exportBuffer;
        g_renderFrames = kPlayFrames - done < kExportBlockFrames ? kPlayFrames - done : kExportBlockFrames;
        g_renderPeriodPos = 0;
        UpdateEffectUnits();
        RenderBlock();
        if (!MixBufferSilent()) return false;
    }
    return true;
}

}  // namespace song_playback
