// The application's settings kept in the settings store (besides the output
// settings of settings.h), and the start-up state that the document and the
// song reader consult. Each setting is read once at start-up and written back
// once at exit; the initial values are the stored values' defaults.
#pragma once

#include <cstdint>
#include <string>

#include "shared/relaxed.h"

inline constexpr int kCustomControllers = 36;
inline constexpr int32_t kFirstRunMark = 4660;  // "First Run" until the first start has shown the help

struct WindowPosition {
    Relaxed<int32_t> x;
    Relaxed<int32_t> y;
};

// "Internal sequencer"
extern Relaxed<int32_t> g_soundModuleModePending;  // chosen in Preferences, written at exit
extern Relaxed<int32_t> g_markBeats;
extern Relaxed<int32_t> g_followSong;
extern Relaxed<int32_t> g_setInstruments;
extern Relaxed<int32_t> g_trackerStyle;
// "Miscellaneous"
extern Relaxed<int32_t> g_firstRun;
extern Relaxed<int32_t> g_storeAutomatically;
extern Relaxed<int32_t> g_saveChanges;
// "Windows"
extern Relaxed<int32_t> g_keepOnTop;
extern Relaxed<int32_t> g_windowLeft;  // -1 with g_windowTop -1: never saved
extern Relaxed<int32_t> g_windowTop;
extern WindowPosition g_autoDlgPos;
extern WindowPosition g_oscDlgPos;
extern Relaxed<int32_t> g_scopeOn;
extern Relaxed<int32_t> g_midiWritesSequencer;
// "Directory info" (GUI thread only)
extern std::string g_lastPresetFolder;
extern std::string g_lastSampleFolder;
extern std::string g_lastExportFolder;
// "MIDI Controllers"
extern Relaxed<int32_t> g_useCustomControllers;
extern Relaxed<int32_t> g_customControllerSet[kCustomControllers];

// Start-up state.
extern Relaxed<uint8_t> g_startingUp;    // 1 until the end of the application's start
extern Relaxed<uint8_t> g_firstNewDone;  // set by the first File New and by the end of the start
