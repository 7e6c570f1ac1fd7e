// The song document and the new-song dialog: File New with the dialog, the
// refusals, a refused open, saving.
#include "tests/gui/gui_fixture.h"

#include <fstream>

#include "data/new_song_dlg.h"
#include "res/resource_ids.h"

namespace {

class DocumentTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        trace.clear();
    }
    CDocument* Doc() { return session_->doc; }
    CFrameWnd* Frame() { return session_->frame; }
};

}  // namespace

TEST_F(DocumentTest, FileNewTakesTempoAndLengthFromTheDialog) {
    struct Case {
        const char* what;
        std::function<void(CDialog&)> script;
        uint32_t tempo, length, steps;
        std::vector<std::string> boxes;
    } cases[] = {
        {"24 steps, tempo typed",
         [](CDialog& d) {
             d.SetDlgItemText(IDC_NEW_TEMPO, "133");
             d.ClickButton(IDC_NEW_LENGTH_24);
             d.ClickButton(IDOK);
         },
         133, 24, 6, {}},
        {"96 steps with Enter", [](CDialog& d) {
             d.ClickButton(IDC_NEW_LENGTH_96);
             d.PressEnter();
         },
         120, 96, 6, {}},
        {"128 steps, spin stepped twice", [](CDialog& d) {
             d.ClickButton(IDC_NEW_LENGTH_128);
             d.StepSpin(IDC_NEW_TEMPO_SPIN, +1);
             d.StepSpin(IDC_NEW_TEMPO_SPIN, +1);
             d.ClickButton(IDOK);
         },
         122, 128, 4, {}},
        {"Escape after choices: no data exchange", [](CDialog& d) {
             d.SetDlgItemText(IDC_NEW_TEMPO, "300");
             d.ClickButton(IDC_NEW_LENGTH_16);
             d.PressEscape();
         },
         120, 64, 4, {}},
        {"out of range, then corrected", [](CDialog& d) {
             d.SetDlgItemText(IDC_NEW_TEMPO, "20");
             d.ClickButton(IDOK);
             EXPECT_FALSE(d.HasEnded());  // the dialog stays open
             d.SetDlgItemText(IDC_NEW_TEMPO, "400");
             d.ClickButton(IDOK);
         },
         400, 64, 4, {"Please enter an integer between 40 and 400."}},
        {"out of range, then Escape: the initial values", [](CDialog& d) {
             d.SetDlgItemText(IDC_NEW_TEMPO, "20");
             d.ClickButton(IDC_NEW_LENGTH_24);
             d.ClickButton(IDOK);
             EXPECT_FALSE(d.HasEnded());
             d.PressEscape();
         },
         120, 64, 4, {"Please enter an integer between 40 and 400."}},
        {"not a number, then Escape", [](CDialog& d) {
             d.SetDlgItemText(IDC_NEW_TEMPO, "");
             d.ClickButton(IDOK);
             EXPECT_FALSE(d.HasEnded());
             d.PressEscape();
         },
         120, 64, 4, {"Please enter an integer."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        g_tempo = 77;
        dialogScripts.push_back([&](CDialog& d) {
            // As the dialog opens: caption, tempo 120, "64 steps", spin 40..400 at 120.
            EXPECT_EQ(d.GetWindowText(), "MorvelCanopy I - New song");
            EXPECT_EQ(d.GetDlgItemText(IDC_NEW_TEMPO), "120");
            EXPECT_EQ(d.IsDlgButtonChecked(IDC_NEW_LENGTH_64), 1u);
            auto& dlg = dynamic_cast<CNewSongDlg&>(d);
            int lo = 0, hi = 0;
            dlg.m_tempoSpin.GetRange(lo, hi);
            EXPECT_EQ(lo, 40);
            EXPECT_EQ(hi, 400);
            EXPECT_EQ(dlg.m_tempoSpin.GetPos(), 120);
            c.script(d);
        });
        Frame()->ExecuteCommand(ID_FILE_NEW);
        EXPECT_TRUE(dialogScripts.empty());
        EXPECT_EQ(uint32_t(g_tempo), c.tempo);
        EXPECT_EQ(uint32_t(g_tempoDisplay), c.tempo);
        EXPECT_EQ(uint32_t(g_patternLength), c.length);
        EXPECT_EQ(uint32_t(g_stepsPerBeat), c.steps);
        std::vector<std::string> texts;
        for (auto& b : boxes) texts.push_back(b.text);
        EXPECT_EQ(texts, c.boxes);
        EXPECT_EQ(Doc()->GetTitle(), "Untitled");
    }
}

TEST_F(DocumentTest, FileNewInSoundModuleModeAsksNothing) {
    g_soundModuleMode = 1;
    g_patternLength = 24;
    Frame()->ExecuteCommand(ID_FILE_NEW);
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(uint32_t(g_patternLength), 64u);
    EXPECT_EQ(uint32_t(g_tempo), 120u);
}

TEST_F(DocumentTest, FileNewStopsTheSongFirst) {
    g_freeAudioDevWhenStopped = 1;
    g_songPlaying = 1;
    g_playFlag = 1;
    g_releaseDevicePending = 0;
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Frame()->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(uint32_t(g_masterMute), 1u);
    EXPECT_EQ(g_releaseDevicePending, 1);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(uint32_t(g_playFlag), 0u);
    g_songPlaying = 0;
    g_masterMute = 0;
    g_releaseDevicePending = 0;
}

TEST_F(DocumentTest, InstrumentFilesAreRefusedByTheirLastThreeLetters) {
    const std::string refusal =
        "You cannot load instrument files directly into Morvel Canopy!\nUse the 'load' option in the Sounds menu "
        "after creating a new song!";
    struct Case {
        std::string path;
        bool refused;
    } cases[] = {{"/s/a.mci", true}, {"/s/B.MCI", true}, {"/s/c.Mci", false}, {"/s/dmci", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        boxes.clear();
        trace.clear();
        AfxGetApp()->OpenDocumentFile(c.path);
        if (c.refused) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, refusal);
            EXPECT_TRUE(trace.empty());  // the reader never saw it
        } else {
            EXPECT_EQ(trace, std::vector<std::string>{"read " + c.path});
        }
        EXPECT_EQ(Doc()->GetTitle(), "Untitled");
        EXPECT_EQ(Doc()->GetPathName(), "");
    }
}

TEST_F(DocumentTest, ARefusedOpenLeavesTitleAndPathAndReportsOnce) {
    songFiles["/s/good.mcs"] = DocIoResult::Ok;
    songFiles["/s/bad.mcs"] = DocIoResult::FailedReported;
    songFiles["/s/odd.mcs"] = DocIoResult::Failed;
    ASSERT_NE(AfxGetApp()->OpenDocumentFile("/s/good.mcs"), nullptr);
    EXPECT_EQ(Frame()->GetWindowText(), "MorvelCanopy I - good.mcs");
    for (const char* path : {"/s/bad.mcs", "/s/odd.mcs", "/s/missing.mcs"}) {
        SCOPED_TRACE(path);
        boxes.clear();
        EXPECT_EQ(AfxGetApp()->OpenDocumentFile(path), nullptr);
        EXPECT_EQ(boxes.size(), 1u);
        EXPECT_EQ(Doc()->GetPathName(), "/s/good.mcs");
        EXPECT_EQ(Frame()->GetWindowText(), "MorvelCanopy I - good.mcs");
    }
    // Save still goes to the file that was opened.
    trace.clear();
    Frame()->ExecuteCommand(ID_FILE_SAVE);
    EXPECT_EQ(trace, std::vector<std::string>{"write /s/good.mcs"});
}

TEST_F(DocumentTest, TheDefaultSongsNameIsRefusedForSaving) {
    struct Case {
        std::string path;
        bool refused;
    } cases[] = {{"/any/folder/_default_.mcs", true}, {"_default_.mcs", true}, {"/f/_DEFAULT_.mcs", false},
                 {"/f/my_default_.mcs", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        boxes.clear();
        trace.clear();
        filePicks.push_back(c.path);
        Frame()->ExecuteCommand(ID_FILE_SAVE_AS);
        if (c.refused) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text,
                      "You may not use the _default_.mcs filename! Please specify another filename. Document is not "
                      "saved!");
            EXPECT_EQ(boxes[0].type & MB_ICONMASK, MB_ICONSTOP);
            EXPECT_TRUE(trace.empty());
        } else {
            EXPECT_EQ(trace, std::vector<std::string>{"write " + c.path});
            EXPECT_EQ(Doc()->GetPathName(), c.path);
        }
    }
}

