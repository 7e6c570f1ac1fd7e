// The tool windows and small dialogs on a (virtual) display: the oscilloscope
// and the automation panel opened directly, with presses, drags and keys; the
// knob target, sound name and effects dialogs run through scripts.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "tests/gui/gui_fixture.h"
#include "tests/app/program_fixture.h"  // ReadScreen

#include "engine/sequencing.h"
#include "platform/wx_bridge.h"
#include "res/resource_ids.h"
#include "shared/mixer.h"
#include "shared/sound_bank.h"
#include "shared/voice_state.h"
#include "ui/effects_dlg.h"
#include "ui/knob_target_dlg.h"
#include "ui/panel_controls.h"
#include "ui/panel_state.h"
#include "ui/sound_name_dlg.h"
#include "ui/view_timer.h"

namespace {

class ToolWindowTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        g_pScopeDlg = new COscilloscopeDlg;
        g_pAutomationDlg = new CAutomationDlg;
        std::memset(g_tweakLaneData, 0, sizeof g_tweakLaneData);
        std::memset(g_modulationBank, 0, sizeof g_modulationBank);
        for (int k = 0; k < kAutomationKnobs; ++k) g_knobEnabled[k] = g_knobSound[k] = g_knobParam[k] = 0;
        g_dragKnob.dragging = 0;
        g_songPlaying = 0;
        g_playFlag = 0;
        g_deviceOpen = 1;
        g_releaseDevicePending = 0;
        g_orderTop = 0;
        g_orderCursor = 0;
        g_editStep = 0;
        g_trackSongPos[0] = 0;
        g_trackRow[0] = 0;
        g_voiceState[0].tickParity = 1;
        g_docModified = 0;
        g_autoDlgPos.x = 64;
        g_autoDlgPos.y = 64;
        g_oscDlgPos.x = 256;
        g_oscDlgPos.y = 64;
    }
    void TearDown() override {
        g_deviceOpen = 0;
        g_songPlaying = 0;
        g_automationOn = 0;
        SessionTest::TearDown();
    }
    CAutomationDlg& OpenPanel() {
        EXPECT_TRUE(g_pAutomationDlg->Create(IDD_AUTOMATION, nullptr));
        PumpMessages(30);
        return *g_pAutomationDlg;
    }
    COscilloscopeDlg& OpenScope() {
        EXPECT_TRUE(g_pScopeDlg->Create(IDD_OSCILLOSCOPE, nullptr));
        PumpMessages(30);
        return *g_pScopeDlg;
    }
    static CPoint KnobPoint(int k) { return {28 + 30 * k, 60}; }
    static CPoint UsePoint(int k) { return {27 + 30 * k, 31}; }
    static CPoint SetPoint(int k) { return {27 + 30 * k, 91}; }
    static CPoint ClearPoint(int k) { return {27 + 30 * k, 114}; }
    // Keys typed on the display into a window, as a user would.
    void TypeInto(CWnd& wnd, const std::string& keys) {
        wnd.SetActiveWindow();
        PumpMessages(80);
        std::string cmd = "xdotool key --delay 30 " + keys;
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        PumpMessages(150);
    }
};

uint32_t SurfacePixel(CWnd& wnd, int x, int y) { return wnd.DrawSurface() ? wnd.DrawSurface()->GetPixelRgb(x, y) : 0xDEAD; }

}  // namespace

// ---------------------------------------------------------------- both windows

