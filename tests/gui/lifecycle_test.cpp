// Start and end of the application: the order of the steps, the first and a
// later start, the command line, the default song present and absent.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/gui/gui_fixture.h"

#include "res/resource_ids.h"

namespace {

class LifecycleTest : public GuiTest {
protected:
    // Runs the start of the program with args; returns InitInstance's result.
    bool Start(TracingApp& app, std::vector<std::string> args = {"morvelcanopy"}) {
        app.SetProfilePath(ProfilePath());
        app.SetCommandLine(std::move(args));
        if (!app.InitApplication()) return false;
        return app.InitInstance();
    }
    // Quits as Exit does, then the framework's end.
    int Quit(TracingApp& app) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd)) frame->ExecuteCommand(ID_APP_EXIT);
        PumpMessages(20);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        return app.ExitInstance();
    }
    std::string Title(TracingApp& app) { return app.m_pMainWnd ? app.m_pMainWnd->GetWindowText() : ""; }
    int StoredInt(const std::string& section, const std::string& name) {
        CWinApp reader;
        reader.SetProfilePath(ProfilePath());
        return reader.GetProfileInt(section, name, -12345);
    }
};

}  // namespace

TEST_F(LifecycleTest, FirstStartRunsEveryStepInOrder) {
    std::vector<std::string> splashDuringBox;
    onBox = [&](const std::string&) { splashDuringBox.push_back(g_pSplashWnd && g_pSplashWnd->IsWindow() ? "splash" : "-"); };
    TracingApp app(trace);
    ASSERT_TRUE(Start(app));
    const std::vector<std::string> start = {
        "EnumerateAudioDevices", "EnumerateMidiDevices", "LoadSettings", "BuildEngineTables", "OpenMidiIn",
        "OpenMidiOut",           "read _default_.mcs",   "timeBeginPeriod 1", "priority high", "CreateRenderThreads",
        "OpenAudioDevice",       "help 9"};
    EXPECT_EQ(trace, start);
    // The default song is missing: one report, under the splash, then an
    // empty song at tempo 120 with 64-row patterns.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.rfind("Failed to open document \"_default_.mcs\"", 0), 0u) << boxes[0].text;
    EXPECT_EQ(splashDuringBox, std::vector<std::string>{"splash"});
    EXPECT_EQ(uint32_t(g_tempo), 120u);
    EXPECT_EQ(uint32_t(g_patternLength), 64u);
    EXPECT_EQ(uint32_t(g_stepsPerBeat), 4u);
    EXPECT_EQ(Title(app), "MorvelCanopy I - Untitled");
    EXPECT_TRUE(app.m_pMainWnd->IsWindowVisible());
    EXPECT_FALSE(g_pSplashWnd->IsWindow());
    EXPECT_TRUE(g_pValueTip->IsWindow());
    EXPECT_FALSE(g_pValueTip->IsWindowVisible());
    EXPECT_EQ(g_hMainWnd, app.m_pMainWnd);
    EXPECT_EQ(g_startingUp, 0);
    EXPECT_EQ(g_firstNewDone, 1);
    EXPECT_EQ(int32_t(g_firstRun), 0);

    trace.clear();
    Quit(app);
    const std::vector<std::string> end = {"priority normal", "CloseAudioDevice", "CloseMidiIn",
                                          "CloseMidiOut",    "timeEndPeriod 1",  "help quit"};
    EXPECT_EQ(trace, end);
    EXPECT_EQ(g_engineReset, kResetStop);  // the close requested a stop
    EXPECT_EQ(StoredInt("Miscellaneous", "First Run"), 0);
    EXPECT_EQ(StoredInt("Windows", "MainWin X"), int(g_windowLeft));
}

