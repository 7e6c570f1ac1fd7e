// The song file: the worked example byte by byte, a round trip through every
// section, the order-list and comment rules, refusals that leave the song
// untouched, clamps on load and the steps after a load.
#include <algorithm>
#include <cstring>
#include <string>

#include "data/sound_bank_ops.h"
#include "data/value_limits.h"
#include "data/wave_file.h"
#include "shared/editor.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;

constexpr char kRefusal[] = "Unsupported song format or invalid file!";

class SongFileTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        NewSong();
        g_startingUp = 0;
        g_soundModuleMode = 0;
    }

    // File New with the dialog's defaults: tempo 120, 64 rows, effects off.
    static void NewSong() {
        g_tempoDisplay = 120;
        g_patternLength = 64;
        g_stepsPerBeat = 4;
        g_songMode = 1;
        g_patternCue = 0;
        std::memset(static_cast<void*>(&g_effectSettings), 0, sizeof(g_effectSettings));
        ResetSong();
        ResetSoundBank();
        ASSERT_TRUE(NewPattern());
    }

    // Loads bytes that must be refused; the song must be as it was.
    void ExpectRefused(const Bytes& file, const char* what) {
        const Snapshot before = TakeSnapshot();
        boxes.clear();
        EXPECT_FALSE(LoadSongBytes(file)) << what;
        ASSERT_EQ(boxes.size(), 1u) << what;
        EXPECT_EQ(boxes[0].text, kRefusal) << what;
        EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION) << what;
        ExpectSameSong(before, TakeSnapshot());
    }
};

// The worked example: a new song saved at once, polyphony at 32 voices.
Bytes WorkedExample() {
    ByteWriter w;
    w.Text("MCFmt1\r\n").U32(0).Words({0, 0, 120, 64}).Repeat(14, 0);
    w.U32(40).Repeat(7, 0).U32(40).Repeat(24, 0).Repeat(8, 0);
    w.Words({1, 0, 1, 0, 0}).Repeat(30, 0).Repeat(16, 0).U32(8).Repeat(15, 0).U32(0);
    w.U32(2).U8(0x00).U8(0xFE).U8(0x00).U8(0x00);
    for (int t = 0; t < 32; ++t) w.Raw({0xF0, 0xC0, 0x00, 0xF0, 0x40, 0xFE});
    for (int s = 0; s < 100; ++s) w.Line("NOT USED");
    for (int p = 0; p < 61; ++p) w.Raw({0xF0, 0x64, g_soundParamDefaults[p]});
    for (int half = 0; half < 20; ++half) {
        for (int r = 0; r < 99; ++r) w.Raw({0xF0, 0xFF, 0x00});
        w.Raw({0xF0, 0xE3, 0x00});
    }
    w.U8(0).Line("Untitled").Line("N/A").Text("N/A");
    return w.bytes;
}

Bytes MaskRandomWord(Bytes b) {
    if (b.size() >= 12) std::fill(b.begin() + 8, b.begin() + 12, uint8_t{0});
    return b;
}

TEST_F(SongFileTest, WorkedExampleIsWrittenByteForByteAndLoads) {
    const Bytes expected = WorkedExample();
    ASSERT_EQ(expected.size(), 7922u);
    EXPECT_EQ(MaskRandomWord(SaveSongBytes()), expected);

    g_tempoDisplay = 99;
    g_patternLength = 32;
    ASSERT_TRUE(LoadSongBytes(expected));
    EXPECT_EQ(g_tempoDisplay, 120u);
    EXPECT_EQ(g_patternLength, 64u);
    EXPECT_EQ(g_patternCount, 1u);
    EXPECT_EQ(g_songOrder[1], kOrderJump);
    EXPECT_EQ(g_channelPolyphony[0], 8);
    EXPECT_EQ(g_mixerSettings.volume[0], 40);
    EXPECT_EQ(g_mixerSettings.master, 40);
    EXPECT_EQ(g_songComment, "N/A");
    EXPECT_TRUE(boxes.empty());
}