TEST_F(ToolWindowTest, BothOpenAtTheirSavedPlacesOwnedByTheMainWindowWithTheirArt) {
    g_oscDlgPos.x = 300;
    g_oscDlgPos.y = 200;
    g_autoDlgPos.x = 100;
    g_autoDlgPos.y = 400;
    g_audioRunning = 0;
    COscilloscopeDlg& scope = OpenScope();
    CAutomationDlg& panel = OpenPanel();
    CWnd* main = AfxGetMainWnd();
    for (CDialog* d : std::initializer_list<CDialog*>{&scope, &panel}) {
        EXPECT_EQ(d->GetParent(), main);
        EXPECT_TRUE(d->IsWindowVisible());
        EXPECT_EQ(d->GetWindowText(), "MorvelCanopy I");
    }
    CRect r, c;
    scope.GetWindowRect(&r);
    EXPECT_EQ(r.TopLeft(), CPoint(300, 200));
    scope.GetClientRect(&c);
    EXPECT_EQ(c, CRect(0, 0, 247, 108));
    panel.GetWindowRect(&r);
    EXPECT_EQ(r.TopLeft(), CPoint(100, 400));
    panel.GetClientRect(&c);
    EXPECT_EQ(c, CRect(0, 0, 326, 144));

    PumpMessages(100);
    // The frames from their skin bitmaps; the closed device's dotted zero line
    // (white on black); knob 0 at value 0, the use button off.
    EXPECT_EQ(SurfacePixel(scope, 5, 5), g_skin.scopeFrame.GetPixelRgb(5, 5));
    EXPECT_EQ(SurfacePixel(scope, 240, 100), g_skin.scopeFrame.GetPixelRgb(240, 100));
    EXPECT_EQ(SurfacePixel(scope, 16, 27 + 32), 0xFFFFFFu);
    EXPECT_EQ(SurfacePixel(scope, 17, 27 + 32), 0u);
    EXPECT_EQ(SurfacePixel(scope, 16, 27 + 33), 0u);
    EXPECT_EQ(SurfacePixel(panel, 3, 3), g_skin.automationFrame.GetPixelRgb(3, 3));
    EXPECT_EQ(SurfacePixel(panel, 13 + 15, 45 + 10), g_skin.knobBipolar.GetPixelRgb(15, 30 * 80 + 10));
    EXPECT_EQ(SurfacePixel(panel, 17 + 5, 26 + 5), g_skin.buttons.GetPixelRgb(552 + 5, 1 + 5));

    // Their places are kept when they close.
    scope.SetWindowPos(nullptr, 320, 240, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    panel.SetWindowPos(nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(30);
    scope.DestroyWindow();
    panel.DestroyWindow();
    EXPECT_EQ(int(g_oscDlgPos.x), 320);
    EXPECT_EQ(int(g_oscDlgPos.y), 240);
    EXPECT_EQ(int(g_autoDlgPos.x), 20);
    EXPECT_EQ(int(g_autoDlgPos.y), 30);
}

TEST_F(ToolWindowTest, PlacesOffTheScreenBecomeTheCorner) {
    SetScreenSizeOverride(1280, 1024);
    struct Case {
        int x, y;
        CPoint at;
    };
    for (const Case& c : {Case{1281, 10, {0, 0}}, {10, 1025, {0, 0}}, {1280, 1024, {1280, 1024}}, {-600, 50, {0, 0}},
                          {50, -600, {0, 0}}, {-40, 50, {-40, 50}}}) {
        g_oscDlgPos.x = c.x;
        g_oscDlgPos.y = c.y;
        COscilloscopeDlg& scope = OpenScope();
        CRect r;
        scope.GetWindowRect(&r);
        EXPECT_EQ(r.TopLeft(), c.at) << c.x << ", " << c.y;
        scope.DestroyWindow();
    }
    SetScreenSizeOverride(0, 0);
}

TEST_F(ToolWindowTest, KeysGiveTheFocusBackAndSpacePlaysAndStops) {
    COscilloscopeDlg& scope = OpenScope();
    CAutomationDlg& panel = OpenPanel();
    for (CDialog* d : std::initializer_list<CDialog*>{&scope, &panel}) {
        g_songPlaying = 0;
        g_engineReset = 0;
        TypeInto(*d, "a");
        EXPECT_EQ(CWnd::GetFocus(), session_->view) << d->GetTemplateId();
        EXPECT_EQ(g_engineReset, 0);

        g_refreshPending = 0;
        TypeInto(*d, "space");
        EXPECT_EQ(g_engineReset, kResetStart) << d->GetTemplateId();
        EXPECT_EQ(g_playFlag, 1u);
        EXPECT_EQ(CWnd::GetFocus(), session_->view);
        g_songPlaying = 1;
        TypeInto(*d, "space");
        EXPECT_EQ(g_engineReset, kResetStop);
        EXPECT_EQ(g_playFlag, 0u);
        // Enter does nothing; Esc only gives the main window the activation back.
        TypeInto(*d, "Return Escape");
        EXPECT_TRUE(d->IsWindow());
        EXPECT_EQ(CWnd::GetFocus(), session_->view);
    }
}

TEST_F(ToolWindowTest, ACloseRequestLeavesThemOpen) {
    COscilloscopeDlg& scope = OpenScope();
    CAutomationDlg& panel = OpenPanel();
    scope.SendMessage(WM_CLOSE);
    panel.SendMessage(WM_CLOSE);
    PumpMessages(30);
    EXPECT_TRUE(scope.IsWindow());
    EXPECT_TRUE(panel.IsWindow());
}

TEST_F(ToolWindowTest, ScopeBitmapsThatCannotBeMadeAreReportedAndTheWindowOpens) {
    FailNextMonochromeBitmaps(2);
    COscilloscopeDlg& scope = OpenScope();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Failed to create bitmap!");
    EXPECT_EQ(boxes[1].text, "Failed to create bitmap!");
    EXPECT_TRUE(scope.IsWindow());
    PumpMessages(80);  // ticks and paints without the bitmaps
    FailNextMonochromeBitmaps(0);
}

TEST_F(ToolWindowTest, ScopeTicksMoveTheTracesOn) {
    g_audioRunning = 1;
    g_scopeReadPos = 0;
    for (auto& w : g_scopeRing) w = 0x80008000u;  // -32768 both: row 0
    COscilloscopeDlg& scope = OpenScope();
    PumpMessages(120);
    EXPECT_NE(g_scopeReadPos, 0u);
    EXPECT_EQ(uint32_t(g_scopeReadPos) % 4, 0u);
    EXPECT_EQ(SurfacePixel(scope, 16 + 51, 27), 0xFFFFFFu);
    EXPECT_EQ(SurfacePixel(scope, 127 + 51, 27), 0xFFFFFFu);
    g_audioRunning = 0;
}

// ---------------------------------------------------------------- automation panel

TEST_F(ToolWindowTest, UseWithoutASoundAsksForTheTarget) {
    CAutomationDlg& panel = OpenPanel();
    g_knobParam[4] = 17;
    g_soundNames[1] = "NOT USED";
    g_soundNames[12] = "BASS";
    dialogScripts.push_back([](CDialog& dlg) {
        auto& d = dynamic_cast<CKnobTargetDlg&>(dlg);
        EXPECT_EQ(d.m_soundCombo.GetCount(), 99);
        EXPECT_EQ(d.m_soundCombo.GetCurSel(), 0);  // no sound yet: sound 1
        EXPECT_EQ(d.m_soundCombo.GetLBText(0), "01 - NOT USED");
        EXPECT_EQ(d.m_soundCombo.GetLBText(11), "12 - BASS");
        EXPECT_EQ(d.m_knobCombo.GetCount(), 31);
        EXPECT_EQ(d.m_knobCombo.GetLBText(0), "Oscillator 1 - Tune");
        EXPECT_EQ(d.m_knobCombo.GetLBText(30), "Distortion");
        EXPECT_EQ(d.m_knobCombo.GetCurSel(), 17);
        dlg.ChooseComboItem(IDC_TARGET_SOUND, 11);
        dlg.ClickButton(IDOK);
    });
    panel.OnPanelButtonDown(UsePoint(4));
    panel.OnPanelButtonUp(UsePoint(4));
    EXPECT_EQ(dialogs, std::vector<UINT>{IDD_KNOB_TARGET});
    EXPECT_EQ(g_knobEnabled[4], 1u);
    EXPECT_EQ(g_knobSound[4], 12u);
    EXPECT_EQ(g_knobParam[4], 17u);
    EXPECT_EQ(g_docModified, 1);
    EXPECT_EQ(SurfacePixel(panel, 17 + 120 + 5, 26 + 5), g_skin.buttons.GetPixelRgb(552 + 5, 13 + 5));

    // Cancel leaves a new knob off; the words hold the abandoned choice.
    dialogScripts.push_back([](CDialog& dlg) {
        dlg.ChooseComboItem(IDC_TARGET_SOUND, 6);
        dlg.ChooseComboItem(IDC_TARGET_KNOB, 3);
        dlg.PressEscape();
    });
    panel.OnPanelButtonDown(UsePoint(5));
    EXPECT_EQ(g_knobEnabled[5], 0u);
    EXPECT_EQ(g_knobSound[5], 0u);
    EXPECT_EQ(g_knobParam[5], 0u);
    EXPECT_EQ(g_selSound, 7);
    EXPECT_EQ(g_selKnobParam, 3);

    // On and off again without a dialog once the knob has its sound.
    panel.OnPanelButtonDown(UsePoint(4));
    EXPECT_EQ(g_knobEnabled[4], 0u);
    panel.OnPanelButtonDown(UsePoint(4));
    EXPECT_EQ(g_knobEnabled[4], 1u);
    EXPECT_EQ(dialogs.size(), 2u);
}

TEST_F(ToolWindowTest, TargetDialogOkWithoutTouchingAssignsWhatItShows) {
    CAutomationDlg& panel = OpenPanel();
    dialogScripts.push_back([](CDialog& dlg) { dlg.PressEnter(); });
    panel.OnPanelButtonDown(UsePoint(0));
    EXPECT_EQ(g_knobSound[0], 1u);
    EXPECT_EQ(g_knobParam[0], 0u);
    EXPECT_EQ(g_knobEnabled[0], 1u);
}

TEST_F(ToolWindowTest, SetZeroesTheOldEntryOnOkOnly) {
    CAutomationDlg& panel = OpenPanel();
    g_knobSound[2] = 5;
    g_knobParam[2] = 13;
    g_modulationBank[13][5] = 50;
    dialogScripts.push_back([](CDialog& dlg) {
        EXPECT_EQ(g_setPressed[2], 1);  // held while the dialog is open
        dlg.ChooseComboItem(IDC_TARGET_KNOB, 20);
        dlg.PressEscape();
    });
    panel.OnPanelButtonDown(SetPoint(2));
    EXPECT_EQ(g_knobParam[2], 13u);
    EXPECT_EQ(g_modulationBank[13][5], 50);
    EXPECT_EQ(g_docModified, 0);
    EXPECT_EQ(g_setPressed[2], 0);

    dialogScripts.push_back([](CDialog& dlg) {
        dlg.ChooseComboItem(IDC_TARGET_KNOB, 20);
        dlg.ChooseComboItem(IDC_TARGET_SOUND, 8);
        dlg.ClickButton(IDOK);
    });
    panel.OnPanelButtonDown(SetPoint(2));
    EXPECT_EQ(g_modulationBank[13][5], 0);
    EXPECT_EQ(g_knobParam[2], 20u);
    EXPECT_EQ(g_knobSound[2], 9u);
    EXPECT_EQ(g_knobEnabled[2], 0u);  // not touched
    EXPECT_EQ(g_docModified, 1);
}

// The panel's knobs and the automation panel's knobs show the one tip at one
// size, whichever was pressed first, and its text control holds the widest
// text either can show ("-100%") in the tip's own font.
TEST_F(ToolWindowTest, TheValueTipHasOneSizeThatFitsEveryText) {
    CAutomationDlg& panel = OpenPanel();
    ASSERT_TRUE(g_pValueTip->Create(IDD_VALUE_TIP, nullptr));
    auto* view = static_cast<CSynthView*>(session_->view);
    const PanelControl& knob = g_panelControls[9];
    const int kx = g_panelX + (knob.left + knob.right) / 2, ky = g_panelY + (knob.top + knob.bottom) / 2;
    auto tipSize = [] {
        CRect r;
        g_pValueTip->GetWindowRect(&r);
        return CSize(r.Width(), r.Height());
    };
    view->OnPanelButtonDown(kx, ky);
    const CSize afterPanel = tipSize();
    view->OnPanelButtonUp(kx, ky);
    g_knobParam[3] = kModOsc2Tune;  // signed: shows -100% at 0
    panel.OnPanelButtonDown(KnobPoint(3));
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(KnobPoint(3).x, KnobPoint(3).y + 500));
    EXPECT_EQ(g_pValueTip->GetDlgItemText(IDC_VALUE_TIP_TEXT), "-100%");
    const CSize afterAutomation = tipSize();
    // On screen the text stays clear of the tip's edges: its outer ring of
    // pixels is one colour.
    PumpMessages(200);
    const ScreenShot shot = ReadScreen();
    CRect tip;
    g_pValueTip->GetWindowRect(&tip);
    ASSERT_GT(shot.width, tip.right) << "no frame buffer to read";
    const uint32_t ring = shot.At(tip.left, tip.top);
    int touched = 0;
    for (int x = tip.left; x < tip.right; ++x)
        touched += (shot.At(x, tip.top) != ring) + (shot.At(x, tip.bottom - 1) != ring);
    for (int y = tip.top; y < tip.bottom; ++y)
        touched += (shot.At(tip.left, y) != ring) + (shot.At(tip.right - 1, y) != ring);
    EXPECT_EQ(touched, 0) << "the text reaches the tip's edge";
    panel.OnPanelButtonUp(KnobPoint(3));
    EXPECT_EQ(afterAutomation, afterPanel);

    CWnd* text = g_pValueTip->GetDlgItem(IDC_VALUE_TIP_TEXT);
    ASSERT_NE(text, nullptr);
    CRect box;
    text->GetWindowRect(&box);
    const CSize widest = text->GetTextExtent("-100%");
    EXPECT_GT(widest.cx, 0);
    EXPECT_GE(box.Width(), widest.cx);
    EXPECT_GE(box.Height(), widest.cy);
    EXPECT_TRUE(box.left >= tip.left && box.top >= tip.top && box.right <= tip.right && box.bottom <= tip.bottom);
}

TEST_F(ToolWindowTest, DragWhileStoppedWritesTheEditRow) {
    CAutomationDlg& panel = OpenPanel();
    g_pValueTip->Create(IDD_VALUE_TIP, nullptr);
    g_knobParam[3] = kModOsc2Tune;  // style 1
    g_orderCursor = 2;
    g_editStep = 3;
    const int row = 2 * 256 + 6;
    g_tweakLaneData[3][row] = 20;
    g_tweakLaneData[3][row + 1] = 77;
    g_tweakLaneData[3][row + 2] = 5;
    const CPoint at = KnobPoint(3);
    panel.OnPanelButtonDown(at);
    // A press alone writes the row's first step into both.
    EXPECT_EQ(g_tweakLaneData[3][row + 1], 20);
    EXPECT_EQ(g_dragKnob.dragging, 1u);
    EXPECT_TRUE(g_pValueTip->IsWindowVisible());
    EXPECT_EQ(g_pValueTip->GetDlgItemText(IDC_VALUE_TIP_TEXT), "-50%");
    CRect panelRect, tipRect;
    panel.GetWindowRect(&panelRect);
    g_pValueTip->GetWindowRect(&tipRect);
    EXPECT_EQ(tipRect.TopLeft(), CPoint(panelRect.left + 90 + 15, panelRect.top + 50));

    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(at.x + 40, at.y - 30));  // up 30: 50
    EXPECT_EQ(g_tweakLaneData[3][row], 50);
    EXPECT_EQ(g_tweakLaneData[3][row + 1], 50);
    EXPECT_EQ(g_tweakLaneData[3][row + 2], 5);
    EXPECT_EQ(g_pValueTip->GetDlgItemText(IDC_VALUE_TIP_TEXT), "25%");
    EXPECT_EQ(g_knobShownValue[3], 50);
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(at.x, at.y - 500));
    EXPECT_EQ(g_dragKnob.value, 80u);
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(at.x, at.y + 500));
    EXPECT_EQ(g_dragKnob.value, 0u);
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(at.x, at.y - 1));
    panel.OnPanelButtonUp(at);
    EXPECT_EQ(g_dragKnob.dragging, 0u);
    EXPECT_FALSE(g_pValueTip->IsWindowVisible());
    EXPECT_EQ(g_tweakLaneData[3][row], 21);
    EXPECT_EQ(g_tweakLaneData[3][row + 2], 5);  // nothing filled while stopped

    // Moves without a drag change nothing.
    panel.OnPanelMouseMove(0, CPoint(at.x, at.y - 20));
    EXPECT_EQ(g_tweakLaneData[3][row], 21);
}