TEST_F(LifecycleTest, LaterStartWithFreeDeviceModeOpensNoHelpAndNoDevice) {
    {
        CWinApp writer;
        writer.SetProfilePath(ProfilePath());
        writer.WriteProfileInt("Miscellaneous", "First Run", 0);
        writer.WriteProfileInt("Internal sequencer", "Free audiodev when stopped", 1);
        writer.WriteProfileInt("Windows", "Scope", 1);  // the oscilloscope's shell opens
        writer.FlushProfile();
    }
    songFiles["_default_.mcs"] = DocIoResult::Ok;
    TracingApp app(trace);
    ASSERT_TRUE(Start(app));
    EXPECT_EQ(StepAt("help 9"), -1);
    EXPECT_EQ(StepAt("OpenAudioDevice"), -1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(g_pScopeDlg->IsWindow());
    Quit(app);
    EXPECT_FALSE(g_pScopeDlg->IsWindow());  // the document's close took it
    EXPECT_EQ(StoredInt("Windows", "Scope"), 1);
}

TEST_F(LifecycleTest, DefaultSongPresentIsTheNewSongAndOnlyAtStart) {
    songFiles["_default_.mcs"] = DocIoResult::Ok;
    TracingApp app(trace);
    ASSERT_TRUE(Start(app));
    EXPECT_TRUE(boxes.empty());
    auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    CDocument* doc = frame->GetActiveDocument();
    EXPECT_EQ(doc->GetTitle(), "Untitled");  // saving it asks for a name
    EXPECT_EQ(doc->GetPathName(), "");
    // A later File New asks with the dialog and never reads the default song.
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    trace.clear();
    frame->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(dialogs, std::vector<UINT>{180});
    EXPECT_EQ(StepAt("read _default_.mcs"), -1);
    Quit(app);
}

TEST_F(LifecycleTest, SongOnTheCommandLineOpensInsteadOfTheDefaultSong) {
    songFiles["/songs/demo.mcs"] = DocIoResult::Ok;
    TracingApp app(trace);
    ASSERT_TRUE(Start(app, {"morvelcanopy", "/songs/demo.mcs"}));
    EXPECT_NE(StepAt("read /songs/demo.mcs"), -1);
    EXPECT_EQ(StepAt("read _default_.mcs"), -1);
    EXPECT_EQ(Title(app), "MorvelCanopy I - demo.mcs");
    EXPECT_EQ(g_firstNewDone, 1);
    // The recent-file list has it.
    auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    auto menu = frame->GetMenuState(0);
    bool listed = false;
    for (auto& item : menu) listed |= item.id == ID_FILE_MRU_FILE1 && item.text == "&1 /songs/demo.mcs" && item.enabled;
    EXPECT_TRUE(listed);
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    frame->ExecuteCommand(ID_FILE_NEW);
    EXPECT_EQ(dialogs, std::vector<UINT>{180});
    Quit(app);
    CWinApp reader;
    reader.SetProfilePath(ProfilePath());
    EXPECT_EQ(reader.GetProfileString("Recent File List", "File1"), "/songs/demo.mcs");
}

// The recent-file list holds full paths: a song named relative to the start
// folder is listed once whichever way it is opened again, and an entry that
// an earlier version stored relative is taken as lying in the start folder.
TEST_F(LifecycleTest, RecentFilesAreListedAndStoredWithTheirFullPath) {
    const std::string here = std::filesystem::current_path().string();
    const std::string demo = here + "/demo.mcs";
    for (const std::string& path : {std::string("demo.mcs"), demo, std::string("/songs/other.mcs")})
        songFiles[path] = DocIoResult::Ok;
    {
        CWinApp writer;
        writer.SetProfilePath(ProfilePath());
        writer.WriteProfileString("Recent File List", "File1", "old.mcs");
        writer.WriteProfileString("Recent File List", "File2", "./sub/../demo.mcs");
        writer.FlushProfile();
    }
    TracingApp app(trace);
    ASSERT_TRUE(Start(app, {"morvelcanopy", "demo.mcs"}));
    auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetActiveDocument()->GetPathName(), demo);
    ASSERT_NE(app.OpenDocumentFile("/songs/other.mcs"), nullptr);
    ASSERT_NE(app.OpenDocumentFile(demo), nullptr);
    const std::vector<std::string> listed = {demo, "/songs/other.mcs", here + "/old.mcs"};
    EXPECT_EQ(app.GetRecentFileList()->Entries(), listed);
    std::vector<std::string> rows;
    for (auto& item : frame->GetMenuState(0))
        if (item.id >= ID_FILE_MRU_FILE1 && item.id <= ID_FILE_MRU_LAST) rows.push_back(item.text);
    EXPECT_EQ(rows, (std::vector<std::string>{"&1 " + listed[0], "&2 " + listed[1], "&3 " + listed[2]}));
    Quit(app);
    CWinApp reader;
    reader.SetProfilePath(ProfilePath());
    for (size_t i = 0; i < listed.size(); ++i)
        EXPECT_EQ(reader.GetProfileString("Recent File List", "File" + std::to_string(i + 1)), listed[i]);
    EXPECT_EQ(reader.GetProfileString("Recent File List", "File4"), "");
}