TEST_F(DocumentTest, TheSavePromptFollowsTheModifiedFlag) {
    Doc()->SetModifiedFlag(true);
    answers.push_back(IDCANCEL);
    Frame()->ExecuteCommand(ID_FILE_NEW);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Save changes to Untitled?");
    EXPECT_TRUE(dialogs.empty());  // cancelled: no new song
    // Yes on an untitled song asks for a name and saves there.
    answers.push_back(IDYES);
    filePicks.push_back("/s/kept");
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Frame()->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(trace, std::vector<std::string>{"write /s/kept.mcs"});
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(DocumentTest, SongFilesAreSavedAndOpenedThroughTheSongFileCode) {
    GetSongFileIo() = {ReadSongFile, WriteSongFile};
    const std::string saved = (dir_ / "tune.mcs").string();
    const std::string refused = (dir_ / "refused.mcs").string();
    std::ofstream(refused) << "not a song";

    g_tempoDisplay = 150;
    g_automationOn = 1;
    g_pAutomationDlg = new CAutomationDlg(nullptr);
    g_startingUp = 0;
    filePicks.push_back(saved);
    Frame()->ExecuteCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(Frame()->GetWindowText(), "MorvelCanopy I - tune.mcs");
    ASSERT_TRUE(std::filesystem::exists(saved));

    // A new song, then the saved one again.
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Frame()->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(g_tempoDisplay, 120u);
    EXPECT_FALSE(g_pAutomationDlg->IsWindow());
    ASSERT_NE(AfxGetApp()->OpenDocumentFile(saved), nullptr);
    EXPECT_EQ(g_tempoDisplay, 150u);
    EXPECT_TRUE(g_pAutomationDlg->IsWindow()) << "a song with automation on opens the automation panel";
    EXPECT_TRUE(boxes.empty());

    // The reader's refusal is the one message; the file that was not a song and
    // a missing one leave the title and the song as they were.
    const std::pair<std::string, std::string> failures[] = {
        {refused, "Unsupported song format or invalid file!"},
        {(dir_ / "missing.mcs").string(), "Failed to open document \"" + (dir_ / "missing.mcs").string() +
                                              "\".\nThe file was not found or cannot be opened."}};
    for (const auto& [path, message] : failures) {
        SCOPED_TRACE(path);
        boxes.clear();
        EXPECT_EQ(AfxGetApp()->OpenDocumentFile(path), nullptr);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, message);
        EXPECT_EQ(Frame()->GetWindowText(), "MorvelCanopy I - tune.mcs");
        EXPECT_EQ(g_tempoDisplay, 150u);
    }
}
