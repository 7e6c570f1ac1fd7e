// Instrument files: what is gathered and how it is numbered on saving, sample
// reuse and renaming, split-set placement, the limits, and refusals that leave
// the sound and the store untouched.
#include <algorithm>
#include <array>
#include <filesystem>
#include <string>

#include "data/instrument_file.h"
#include "data/sound_bank_ops.h"
#include "data/value_limits.h"
#include "shared/editor.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

constexpr char kNotInstrument[] = "Not supported instrument file format!";

class InstrumentFileTest : public DataTest {
protected:
    static Bytes Save(uint32_t sound) {
        CMemFile mem;
        WriteInstrument(mem, sound);
        return mem.Data();
    }
    static bool LoadInto(uint32_t sound, const Bytes& file) {
        g_curSound = sound;
        CMemFile mem(file.data(), file.size());
        return LoadInstrumentFrom(mem);
    }
    static void PlaySample(uint32_t sound, int osc, uint8_t sample, uint8_t split = 0) {
        const SoundParam wave[3] = {kParamOsc1Wave, kParamOsc2Wave, kParamOsc3Wave};
        g_soundBank[wave[osc]][sound] = 6;
        g_soundBank[kParamOsc1Sample + osc][sound] = sample;
        g_soundBank[kParamOsc1SplitSet + osc][sound] = split;
    }
    // Everything a load may change: the store, the split tables, the bank.
    static Snapshot State() {
        Snapshot s = TakeSnapshot();
        s.erase(std::remove_if(s.begin(), s.end(), [](const Field& f) { return f.name.rfind("lane", 0) == 0; }),
                s.end());
        return s;
    }
    void ExpectRefused(const Bytes& file, const char* message, const std::string& what) {
        const Snapshot before = State();
        boxes.clear();
        EXPECT_FALSE(LoadInto(5, file)) << what;
        ASSERT_EQ(boxes.size(), 1u) << what;
        EXPECT_EQ(boxes[0].text, message) << what;
        ExpectSameSong(before, State());
    }
};

TEST_F(InstrumentFileTest, SoundWithoutSamplesIsWrittenWithNoRecords) {
    g_soundNames[3] = "BASS";
    g_soundBank[kParamOsc1Sample][3] = 4;  // wave 1: the reference is not gathered
    g_soundBank[kParamOsc2SplitSet][3] = 2;
    SongBuilder().Samples(5, 10);
    const Bytes f = Save(3);
    ByteWriter want;
    want.Text("MCIns1\r\n").U8(4).Text("BASS");
    for (int p = 0; p < 55; ++p) want.U8(g_soundBank[p][3]);
    want.Raw({255, 255, 255, 255, 255, 255, 0, 0});
    EXPECT_EQ(f, want.bytes);

    g_soundBank[kParamOsc1Sample][5] = 1;
    g_soundBank[kParamOsc3SplitSet][5] = 4;
    ASSERT_TRUE(LoadInto(5, f));
    EXPECT_EQ(g_soundNames[5], "BASS");
    for (int osc = 0; osc < 3; ++osc) {
        EXPECT_EQ(g_soundBank[kParamOsc1Sample + osc][5], 255);
        EXPECT_EQ(g_soundBank[kParamOsc1SplitSet + osc][5], 0);
    }
    EXPECT_EQ(g_sampleCount, 5u);
    EXPECT_EQ(g_curSoundName, "BASS");  // the live knobs hold the loaded sound
}

