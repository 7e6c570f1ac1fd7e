// The settings store: the six sections and their 66 values, defaults at the
// first start, the write-back at exit and the read-back at the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/audio_device.h"
#include "host/render_paths.h"
#include "host/midi_ports.h"
#include "host/synth_app.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"

namespace {

const char* const kAudio = "Audio playback and MIDI settings";
const char* const kSeq = "Internal sequencer";
const char* const kMisc = "Miscellaneous";
const char* const kWin = "Windows";
const char* const kDirs = "Directory info";
const char* const kCtl = "MIDI Controllers";

struct Value {
    std::string section, name, defaultText;
};

// Every value in store order with its default as the file shows it.
std::vector<Value> AllValues() {
    std::vector<Value> v = {
        {kAudio, "Wave Out", ""},
        {kAudio, "MIDI In", ""},
        {kAudio, "MIDI Out", ""},
        {kAudio, "Buffer size", "11025"},
        {kAudio, "Polyphony", "5"},
        {kAudio, "Bass & treble boost", "1"},
        {kAudio, "Treble limiter", "0"},
        {kSeq, "MIDI sound module mode", "0"},
        {kSeq, "Mark minor & major beats", "1"},
        {kSeq, "Follow song position", "1"},
        {kSeq, "Free audiodev when stopped", "0"},
        {kSeq, "Preview Note", "1"},
        {kSeq, "Set instruments", "1"},
        {kSeq, "Tracker style", "0"},
        {kMisc, "First Run", "4660"},
        {kMisc, "Store automatically", "1"},
        {kMisc, "Save changes", "1"},
        {kWin, "Always on top", "0"},
        {kWin, "MainWin X", "-1"},
        {kWin, "MainWin Y", "-1"},
        {kWin, "AutoDlg X", "64"},
        {kWin, "AutoDlg Y", "64"},
        {kWin, "OscDlg X", "256"},
        {kWin, "OscDlg Y", "64"},
        {kWin, "Scope", "0"},
        {kWin, "MIDI write", "0"},
        {kDirs, "Presets", ""},
        {kDirs, "Samples", ""},
        {kDirs, "Exports", ""},
        {kCtl, "Usage", "0"},
    };
    for (int i = 0; i < 36; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "MCC%02d", i);
        v.push_back({kCtl, name, "0"});
    }
    return v;
}

// The file as (section, name) -> value, in file order.
struct Ini {
    std::vector<std::pair<std::string, std::string>> order;
    std::map<std::pair<std::string, std::string>, std::string> values;
};

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        out += s[i];
    }
    return out;
}

Ini ReadIni(const std::string& path) {
    Ini ini;
    std::ifstream in(path);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = Unescape(line.substr(1, line.size() - 2));
            continue;
        }
        size_t eq = line.find('=');
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '\\') ++i;
            else if (line[i] == '=') {
                eq = i;
                break;
            }
        }
        std::pair<std::string, std::string> key{section, Unescape(line.substr(0, eq))};
        ini.order.push_back(key);
        ini.values[key] = line.substr(eq + 1);
    }
    return ini;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("mc-settings-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        path_ = (dir_ / "settings.ini").string();
        g_deviceCount = 0;
        g_midiInNames.clear();
        g_midiOutNames.clear();
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // One run of the program as far as the settings go: read at start,
    // write back at exit.
    void Start(CSynthApp& app) {
        app.SetProfilePath(path_);
        app.LoadSettings();
    }
    void Exit(CSynthApp& app) {
        app.SaveSettings();
        app.FlushProfile();
    }
    void Store(const std::string& section, const std::string& name, const std::string& value) {
        CSynthApp writer;
        writer.SetProfilePath(path_);
        writer.WriteProfileString(section, name, value);
        writer.FlushProfile();
    }

    std::filesystem::path dir_;
    std::string path_;
};

}  // namespace

