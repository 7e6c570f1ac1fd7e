// Helpers for the file format tests: songs saved to and loaded from memory, a
// snapshot of every global a song file holds, WAV files built byte by byte, and
// files in the test's temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/byte_order.h"
#include "data/song_file.h"
#include "shared/automation.h"
#include "shared/channel_map.h"
#include "shared/file_io.h"
#include "shared/mixer.h"
#include "shared/samples.h"
#include "shared/song.h"
#include "shared/song_info.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "tests/data/data_fixture.h"

namespace file_fixture {

using Bytes = std::vector<uint8_t>;

inline Bytes SaveSongBytes() {
    CMemFile mem;
    CArchive ar(&mem, CArchive::store);
    StoreSong(ar);
    return mem.Data();
}

inline bool LoadSongBytes(const Bytes& bytes) {
    CMemFile mem(bytes.data(), bytes.size());
    CArchive ar(&mem, CArchive::load);
    return LoadSong(ar);
}

// Bytes appended in file order.
class ByteWriter {
public:
    ByteWriter& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteWriter& U16(uint16_t v) {
        U8(static_cast<uint8_t>(v));
        return U8(static_cast<uint8_t>(v >> 8));
    }
    ByteWriter& U32(uint32_t v) {
        U16(static_cast<uint16_t>(v));
        return U16(static_cast<uint16_t>(v >> 16));
    }
    ByteWriter& Words(std::initializer_list<uint32_t> words) {
        for (uint32_t w : words) U32(w);
        return *this;
    }
    ByteWriter& Repeat(size_t n, uint32_t word) {
        for (size_t i = 0; i < n; ++i) U32(word);
        return *this;
    }
    ByteWriter& Text(const std::string& s) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        return *this;
    }
    ByteWriter& Line(const std::string& s) { return Text(s).Text("\r\n"); }
    ByteWriter& Raw(const Bytes& b) {
        bytes.insert(bytes.end(), b.begin(), b.end());
        return *this;
    }
    Bytes bytes;
};

// A canonical WAV file: RIFF header, 16-byte fmt chunk, the data chunk, and an
// optional "smpl" chunk with one loop.
struct WaveParams {
    uint16_t format = 1;
    uint16_t channels = 1;
    uint32_t rate = 44100;
    uint16_t bits = 16;
    std::vector<int16_t> values;  // interleaved for stereo
    std::optional<std::pair<uint32_t, uint32_t>> loop;  // start, end
    const char* wave = "WAVE";
};

inline Bytes WaveBytes(const WaveParams& w) {
    ByteWriter b;
    const uint32_t dataBytes = static_cast<uint32_t>(2 * w.values.size());
    b.Text("RIFF").U32(0).Text(w.wave).Text("fmt ").U32(16);
    b.U16(w.format).U16(w.channels).U32(w.rate).U32(w.rate * 2 * w.channels);
    b.U16(static_cast<uint16_t>(2 * w.channels)).U16(w.bits);
    b.Text("data").U32(dataBytes);
    for (int16_t v : w.values) b.U16(static_cast<uint16_t>(v));
    if (w.loop) {
        b.Text("smpl").U32(60).Repeat(7, 0).U32(1).U32(0).U32(0).U32(0);
        b.U32(w.loop->first).U32(w.loop->second).U32(0).U32(0);
    }
    PutU32(b.bytes.data() + 4, static_cast<uint32_t>(b.bytes.size() - 8));
    return b.bytes;
}

// Files made in the temporary folder, removed when the test process ends.
struct TempFiles {
    ~TempFiles() {
        std::error_code ignored;
        for (const std::string& path : paths) std::filesystem::remove(path, ignored);
    }
    std::vector<std::string> paths;
};
inline TempFiles g_tempFiles;

// A path in the temporary folder that no other test (or test process) uses.
inline std::string TempPath(const std::string& name) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string prefix = std::to_string(::getpid()) + "-";
    if (test != nullptr) prefix += std::string(test->test_suite_name()) + "." + test->name() + "-";
    std::string path = ::testing::TempDir() + prefix + name;
    g_tempFiles.paths.push_back(path);
    return path;
}

