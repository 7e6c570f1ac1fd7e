#include "ui/automation_dlg.h"

#include <algorithm>
#include <atomic>

#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "ui/knob_target_dlg.h"
#include "ui/skin_blitter.h"
#include "ui/tool_windows.h"
#include "ui/transport.h"
#include "ui/view_globals.h"
#include "ui/view_timer.h"

const uint8_t g_knobStyle[kModTargets] = {
    1, 0, 2, 1, 2, 3, 1, 3,  // oscillators: tunes 1, pulse width 0, modulation and FM 2, volumes 3
    0, 0, 0, 0, 0, 0, 2,     // amplifier, filter cutoff 0, resonance 2
    0, 0, 0, 0, 0, 2, 2,     // filter envelope 0, LFO 2
    0, 0, 0, 0, 0, 2, 2, 2,  // user envelope 0, vibrato and portamento 2
    3,                       // distortion
};

UINT g_autoTimerId = 0;
int32_t g_autoShownPos = 0;
uint8_t g_knobShownValue[kAutomationKnobs];
uint8_t g_knobDrawnValue[kAutomationKnobs];
int32_t g_useDrawn[kAutomationKnobs];
int32_t g_setDrawn[kAutomationKnobs];
int32_t g_clearDrawn[kAutomationKnobs];
int32_t g_setPressed[kAutomationKnobs];
int32_t g_clearPressed[kAutomationKnobs];
CPoint g_dragAnchor;
int32_t g_dragStartValue = 0;
int32_t g_dragStartPos = 0;
uint8_t g_dragLastValue = 0;

namespace {

constexpr int kPitch = 30;  // knob k's column is kPitch x k further right
constexpr int kButtonW = 22, kButtonH = 11;
constexpr int kUseY = 26, kSetY = 86, kClearY = 109, kKnobY = 45;
constexpr int kUseSpriteX = 552, kHoldSpriteX = 506;  // in bitmap 199: grey, then green or yellow 12 below

// A lane index as a 32-bit word: raised to 0, capped far beyond the lanes.
int32_t LaneIndex(int64_t x) { return int32_t(std::clamp<int64_t>(x, 0, INT32_MAX)); }

// Indexes that lie in the lanes (song positions 0 to 198).
bool InLanes(int64_t index) { return index >= 0 && index < kLaneBytes; }

uint8_t LaneByte(uint32_t knob, int64_t index) {
    return knob < uint32_t(kAutomationKnobs) && InLanes(index) ? RelaxedLoad(g_tweakLaneData[knob][index]) : 0;
}

void SetLaneByte(uint32_t knob, int64_t index, uint8_t value) {
    if (knob < uint32_t(kAutomationKnobs) && InLanes(index)) RelaxedStore(g_tweakLaneData[knob][index], value);
}

int StyleOf(uint32_t target) { return target < uint32_t(kModTargets) ? g_knobStyle[target] : 0; }

bool Inside(CPoint p, int left, int right, int top, int bottom) {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
}

int32_t TickParity() { return RelaxedLoad(g_voiceState[0].tickParity); }

}  // namespace

int32_t PlayedLanePos() {
    const int64_t s = g_trackSongPos[0], r = g_trackRow[0];
    return LaneIndex(s * kLaneBytesPerPosition + 2 * r - 2 + (TickParity() == 0 ? 1 : 0));
}

int32_t EditLanePos() {
    const int64_t position = int64_t(g_orderTop) + int64_t(g_orderCursor);
    return LaneIndex(position * kLaneBytesPerPosition + 2 * int64_t(g_editStep));
}

int32_t ShownLanePos() { return g_songPlaying != 0 ? PlayedLanePos() : EditLanePos(); }

std::string AutomationValueText(int style, uint32_t v) {
    // Style 1: 2.5 v - 100, cut toward zero; the others 1.25 v.
    const int64_t value = v;
    if (style == 1) {
        if (value >= 40) return std::to_string((5 * value - 200) / 2) + "%";
        return "-" + std::to_string((200 - 5 * value) / 2) + "%";
    }
    return std::to_string(5 * value / 4) + "%";
}

