// The main frame and the panel view on a real (virtual) display: sizes,
// closing, keep-on-top, accelerators, the timer, the deferred redraw, the
// surfaces shown and the checks after a load.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <wx/frame.h>

#include "tests/gui/gui_fixture.h"
#include "tests/gui/native_windows.h"

#include "data/new_song_dlg.h"
#include "data/song_file.h"
#include "shared/editor.h"
#include "shared/mixer.h"

namespace {

// The panel view, with what reaches it counted.
class RecordingView : public CSynthView {
public:
    static inline std::vector<UINT> keys;
    static inline int gridShows = 0;
    static inline int deferredRedraws = 0;
    static inline int timerTicks = 0;
    static inline int panelPaints = 0;
    static inline CDialog* endAfterTicks = nullptr;
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override {
        keys.push_back(vk);
        CSynthView::OnKeyDown(vk, repeat, flags);
    }
    void ShowPatternGrid() override {
        ++gridShows;
        CSynthView::ShowPatternGrid();
    }
    void PaintPanel() override { ++panelPaints; }
    // The surfaces keep what a test put there.
    void DrawPatternGrid() override {}
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (g_refreshPending) ++deferredRedraws;
        return CSynthView::DefWindowProc(message, wParam, lParam);
    }
    void OnTimer(UINT id) override {
        ++timerTicks;
        if (endAfterTicks && endAfterTicks->IsModalRunning() && timerTicks >= 3) endAfterTicks->EndDialog(IDOK);
        CSynthView::OnTimer(id);
    }
    static void Reset() {
        keys.clear();
        gridShows = timerTicks = panelPaints = deferredRedraws = 0;
        endAfterTicks = nullptr;
    }
};

// The first visible window whose title matches, as the display numbers it.
unsigned long WindowNamed(const std::string& titleRegex) {
    std::string out;
    if (FILE* p = ::popen(("xdotool search --onlyvisible --name '" + titleRegex + "' 2>/dev/null").c_str(), "r")) {
        char buf[64];
        if (std::fgets(buf, sizeof buf, p)) out = buf;
        ::pclose(p);
    }
    return std::strtoul(out.c_str(), nullptr, 10);
}

class WindowTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        RecordingView::Reset();
        ASSERT_TRUE(OpenSession([] { return new RecordingView; }));
    }
    // Keys typed on the display, as a user would, into the main window: the
    // display gives it the keyboard (without a window manager the keys would
    // otherwise go to whatever window the pointer is over).
    void Type(const std::string& keys) {
        if (const unsigned long id = WindowNamed("^MorvelCanopy I - Untitled$")) {
            ASSERT_EQ(std::system(("xdotool windowfocus --sync " + std::to_string(id)).c_str()), 0);
        }
        session_->view->SetFocus();
        PumpMessages(50);
        std::string cmd = "xdotool key --delay 20 " + keys;
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        PumpMessages(150);
    }
};

}  // namespace

TEST_F(WindowTest, ThePanelGetsItsWholeClientAreaBelowTheMenu) {
    CRect client;
    session_->view->GetClientRect(&client);
    ViewClientSize want = ViewClientSizeForLayout(false, true);  // a 1280 x 1024 screen: large layout
    EXPECT_EQ(client.Width(), want.width);
    EXPECT_EQ(client.Height(), want.height);
    CRect frameClient;
    session_->frame->GetClientRect(&frameClient);
    EXPECT_EQ(frameClient.Width(), want.width);
    EXPECT_EQ(frameClient.Height(), want.height);
    EXPECT_EQ(g_frameWidth, 640);
    EXPECT_EQ(g_frameHeight, 540);
    EXPECT_EQ(session_->frame->GetWindowText(), "MorvelCanopy I - Untitled");
}

