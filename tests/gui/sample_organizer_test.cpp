// The sample organizer run through scripts: its rows and totals, the loop
// slider, Add (several files, the full store, quick-load), Replace, Remove
// with its in-use question, and Help.
#include "tests/gui/sample_fixture.h"

namespace {

using Cells = std::vector<std::string>;

TEST_F(SampleDialogTest, RowsShowSizeRootKeyAndLoopAndTheTotalRoundsDown) {
    AddSample("big.wav", 44100, 1000, 48);
    AddSample("small.wav", 300, 300, 36);
    AddSample("low.wav", 1024, 0, 24);
    RunOrganizer([](CSampleOrganizerDlg& o) {
        EXPECT_EQ(o.m_sampleList.GetItemCount(), 3);
        EXPECT_EQ(Row(o, 0), (Cells{"big.wav", "86k", "C-4", "1000"}));
        EXPECT_EQ(Row(o, 1), (Cells{"small.wav", "0k", "C-3", "300"}));
        EXPECT_EQ(Row(o, 2), (Cells{"low.wav", "2k", "C-2", "0"}));
        EXPECT_EQ(o.GetDlgItemText(IDC_ORG_TOTAL), "88k");  // 45,424 frames / 512
        EXPECT_EQ(g_currentSample, -1);
        for (int id : {IDC_ORG_REPLACE, IDC_ORG_REMOVE, IDC_ORG_EXPORT, IDC_ORG_COPY, IDC_ORG_LOOP_SLIDER})
            EXPECT_FALSE(Enabled(o, id)) << id;
        EXPECT_TRUE(Enabled(o, IDC_ORG_ADD));
        o.PressEscape();
    });
    EXPECT_EQ(g_docModified, 0);
}

TEST_F(SampleDialogTest, LoopSliderSetsTheLoopPointOfTheSelectedSample) {
    AddSample("a.wav", 1000, 250);
    AddSample("empty.wav", 0, 0);
    RunOrganizer([](CSampleOrganizerDlg& o) {
        o.m_sampleList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(g_currentSample, 0);
        EXPECT_TRUE(Enabled(o, IDC_ORG_LOOP_SLIDER));
        EXPECT_EQ(o.m_loopSlider.GetPos(), 125000);
        o.MoveSlider(IDC_ORG_LOOP_SLIDER, 250000);
        EXPECT_EQ(g_sampleLoopPoint[0].load(), 500u);
        EXPECT_EQ(o.m_sampleList.GetItemText(0, 3), "500");
        EXPECT_EQ(g_docModified, 1);
        o.MoveSlider(IDC_ORG_LOOP_SLIDER, 500000);
        EXPECT_EQ(g_sampleLoopPoint[0].load(), 1000u);  // no loop: the export writes no "smpl"
        EXPECT_EQ(BuildSampleWave(0).size(), 103u + 2000 + 5);
        // An empty sample puts the slider at the end.
        o.m_sampleList.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(g_currentSample, 1);
        EXPECT_EQ(o.m_loopSlider.GetPos(), 500000);
        o.m_sampleList.SetItemState(1, 0, LVIS_SELECTED);
        EXPECT_EQ(g_currentSample, -1);
        EXPECT_FALSE(Enabled(o, IDC_ORG_REMOVE));
        o.PressEscape();
    });
}

TEST_F(SampleDialogTest, AddLoadsTheChosenFilesInOrderAndRemembersTheFolder) {
    AddSample("kick.wav", 10, 10);
    const std::string sub = (dir_ / "sub").string();
    std::filesystem::create_directories(sub);
    const std::string a = WriteWave("sub/snare.wav", 100);
    const std::string b = WriteWave("sub/kick.wav", 50, 44100);
    const std::string c = WriteWave("sub/hat.wav", 2000, 11025);
    std::vector<std::string> seen;
    SetFileDialogHandler([&](const CFileDialog& d) {
        seen.push_back(d.m_initialDir + "|" + d.m_fileName + "|" + std::to_string(d.m_flags & OFN_ALLOWMULTISELECT));
        return a + "\n" + b + "\n" + c;
    });
    answers = {IDYES};  // reload kick.wav
    RunOrganizer([&](CSampleOrganizerDlg& o) {
        o.ClickButton(IDC_ORG_ADD);
        EXPECT_EQ(o.m_sampleList.GetItemCount(), 3);
        EXPECT_EQ(Row(o, 0), (Cells{"kick.wav", "0k", "C-4", "50"}));
        EXPECT_EQ(Row(o, 1), (Cells{"snare.wav", "0k", "C-3", "100"}));
        EXPECT_EQ(Row(o, 2), (Cells{"hat.wav", "3k", "C-2", "2000"}));
        EXPECT_EQ(o.GetDlgItemText(IDC_ORG_STATUS), "");
        o.PressEscape();
    });
    EXPECT_EQ(seen, (std::vector<std::string>{dir_.string() + "|*.wav|" + std::to_string(OFN_ALLOWMULTISELECT)}));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"kick.wav already exists, reload changes?"}));
    EXPECT_EQ(g_lastSampleFolder, sub);
    EXPECT_EQ(g_sampleCount.load(), 3u);
    EXPECT_EQ(g_docModified, 1);
}

