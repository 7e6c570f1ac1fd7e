// The panel view, the About box and the splash on the windowing layer: what
// they draw lands in their windows' pictures, compared with the skin's
// bitmaps.
#include "tests/gui/gui_fixture.h"
#include "tests/app/program_fixture.h"  // ReadScreen

#include "data/sound_bank_ops.h"
#include "host/midi_controllers.h"
#include "host/midi_handler.h"
#include "res/bmp.h"
#include "res/resource_ids.h"
#include "shared/mixer.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/about_dlg.h"
#include "ui/panel_paint.h"
#include "tests/panel/skin_cache.h"
#include "ui/panel_state.h"
#include "ui/sound_commands.h"
#include "ui/sound_name_dlg.h"

namespace {

// True when the w x h region of the picture at (x, y) shows the bitmap's
// region at (sx, sy).
bool Shows(const CBitmap* picture, int x, int y, int w, int h, int bitmap, int sx, int sy) {
    const DecodedBitmap& b = Skin(bitmap);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (picture->GetPixelRgb(x + i, y + j) != b.At(sx + i, sy + j)) return false;
    return true;
}

class PanelViewTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
    }
    CSynthView* View() { return static_cast<CSynthView*>(session_->view); }
    bool Run(UINT id) { return session_->frame->ExecuteCommand(id); }
};

// The synthesizer section of the view's picture: its knobs, selectors, lamps,
// digits and the sound name.
std::vector<uint32_t> SynthSection(const CBitmap* picture) {
    std::vector<uint32_t> px;
    for (int y = 0; y < 157; ++y)
        for (int x = 0; x < 605; ++x) px.push_back(picture->GetPixelRgb(g_panelX + x, g_panelY + y));
    return px;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
    return n;
}

}  // namespace

TEST_F(PanelViewTest, ThePanelIsPaintedIntoTheViewsPicture) {
    g_liveKnobs[kParamAmpAttack] = 25;
    g_liveKnobs[kParamOsc2Tune] = -12;
    g_volumeOverrides.bus[2] = 1;
    View()->PaintPanel();
    CBitmap* picture = View()->DrawSurface();
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(Shows(picture, g_panelX + 3, g_panelY + 64, 30, 30, 196, 0, 30 * 55));
    EXPECT_TRUE(Shows(picture, g_panelX + 260, g_panelY + 12, 30, 30, 197, 0, 30 * 52));
    EXPECT_TRUE(Shows(picture, 223, g_lowerPanelY, 60, 10, 205, 133, 111));
    EXPECT_TRUE(Shows(picture, 0, 0, 10, 27, 208, 0, 0));
    g_volumeOverrides.bus[2] = 0;
}

TEST_F(PanelViewTest, TheTimerTickUpdatesThePanelAndTheEnginesTempo) {
    g_tempoDisplay = 163;
    g_tempo = 120;
    g_liveKnobs[kParamFilterResonance] = 70;
    View()->OnTimer(kViewTimerId);
    EXPECT_EQ(g_tempo, 163u);
    CBitmap* picture = View()->DrawSurface();
    EXPECT_TRUE(Shows(picture, 120, 4, 11, 17, 204, 11, 21));
    EXPECT_TRUE(Shows(picture, 132, 4, 11, 17, 204, 66, 21));
    EXPECT_TRUE(Shows(picture, 144, 4, 11, 17, 204, 33, 21));
    EXPECT_TRUE(Shows(picture, g_panelX + 189, g_panelY + 64, 30, 30, 198, 0, 30 * 10));
    // The live knobs went into the current sound.
    EXPECT_EQ(g_soundBank[kParamFilterResonance][g_curSound], 70);
}