void UpdateAutomationKnobs(SkinBlitter& out) {
    for (int k = 0; k < kAutomationKnobs; ++k) {
        const int32_t on = int32_t(g_knobEnabled[k].load());
        if (g_useDrawn[k] == on) continue;
        out.Blit(kSkinButtons, 17 + kPitch * k, kUseY, kButtonW, kButtonH, kUseSpriteX, on ? 13 : 1);
        g_useDrawn[k] = on;
    }
    for (int k = 0; k < kAutomationKnobs; ++k) {
        if (g_setDrawn[k] == g_setPressed[k]) continue;
        out.Blit(kSkinButtons, 17 + kPitch * k, kSetY, kButtonW, kButtonH, kHoldSpriteX, g_setPressed[k] ? 13 : 1);
        g_setDrawn[k] = g_setPressed[k];
    }
    for (int k = 0; k < kAutomationKnobs; ++k) {
        if (g_clearDrawn[k] == g_clearPressed[k]) continue;
        out.Blit(kSkinButtons, 17 + kPitch * k, kClearY, kButtonW, kButtonH, kHoldSpriteX, g_clearPressed[k] ? 13 : 1);
        g_clearDrawn[k] = g_clearPressed[k];
    }
    g_autoShownPos = ShownLanePos();
    const bool dragging = g_dragKnob.dragging.load(std::memory_order_acquire) != 0;
    const uint32_t dragged = g_dragKnob.index;
    for (int k = 0; k < kAutomationKnobs; ++k)
        g_knobShownValue[k] = dragging && dragged == uint32_t(k) ? uint8_t(g_dragKnob.value.load())
                                                                  : LaneByte(uint32_t(k), g_autoShownPos);
    for (int k = 0; k < kAutomationKnobs; ++k) {
        if (g_knobDrawnValue[k] == g_knobShownValue[k]) continue;
        // A value above 80 (which neither the panel nor the engine writes)
        // shows as 80.
        const int v = std::min<int>(g_knobShownValue[k], kMaxKnobValue);
        out.Blit(kKnobStyleStrip[StyleOf(g_knobParam[k])], 13 + kPitch * k, kKnobY, 30, 29, 0, 30 * (kMaxKnobValue - v));
        g_knobDrawnValue[k] = g_knobShownValue[k];
    }
}

void PaintAutomationPanel(SkinBlitter& out) {
    auto piece = [&out](int x, int y, int w, int h) { out.Blit(kSkinAutomationFrame, x, y, w, h, x, y); };
    // Around the buttons and knobs only: the full-width bands, the gaps of the
    // three button rows and the ends of the knob row.
    for (const auto& [y, h] : {std::pair{0, 26}, {37, 8}, {74, 12}, {97, 12}, {120, 24}})
        piece(0, y, kAutomationClientWidth, h);
    for (int y : {kUseY, kSetY, kClearY}) {
        piece(0, y, 17, kButtonH);
        for (int k = 0; k < kAutomationKnobs - 1; ++k) piece(39 + kPitch * k, y, 8, kButtonH);
        piece(309, y, 17, kButtonH);
    }
    piece(0, kKnobY, 13, 29);
    piece(313, kKnobY, 13, 29);
    std::fill(std::begin(g_knobDrawnValue), std::end(g_knobDrawnValue), uint8_t{255});
    std::fill(std::begin(g_useDrawn), std::end(g_useDrawn), -1);
    std::fill(std::begin(g_setDrawn), std::end(g_setDrawn), -1);
    std::fill(std::begin(g_clearDrawn), std::end(g_clearDrawn), -1);
    UpdateAutomationKnobs(out);
}

// ---------------------------------------------------------------- the window

CAutomationDlg::CAutomationDlg(CWnd* parent) : CDialog(IDD_AUTOMATION, parent) { m_ownerDraws = true; }

bool CAutomationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetClientSize(kAutomationClientWidth, kAutomationClientHeight);
    PlaceAt(*this, g_autoDlgPos);
    g_autoTimerId = SetTimer(kAutomationTimerId, kAutomationTimerMs);
    return true;
}

bool CAutomationDlg::DestroyWindow() {
    if (IsWindow()) {
        SavePlace(*this, g_autoDlgPos);
        KillTimer(g_autoTimerId);
        // A drag cut short by the window's end stops recording.
        g_dragKnob.dragging.store(0, std::memory_order_release);
    }
    return CDialog::DestroyWindow();
}

void CAutomationDlg::OnOK() {}

void CAutomationDlg::OnCancel() { GiveActivationToMainWindow(); }

void CAutomationDlg::OnPaint() {
    CPaintDC dc(this);
    DcSkinBlitter out(dc);
    PaintAutomationPanel(out);
}

