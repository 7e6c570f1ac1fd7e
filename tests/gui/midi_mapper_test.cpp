// The MIDI mapper from the Options menu: its rows filled from the channel
// map without changing it, every edit written at once and marking the song,
// the total with its warning, lists greyed at 0 voices, the top-bar button
// held while it runs, and "Help".
#include "tests/gui/gui_fixture.h"

#include "host/midi_mapper_dlg.h"
#include "res/resource_ids.h"
#include "shared/channel_map.h"
#include "shared/editor.h"
#include "shared/sound_bank.h"
#include "ui/panel_state.h"

namespace {

class MidiMapperDlgTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        for (int c = 0; c < kMidiChannels; ++c) {
            g_channelSound[c] = 0;
            g_channelPolyphony[c] = 0;
        }
        g_polyphony = 2;  // 8 voices
        g_soundNames[7] = "Strings";
        session_->doc->SetModifiedFlag(false);
        g_docModified = 0;
    }
    void TearDown() override {
        g_polyphony = 5;
        SessionTest::TearDown();
    }
    void Run(std::function<void(CDialog&)> script) {
        dialogScripts.push_back(std::move(script));
        EXPECT_TRUE(session_->frame->ExecuteCommand(ID_OPTIONS_MIDI_MAPPER));
    }
};

}  // namespace

TEST_F(MidiMapperDlgTest, OpeningFillsTheRowsClampsAbove32AndChangesNothingElse) {
    g_channelPolyphony[0] = 40;
    g_channelPolyphony[1] = 4;
    g_channelSound[1] = 7;
    int topBar = -1;
    Run([&](CDialog& d) {
        topBar = g_topBarButtons[5];
        EXPECT_EQ(g_midiMapperReady, 1);
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_VOICES_1), "32");
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_VOICES_1 + 1), "4");
        auto* list = static_cast<CMidiMapperDlg&>(d).m_sounds;
        EXPECT_EQ(list[1].GetCount(), 100);
        EXPECT_EQ(list[1].GetLBText(0), "Use Program Change");
        EXPECT_EQ(list[1].GetLBText(7), "07 - Strings");
        EXPECT_EQ(list[1].GetCurSel(), 7);
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_TOTAL), "36");
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_WARNING), "WARNING!!! Not ehough available voices!!!");
        EXPECT_FALSE(d.GetDlgItem(IDC_MAPPER_SOUND_1 + 2)->IsWindowEnabled());  // 0 voices
        EXPECT_TRUE(d.GetDlgItem(IDC_MAPPER_SOUND_1 + 1)->IsWindowEnabled());
        d.PressEscape();
    });
    EXPECT_EQ(topBar, 1);
    EXPECT_EQ(g_topBarButtons[5], 0);
    EXPECT_EQ(int32_t(g_channelPolyphony[0]), 32);
    EXPECT_EQ(int32_t(g_channelSound[1]), 7);
    EXPECT_EQ(g_docModified, 0);
}

TEST_F(MidiMapperDlgTest, EveryEditIsWrittenAtOnceAndMarksTheSong) {
    g_channelPolyphony[0] = 4;
    g_channelPolyphony[1] = 4;
    Run([&](CDialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_TOTAL), "8");
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_WARNING), " ");
        d.StepSpin(IDC_MAPPER_SPIN_1 + 1, +1);  // channel 2 to 5 voices
        EXPECT_EQ(int32_t(g_channelPolyphony[1]), 5);
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_TOTAL), "9");
        EXPECT_EQ(d.GetDlgItemText(IDC_MAPPER_WARNING), "WARNING!!! Not ehough available voices!!!");
        EXPECT_EQ(g_docModified, 1);
        d.ChooseComboItem(IDC_MAPPER_SOUND_1, 7);
        EXPECT_EQ(int32_t(g_channelSound[0]), 7);
        d.TypeText(IDC_MAPPER_VOICES_1, "123456789012345678901234567890");  // a 30-digit entry
        EXPECT_EQ(int32_t(g_channelPolyphony[0]), 999999);
        d.TypeText(IDC_MAPPER_VOICES_1, "0");
        EXPECT_FALSE(d.GetDlgItem(IDC_MAPPER_SOUND_1)->IsWindowEnabled());
        EXPECT_EQ(int32_t(g_channelSound[0]), 7);  // the choice stays in the map
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(int32_t(g_channelPolyphony[0]), 0);
    EXPECT_EQ(int32_t(g_channelPolyphony[1]), 5);
    session_->view->OnTimer(kViewTimerId);  // the timer passes the byte on
    EXPECT_TRUE(session_->doc->IsModified());
}

TEST_F(MidiMapperDlgTest, ControllersRunsTheControllersDialog) {
    dialogScripts.push_back([](CDialog& d) {
        d.ClickButton(IDC_MAPPER_CONTROLLERS);
        d.PressEscape();
    });
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });  // the controllers dialog
    EXPECT_TRUE(session_->frame->ExecuteCommand(ID_OPTIONS_MIDI_MAPPER));
    EXPECT_EQ(dialogs, (std::vector<UINT>{IDD_MIDI_MAPPER, IDD_MIDI_CONTROLLERS}));
}

TEST_F(MidiMapperDlgTest, HelpOpensTheMappersPage) {
    std::vector<uintptr_t> contexts;
    SetHelpOpener([&](const std::string&, UINT, uintptr_t data) { contexts.push_back(data); });
    Run([](CDialog& d) {
        d.ClickButton(IDC_MAPPER_HELP);
        d.PressEscape();
    });
    EXPECT_EQ(contexts, std::vector<uintptr_t>{uintptr_t(kHelpMidiMapper)});
}

// The map already holds 0 for the emptied channel; Close asks for a number
// and stays open, Escape then closes.
TEST_F(MidiMapperDlgTest, CloseWithAnEmptyVoicesFieldAsksForAnIntegerAndStaysOpen) {
    g_channelPolyphony[3] = 6;
    bool openAfterClose = false;
    Run([&](CDialog& d) {
        d.TypeText(IDC_MAPPER_VOICES_1 + 3, "");
        EXPECT_EQ(int32_t(g_channelPolyphony[3]), 0);
        d.ClickButton(IDOK);
        openAfterClose = !d.HasEnded();
        d.PressEscape();
    });
    EXPECT_TRUE(openAfterClose);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please enter an integer.");
    EXPECT_EQ(int32_t(g_channelPolyphony[3]), 0);
}