// The timer draws only what changed: once the first ticks have caught up, a
// tick where nothing moved copies nothing to the window, and a new play row
// does. (While the song plays, so that the grid and the readout show the play
// row: a redraw that leaves the picture as it was reaches the window no more.)
TEST_F(PanelViewTest, AQuietTickCopiesNothingToTheWindow) {
    for (auto& level : g_meterLevels) level = 0;  // falling meters are drawn
    g_songPlaying = 1;
    View()->OnTimer(kViewTimerId);
    View()->OnTimer(kViewTimerId);
    const uint64_t before = View()->PresentedDrawings();
    View()->OnTimer(kViewTimerId);
    EXPECT_EQ(View()->PresentedDrawings(), before);
    g_trackRow[0] = g_trackRow[0] + 1;
    View()->OnTimer(kViewTimerId);
    EXPECT_GT(View()->PresentedDrawings(), before);
    g_trackRow[0] = 0;
    g_songPlaying = 0;
}

// Every showing of the grid redraws the top bar's LED readout: the edit
// position while stopped, the first track's while playing.
TEST_F(PanelViewTest, ShowingTheGridRedrawsTheLedReadout) {
    View()->PaintPanel();  // position 000, row 000
    g_orderTop = 10;
    g_orderCursor = 3;
    g_editStep = 5;
    g_markBeats = 1;
    View()->ShowPatternGrid();
    CBitmap* picture = View()->DrawSurface();
    ASSERT_NE(picture, nullptr);
    auto led = [&](int x, int digit) { return Shows(picture, x, 4, 11, 17, 204, 11 * digit, 21); };
    EXPECT_TRUE(led(481, 0) && led(493, 1) && led(505, 3));
    EXPECT_TRUE(led(521, 0) && led(533, 0) && led(545, 5));
    EXPECT_TRUE(Shows(picture, 516, 4, 5, 17, 204, 116, 21));  // row 5 is off the beat: the blank

    g_trackSongPos[0] = 42;
    g_trackRow[0] = 9;  // row 8, on the beat: the colon
    g_songPlaying = 1;
    g_followSong = 0;
    View()->ShowPatternGrid();
    picture = View()->DrawSurface();
    EXPECT_TRUE(led(481, 0) && led(493, 4) && led(505, 2));
    EXPECT_TRUE(led(521, 0) && led(533, 0) && led(545, 8));
    EXPECT_TRUE(Shows(picture, 516, 4, 5, 17, 204, 111, 21));
    g_songPlaying = 0;
    g_trackSongPos[0] = 0;
    g_trackRow[0] = 0;
    g_followSong = 1;
    g_orderTop = 0;
    g_orderCursor = 0;
    g_editStep = 0;
}