TEST_F(WindowTest, ClosingIsRefusedWhileTheCaptureFileIsClosed) {
    g_captureCloseCountdown = 5;
    g_playFlag = 1;
    g_engineReset = 0;
    session_->frame->SendMessage(WM_CLOSE);
    PumpMessages(20);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Morvel Canopy is closing the capture file. Please Wait!");
    EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONEXCLAMATION);  // a box without an icon shows the exclamation mark
    EXPECT_TRUE(session_->frame->IsWindow());
    EXPECT_EQ(g_engineReset, 0);  // transport untouched
    EXPECT_EQ(uint32_t(g_playFlag), 1u);
    g_captureCloseCountdown = 0;
    session_->frame->SendMessage(WM_CLOSE);
    PumpMessages(20);
    EXPECT_EQ(session_->app.m_pMainWnd, nullptr);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(uint32_t(g_playFlag), 0u);
}

TEST_F(WindowTest, KeepOnTopToggles) {
    CFrameWnd* f = session_->frame;
    f->ExecuteCommand(ID_OPTIONS_KEEP_ON_TOP);
    EXPECT_EQ(int32_t(g_keepOnTop), 1);
    EXPECT_TRUE(f->IsTopMost());
    CCmdUI ui;
    f->OnCmdMsg(ID_OPTIONS_KEEP_ON_TOP, &ui);
    EXPECT_EQ(ui.m_nCheck, 1);
    f->ExecuteCommand(ID_OPTIONS_KEEP_ON_TOP);
    EXPECT_EQ(int32_t(g_keepOnTop), 0);
    EXPECT_FALSE(f->IsTopMost());
}

// On the display: another window over the main window takes the activation;
// with keep-on-top the main window is above it again once it is active again.
// Without a window manager nothing else raises a window that gets the focus,
// so the main window's own activation handling is what puts it on top.
TEST_F(WindowTest, KeepOnTopPutsTheWindowAboveAnotherOnceActiveAgain) {
    CRect r;
    session_->frame->GetWindowRect(&r);
    auto* other = new wxFrame(nullptr, wxID_ANY, "Another window", wxPoint(r.left + 40, r.top + 40), wxSize(300, 200));
    other->Show();
    PumpMessages(100);
    const unsigned long mainId = WindowNamed("^MorvelCanopy I - Untitled$");
    const unsigned long otherId = WindowNamed("^Another window$");
    ASSERT_NE(mainId, 0u);
    ASSERT_NE(otherId, 0u);
    auto mainAbove = [&] {
        const std::vector<unsigned long> order = native::StackingTopFirst();
        const auto main = std::find(order.begin(), order.end(), mainId);
        const auto another = std::find(order.begin(), order.end(), otherId);
        EXPECT_TRUE(main != order.end() && another != order.end());
        return main < another;
    };
    auto focus = [](unsigned long id, bool raise) {
        const std::string w = std::to_string(id);
        ASSERT_EQ(std::system(((raise ? "xdotool windowraise " + w : "xdotool") + " windowfocus --sync " + w).c_str()), 0);
        PumpMessages(150);
    };
    for (const bool keepOnTop : {false, true}) {
        SCOPED_TRACE(keepOnTop ? "kept on top" : "not kept on top");
        if (bool(g_keepOnTop) != keepOnTop) session_->frame->ExecuteCommand(ID_OPTIONS_KEEP_ON_TOP);
        PumpMessages(100);
        // The other window raised and active: kept on top, the main window
        // comes back up as it loses the activation.
        focus(otherId, true);
        EXPECT_EQ(mainAbove(), keepOnTop);
        // The main window active again, raised by nothing but itself.
        focus(mainId, false);
        EXPECT_EQ(mainAbove(), keepOnTop);
    }
    other->Destroy();
    PumpMessages(20);
}

TEST_F(WindowTest, ActivationRecordsTheWindowCorner) {
    CFrameWnd* f = session_->frame;
    CRect r;
    f->GetWindowRect(&r);
    g_windowLeft = -5;
    f->OnActivate(WA_ACTIVE, nullptr, false);
    EXPECT_EQ(int32_t(g_windowLeft), r.left);
    EXPECT_EQ(int32_t(g_windowTop), r.top);
    g_windowLeft = -5;
    f->OnActivate(WA_ACTIVE, nullptr, true);  // minimised: nothing recorded
    EXPECT_EQ(int32_t(g_windowLeft), -5);
}

