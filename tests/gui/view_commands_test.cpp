// The view's commands for the steps per beat, the instrument files, the sound
// commands, the help and the web page: each run as the menu runs it, its dialog
// scripted.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/gui/gui_fixture.h"

#include "data/sound_bank_ops.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/samples.h"
#include "shared/sound_bank.h"
#include "ui/panel_state.h"
#include "ui/sound_commands.h"

namespace {

const std::string kBook = std::string(MC_PROGRAM) + ".htb";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class ViewCommandsTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        g_saveChanges = 1;
        g_storeAutomatically = 1;
        g_doubleStepsPerBeat = 0;
        g_lastPresetFolder = (dir_ / "Presets").string();
        std::filesystem::create_directories(g_lastPresetFolder);
        SetFileDialogHandler([this](const CFileDialog& d) {
            fileDialogs.push_back(d);
            if (filePicks.empty()) return std::string();
            std::string p = filePicks.front();
            filePicks.pop_front();
            return p;
        });
        SetHelpOpener([this](const std::string& file, UINT cmd, uintptr_t data) {
            helpCalls.push_back({file, cmd, data});
        });
        SetUrlOpener([this](const std::string& url) { urls.push_back(url); });
        session_->doc->SetModifiedFlag(false);
        g_docModified = 0;
    }
    void TearDown() override {
        SetUrlOpener(nullptr);
        SessionTest::TearDown();
    }
    bool Run(UINT id) { return session_->frame->ExecuteCommand(id); }
    bool Modified() const { return session_->doc->IsModified(); }

    struct HelpCall {
        std::string file;
        UINT command;
        uintptr_t data;
    };
    std::vector<CFileDialog> fileDialogs;
    std::vector<HelpCall> helpCalls;
    std::vector<std::string> urls;
};

}  // namespace

// ---------------------------------------------------------------- steps per beat