void CAutomationDlg::RepaintNow() {
    CClientDC dc(this);
    DcSkinBlitter out(dc);
    PaintAutomationPanel(out);
}

void CAutomationDlg::UpdateKnobs() {
    CClientDC dc(this);
    DcSkinBlitter out(dc);
    UpdateAutomationKnobs(out);
}

void CAutomationDlg::OnTimer(UINT) {
    UpdateKnobs();
    Default();
}

void CAutomationDlg::OnKeyDown(UINT vk, UINT, UINT) {
    if (vk == VK_SPACE) RunTransport(TransportCommand::kToolWindowSpace, {});
    GiveActivationToMainWindow();
    Default();
}

void CAutomationDlg::OnLButtonDown(UINT, CPoint point) {
    OnPanelButtonDown(point);
    Default();
}

void CAutomationDlg::OnLButtonDblClk(UINT, CPoint point) {
    OnPanelButtonDown(point);
    Default();
}

void CAutomationDlg::OnLButtonUp(UINT, CPoint point) {
    OnPanelButtonUp(point);
    Default();
}

void CAutomationDlg::OnMouseMove(UINT flags, CPoint point) {
    OnPanelMouseMove(flags, point);
    Default();
}

void CAutomationDlg::OnPanelButtonDown(CPoint point) {
    SetCapture();
    for (int k = 0; k < kAutomationKnobs; ++k)
        if (Inside(point, 18 + kPitch * k, 37 + kPitch * k, 26, 36)) return PressUse(k);
    for (int k = 0; k < kAutomationKnobs; ++k)
        if (Inside(point, 18 + kPitch * k, 37 + kPitch * k, 86, 96)) return PressSet(k);
    for (int k = 0; k < kAutomationKnobs; ++k)
        if (Inside(point, 18 + kPitch * k, 37 + kPitch * k, 109, 119)) return PressClear(k);
    for (int k = 0; k < kAutomationKnobs; ++k)
        if (Inside(point, 19 + kPitch * k, 37 + kPitch * k, 52, 70)) return StartDrag(k, point);
}

void CAutomationDlg::PressUse(int k) {
    g_docModified = 1;
    if (g_knobEnabled[k] != 0) {
        g_knobEnabled[k] = 0;
        UpdateKnobs();
        return;
    }
    g_knobEnabled[k] = 1;
    if (g_knobSound[k] != 0) {
        UpdateKnobs();
        return;
    }
    // No sound yet: choose one (and the target); without a choice the knob
    // stays off.
    g_selSound = int32_t(g_knobSound[k].load());
    g_selKnobParam = int32_t(g_knobParam[k].load());
    ReleaseCapture();  // the dialog takes the mouse
    CKnobTargetDlg dlg;
    if (dlg.DoModal() == IDOK) {
        g_knobSound[k] = uint32_t(g_selSound);
        g_knobParam[k] = uint32_t(g_selKnobParam);
    } else {
        g_knobEnabled[k] = 0;
    }
    g_setPressed[k] = 0;
    RepaintNow();
    GiveActivationToMainWindow();
}

void CAutomationDlg::PressSet(int k) {
    g_setPressed[k] = 1;
    UpdateKnobs();
    g_selSound = int32_t(g_knobSound[k].load());
    g_selKnobParam = int32_t(g_knobParam[k].load());
    ReleaseCapture();  // the dialog takes the mouse
    CKnobTargetDlg dlg;
    if (dlg.DoModal() == IDOK) {
        // The old target keeps no offset.
        const uint32_t oldSound = g_knobSound[k], oldTarget = g_knobParam[k];
        if (oldTarget < uint32_t(kModTargets) && oldSound < uint32_t(kSoundSlots))
            RelaxedStore(g_modulationBank[oldTarget][oldSound], uint8_t{0});
        g_knobSound[k] = uint32_t(g_selSound);
        g_knobParam[k] = uint32_t(g_selKnobParam);
        g_docModified = 1;
    }
    g_setPressed[k] = 0;
    RepaintNow();
    GiveActivationToMainWindow();
}

