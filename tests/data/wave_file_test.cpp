// WAV samples: mono and stereo loading with root keys, the "smpl" loop, the
// refusals, reload and replace, short and oversized files, and the files the
// system writes.
#include <cstring>
#include <string>

#include "data/wave_file.h"
#include "shared/editor.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

class WaveFileTest : public DataTest {
protected:
    // Loads bytes from a file named name, appending.
    bool Load(const Bytes& bytes, const std::string& name, bool replace = false) {
        const std::string path = WriteTempFile(name, bytes);
        if (!replace) g_sampleLoadSlot = static_cast<int32_t>(g_sampleCount.load());
        return LoadWaveSample(path, name, replace);
    }
    std::vector<int16_t> Frames(uint32_t s) const {
        const int16_t* d = g_sampleData[s];
        return std::vector<int16_t>(d, d + g_sampleLength[s] + 1);
    }
    static std::vector<int16_t> Ramp(int n, int step) {
        std::vector<int16_t> v;
        for (int i = 0; i < n; ++i) v.push_back(static_cast<int16_t>((i + 1) * step));
        return v;
    }
};

TEST_F(WaveFileTest, MonoFileTakesItsDataSizeAndRootKey) {
    WaveParams w;
    w.rate = 22050;
    w.values = Ramp(100, 3);
    g_docModified = 0;
    ASSERT_TRUE(Load(WaveBytes(w), "kick.wav"));
    EXPECT_EQ(g_sampleCount, 1u);
    EXPECT_EQ(g_sampleLoadSlot, 0);
    EXPECT_EQ(g_sampleReloaded, 0);
    EXPECT_EQ(g_docModified, 1);
    EXPECT_EQ(g_sampleName[0], "kick.wav");
    EXPECT_EQ(g_sampleLength[0], 100u);
    EXPECT_EQ(g_sampleLoopPoint[0], 100u);
    EXPECT_EQ(g_sampleRootKey[0], 36u);
    std::vector<int16_t> want = w.values;
    want.back() = 0;  // the last frame is set to 0 without a loop
    want.push_back(0);  // the guard frame
    EXPECT_EQ(Frames(0), want);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WaveFileTest, RatesChooseTheRootKey) {
    const struct {
        uint32_t rate;
        uint32_t key;
    } cases[] = {{44100, 48}, {48000, 48}, {22050, 36}, {24000, 36}, {11025, 24}, {12000, 24}, {32000, 99}};
    for (const auto& c : cases) {
        g_sampleRootKey[g_sampleCount] = 99;  // a rate without a key leaves the slot's key
        WaveParams w;
        w.rate = c.rate;
        w.values = Ramp(4, 1);
        ASSERT_TRUE(Load(WaveBytes(w), "r" + std::to_string(c.rate) + ".wav"));
        EXPECT_EQ(g_sampleRootKey[g_sampleCount - 1], c.key) << c.rate;
    }
}

