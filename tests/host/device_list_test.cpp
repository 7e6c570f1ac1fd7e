// The device list: which outputs are listed, in which order, and where the
// enumeration stops.
#include "tests/host/host_fixture.h"

namespace {

std::vector<AudioOutputInfo> Numbered(int count) {
    std::vector<AudioOutputInfo> v;
    for (int i = 0; i < count; ++i) v.push_back(HostTest::Output("Out " + std::to_string(i)));
    return v;
}

using DeviceListTest = HostTest;

TEST_F(DeviceListTest, ListsSuitableWaveOutDevicesThenDirectSoundWithThePrimaryDriverFirst) {
    UseOutputs({Output("Card A"), Output("Mono", 1), Output("No 44k stereo", 2, 0x400),
                Output("Sync", 2, 0x800, 0x10), Output("Card B")});
    EXPECT_TRUE(messages.empty());
    const std::vector<std::pair<std::string, int>> expected = {
        {"Microsoft Wave Mapper", 0}, {"Card A", 0}, {"Card B", 0},      {"Primary Sound Driver", 1},
        {"Card A", 1},                {"Mono", 1},   {"No 44k stereo", 1}, {"Sync", 1},
        {"Card B", 1}};
    ASSERT_EQ(g_deviceCount, static_cast<int>(expected.size()));
    for (int i = 0; i < g_deviceCount; ++i) {
        EXPECT_EQ(g_deviceNames[i], expected[static_cast<size_t>(i)].first) << i;
        EXPECT_EQ(g_deviceIsDirectSound[i], expected[static_cast<size_t>(i)].second) << i;
    }
    EXPECT_EQ(g_deviceIds[0], WAVE_MAPPER);
    EXPECT_EQ(g_deviceIds[1], 0u);
    EXPECT_EQ(g_deviceIds[2], 4u);  // the device after the three skipped ones keeps its own id
    EXPECT_EQ(g_deviceGuids[3], nullptr);
    EXPECT_NE(g_deviceGuids[4], nullptr);

    // "Card B" opens the fifth output, as its name says.
    g_waveOutDevice = 2;
    g_responseTime = 2048;
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(backend->LastOpenedOutput(), 4);
    CloseAudioDevice();
    g_waveOutDevice = 8;  // DirectSound "Card B"
    g_responseTime = 15;
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(backend->LastOpenedOutput(), 4);
}

TEST_F(DeviceListTest, EntryLimits) {
    struct Case {
        int outputs;
        int entries;
        int directSound;
    };
    // Up to 32 waveOut ids are examined; DirectSound devices are taken until the
    // list holds 16 entries, the first one always; never more than 32 entries.
    for (const Case c : {Case{1, 4, 2}, Case{14, 16, 1}, Case{15, 17, 1}, Case{20, 22, 1}, Case{31, 32, 0},
                         Case{40, 32, 0}, Case{3, 8, 4}}) {
        UseOutputs(Numbered(c.outputs));
        EXPECT_EQ(g_deviceCount, c.entries) << c.outputs << " outputs";
        int ds = 0;
        for (int i = 0; i < g_deviceCount; ++i) ds += g_deviceIsDirectSound[i];
        EXPECT_EQ(ds, c.directSound) << c.outputs << " outputs";
    }
}

TEST_F(DeviceListTest, NoDeviceShowsItsMessageAndNothingOpens) {
    UseOutputs({});
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "No wave-out device available.");
    EXPECT_EQ(g_deviceCount, 0);
    messages.clear();
    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(g_deviceOpen, 0);
}

TEST_F(DeviceListTest, CapabilityFailureStopsTheListWithItsMessage) {
    struct Case {
        uint32_t result;
        const char* message;
    };
    for (const Case c : {Case{2, "Error! waveOutGetDevCaps\nSpecified device identifier is out of range."},
                         Case{6, "Error! waveOutGetDevCaps\nNo device driver is present."},
                         Case{7, "Error! waveOutGetDevCaps\nUnable to allocate or lock memory."},
                         Case{1, nullptr}}) {
        auto outputs = Numbered(3);
        outputs[1].capsResult = c.result;
        UseOutputs(outputs);
        ASSERT_EQ(messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(messages[0].text, c.message);
        }
        // The mapper and the first device stay; no DirectSound entry is added.
        EXPECT_EQ(g_deviceCount, 2);
        EXPECT_EQ(g_deviceNames[1], "Out 0");
    }
}

TEST_F(DeviceListTest, FailedDirectSoundEnumerationKeepsTheWaveOutEntries) {
    auto b = std::make_unique<TestAudioBackend>(Numbered(2));
    b->ForceResult(AudioCall::DirectSoundEnumerate, static_cast<uint32_t>(E_FAIL));
    InstallAudioBackend(std::move(b));
    EnumerateAudioDevices();
    EXPECT_EQ(g_deviceCount, 3);
    for (int i = 0; i < g_deviceCount; ++i) EXPECT_EQ(g_deviceIsDirectSound[i], 0);
}

}  // namespace