TEST_F(PanelViewTest, TheAboutBoxScrollsItsCreditsAndClosesOnAClick) {
    CAboutDlg dlg;
    int shownOffsetAfter3 = -1, offsetAfter881 = -1;
    bool rowsMatchAfter3 = false, rowsMatchAfter882 = false;
    dialogScripts.push_back([&](CDialog& d) {
        CBitmap* picture = d.DrawSurface();
        ASSERT_NE(picture, nullptr);
        d.OnPaint();
        EXPECT_TRUE(Shows(picture, 0, 0, 300, 64, 230, 0, 0));
        for (int t = 0; t < 3; ++t) d.OnTimer(kCreditsTimerId);
        shownOffsetAfter3 = g_creditsOffset;
        // Three ticks drew rows 0, 1 and 2 at the top: the window shows rows 2..225.
        rowsMatchAfter3 = Shows(picture, 32, 64, 230, 224, 236, 0, 2);
        for (int t = 3; t < 881; ++t) d.OnTimer(kCreditsTimerId);
        offsetAfter881 = g_creditsOffset;
        d.OnTimer(kCreditsTimerId);
        rowsMatchAfter882 = Shows(picture, 32, 64, 230, 224, 236, 0, 0);
        d.OnLButtonDown(0, CPoint(150, 20));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shownOffsetAfter3, 3);
    EXPECT_TRUE(rowsMatchAfter3);
    EXPECT_EQ(offsetAfter881, 0);
    EXPECT_TRUE(rowsMatchAfter882);
}

// Shown on the screen, the box's timer copies the credits into its window and
// the copy is presented as it is: the paint handler, which covers the window
// with the background picture, does not run for it.
TEST_F(PanelViewTest, TheCreditsTickIsPresentedWithoutARepaint) {
    struct CountingAbout : CAboutDlg {
        int paints = 0;
        void OnPaint() override {
            ++paints;
            CAboutDlg::OnPaint();
        }
    } dlg;
    int paintsShown = 0, paintsLater = -1, offsetShown = 0, offsetLater = 0;
    bool showsCredits = false;
    dialogScripts.push_back([&](CDialog& d) {
        d.ShowWindow(SW_SHOW);
        for (int i = 0; i < 100 && dlg.paints == 0; ++i) PumpMessages(10);
        paintsShown = dlg.paints;
        g_creditsOffset = offsetShown = 300;  // where the strip holds text
        PumpMessages(400);
        paintsLater = dlg.paints;
        offsetLater = g_creditsOffset;
        showsCredits = Shows(d.DrawSurface(), 32, 64, 230, 224, 236, 0, g_creditsOffset - 1);
        d.OnLButtonDown(0, CPoint(150, 20));
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_GT(paintsShown, 0);
    EXPECT_GT(offsetLater, offsetShown) << "no tick";
    EXPECT_EQ(paintsLater, paintsShown);
    EXPECT_TRUE(showsCredits);
}

TEST_F(PanelViewTest, TheSplashShowsItsPicture) {
    CSplashDlg splashDlg;
    const DecodedBitmap& splash = Skin(229);
    ASSERT_EQ(g_splashBitmap.Width(), 400);
    ASSERT_EQ(g_splashBitmap.Height(), 256);
    for (auto [x, y] : {std::pair{0, 0}, {120, 90}, {399, 255}, {318, 104}})
        EXPECT_EQ(g_splashBitmap.GetPixelRgb(x, y), splash.At(x, y)) << x << "," << y;
}

// Every command that changes what the panel shows of the current sound (its
// name or a knob) reaches the screen at the next timer tick: the section then
// shows what a full repaint draws.
TEST_F(PanelViewTest, SoundCommandsReachThePanelAtTheNextTick) {
    const std::string instrument = (dir_ / "lead.mci").string();
    // Sound 3 with its own knobs and name, copied to the clipboard and saved.
    g_curSound = 3;
    LoadSoundToKnobs(3);
    g_curSoundName = "CLIPBOARD 9";
    g_liveKnobs[kParamFilterCutoff] = 12;
    g_liveKnobs[kParamAmpAttack] = 70;
    ASSERT_TRUE(Run(ID_SOUNDS_COPY));
    filePicks.push_back(instrument);
    ASSERT_TRUE(Run(ID_SOUNDS_SAVE));
    // The controller of the filter cutoff.
    int cutoff = -1;
    for (int p = 0; p < kControllerKnobs; ++p)
        if (g_paramValuePtrs[p].Address() == &g_liveKnobs[kParamFilterCutoff]) cutoff = p;
    ASSERT_GE(cutoff, 0);
    const uint32_t mapBefore = g_midiControllerMap[cutoff];

    auto rename = [&](const char* name) {
        dialogScripts.push_back([name](CDialog& d) {
            d.SetDlgItemText(IDC_SOUND_NAME, name);
            d.PressEnter();
        });
        EditSoundName(session_->doc);
    };
    struct Case {
        const char* name;
        std::function<void()> before;  // shown on the panel before the command
        std::function<void()> command;
    } cases[] = {
        {"Paste", {}, [&] { EXPECT_TRUE(Run(ID_SOUNDS_PASTE)); }},
        {"Undo changes after a rename", [&] { rename("RENAMED"); }, [&] { EXPECT_TRUE(Run(ID_SOUNDS_UNDO)); }},
        {"Rename", {}, [&] { rename("NEW NAME 7"); }},
        {"Reset knobs", {}, [&] { EXPECT_TRUE(Run(ID_SOUNDS_RESET)); }},
        {"Randomize", {}, [&] { EXPECT_TRUE(Run(ID_SOUNDS_RANDOMIZE)); }},
        {"Load sound", {},
         [&] {
             answers.push_back(IDYES);  // replace the used sound
             filePicks.push_back(instrument);
             EXPECT_TRUE(Run(ID_SOUNDS_LOAD));
         }},
        {"MIDI controller", {},
         [&] {
             g_midiControllerMap[cutoff] = 74;
             HandleMidiMessage(0xB0u | 74u << 8 | 100u << 16, 0);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_curSound = 5;
        g_soundNames[5] = "LEAD ONE";
        LoadSoundToKnobs(5);
        g_liveKnobs[kParamFilterCutoff] = 40;
        g_liveKnobs[kParamAmpGain] = 20;
        StoreKnobsToSound(5);
        LoadSoundToKnobs(5);
        g_soundEdited = 0;
        View()->PaintPanel();
        if (c.before) c.before();
        View()->OnTimer(kViewTimerId);
        CBitmap* picture = View()->DrawSurface();
        ASSERT_NE(picture, nullptr);
        const std::vector<uint32_t> before = SynthSection(picture);
        c.command();
        View()->OnTimer(kViewTimerId);
        const std::vector<uint32_t> shown = SynthSection(picture);
        EXPECT_GT(Differing(shown, before), 0) << "the command changed nothing the panel shows";
        View()->PaintPanel();
        EXPECT_EQ(Differing(shown, SynthSection(picture)), 0) << "pixels the tick left stale";
    }
    g_midiControllerMap[cutoff] = mapBefore;
}

namespace {

class DrawCountingView : public CSynthView {
public:
    static inline int draws = 0;
    void OnDraw(CDC* dc) override {
        ++draws;
        CSynthView::OnDraw(dc);
    }
};

class ViewPaintTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession([] { return new DrawCountingView; }));
        // The pointer away from the window: the screen's picture shows it.
        ASSERT_EQ(std::system("xdotool mousemove 1279 1023"), 0);
        PumpMessages(100);
    }
    CSynthView* View() { return static_cast<CSynthView*>(session_->view); }
    // Pixels of the view's w x h area at (x, y) that the screen shows
    // otherwise than the view's picture.
    int StaleOnScreen(int x, int y, int w, int h) {
        const ScreenShot shot = ReadScreen();
        CRect view;
        View()->GetWindowRect(&view);
        if (shot.width < view.left + x + w) return -1;
        const CBitmap* picture = View()->DrawSurface();
        int n = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                n += shot.At(view.left + x + i, view.top + y + j) != picture->GetPixelRgb(x + i, y + j);
        return n;
    }
};

}  // namespace

// What the view's timer draws reaches the screen without a full repaint: the
// paint that follows only shows the changed part of the picture. A paint the
// program asks for still runs the view's drawing.
TEST_F(ViewPaintTest, TimerDrawingReachesTheScreenWithoutAFullRepaint) {
    View()->OnTimer(kViewTimerId);
    PumpMessages(100);
    const int knobX = g_panelX + 159, knobY = g_panelY + 64;  // the filter cutoff
    const int drawsBefore = DrawCountingView::draws;
    // Two changes far apart in one tick: a knob near the top, a meter near
    // the bottom; the screen between them stays as it was.
    g_liveKnobs[kParamFilterCutoff] = g_liveKnobs[kParamFilterCutoff] == 20 ? 60 : 20;
    g_meterLevels[0] = 12;
    View()->OnTimer(kViewTimerId);
    PumpMessages(100);
    EXPECT_EQ(DrawCountingView::draws, drawsBefore);
    EXPECT_EQ(StaleOnScreen(knobX, knobY, 30, 30), 0);
    EXPECT_EQ(StaleOnScreen(0, 0, 632, 430), 0);

    View()->Invalidate();
    PumpMessages(100);
    EXPECT_EQ(DrawCountingView::draws, drawsBefore + 1);
}
