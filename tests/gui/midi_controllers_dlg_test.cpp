// The MIDI controllers dialog on the toolkit: what opening shows and leaves
// alone, numbers typed or stepped acting at once, the mode radios, "Close"
// with its check, Esc and "Help".
#include <gtest/gtest.h>

#include "host/midi_controllers.h"
#include "host/midi_controllers_dlg.h"
#include "res/resource_ids.h"
#include "tests/gui/gui_fixture.h"

namespace {

class MidiControllersDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        for (int r = 0; r < kCustomControllers; ++r) g_customControllerSet[r] = 3 * r;
        g_useCustomControllers = 0;
        ApplyMidiControllerMap();
    }
    void TearDown() override {
        for (auto& c : g_customControllerSet) c = 0;
        g_useCustomControllers = 0;
        GuiTest::TearDown();
    }
    // Runs the dialog with a script; returns its result.
    int Run(std::function<void(CMidiControllersDlg&)> script) {
        dialogScripts.push_back([script](CDialog& d) { script(static_cast<CMidiControllersDlg&>(d)); });
        CMidiControllersDlg dlg;
        return dlg.DoModal();
    }
    static std::vector<int32_t> Set() {
        std::vector<int32_t> v;
        for (auto& c : g_customControllerSet) v.push_back(c);
        return v;
    }
};

TEST_F(MidiControllersDlgTest, OpeningShowsTheSetAndChangesNothing) {
    for (int custom : {0, 1}) {
        g_useCustomControllers = custom;
        ApplyMidiControllerMap();
        const std::vector<int32_t> before = Set();
        EXPECT_EQ(Run([&](CMidiControllersDlg& d) {
                      EXPECT_EQ(d.GetWindowText(), "MorvelCanopy I MIDI controllers");
                      EXPECT_EQ(Set(), before);
                      EXPECT_EQ(g_controllerEditsReady, 1);
                      EXPECT_EQ(d.GetDlgItemText(IDC_MIDI_CTL_LABEL + 0), "OSC1 Tune");
                      EXPECT_EQ(d.GetDlgItemText(IDC_MIDI_CTL_LABEL + 27), "Channel 1 volume");
                      EXPECT_EQ(d.GetDlgItemText(IDC_MIDI_CTL_LABEL + 35), "Master volume");
                      EXPECT_EQ(d.GetDlgItemText(IDC_MIDI_CTL_EDIT + 0), "0");
                      EXPECT_EQ(d.GetDlgItemText(IDC_MIDI_CTL_EDIT + 35), "105");
                      EXPECT_EQ(d.IsDlgButtonChecked(IDC_MIDI_CTL_FACTORY), custom ? 0u : 1u);
                      EXPECT_EQ(d.IsDlgButtonChecked(IDC_MIDI_CTL_CUSTOM), custom ? 1u : 0u);
                      for (int id : {IDC_MIDI_CTL_LABEL + 4, IDC_MIDI_CTL_EDIT + 17, IDC_MIDI_CTL_SPIN + 35, IDC_MIDI_CTL_HEADING + 5})
                          EXPECT_EQ(d.GetDlgItem(id)->IsWindowEnabled(), custom == 1) << id;
                      int lo, hi;
                      d.m_spins[9].GetRange(lo, hi);
                      EXPECT_EQ(lo, 0);
                      EXPECT_EQ(hi, 127);
                      d.PressEscape();
                  }),
                  IDCANCEL);
        EXPECT_EQ(Set(), before);
        EXPECT_EQ(g_useCustomControllers, custom);
    }
}

TEST_F(MidiControllersDlgTest, TypedAndSteppedNumbersActAtOnce) {
    g_useCustomControllers = 1;
    ApplyMidiControllerMap();
    EXPECT_EQ(Run([](CMidiControllersDlg& d) {
                  d.TypeText(IDC_MIDI_CTL_EDIT + 0, "45");
                  EXPECT_EQ(g_customControllerSet[0], 45);
                  EXPECT_EQ(g_midiControllerMap[1], 45u);  // "OSC1 Tune"
                  d.StepSpin(IDC_MIDI_CTL_SPIN + 35, 1);  // "Master volume" 105 -> 106
                  EXPECT_EQ(g_customControllerSet[35], 106);
                  EXPECT_EQ(g_midiControllerMap[60], 106u);
                  d.TypeText(IDC_MIDI_CTL_EDIT + 2, "");  // not a number: the entry stays
                  EXPECT_EQ(g_customControllerSet[2], 6);
                  d.PressEscape();  // what was stored stays
              }),
              IDCANCEL);
    EXPECT_EQ(g_customControllerSet[0], 45);
    EXPECT_EQ(g_customControllerSet[35], 106);
}

TEST_F(MidiControllersDlgTest, ModeRadiosActAtOnceAndEnableTheRows) {
    EXPECT_EQ(Run([](CMidiControllersDlg& d) {
                  d.ClickButton(IDC_MIDI_CTL_CUSTOM);
                  EXPECT_EQ(g_useCustomControllers, 1);
                  EXPECT_EQ(g_midiControllerMap[0], kNoController);
                  EXPECT_EQ(g_midiControllerMap[3], 3u);  // row 1
                  EXPECT_TRUE(d.GetDlgItem(IDC_MIDI_CTL_EDIT + 10)->IsWindowEnabled());
                  EXPECT_TRUE(d.GetDlgItem(IDC_MIDI_CTL_GROUP)->IsWindowEnabled());
                  d.ClickButton(IDC_MIDI_CTL_FACTORY);
                  EXPECT_EQ(g_useCustomControllers, 0);
                  EXPECT_EQ(g_midiControllerMap[0], 12u);
                  EXPECT_FALSE(d.GetDlgItem(IDC_MIDI_CTL_EDIT + 10)->IsWindowEnabled());
                  EXPECT_FALSE(d.GetDlgItem(IDC_MIDI_CTL_GROUP)->IsWindowEnabled());
                  EXPECT_EQ(d.IsDlgButtonChecked(IDC_MIDI_CTL_CUSTOM), 0u);
                  d.ClickButton(IDOK);
              }),
              IDOK);
}

TEST_F(MidiControllersDlgTest, CloseChecksEveryNumberAndStaysOpenOnABadOne) {
    g_useCustomControllers = 1;
    for (const char* bad : {"128", "x7"}) {
        boxes.clear();
        EXPECT_EQ(Run([bad](CMidiControllersDlg& d) {
                      d.SetDlgItemText(IDC_MIDI_CTL_EDIT + 4, bad);
                      d.ClickButton(IDOK);
                      EXPECT_FALSE(d.HasEnded()) << bad;
                      EXPECT_EQ(g_controllerEditsReady, 1);  // typing still acts
                      d.TypeText(IDC_MIDI_CTL_EDIT + 4, "77");
                      EXPECT_EQ(g_customControllerSet[4], 77);
                      d.ClickButton(IDOK);
                      EXPECT_TRUE(d.HasEnded());
                  }),
                  IDOK);
        EXPECT_EQ(boxes.size(), 1u) << bad;
        EXPECT_EQ(g_controllerEditsReady, 0);
    }
}

TEST_F(MidiControllersDlgTest, HelpOpensItsContext) {
    Run([](CMidiControllersDlg& d) {
        d.ClickButton(IDC_MIDI_CTL_HELP);
        d.PressEscape();
    });
    EXPECT_EQ(trace, std::vector<std::string>{"help 10"});
}

}  // namespace