TEST_F(WindowTest, TheFileMenuAndItsStates) {
    auto menu = session_->frame->GetMenuState(0);
    std::vector<std::pair<UINT, bool>> got;
    for (auto& item : menu) got.push_back({item.id, item.enabled});
    std::vector<std::pair<UINT, bool>> want = {{57600, true}, {57601, true}, {57603, true}, {57604, true},
                                               {32818, true},  {0, false},     {32771, true},  {0, false},     {32772, true},  {32815, true}, {32816, false},
                                               {32817, false}, {0, false},     {57616, false}, {0, false},
                                               {57665, true}};
    EXPECT_EQ(got, want);
    // Play / Stop is off in the sound-module layout.
    g_soundModuleMode = 1;
    CCmdUI ui;
    session_->frame->OnCmdMsg(32818, &ui);
    EXPECT_FALSE(ui.m_bEnabled);
    g_soundModuleMode = 0;
}

TEST_F(WindowTest, CaptureCommandsFollowTheCaptureAndAnswerF3AndF4) {
    CFrameWnd* f = session_->frame;
    auto state = [f](UINT id) {
        CCmdUI ui;
        f->OnCmdMsg(id, &ui);
        return std::make_pair(ui.m_bEnabled, ui.m_nCheck);
    };
    EXPECT_EQ(state(32815), std::make_pair(true, 0));
    g_captureOn = 1;  // a capture file is open
    EXPECT_EQ(state(32815), std::make_pair(true, 1));
    EXPECT_TRUE(state(32816).first);
    EXPECT_FALSE(state(32817).first);
    Type("F3");
    EXPECT_EQ(g_captureArmed, 1u);
    EXPECT_FALSE(state(32816).first);
    EXPECT_TRUE(state(32817).first);
    Type("F4");
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_EQ(g_captureArmed, 0u);
}

TEST_F(WindowTest, AcceleratorsActBeforeTheViewSeesTheKey) {
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Type("ctrl+n");
    EXPECT_EQ(dialogs, std::vector<UINT>{180});  // File New ran
    for (UINT k : RecordingView::keys) EXPECT_NE(k, UINT('N'));
    Type("a");
    EXPECT_NE(std::find(RecordingView::keys.begin(), RecordingView::keys.end(), UINT('A')), RecordingView::keys.end());
    // Ctrl+Q is Exit.
    Type("ctrl+q");
    EXPECT_EQ(session_->app.m_pMainWnd, nullptr);
}

TEST_F(WindowTest, DeferredRedrawFromAnotherThread) {
    PumpMessages(60);
    // A post without the flag redraws nothing.
    int before = RecordingView::gridShows;
    std::thread([] { EXPECT_TRUE(PostThreadMessage(g_guiThreadId, WM_USER, 0, 0)); }).join();
    PumpMessages(10);
    EXPECT_EQ(RecordingView::deferredRedraws, 0);
    // The flag and the post: the pattern grid is redrawn on the GUI thread.
    std::thread([] { RequestDeferredRedraw(); }).join();
    PumpMessages(5);
    EXPECT_EQ(RecordingView::deferredRedraws, 1);
    EXPECT_GT(RecordingView::gridShows, before);
    EXPECT_EQ(g_refreshPending, 0u);
    // Only the flag: the next timer tick redraws.
    EXPECT_FALSE(PostThreadMessage(g_guiThreadId + 1, WM_USER, 0, 0));  // not the GUI thread
    g_refreshPending = 1;
    int ticks = RecordingView::timerTicks;
    for (int i = 0; i < 50 && RecordingView::timerTicks == ticks; ++i) PumpMessages(10);
    EXPECT_GT(RecordingView::timerTicks, ticks);
    EXPECT_EQ(g_refreshPending, 0u);
    EXPECT_EQ(RecordingView::deferredRedraws, 2);
}

