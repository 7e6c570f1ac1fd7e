// The panel under a real mouse on a (virtual) display: a double click reaches
// the view as exactly two presses, and a dragged knob shows the value tip
// while the view keeps the keyboard focus.
#include <wx/window.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tests/gui/gui_fixture.h"

#include "platform/wx_bridge.h"

#include "res/resource_ids.h"
#include "shared/sound_bank.h"
#include "ui/knob_drag.h"
#include "ui/panel_controls.h"
#include "ui/panel_state.h"
#include "ui/piano_keys.h"
#include "ui/tool_windows.h"

namespace {

// The panel view with its presses and mouse messages counted.
class PressCountingView : public CSynthView {
public:
    static inline int presses = 0;
    static inline std::string messages;
    void OnLButtonDown(UINT flags, CPoint point) override {
        messages += "D";
        CSynthView::OnLButtonDown(flags, point);
    }
    void OnLButtonDblClk(UINT flags, CPoint point) override {
        messages += "C";
        CSynthView::OnLButtonDblClk(flags, point);
    }
    void OnLButtonUp(UINT flags, CPoint point) override {
        messages += "U";
        CSynthView::OnLButtonUp(flags, point);
    }
    void OnMouseMove(UINT flags, CPoint point) override {
        messages += (flags & MK_LBUTTON) ? "M" : "m";
        CSynthView::OnMouseMove(flags, point);
    }
    void OnPanelButtonDown(int x, int y) override {
        ++presses;
        CSynthView::OnPanelButtonDown(x, y);
    }
};

class PanelMouseTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        PressCountingView::presses = 0;
        PressCountingView::messages.clear();
        ASSERT_TRUE(OpenSession([] { return new PressCountingView; }));
        ASSERT_TRUE(g_pValueTip != nullptr);
        ASSERT_TRUE(g_pValueTip->Create(IDD_VALUE_TIP, nullptr));
        g_storeAutomatically = 1;
        session_->view->SetFocus();
        PumpMessages(50);
    }
    // A point of the view on the screen.
    CPoint Screen(CPoint viewPoint) const {
        CRect r;
        session_->view->GetWindowRect(&r);
        return {r.left + viewPoint.x, r.top + viewPoint.y};
    }
    static CPoint Centre(int row) {
        const PanelControl& c = g_panelControls[size_t(row)];
        return {(c.left + c.right) / 2 + g_panelX, (c.top + c.bottom) / 2 + g_panelY};
    }
    void Mouse(const std::string& actions) {
        ASSERT_EQ(std::system(("xdotool " + actions).c_str()), 0);
        PumpMessages(150);
    }
    static std::string At(CPoint p) { return "mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y); }
};

TEST_F(PanelMouseTest, DoubleClickIsExactlyTwoPresses) {
    RelaxedStore(g_liveKnobs[kParamChannel], int32_t(2));
    RelaxedStore(g_liveKnobs[kParamOscSync], int32_t(0));
    Mouse(At(Screen(Centre(53))) + " click --repeat 2 --delay 60 1");
    EXPECT_EQ(PressCountingView::presses, 2) << PressCountingView::messages;
    // wxGTK drops GDK's surplus second press and passes down, up, double
    // click, up; when it lets that press through, the double click that
    // follows it is dropped instead.
    std::string buttons;
    for (char m : PressCountingView::messages)
        if (m != 'm') buttons += m;
    EXPECT_TRUE(buttons == "DUCU" || buttons == "DUDU") << buttons;
    EXPECT_EQ(RelaxedLoad(g_liveKnobs[kParamChannel]), 4);
    // The toggle flips back.
    PressCountingView::presses = 0;
    Mouse(At(Screen(Centre(43))) + " click --repeat 2 --delay 60 1");
    EXPECT_EQ(PressCountingView::presses, 2) << PressCountingView::messages;
    EXPECT_EQ(RelaxedLoad(g_liveKnobs[kParamOscSync]), 0);
    EXPECT_EQ(g_channelButtonState, 0);
}

