// The view's 40 ms heartbeat: the one place where the window catches up with
// what the render threads, the MIDI input and the other windows changed.
//
// Every tick runs these steps in this order, each whatever the others did:
// the capture close and finish; the release of the audio device once a stop's
// fade-out in "Free audiodev when stopped" mode is quiet; the document's
// modified byte passed on to the framework; one step of a held up/down button;
// the meters held at 0 during an export; the MIDI lamps falling; the pattern
// grid and the order list repainted when the play position or the playing
// state changed (and only then); the panel and the top bar; the meters falling.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

// The play position last shown: track 0's row and song position, and
// g_songPlaying. Writing -10 into g_lastShownRow repaints the grid at the next
// tick.
extern Relaxed<int32_t> g_lastShownRow;
extern Relaxed<uint32_t> g_lastShownSongPos;
extern Relaxed<uint32_t> g_lastShownPlaying;

// What one tick asks of the view.
class ViewTimerTarget {
public:
    virtual void ShowPatternGrid() = 0;
    virtual void ShowSongOrderList() = 0;
    virtual void UpdatePanel() = 0;
    virtual void UpdateTopBar() = 0;
    // The document's modified flag, as the framework keeps it.
    virtual void SetDocumentModified(bool modified) = 0;

protected:
    ~ViewTimerTarget() = default;
};

// Master gain below which a pending device release goes ahead.
inline constexpr uint32_t kQuietMasterGain = 0x80000;

// One tick of the view's timer (GUI thread).
void ViewTimerTick(ViewTimerTarget& view);
