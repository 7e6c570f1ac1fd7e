// The automation panel: a floating tool window of ten automation knobs. Each
// knob modulates one target of one sound (chosen in the knob target dialog)
// and owns one lane, a byte 0..80 per half row of every song position.
//
// While the song plays, the engine plays each enabled lane into the modulation
// bank at every tick and records the knob being dragged into its lane; while it
// is stopped, a drag writes both steps of the edit cursor's row itself. 25
// times a second the knobs show the lanes at the step last played (or at the
// edit cursor's row when stopped) and only what changed is redrawn. Per knob a
// use button switches the lane on or off, a set button chooses sound and target
// again, a clear button empties the lane for the song position shown.
//
// The lanes cover song positions 0 to 198: at position 199 (the last of the
// order list) the knobs show 0 and nothing is written or cleared. Space plays
// and stops as in the view; any key gives the activation back to the main
// window; Esc only raises the main window and Enter does nothing.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dialog.h"
#include "shared/constants.h"
#include "ui/panel_paint.h"

inline constexpr UINT kAutomationTimerId = 4;
inline constexpr UINT kAutomationTimerMs = 40;
inline constexpr int kAutomationClientWidth = 326;
inline constexpr int kAutomationClientHeight = 144;
inline constexpr int kMaxKnobValue = 80;

// The knob style of each modulation target: 0 .. 3, strips 196, 197, 198, 200;
// style 1 (the tunes) shows signed values around 40.
extern const uint8_t g_knobStyle[kModTargets];
inline constexpr int kKnobStyleStrip[4] = {kSkinKnob, kSkinKnobBipolar, kSkinKnobModulation, kSkinKnobLevel};

// Panel state (GUI thread).
extern UINT g_autoTimerId;
extern int32_t g_autoShownPos;                        // lane index the knobs show
extern uint8_t g_knobShownValue[kAutomationKnobs];
extern uint8_t g_knobDrawnValue[kAutomationKnobs];    // 255 = draw again
extern int32_t g_useDrawn[kAutomationKnobs];          // -1 = draw again
extern int32_t g_setDrawn[kAutomationKnobs];
extern int32_t g_clearDrawn[kAutomationKnobs];
extern int32_t g_setPressed[kAutomationKnobs];
extern int32_t g_clearPressed[kAutomationKnobs];
extern CPoint g_dragAnchor;
extern int32_t g_dragStartValue;
extern int32_t g_dragStartPos;
extern uint8_t g_dragLastValue;

// Lane indexes: the step the engine played last (while playing) and the first
// step of the edit cursor's row in the song position under the order-list
// cursor; below 0 raised to 0. The shown position is the one in force.
int32_t PlayedLanePos();
int32_t EditLanePos();
int32_t ShownLanePos();

// The value tip's text of value v in a knob style: "-100%" .. "100%".
std::string AutomationValueText(int style, uint32_t v);

// UpdateKnobs: the buttons and knobs whose state changed since they were last
// drawn. PaintAutomationPanel: the frame's 40 pieces, then every button and
// knob (the kept states reset).
void UpdateAutomationKnobs(SkinBlitter& out);
void PaintAutomationPanel(SkinBlitter& out);

class CAutomationDlg : public CDialog {
public:
    explicit CAutomationDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void OnOK() override;
    void OnCancel() override;
    void OnPaint() override;
    bool OnEraseBkgnd(CDC*) override { return true; }
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnTimer(UINT id) override;

    // Points in client coordinates (negative above or left of the panel while
    // the mouse is captured).
    virtual void OnPanelButtonDown(CPoint point);
    virtual void OnPanelButtonUp(CPoint point);
    virtual void OnPanelMouseMove(UINT flags, CPoint point);
    virtual void UpdateKnobs();

private:
    void PressUse(int k);
    void PressSet(int k);
    void PressClear(int k);
    void StartDrag(int k, CPoint point);
    void RepaintNow();
};