TEST_F(ToolWindowTest, DragWhilePlayingIsRecordedByTheEngine) {
    CAutomationDlg& panel = OpenPanel();
    g_automationOn = 1;
    g_songPlaying = 1;
    g_knobSound[6] = 3;
    g_knobParam[6] = kModAmpGain;
    g_knobEnabled[6] = 0;  // the use button off
    g_trackSongPos[0] = 1;
    g_trackRow[0] = 4;
    g_voiceState[0].tickParity = 1;
    g_tweakLaneData[6][256 + 6] = 30;  // the step last played
    const CPoint at = KnobPoint(6);
    panel.OnPanelButtonDown(at);
    EXPECT_EQ(g_dragStartPos, 256 + 6);
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(at.x, at.y - 12));
    EXPECT_EQ(g_tweakLaneData[6][256 + 7], 0);  // the panel writes no lane byte while playing

    // The engine's tick as the track stands (row 4, parity 1): lane step
    // 256 + 2 x 4 + 1 - 1.
    PlayAutomation(0);
    EXPECT_EQ(g_tweakLaneData[6][256 + 8], 42);
    EXPECT_EQ(g_modulationBank[kModAmpGain][3], 42);
    panel.OnPanelButtonUp(at);
}

TEST_F(ToolWindowTest, ReleaseWhilePlayingFillsOnlyAnEvenRest) {
    CAutomationDlg& panel = OpenPanel();
    g_songPlaying = 1;
    const int base = 2 * 256;
    struct Case {
        uint32_t row;
        int32_t parity;
        int odd;  // a step that differs, -1 none
        int filledFrom;  // -1: nothing filled
    };
    for (const Case& c : {Case{4, 1, -1, 6}, {4, 0, -1, 7}, {0, 1, -1, 0}, {4, 1, 200, -1}, {4, 1, 7, 6},
                          {4, 1, 8, -1}, {128, 0, -1, -1}, {128, 1, -1, -1}, {127, 0, 255, 253}}) {
        std::memset(g_tweakLaneData[1], 0, sizeof g_tweakLaneData[1]);
        if (c.odd >= 0) g_tweakLaneData[1][base + c.odd] = 9;
        g_trackSongPos[0] = 2;
        g_trackRow[0] = c.row;
        g_voiceState[0].tickParity = c.parity;
        panel.OnPanelButtonDown(KnobPoint(1));
        panel.OnPanelMouseMove(MK_LBUTTON, CPoint(KnobPoint(1).x, KnobPoint(1).y - 33));
        panel.OnPanelButtonUp(KnobPoint(1));
        for (int i = 0; i < 256; ++i) {
            const int expected = c.filledFrom >= 0 && i >= c.filledFrom ? 33 : (c.odd == i ? 9 : 0);
            ASSERT_EQ(g_tweakLaneData[1][base + i], expected) << "row " << c.row << " parity " << c.parity << " step " << i;
        }
        EXPECT_EQ(g_tweakLaneData[1][base + 256], 0);
        EXPECT_EQ(g_tweakLaneData[1][base - 1], 0);
    }
}