// Left imports the first value of each frame, Right the second; the name takes
// -L.wav or -R.wav in place of everything from its first ".".
TEST_F(WaveFileTest, StereoFileGivesOneChannel) {
    WaveParams w;
    w.channels = 2;
    for (int i = 0; i < 700; ++i) w.values.insert(w.values.end(), {int16_t(i + 1), int16_t(-(i + 1))});  // over two blocks of 256
    const Bytes file = WaveBytes(w);
    answers = {IDOK};
    ASSERT_TRUE(Load(file, "Pad.loop.wav"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "The sample is being loaded is stereo! Choose the specified channel which you would like to import.");
    EXPECT_EQ(boxes[0].type, MB_OKCANCEL | MB_LEFTRIGHT | MB_ICONEXCLAMATION);
    answers = {IDCANCEL};
    ASSERT_TRUE(Load(file, "Pad.loop.wav"));
    EXPECT_EQ(g_sampleName[0], "Pad-L.wav");
    EXPECT_EQ(g_sampleName[1], "Pad-R.wav");
    EXPECT_EQ(g_sampleLength[1], 700u);
    EXPECT_EQ(g_sampleData[0].load()[699 - 1], 699);
    EXPECT_EQ(g_sampleData[1].load()[0], -1);
    EXPECT_EQ(g_sampleData[1].load()[698], -699);
    EXPECT_EQ(g_sampleData[1].load()[699], 0);

    // The same channel again asks to reload.
    boxes.clear();
    answers = {IDCANCEL, IDNO};
    EXPECT_FALSE(Load(file, "Pad.loop.wav"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, "Pad-R.wav already exists, reload changes?");
    EXPECT_EQ(boxes[1].type, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(g_sampleCount, 2u);
}

// The loop gives the length (loop end + 1) whatever the data size: frames
// beyond the data are 0, the last frame keeps its value.
TEST_F(WaveFileTest, SmplLoopSetsLengthAndLoopPoint) {
    WaveParams w;
    w.values = Ramp(4000, 1);
    w.loop = {{1000, 4999}};
    ASSERT_TRUE(Load(WaveBytes(w), "loop.wav"));
    EXPECT_EQ(g_sampleLength[0], 5000u);
    EXPECT_EQ(g_sampleLoopPoint[0], 1000u);
    EXPECT_EQ(g_sampleData[0].load()[3999], 4000);
    EXPECT_EQ(g_sampleData[0].load()[4000], 0);

    w.values = Ramp(10, 1);
    w.loop = {{2, 5}};
    ASSERT_TRUE(Load(WaveBytes(w), "short-loop.wav"));
    EXPECT_EQ(g_sampleLength[1], 6u);
    EXPECT_EQ(g_sampleData[1].load()[5], 6);  // the last frame keeps its value with a loop
    EXPECT_EQ(g_sampleData[1].load()[6], 0);

    w.loop = {{9, 5}};  // a start after the end: no loop
    ASSERT_TRUE(Load(WaveBytes(w), "odd-loop.wav"));
    EXPECT_EQ(g_sampleLoopPoint[2], 6u);
}

TEST_F(WaveFileTest, RefusedFilesLeaveTheStoreAlone) {
    SongBuilder().Sample(10, 10, "old.wav");
    WaveParams eightBit;
    eightBit.bits = 8;
    eightBit.values = Ramp(10, 1);
    WaveParams compressed;
    compressed.format = 2;
    compressed.values = Ramp(10, 1);
    WaveParams notWave;
    notWave.wave = "AVI ";
    notWave.values = Ramp(10, 1);
    Bytes noData = WaveBytes(WaveParams{});
    std::memcpy(noData.data() + 36, "junk", 4);
    WaveParams huge;
    huge.values = Ramp(2, 1);
    huge.loop = {{0, kMaxWaveFrames}};  // one frame over the cap
    WaveParams endless;
    endless.values = Ramp(2, 1);
    endless.loop = {{0, 0xFFFFFFFF}};
    const struct {
        const char* what;
        Bytes file;
        const char* message;
        unsigned type;
    } cases[] = {
        {"8 bits", WaveBytes(eightBit), "Unsupported wave format!", MB_OK | MB_ICONSTOP},
        {"compressed", WaveBytes(compressed), "Unsupported wave format!", MB_OK | MB_ICONSTOP},
        {"not WAVE", WaveBytes(notWave), "Invalid wave file!", MB_OK | MB_ICONSTOP},
        {"no data tag", noData, "Invalid wave file!", MB_OK | MB_ICONSTOP},
        {"eleven bytes", Bytes(noData.begin(), noData.begin() + 11), "Invalid wave file!", MB_OK | MB_ICONSTOP},
        {"loop beyond the cap", WaveBytes(huge), "Failed to allocate memory for loading sample!", MB_OK | MB_ICONSTOP},
        {"loop end 2^32 - 1", WaveBytes(endless), "Failed to allocate memory for loading sample!", MB_OK | MB_ICONSTOP},
    };
    for (const auto& c : cases) {
        boxes.clear();
        EXPECT_FALSE(Load(c.file, "new.wav")) << c.what;
        ASSERT_EQ(boxes.size(), 1u) << c.what;
        EXPECT_EQ(boxes[0].text, c.message) << c.what;
        EXPECT_EQ(boxes[0].type, c.type) << c.what;
        EXPECT_EQ(g_sampleCount, 1u) << c.what;
        EXPECT_EQ(g_sampleName[0], "old.wav");
        EXPECT_EQ(g_sampleLength[0], 10u);
    }
    boxes.clear();
    EXPECT_FALSE(LoadWaveSample(TempPath("no-such-file.wav"), "no-such-file.wav", false));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Can't open file");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);
}

// A file shorter than the two windows is read from what it holds: its data
// chunk may stop short, the missing frames are 0.
TEST_F(WaveFileTest, ShortFileAndShortDataArePaddedWithZeros) {
    WaveParams w;
    w.values = Ramp(6, 10);
    Bytes file = WaveBytes(w);
    PutU32(file.data() + 40, 40);  // the data chunk claims 20 frames
    ASSERT_LT(file.size(), 255u);
    ASSERT_TRUE(Load(file, "short.wav"));
    EXPECT_EQ(g_sampleLength[0], 20u);
    std::vector<int16_t> want = {10, 20, 30, 40, 50, 60};
    want.resize(21, 0);
    EXPECT_EQ(Frames(0), want);
}

TEST_F(WaveFileTest, ReloadAndReplaceKeepTheCountAndTheSlot) {
    WaveParams w;
    w.values = Ramp(50, 2);
    ASSERT_TRUE(Load(WaveBytes(w), "kick.wav"));
    ASSERT_TRUE(Load(WaveBytes(w), "snare.wav"));

    w.values = Ramp(30, 5);
    answers = {IDYES};
    ASSERT_TRUE(Load(WaveBytes(w), "kick.wav"));
    EXPECT_EQ(g_sampleLoadSlot, 0);
    EXPECT_EQ(g_sampleReloaded, 1);
    EXPECT_EQ(g_sampleCount, 2u);
    EXPECT_EQ(g_sampleLength[0], 30u);
    EXPECT_EQ(g_sampleData[0].load()[0], 5);

    w.values = Ramp(8, 7);
    g_sampleLoadSlot = 1;
    ASSERT_TRUE(Load(WaveBytes(w), "hat.wav", /*replace=*/true));
    EXPECT_EQ(g_sampleReloaded, 1);
    EXPECT_EQ(g_sampleCount, 2u);
    EXPECT_EQ(g_sampleName[1], "hat.wav");
    EXPECT_EQ(g_sampleLength[1], 8u);

    // A failed reload keeps the old sample.
    answers = {IDYES};
    g_failBlockAllocations = 1;
    EXPECT_FALSE(Load(WaveBytes(w), "kick.wav"));
    EXPECT_EQ(g_sampleLength[0], 30u);
    EXPECT_EQ(g_sampleData[0].load()[0], 5);

    // An append needs a free slot below 255.
    g_sampleLoadSlot = 5;
    boxes.clear();
    EXPECT_FALSE(LoadWaveSample(WriteTempFile("x.wav", WaveBytes(w)), "x.wav", false));
    EXPECT_EQ(boxes.back().text, "Cannot load more samples!");
    EXPECT_EQ(g_sampleCount, 2u);
}

TEST_F(WaveFileTest, SampleFileLayout) {
    SongBuilder().Sample(10000, 2500, "pad.wav", 7);
    g_sampleRootKey[0] = 36;
    const Bytes f = BuildSampleWave(0);
    const uint32_t n = 7;
    ASSERT_EQ(f.size(), 8 + 20000 + 95 + n + 68);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "RIFF");
    EXPECT_EQ(GetU32(&f[4]), 20000 + 95 + n + 68);
    EXPECT_EQ(std::string(f.begin() + 8, f.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(GetU32(&f[16]), 16u);
    EXPECT_EQ(GetU16(&f[20]), 1);
    EXPECT_EQ(GetU16(&f[22]), 1);
    EXPECT_EQ(GetU32(&f[24]), 22050u);
    EXPECT_EQ(GetU32(&f[28]), 44100u);
    EXPECT_EQ(GetU16(&f[32]), 2);
    EXPECT_EQ(GetU16(&f[34]), 16);
    EXPECT_EQ(std::string(f.begin() + 36, f.begin() + 40), "data");
    EXPECT_EQ(GetU32(&f[40]), 20000u);
    EXPECT_EQ(GetU16(&f[44]), 7);
    const uint8_t* smpl = &f[44 + 20000];
    EXPECT_EQ(std::string(smpl, smpl + 4), "smpl");
    EXPECT_EQ(GetU32(smpl + 4), 60u);
    EXPECT_EQ(GetU32(smpl + 36), 1u);
    EXPECT_EQ(GetU32(smpl + 52), 2500u);
    EXPECT_EQ(GetU32(smpl + 56), 9999u);
    for (int off : {8, 32, 40, 44, 48, 60, 64}) EXPECT_EQ(GetU32(smpl + off), 0u) << off;
    const uint8_t* list = smpl + 68;
    EXPECT_EQ(std::string(list, list + 4), "LIST");
    EXPECT_EQ(GetU32(list + 4), n + 51);
    EXPECT_EQ(std::string(list + 8, list + 16), "INFOICMT");
    EXPECT_EQ(GetU32(list + 16), 29u);
    EXPECT_EQ(std::string(list + 20, list + 49), "Exported by Morvel Canopy(tm)");
    EXPECT_EQ(list[49], 0);
    EXPECT_EQ(std::string(list + 50, list + 54), "INAM");
    EXPECT_EQ(GetU32(list + 54), n);
    EXPECT_EQ(std::string(list + 58, list + 58 + n), "pad.wav");
    EXPECT_EQ(list[58 + n], 0);

    // No loop: no "smpl" chunk. A 70-character name is cut to 64.
    g_sampleLoopPoint[0] = 10000;
    g_sampleName[0] = std::string(70, 'n');
    const Bytes g = BuildSampleWave(0);
    ASSERT_EQ(g.size(), 8 + 20000 + 95 + 64u);
    EXPECT_EQ(std::string(&g[44 + 20000], &g[44 + 20004]), "LIST");
    EXPECT_EQ(GetU32(&g[44 + 20000 + 4]), 115u);
    EXPECT_EQ(GetU32(&g[44 + 20000 + 54]), 64u);

    // The file written loads back as the same sample.
    const std::string path = WriteTempFile("pad-out.wav", f);
    g_sampleLoadSlot = 1;
    ASSERT_TRUE(LoadWaveSample(path, "pad-out.wav", false));
    EXPECT_EQ(g_sampleLength[1], 10000u);
    EXPECT_EQ(g_sampleLoopPoint[1], 2500u);
    EXPECT_EQ(g_sampleRootKey[1], 36u);
}

TEST_F(WaveFileTest, StereoOutputHeader) {
    const auto h = StereoWaveHeader(32768 * 3);
    EXPECT_EQ(std::string(h.begin(), h.begin() + 4), "RIFF");
    EXPECT_EQ(GetU32(&h[4]), 32768u * 3 + 36);
    EXPECT_EQ(GetU16(&h[22]), 2);
    EXPECT_EQ(GetU32(&h[24]), 44100u);
    EXPECT_EQ(GetU32(&h[28]), 176400u);
    EXPECT_EQ(GetU16(&h[32]), 4);
    EXPECT_EQ(GetU16(&h[34]), 16);
    EXPECT_EQ(GetU32(&h[40]), 32768u * 3);
}

}  // namespace