// Oscillator 1 plays split set 3, oscillator 2 sample 7 directly, and the set
// also uses sample 7: sample 7 is file sample 0, the set's other samples follow
// in key order.
TEST_F(InstrumentFileTest, DirectSamplesComeFirstThenTheSetsSamplesInKeyOrder) {
    SongBuilder().Samples(10, 20);
    PlaySample(1, 0, 255, 3);
    PlaySample(1, 1, 7);
    const uint32_t set = 2;
    g_splitSample[set * 128 + 10] = 4;
    g_splitSample[set * 128 + 20] = 7;
    g_splitSample[set * 128 + 30] = 2;
    g_splitSample[set * 128 + 40] = 4;
    g_splitTranspose[set * 128 + 10] = -128;
    g_splitTranspose[set * 128 + 30] = 127;
    const Bytes f = Save(1);

    const size_t refs = 9 + g_soundNames[1].size() + 55;
    EXPECT_EQ(f[refs + 0], 255);  // oscillator 1's own sample reference: none
    EXPECT_EQ(f[refs + 1], 0);    // sample 7
    EXPECT_EQ(f[refs + 2], 255);
    EXPECT_EQ(f[refs + 3], 0);    // split set 3 is file set 0
    EXPECT_EQ(f[refs + 4], 255);
    EXPECT_EQ(f[refs + 6], 3);    // samples 7, 4, 2
    EXPECT_EQ(f[refs + 7], 1);
    size_t at = refs + 8;
    for (uint32_t s : {7u, 4u, 2u}) {
        EXPECT_EQ(GetU32(&f[at]), g_sampleLength[s]) << s;
        EXPECT_EQ(f[at + 12], g_sampleName[s].size());
        at += 13 + g_sampleName[s].size() + 2 * g_sampleLength[s];
    }
    ASSERT_EQ(f.size(), at + 256);
    EXPECT_EQ(f[at + 10], 1);
    EXPECT_EQ(f[at + 20], 0);
    EXPECT_EQ(f[at + 30], 2);
    EXPECT_EQ(f[at + 40], 1);
    EXPECT_EQ(f[at + 0], 255);
    EXPECT_EQ(f[at + 128 + 10], 0);    // -128 + 128
    EXPECT_EQ(f[at + 128 + 30], 255);  // 127 + 128
    EXPECT_EQ(f[at + 128 + 0], 128);

    // Into a song with no samples: three samples added, the set placed in set 1.
    ResetSong();
    g_splitSample[0] = 255;
    ASSERT_TRUE(LoadInto(9, f));
    EXPECT_EQ(g_sampleCount, 3u);
    EXPECT_EQ(g_sampleName[0], "s7");
    EXPECT_EQ(g_soundBank[kParamOsc2Sample][9], 0);
    EXPECT_EQ(g_soundBank[kParamOsc1SplitSet][9], 1);
    EXPECT_EQ(g_splitSample[10], 1);
    EXPECT_EQ(g_splitSample[20], 0);
    EXPECT_EQ(g_splitSample[30], 2);
    EXPECT_EQ(g_splitTranspose[10], -128);
    EXPECT_EQ(g_splitTranspose[30], 127);
    EXPECT_EQ(g_sampleData[2].load()[g_sampleLength[2] - 1], 0);  // the last frame reads back as 0
}

struct Record {
    uint32_t length, rootKey, loopPoint;
    std::string name;
    int16_t fill = 3;
};

// An instrument file built field by field.
Bytes Instrument(const std::vector<Record>& records, const std::vector<Bytes>& splits, std::array<uint8_t, 6> refs,
                 uint8_t channel = 7, const std::string& name = "LEAD") {
    ByteWriter w;
    w.Text("MCIns1\r\n").U8(static_cast<uint8_t>(name.size())).Text(name);
    for (int p = 0; p < 55; ++p) w.U8(p == kParamChannel ? channel : g_soundParamDefaults[p]);
    for (uint8_t r : refs) w.U8(r);
    w.U8(static_cast<uint8_t>(records.size())).U8(static_cast<uint8_t>(splits.size()));
    for (const Record& r : records) {
        w.U32(r.length).U32(r.rootKey).U32(r.loopPoint).U8(static_cast<uint8_t>(r.name.size())).Text(r.name);
        for (uint32_t i = 0; i < r.length; ++i) w.U16(static_cast<uint16_t>(r.fill));
    }
    for (const Bytes& split : splits) w.Raw(split);
    return w.bytes;
}

Bytes Split(std::initializer_list<std::pair<int, uint8_t>> keys, int8_t transpose = 0) {
    Bytes b(256, 255);
    std::fill(b.begin() + 128, b.end(), static_cast<uint8_t>(transpose + 128));
    for (auto [key, sample] : keys) b[key] = sample;
    return b;
}