TEST_F(ToolWindowTest, ClearEmptiesTheSongPositionShown) {
    CAutomationDlg& panel = OpenPanel();
    for (int i = 0; i < 5 * 256; ++i) g_tweakLaneData[8][i] = 40;
    g_orderTop = 1;
    g_orderCursor = 2;
    g_editStep = 10;
    g_lastShownRow = 5;
    g_refreshPending = 0;
    panel.OnPanelButtonDown(ClearPoint(8));
    EXPECT_EQ(g_clearPressed[8], 1);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(g_tweakLaneData[8][3 * 256 + i], 0) << i;
    EXPECT_EQ(g_tweakLaneData[8][3 * 256 - 1], 40);
    EXPECT_EQ(g_tweakLaneData[8][4 * 256], 40);
    EXPECT_EQ(g_editStep, 0u);
    EXPECT_EQ(g_lastShownRow, -10);
    EXPECT_EQ(g_refreshPending, 1u);
    EXPECT_EQ(g_docModified, 1);
    panel.OnPanelButtonUp(ClearPoint(8));
    EXPECT_EQ(g_clearPressed[8], 0);

    // While playing: the position being played, the edit cursor left alone.
    g_songPlaying = 1;
    g_trackSongPos[0] = 1;
    g_editStep = 6;
    g_lastShownRow = 5;
    panel.OnPanelButtonDown(ClearPoint(8));
    for (int i = 0; i < 256; ++i) ASSERT_EQ(g_tweakLaneData[8][256 + i], 0) << i;
    EXPECT_EQ(g_tweakLaneData[8][2 * 256], 40);
    EXPECT_EQ(g_editStep, 6u);
    EXPECT_EQ(g_lastShownRow, 5);
    panel.OnPanelButtonUp(ClearPoint(8));
}

