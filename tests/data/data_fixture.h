// Shared set-up for the song data tests: message boxes answered from a script and
// recorded, the user interface hooks recorded, and a fresh song and sound bank
// before each test. SongBuilder fills a song with patterns, samples and
// non-default values.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "data/pattern_store.h"
#include "data/sample_store.h"
#include "data/song_memory.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "data/ui_hooks.h"
#include "shared/message_box.h"
#include "shared/render_call.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/song.h"

struct ShownBox {
    std::string text;
    unsigned type;
};

class RecordingUiHooks : public UiHooks {
public:
    void DestroyAutomationPanel() override { ++automationPanelCloses; }
    int automationPanelCloses = 0;
};

class DataTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text, unsigned type, unsigned) {
            boxes.push_back({text, type});
            if (answers.empty()) return IDOK;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
        SetUiHooks(&ui);
        g_failBlockAllocations = 0;
        g_patternLength = 64;
        g_polyphony = 5;
        ResetSong();
        ResetSoundBank();
        boxes.clear();
        ui.automationPanelCloses = 0;
    }

    void TearDown() override {
        ResetSong();
        SetMessageBoxHandler({});
        SetUiHooks(nullptr);
    }

    std::vector<ShownBox> boxes;
    std::deque<int> answers;
    RecordingUiHooks ui;
};

// Builds the song the tests start from.
class SongBuilder {
public:
    SongBuilder& Patterns(int n) {
        for (int i = 0; i < n; ++i) EXPECT_TRUE(NewPattern());
        return *this;
    }

    // Appends a sample whose frames all hold `fill`.
    SongBuilder& Sample(uint32_t length, uint32_t loopPoint, const std::string& name, int16_t fill = 1) {
        SampleBlock block = SampleBlock::Allocate(length);
        EXPECT_TRUE(block);
        for (uint32_t i = 0; i < length; ++i) block.data()[i] = fill;
        const uint32_t slot = g_sampleCount;
        EXPECT_TRUE(InstallSample(slot, std::move(block), loopPoint));
        g_sampleName[slot] = name;
        g_sampleRootKey[slot] = 48;
        g_sampleCount = slot + 1;
        return *this;
    }

    SongBuilder& Samples(int n, uint32_t length) {
        for (int i = 0; i < n; ++i) Sample(length + i, length + i, "s" + std::to_string(g_sampleCount.load()));
        return *this;
    }
};