TEST_F(ViewCommandsTest, StepsPerBeatTakesTheChoiceAndMarksOnlyAChange) {
    struct Case {
        const char* name;
        uint32_t before;
        int click;  // radio clicked, 0 none
        bool ok;    // OK, else Esc
        int32_t saveChanges;
        uint32_t after;
        bool marked;
    } cases[] = {
        {"same value again", 0, IDC_STEPS_4_6, true, 1, 0, false},
        {"4/6 to 8/12", 0, IDC_STEPS_8_12, true, 1, 1, true},
        {"8/12 to 4/6", 1, IDC_STEPS_4_6, true, 1, 0, true},
        {"Esc keeps the value", 0, IDC_STEPS_8_12, false, 1, 0, false},
        {"a change without Save changes", 0, IDC_STEPS_8_12, true, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_doubleStepsPerBeat = c.before;
        g_saveChanges = c.saveChanges;
        session_->doc->SetModifiedFlag(false);
        int shown = -1;
        dialogScripts.push_back([&](CDialog& d) {
            shown = d.IsDlgButtonChecked(IDC_STEPS_8_12) ? 1 : d.IsDlgButtonChecked(IDC_STEPS_4_6) ? 0 : -1;
            EXPECT_TRUE(d.HasControl(IDOK));
            EXPECT_FALSE(d.HasControl(IDCANCEL));
            d.ClickButton(c.click);
            c.ok ? d.ClickButton(IDOK) : d.PressEscape();
        });
        EXPECT_TRUE(Run(ID_EDIT_STEPS_PER_BEAT));
        EXPECT_EQ(shown, int(c.before));
        EXPECT_EQ(uint32_t(g_doubleStepsPerBeat), c.after);
        EXPECT_EQ(Modified(), c.marked);
    }
    EXPECT_EQ(dialogs, std::vector<UINT>(5, IDD_STEPS_PER_BEAT));
}

TEST_F(ViewCommandsTest, StepsPerBeatIsDisabledInSoundModuleMode) {
    g_soundModuleMode = 1;
    EXPECT_FALSE(Run(ID_EDIT_STEPS_PER_BEAT));
    g_soundModuleMode = 0;
    EXPECT_TRUE(dialogs.empty());
}

// ---------------------------------------------------------------- instrument files

TEST_F(ViewCommandsTest, SaveSoundProposesTheLowerCaseNameInThePresetFolder) {
    g_curSound = 5;
    g_curSoundName = "Warm PAD";
    const std::string other = (dir_ / "elsewhere").string();
    std::filesystem::create_directories(other);
    filePicks.push_back(other + "/warm");
    EXPECT_TRUE(Run(ID_SOUNDS_SAVE));
    ASSERT_EQ(fileDialogs.size(), 1u);
    EXPECT_FALSE(fileDialogs[0].m_bOpenFileDialog);
    EXPECT_EQ(fileDialogs[0].m_fileName, "warm pad.mci");
    EXPECT_EQ(fileDialogs[0].m_initialDir, (dir_ / "Presets").string());
    EXPECT_EQ(fileDialogs[0].m_filter, "Morvel Canopy Instrument (*.mci)|*.mci|");
    EXPECT_EQ(fileDialogs[0].m_defaultExt, "mci");
    EXPECT_EQ(g_lastPresetFolder, other);
    // The live knobs were stored first: the file carries the panel's name.
    const std::vector<uint8_t> bytes = ReadBytes(other + "/warm.mci");
    ASSERT_GT(bytes.size(), 17u);
    EXPECT_EQ(std::string(bytes.begin() + 9, bytes.begin() + 9 + bytes[8]), "Warm PAD");
    EXPECT_EQ(g_soundNames[5], "Warm PAD");
}

TEST_F(ViewCommandsTest, SaveSoundWithoutStoringKeepsTheBanksSoundAndCancelWritesNothing) {
    g_curSound = 6;
    g_soundNames[6] = "Bank Name";
    g_curSoundName = "Panel Name";
    g_storeAutomatically = 0;
    filePicks.push_back((dir_ / "kept.mci").string());
    EXPECT_TRUE(Run(ID_SOUNDS_SAVE));
    const std::vector<uint8_t> bytes = ReadBytes((dir_ / "kept.mci").string());
    ASSERT_GT(bytes.size(), 17u);
    EXPECT_EQ(std::string(bytes.begin() + 9, bytes.begin() + 9 + bytes[8]), "Bank Name");
    // Cancel: no file, the folder stays.
    const std::string folder = g_lastPresetFolder;
    EXPECT_TRUE(Run(ID_SOUNDS_SAVE));
    EXPECT_EQ(g_lastPresetFolder, folder);
    EXPECT_EQ(fileDialogs.size(), 2u);
}

TEST_F(ViewCommandsTest, LoadSoundAsksBeforeReplacingAndOpensInThePresetFolder) {
    // A sound saved from slot 7, loaded back into slot 8.
    g_curSound = 7;
    g_curSoundName = "Bright Lead";
    const std::string file = (dir_ / "Presets" / "bright lead.mci").string();
    filePicks.push_back(file);
    ASSERT_TRUE(Run(ID_SOUNDS_SAVE));
    fileDialogs.clear();

    struct Case {
        const char* name;
        std::string slotName;  // the current sound's name before
        int answer;            // to the replace question, 0 none asked
        bool pick;             // a file chosen, else Cancel
        bool loaded;
    } cases[] = {
        {"a used sound, No", "Used Sound", IDNO, true, false},
        {"a used sound, Yes, Cancel", "Used Sound", IDYES, false, false},
        {"a used sound, Yes", "Used Sound", IDYES, true, true},
        {"a free sound, no question", "NOT USED", 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_curSound = 8;
        g_soundNames[8] = c.slotName;
        LoadSoundToKnobs(8);
        boxes.clear();
        fileDialogs.clear();
        filePicks.clear();
        g_docModified = 0;
        g_lastPresetFolder = (dir_ / "Presets").string();
        if (c.answer) answers.push_back(c.answer);
        if (c.pick) filePicks.push_back(file);
        EXPECT_TRUE(Run(ID_SOUNDS_LOAD));
        if (c.answer) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "This sound is already being used. Replace it?");
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        EXPECT_EQ(fileDialogs.size(), c.answer == IDNO ? 0u : 1u);
        if (!fileDialogs.empty()) {
            EXPECT_TRUE(fileDialogs[0].m_bOpenFileDialog);
            EXPECT_EQ(fileDialogs[0].m_fileName, "*.mci");
            EXPECT_EQ(fileDialogs[0].m_initialDir, (dir_ / "Presets").string());
        }
        EXPECT_EQ(g_soundNames[8], c.loaded ? "Bright Lead" : c.slotName);
        EXPECT_EQ(g_curSoundName, c.loaded ? "Bright Lead" : c.slotName);
        EXPECT_EQ(g_docModified != 0, c.loaded);
    }
}

// ---------------------------------------------------------------- sound commands

// Paste and Undo changes follow their flags in the menu; each command run from
// the menu changes the bank, and the timer's next tick marks the song.
TEST_F(ViewCommandsTest, SoundCommandsRunFromTheMenuAndTheTimerMarksTheSong) {
    g_soundClipboardFull = 0;
    g_soundEdited = 0;
    g_curSound = 4;
    LoadSoundToKnobs(4);
    g_liveKnobs[kParamAmpGain] = 11;
    EXPECT_FALSE(Run(ID_SOUNDS_PASTE));
    EXPECT_FALSE(Run(ID_SOUNDS_UNDO));

    EXPECT_TRUE(Run(ID_SOUNDS_COPY));
    EXPECT_EQ(g_soundBank[kParamAmpGain][0], 11);
    g_curSound = 5;
    LoadSoundToKnobs(5);
    EXPECT_TRUE(Run(ID_SOUNDS_PASTE));
    EXPECT_EQ(g_soundBank[kParamAmpGain][5], 11);
    EXPECT_EQ(g_liveKnobs[kParamAmpGain], 11);
    session_->view->OnTimer(kViewTimerId);
    EXPECT_TRUE(Modified());

    session_->doc->SetModifiedFlag(false);
    g_liveKnobs[kParamAmpGain] = 30;
    g_soundEdited = 1;
    session_->view->OnTimer(kViewTimerId);  // stores the live knobs into the bank
    EXPECT_EQ(g_soundBank[kParamAmpGain][5], 30);
    EXPECT_TRUE(Run(ID_SOUNDS_UNDO));
    EXPECT_EQ(g_soundBank[kParamAmpGain][5], 11);
    EXPECT_EQ(g_soundEdited, 0);
    EXPECT_FALSE(Run(ID_SOUNDS_UNDO));
    session_->view->OnTimer(kViewTimerId);
    EXPECT_TRUE(Modified());

    for (UINT id : {ID_SOUNDS_RESET, ID_SOUNDS_RANDOMIZE}) {
        session_->doc->SetModifiedFlag(false);
        const uint8_t gain = g_soundBank[kParamAmpGain][5];
        const uint8_t cutoff = g_soundBank[kParamFilterCutoff][5];
        EXPECT_TRUE(Run(id)) << id;
        EXPECT_TRUE(g_soundBank[kParamAmpGain][5] != gain || g_soundBank[kParamFilterCutoff][5] != cutoff) << id;
        session_->view->OnTimer(kViewTimerId);
        EXPECT_TRUE(Modified()) << id;
    }
}

// ---------------------------------------------------------------- help and web

TEST_F(ViewCommandsTest, HelpContentsAndF1OpenTheBook) {
    EXPECT_TRUE(Run(ID_HELP_CONTENTS));
    ASSERT_EQ(helpCalls.size(), 1u);
    EXPECT_EQ(helpCalls[0].file, g_helpFile);
    EXPECT_EQ(helpCalls[0].command, HELP_CONTEXT);
    EXPECT_EQ(helpCalls[0].data, uintptr_t(kHelpContents));
    // F1 typed on the view reaches its default processing: the contents.
    session_->view->SetFocus();
    PumpMessages(50);
    ASSERT_EQ(std::system("xdotool key --delay 20 F1"), 0);
    PumpMessages(150);
    ASSERT_EQ(helpCalls.size(), 2u);
    EXPECT_EQ(helpCalls[1].command, HELP_CONTENTS);
    EXPECT_EQ(helpCalls[1].data, 0u);
}

TEST_F(ViewCommandsTest, EveryHelpContextHasItsPageInTheBook) {
    const struct {
        int context;
        const char* page;
    } pages[] = {
        {0, "contents.htm"},
        {kHelpContents, "contents.htm"},
        {kHelpEffects, "effects.htm"},
        {kHelpSplitEditor, "split_editor.htm"},
        {kHelpMidiMapper, "midi_mapper.htm"},
        {kHelpPreferences, "preferences.htm"},
        {kHelpSampleOrganizer, "sample_organizer.htm"},
        {kHelpFirstRun, "first_run.htm"},
        {kHelpMidiControllers, "midi_controllers.htm"},
    };
    for (const auto& p : pages) EXPECT_EQ(HelpBookPage(kBook, p.context), p.page) << p.context;
    EXPECT_EQ(HelpBookPage(kBook, 4), "");  // no such context
}

TEST_F(ViewCommandsTest, TheViewerShowsAContextsPageAndQuits) {
    UseHtmlHelp();
    WinHelp(nullptr, kBook, HELP_CONTEXT, kHelpPreferences);
    PumpMessages(50);
    EXPECT_EQ(HelpViewerPage(), "preferences.htm");
    WinHelp(nullptr, kBook, HELP_CONTENTS, 0);
    PumpMessages(50);
    EXPECT_EQ(HelpViewerPage(), "contents.htm");
    WinHelp(nullptr, kBook, HELP_QUIT, 0);
    PumpMessages(20);
    EXPECT_EQ(HelpViewerPage(), "");
    EXPECT_TRUE(boxes.empty());
}

// Every page reads as HTML whatever type the system's table gives its file
// name: the viewer lays out its text, no markup shows.
TEST_F(ViewCommandsTest, TheViewerLaysOutEveryPageAsHtml) {
    const struct {
        int context;
        const char* heading;
    } pages[] = {
        {kHelpFirstRun, "Getting started"}, {kHelpContents, "Morvel Canopy"},
        {kHelpEffects, "The effects"},      {kHelpSplitEditor, "Sample splits"},
        {kHelpMidiMapper, "The MIDI mapper"}, {kHelpPreferences, "Preferences"},
        {kHelpSampleOrganizer, "The sample organizer"}, {kHelpMidiControllers, "MIDI controllers"},
    };
    UseHtmlHelp();
    for (const auto& p : pages) {
        WinHelp(nullptr, kBook, HELP_CONTEXT, p.context);
        PumpMessages(50);
        const std::string text = HelpViewerText();
        // The first line of text is the page's heading.
        const size_t from = std::min(text.find_first_not_of('\n'), text.size());
        EXPECT_EQ(text.substr(from, text.find('\n', from) - from), p.heading) << p.context;
        EXPECT_EQ(text.find('<'), std::string::npos) << p.context << ": " << text.substr(0, 80);
    }
    WinHelp(nullptr, kBook, HELP_QUIT, 0);
    PumpMessages(20);
    EXPECT_EQ(HelpViewerText(), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ViewCommandsTest, AMissingOrDamagedBookGivesOneMessageNamingIt) {
    const std::string damaged = (dir_ / "damaged.htb").string();
    std::ofstream(damaged) << "not a book";
    UseHtmlHelp();
    for (const std::string& book : {(dir_ / "missing.htb").string(), damaged}) {
        boxes.clear();
        WinHelp(nullptr, book, HELP_CONTEXT, kHelpMidiMapper);
        PumpMessages(20);
        ASSERT_EQ(boxes.size(), 1u) << book;
        EXPECT_NE(boxes[0].text.find(book), std::string::npos) << boxes[0].text;
        EXPECT_EQ(HelpViewerPage(), "");
    }
    WinHelp(nullptr, damaged, HELP_QUIT, 0);
}

TEST_F(ViewCommandsTest, VisitOpensTheMakersAddress) {
    EXPECT_TRUE(Run(ID_HELP_VISIT_WEB));
    EXPECT_EQ(urls, std::vector<std::string>{"http://www.tarrowbykinetic.example/"});
    EXPECT_TRUE(boxes.empty());
}

// ---------------------------------------------------------------- sample dialogs

TEST_F(ViewCommandsTest, EffectsHoldsItsTopBarButtonAndPassesTheModifiedByteOn) {
    session_->doc->SetModifiedFlag(false);
    int held = -1;
    dialogScripts.push_back([&](CDialog& d) {
        held = g_topBarButtons[3];
        g_docModified = 1;  // an edit in the dialog
        d.PressEscape();
    });
    EXPECT_TRUE(Run(ID_SOUNDS_EFFECTS));
    EXPECT_EQ(dialogs, std::vector<UINT>{IDD_EFFECTS});
    EXPECT_EQ(held, 1);
    EXPECT_EQ(g_topBarButtons[3], 0);
    EXPECT_TRUE(Modified());
}

TEST_F(ViewCommandsTest, SampleDialogsHoldTheirTopBarButtonAndPassTheModifiedByteOn) {
    struct Case {
        const char* name;
        UINT command;
        uint32_t samples;
        std::vector<UINT> dialogsRun;
    } cases[] = {
        {"samples", ID_SOUNDS_SAMPLES, 0, {IDD_SAMPLE_ORGANIZER}},
        {"splits with no sample: the organizer first, no split editor", ID_SOUNDS_SAMPLE_SPLITS, 0,
         {IDD_SAMPLE_ORGANIZER}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        g_sampleCount = c.samples;
        session_->doc->SetModifiedFlag(false);
        std::vector<int> held;
        for (size_t i = 0; i < c.dialogsRun.size(); ++i)
            dialogScripts.push_back([&](CDialog& d) {
                held.push_back(g_topBarButtons[1] + 2 * g_topBarButtons[2]);
                g_docModified = 1;  // an edit in the dialog
                d.PressEscape();
            });
        EXPECT_TRUE(Run(c.command));
        EXPECT_EQ(dialogs, c.dialogsRun);
        EXPECT_EQ(g_topBarButtons[1], 0);
        EXPECT_EQ(g_topBarButtons[2], 0);
        EXPECT_EQ(held.front() & (c.command == ID_SOUNDS_SAMPLES ? 1 : 2), c.command == ID_SOUNDS_SAMPLES ? 1 : 2);
        EXPECT_TRUE(Modified());
    }
}
