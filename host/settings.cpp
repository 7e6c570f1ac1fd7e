// The settings store: every value read once at start-up with its default, and
// written back once at exit, in the same order, section by section.
#include <string>

#include "host/audio_device.h"
#include "host/render_paths.h"
#include "host/midi_ports.h"
#include "host/synth_app.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"

namespace {

// One integer value of the store: section, name, default, and where it lives.
struct IntSetting {
    UINT section;
    const char* name;
    int32_t defaultValue;
    int32_t (*get)();
    void (*set)(int32_t);
};

#define MC_SETTING(section, name, def, global)                                 \
    IntSetting {                                                               \
        section, name, def, [] { return int32_t(global); },                   \
            [](int32_t v) { global = static_cast<decltype(global.load())>(v); } \
    }

// Values 5 to 66 in store order ("Buffer size", value 4, is read on its own).
const IntSetting* IntSettings(size_t& count) {
    static const IntSetting table[] = {
        MC_SETTING(IDS_SECTION_AUDIO, "Polyphony", 5, g_polyphony),
        MC_SETTING(IDS_SECTION_AUDIO, "Bass & treble boost", 1, g_bassTrebleEq),
        MC_SETTING(IDS_SECTION_AUDIO, "Treble limiter", 0, g_trebleLimiter),
        // Read into the running mode and the pending choice; written from the pending choice.
        IntSetting{IDS_SECTION_SEQUENCER, "MIDI sound module mode", 0, [] { return int32_t(g_soundModuleModePending); },
                   [](int32_t v) {
                       g_soundModuleMode = uint32_t(v);
                       g_soundModuleModePending = v;
                   }},
        MC_SETTING(IDS_SECTION_SEQUENCER, "Mark minor & major beats", 1, g_markBeats),
        MC_SETTING(IDS_SECTION_SEQUENCER, "Follow song position", 1, g_followSong),
        MC_SETTING(IDS_SECTION_SEQUENCER, "Free audiodev when stopped", 0, g_freeAudioDevWhenStopped),
        MC_SETTING(IDS_SECTION_SEQUENCER, "Preview Note", 1, g_previewNote),
        MC_SETTING(IDS_SECTION_SEQUENCER, "Set instruments", 1, g_setInstruments),
        MC_SETTING(IDS_SECTION_SEQUENCER, "Tracker style", 0, g_trackerStyle),
        MC_SETTING(IDS_SECTION_MISC, "First Run", kFirstRunMark, g_firstRun),
        MC_SETTING(IDS_SECTION_MISC, "Store automatically", 1, g_storeAutomatically),
        MC_SETTING(IDS_SECTION_MISC, "Save changes", 1, g_saveChanges),
        MC_SETTING(IDS_SECTION_WINDOWS, "Always on top", 0, g_keepOnTop),
        MC_SETTING(IDS_SECTION_WINDOWS, "MainWin X", -1, g_windowLeft),
        MC_SETTING(IDS_SECTION_WINDOWS, "MainWin Y", -1, g_windowTop),
        MC_SETTING(IDS_SECTION_WINDOWS, "AutoDlg X", 64, g_autoDlgPos.x),
        MC_SETTING(IDS_SECTION_WINDOWS, "AutoDlg Y", 64, g_autoDlgPos.y),
        MC_SETTING(IDS_SECTION_WINDOWS, "OscDlg X", 256, g_oscDlgPos.x),
        MC_SETTING(IDS_SECTION_WINDOWS, "OscDlg Y", 64, g_oscDlgPos.y),
        MC_SETTING(IDS_SECTION_WINDOWS, "Scope", 0, g_scopeOn),
        MC_SETTING(IDS_SECTION_WINDOWS, "MIDI write", 0, g_midiWritesSequencer),
    };
    count = sizeof table / sizeof table[0];
    return table;
}

struct TextSetting {
    const char* name;
    std::string* global;
};
const TextSetting kFolders[] = {
    {"Presets", &g_lastPresetFolder},
    {"Samples", &g_lastSampleFolder},
    {"Exports", &g_lastExportFolder},
};

std::string ControllerName(int i) {
    char name[8];
    std::snprintf(name, sizeof name, "MCC%02d", i);
    return name;
}

std::string NameAt(const std::string* names, int32_t count, int32_t index) {
    return index >= 0 && index < count ? names[index] : std::string();
}

}  // namespace

