// The select-sample dialog run through scripts: the choice it opens with, the
// focus-driven enabling, the result on every way of closing (a selected row
// wins; Escape past a bad split number keeps a valid choice), the split
// number's checks, the spin, the double click, its place and "Load wav".
#include <wx/window.h>

#include <algorithm>

#include "tests/gui/sample_fixture.h"
#include "platform/wx_bridge.h"
#include "ui/select_sample_dlg.h"

namespace {

class SelectSampleTest : public SampleDialogTest {
protected:
    void SetUp() override {
        SampleDialogTest::SetUp();
        g_selectSampleOffsetX = 0;
        AddSample("a.wav", 10, 10);
        AddSample("b.wav", 10, 10);
        AddSample("c.wav", 10, 10);
    }
    // Opens the dialog with choice, runs the script; returns DoModal's result.
    int Run(int32_t choice, std::function<void(CSelectSampleDlg&)> script) {
        g_selectedSampleOrSplit = choice;
        dialogScripts.push_front([script](CDialog& d) { script(static_cast<CSelectSampleDlg&>(d)); });
        CSelectSampleDlg dlg;
        return dlg.DoModal();
    }
    static bool SingleActive(CDialog& d) {
        return Enabled(d, IDC_SEL_SINGLE_GROUP) && !Enabled(d, IDC_SEL_SPLIT_GROUP) && !Enabled(d, IDC_SEL_SPLIT_LABEL);
    }
    static bool SplitActive(CDialog& d) {
        return !Enabled(d, IDC_SEL_SINGLE_GROUP) && Enabled(d, IDC_SEL_SPLIT_GROUP) && Enabled(d, IDC_SEL_SPLIT_LABEL);
    }
};

TEST_F(SelectSampleTest, OpensWithTheChoiceAndClosingAtOnceGivesItBack) {
    struct Case {
        int32_t choice;
        int row;
        const char* field;
        bool single;
        int32_t result;
    };
    for (const Case& c : {Case{1005, -1, "5", false, 1005}, Case{2, 2, "1", true, 2}, Case{0, 0, "1", true, 0},
                          Case{255, -1, "1", true, 1001}, Case{1032, -1, "32", false, 1032}}) {
        for (bool escape : {false, true}) {
            SCOPED_TRACE(std::to_string(c.choice) + (escape ? " escape" : " close"));
            const int result = Run(c.choice, [&](CSelectSampleDlg& d) {
                EXPECT_EQ(d.m_sampleList.GetCount(), 3);
                EXPECT_EQ(d.m_sampleList.GetText(1), "b.wav");
                EXPECT_EQ(d.m_sampleList.GetCurSel(), c.row);
                EXPECT_EQ(d.GetDlgItemText(IDC_SEL_SPLIT), c.field);
                EXPECT_EQ(SingleActive(d), c.single);
                EXPECT_EQ(SplitActive(d), !c.single);
                if (escape) d.PressEscape();
                else d.ClickButton(IDOK);
            });
            EXPECT_EQ(result, escape ? IDCANCEL : IDOK);
            EXPECT_EQ(g_selectedSampleOrSplit, c.result);
        }
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SelectSampleTest, TypingASplitNumberClearsTheRow) {
    Run(2, [](CSelectSampleDlg& d) {
        d.TypeText(IDC_SEL_SPLIT, "7");
        EXPECT_EQ(d.m_sampleList.GetCurSel(), -1);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(g_selectedSampleOrSplit, 1007);
    // The spin writes the number too, and a selected row still wins.
    Run(2, [](CSelectSampleDlg& d) {
        d.StepSpin(IDC_SEL_SPLIT_SPIN, +1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SEL_SPLIT), "2");
        EXPECT_EQ(d.m_sampleList.GetCurSel(), -1);
        d.m_sampleList.SetCurSel(1);
        d.PressEnter();
    });
    EXPECT_EQ(g_selectedSampleOrSplit, 1);
}

TEST_F(SelectSampleTest, FocusMovesTheActiveChoice) {
    Run(1, [](CSelectSampleDlg& d) {
        d.FocusControl(IDC_SEL_SPLIT);
        EXPECT_TRUE(SplitActive(d));
        EXPECT_EQ(d.m_sampleList.GetCurSel(), -1);
        d.m_sampleList.SetCurSel(2);
        d.FocusControl(IDC_SEL_LIST);
        EXPECT_TRUE(SingleActive(d));
        EXPECT_EQ(d.m_sampleList.GetCurSel(), 2);
        d.PressEscape();
    });
    EXPECT_EQ(g_selectedSampleOrSplit, 2);
}

TEST_F(SelectSampleTest, SplitNumberChecksAndEscapeKeepsAValidChoice) {
    struct Case {
        int32_t choice;
        const char* typed;
        const char* message;
        int32_t afterEscape;
    };
    for (const Case& c : {Case{1005, "40", "Please enter an integer between 1 and 32.", 1005},
                          Case{1005, "0", "Please enter an integer between 1 and 32.", 1005},
                          Case{2, "x", "Please enter an integer.", 2},
                          Case{1040, "", "Please enter an integer.", 1001},
                          Case{-3, "33", "Please enter an integer between 1 and 32.", 1001}}) {
        SCOPED_TRACE(c.choice);
        boxes.clear();
        Run(c.choice, [&](CSelectSampleDlg& d) {
            d.TypeText(IDC_SEL_SPLIT, c.typed);
            d.ClickButton(IDOK);
            EXPECT_FALSE(d.HasEnded());
            d.PressEscape();
        });
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(g_selectedSampleOrSplit, c.afterEscape);
    }
}

TEST_F(SelectSampleTest, SpinStaysWithinTheSets) {
    Run(1032, [](CSelectSampleDlg& d) {
        d.StepSpin(IDC_SEL_SPLIT_SPIN, +1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SEL_SPLIT), "32");
        d.TypeText(IDC_SEL_SPLIT, "1");
        d.StepSpin(IDC_SEL_SPLIT_SPIN, -1);
        EXPECT_EQ(d.GetDlgItemText(IDC_SEL_SPLIT), "1");
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(g_selectedSampleOrSplit, 1001);
}

TEST_F(SelectSampleTest, DoubleClickIsOk) {
    const int result = Run(1010, [](CSelectSampleDlg& d) { d.DoubleClickRow(IDC_SEL_LIST, 1); });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(g_selectedSampleOrSplit, 1);
}

TEST_F(SelectSampleTest, OpensMovedBesideTheOscillatorAtItsSize) {
    CRect plain, moved;
    wxSize least;
    Run(0, [&](CSelectSampleDlg& d) {
        d.GetWindowRect(&plain);
        d.PressEscape();
    });
    g_selectSampleOffsetX = 211;
    Run(0, [&](CSelectSampleDlg& d) {
        least = ToolkitOf(&d)->GetMinSize();
        ToolkitOf(&d)->Show();  // the size the toolkit gives the shown window
        PumpMessages(40);
        d.GetWindowRect(&moved);
        d.PressEscape();
    });
    EXPECT_EQ(moved.left - plain.left, 211);
    EXPECT_EQ(moved.top, plain.top);
    // 216 x 216, or what the controls need where the dialog font makes
    // them larger.
    EXPECT_EQ(moved.Width(), std::max(216, least.x));
    EXPECT_EQ(moved.Height(), std::max(216, least.y));
}

TEST_F(SelectSampleTest, LoadWavAppendsTheAddedSamples) {
    filePicks = {WriteWave("x.wav", 10) + "\n" + WriteWave("y.wav", 20)};
    g_docModified = 1;
    Run(1, [&](CSelectSampleDlg& d) {
        dialogScripts.push_back([](CDialog& o) { EXPECT_TRUE(o.HasEnded()); });
        d.ClickButton(IDC_SEL_LOAD_WAV);
        EXPECT_EQ(d.m_sampleList.GetCount(), 5);
        EXPECT_EQ(d.m_sampleList.GetText(3), "x.wav");
        EXPECT_EQ(d.m_sampleList.GetText(4), "y.wav");
        EXPECT_EQ(d.m_sampleList.GetCurSel(), 1);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(g_organizerQuickLoad, 0);
    EXPECT_EQ(g_sampleCount.load(), 5u);
    EXPECT_EQ(g_selectedSampleOrSplit, 1);
    EXPECT_EQ(g_docModified, 1);
    EXPECT_EQ(dialogs, (std::vector<UINT>{IDD_SELECT_SAMPLE, IDD_SAMPLE_ORGANIZER}));
}

}  // namespace
