// Shared set-up of the sample dialog tests: an empty sample store and a sound
// bank whose oscillators use no sample, samples put straight into the store,
// WAV files written into the test's folder, a clipboard held in memory, and
// scripts that run the sample dialogs.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/sample_store.h"
#include "data/song_memory.h"
#include "data/song_reset.h"
#include "data/wave_file.h"
#include "platform/clipboard.h"
#include "platform/controls.h"
#include "res/resource_ids.h"
#include "shared/constants.h"
#include "shared/editor.h"
#include "shared/samples.h"
#include "shared/sound_bank.h"
#include "tests/data/file_fixture.h"
#include "tests/gui/gui_fixture.h"
#include "ui/sample_organizer_dlg.h"

// A clipboard in memory: a test may make it refuse to open, to empty or to
// take data.
struct MemoryClipboard : ClipboardBackend {
    bool Open() override { return canOpen; }
    void Close() override {}
    bool Empty() override {
        if (!canEmpty) return false;
        hasWave = false;
        bytes.clear();
        return true;
    }
    bool SetWave(std::vector<uint8_t> b) override {
        if (!canSet) return false;
        bytes = std::move(b);
        hasWave = true;
        return true;
    }
    bool GetWave(std::vector<uint8_t>& b) override {
        if (!hasWave) return false;
        b = bytes;
        return true;
    }
    bool HasWave() override { return hasWave; }

    bool canOpen = true, canEmpty = true, canSet = true;
    bool hasWave = false;
    std::vector<uint8_t> bytes;
};

inline std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class SampleDialogTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ResetSong();
        WaitForEngineOutside();
        for (uint32_t s = 0; s < kSampleSlots; ++s) {
            g_sampleName[s].clear();
            g_sampleRootKey[s] = 0;
        }
        for (int sound = 0; sound < kSounds; ++sound) {
            for (SoundParam p : {kParamOsc1Wave, kParamOsc2On, kParamOsc2Wave, kParamOsc3On, kParamOsc3Wave,
                                 kParamOsc1SplitSet, kParamOsc2SplitSet, kParamOsc3SplitSet})
                g_soundBank[p][sound] = 0;
            for (SoundParam p : {kParamOsc1Sample, kParamOsc2Sample, kParamOsc3Sample}) g_soundBank[p][sound] = 255;
        }
        g_curSound = 1;
        g_docModified = 0;
        g_currentSample = -1;
        g_organizerQuickLoad = 0;
        g_lastSampleFolder = dir_.string();
        SetClipboardBackend(&clipboard);
    }
    void TearDown() override {
        SetClipboardBackend(nullptr);
        ResetSong();
        GuiTest::TearDown();
    }

    // Appends a sample whose frame i is i * 7 + seed.
    static void AddSample(const std::string& name, uint32_t length, uint32_t loop, uint32_t rootKey = 48,
                          int seed = 0) {
        const uint32_t slot = g_sampleCount;
        SampleBlock block = SampleBlock::Allocate(length);
        for (uint32_t i = 0; i < length; ++i) block.data()[i] = static_cast<int16_t>(i * 7 + seed);
        ASSERT_TRUE(InstallSample(slot, std::move(block), loop));
        g_sampleName[slot] = name;
        g_sampleRootKey[slot] = rootKey;
        g_sampleCount = slot + 1;
    }
    static void AddSamples(uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) AddSample("s" + std::to_string(i) + ".wav", 4, 4);
    }

    // A mono 16-bit WAV file of frames 1..length in the test folder.
    std::string WriteWave(const std::string& name, uint32_t length, uint32_t rate = 22050) {
        file_fixture::WaveParams w;
        w.rate = rate;
        for (uint32_t i = 0; i < length; ++i) w.values.push_back(static_cast<int16_t>(i + 1));
        return WriteBytes(name, file_fixture::WaveBytes(w));
    }
    std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Runs the organizer with a script (ahead of the scripts already queued for
    // the dialogs it opens); returns DoModal's result.
    int RunOrganizer(std::function<void(CSampleOrganizerDlg&)> script) {
        dialogScripts.push_front([script](CDialog& d) { script(static_cast<CSampleOrganizerDlg&>(d)); });
        CSampleOrganizerDlg dlg;
        return dlg.DoModal();
    }

    static std::vector<std::string> Row(CSampleOrganizerDlg& o, int row) {
        std::vector<std::string> cells;
        for (int c = 0; c < 4; ++c) cells.push_back(o.m_sampleList.GetItemText(row, c));
        return cells;
    }
    static bool Enabled(CDialog& d, int id) { return d.GetDlgItem(id) && d.GetDlgItem(id)->IsWindowEnabled(); }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> t;
        for (const Box& b : boxes) t.push_back(b.text);
        return t;
    }

    MemoryClipboard clipboard;
};