TEST_F(ToolWindowTest, TheLastOrderPositionHasNoLane) {
    CAutomationDlg& panel = OpenPanel();
    for (int k = 0; k < kAutomationKnobs; ++k) std::memset(g_tweakLaneData[k] + kLaneBytes - 256, 7, 256);
    // Stopped at position 199: a drag and a clear write nothing.
    g_orderTop = 190;
    g_orderCursor = 9;
    g_editStep = 127;
    panel.OnPanelButtonDown(KnobPoint(0));
    panel.OnPanelMouseMove(MK_LBUTTON, CPoint(KnobPoint(0).x, KnobPoint(0).y - 40));
    panel.OnPanelButtonUp(KnobPoint(0));
    panel.OnPanelButtonDown(ClearPoint(0));
    panel.OnPanelButtonUp(ClearPoint(0));
    // Playing there: the release and the clear touch nothing either.
    g_songPlaying = 1;
    g_trackSongPos[0] = 199;
    g_trackRow[0] = 3;
    panel.OnPanelButtonDown(KnobPoint(1));
    EXPECT_EQ(g_dragKnob.value, 0u);
    panel.OnPanelButtonUp(KnobPoint(1));
    panel.OnPanelButtonDown(ClearPoint(1));
    panel.OnPanelButtonUp(ClearPoint(1));
    for (int k = 0; k < kAutomationKnobs; ++k)
        for (int i = kLaneBytes - 256; i < kLaneBytes; ++i) ASSERT_EQ(g_tweakLaneData[k][i], 7) << k << " " << i;
}