TEST_F(SampleDialogTest, BadWaveFileGetsItsMessageAndChangesNothing) {
    AddSample("a.wav", 10, 10);
    std::vector<uint8_t> junk(300, 'x');
    filePicks = {WriteBytes("junk.wav", junk), WriteBytes("short.wav", {'R', 'I'})};
    RunOrganizer([](CSampleOrganizerDlg& o) {
        o.ClickButton(IDC_ORG_ADD);
        o.ClickButton(IDC_ORG_ADD);
        EXPECT_EQ(o.m_sampleList.GetItemCount(), 1);
        o.PressEscape();
    });
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Invalid wave file!", "Invalid wave file!"}));
    EXPECT_EQ(g_sampleCount.load(), 1u);
    EXPECT_EQ(g_sampleName[0], "a.wav");
}

TEST_F(SampleDialogTest, TheFullStoreTakesNoFurtherFile) {
    AddSamples(253);
    const std::string one = WriteWave("one.wav", 10), two = WriteWave("two.wav", 10), three = WriteWave("three.wav", 10);
    filePicks = {WriteWave("first.wav", 10), one + "\n" + two + "\n" + three};
    RunOrganizer([](CSampleOrganizerDlg& o) {
        // 253 + 1: Add stays enabled.
        o.ClickButton(IDC_ORG_ADD);
        EXPECT_TRUE(Enabled(o, IDC_ORG_ADD));
        // 254 + three files: one loaded, one message, the rest not loaded.
        o.ClickButton(IDC_ORG_ADD);
        EXPECT_EQ(o.m_sampleList.GetItemCount(), 255);
        EXPECT_FALSE(Enabled(o, IDC_ORG_ADD));
        o.PressEscape();
    });
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Cannot load more samples!"}));
    EXPECT_EQ(g_sampleCount.load(), 255u);
    EXPECT_EQ(g_sampleName[254], "one.wav");
}

TEST_F(SampleDialogTest, QuickLoadAddsAtOnceAndClosesAfterCancelToo) {
    struct Case {
        uint32_t samples;
        bool pick;
        uint32_t after;
        int fileDialogs;
    };
    for (const Case& c : {Case{1, true, 2, 1}, Case{1, false, 1, 1}, Case{255, true, 255, 0}}) {
        ResetSong();
        AddSamples(c.samples);
        int fileDialogs = 0;
        const std::string path = WriteWave("q.wav", 10);
        SetFileDialogHandler([&](const CFileDialog&) {
            ++fileDialogs;
            return c.pick ? path : std::string();
        });
        g_organizerQuickLoad = 1;
        bool scripted = false;
        const int result = RunOrganizer([&](CSampleOrganizerDlg& o) {
            scripted = true;
            EXPECT_TRUE(o.HasEnded());
        });
        EXPECT_TRUE(scripted);
        EXPECT_EQ(result, IDOK) << c.samples << c.pick;
        EXPECT_EQ(g_organizerQuickLoad, 0);
        EXPECT_EQ(g_sampleCount.load(), c.after);
        EXPECT_EQ(fileDialogs, c.fileDialogs);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SampleDialogTest, ReplaceWithTheNameOfAnotherSampleReloadsThatOne) {
    for (int i = 0; i < 7; ++i) AddSample("s" + std::to_string(i) + ".wav", 10, 10, 48, i);
    filePicks = {WriteWave("s5.wav", 3000)};
    answers = {IDYES};
    RunOrganizer([](CSampleOrganizerDlg& o) {
        o.m_sampleList.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
        o.ClickButton(IDC_ORG_REPLACE);
        EXPECT_EQ(Row(o, 5), (Cells{"s5.wav", "5k", "C-3", "3000"}));
        EXPECT_EQ(Row(o, 2), (Cells{"s2.wav", "0k", "C-4", "10"}));
        EXPECT_EQ(o.GetDlgItemText(IDC_ORG_TOTAL), "5k");
        o.PressEscape();
    });
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"s5.wav already exists, reload changes?"}));
    EXPECT_EQ(g_sampleLength[5].load(), 3000u);
    EXPECT_EQ(g_sampleData[2].load()[1], 9);
    EXPECT_EQ(g_sampleCount.load(), 7u);
}

