// Shared set-up for the editor tests: a fresh song of 64-row patterns with the
// cursor at song position 0 on track 0, message boxes recorded and answered from
// `answers` (OK once it is empty).
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/message_box.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageBoxHandler([this](const std::string& text, unsigned, unsigned) {
            boxes.push_back(text);
            if (answers.empty()) return IDOK;
            const int a = answers.front();
            answers.pop_front();
            return a;
        });
        g_patternLength = 64;
        g_polyphony = 5;
        ResetSong();
        ResetSoundBank();
        PlaceCursor(0, 0, 0);
        g_orderTop = 0;
        g_orderCursor = 0;
        g_firstTrack = 0;
        g_previewOnly = 0;
        g_setInstruments = 1;
    }
    void TearDown() override {
        ResetSong();
        SetMessageBoxHandler({});
    }

    // Adds patterns until number n exists; returns its data.
    static uint8_t* Pattern(uint32_t n) {
        while (g_patternCount <= n) EXPECT_TRUE(NewPattern());
        return g_patterns[n];
    }
    static uint8_t& Cell(uint32_t pattern, uint32_t track, uint32_t plane, uint32_t row) {
        return Pattern(pattern)[PatternIndex(track, plane, row, g_patternLength)];
    }
    // Cursor on a track (0..31), a sub-column (0..6) and a row, the track made visible.
    static void PlaceCursor(uint32_t track, uint32_t sub, uint32_t row) {
        const uint32_t first = track > 25 ? 25 : track;
        g_firstTrack = first;
        g_cursorColumn = (track - first) * 7 + sub;
        g_editStep = row;
    }

    std::vector<std::string> boxes;
    std::deque<int> answers;
};