TEST_F(ToolWindowTest, ADragPublishesItsKnobAndValueBeforeItsFlag) {
    CAutomationDlg& panel = OpenPanel();
    g_tweakLaneData[1][0] = 10;
    g_tweakLaneData[1][1] = 10;
    g_tweakLaneData[2][0] = 70;
    g_tweakLaneData[2][1] = 70;
    // The drag number: knob 1 on even numbers, knob 2 on odd ones; it changes
    // only while no drag is on.
    std::atomic<int> epoch{0};
    std::atomic<bool> stop{false};
    std::atomic<long> seen{0}, wrong{0};
    std::thread engine([&] {
        while (!stop.load(std::memory_order_relaxed)) {
            const int before = epoch.load(std::memory_order_acquire);
            if (g_dragKnob.dragging.load(std::memory_order_acquire) == 0) continue;
            const uint32_t knob = g_dragKnob.index, value = g_dragKnob.value;
            if (epoch.load(std::memory_order_acquire) != before) continue;
            seen.fetch_add(1, std::memory_order_relaxed);
            const uint32_t expectedKnob = before % 2 == 0 ? 1 : 2;
            if (knob != expectedKnob || value != (expectedKnob == 1 ? 10u : 70u)) wrong.fetch_add(1, std::memory_order_relaxed);
        }
    });
    for (int n = 0; n < 3000; ++n) {
        const int k = n % 2 == 0 ? 1 : 2;
        panel.OnPanelButtonDown(KnobPoint(k));
        panel.OnPanelButtonUp(KnobPoint(k));
        epoch.store(n + 1, std::memory_order_release);
    }
    stop = true;
    engine.join();
    EXPECT_GT(seen.load(), 0);
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(ToolWindowTest, ADoubleClickIsASecondPress) {
    CAutomationDlg& panel = OpenPanel();
    g_knobSound[0] = 1;
    panel.OnLButtonDown(0, UsePoint(0));
    panel.OnLButtonUp(0, UsePoint(0));
    panel.OnLButtonDblClk(0, UsePoint(0));
    panel.OnLButtonUp(0, UsePoint(0));
    EXPECT_EQ(g_knobEnabled[0], 0u);
}

// ---------------------------------------------------------------- sound name

class SoundNameTest : public ToolWindowTest {
protected:
    void Run(const std::string& start, std::function<void(CDialog&)> script) {
        g_curSoundName = start;
        g_soundEdited = 0;
        g_saveChanges = 1;
        session_->doc->SetModifiedFlag(false);
        dialogScripts.push_back(std::move(script));
        EditSoundName(session_->doc);
        EXPECT_EQ(g_soundEdited, 1);
        EXPECT_TRUE(session_->doc->IsModified());
        EXPECT_EQ(g_panelCache[kCacheSoundNumber], 255);
    }
};

TEST_F(SoundNameTest, TheNameIsCutToItsCharacters) {
    struct Case {
        const char* start;
        const char* typed;
        const char* kept;
    };
    for (const Case& c : {Case{"LEAD", "BASS-2", "BASS"}, {"LEAD", "", ""}, {"LEAD", "-LEAD", ""},
                          {"LEAD", " PAD 2 ", " PAD 2 "}, {"LEAD", "bass 3", "BASS 3"}})
    {
        Run(c.start, [&](CDialog& dlg) {
            dlg.SetDlgItemText(IDC_SOUND_NAME, c.typed);
            dlg.PressEnter();
        });
        EXPECT_EQ(g_curSoundName, c.kept) << c.typed;
    }
}

TEST_F(SoundNameTest, EscapeAndAnUntouchedEnterKeepTheName) {
    Run("Bass-1", [](CDialog& dlg) { dlg.PressEscape(); });
    EXPECT_EQ(g_curSoundName, "Bass-1");
    Run("Bass-1", [](CDialog& dlg) { dlg.PressEnter(); });
    EXPECT_EQ(g_curSoundName, "Bass-1");
    Run("PIANO", [](CDialog& dlg) { dlg.PressEscape(); });
    EXPECT_EQ(g_curSoundName, "PIANO");
}

TEST_F(SoundNameTest, TheFieldTakesTwentyEightCapitalsNextToTheProgramHeader) {
    Run("X", [this](CDialog& dlg) {
        EXPECT_EQ(dlg.GetWindowText(), "Enter name");
        CRect r, view;
        dlg.GetWindowRect(&r);
        session_->view->GetWindowRect(&view);
        EXPECT_EQ(r.TopLeft(), CPoint(view.left + 372, view.top + 132));
        // 217 x 60 as shown, or what the field needs where the dialog font
        // makes it larger.
        wxWindow* box = ToolkitOf(&dlg);
        const wxSize least = box->GetMinSize();
        box->Show();
        PumpMessages(40);
        dlg.GetWindowRect(&r);
        EXPECT_EQ(r.TopLeft(), CPoint(view.left + 372, view.top + 132));
        EXPECT_EQ(r.Width(), std::max(217, least.x));
        EXPECT_EQ(r.Height(), std::max(60, least.y));
        dlg.SetDlgItemText(IDC_SOUND_NAME, std::string(29, 'a'));
        EXPECT_LE(dlg.GetDlgItemText(IDC_SOUND_NAME).size(), 28u);  // a 29th character is refused
        dlg.SetDlgItemText(IDC_SOUND_NAME, std::string(28, 'a'));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_SOUND_NAME), std::string(28, 'A'));
        dlg.PressEnter();
    });
    EXPECT_EQ(g_curSoundName, std::string(28, 'A'));
}