// Each fixed field at its byte offset, with values that tell them apart.
TEST_F(SongFileTest, FixedFieldsLieAtTheirOffsets) {
    g_songHeaderWords[0] = 0x11;
    g_songHeaderWords[1] = 0x12;
    g_tempoDisplay = 131;
    EffectSettings& e = g_effectSettings;
    for (int u = 0; u < 3; ++u) {
        e.fxType[u] = 1 + u;
        for (int s = 0; s < 3; ++s) e.fxParam[u][s] = 10 * (u + 1) + s;
    }
    e.fxSerial = 1;
    e.fxSerialAmount = 33;
    for (int b = 0; b < kBuses; ++b) {
        g_mixerSettings.volume[b] = 1 + b;
        g_mixerSettings.pan[b] = -(1 + b);
        g_mixerSettings.send1[b] = 20 + b;
        g_mixerSettings.send2[b] = 30 + b;
        g_volumeOverrides.bus[b] = 100 + b;
    }
    g_mixerSettings.master = 50;
    g_volumeOverrides.master = 999;  // not stored
    g_songMode = 0;
    g_patternCue = 1;
    ASSERT_TRUE(NewPattern());
    SongBuilder().Sample(2, 2, "a.wav");
    g_automationOn = 1;
    for (int k = 0; k < kAutomationKnobs; ++k) {
        g_knobEnabled[k] = 1;
        g_knobSound[k] = 60 + k;
        g_knobParam[k] = 10 + k;
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        g_channelSound[c] = 70 + c;
        g_channelPolyphony[c] = c;
    }
    g_doubleStepsPerBeat = 1;

    const Bytes f = SaveSongBytes();
    const auto at = [&f](size_t offset) { return static_cast<int32_t>(GetU32(&f[offset])); };
    EXPECT_EQ(at(12), 0x11);
    EXPECT_EQ(at(16), 0x12);
    EXPECT_EQ(at(20), 131);
    EXPECT_EQ(at(24), 64);
    for (int u = 0; u < 3; ++u) {
        EXPECT_EQ(at(28 + 4 * u), 1 + u);
        for (int s = 0; s < 3; ++s) EXPECT_EQ(at(48 + 12 * u + 4 * s), 10 * (u + 1) + s);
    }
    EXPECT_EQ(at(40), 1);
    EXPECT_EQ(at(44), 33);
    for (int b = 0; b < kBuses; ++b) {
        EXPECT_EQ(at(84 + 4 * b), 1 + b) << b;
        EXPECT_EQ(at(120 + 4 * b), -(1 + b)) << b;
        EXPECT_EQ(at(152 + 4 * b), 20 + b) << b;
        EXPECT_EQ(at(184 + 4 * b), 30 + b) << b;
        EXPECT_EQ(at(216 + 4 * b), 100 + b) << b;
    }
    EXPECT_EQ(at(116), 50);
    EXPECT_EQ(at(248), 0);
    EXPECT_EQ(at(252), 1);
    EXPECT_EQ(at(256), 2);
    EXPECT_EQ(at(260), 1);
    EXPECT_EQ(at(264), 1);
    for (int k = 0; k < kAutomationKnobs; ++k) {
        EXPECT_EQ(at(268 + 4 * k), 1);
        EXPECT_EQ(at(308 + 4 * k), 60 + k);
        EXPECT_EQ(at(348 + 4 * k), 10 + k);
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        EXPECT_EQ(at(388 + 4 * c), 70 + c);
        EXPECT_EQ(at(452 + 4 * c), c);
    }
    EXPECT_EQ(at(516), 1);

    g_volumeOverrides.master = 999;
    ASSERT_TRUE(LoadSongBytes(f));
    EXPECT_EQ(g_volumeOverrides.master, 0u);  // as the reset left it
    EXPECT_EQ(g_volumeOverrides.bus[7], 107u);
}

