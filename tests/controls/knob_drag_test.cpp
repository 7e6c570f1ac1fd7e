// Dragging knobs and faders, and the value tip: its place, its text and its end.
#include "tests/controls/panel_fixture.h"

namespace {

TEST(PercentText, ModesAndTruncation) {
    struct Case {
        int mode, value;
        const char* text;
    };
    const Case cases[] = {
        {1, -40, "-100%"}, {1, 0, "0%"},    {1, 40, "100%"},  {1, -1, "-2%"},  {1, 1, "2%"},
        {2, 0, "0%"},      {2, 79, "98%"},  {2, 80, "100%"},  {2, 1, "1%"},
        {3, -3, "-15%"},   {3, 0, "0%"},    {3, 20, "100%"},  {3, -20, "-100%"},
        {4, 1, "2%"},      {4, 40, "100%"}, {4, 3, "7%"},
        {5, 28, "50%"},    {5, 55, "99%"},  {5, 56, "100%"},  {5, 1, "1%"},    {5, 0, "0%"},
        {0, 40, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(PercentText(c.mode, c.value), c.text) << c.mode << " " << c.value;
}

TEST_F(PanelTest, KnobFollowsTheDistanceFromThePressPoint) {
    const int row = 9;  // FILTER reso, 0 .. 80
    g_liveKnobs[kParamFilterResonance] = 70;
    const CPoint p = SynthCentre(row);
    Press(p);
    EXPECT_EQ(Live(kParamFilterResonance), 70);  // a press alone changes nothing
    struct Step {
        int dx, dy, value;
    };
    const Step steps[] = {{0, -30, 80}, {0, -60, 80}, {0, -5, 75}, {0, 15, 55}, {40, 15, 55}, {0, 200, 0}, {0, 0, 70}};
    for (const Step& s : steps) {
        Move({p.x + s.dx, p.y + s.dy});
        EXPECT_EQ(Live(kParamFilterResonance), s.value) << s.dy;
        EXPECT_EQ(g_activeValue, s.value);
        EXPECT_EQ(view.tipText, PercentText(2, s.value));
    }
    Release();
    // After the release moves with the button change nothing.
    Move({p.x, p.y - 10});
    EXPECT_EQ(Live(kParamFilterResonance), 70);
}

TEST_F(PanelTest, SidewaysMoveWritesAgain) {
    const CPoint p = SynthCentre(0);  // OSC1 tune, -40 .. 40
    g_liveKnobs[kParamOsc1Tune] = -10;
    Press(p);
    view.calls.clear();
    g_liveKnobs[kParamOsc1Tune] = 33;  // changed behind the drag's back
    g_soundEdited = 0;
    Move({p.x + 25, p.y});
    EXPECT_EQ(Live(kParamOsc1Tune), -10);
    EXPECT_EQ(view.Count("panel"), 1);
    EXPECT_EQ(g_soundEdited, 1);
    Move({p.x - 3, p.y + 50});
    EXPECT_EQ(Live(kParamOsc1Tune), -40);
    EXPECT_EQ(view.tipText, "-100%");
}

class MixerDragTest : public PanelTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(MixerDragTest, MixerControlsDragInMixerSpace) {
    UseLayout(GetParam());
    g_storeAutomatically = 0;
    struct Case {
        int row;
        int32_t start;
        int dy;
        int32_t value;
        int tipMode;
        int tipDx, tipDy;  // from the control's top-left corner
    };
    const Case cases[] = {
        {3, 5, -30, 20, 3, -7, -19},    // pan, clamped at 20
        {3, -5, 4, -9, 3, -7, -19},
        {12, 30, -6, 36, 4, -7, -19},   // first send
        {20, 2, 5, 0, 4, -7, -19},      // second send, clamped at 0
        {26, 28, -10, 38, 5, -7, -16},  // fader of bus 2, pressed on its handle
        {32, 56, 70, 0, 5, -7, -16},    // master fader
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        const PanelControl& ctl = g_mixerControls[size_t(c.row)];
        WriteActiveValue(ctl.target, c.start);
        // Faders are pressed on the handle (its top 56 - v below the fader's top).
        const int my = ctl.kind == kCtlFader ? ctl.top + 56 - c.start + 10 : (ctl.top + ctl.bottom) / 2;
        const CPoint p = MixerToView((ctl.left + ctl.right) / 2, my);
        view.marks = 0;
        g_soundEdited = 0;
        Press(p);
        EXPECT_EQ(ReadActiveValue(ctl.target), c.start);
        EXPECT_EQ(g_valueTipMode, c.tipMode);
        const CPoint corner = MixerToView(ctl.left, ctl.top);
        EXPECT_EQ(view.tipX, corner.x + c.tipDx);
        EXPECT_EQ(view.tipY, corner.y + c.tipDy);
        EXPECT_EQ(view.tipText, PercentText(c.tipMode, c.start));
        Move({p.x + 3, p.y + c.dy});
        EXPECT_EQ(ReadActiveValue(ctl.target), c.value);
        EXPECT_EQ(view.tipText, PercentText(c.tipMode, c.value));
        // Store automatically off: the sound counts as edited, the document not.
        EXPECT_EQ(g_soundEdited, 1);
        EXPECT_EQ(view.marks, 0);
        Release();
        EXPECT_EQ(g_valueTipMode, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, MixerDragTest,
                         ::testing::Values(Layout::kNormal, Layout::kLarge, Layout::kSoundModule),
                         [](const auto& info) {
                             return std::string(info.param == Layout::kNormal  ? "Normal"
                                                : info.param == Layout::kLarge ? "Large"
                                                                               : "SoundModule");
                         });

TEST_F(PanelTest, FaderPressStepsAboveOrBelowTheHandle) {
    struct Case {
        int32_t start;
        int d;  // from the fader's top, in mixer space
        int32_t value;
        bool drags;
    };
    // The handle of a fader at v covers 56 - v .. 79 - v.
    const Case cases[] = {{40, 15, 41, false}, {40, 16, 40, true}, {40, 39, 40, true}, {40, 40, 39, false},
                          {0, 55, 1, false},   {0, 56, 0, true},   {0, 79, 0, true},   {56, 0, 56, true},
                          {56, 23, 56, true},  {56, 24, 55, false}};
    const PanelControl& fader = g_mixerControls[24];
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " d " << c.d);
        g_mixerSettings.volume[0] = c.start;
        view.marks = 0;
        const CPoint p = MixerToView(fader.left + 5, fader.top + c.d);
        Press(p);
        EXPECT_EQ(g_mixerSettings.volume[0].load(), c.value);
        EXPECT_EQ(g_panelDragActive, c.drags ? 1 : 0);
        EXPECT_EQ(view.marks, c.drags ? 0 : 1);
        EXPECT_EQ(view.tipText, PercentText(5, c.value));
        EXPECT_EQ(g_valueTipMode, 5);
        // A stepped press does not drag afterwards.
        Move({p.x, p.y - 5});
        EXPECT_EQ(g_mixerSettings.volume[0].load(), c.drags ? std::min(c.value + 5, 56) : c.value);
        Release();
    }
}

TEST_F(PanelTest, TipStandsAboveTheKnobFromThePress) {
    g_liveKnobs[kParamOsc1Tune] = -3;
    const CPoint corner = SynthPoint(0, 0, 0);
    Press(SynthCentre(0));
    EXPECT_TRUE(view.tipShown);
    EXPECT_EQ(view.tipX, corner.x - 5);
    EXPECT_EQ(view.tipY, corner.y - 19);
    EXPECT_EQ(g_valueTipMode, 1);
    EXPECT_EQ(view.tipText, "-7%");
    EXPECT_EQ(g_activeValue, -3);
    const int shows = view.Count("show tip");
    Move({SynthCentre(0).x, SynthCentre(0).y - 8});
    EXPECT_EQ(view.Count("show tip"), shows);  // it does not follow the mouse
    EXPECT_EQ(view.tipText, "12%");
}

TEST_F(PanelTest, WithoutTheTipWindowDragsWorkWithoutText) {
    view.tipExists = false;
    g_liveKnobs[kParamLfoRate] = 10;
    Press(SynthCentre(11));
    Move({SynthCentre(11).x, SynthCentre(11).y - 4});
    EXPECT_EQ(Live(kParamLfoRate), 14);
    EXPECT_EQ(g_valueTipMode, 0);
    EXPECT_FALSE(view.Called("show tip"));
    EXPECT_TRUE(view.tipText.empty());
    Release();
    EXPECT_FALSE(view.Called("hide tip"));
}

TEST_F(PanelTest, MoveWithoutTheButtonEndsThePress) {
    g_liveKnobs[kParamAmpGain] = 30;
    g_lastTweakData = 90;
    Press(SynthCentre(21));
    ASSERT_TRUE(view.tipShown);
    ASSERT_TRUE(view.captured);
    Move({SynthCentre(21).x, SynthCentre(21).y - 20}, 0);
    EXPECT_FALSE(view.tipShown);
    EXPECT_FALSE(view.captured);
    EXPECT_EQ(g_valueTipMode, 0);
    EXPECT_EQ(g_panelDragActive, 0);
    EXPECT_EQ(g_activeValuePtr.load(), nullptr);
    EXPECT_EQ(g_lastTweakData, -1);
    EXPECT_EQ(Live(kParamAmpGain), 30);
    // Later moves with the button find no press.
    Move({SynthCentre(21).x, SynthCentre(21).y - 20});
    EXPECT_EQ(Live(kParamAmpGain), 30);
}

TEST_F(PanelTest, ReleaseEndsEveryHeldState) {
    Press(SynthCentre(53));
    Press(SynthCentre(60));
    Press({399, 12});
    g_tempoButtonState = 1;
    g_soundButtonState = 2;
    g_stopButtonState = 1;
    view.calls.clear();
    Release();
    EXPECT_EQ(g_repeatActive, 0);
    for (auto* s : {&g_channelButtonState, &g_soundButtonState, &g_tempoButtonState, &g_storeButtonState,
                    &g_stopButtonState, &g_topBarButtons[8]})
        EXPECT_EQ(s->load(), 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"release capture", "hide tip", "panel", "topbar"}));
}

}  // namespace