// Both orders the toolkit may pass a double click in give two presses.
TEST_F(PanelMouseTest, ASurplusPressBeforeADoubleClickIsNotAThird) {
    wxWindow* w = ToolkitOf(session_->view);
    ASSERT_NE(w, nullptr);
    const CPoint p = Centre(53);
    auto send = [&](wxEventType type, bool down) {
        wxMouseEvent e(type);
        e.SetPosition(wxPoint(p.x, p.y));
        e.SetLeftDown(down);
        e.SetEventObject(w);
        w->HandleWindowEvent(e);
    };
    struct Order {
        const char* name;
        std::vector<std::pair<wxEventType, bool>> events;
        const char* messages;
    };
    const Order orders[] = {
        {"down up dclick up",
         {{wxEVT_LEFT_DOWN, true}, {wxEVT_LEFT_UP, false}, {wxEVT_LEFT_DCLICK, true}, {wxEVT_LEFT_UP, false}},
         "DUCU"},
        {"down up down dclick up",
         {{wxEVT_LEFT_DOWN, true},
          {wxEVT_LEFT_UP, false},
          {wxEVT_LEFT_DOWN, true},
          {wxEVT_LEFT_DCLICK, true},
          {wxEVT_LEFT_UP, false}},
         "DUDU"},
    };
    for (const Order& o : orders) {
        SCOPED_TRACE(o.name);
        RelaxedStore(g_liveKnobs[kParamChannel], int32_t(2));
        PressCountingView::presses = 0;
        PressCountingView::messages.clear();
        for (const auto& [type, down] : o.events) send(type, down);
        PumpMessages(20);
        EXPECT_EQ(PressCountingView::presses, 2);
        EXPECT_EQ(PressCountingView::messages, o.messages);
        EXPECT_EQ(RelaxedLoad(g_liveKnobs[kParamChannel]), 4);
    }
}

TEST_F(PanelMouseTest, DraggedKnobShowsTheTipAndTheViewKeepsTheFocus) {
    RelaxedStore(g_liveKnobs[kParamFilterResonance], int32_t(40));
    const CPoint knob = Centre(9);
    Mouse(At(Screen(knob)) + " mousedown 1");
    // Up and to the side, clear of the tip: with no window manager the X
    // server's focus follows the pointer.
    Mouse(At(Screen({knob.x + 40, knob.y - 10})));
    Mouse(At(Screen({knob.x + 40, knob.y - 20})));
    EXPECT_EQ(RelaxedLoad(g_liveKnobs[kParamFilterResonance]), 60) << PressCountingView::messages;
    EXPECT_TRUE(g_pValueTip->IsWindowVisible());
    EXPECT_EQ(g_pValueTip->GetDlgItemText(IDC_VALUE_TIP_TEXT), "75%");
    CRect tip;
    g_pValueTip->GetWindowRect(&tip);
    const CPoint corner = Screen({g_panelControls[9].left + g_panelX, g_panelControls[9].top + g_panelY});
    EXPECT_EQ(tip.left, corner.x - 5);
    EXPECT_EQ(tip.top, corner.y - 19);
    EXPECT_EQ(CWnd::GetFocus(), session_->view);
    Mouse("mouseup 1");
    EXPECT_FALSE(g_pValueTip->IsWindowVisible());
    EXPECT_EQ(g_valueTipMode, 0);
    EXPECT_EQ(g_activeValuePtr.load(), nullptr);

    // A note key then writes a note into the grid.
    ASSERT_EQ(std::system("setxkbmap us"), 0);
    g_trackerStyle = 0;
    BuildNoteKeyMap();
    g_patternFocus = 1;
    g_orderTop = g_orderCursor = 0;
    g_firstTrack = 0;
    g_cursorColumn = 6;
    g_editStep = 0;
    g_octave = 4;
    ASSERT_GT(g_patternCount, 0u);
    g_patterns[g_curPattern][PatternIndex(0, 3, 0, g_patternLength)] = kNoteEmpty;
    Mouse("key a");
    EXPECT_EQ(g_patterns[g_curPattern][PatternIndex(0, 3, 0, g_patternLength)], 48);
}

TEST_F(PanelMouseTest, ADialogOpenedByAPressHasTheMouse) {
    // Top-bar buttons 0 (song information) and 4 (Preferences), 23 pixels apart.
    const struct {
        int button;
        UINT dialog;
    } cases[] = {{0, IDD_SONG_INFO}, {4, IDD_PREFERENCES}};
    for (const auto& c : cases) {
        dialogs.clear();
        bool capturedDuringDialog = true;
        int buttonDuringDialog = 0;
        dialogScripts.push_back([&](CDialog& dlg) {
            capturedDuringDialog = CWnd::GetCapture() != nullptr;
            buttonDuringDialog = g_topBarButtons[c.button];
            dlg.EndDialog(IDCANCEL);
        });
        Mouse(At(Screen({224 + 23 * c.button, 12})) + " click 1");
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0], c.dialog);
        EXPECT_FALSE(capturedDuringDialog);
        EXPECT_EQ(buttonDuringDialog, 1);  // drawn pressed while its dialog is up
        EXPECT_EQ(g_topBarButtons[c.button], 0);
        EXPECT_EQ(CWnd::GetCapture(), nullptr);
    }
}

}  // namespace
