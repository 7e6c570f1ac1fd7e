// The split editor run through scripts: the key rows of a set, Add in Auto and
// manual mode, Remove, the keys it never shows, the set spin and its bounds,
// the state kept between openings, and the organizer opened from it.
#include "tests/gui/sample_fixture.h"
#include "ui/split_editor_dlg.h"

namespace {

using Cells = std::vector<std::string>;

class SplitEditorTest : public SampleDialogTest {
protected:
    void SetUp() override {
        SampleDialogTest::SetUp();
        g_currentSplit = 0;
        g_splitAutoTranspose = 0;
        g_splitManualTranspose = 0;
        AddSample("low.wav", 1024, 1024, 48);
        AddSample("high.wav", 3000, 3000, 36);
    }
    int Run(std::function<void(CSplitEditorDlg&)> script) {
        dialogScripts.push_front([script](CDialog& d) { script(static_cast<CSplitEditorDlg&>(d)); });
        CSplitEditorDlg dlg;
        return dlg.DoModal();
    }
    static Cells KeyRow(CSplitEditorDlg& d, int row) {
        return {d.m_keyList.GetItemText(row, 0), d.m_keyList.GetItemText(row, 1), d.m_keyList.GetItemText(row, 2)};
    }
    static void SelectKeys(CSplitEditorDlg& d, std::initializer_list<int> rows) {
        for (int r : rows) d.m_keyList.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
    }
    static int Entry(int set, int key) { return set * 128 + key; }
};

TEST_F(SplitEditorTest, ANewSongShowsEveryKeyEmpty) {
    Run([](CSplitEditorDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_LABEL), "Split #1");
        ASSERT_EQ(d.m_keyList.GetItemCount(), 84);
        EXPECT_EQ(KeyRow(d, 0), (Cells{"C-1", "", ""}));
        EXPECT_EQ(KeyRow(d, 83), (Cells{"B-7", "", ""}));
        EXPECT_EQ(d.m_sampleList.GetItemCount(), 2);
        EXPECT_EQ(d.m_sampleList.GetItemText(0, 1), "2k");
        EXPECT_EQ(d.m_sampleList.GetItemText(1, 0), "high.wav");
        EXPECT_EQ(d.m_sampleList.GetItemText(1, 1), "5k");
        EXPECT_EQ(d.m_transposeSlider.GetPos(), 36);
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_VALUE), "0");
        EXPECT_TRUE(Enabled(d, IDC_SPLIT_SLIDER));
        d.PressEscape();
    });
    EXPECT_EQ(g_docModified, 0);
}

TEST_F(SplitEditorTest, AutoTransposePlaysTheSampleAtItsRootKey) {
    Run([](CSplitEditorDlg& d) {
        d.ClickButton(IDC_SPLIT_AUTO);
        EXPECT_EQ(g_splitAutoTranspose, 1);
        EXPECT_EQ(d.m_autoCheck.GetCheck(), 1);
        for (int id : {IDC_SPLIT_SLIDER, IDC_SPLIT_VALUE, IDC_SPLIT_VALUE_LABEL, IDC_SPLIT_PLUS36, IDC_SPLIT_ZERO,
                       IDC_SPLIT_MINUS36})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_EQ(g_docModified, 0);
        d.m_sampleList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        SelectKeys(d, {0, 83});
        d.ClickButton(IDC_SPLIT_ADD);
        EXPECT_EQ(KeyRow(d, 0), (Cells{"C-1", "low.wav", "+36"}));
        EXPECT_EQ(KeyRow(d, 83), (Cells{"B-7", "low.wav", "-47"}));
        EXPECT_EQ(d.m_keyList.GetSelectedCount(), 0);
        d.ClickButton(IDC_SPLIT_AUTO);
        EXPECT_TRUE(Enabled(d, IDC_SPLIT_SLIDER));
        d.PressEscape();
    });
    EXPECT_EQ(g_splitSample[Entry(0, 12)], 0);
    EXPECT_EQ(g_splitTranspose[Entry(0, 12)], 36);
    EXPECT_EQ(g_splitTranspose[Entry(0, 95)], -47);
    EXPECT_EQ(g_docModified, 1);
}

TEST_F(SplitEditorTest, ManualTransposeFollowsTheSlider) {
    struct Case {
        int position;
        const char* value;
        int32_t stored;
        const char* shown;
    };
    for (const Case& c : {Case{0, "36", 36, "+36"}, Case{72, "-36", -36, "-36"}, Case{36, "0", 0, ""},
                          Case{30, "6", 6, "+6"}}) {
        SCOPED_TRACE(c.position);
        Run([&](CSplitEditorDlg& d) {
            d.MoveSlider(IDC_SPLIT_SLIDER, c.position);
            EXPECT_EQ(g_splitManualTranspose, c.stored);
            EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_VALUE), c.value);
            d.m_sampleList.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
            SelectKeys(d, {10});
            d.ClickButton(IDC_SPLIT_ADD);
            EXPECT_EQ(KeyRow(d, 10), (Cells{"A#1", "high.wav", c.shown}));
            d.PressEscape();
        });
        EXPECT_EQ(g_splitSample[Entry(0, 22)], 1);
        EXPECT_EQ(g_splitTranspose[Entry(0, 22)], c.stored);
    }
}