TEST_F(LifecycleTest, RefusedSongOnTheCommandLineEndsTheStartWithSettingsWritten) {
    struct Case {
        std::string file;
        DocIoResult read;
        std::string box;
    } cases[] = {
        {"/songs/broken.mcs", DocIoResult::FailedReported, "Unsupported song format or invalid file!"},
        {"/songs/piano.mci", DocIoResult::Ok,
         "You cannot load instrument files directly into Morvel Canopy!\nUse the 'load' option in the Sounds menu "
         "after creating a new song!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        boxes.clear();
        std::filesystem::remove(ProfilePath());
        g_startingUp = 1;
        g_firstNewDone = 0;
        songFiles[c.file] = c.read;
        bool splashOpenAtBox = true;
        onBox = [&](const std::string&) { splashOpenAtBox = g_pSplashWnd->IsWindow(); };
        {
            TracingApp app(trace);
            EXPECT_FALSE(Start(app, {"morvelcanopy", c.file}));
            ASSERT_EQ(boxes.size(), 1u);  // the reader's or the document's report, and no other
            EXPECT_EQ(boxes[0].text, c.box);
            if (c.file.ends_with(".mci")) {
                EXPECT_FALSE(splashOpenAtBox);
            }
            EXPECT_EQ(app.m_pMainWnd, nullptr);
            EXPECT_NE(app.ExitInstance(), -1);
        }
        EXPECT_EQ(StoredInt("Audio playback and MIDI settings", "Polyphony"), 5);
        EXPECT_EQ(StoredInt("MIDI Controllers", "MCC35"), 0);
        onBox = nullptr;
        for (CDialog** d : {reinterpret_cast<CDialog**>(&g_pSplashWnd), reinterpret_cast<CDialog**>(&g_pScopeDlg),
                            reinterpret_cast<CDialog**>(&g_pAutomationDlg)}) {
            delete *d;
            *d = nullptr;
        }
    }
}

TEST_F(LifecycleTest, StartUpWarningsAreShownAndTheStartGoesOn) {
    songFiles["_default_.mcs"] = DocIoResult::Ok;
    timerResult = TIMERR_NOCANDO;
    priorityResult = false;
    threadsResult = false;
    TracingApp app(trace);
    ASSERT_TRUE(Start(app));
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "Warning! Timer resolution is out of range!");
    EXPECT_EQ(boxes[1].text, "Warning! Priorityclass set failed!");
    EXPECT_EQ(boxes[2].text, "Warning!!! Low memory or Windows resources!");
    EXPECT_EQ(g_threadsAvailable, 0);
    Quit(app);
}

TEST_F(LifecycleTest, ACaptureStillOpenAtTheEndIsFinished) {
    TracingApp app(trace);
    ASSERT_TRUE(Start(app));
    const std::string path = (dir_ / "open-at-exit.wav").string();
    filePicks.push_back(path);
    auto* frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->ExecuteCommand(ID_FILE_CAPTURE_OUTPUT));
    ASSERT_EQ(g_captureOn, 1u);
    // Audio waiting in the staging buffer, as a render path leaves it.
    g_captureArmed = 1;
    for (uint32_t i = 0; i < 4000; ++i) g_captureBuffer[i] = uint8_t(i);
    g_captureFill = 4000;
    g_captureTotal = 4000;
    boxes.clear();
    Quit(app);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(g_captureOn, 0u);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 44u + 4000);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24, 4036);
    EXPECT_EQ(bytes[40] | bytes[41] << 8 | bytes[42] << 16 | bytes[43] << 24, 4000);
    EXPECT_EQ(bytes[44 + 3999], uint8_t(3999));
}
