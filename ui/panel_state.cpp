#include "ui/panel_state.h"

Relaxed<int32_t> g_topBarButtons[kTopBarButtons];
Relaxed<int32_t> g_stopButtonState{0};
Relaxed<int32_t> g_tempoButtonState{0};
Relaxed<int32_t> g_channelButtonState{0};
Relaxed<int32_t> g_soundButtonState{0};
Relaxed<int32_t> g_storeButtonState{0};
Relaxed<int32_t> g_soundEdited{0};

Relaxed<void*> g_activeValuePtr{nullptr};
Relaxed<int32_t> g_activeValue{0};
Relaxed<uint8_t> g_repeatActive{0};
Relaxed<int32_t> g_repeatDelay{0};
Relaxed<int32_t> g_repeatDirection{0};
Relaxed<int32_t> g_repeatMax{0};
Relaxed<int32_t> g_repeatMin{0};

int32_t g_panelCache[kPanelCacheSize] = {};
std::string g_shownSoundName;
int32_t g_shownPlayFlag = 0;
int32_t g_shownStopButton = 0;
int32_t g_shownSongMode = 0;
int32_t g_shownPatternCue = 0;
int32_t g_shownMidiActivity = 0;
int32_t g_shownMidiOutActivity = 0;
int32_t g_shownTopBarButtons[kTopBarButtons] = {};
int32_t g_shownChannelButtons[9] = {};
