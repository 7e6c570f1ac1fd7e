// A press and a release of the left mouse button on the panel view, as routines
// that run without a window: the view hands them itself as a PanelView, tests
// hand them a recorder.
//
// A press captures the mouse whatever it hits, then: a top-bar button (strict
// bounds, every layout) ends it; otherwise every row of the synthesizer table
// that holds the point acts by its kind; then, in the normal and large
// layouts, a press on the pattern grid places the cursor and ends it; then the
// point goes to mixer space, where the song-order display (normal and large
// layouts) takes the focus and ends it, and else every mixer row that holds it
// acts. A double click is a second press.
//
// A release (also any mouse move without the left button) ends whatever the
// press started: the capture, the tip, a drag, an auto-repeat and the pressed
// buttons' states.
//
// What marks what: a knob drag, FILTER mode, a toggle and an output-channel step
// set g_soundEdited and mark the document while "Store automatically" is on; a
// selector sets it and always marks; a sound-number step clears it and marks
// only when the store button had been pressed; a tempo step marks when the tempo
// changed (it is saved with the song); the store button, a fader step and a
// mixer toggle always mark; the sound name sets it and marks.
#pragma once

#include <cstdint>
#include <string>

#include "shared/relaxed.h"

// What a press asks of the view.
class PanelView {
public:
    virtual ~PanelView() = default;
    virtual void UpdatePanel() = 0;
    virtual void UpdateTopBar() = 0;
    virtual void ShowPatternGrid() = 0;
    virtual void ShowSongOrderList() = 0;
    // The document's modified flag (CDocument::SetModifiedFlag).
    virtual void SetModifiedFlag(bool modified) = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;

    // The top bar's commands.
    virtual void OnFileSongInfo() = 0;
    virtual void OnSoundsSamples() = 0;
    virtual void OnSoundsSampleSplits() = 0;
    virtual void OnSoundsEffects() = 0;
    virtual void OnOptionsPreferences() = 0;
    virtual void OnOptionsMidiMapper() = 0;
    virtual void OnOptionsAutomation() = 0;
    virtual void OnOptionsOscilloscope() = 0;
    virtual void OnOptionsTransmitTweaks() = 0;
    // The sound-name dialog on the current sound's name (EditSoundName).
    virtual void EditSoundName() = 0;
    // The select-sample dialog, modal, on g_selectedSampleOrSplit.
    virtual void RunSelectSampleDialog() = 0;

    // The value tip: whether its window exists; placed with its top-left
    // corner at (x, y) of the view's coordinates, 32 x 15, and shown without
    // taking the focus; hidden; its text.
    virtual bool ValueTipExists() = 0;
    virtual void ShowValueTip(int x, int y) = 0;
    virtual void HideValueTip() = 0;
    virtual void SetValueTipText(const std::string& text) = 0;
};

// Per-press state (GUI thread).
extern int32_t g_panelDragKind;       // kind of the pressed control
extern uint8_t g_panelDragActive;     // a knob or fader drag is under way
extern int32_t g_panelDragStartX;     // press point (mixer rows: in mixer space)
extern int32_t g_panelDragStartY;
extern int32_t g_panelDragStartValue; // the dragged value at the press
// The store button was pressed: the next sound-number step keeps the edits.
extern Relaxed<uint8_t> g_keepSoundEdits;

// Marks the document: the modified flag takes the "Save changes" setting.
void MarkPanelDocument(PanelView& view);
// Marks the sound: g_soundEdited = 1 and, while "Store automatically" is on,
// the document.
void MarkPanelSound(PanelView& view);

// One press of the left button at (x, y) of the view.
void PanelButtonDown(PanelView& view, int32_t x, int32_t y);
// The release; the point is not used.
void PanelButtonUp(PanelView& view);
