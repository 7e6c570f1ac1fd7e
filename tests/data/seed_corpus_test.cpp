// The seed corpus of the file reader fuzz targets: song, instrument and WAV
// files made by the writers (and two damaged WAV variants), written
// into $MC_SEED_DIR/song, /instrument and /wave (the CI's fuzz step sets it; a
// temporary folder otherwise), and each read back by its reader.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/instrument_file.h"
#include "data/wave_file.h"
#include "data/value_limits.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

class SeedCorpus : public DataTest {
protected:
    void SetUp() override {
        const char* dir = std::getenv("MC_SEED_DIR");
        temporary_ = dir == nullptr || *dir == '\0';
        root_ = temporary_ ? std::filesystem::path(TempPath("seeds")) : std::filesystem::path(dir);
        DataTest::SetUp();
    }
    void TearDown() override {
        DataTest::TearDown();
        std::error_code ignored;
        if (temporary_) std::filesystem::remove_all(root_, ignored);
    }
    void Write(const std::string& kind, const std::string& name, const Bytes& bytes) {
        const std::filesystem::path folder = root_ / kind;
        std::filesystem::create_directories(folder);
        std::ofstream((folder / name).string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string PathOf(const std::string& kind, const std::string& name) const { return (root_ / kind / name).string(); }
    std::filesystem::path root_;
    bool temporary_ = true;
};

TEST_F(SeedCorpus, WritesSongInstrumentAndWaveFiles) {
    // Songs: a new one, and one with every section.
    g_tempoDisplay = 120;
    ASSERT_TRUE(NewPattern());
    Write("song", "new.mcs", SaveSongBytes());

    g_patternLength = 24;
    ResetSong();
    for (int p = 0; p < 2; ++p) {
        ASSERT_TRUE(NewPattern());
        for (int t = 0; t < 4; ++t) g_patterns[p].load()[PatternIndex(t, 3, 2 * t, 24)] = static_cast<uint8_t>(36 + t);
        g_patterns[p].load()[PatternIndex(1, 0, 3, 24)] = 0x52;
        g_patterns[p].load()[PatternIndex(1, 1, 3, 24)] = 7;
    }
    g_songOrder[1] = 1;
    g_songOrderJump[1] = 0xF4;
    g_songOrder[2] = kOrderEnd;
    SongBuilder().Sample(40, 10, "loop.wav", 300).Sample(0, 0, "empty.wav").Sample(12, 12, "one.wav", -5);
    g_splitSample[128 + 60] = 0;
    g_splitTranspose[128 + 60] = -12;
    g_soundBank[kParamOsc1Wave][1] = 6;
    g_soundBank[kParamOsc1SplitSet][1] = 2;
    g_soundNames[1] = "SPLIT";
    g_automationOn = 1;
    g_knobEnabled[0] = 1;
    g_knobSound[0] = 1;
    g_knobParam[0] = 13;
    for (int i = 0; i < 64; ++i) g_tweakLaneData[0][i] = static_cast<uint8_t>(i);
    g_effectSettings.fxType[0] = 1;
    g_effectSettings.fxParam[0][0] = 3;
    g_channelSound[0] = 1;
    g_songComment = "two\r\nlines";
    Write("song", "rich.mcs", SaveSongBytes());

    // Instruments: a sound without samples, and one with a split set and a
    // direct sample.
    CMemFile plain;
    WriteInstrument(plain, 2);
    Write("instrument", "plain.mci", plain.Data());
    g_soundBank[kParamOsc2Wave][1] = 6;
    g_soundBank[kParamOsc2Sample][1] = 2;
    CMemFile split;
    WriteInstrument(split, 1);
    Write("instrument", "split.mci", split.Data());

    // WAV files.
    WaveParams mono;
    mono.rate = 22050;
    for (int i = 0; i < 40; ++i) mono.values.push_back(static_cast<int16_t>(i * 100));
    Write("wave", "mono22k.wav", WaveBytes(mono));
    WaveParams stereo = mono;
    stereo.channels = 2;
    Write("wave", "stereo.wav", WaveBytes(stereo));
    WaveParams loop = mono;
    loop.loop = {{5, 29}};
    Write("wave", "loop.wav", WaveBytes(loop));
    WaveParams eightBit = mono;
    eightBit.bits = 8;
    Write("wave", "eight_bit.wav", WaveBytes(eightBit));
    const Bytes full = WaveBytes(mono);
    Write("wave", "cut.wav", Bytes(full.begin(), full.begin() + 60));

    // Each reads back; of the WAV files the 8-bit one is refused, and the cut one
    // loads with its missing frames as 0.
    for (const char* song : {"new.mcs", "rich.mcs"}) {
        EXPECT_TRUE(LoadSongBytes(ReadFileBytes(PathOf("song", song)))) << song;
    }
    EXPECT_EQ(g_sampleCount, 3u);
    for (const char* instrument : {"plain.mci", "split.mci"}) {
        g_curSound = 5;
        EXPECT_TRUE(LoadInstrumentFile(PathOf("instrument", instrument))) << instrument;
    }
    for (const char* wave : {"mono22k.wav", "stereo.wav", "loop.wav", "eight_bit.wav", "cut.wav"}) {
        g_sampleLoadSlot = static_cast<int32_t>(g_sampleCount.load());
        answers = {IDYES};  // the song already holds a "loop.wav": reload it
        EXPECT_EQ(LoadWaveSample(PathOf("wave", wave), wave, false), std::string(wave) != "eight_bit.wav") << wave;
    }
    EXPECT_EQ(g_sampleCount, 6u);
}

}  // namespace
