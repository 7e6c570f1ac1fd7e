#include "shared/app_settings.h"

Relaxed<int32_t> g_soundModuleModePending{0};
Relaxed<int32_t> g_markBeats{1};
Relaxed<int32_t> g_followSong{1};
Relaxed<int32_t> g_setInstruments{1};
Relaxed<int32_t> g_trackerStyle{0};
Relaxed<int32_t> g_firstRun{kFirstRunMark};
Relaxed<int32_t> g_storeAutomatically{1};
Relaxed<int32_t> g_saveChanges{1};
Relaxed<int32_t> g_keepOnTop{0};
Relaxed<int32_t> g_windowLeft{-1};
Relaxed<int32_t> g_windowTop{-1};
WindowPosition g_autoDlgPos{64, 64};
WindowPosition g_oscDlgPos{256, 64};
Relaxed<int32_t> g_scopeOn{0};
Relaxed<int32_t> g_midiWritesSequencer{0};
std::string g_lastPresetFolder;
std::string g_lastSampleFolder;
std::string g_lastExportFolder;
Relaxed<int32_t> g_useCustomControllers{0};
Relaxed<int32_t> g_customControllerSet[kCustomControllers];

Relaxed<uint8_t> g_startingUp{1};
Relaxed<uint8_t> g_firstNewDone{0};