// A song with every section filled.
class RichSong {
public:
    static void Build(std::vector<ShownBox>& boxes, std::deque<int>& answers) {
        g_patternLength = 24;
        ResetSong();
        uint32_t seed = 12345;
        const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (int p = 0; p < 3; ++p) {
            ASSERT_TRUE(NewPattern());
            uint8_t* pattern = g_patterns[p];
            for (uint32_t i = 0; i < 128 * 24; ++i) pattern[i] = static_cast<uint8_t>(next() >> 24);
        }
        g_tempoDisplay = 133;
        g_songHeaderWords[0] = 7;
        g_songHeaderWords[1] = 5;
        g_doubleStepsPerBeat = 1;
        g_songMode = 0;
        g_patternCue = 1;
        const int32_t fx[14] = {1, 7, 6, 1, 25, 4, 50, 0, 20, 50, 30, 30, 200, 0};
        EffectSettings& e = g_effectSettings;
        for (int u = 0; u < 3; ++u) e.fxType[u] = fx[u];
        e.fxSerial = fx[3];
        e.fxSerialAmount = fx[4];
        for (int u = 0; u < 3; ++u)
            for (int s = 0; s < 3; ++s) e.fxParam[u][s] = fx[5 + 3 * u + s];
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = 10 + 5 * b;
            g_mixerSettings.pan[b] = -20 + 5 * b;
            g_mixerSettings.send1[b] = 40 - b;
            g_mixerSettings.send2[b] = 3 * b;
        }
        g_mixerSettings.master = 56;
        g_volumeOverrides.bus[3] = 1;
        g_automationOn = 1;
        for (int k = 0; k < kAutomationKnobs; ++k) {
            g_knobEnabled[k] = k % 2;
            g_knobSound[k] = 1 + 9 * k;
            g_knobParam[k] = 3 * k;
            for (int i = 0; i < kLaneBytes; ++i) g_tweakLaneData[k][i] = static_cast<uint8_t>((i / 7 + k) % 81);
        }
        for (int c = 0; c < kMidiChannels; ++c) {
            g_channelSound[c] = c * 6;
            g_channelPolyphony[c] = c % 3;
        }
        const uint8_t order[] = {0, 1, 2, 0, 1, 255};
        const uint8_t jump[] = {0x80, 0xF4, 12, 0, 0x80, 0};
        std::copy(std::begin(order), std::end(order), g_songOrder);
        std::copy(std::begin(jump), std::end(jump), g_songOrderJump);
        for (int s = 0; s < kSounds; ++s) {
            g_soundNames[s] = s % 3 == 0 ? "NOT USED" : "SOUND " + std::to_string(s);
            for (int p = 0; p < kSoundParams; ++p) {
                g_soundBank[p][s] = ClampSoundParam(p, static_cast<uint8_t>((s * 7 + p * 3) % 90));
            }
        }

        // Samples: a looped one, an empty one, and the right channel of a stereo file.
        SongBuilder().Sample(1000, 200, "loop.wav", 1234).Sample(0, 0, "empty.wav");
        WaveParams stereo;
        stereo.channels = 2;
        stereo.rate = 22050;
        for (int i = 0; i < 300; ++i) stereo.values.insert(stereo.values.end(), {int16_t(i), int16_t(-7 * i)});
        const std::string path = WriteTempFile("pad.wav", WaveBytes(stereo));
        answers.push_back(IDCANCEL);  // "Right"
        g_sampleLoadSlot = g_sampleCount;
        ASSERT_TRUE(LoadWaveSample(path, "pad.wav", false));
        ASSERT_EQ(g_sampleName[2], "pad-R.wav");
        boxes.clear();
        g_sampleRootKey[1] = 24;

        g_splitSample[1 * 128 + 60] = 0;
        g_splitTranspose[1 * 128 + 60] = -12;
        g_splitSample[31 * 128 + 127] = 200;
        g_splitTranspose[31 * 128 + 127] = 127;
        g_splitSample[5] = 2;
        g_splitTranspose[5] = -128;

        g_showInfoOnOpen = 1;
        g_songTitle = "Rich";
        g_songAuthor = "Tester";
        g_songComment = "line one\r\nline two\r\n";
    }
};

TEST_F(SongFileTest, RoundTripKeepsEverySectionAndResavesIdentically) {
    RichSong::Build(boxes, answers);
    Snapshot want = TakeSnapshot();
    // Each sample's last frame reads back as 0.
    for (Field& f : want) {
        if (f.name.rfind("sample ", 0) == 0 && f.name != "sample count" && f.values[0] != 0) f.values[3 + f.values[0] - 1] = 0;
    }
    const Bytes saved = SaveSongBytes();

    NewSong();
    ASSERT_TRUE(LoadSongBytes(saved));
    ExpectSameSong(want, TakeSnapshot());
    EXPECT_TRUE(boxes.empty());

    const Bytes again = SaveSongBytes();
    const Bytes third = SaveSongBytes();
    EXPECT_EQ(MaskRandomWord(again), MaskRandomWord(third));
    EXPECT_EQ(GetU32(again.data() + 12), 7u);
    EXPECT_EQ(GetU32(again.data() + 16), 5u);
    EXPECT_EQ(GetU32(again.data() + 520), 6u);
}