void CAutomationDlg::PressClear(int k) {
    g_clearPressed[k] = 1;
    UpdateKnobs();
    if (g_songPlaying != 0) {
        g_autoShownPos = LaneIndex(int64_t(g_trackSongPos[0]) * kLaneBytesPerPosition);
    } else {
        g_autoShownPos = LaneIndex((int64_t(g_orderTop) + int64_t(g_orderCursor)) * kLaneBytesPerPosition);
        g_editStep = 0;
        g_lastShownRow = -10;  // the view's next tick repaints the grid
        RequestDeferredRedraw();
    }
    for (int i = 0; i < kLaneBytesPerPosition; ++i) SetLaneByte(uint32_t(k), int64_t(g_autoShownPos) + i, 0);
    g_docModified = 1;
}

void CAutomationDlg::StartDrag(int k, CPoint point) {
    g_dragAnchor = point;
    g_dragStartPos = ShownLanePos();
    g_dragLastValue = LaneByte(uint32_t(k), g_dragStartPos);
    g_dragStartValue = g_dragLastValue;
    // Value and knob before the flag: the engine's next tick must not record
    // the previous drag's value into this knob's lane.
    g_dragKnob.value = uint32_t(g_dragStartValue);
    g_dragKnob.index = uint32_t(k);
    g_dragKnob.dragging.store(1, std::memory_order_release);
    g_docModified = 1;
    if (g_pValueTip && g_pValueTip->IsWindow()) {
        CRect r;
        GetWindowRect(&r);
        // The tip keeps the size it gave itself from its texts.
        g_pValueTip->SetWindowPos(nullptr, r.left + kPitch * k + 15, r.top + 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        g_pValueTip->ShowWindow(SW_SHOWNOACTIVATE);
    }
    OnPanelMouseMove(0, point);
}

void CAutomationDlg::OnPanelMouseMove(UINT, CPoint point) {
    if (g_dragKnob.dragging.load(std::memory_order_acquire) == 0) return;
    g_docModified = 1;
    const int64_t v = std::clamp<int64_t>(int64_t(g_dragStartValue) + g_dragAnchor.y - point.y, 0, kMaxKnobValue);
    g_dragKnob.value = uint32_t(v);
    g_dragLastValue = uint8_t(v);
    const uint32_t knob = g_dragKnob.index;
    if (g_pValueTip && g_pValueTip->IsWindow())
        g_pValueTip->SetDlgItemText(IDC_VALUE_TIP_TEXT, AutomationValueText(StyleOf(g_knobParam[knob % kAutomationKnobs]), uint32_t(v)));
    // Stopped: both steps of the edit cursor's row. Playing: the engine
    // records the value at each tick.
    if (g_songPlaying == 0) {
        const int32_t pos = EditLanePos();
        SetLaneByte(knob, pos, g_dragLastValue);
        if (pos % kLaneBytesPerPosition != kLaneBytesPerPosition - 1) SetLaneByte(knob, int64_t(pos) + 1, g_dragLastValue);
    }
    UpdateKnobs();
}

void CAutomationDlg::OnPanelButtonUp(CPoint) {
    if (g_pValueTip && g_pValueTip->IsWindow()) g_pValueTip->ShowWindow(SW_HIDE);
    ReleaseCapture();
    if (g_dragKnob.dragging.load(std::memory_order_acquire) != 0) {
        const uint32_t k = g_dragKnob.index;
        if (g_songPlaying != 0) {
            const int64_t s = g_trackSongPos[0], r = g_trackRow[0];
            const int64_t half = TickParity() == 0 ? 1 : 0;
            const int64_t base = s * kLaneBytesPerPosition;
            // From two steps after the step last played to the end of the song
            // position: one value throughout, or nothing is filled. At the end
            // of a 128-row pattern that range lies beyond the position.
            const int64_t first = 2 * r + half;
            if (first < kLaneBytesPerPosition && InLanes(base)) {
                const uint8_t value = LaneByte(k, base + first);
                bool same = true;
                for (int64_t i = first + 1; i < kLaneBytesPerPosition && same; ++i) same = LaneByte(k, base + i) == value;
                if (same) {
                    g_autoShownPos = LaneIndex(base);
                    for (int64_t i = 2 * std::max<int64_t>(r - 1, 0) + half; i < kLaneBytesPerPosition; ++i)
                        SetLaneByte(k, base + i, g_dragLastValue);
                }
            }
        }
        g_dragKnob.dragging.store(0, std::memory_order_release);
    }
    std::fill(std::begin(g_setPressed), std::end(g_setPressed), 0);
    std::fill(std::begin(g_clearPressed), std::end(g_clearPressed), 0);
    UpdateKnobs();
    GiveActivationToMainWindow();
}