TEST_F(WindowTest, TheViewTimerRunsDuringAModalDialog) {
    SetModalDialogHandler(nullptr);  // the real modal loop
    CNewSongDlg dlg;
    RecordingView::endAfterTicks = &dlg;
    RecordingView::timerTicks = 0;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_GE(RecordingView::timerTicks, 3);
    EXPECT_EQ(dlg.m_tempo, 120);
}

TEST_F(WindowTest, TheTimerPassesTheModifiedByteOnAndMetersFall) {
    for (auto& m : g_meterLevels) m = 16;
    g_saveChanges = 1;
    g_docModified = 1;
    session_->view->OnTimer(kViewTimerId);
    EXPECT_TRUE(session_->doc->IsModified());
    EXPECT_EQ(g_docModified, 0);
    EXPECT_EQ(int32_t(g_meterLevels[3]), 15);
    // With "Save changes" off the byte clears the framework's flag.
    g_saveChanges = 0;
    g_docModified = 1;
    session_->view->OnTimer(kViewTimerId);
    EXPECT_FALSE(session_->doc->IsModified());
    g_saveChanges = 1;
}

TEST_F(WindowTest, TheViewShowsItsSurfaces) {
    g_gridBits[0] = 18;                   // cyan
    g_gridBits[632 * g_gridHeight - 3] = 24;  // blue, the last row's column 629
    // The order list is drawn before it is shown: the play mark on its last
    // line reaches its right end (x 85) in the mark's blue C0.
    g_songPlaying = 1;
    g_trackSongPos[0] = g_orderTop + 6;
    auto* view = session_->view;
    static_cast<CSynthView*>(view)->ShowPatternGrid();
    static_cast<CSynthView*>(view)->ShowSongOrderList();
    CBitmap* picture = view->DrawSurface();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetPixelRgb(0, 194), 0x00FFFFu);
    EXPECT_EQ(picture->GetPixelRgb(629, 194 + g_gridHeight - 1), 0x0000FFu);
    EXPECT_EQ(picture->GetPixelRgb(7 + 85, g_lowerPanelY + 18 + 57), 0x0000C0u);
    EXPECT_EQ(picture->GetPixelRgb(7 + 85, g_lowerPanelY + 18 + 58), 0u);
    g_songPlaying = 0;
    g_trackSongPos[0] = 0;
}

TEST_F(WindowTest, FocusIsTrackedAndLosingItRepaints) {
    auto* view = static_cast<CSynthView*>(session_->view);
    view->OnSetFocus(nullptr);
    EXPECT_EQ(g_viewHasFocus, 1u);
    int paints = RecordingView::panelPaints;
    view->OnKillFocus(nullptr);
    EXPECT_EQ(g_viewHasFocus, 0u);
    EXPECT_EQ(RecordingView::panelPaints, paints + 1);
}

TEST_F(WindowTest, ChecksAfterALoadRunOnceAfterThePaint) {
    songFiles["/s/big.mcs"] = DocIoResult::Ok;
    ASSERT_NE(AfxGetApp()->OpenDocumentFile("/s/big.mcs"), nullptr);
    g_polyphony = 1;  // 4 voices
    g_songVoices = 32;
    g_songInfoOnLoad = 1;
    session_->view->Invalidate();
    for (int i = 0; i < 50 && g_songInfoOnLoad; ++i) PumpMessages(10);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("WARNING!!!\n\nThis song uses more voices", 0), 0u);
    session_->view->Invalidate();
    PumpMessages(100);
    EXPECT_EQ(boxes.size(), 1u);  // once per load

    // An untitled song gets no warning.
    boxes.clear();
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    session_->frame->ExecuteCommand(ID_FILE_NEW);
    g_songInfoOnLoad = 1;
    session_->view->Invalidate();
    for (int i = 0; i < 50 && g_songInfoOnLoad; ++i) PumpMessages(10);
    EXPECT_EQ(g_songInfoOnLoad, 0);
    EXPECT_TRUE(boxes.empty());
    g_polyphony = 5;
}