TEST_F(SettingsTest, FirstStartUsesEveryDefaultAndWritesAll66Values) {
    // Scramble the globals first: every one of them must come from the defaults.
    g_polyphony = 2;
    g_windowLeft = 7;
    g_lastSampleFolder = "x";
    g_customControllerSet[35] = 9;
    g_firstRun = 0;
    CSynthApp app;
    Start(app);
    EXPECT_EQ(uint32_t(g_polyphony), 5u);
    EXPECT_EQ(int32_t(g_windowLeft), -1);
    EXPECT_EQ(g_lastSampleFolder, "");
    EXPECT_EQ(int32_t(g_customControllerSet[35]), 0);
    EXPECT_EQ(int32_t(g_firstRun), 4660);
    EXPECT_EQ(int32_t(g_responseTime), 11025);  // no device kind: the waveOut maximum
    Exit(app);

    Ini ini = ReadIni(path_);
    const std::vector<Value> all = AllValues();
    ASSERT_EQ(all.size(), 66u);
    ASSERT_EQ(ini.order.size(), 66u);
    for (size_t i = 0; i < all.size(); ++i) {
        SCOPED_TRACE(all[i].name);
        EXPECT_EQ(ini.order[i], std::make_pair(all[i].section, all[i].name));  // sections and order
        EXPECT_EQ((ini.values[{all[i].section, all[i].name}]), all[i].defaultText);
    }
}

TEST_F(SettingsTest, SecondStartReadsEveryValueBack) {
    struct Stored {
        std::string section, name, text;
        std::function<std::string()> global;
    };
    auto num = [](auto& g) { return [&g] { return std::to_string(int32_t(g)); }; };
    const std::vector<Stored> stored = {
        {kAudio, "Buffer size", "4096", num(g_responseTime)},
        {kAudio, "Polyphony", "3", num(g_polyphony)},
        {kAudio, "Bass & treble boost", "0", num(g_bassTrebleEq)},
        {kAudio, "Treble limiter", "1", num(g_trebleLimiter)},
        {kSeq, "MIDI sound module mode", "0", num(g_soundModuleMode)},
        {kSeq, "Mark minor & major beats", "0", num(g_markBeats)},
        {kSeq, "Follow song position", "0", num(g_followSong)},
        {kSeq, "Free audiodev when stopped", "1", num(g_freeAudioDevWhenStopped)},
        {kSeq, "Preview Note", "0", num(g_previewNote)},
        {kSeq, "Set instruments", "0", num(g_setInstruments)},
        {kSeq, "Tracker style", "1", num(g_trackerStyle)},
        {kMisc, "First Run", "0", num(g_firstRun)},
        {kMisc, "Store automatically", "0", num(g_storeAutomatically)},
        {kMisc, "Save changes", "0", num(g_saveChanges)},
        {kWin, "Always on top", "1", num(g_keepOnTop)},
        {kWin, "MainWin X", "-20", num(g_windowLeft)},
        {kWin, "MainWin Y", "33", num(g_windowTop)},
        {kWin, "AutoDlg X", "10", num(g_autoDlgPos.x)},
        {kWin, "AutoDlg Y", "11", num(g_autoDlgPos.y)},
        {kWin, "OscDlg X", "12", num(g_oscDlgPos.x)},
        {kWin, "OscDlg Y", "13", num(g_oscDlgPos.y)},
        {kWin, "Scope", "1", num(g_scopeOn)},
        {kWin, "MIDI write", "1", num(g_midiWritesSequencer)},
        // Folders are kept verbatim: no variable expansion, no escapes.
        {kDirs, "Presets", "/home/u/$HOME/presets", [] { return g_lastPresetFolder; }},
        {kDirs, "Samples", " /a b\\c \"q\" ", [] { return g_lastSampleFolder; }},
        {kDirs, "Exports", "%APPDATA%/x", [] { return g_lastExportFolder; }},
        {kCtl, "Usage", "1", num(g_useCustomControllers)},
        {kCtl, "MCC00", "74", num(g_customControllerSet[0])},
        {kCtl, "MCC35", "7", num(g_customControllerSet[35])},
    };
    for (const Stored& s : stored) Store(s.section, s.name, s.text);
    g_previewOnly = 1;
    CSynthApp app;
    Start(app);
    for (const Stored& s : stored) EXPECT_EQ(s.global(), s.text) << s.name;
    EXPECT_EQ(g_previewOnly, 0);  // "Preview Note" 0 clears preview-only
    Exit(app);
    CSynthApp reader;
    reader.SetProfilePath(path_);
    for (const Stored& s : stored) EXPECT_EQ(reader.GetProfileString(s.section, s.name, "(missing)"), s.text) << s.name;
}