inline std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
    return path;
}

inline Bytes ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every global a song file holds, by name.
struct Field {
    std::string name;
    std::vector<int64_t> values;
    std::string text;
};
using Snapshot = std::vector<Field>;

inline Snapshot TakeSnapshot() {
    Snapshot s;
    const auto add = [&s](std::string name, std::vector<int64_t> v, std::string text = {}) {
        s.push_back({std::move(name), std::move(v), std::move(text)});
    };
    add("header words", {g_songHeaderWords[0], g_songHeaderWords[1]});
    add("timing", {g_tempoDisplay, g_patternLength, g_doubleStepsPerBeat, g_songMode, g_patternCue});
    const EffectSettings& e = g_effectSettings;
    std::vector<int64_t> fx = {e.fxType[0], e.fxType[1], e.fxType[2], e.fxSerial, e.fxSerialAmount};
    for (const auto& unit : e.fxParam)
        for (const auto& v : unit) fx.push_back(v);
    add("effects", fx);
    std::vector<int64_t> mixer;
    for (int b = 0; b < kBuses; ++b) {
        mixer.insert(mixer.end(), {g_mixerSettings.volume[b], g_mixerSettings.pan[b], g_mixerSettings.send1[b],
                                   g_mixerSettings.send2[b], g_volumeOverrides.bus[b]});
    }
    mixer.push_back(g_mixerSettings.master);
    add("mixer", mixer);
    std::vector<int64_t> knobs = {g_automationOn};
    for (int k = 0; k < kAutomationKnobs; ++k) knobs.insert(knobs.end(), {g_knobEnabled[k], g_knobSound[k], g_knobParam[k]});
    add("automation knobs", knobs);
    std::vector<int64_t> channels;
    for (int c = 0; c < kMidiChannels; ++c) channels.insert(channels.end(), {g_channelSound[c], g_channelPolyphony[c]});
    add("channel map", channels);
    add("order", std::vector<int64_t>(std::begin(g_songOrder), std::end(g_songOrder)));
    add("jumps", std::vector<int64_t>(std::begin(g_songOrderJump), std::end(g_songOrderJump)));
    add("pattern count", {g_patternCount});
    for (uint32_t p = 0; p < g_patternCount; ++p) {
        const uint8_t* pattern = g_patterns[p];
        add("pattern " + std::to_string(p), std::vector<int64_t>(pattern, pattern + 128 * g_patternLength));
    }
    for (int i = 0; i < kSounds; ++i) add("sound name " + std::to_string(i), {}, g_soundNames[i]);
    for (int p = 0; p < kSoundParams; ++p)
        add("bank " + std::to_string(p), std::vector<int64_t>(g_soundBank[p], g_soundBank[p] + kSounds));
    add("split samples", std::vector<int64_t>(std::begin(g_splitSample), std::end(g_splitSample)));
    add("split transposes", std::vector<int64_t>(std::begin(g_splitTranspose), std::end(g_splitTranspose)));
    add("sample count", {g_sampleCount});
    for (uint32_t i = 0; i < g_sampleCount; ++i) {
        const int16_t* d = g_sampleData[i];
        std::vector<int64_t> v = {g_sampleLength[i], g_sampleLoopPoint[i], g_sampleRootKey[i]};
        v.insert(v.end(), d, d + g_sampleLength[i] + 1);
        add("sample " + std::to_string(i), v, g_sampleName[i]);
    }
    for (int k = 0; k < kAutomationKnobs; ++k)
        add("lane " + std::to_string(k), std::vector<int64_t>(g_tweakLaneData[k], g_tweakLaneData[k] + kLaneBytes));
    add("song information", {g_showInfoOnOpen}, g_songTitle + "|" + g_songAuthor + "|" + g_songComment);
    return s;
}

inline void ExpectSameSong(const Snapshot& want, const Snapshot& got) {
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(want[i].name, got[i].name);
        EXPECT_EQ(want[i].values, got[i].values) << want[i].name;
        EXPECT_EQ(want[i].text, got[i].text) << want[i].name;
    }
}

}  // namespace file_fixture
