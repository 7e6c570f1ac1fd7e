// The song export from the File menu: the checks before any dialog, the
// proposed name and the confirmation, the busy dialog run through its first
// tick (a file equal to render_song's, also when a preview note and a test
// tone were left for the closed device; the texts, the state it leaves), and
// the file failures at every step.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/gui/gui_fixture.h"

#include "data/pattern_store.h"
#include "data/song_export.h"
#include "data/song_file.h"
#include "data/song_reset.h"
#include "data/ui_hooks.h"
#include "engine/event_queue.h"
#include "engine/master.h"
#include "engine/render.h"
#include "engine/tables.h"
#include "res/resource_ids.h"
#include "shared/clock.h"
#include "shared/file_io.h"
#include "shared/mixer.h"
#include "tests/faulty_file.h"
#include "ui/export_wave_dlg.h"

namespace {

constexpr char kInfiniteLoop[] =
    "Cannot export current song, because it contains an infinite loop.\n"
    "Use the command \"STOP\" to mark the end of the song!";

// Counts the wait cursor's shows and restores.
struct CursorHooks : UiHooks {
    void BeginWaitCursor() override { ++begins; }
    void EndWaitCursor() override { ++ends; }
    int begins = 0;
    int ends = 0;
};

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

class ExportTest : public SessionTest {
protected:
    static void SetUpTestSuite() {
        static bool built = false;
        if (!built) BuildEngineTables();
        built = true;
    }

    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        SetUiHooks(&cursor);
        g_lastExportFolder = dir_.string();
        SetFileDialogHandler([this](const CFileDialog& d) {
            proposed.push_back(d.m_initialDir + "|" + d.m_fileName);
            if (filePicks.empty()) return std::string();
            std::string p = filePicks.front();
            filePicks.pop_front();
            return p;
        });
        g_testSignal = 0;
        g_testToneLevel = 0;
        g_tempo = 120;
        g_stepsPerBeat = 4;
        g_doubleStepsPerBeat = 0;
        g_masterMute = 0;
        trace.clear();
    }

    void TearDown() override {
        InstallUiHooks();
        SessionTest::TearDown();
    }

    // One 16-row pattern, then the end.
    static void ShortSong() {
        g_patternLength = 16;
        ResetSong();
        ASSERT_TRUE(NewPattern());
        g_songOrder[1] = kOrderEnd;
    }

    bool Export() { return session_->frame->ExecuteCommand(ID_FILE_EXPORT_WAVE); }

    // The busy dialog's script: its first tick runs the export; the texts it
    // shows at the end are kept.
    void RunTheDialog() {
        dialogScripts.push_back([this](CDialog& d) {
            EXPECT_EQ(d.GetTemplateId(), IDD_EXPORT_WAVE);
            EXPECT_EQ(g_exporting, 1u);
            EXPECT_EQ(g_exportActive, 1u);
            EXPECT_EQ(trace, std::vector<std::string>{"CloseAudioDevice"});
            d.OnTimer(kExportTimerId);
            status = d.GetDlgItemText(IDC_EXPORT_STATUS);
            duration = d.GetDlgItemText(IDC_EXPORT_DURATION);
            length = d.GetDlgItemText(IDC_EXPORT_LENGTH);
        });
    }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    CursorHooks cursor;
    std::vector<std::string> proposed;
    std::string status, duration, length;
};

}  // namespace

TEST_F(ExportTest, TheSongIsCheckedBeforeAnyFileDialog) {
    const struct {
        uint8_t first;
        const char* message;
    } cases[] = {{255, "There is no data to export!"}, {0, kInfiniteLoop}};
    for (const auto& c : cases) {
        ShortSong();
        g_songOrder[0] = c.first;
        g_songOrder[1] = kOrderJump;  // a new song: back to the start, no end
        g_songOrderJump[1] = 0;
        boxes.clear();
        EXPECT_TRUE(Export());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.message);
        EXPECT_EQ(boxes[0].type, MB_OK | MB_ICONSTOP);
        EXPECT_TRUE(proposed.empty());
        EXPECT_TRUE(dialogs.empty());
    }
}