TEST_F(SongFileTest, HeaderWordsCarryOverOnlyWhenTheFirstIsSet) {
    const struct {
        uint32_t first, second, savedFirst, savedSecond;
    } cases[] = {{7, 5, 7, 5}, {0, 5, 0, 0}};
    for (const auto& c : cases) {
        Bytes file = SaveSongBytes();
        PutU32(file.data() + 12, c.first);
        PutU32(file.data() + 16, c.second);
        ASSERT_TRUE(LoadSongBytes(file));
        EXPECT_EQ(g_songHeaderWords[0], c.first);
        EXPECT_EQ(g_songHeaderWords[1], c.second);
        const Bytes again = SaveSongBytes();
        EXPECT_EQ(GetU32(again.data() + 12), c.savedFirst);
        EXPECT_EQ(GetU32(again.data() + 16), c.savedSecond);
    }
}

TEST_F(SongFileTest, CommentKeepsAtMost512BytesUpToAZero) {
    const struct {
        std::string saved, loaded;
    } cases[] = {
        {"x", "x"},
        {"", ""},
        {std::string(512, 'c'), std::string(512, 'c')},
        {std::string(600, 'd'), std::string(512, 'd')},
        {std::string("ab\0cd", 5), "ab"},
        {"a\r\nb", "a\r\nb"},
    };
    for (const auto& c : cases) {
        g_songComment = c.saved;
        ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
        EXPECT_EQ(g_songComment, c.loaded) << c.saved.size();
    }
}

TEST_F(SongFileTest, OrderListIsStoredUpToItsFirstMark) {
    // No mark: all 200 positions.
    for (int pos = 0; pos < kOrderPositions; ++pos) g_songOrder[pos] = static_cast<uint8_t>(pos % 3 == 0 ? 0 : 120);
    Bytes file = SaveSongBytes();
    EXPECT_EQ(GetU32(file.data() + 520), 200u);
    ASSERT_TRUE(LoadSongBytes(file));
    EXPECT_EQ(g_songOrder[199], 120);

    // First jump at 5: six positions; the rest read back as the reset left them.
    for (int pos = 0; pos < kOrderPositions; ++pos) g_songOrder[pos] = 0;
    g_songOrder[5] = kOrderJump;
    g_songOrderJump[5] = 3;
    g_songOrder[9] = 1;
    file = SaveSongBytes();
    EXPECT_EQ(GetU32(file.data() + 520), 6u);
    ASSERT_TRUE(LoadSongBytes(file));
    EXPECT_EQ(g_songOrder[5], kOrderJump);
    EXPECT_EQ(g_songOrderJump[5], 3);
    EXPECT_EQ(g_songOrder[9], 0);
}

// N above 200: only 200 bytes of each list are kept and the reader stays in
// step; N of 0 or less reads nothing for the lists.
TEST_F(SongFileTest, OrderLengthOutsideOneTo200StaysInStep) {
    const Bytes base = WorkedExample();
    const auto withOrder = [&base](int32_t n, const Bytes& lists) {
        Bytes file(base.begin(), base.begin() + 520);
        ByteWriter w;
        w.U32(static_cast<uint32_t>(n)).Raw(lists);
        file.insert(file.end(), w.bytes.begin(), w.bytes.end());
        file.insert(file.end(), base.begin() + 520 + 4 + 4, base.end());
        return file;
    };
    Bytes lists(2 * 203);
    for (int i = 0; i < 203; ++i) {
        lists[i] = static_cast<uint8_t>(i % 100);
        lists[203 + i] = static_cast<uint8_t>(i);
    }
    ASSERT_TRUE(LoadSongBytes(withOrder(203, lists)));
    EXPECT_EQ(g_songOrder[199], 99);
    EXPECT_EQ(g_songOrderJump[199], 199);
    EXPECT_EQ(g_soundNames[99], "NOT USED");
    EXPECT_EQ(g_songTitle, "Untitled");

    for (int32_t n : {0, -5}) {
        ASSERT_TRUE(LoadSongBytes(withOrder(n, {}))) << n;
        EXPECT_EQ(g_songOrder[0], 0);
        EXPECT_EQ(g_songOrder[1], kOrderJump);  // as the reset left it
        EXPECT_EQ(g_songComment, "N/A");
    }
}