TEST_F(SettingsTest, LoadedValuesAreMadeSafe) {
    Store(kAudio, "Polyphony", "9");
    Store(kSeq, "MIDI sound module mode", "1");
    Store(kSeq, "Free audiodev when stopped", "1");
    Store(kWin, "MIDI write", "1");
    CSynthApp app;
    Start(app);
    EXPECT_EQ(uint32_t(g_polyphony), 5u);
    EXPECT_EQ(uint32_t(g_soundModuleMode), 1u);
    EXPECT_EQ(int32_t(g_soundModuleModePending), 1);
    EXPECT_EQ(uint32_t(g_freeAudioDevWhenStopped), 0u);
    EXPECT_EQ(int32_t(g_midiWritesSequencer), 0);
    // A new choice in Preferences changes only what is written.
    g_soundModuleModePending = 0;
    Exit(app);
    Ini ini = ReadIni(path_);
    EXPECT_EQ((ini.values[{kSeq, "MIDI sound module mode"}]), "0");
    EXPECT_EQ((ini.values[{kSeq, "Free audiodev when stopped"}]), "0");
    EXPECT_EQ((ini.values[{kWin, "MIDI write"}]), "0");
    EXPECT_EQ((ini.values[{kAudio, "Polyphony"}]), "5");
    EXPECT_EQ(uint32_t(g_soundModuleMode), 1u);

    Store(kAudio, "Polyphony", "-1");
    CSynthApp again;
    Start(again);
    EXPECT_EQ(uint32_t(g_polyphony), 5u);
}

TEST_F(SettingsTest, DevicesAndPortsAreFoundByName) {
    g_deviceCount = 4;
    g_deviceNames[0] = "Microsoft Wave Mapper";
    g_deviceNames[1] = "system";
    g_deviceNames[2] = "Primary Sound Driver";
    g_deviceNames[3] = "system (DirectX)";
    g_deviceIsDirectSound[0] = g_deviceIsDirectSound[1] = 0;
    g_deviceIsDirectSound[2] = g_deviceIsDirectSound[3] = 1;
    g_midiInNames = {"port", "keys", "port"};
    g_midiOutNames = {"out"};
    {
        // First start: the default DirectSound device at 100 ms; a stored
        // buffer size is not even read then.
        Store(kAudio, "Buffer size", "5000");
        CSynthApp app;
        Start(app);
        EXPECT_EQ(int32_t(g_waveOutDevice), 2);
        EXPECT_EQ(int32_t(g_responseTime), 20);
    }
    {
        // A stored DirectSound name without a buffer size: that kind's maximum.
        std::filesystem::remove(path_);
        Store(kAudio, "Wave Out", "system (DirectX)");
        Store(kAudio, "MIDI In", "port");
        Store(kAudio, "MIDI Out", "gone");
        CSynthApp app;
        Start(app);
        EXPECT_EQ(int32_t(g_waveOutDevice), 3);
        EXPECT_EQ(int32_t(g_responseTime), 23);
        EXPECT_EQ(int32_t(g_midiInDevice), 2);  // duplicates: the later one
        EXPECT_EQ(int32_t(g_midiOutDevice), 0);
        // The setting follows the device's name, not its place in the list.
        g_deviceNames[3] = "renamed";
        Exit(app);
        Ini ini = ReadIni(path_);
        EXPECT_EQ((ini.values[{kAudio, "Wave Out"}]), "renamed");
        EXPECT_EQ((ini.values[{kAudio, "MIDI In"}]), "port");
        EXPECT_EQ((ini.values[{kAudio, "MIDI Out"}]), "out");
    }
    {
        // Empty port lists: the ports are written as empty text.
        g_midiInNames.clear();
        g_midiOutNames.clear();
        CSynthApp app;
        Start(app);
        Exit(app);
        Ini ini = ReadIni(path_);
        EXPECT_EQ((ini.values[{kAudio, "MIDI In"}]), "");
        EXPECT_EQ((ini.values[{kAudio, "MIDI Out"}]), "");
    }
}

TEST_F(SettingsTest, StoreLivesUnderTheConfigFolder) {
    CSynthApp app;
    app.SetRegistryKey("Tarrowby Kinetic");
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    EXPECT_EQ(app.GetProfilePath(), (dir_ / "Tarrowby Kinetic" / "MorvelCanopy I.ini").string());
    ::unsetenv("XDG_CONFIG_HOME");
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dir_.c_str(), 1);
    EXPECT_EQ(app.GetProfilePath(), (dir_ / ".config" / "Tarrowby Kinetic" / "MorvelCanopy I.ini").string());
    ::setenv("HOME", home.c_str(), 1);
}