TEST_F(ExportTest, TheProposedNameAndAnsweringNoWritesNothing) {
    ShortSong();
    const struct {
        const char* title;
        const char* proposedName;
    } cases[] = {{"Untitled", "Untitled.wav"}, {"my.song.mcs", "my.wav"}};
    for (const auto& c : cases) {
        session_->doc->SetTitle(c.title);
        proposed.clear();
        boxes.clear();
        filePicks.push_back(Path("sub/take.wav"));
        answers.push_back(IDNO);
        EXPECT_TRUE(Export());
        ASSERT_EQ(proposed.size(), 1u);
        EXPECT_EQ(proposed[0], dir_.string() + "|" + c.proposedName);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, std::string("Are you sure to export ") + c.title + " to take.wav?");
        EXPECT_EQ(boxes[0].type, MB_YESNO | MB_ICONEXCLAMATION);
        EXPECT_TRUE(dialogs.empty());
        EXPECT_FALSE(std::filesystem::exists(Path("sub/take.wav")));
        EXPECT_EQ(g_exportFileName, Path("sub/take.wav"));
        EXPECT_EQ(g_lastExportFolder, (dir_ / "sub").string()) << "the folder is remembered even so";
        g_lastExportFolder = dir_.string();
    }
    // A cancelled file dialog does nothing more.
    boxes.clear();
    EXPECT_TRUE(Export());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(ExportTest, TheDialogWritesWhatRenderSongWritesAndLeavesTheProgramAsItFoundIt) {
    const std::string song = std::string(MC_SOURCE_DIR) + "/songs/_default_.mcs";
    {
        CFile file;
        ASSERT_TRUE(file.Open(song, CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        ASSERT_TRUE(LoadSong(ar));
    }
    g_tempo = g_tempoDisplay.load();
    session_->doc->SetTitle("_default_.mcs");
    // What a live session leaves for its device: a preview note queued 150 ms
    // into a 250 ms buffer, which the device was closed before playing, and a
    // test tone still fading out. Neither reaches the file.
    const uint32_t bufferFrames = g_bufferFrames, bufferStart = g_bufferStartTime;
    g_bufferFrames = 11025;
    g_bufferStartTime = timeGetTime() - 150;
    QueueNoteOn(1, 40);
    g_testToneLevel = 0x50000000;
    g_polyphony = 2;
    g_midiSync = 1;
    g_playFlag = 1;
    for (auto& level : g_meterLevels) level = 9;
    g_lastOutLeft = 1000;
    filePicks.push_back(Path("demo.wav"));
    answers.push_back(IDYES);
    RunTheDialog();
    EXPECT_TRUE(Export());
    g_bufferFrames = bufferFrames;
    g_bufferStartTime = bufferStart;
    ASSERT_EQ(dialogs, std::vector<UINT>{IDD_EXPORT_WAVE});
    EXPECT_TRUE(boxes.size() == 1) << "the confirmation only";

    const std::string tool = (std::filesystem::path(MC_PROGRAM).parent_path() / "tools" / "render_song").string();
    const std::string command = tool + " " + song + " " + Path("tool.wav") + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const auto exported = ReadBytes(Path("demo.wav"));
    ASSERT_GT(exported.size(), 44u);
    EXPECT_TRUE(exported == ReadBytes(Path("tool.wav"))) << "the dialog's file differs from render_song's";

    EXPECT_EQ(status, "Done...");
    EXPECT_EQ(duration, CExportWaveDlg::DurationText(g_exportElapsedMs));
    EXPECT_EQ(length, "Wave length: " + std::to_string((exported.size() - 44) / 1024) + "k");
    EXPECT_EQ(g_polyphony, 2u);
    EXPECT_EQ(g_midiSync, 0u);
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_EQ(g_exporting, 0u);
    EXPECT_EQ(g_exportActive, 0u);
    for (const auto& level : g_meterLevels) EXPECT_EQ(level, 0);
    EXPECT_EQ(g_lastOutLeft, 0);
    EXPECT_EQ(trace, (std::vector<std::string>{"CloseAudioDevice", "OpenAudioDevice"}));
    EXPECT_GT(cursor.begins, 0);
    EXPECT_EQ(cursor.begins, cursor.ends);
}

TEST_F(ExportTest, TheDeviceStaysClosedWhenItIsFreedWhileStopped) {
    ShortSong();
    g_freeAudioDevWhenStopped = 1;
    filePicks.push_back(Path("short.wav"));
    answers.push_back(IDYES);
    RunTheDialog();
    EXPECT_TRUE(Export());
    EXPECT_EQ(status, "Done...");
    EXPECT_EQ(trace, std::vector<std::string>{"CloseAudioDevice"});
    EXPECT_TRUE(std::filesystem::exists(Path("short.wav")));
}

TEST_F(ExportTest, AFileFailureIsToldAndTheProgramIsBackAsBefore) {
    const struct {
        const char* what;
        int createCause, failWrite;
        bool failClose;
        int cause;
        const char* message;
    } cases[] = {
        {"create", CFileException::diskFull, 0, false, CFileException::none, "Export failed. Disk full!"},
        {"header", CFileException::none, 1, false, CFileException::accessDenied, "Export failed. Access Denied!"},
        {"middle block", CFileException::none, 7, false, CFileException::diskFull, "Export failed. Disk full!"},
        {"size field", CFileException::none, 15, false, CFileException::generic, "Export failed. Disk error!"},
        {"close", CFileException::none, 0, true, CFileException::generic, "Export failed. Disk error!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShortSong();
        FaultyFiles files;
        files.faults.createCause = c.createCause;
        files.faults.failWrite = c.failWrite;
        files.faults.failClose = c.failClose;
        files.faults.cause = c.cause;
        g_polyphony = 3;
        boxes.clear();
        trace.clear();
        cursor.begins = cursor.ends = 0;
        filePicks.push_back(Path("failed.wav"));
        answers.push_back(IDYES);
        RunTheDialog();
        std::vector<int> cursorsShown;
        onBox = [&](const std::string&) { cursorsShown.push_back(cursor.begins - cursor.ends); };
        EXPECT_TRUE(Export());
        onBox = nullptr;
        EXPECT_EQ(cursorsShown, (std::vector<int>{0, 0})) << "no wait cursor over a message";
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[1].text, c.message);
        EXPECT_EQ(boxes[1].type, MB_OK | MB_ICONSTOP);
        EXPECT_NE(status, "Done...");
        EXPECT_EQ(trace, (std::vector<std::string>{"CloseAudioDevice", "OpenAudioDevice"}));
        EXPECT_EQ(g_engineReset, kResetStop) << "nothing starts on the reopened device";
        EXPECT_EQ(g_playFlag, 0u);
        EXPECT_EQ(g_polyphony, 3u);
        EXPECT_EQ(cursor.begins, cursor.ends);
        EXPECT_EQ(g_exporting, 0u);
    }
}

TEST(ExportDurationText, MinutesSecondsAndMilliseconds) {
    const struct {
        double ms;
        const char* text;
    } cases[] = {
        {0, "Wave duration: 00:00.000"},
        {9.9, "Wave duration: 00:00.009"},
        {65201, "Wave duration: 01:05.201"},
        {599999, "Wave duration: 09:59.999"},
        {600000, "Duration: 10:00.000"},
        {6055050, "Duration: 100:55.050"},
    };
    for (const auto& c : cases) EXPECT_EQ(CExportWaveDlg::DurationText(c.ms), c.text) << c.ms;
}

TEST_F(ExportTest, TheRealModalRunExportsInItsFirstTickAndEnds) {
    ShortSong();
    for (int pos = 1; pos < 100; ++pos) g_songOrder[pos] = 0;  // long enough to repaint on the way
    g_songOrder[100] = kOrderEnd;
    filePicks.push_back(Path("modal.wav"));
    answers.push_back(IDYES);
    SetModalDialogHandler(nullptr);  // the toolkit's own modal loop and timer
    EXPECT_TRUE(Export());
    EXPECT_TRUE(std::filesystem::exists(Path("modal.wav")));
    EXPECT_EQ(g_exportKilobytes * 1024 + 44, std::filesystem::file_size(Path("modal.wav")));
    EXPECT_EQ(trace, (std::vector<std::string>{"CloseAudioDevice", "OpenAudioDevice"}));
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(g_exporting, 0u);
}

TEST_F(ExportTest, TheCommandIsOffInSoundModuleMode) {
    CCmdUI ui;
    session_->frame->OnCmdMsg(ID_FILE_EXPORT_WAVE, &ui);
    EXPECT_TRUE(ui.m_bEnabled);
    g_soundModuleMode = 1;
    CCmdUI off;
    session_->frame->OnCmdMsg(ID_FILE_EXPORT_WAVE, &off);
    EXPECT_FALSE(off.m_bEnabled);
    g_soundModuleMode = 0;
}