// ---------------------------------------------------------------- effects

class EffectsTest : public ToolWindowTest {
protected:
    void SetUp() override {
        ToolWindowTest::SetUp();
        for (int u = 0; u < 3; ++u) {
            g_effectSettings.fxType[u] = 0;
            for (int s = 0; s < 3; ++s) g_effectSettings.fxParam[u][s] = 0;
        }
        g_effectSettings.fxSerial = 0;
        g_effectSettings.fxSerialAmount = 0;
    }
    int Run(std::function<void(CEffectsDlg&)> script) {
        dialogScripts.push_back([script](CDialog& dlg) { script(dynamic_cast<CEffectsDlg&>(dlg)); });
        CEffectsDlg dlg;
        return dlg.DoModal();
    }
    static std::vector<std::string> Captions(CDialog& d, int unit) {
        static const int ids[3][3] = {{IDC_FX1_CAPTION1, IDC_FX1_CAPTION2, IDC_FX1_CAPTION3},
                                      {IDC_FX2_CAPTION1, IDC_FX2_CAPTION2, IDC_FX2_CAPTION3},
                                      {IDC_FX3_CAPTION1, IDC_FX3_CAPTION2, IDC_FX3_CAPTION3}};
        return {d.GetDlgItemText(ids[unit][0]), d.GetDlgItemText(ids[unit][1]), d.GetDlgItemText(ids[unit][2])};
    }
    static std::vector<int> Params(int unit) {
        return {g_effectSettings.fxParam[unit][0], g_effectSettings.fxParam[unit][1], g_effectSettings.fxParam[unit][2]};
    }
    static bool Enabled(CDialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
};

TEST_F(EffectsTest, ChoosingTypes) {
    g_effectSettings.fxType[0] = 1;
    g_effectSettings.fxParam[0][0] = 5;
    g_effectSettings.fxParam[0][1] = 30;
    g_effectSettings.fxType[1] = 5;
    g_effectSettings.fxParam[1][0] = 100;
    Run([](CEffectsDlg& d) {
        EXPECT_EQ(Captions(d, 0), (std::vector<std::string>{"Delay 5 step(s)", "Feedback 30%", "not used"}));
        EXPECT_EQ(d.m_fx1Type.GetLBText(11), "Chorus, dual-voice stereo");
        EXPECT_EQ(d.m_fx3Type.GetLBText(6), "Reverb, hall");
        EXPECT_EQ(d.m_fx1Param1.GetPos(), 5);
        // The first pick counts even when it is the same type; a second does not.
        d.ChooseComboItem(IDC_FX1_TYPE, 1);
        EXPECT_EQ(Params(0), (std::vector<int>{1, 0, 0}));
        EXPECT_EQ(g_docModified, 1);
        EXPECT_EQ(Captions(d, 0), (std::vector<std::string>{"Delay 1 step(s)", "Feedback 0%", "not used"}));
        EXPECT_TRUE(Enabled(d, IDC_FX1_PARAM1));
        EXPECT_FALSE(Enabled(d, IDC_FX1_PARAM3));
        EXPECT_FALSE(Enabled(d, IDC_FX1_CAPTION3));
        d.MoveSlider(IDC_FX1_PARAM1, 4);
        d.ChooseComboItem(IDC_FX1_TYPE, 1);
        EXPECT_EQ(g_effectSettings.fxParam[0][0], 4);
        // "Off": three zeros, "not used", all disabled.
        d.ChooseComboItem(IDC_FX2_TYPE, 0);
        EXPECT_EQ(g_effectSettings.fxType[1], 0);
        EXPECT_EQ(Params(1), (std::vector<int>{0, 0, 0}));
        EXPECT_EQ(Captions(d, 1), (std::vector<std::string>{"not used", "not used", "not used"}));
        for (int id : {IDC_FX2_PARAM1, IDC_FX2_PARAM2, IDC_FX2_PARAM3, IDC_FX2_CAPTION1}) EXPECT_FALSE(Enabled(d, id));
        // "Reverb, hall" in unit 3.
        d.ChooseComboItem(IDC_FX3_TYPE, 6);
        EXPECT_EQ(g_effectSettings.fxType[2], 6);
        EXPECT_EQ(Params(2), (std::vector<int>{5, 0, 0}));
        EXPECT_EQ(Captions(d, 2), (std::vector<std::string>{"Pre delay", "Rev time", "not used"}));
        EXPECT_EQ(d.m_fx3Param1.GetRangeMin(), 5);
        EXPECT_EQ(d.m_fx3Param1.GetRangeMax(), 92);
        EXPECT_EQ(d.m_fx3Param2.GetRangeMax(), 256);
        EXPECT_FALSE(Enabled(d, IDC_FX3_PARAM3));
        d.MoveSlider(IDC_FX3_PARAM1, 200);  // kept within the range
        EXPECT_EQ(g_effectSettings.fxParam[2][0], 92);
        d.PressEscape();
    });
    // Escape keeps every change.
    EXPECT_EQ(g_effectSettings.fxType[2], 6);
    EXPECT_EQ(g_effectSettings.fxParam[0][0], 4);
}

TEST_F(EffectsTest, OneSliderStepRewritesOneCaption) {
    g_effectSettings.fxType[0] = 9;  // chorus
    g_effectSettings.fxParam[0][0] = 20;
    g_effectSettings.fxParam[0][1] = 10;
    g_effectSettings.fxParam[0][2] = 1;
    Run([](CEffectsDlg& d) {
        EXPECT_EQ(Captions(d, 0), (std::vector<std::string>{"Delay 20ms", "Depth", "Rate"}));
        d.MoveSlider(IDC_FX1_PARAM2, 11);  // the first slider message rewrites the changed ones only
        const int captions[] = {IDC_FX1_CAPTION1, IDC_FX1_CAPTION2, IDC_FX1_CAPTION3, IDC_FX2_CAPTION1,
                                IDC_FX2_CAPTION2, IDC_FX2_CAPTION3, IDC_FX3_CAPTION1, IDC_FX3_CAPTION2, IDC_FX3_CAPTION3};
        for (int id : captions) d.SetDlgItemText(id, "X");
        d.MoveSlider(IDC_FX1_PARAM1, 21);
        for (int id : captions) EXPECT_EQ(d.GetDlgItemText(id), id == IDC_FX1_CAPTION1 ? "Delay 21ms" : "X") << id;
        EXPECT_EQ(g_effectSettings.fxParam[0][0], 21);
        EXPECT_EQ(g_effectSettings.fxParam[0][1], 11);
        d.ClickButton(IDOK);
    });
}

TEST_F(EffectsTest, ConnectionKeepsTheAmount) {
    g_effectSettings.fxSerial = 1;
    g_effectSettings.fxSerialAmount = 17;
    g_effectSettings.fxType[0] = 1;
    g_effectSettings.fxParam[0][0] = 3;
    const int result = Run([](CEffectsDlg& d) {
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_FX_SERIAL), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_FX_PARALLEL), 0u);
        EXPECT_TRUE(Enabled(d, IDC_FX_AMOUNT));
        EXPECT_EQ(d.m_serialAmount.GetPos(), 17);
        d.ClickButton(IDC_FX_PARALLEL);
        EXPECT_EQ(g_effectSettings.fxSerial, 0);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_FX_SERIAL), 0u);
        EXPECT_FALSE(Enabled(d, IDC_FX_AMOUNT));
        EXPECT_FALSE(Enabled(d, IDC_FX_AMOUNT_CAPTION));
        g_effectSettings.fxSerialAmount = 99;  // a slider message stores the disabled slider's position
        d.MoveSlider(IDC_FX1_PARAM1, 5);
        EXPECT_EQ(g_effectSettings.fxSerialAmount, 17);
        g_docModified = 0;
        d.ClickButton(IDC_FX_SERIAL);
        EXPECT_EQ(g_effectSettings.fxSerial, 1);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_FX_PARALLEL), 0u);
        EXPECT_TRUE(Enabled(d, IDC_FX_AMOUNT));
        EXPECT_EQ(g_docModified, 1);
        d.MoveSlider(IDC_FX_AMOUNT, 40);
        EXPECT_EQ(g_effectSettings.fxSerialAmount, 40);
        d.ClickButton(ID_HELP);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(trace.back(), "help 2");
}

TEST_F(EffectsTest, StoredTypesBeyondTheListsDisableTheirUnits) {
    g_effectSettings.fxType[0] = 12;
    g_effectSettings.fxType[1] = 8;
    g_effectSettings.fxType[2] = 40;
    Run([](CEffectsDlg& d) {
        EXPECT_EQ(d.m_fx1Type.GetCurSel(), -1);
        EXPECT_EQ(d.m_fx3Type.GetCurSel(), -1);
        EXPECT_EQ(Captions(d, 0), (std::vector<std::string>{"not used", "not used", "not used"}));
        EXPECT_EQ(Captions(d, 1), (std::vector<std::string>{"", "", ""}));
        EXPECT_EQ(Captions(d, 2), (std::vector<std::string>{"", "", ""}));
        for (int id : {IDC_FX1_PARAM1, IDC_FX1_PARAM2, IDC_FX1_PARAM3, IDC_FX2_PARAM1, IDC_FX3_PARAM2})
            EXPECT_FALSE(Enabled(d, id)) << id;
        d.PressEscape();
    });
}