TEST_F(SplitEditorTest, RemoveClearsTheSelectedKeysAndNoOtherKey) {
    for (int key = 0; key < 128; ++key) {
        g_splitSample[Entry(0, key)] = 1;
        g_splitTranspose[Entry(0, key)] = -3;
    }
    Run([](CSplitEditorDlg& d) {
        // Nothing selected: Add and Remove do nothing.
        d.ClickButton(IDC_SPLIT_REMOVE);
        d.ClickButton(IDC_SPLIT_ADD);
        EXPECT_EQ(g_docModified, 0);
        EXPECT_EQ(KeyRow(d, 5), (Cells{"F-1", "high.wav", "-3"}));
        for (int r = 0; r < 84; ++r) d.m_keyList.SetItemState(r, LVIS_SELECTED, LVIS_SELECTED);
        d.ClickButton(IDC_SPLIT_REMOVE);
        EXPECT_EQ(KeyRow(d, 5), (Cells{"F-1", "", ""}));
        EXPECT_EQ(d.m_keyList.GetSelectedCount(), 0);
        d.PressEscape();
    });
    EXPECT_EQ(g_docModified, 1);
    for (int key = 0; key < 128; ++key) {
        const bool shown = key >= 12 && key <= 95;
        EXPECT_EQ(g_splitSample[Entry(0, key)], shown ? 255 : 1) << key;
        EXPECT_EQ(g_splitTranspose[Entry(0, key)], shown ? 0 : -3) << key;
    }
}

TEST_F(SplitEditorTest, TheSpinChangesTheSetWithinItsBounds) {
    g_splitSample[Entry(1, 40)] = 0;
    g_splitTranspose[Entry(1, 40)] = 5;
    Run([](CSplitEditorDlg& d) {
        d.StepSpin(IDC_SPLIT_SPIN, -1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_LABEL), "Split #1");
        EXPECT_EQ(d.m_splitSpin.GetPos(), 0);
        SelectKeys(d, {28});
        d.StepSpin(IDC_SPLIT_SPIN, +1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_LABEL), "Split #2");
        EXPECT_EQ(KeyRow(d, 28), (Cells{"E-3", "low.wav", "+5"}));
        EXPECT_EQ(d.m_keyList.GetSelectedCount(), 0);
        for (int i = 0; i < 40; ++i) d.StepSpin(IDC_SPLIT_SPIN, +1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_LABEL), "Split #32");
        EXPECT_EQ(d.m_splitSpin.GetPos(), 31);
        EXPECT_EQ(g_currentSplit, 31);
        d.StepSpin(IDC_SPLIT_SPIN, -1);
        d.StepSpin(IDC_SPLIT_SPIN, -1);
        d.ClickButton(IDC_SPLIT_AUTO);
        d.MoveSlider(IDC_SPLIT_SLIDER, 10);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(g_docModified, 0);
    // Reopened: the same set and Auto state, the slider in the middle.
    Run([](CSplitEditorDlg& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_SPLIT_LABEL), "Split #30");
        EXPECT_EQ(d.m_splitSpin.GetPos(), 29);
        EXPECT_EQ(d.m_autoCheck.GetCheck(), 1);
        EXPECT_FALSE(Enabled(d, IDC_SPLIT_SLIDER));
        EXPECT_EQ(d.m_transposeSlider.GetPos(), 36);
        EXPECT_EQ(g_splitManualTranspose, 0);
        d.ClickButton(ID_DEFAULT_HELP);
        d.PressEscape();
    });
    EXPECT_EQ(trace, (std::vector<std::string>{"help 3"}));
}

TEST_F(SplitEditorTest, TheOrganizerRefreshesTheListsAndClosesTheEditorWithTheLastSample) {
    g_splitSample[Entry(0, 12)] = 1;
    const auto removeFirst = [](CDialog& o) {
        static_cast<CSampleOrganizerDlg&>(o).m_sampleList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        o.ClickButton(IDC_ORG_REMOVE);
        o.PressEscape();
    };
    const int result = Run([&](CSplitEditorDlg& d) {
        dialogScripts.push_back(removeFirst);
        d.ClickButton(IDC_SPLIT_ORGANIZER);
        EXPECT_FALSE(d.HasEnded());
        EXPECT_EQ(d.m_sampleList.GetItemCount(), 1);
        EXPECT_EQ(d.m_sampleList.GetItemText(0, 0), "high.wav");
        EXPECT_EQ(KeyRow(d, 0), (Cells{"C-1", "high.wav", ""}));
        dialogScripts.push_back(removeFirst);
        d.ClickButton(IDC_SPLIT_ORGANIZER);
        EXPECT_TRUE(d.HasEnded());
        EXPECT_EQ(KeyRow(d, 0), (Cells{"C-1", "", ""}));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_sampleCount.load(), 0u);
    EXPECT_EQ(g_splitSample[Entry(0, 12)], 255);
}

}  // namespace
