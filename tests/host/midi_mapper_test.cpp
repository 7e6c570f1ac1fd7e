// The MIDI mapper's rules: the voices field's number (a long run of digits
// saturates), the clamp at opening, the total and its warning, and the song
// marked only by an edit that changed the map.
#include <gtest/gtest.h>

#include "host/midi_mapper.h"
#include "shared/channel_map.h"
#include "shared/editor.h"

TEST(MidiMapperTest, TheVoicesFieldReadsItsDigitsAndSaturates) {
    const struct {
        const char* text;
        int32_t voices;
    } cases[] = {
        {"", 0},
        {"0", 0},
        {"7", 7},
        {"32", 32},
        {"40", 40},  // stored as typed; the next opening brings it back to 32
        {"999999", 999999},
        {"1000000", 999999},
        {"123456789012345678901234567890", 999999},
        {"12abc", 12},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseVoicesField(c.text), c.voices) << c.text;
}

TEST(MidiMapperTest, OpeningBringsCountsAbove32ReadUnsignedBackTo32) {
    const int32_t before[16] = {0, 1, 32, 33, 40, -1, 999999, 16, 0, 0, 0, 0, 0, 0, 0, -2147483647 - 1};
    for (int c = 0; c < 16; ++c) g_channelPolyphony[c] = before[c];
    ClampChannelVoices();
    const int32_t after[16] = {0, 1, 32, 32, 32, 32, 32, 16, 0, 0, 0, 0, 0, 0, 0, 32};
    for (int c = 0; c < 16; ++c) EXPECT_EQ(int32_t(g_channelPolyphony[c]), after[c]) << c;
}

TEST(MidiMapperTest, TheTotalWarnsAboveThePolyphonySetting) {
    for (auto& v : g_channelPolyphony) v = 0;
    g_channelPolyphony[0] = 4;
    g_channelPolyphony[1] = 4;
    EXPECT_EQ(MappedVoices(), 8);
    EXPECT_EQ(VoicesWarning(MappedVoices(), 2), " ");  // 8 voices
    g_channelPolyphony[1] = 5;
    EXPECT_EQ(MappedVoices(), 9);
    EXPECT_EQ(VoicesWarning(MappedVoices(), 2), "WARNING!!! Not ehough available voices!!!");
    // Sixteen saturated fields add up without overflow.
    for (auto& v : g_channelPolyphony) v = 999999;
    EXPECT_EQ(MappedVoices(), 16 * 999999);
}

TEST(MidiMapperTest, AnEditMarksTheSongOnlyWhenItChangedTheMap) {
    g_channelPolyphony[3] = 8;
    g_channelSound[3] = 7;
    g_docModified = 0;
    SetChannelVoices(3, 8);
    SetChannelSound(3, 7);
    EXPECT_EQ(g_docModified, 0);
    SetChannelVoices(3, 9);
    EXPECT_EQ(int32_t(g_channelPolyphony[3]), 9);
    EXPECT_EQ(g_docModified, 1);
    g_docModified = 0;
    SetChannelSound(3, 0);  // "Use Program Change"
    EXPECT_EQ(int32_t(g_channelSound[3]), 0);
    EXPECT_EQ(g_docModified, 1);
}
