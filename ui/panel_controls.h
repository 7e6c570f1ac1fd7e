// The panel's controls: every knob, fader, switch, selector display and button
// of the synthesizer and mixer sections is an inclusive rectangle (a point hits
// when left <= x <= right and top <= y <= bottom) in one of two constant tables,
// with the live word it edits and its kind.
//
// g_panelControls (64 rows) is in synthesizer-section coordinates, whose origin
// lies at (g_panelX, g_panelY) in the view, except the four top-bar rows (tempo
// steps, play, stop), which are in view coordinates. g_mixerControls (44 rows)
// is in mixer space: a view point (x, y) becomes (x + g_mixerShiftX,
// y - g_lowerPanelY + 336). Both are scanned in row order and every row that
// holds the point is handled: row 57 (FILTER kbd) lies inside the sixth cell of
// row 37 (FILTER mode), and rows 61 and 62 (play, stop) share the column x = 47.
//
// A target is the address of the live word: a live knob (g_liveKnobs, indexed
// by SoundParam), a field of g_mixerSettings (the same addresses as the
// controllable-knob table g_paramValuePtrs), a volume override, g_songMode,
// g_patternCue, g_curSound, g_tempoDisplay, or a button's state word; null for
// the inert AMPLIFIER strip and the sound-name strip. ui/active_value.h reads
// and writes them.
#pragma once

#include <array>
#include <cstdint>

enum PanelControlKind : int32_t {
    kCtlTransport = 0,    // play or stop (normal layouts only)
    kCtlBipolarKnob = 1,  // drag, -40 .. 40
    kCtlKnob = 2,         // drag, 0 .. 80
    kCtlSelector = 3,     // value from the 21 x 11 cell pressed
    kCtlSelector5 = 4,    // as kCtlSelector; the sixth cell sets nothing
    kCtlToggle = 5,       // flips 0 and 1
    kCtlStepUp = 6,       // one step up, then auto-repeat
    kCtlStepDown = 7,     // one step down, then auto-repeat
    kCtlStore = 8,        // keep the sound's edits at the next sound change
    kCtlSoundName = 9,    // the sound-name dialog
    kCtlPanKnob = 10,     // drag, -20 .. 20
    kCtlSendKnob = 11,    // drag, 0 .. 40
    kCtlFader = 12,       // step toward the press or drag the handle, 0 .. 56
    kCtlMixerToggle = 13  // flips 0 and 1, no MIDI
};

struct PanelControl {
    int32_t left, top, right, bottom;
    void* target;
    int32_t kind;

    constexpr bool Contains(int32_t x, int32_t y) const {
        return left <= x && x <= right && top <= y && y <= bottom;
    }
};

inline constexpr int kPanelControlRows = 64;
inline constexpr int kMixerControlRows = 44;
extern const std::array<PanelControl, kPanelControlRows> g_panelControls;
extern const std::array<PanelControl, kMixerControlRows> g_mixerControls;

// Rows of g_panelControls the press treats specially.
inline constexpr int kRowOsc1Wave = 34;  // the three oscillator waveforms: 34, 35, 36
inline constexpr int kRowOsc2Strip = 47;
inline constexpr int kRowOsc3Strip = 48;
// Rows in view coordinates (the top bar): tempo up and down, play, stop.
bool PanelRowInViewCoordinates(int row);

// Mixer space from the view's coordinates.
inline constexpr int32_t kMixerSpaceTop = 336;
int32_t MixerSpaceX(int32_t viewX);
int32_t MixerSpaceY(int32_t viewY);

// The view rectangle's left and top of a synthesizer row.
int32_t PanelRowViewLeft(int row);
int32_t PanelRowViewTop(int row);