TEST_F(InstrumentFileTest, EqualSamplesAreReusedAndOthersOfTheSameNameRenamed) {
    SongBuilder().Sample(10, 10, "bass.wav").Sample(5, 5, "pad.wav").Sample(9, 9, "pad-2.wav");
    g_soundBank[kParamChannel][4] = 3;
    const Bytes f = Instrument({{10, 48, 10, "bass.wav"},  // the loaded bass.wav: reused
                                {6, 48, 6, "pad.wav"},     // differs from pad.wav and pad-2.wav
                                {4, 36, 4, "new.wav"},
                                {4, 36, 4, "new.wav"}},  // samples of one load are not compared
                               {}, {1, 0, 9, 255, 255, 255});
    ASSERT_TRUE(LoadInto(4, f));
    EXPECT_EQ(g_sampleCount, 6u);
    EXPECT_EQ(g_sampleName[3], "pad-3.wav");
    EXPECT_EQ(g_sampleLength[3], 6u);
    EXPECT_EQ(g_sampleName[4], "new.wav");
    EXPECT_EQ(g_sampleName[5], "new.wav");
    EXPECT_EQ(g_sampleRootKey[4], 36u);
    EXPECT_EQ(g_soundBank[kParamOsc1Sample][4], 3);
    EXPECT_EQ(g_soundBank[kParamOsc2Sample][4], 0);
    EXPECT_EQ(g_soundBank[kParamOsc3Sample][4], 255);  // names no record
    EXPECT_EQ(g_soundBank[kParamChannel][4], 3);       // the sound keeps its mixer channel
    EXPECT_EQ(g_soundNames[4], "LEAD");
}

TEST_F(InstrumentFileTest, RenamingCountsOnUpToNine) {
    const struct {
        const char* loaded;
        const char* incoming;
        const char* added;
    } cases[] = {{"a.wav", "a.wav", "a-2.wav"},     {"a-8.wav", "a-8.wav", "a-9.wav"},
                 {"a-9.wav", "a-9.wav", "a-9-2.wav"}, {"noext", "noext", "noext-2.wav"},
                 {"x.y.wav", "x.y.wav", "x-2.wav"}};
    for (const auto& c : cases) {
        ResetSong();
        SongBuilder().Sample(10, 10, c.loaded);
        ASSERT_TRUE(LoadInto(2, Instrument({{11, 48, 11, c.incoming}}, {}, {0, 255, 255, 255, 255, 255})));
        EXPECT_EQ(g_sampleName[1], c.added) << c.loaded;
    }
}

// Split sets go to the first free set F and on from there, each only into a
// free set that exists; a reference that cannot be placed becomes 0.
TEST_F(InstrumentFileTest, SplitSetsArePlacedFromTheFirstFreeSet) {
    SongBuilder().Sample(4, 4, "used.wav");
    g_splitSample[0 * 128 + 5] = 0;  // set 1 used
    g_splitSample[2 * 128 + 5] = 0;  // set 3 used: set 2 is F, set 3 cannot take the second
    const Bytes f = Instrument({{8, 48, 8, "k.wav"}}, {Split({{60, 0}}, -12), Split({{61, 0}}), Split({{62, 0}})},
                               {255, 255, 255, 0, 1, 2});
    ASSERT_TRUE(LoadInto(6, f));
    EXPECT_EQ(g_soundBank[kParamOsc1SplitSet][6], 2);
    EXPECT_EQ(g_splitSample[1 * 128 + 60], 1);
    EXPECT_EQ(g_splitTranspose[1 * 128 + 60], -12);
    EXPECT_EQ(g_soundBank[kParamOsc2SplitSet][6], 0);
    EXPECT_EQ(g_splitSample[2 * 128 + 61], 255);  // set 3 untouched
    EXPECT_EQ(g_splitSample[2 * 128 + 5], 0);
    EXPECT_EQ(g_soundBank[kParamOsc3SplitSet][6], 4);  // set 4 is free
    EXPECT_EQ(g_splitSample[3 * 128 + 62], 1);

    // Every set but the last used: a second file set would lie beyond set 32.
    for (int set = 0; set < 31; ++set) g_splitSample[set * 128] = 0;
    const Bytes g = Instrument({{8, 48, 8, "k.wav"}}, {Split({{1, 0}}), Split({{2, 0}})}, {255, 255, 255, 0, 1, 255});
    ASSERT_TRUE(LoadInto(7, g));
    EXPECT_EQ(g_soundBank[kParamOsc1SplitSet][7], 32);
    EXPECT_EQ(g_soundBank[kParamOsc2SplitSet][7], 0);
}

TEST_F(InstrumentFileTest, TransposesAndLongNamesSurviveARoundTrip) {
    SongBuilder().Sample(3, 1, std::string(300, 's'));
    PlaySample(8, 0, 255, 1);
    for (int k = 0; k < 128; ++k) {
        g_splitSample[k] = 0;
        g_splitTranspose[k] = k * 2 - 128 + (k == 127 ? 1 : 0);  // -128 .. +127
    }
    g_soundNames[8] = std::string(260, 'N');
    const Bytes f = Save(8);
    EXPECT_EQ(f[8], 255);  // the name's length byte
    ResetSong();
    ASSERT_TRUE(LoadInto(9, f));
    EXPECT_EQ(g_soundNames[9], std::string(255, 'N'));
    EXPECT_EQ(g_sampleName[0], std::string(255, 's'));
    EXPECT_EQ(g_sampleLoopPoint[0], 1u);
    for (int k = 0; k < 128; ++k) EXPECT_EQ(g_splitTranspose[k], k * 2 - 128 + (k == 127 ? 1 : 0)) << k;
}