TEST_F(SampleDialogTest, RemoveAsksOnlyWhenATestedOscillatorUsesTheSample) {
    constexpr char kQuestion[] =
        "The sample you are about to remove is being used in\n the current song! Continue anyway?";
    struct Case {
        const char* what;
        std::function<void()> use;
        bool asks;
    };
    const auto osc = [](int sound, SoundParam on, SoundParam wave, SoundParam sample, SoundParam split,
                        uint8_t waveValue, uint8_t onValue, uint8_t ref, uint8_t set) {
        if (on != kParamCount) g_soundBank[on][sound] = onValue;
        g_soundBank[wave][sound] = waveValue;
        g_soundBank[sample][sound] = ref;
        g_soundBank[split][sound] = set;
    };
    const std::vector<Case> cases = {
        {"sound 0 only", [&] { osc(0, kParamCount, kParamOsc1Wave, kParamOsc1Sample, kParamOsc1SplitSet, 6, 1, 3, 0); }, false},
        {"wave not 6", [&] { osc(7, kParamCount, kParamOsc1Wave, kParamOsc1Sample, kParamOsc1SplitSet, 5, 1, 3, 0); }, false},
        {"osc 2 off", [&] { osc(7, kParamOsc2On, kParamOsc2Wave, kParamOsc2Sample, kParamOsc2SplitSet, 6, 0, 3, 0); }, false},
        {"osc 3 off", [&] { osc(7, kParamOsc3On, kParamOsc3Wave, kParamOsc3Sample, kParamOsc3SplitSet, 6, 0, 3, 0); }, false},
        {"osc 2 on", [&] { osc(7, kParamOsc2On, kParamOsc2Wave, kParamOsc2Sample, kParamOsc2SplitSet, 6, 1, 3, 0); }, true},
        {"osc 1 by split", [&] {
             osc(9, kParamCount, kParamOsc1Wave, kParamOsc1Sample, kParamOsc1SplitSet, 6, 1, 255, 2);
             g_splitSample[128 + 60] = 3;
         }, true},
        {"split set not named", [&] {
             osc(9, kParamCount, kParamOsc1Wave, kParamOsc1Sample, kParamOsc1SplitSet, 6, 1, 255, 1);
             g_splitSample[128 + 60] = 3;
         }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        for (int i = 0; i < 10; ++i) AddSample("s" + std::to_string(i) + ".wav", 10, 10);
        g_splitSample[640 + 5] = 9;
        g_splitSample[640 + 6] = 3;
        g_splitTranspose[640 + 6] = -4;
        c.use();
        for (int answer : {IDNO, IDYES}) {
            if (!c.asks && answer == IDNO) continue;
            boxes.clear();
            answers = {answer};
            RunOrganizer([&](CSampleOrganizerDlg& o) {
                o.m_sampleList.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
                o.ClickButton(IDC_ORG_REMOVE);
                EXPECT_EQ(o.m_sampleList.GetItemCount(), answer == IDYES ? 9 : 10);
                if (answer == IDYES) {
                    // No row stays selected.
                    EXPECT_EQ(g_currentSample, -1);
                    EXPECT_EQ(o.m_sampleList.GetSelectedCount(), 0);
                    EXPECT_FALSE(Enabled(o, IDC_ORG_REMOVE));
                    EXPECT_FALSE(Enabled(o, IDC_ORG_REPLACE));
                    EXPECT_EQ(o.m_sampleList.GetItemText(3, 0), "s4.wav");
                }
                o.PressEscape();
            });
            EXPECT_EQ(BoxTexts(), c.asks ? std::vector<std::string>{kQuestion} : std::vector<std::string>{});
            EXPECT_EQ(g_sampleCount.load(), answer == IDYES ? 9u : 10u);
            EXPECT_EQ(g_docModified, answer == IDYES ? 1 : 0);
        }
        // The split entries renumbered: 3 gone (transpose 0), 9 became 8.
        EXPECT_EQ(g_splitSample[640 + 5], 8);
        EXPECT_EQ(g_splitSample[640 + 6], 255);
        EXPECT_EQ(g_splitTranspose[640 + 6], 0);
    }
}

TEST_F(SampleDialogTest, HelpOpensContextSevenAndTheTimerPollsTheClipboard) {
    AddSample("a.wav", 10, 10);
    EXPECT_EQ(RunOrganizer([&](CSampleOrganizerDlg& o) {
        o.ClickButton(ID_DEFAULT_HELP);
        EXPECT_EQ(trace, (std::vector<std::string>{"help 7"}));
        EXPECT_EQ(g_organizerTimer, kOrganizerTimerId);
        EXPECT_FALSE(Enabled(o, IDC_ORG_PASTE));
        clipboard.hasWave = true;
        o.SendMessage(WM_TIMER, kOrganizerTimerId);
        EXPECT_TRUE(Enabled(o, IDC_ORG_PASTE));
        // Held open elsewhere: the button keeps its state.
        clipboard.canOpen = false;
        clipboard.hasWave = false;
        o.SendMessage(WM_TIMER, kOrganizerTimerId);
        EXPECT_TRUE(Enabled(o, IDC_ORG_PASTE));
        clipboard.canOpen = true;
        o.SendMessage(WM_SETFOCUS);
        EXPECT_FALSE(Enabled(o, IDC_ORG_PASTE));
        // The close box ends it as Cancel.
        o.SendMessage(WM_CLOSE);
        EXPECT_TRUE(o.HasEnded());
    }), IDCANCEL);
}

}  // namespace