TEST_F(SongFileTest, SplitTablesTravelOnlyWithSamples) {
    g_splitSample[10] = 3;
    g_splitTranspose[10] = -4;
    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_TRUE(std::all_of(std::begin(g_splitSample), std::end(g_splitSample), [](int32_t e) { return e == 255; }));
    EXPECT_TRUE(std::all_of(std::begin(g_splitTranspose), std::end(g_splitTranspose), [](int32_t e) { return e == 0; }));
}

// A file that differs in its magic, ends early or holds impossible counts is
// refused and the song stays as it was.
TEST_F(SongFileTest, DamagedFilesAreRefusedAndTheSongStaysUntouched) {
    RichSong::Build(boxes, answers);
    const Bytes good = SaveSongBytes();
    ASSERT_TRUE(LoadSongBytes(good));

    const auto patched = [&good](size_t offset, uint32_t v) {
        Bytes b = good;
        PutU32(b.data() + offset, v);
        return b;
    };
    Bytes magic = good;
    magic[5] = '2';
    ExpectRefused(magic, "magic differs in one character");
    magic = good;
    std::memcpy(magic.data(), "mcfmt1", 6);
    ExpectRefused(magic, "magic in other letter case");
    ExpectRefused(patched(24, 20), "rows 20");
    ExpectRefused(patched(24, 0), "rows 0");
    ExpectRefused(patched(256, 101), "101 patterns");
    ExpectRefused(patched(260, 256), "256 samples");
    ExpectRefused(patched(260, 0xFFFFFFFF), "-1 samples");

    // The first sample record's length: one frame more than the file holds, and
    // lengths whose block size would overflow 32 bits.
    const std::string name = "loop.wav\r\n";
    const size_t lengthAt = static_cast<size_t>(std::search(good.begin(), good.end(), name.begin(), name.end()) - good.begin()) + name.size();
    ASSERT_LT(lengthAt, good.size());
    ASSERT_EQ(GetU32(good.data() + lengthAt), 1000u);
    const uint32_t left = static_cast<uint32_t>(good.size() - lengthAt - 12);
    ExpectRefused(patched(lengthAt, left / 2 + 1), "sample longer than the file");
    ExpectRefused(patched(lengthAt, 0x7FFFFFFF), "2 x length + 2 overflows");
    ExpectRefused(patched(lengthAt, 0xFFFFFFFF), "length -1");

    // Cut anywhere before the comment: refused. Cut right after the author's
    // line: loaded with an empty comment.
    const std::string author = "Tester\r\n";
    const size_t commentAt = static_cast<size_t>(std::search(good.begin(), good.end(), author.begin(), author.end()) - good.begin()) + author.size();
    std::vector<size_t> cuts = {0, 7, 8, 100, 519, 520, 523, 524, lengthAt, lengthAt + 12, commentAt - 1, commentAt - 2};
    for (size_t cut = 1; cut < commentAt; cut += commentAt / 97) cuts.push_back(cut);
    for (size_t cut : cuts) {
        ExpectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)), ("cut at " + std::to_string(cut)).c_str());
    }
    ASSERT_TRUE(LoadSongBytes(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(commentAt))));
    EXPECT_EQ(g_songComment, "");
    EXPECT_EQ(g_songAuthor, "Tester");
}

// The first staged block that cannot be had refuses the whole load with its
// message: the song keeps its samples and patterns.
TEST_F(SongFileTest, MemoryFailureRefusesTheWholeLoad) {
    const struct {
        bool withPattern;
        const char* message;
    } cases[] = {{false, "Failed to allocate memory for loading sample!"},
                 {true, "Failed to allocate memory for pattern!"}};
    for (const auto& c : cases) {
        ResetSong();
        if (c.withPattern) {
            ASSERT_TRUE(NewPattern());
        }
        SongBuilder().Sample(500, 100, "a.wav");
        const Bytes file = SaveSongBytes();
        NewSong();
        SongBuilder().Sample(20, 20, "old.wav");
        const Snapshot before = TakeSnapshot();
        boxes.clear();
        g_failBlockAllocations = 1;  // the first block the reader allocates
        EXPECT_FALSE(LoadSongBytes(file));
        g_failBlockAllocations = 0;
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
        ExpectSameSong(before, TakeSnapshot());
        EXPECT_EQ(g_sampleCount, 1u);
    }
}