void CSynthApp::LoadSettings() {
    const std::string audio = LoadResString(IDS_SECTION_AUDIO);

    // The output device by its stored name; else the default DirectSound-style
    // device with a 100 ms response; else entry 0.
    g_waveOutDevice = 0;
    const std::string waveOut = GetProfileString(audio, "Wave Out", "");
    bool found = false;
    for (int32_t i = 0; i < g_deviceCount && !found; ++i)
        if (g_deviceNames[i] == waveOut) {
            g_waveOutDevice = i;
            found = true;
        }
    bool bufferSizeSet = false;
    if (!found)
        for (int32_t i = 0; i < g_deviceCount; ++i)
            if (g_deviceNames[i] == "Primary Sound Driver") {
                g_waveOutDevice = i;
                g_responseTime = 20;
                bufferSizeSet = true;
                break;
            }

    // MIDI ports: with duplicate names the last one wins.
    g_midiInDevice = 0;
    const std::string midiIn = GetProfileString(audio, "MIDI In", "");
    for (size_t i = 0; i < g_midiInNames.size(); ++i)
        if (g_midiInNames[i] == midiIn) g_midiInDevice = int32_t(i);
    g_midiOutDevice = 0;
    const std::string midiOut = GetProfileString(audio, "MIDI Out", "");
    for (size_t i = 0; i < g_midiOutNames.size(); ++i)
        if (g_midiOutNames[i] == midiOut) g_midiOutDevice = int32_t(i);

    if (!bufferSizeSet) {
        const int32_t device = g_waveOutDevice;
        const int kind = device >= 0 && device < g_deviceCount && g_deviceIsDirectSound[device] ? 1 : 0;
        g_responseTime = GetProfileInt(audio, "Buffer size", g_responseMax[kind]);
    }

    size_t count = 0;
    const IntSetting* table = IntSettings(count);
    for (size_t i = 0; i < count; ++i)
        table[i].set(GetProfileInt(LoadResString(table[i].section), table[i].name, table[i].defaultValue));
    const std::string dirs = LoadResString(IDS_SECTION_DIRS);
    for (const TextSetting& t : kFolders) *t.global = GetProfileString(dirs, t.name, "");
    const std::string controllers = LoadResString(IDS_SECTION_CONTROLLERS);
    g_useCustomControllers = GetProfileInt(controllers, "Usage", 0);
    for (int i = 0; i < kCustomControllers; ++i) g_customControllerSet[i] = GetProfileInt(controllers, ControllerName(i), 0);

    if (g_soundModuleMode) {
        g_freeAudioDevWhenStopped = 0;
        g_midiWritesSequencer = 0;
    }
    if (g_polyphony > 5) g_polyphony = 5;  // also a negative value read into the unsigned word
    if (g_previewNote == 0) g_previewOnly = 0;
}

void CSynthApp::SaveSettings() {
    const std::string audio = LoadResString(IDS_SECTION_AUDIO);
    WriteProfileString(audio, "Wave Out", NameAt(g_deviceNames, g_deviceCount, g_waveOutDevice));
    WriteProfileString(audio, "MIDI In",
                       NameAt(g_midiInNames.data(), int32_t(g_midiInNames.size()), g_midiInDevice));
    WriteProfileString(audio, "MIDI Out",
                       NameAt(g_midiOutNames.data(), int32_t(g_midiOutNames.size()), g_midiOutDevice));
    WriteProfileInt(audio, "Buffer size", g_responseTime);
    size_t count = 0;
    const IntSetting* table = IntSettings(count);
    for (size_t i = 0; i < count; ++i) WriteProfileInt(LoadResString(table[i].section), table[i].name, table[i].get());
    const std::string dirs = LoadResString(IDS_SECTION_DIRS);
    for (const TextSetting& t : kFolders) WriteProfileString(dirs, t.name, *t.global);
    const std::string controllers = LoadResString(IDS_SECTION_CONTROLLERS);
    WriteProfileInt(controllers, "Usage", g_useCustomControllers);
    for (int i = 0; i < kCustomControllers; ++i) WriteProfileInt(controllers, ControllerName(i), g_customControllerSet[i]);
}
