#include "shared/transport.h"

#include "shared/render_call.h"

Relaxed<uint32_t*> g_renderOut{nullptr};
Relaxed<uint32_t> g_renderFrames{0};
Relaxed<uint32_t> g_renderPeriodPos{0};
Relaxed<uint8_t> g_renderBusy{0};

Relaxed<int32_t> g_engineReset{0};
Relaxed<uint32_t> g_songPlaying{0};
Relaxed<uint32_t> g_trackPlaying[kVoices];
Relaxed<uint32_t> g_trackSongPos[kVoices];
Relaxed<uint32_t> g_trackRow[kVoices];
Relaxed<int32_t> g_trackClockTicks[kVoices];
Relaxed<uint32_t> g_masterMute{0};
Relaxed<uint32_t> g_patternCue{0};
Relaxed<uint32_t> g_patternCueDone{0};
Relaxed<uint32_t> g_songMode{1};
Relaxed<uint32_t> g_playFlag{0};
Relaxed<uint32_t> g_stopFlag{0};
Relaxed<uint8_t> g_releaseDevicePending{0};
Relaxed<uint8_t> g_loopPattern{0};
Relaxed<uint32_t> g_playFromCursor{0};
Relaxed<uint32_t> g_midiStartPending{0};
Relaxed<uint32_t> g_clockCount{0};

Relaxed<uint32_t> g_captureOn{0};
Relaxed<uint32_t> g_captureArmed{0};
Relaxed<uint32_t> g_captureCloseCountdown{0};