// Values outside their ranges are brought into them on load.
TEST_F(SongFileTest, OutOfRangeValuesAreClampedOnLoad) {
    SongBuilder().Sample(100, 100, "s.wav");
    g_sampleLoopPoint[0] = 150;
    g_sampleRootKey[0] = 300;
    g_tempoDisplay = 1000;
    g_mixerSettings.volume[2] = 99;
    g_mixerSettings.master = -5;
    g_mixerSettings.pan[0] = 30;
    g_mixerSettings.pan[1] = -30;
    g_mixerSettings.send1[7] = 50;
    g_mixerSettings.send2[6] = -1;
    g_effectSettings.fxType[0] = 20;
    g_effectSettings.fxType[1] = 8;
    g_effectSettings.fxType[2] = 2;  // a delay: slider 1 is 1..16, slider 3 unused
    g_effectSettings.fxParam[2][0] = 0;
    g_effectSettings.fxParam[2][1] = 95;
    g_effectSettings.fxParam[2][2] = 7;
    g_effectSettings.fxSerial = 5;
    g_effectSettings.fxSerialAmount = 99;
    g_channelSound[3] = 150;
    g_channelPolyphony[4] = 40;
    g_channelPolyphony[5] = -1;
    g_knobSound[2] = 200;
    g_knobParam[2] = 40;
    g_songOrder[1] = kOrderJump;
    g_songOrderJump[1] = 250;
    g_soundBank[kParamOsc2SplitSet][4] = 40;
    g_soundBank[kParamChannel][4] = 0;
    g_soundBank[kParamFilterType][4] = 9;
    g_soundBank[kParamAmpGain][4] = 200;
    g_soundBank[kParamOsc1Sample][4] = 77;  // references pass as they are
    g_tweakLaneData[3][1000] = 200;

    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_EQ(g_sampleLoopPoint[0], 100u);
    EXPECT_EQ(g_sampleRootKey[0], 107u);
    EXPECT_EQ(g_tempoDisplay, 400u);
    EXPECT_EQ(g_mixerSettings.volume[2], 56);
    EXPECT_EQ(g_mixerSettings.master, 0);
    EXPECT_EQ(g_mixerSettings.pan[0], 20);
    EXPECT_EQ(g_mixerSettings.pan[1], -20);
    EXPECT_EQ(g_mixerSettings.send1[7], 40);
    EXPECT_EQ(g_mixerSettings.send2[6], 0);
    EXPECT_EQ(g_effectSettings.fxType[0], 11);
    EXPECT_EQ(g_effectSettings.fxType[1], 7);
    EXPECT_EQ(g_effectSettings.fxParam[2][0], 1);
    EXPECT_EQ(g_effectSettings.fxParam[2][1], 90);
    EXPECT_EQ(g_effectSettings.fxParam[2][2], 0);
    EXPECT_EQ(g_effectSettings.fxSerial, 1);
    EXPECT_EQ(g_effectSettings.fxSerialAmount, 40);
    EXPECT_EQ(g_channelSound[3], 99);
    EXPECT_EQ(g_channelPolyphony[4], 32);
    EXPECT_EQ(g_channelPolyphony[5], 0);
    EXPECT_EQ(g_knobSound[2], 99u);
    EXPECT_EQ(g_knobParam[2], 30u);
    EXPECT_EQ(g_songOrderJump[1], 199);
    EXPECT_EQ(g_soundBank[kParamOsc2SplitSet][4], 0);
    EXPECT_EQ(g_soundBank[kParamChannel][4], 1);
    EXPECT_EQ(g_soundBank[kParamFilterType][4], 5);
    EXPECT_EQ(g_soundBank[kParamAmpGain][4], 80);
    EXPECT_EQ(g_soundBank[kParamOsc1Sample][4], 77);
    EXPECT_EQ(g_tweakLaneData[3][1000], 80);

    g_tempoDisplay = 5;
    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_EQ(g_tempoDisplay, 40u);
}

