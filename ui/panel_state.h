// State the panel painting reads besides the song and sound data: the pressed
// states of the panel's buttons (set by the mouse handlers), the MIDI activity
// counters that light the top bar's lamps, and the kept values against which
// UpdatePanel and UpdateTopBar decide what changed.
#pragma once

#include <cstdint>
#include <string>

#include "host/midi_state.h"  // the MIDI lamps' counters and knob transmission
#include "shared/relaxed.h"

// Top-bar buttons, 1 = drawn pressed: song information, samples, sample splits,
// effects, preferences, MIDI mapper, automation (knob transmission in the
// sound-module layout), oscilloscope, stop.
inline constexpr int kTopBarButtons = 9;
extern Relaxed<int32_t> g_topBarButtons[kTopBarButtons];
extern Relaxed<int32_t> g_stopButtonState;     // top-bar stop held
extern Relaxed<int32_t> g_tempoButtonState;    // 1 up held, 2 down held
extern Relaxed<int32_t> g_channelButtonState;  // output channel step buttons, 1 up, 2 down
extern Relaxed<int32_t> g_soundButtonState;    // sound number step buttons, 1 up, 2 down
extern Relaxed<int32_t> g_storeButtonState;    // program store held
// The current sound was changed since it was loaded (its name included);
// enables "Undo changes". Cleared by that command and when another sound is chosen.
extern Relaxed<int32_t> g_soundEdited;

// The pressed control: the address of the live word it edits (a live knob, a
// mixer setting, g_curSound, the panel tempo, the output channel), null when no
// control is pressed. The MIDI handler compares it to ignore a controller for
// the value under the mouse. g_activeValue is the working value (the value tip
// shows it).
extern Relaxed<void*> g_activeValuePtr;
extern Relaxed<int32_t> g_activeValue;
// Auto-repeat of a held up/down button, stepped by the view's timer.
extern Relaxed<uint8_t> g_repeatActive;
extern Relaxed<int32_t> g_repeatDelay;      // ticks before the first repeat step
extern Relaxed<int32_t> g_repeatDirection;  // 1 up, any other value down
extern Relaxed<int32_t> g_repeatMax;
extern Relaxed<int32_t> g_repeatMin;

// Kept values, one word per panel element, all 0 at start. Storing a value an
// element never takes (255) makes the next UpdatePanel redraw it.
enum PanelCacheSlot : int {
    kCacheKnobs = 0,                   // 35 knobs of the synthesizer section
    kCacheSelectors = 35,              // 7 selectors
    kCacheToggles = 42,                // 6 toggles
    kCacheLamps = 48,                  // 5 section lamps
    kCacheChannelButtons = 53,         // output-channel step buttons' state
    kCacheSoundButtons,                // sound-number step buttons' state
    kCacheStoreButton,                 // program store button
    kCacheTempoButtons,                // tempo step buttons
    kCacheOutputChannel,               // output-channel digits
    kCacheSoundNumber,                 // sound-number digits and the sound name
    kCacheTempo,                       // tempo digits (and the engine's tempo)
    kCacheFaders,                      // 9 faders: buses 0..7, master
    kCacheMeters = kCacheFaders + 9,   // 10 meters, in g_meterLevels order
    kCachePans = kCacheMeters + 10,    // 8 pan knobs
    kCacheSends1 = kCachePans + 8,     // 8 first sends
    kCacheSends2 = kCacheSends1 + 8,   // 8 second sends
    kPanelCacheSize = kCacheSends2 + 8
};
extern int32_t g_panelCache[kPanelCacheSize];
// The sound name as UpdatePanel last drew it. The name is compared as text, so
// a name that changes under the same sound number (a paste, an undo, a loaded
// instrument, a rename) is drawn at the next update.
extern std::string g_shownSoundName;

// Shown states of the top bar (UpdateTopBar) and the mixer's channel buttons.
extern int32_t g_shownPlayFlag;
extern int32_t g_shownStopButton;
extern int32_t g_shownSongMode;
extern int32_t g_shownPatternCue;
extern int32_t g_shownMidiActivity;
extern int32_t g_shownMidiOutActivity;
extern int32_t g_shownTopBarButtons[kTopBarButtons];
extern int32_t g_shownChannelButtons[9];