TEST_F(InstrumentFileTest, FullStoreStopsTheLoadAndChangesNothing) {
    SongBuilder().Samples(254, 2);
    ExpectRefused(Instrument({{5, 48, 5, "a.wav"}, {5, 48, 5, "b.wav"}}, {}, {0, 1, 255, 255, 255, 255}),
                  "Cannot load more samples!", "two new samples with 254 loaded");
    EXPECT_EQ(g_sampleCount, 254u);
    ASSERT_TRUE(LoadInto(5, Instrument({{5, 48, 5, "a.wav"}}, {}, {0, 255, 255, 255, 255, 255})));
    EXPECT_EQ(g_sampleCount, 255u);
}

TEST_F(InstrumentFileTest, DamagedFilesAreRefusedUntouched) {
    SongBuilder().Sample(10, 10, "old.wav");
    g_soundNames[5] = "NOT USED";
    const Bytes good = Instrument({{40, 48, 40, "x.wav"}, {6, 48, 6, "y.wav"}}, {Split({{60, 1}})},
                                  {0, 1, 255, 0, 255, 255});
    ASSERT_TRUE(LoadInto(5, Instrument({}, {}, {255, 255, 255, 255, 255, 255})));  // the control loads

    Bytes magic = good;
    magic[6] = '\n';
    ExpectRefused(magic, kNotInstrument, "magic");
    for (size_t cut : {size_t{0}, size_t{5}, size_t{8}, size_t{9}, size_t{20}, size_t{70}, size_t{75}, size_t{77},
                       size_t{90}, good.size() - 257, good.size() - 100, good.size() - 1}) {
        ExpectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), kNotInstrument,
                      "cut at " + std::to_string(cut));
    }
    Bytes longer = good;
    PutU32(longer.data() + 9 + 4 + 55 + 8, 0x7FFFFFFF);  // the first record's length
    ExpectRefused(longer, kNotInstrument, "length beyond the file");
    g_failBlockAllocations = 1;
    ExpectRefused(good, "Failed to allocate memory for loading sample!", "no memory");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
    g_failBlockAllocations = 0;
    ASSERT_TRUE(LoadInto(5, good));
    EXPECT_EQ(g_sampleCount, 3u);
}

TEST_F(InstrumentFileTest, QuestionsAndFileFailures) {
    g_curSound = 2;
    g_soundNames[2] = "NOT USED";
    EXPECT_TRUE(ConfirmReplaceCurrentSound());
    EXPECT_TRUE(boxes.empty());
    g_soundNames[2] = "PIANO";
    answers = {IDNO, IDYES};
    EXPECT_FALSE(ConfirmReplaceCurrentSound());
    EXPECT_TRUE(ConfirmReplaceCurrentSound());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "This sound is already being used. Replace it?");
    EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONQUESTION);

    boxes.clear();
    g_liveKnobs[0] = 99;
    g_docModified = 0;
    EXPECT_FALSE(LoadInstrumentFile(TempPath("missing.mci")));
    EXPECT_EQ(boxes.back().text, "Failed to open file!");
    EXPECT_EQ(g_liveKnobs[0], g_soundBank[0][2]);  // the live knobs reloaded from the sound
    EXPECT_EQ(g_docModified, 1);

    EXPECT_FALSE(SaveInstrumentFile(TempPath("no-such-dir/x.mci"), 2));
    EXPECT_EQ(boxes.back().text, "Failed to create file!");
    const std::string path = TempPath("piano.mci");
    ASSERT_TRUE(SaveInstrumentFile(path, 2));
    g_curSound = 3;
    ASSERT_TRUE(LoadInstrumentFile(path));
    EXPECT_EQ(g_soundNames[3], "PIANO");
    if (std::filesystem::exists("/dev/full")) {
        SongBuilder().Sample(100000, 100000, "big.wav");
        PlaySample(2, 0, 0);
        boxes.clear();
        EXPECT_FALSE(SaveInstrumentFile("/dev/full", 2));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "File or disk error!");
    }
}

}  // namespace
