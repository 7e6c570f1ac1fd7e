// Shared set-up for the audio host tests: a test back-end with a device list
// the test chooses, recorded message boxes, the render threads created once,
// and the engine's test tone as the sound, with its expected frames.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/render.h"
#include "engine/tables.h"
#include "host/audio_device.h"
#include "host/render_paths.h"
#include "shared/message_box.h"
#include "platform/test_audio_backend.h"
#include "shared/render_call.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/transport.h"

struct ShownMessage {
    std::string text;
    uint32_t style;
};

class HostTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static bool once = false;
        if (once) return;
        once = true;
        BuildEngineTables();
        ASSERT_TRUE(CreateRenderThreads());
    }

    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text, unsigned style, unsigned) {
            messages.push_back({text, style});
            return IDOK;
        });
        UseOutputs({Output("Card A"), Output("Card B")});
        g_waveOutDevice = 0;
        g_responseTime = 11025;
        g_threadsAvailable = 1;
        g_scopeOn = 0;
        g_scopeWritePos = 0;
        g_scopeReadPos = 0;
        g_captureOn = 0;
        g_captureArmed = 0;
        g_captureFill = 0;
        g_captureTotal = 0;
        g_captureFileState = 0;
        g_captureWriter = nullptr;
        g_captureOverrun = 0;
        g_renderBusy = 0;
        StartTone();
    }

    void TearDown() override {
        CloseAudioDevice();
        g_renderBusy = 0;
        g_testSignal = 0;
        g_testToneLevel = 0;
        SetMessageBoxHandler(nullptr);
    }

public:
    static AudioOutputInfo Output(const std::string& name, uint16_t channels = 2, uint32_t formats = 0x800,
                                  uint32_t support = 0) {
        AudioOutputInfo o;
        o.name = name;
        o.channels = channels;
        o.formats = formats;
        o.support = support;
        return o;
    }

protected:
    // Installs a fresh test back-end with these outputs and lists the devices.
    void UseOutputs(std::vector<AudioOutputInfo> outputs) {
        CloseAudioDevice();
        auto b = std::make_unique<TestAudioBackend>(std::move(outputs));
        backend = b.get();
        InstallAudioBackend(std::move(b));
        messages.clear();
        EnumerateAudioDevices();
    }

    int FindEntry(const std::string& name, int directSound) const {
        for (int i = 0; i < g_deviceCount; ++i)
            if (g_deviceNames[i] == name && g_deviceIsDirectSound[i] == directSound) return i;
        return -1;
    }

    // Opens the DirectSound entry of the primary driver at latency index `index`.
    bool OpenDirectSoundAt(int32_t index) {
        g_waveOutDevice = FindEntry("Primary Sound Driver", 1);
        g_responseTime = index;
        return OpenAudioDevice();
    }

    // The test tone from its start: level 0, phase 0.
    static void StartTone() {
        g_testSignal = 1;
        g_testToneLevel = 0;
        g_testTonePhase = 0;
    }

    // The first `frames` frames of the test tone, rendered in one call; the tone
    // state is set back to its start afterwards.
    static std::vector<uint32_t> ToneFrames(uint32_t frames) {
        StartTone();
        std::vector<uint32_t> out(frames);
        for (uint32_t done = 0; done < frames;) {
            const uint32_t n = std::min<uint32_t>(frames - done, 11025);
            g_renderOut = out.data() + done;
            g_renderFrames = n;
            g_renderPeriodPos = 0;
            RenderBlock();
            done += n;
        }
        StartTone();
        return out;
    }

    // Waits until `thread` has made `passes` more passes through its loop than
    // `before` (a render thread's whole work of one wake-up lies in between).
    static void WaitLoops(ThreadHandle thread, uint64_t before, uint64_t passes) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ThreadLoopCount(thread) < before + passes) {
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "render thread did not come round";
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }

    TestAudioBackend* backend = nullptr;
    std::vector<ShownMessage> messages;
};