// A name holding a line feed would end its text line early: it is written up
// to the line feed and the file stays in step.
TEST_F(SongFileTest, NamesAreWrittenUpToALineFeed) {
    g_soundNames[5] = "TWO\nLINES";
    g_songTitle = "A\nB";
    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_EQ(g_soundNames[5], "TWO");
    EXPECT_EQ(g_soundNames[6], "NOT USED");
    EXPECT_EQ(g_songTitle, "A");
    EXPECT_EQ(g_songAuthor, "N/A");
}

TEST_F(SongFileTest, AfterALoadTheEditorAndPanelStartOver) {
    g_curSound = 7;
    g_soundBank[kParamOsc1Tune][1] = 60;
    g_editStep = 5;
    g_cursorColumn = 9;
    g_firstTrack = 3;
    g_orderColumn = 1;
    g_orderCursor = 4;
    g_orderTop = 2;
    g_trackSongPos[0] = 6;
    g_trackRow[0] = 11;
    g_patternUndoCount = 3;
    g_patternFocus = 1;
    g_songInfoOnLoad = 0;
    const Bytes file = SaveSongBytes();
    g_soundBank[kParamOsc1Tune][1] = 0;

    ASSERT_TRUE(LoadSongBytes(file));
    EXPECT_EQ(g_curSound, 1u);
    EXPECT_EQ(g_liveKnobs[kParamOsc1Tune], 20);  // sound 1's bank value minus the bias
    for (uint32_t v : {g_editStep.load(), g_cursorColumn.load(), g_firstTrack.load(), g_orderColumn.load(),
                       g_orderCursor.load(), g_orderTop.load(), g_trackSongPos[0].load(), g_trackRow[0].load(),
                       g_patternUndoCount.load()}) {
        EXPECT_EQ(v, 0u);
    }
    EXPECT_EQ(g_patternFocus, 0);
    EXPECT_EQ(g_songInfoOnLoad, 1);
}

TEST_F(SongFileTest, VoiceCountAndStepsPerBeat) {
    // Pattern 0 uses tracks 0..15, the last pattern only track 0: 16 voices.
    ASSERT_TRUE(NewPattern());
    for (int t = 0; t < 16; ++t) g_patterns[0].load()[PatternIndex(t, 3, 5, 64)] = 240;
    g_patterns[1].load()[PatternIndex(0, 3, 0, 64)] = 12;
    g_patterns[1].load()[PatternIndex(20, 3, 0, 64)] = 241;  // not a note start
    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_EQ(g_songVoices, 16u);
    EXPECT_EQ(g_stepsPerBeat, 4u);

    // Notes on four tracks, the channel map reserving 8 + 8 voices: 16.
    g_patternLength = 24;
    ResetSong();
    ASSERT_TRUE(NewPattern());
    g_patterns[0].load()[PatternIndex(3, 3, 0, 24)] = 40;
    g_channelPolyphony[0] = 8;
    g_channelPolyphony[1] = 8;
    ASSERT_TRUE(LoadSongBytes(SaveSongBytes()));
    EXPECT_EQ(g_songVoices, 16u);
    EXPECT_EQ(g_stepsPerBeat, 6u);
}

TEST_F(SongFileTest, AutomationPanelOpensOnlyOutsideStartUpAndSoundModuleMode) {
    const struct {
        uint32_t automation;
        uint8_t startingUp;
        uint32_t moduleMode;
        int opened;
    } cases[] = {{1, 0, 0, 1}, {1, 1, 0, 0}, {1, 0, 1, 0}, {0, 0, 0, 0}};
    struct Hooks : RecordingUiHooks {
        void OpenAutomationPanel() override { ++opened; }
        int opened = 0;
    } hooks;
    SetUiHooks(&hooks);
    for (const auto& c : cases) {
        g_automationOn = c.automation;
        const Bytes file = SaveSongBytes();
        g_startingUp = c.startingUp;
        g_soundModuleMode = c.moduleMode;
        hooks.opened = 0;
        ASSERT_TRUE(LoadSongBytes(file));
        EXPECT_EQ(hooks.opened, c.opened) << c.automation << " " << int(c.startingUp) << " " << c.moduleMode;
    }
    SetUiHooks(&ui);
    g_startingUp = 0;
    g_soundModuleMode = 0;
}

}  // namespace
