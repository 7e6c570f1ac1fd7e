// Shared set-up for engine tests: tables built once, every engine input and
// state record back at its program-start value before each test, and a Render
// helper that makes one call and returns its output words.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/master.h"
#include "engine/effect_setup.h"
#include "engine/render.h"
#include "engine/tables.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/effect_state.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/mixer.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "tests/engine/engine_state.h"
#include "tests/engine/song_fixture.h"

class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool built = false;
        if (!built) {
            BuildEngineTables();
            built = true;
        }
    }

    void SetUp() override { ResetEngineGlobals(); }

    static void ResetEngineGlobals() {
        engine_state::Clear();
        for (int t = 0; t < kVoices; ++t) {
            g_trackSongPos[t] = 0;
            g_trackRow[t] = 0;
            g_trackClockTicks[t] = 0;
        }
        g_patternCue = 0;
        g_patternCueDone = 0;
        g_polyphony = 5;
        g_soundModuleMode = 0;
        g_tempo = 120;
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = 0;
            g_mixerSettings.pan[b] = 0;
            g_mixerSettings.send1[b] = 0;
            g_mixerSettings.send2[b] = 0;
            g_volumeOverrides.bus[b] = 0;
            g_busMeterSample[b] = 0;
        }
        g_mixerSettings.master = 0;
        g_volumeOverrides.master = 0;
        for (auto& level : g_meterLevels) level = 0;
        g_lastOutLeft = 0;
        g_lastOutRight = 0;
        g_bassTrebleEq = 1;
        g_trebleLimiter = 0;
        song_fixture::ResetSongAndTransport();
        g_doubleStepsPerBeat = 0;
        for (auto& w : g_effectSettings.fxType) w = 0;
        for (auto& unit : g_effectSettings.fxParam)
            for (auto& w : unit) w = 0;
        g_effectSettings.fxSerial = 0;
        g_effectSettings.fxSerialAmount = 0;
    }

    // One RenderBlock call of `frames` frames at period position `pos`.
    static std::vector<uint32_t> Render(uint32_t frames, uint32_t pos = 0) {
        std::vector<uint32_t> out(frames + 1, 0xDEADBEEFu);
        g_renderOut = out.data();
        g_renderFrames = frames;
        g_renderPeriodPos = pos;
        RenderBlock();
        EXPECT_EQ(g_renderOut.load(), out.data() + frames) << "output pointer must advance by the frames";
        EXPECT_EQ(out[frames], 0xDEADBEEFu) << "wrote past the call's frames";
        EXPECT_EQ(g_renderBusy, 0);
        out.resize(frames);
        return out;
    }

    static bool MixBufferIsZero() {
        for (const auto& row : g_mixBuffer.row)
            for (int32_t w : row)
                if (w != 0) return false;
        return true;
    }

    static int16_t Left(uint32_t w) { return static_cast<int16_t>(w & 0xFFFF); }
    static int16_t Right(uint32_t w) { return static_cast<int16_t>(w >> 16); }
};
