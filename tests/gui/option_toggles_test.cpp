// The Options menu's toggles of the view in both modes: each flips its flag
// and shows a check mark; in sound-module mode the sequencer's options are
// greyed and cannot run. "&Automation" clears the offsets of sounds 0 to 99,
// keeps the spare entries, marks the song and opens or closes its panel;
// "&Oscilloscope" pairs its window with its setting.
#include <algorithm>

#include "tests/gui/gui_fixture.h"

#include "res/resource_ids.h"
#include "shared/sound_bank.h"
#include "ui/panel_state.h"

namespace {

class OptionTogglesTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        g_saveChanges = 1;
        g_pAutomationDlg = new CAutomationDlg(nullptr);
        g_pScopeDlg = new COscilloscopeDlg(nullptr);
        session_->doc->SetModifiedFlag(false);
    }
    void TearDown() override {
        g_soundModuleMode = 0;
        SessionTest::TearDown();
    }
    CCmdUI State(UINT id) {
        CCmdUI ui;
        ui.m_nID = id;
        EXPECT_TRUE(session_->frame->OnCmdMsg(id, &ui));
        return ui;
    }
    bool Run(UINT id) { return session_->frame->ExecuteCommand(id); }
};

struct Toggle {
    const char* name;
    UINT id;
    std::function<int32_t()> flag;
    bool greyedInSoundModule;
    bool checkedInSoundModule = true;  // the update handler sets the check mark there too
};

const Toggle kToggles[] = {
    {"follow song", ID_OPTIONS_FOLLOW_SONG, [] { return int32_t(g_followSong); }, true},
    {"automation", ID_OPTIONS_AUTOMATION, [] { return int32_t(g_automationOn); }, true},
    {"oscilloscope", ID_OPTIONS_OSCILLOSCOPE, [] { return int32_t(g_scopeOn); }, false},
    {"transmit tweakings", ID_OPTIONS_TRANSMIT_TWEAKS, [] { return int32_t(g_transmitTweaks); }, false},
    {"MIDI sync", ID_OPTIONS_MIDI_SYNC, [] { return int32_t(g_midiSync); }, true, false},
    {"MIDI record", ID_OPTIONS_MIDI_RECORD, [] { return int32_t(g_midiWritesSequencer); }, true, false},
};

}  // namespace

TEST_F(OptionTogglesTest, EachToggleFlipsItsFlagAndShowsItsCheckMark) {
    g_followSong = 0;
    g_automationOn = 0;
    g_scopeOn = 0;
    g_transmitTweaks = 0;
    g_midiSync = 0;
    g_midiWritesSequencer = 0;
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE(t.name);
        CCmdUI off = State(t.id);
        EXPECT_TRUE(off.m_bEnabled);
        EXPECT_TRUE(off.m_bCheckSet);
        EXPECT_EQ(off.m_nCheck, 0);
        EXPECT_TRUE(Run(t.id));
        EXPECT_EQ(t.flag(), 1);
        EXPECT_EQ(State(t.id).m_nCheck, 1);
        EXPECT_TRUE(Run(t.id));
        EXPECT_EQ(t.flag(), 0);
        EXPECT_EQ(State(t.id).m_nCheck, 0);
    }
}

TEST_F(OptionTogglesTest, InSoundModuleModeTheSequencersOptionsAreGreyedAndDoNotRun) {
    g_soundModuleMode = 1;
    g_followSong = 1;
    g_automationOn = 1;
    g_scopeOn = 0;
    g_transmitTweaks = 0;
    g_midiSync = 1;
    g_midiWritesSequencer = 1;
    for (const Toggle& t : kToggles) {
        SCOPED_TRACE(t.name);
        CCmdUI ui = State(t.id);
        EXPECT_EQ(ui.m_bEnabled, !t.greyedInSoundModule);
        EXPECT_EQ(ui.m_bCheckSet, t.checkedInSoundModule);
        const int32_t before = t.flag();
        EXPECT_EQ(Run(t.id), !t.greyedInSoundModule);
        EXPECT_EQ(t.flag() != before, !t.greyedInSoundModule);
        if (t.greyedInSoundModule && t.checkedInSoundModule) {
            EXPECT_EQ(ui.m_nCheck, 0);
        }
    }
    g_midiSync = 0;
    g_midiWritesSequencer = 0;
}

TEST_F(OptionTogglesTest, AutomationOffClearsTheOffsetsOfTheSoundsKeepsTheSpareEntriesAndMarks) {
    for (auto& offsets : g_modulationBank)
        for (auto& o : offsets) o = 7;
    g_automationOn = 1;
    g_pAutomationDlg->Create(IDD_AUTOMATION, nullptr);
    ASSERT_TRUE(g_pAutomationDlg->IsWindow());
    EXPECT_TRUE(Run(ID_OPTIONS_AUTOMATION));
    EXPECT_EQ(g_automationOn, 0u);
    EXPECT_FALSE(g_pAutomationDlg->IsWindow());
    for (int target = 0; target < kModTargets; ++target)
        for (int s = 0; s < kSoundSlots; ++s)
            ASSERT_EQ(g_modulationBank[target][s], s < 100 ? 0 : 7) << target << " " << s;
    EXPECT_TRUE(session_->doc->IsModified());
    // On again: the panel opens and the song is marked again.
    session_->doc->SetModifiedFlag(false);
    EXPECT_TRUE(Run(ID_OPTIONS_AUTOMATION));
    EXPECT_EQ(g_automationOn, 1u);
    EXPECT_TRUE(g_pAutomationDlg->IsWindow());
    EXPECT_TRUE(session_->doc->IsModified());
}

TEST_F(OptionTogglesTest, TheOscilloscopesWindowFollowsItsSettingAndAMissingObjectIsSkipped) {
    g_scopeOn = 0;
    EXPECT_TRUE(Run(ID_OPTIONS_OSCILLOSCOPE));
    EXPECT_TRUE(g_pScopeDlg->IsWindow());
    EXPECT_TRUE(Run(ID_OPTIONS_OSCILLOSCOPE));
    EXPECT_FALSE(g_pScopeDlg->IsWindow());
    EXPECT_FALSE(session_->doc->IsModified());
    delete g_pScopeDlg;
    g_pScopeDlg = nullptr;
    EXPECT_TRUE(Run(ID_OPTIONS_OSCILLOSCOPE));
    EXPECT_EQ(g_scopeOn, 1);
    g_scopeOn = 0;
}

TEST_F(OptionTogglesTest, TheMidiOptionsAreInTheMenu) {
    auto* frame = session_->frame;
    std::vector<std::pair<UINT, std::string>> got;
    for (int popup = 0; popup < 6; ++popup)
        for (auto& item : frame->GetMenuState(popup)) got.push_back({item.id, item.text});
    for (const auto& want : std::vector<std::pair<UINT, std::string>>{
             {32814, "&Sync to external MIDI clock"}, {32822, "M&IDI writes into sequencer"}})
        EXPECT_NE(std::find(got.begin(), got.end(), want), got.end()) << want.second << " among " << got.size() << " rows";
}
