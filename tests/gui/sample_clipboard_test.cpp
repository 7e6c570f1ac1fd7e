// The organizer's Export, Copy and Paste: the file and the clipboard image
// equal to the sample's WAV image, the file failures by cause, the clipboard
// failures, the names a paste loads under, and the toolkit's clipboard within
// this process and into a second one.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "data/sample_export.h"
#include "tests/faulty_file.h"
#include "tests/gui/sample_fixture.h"
#include "ui/sample_name_dlg.h"

extern char** environ;

namespace {

using Names = std::vector<std::string>;

Names StoreNames() {
    Names n;
    for (uint32_t s = 0; s < g_sampleCount; ++s) n.push_back(g_sampleName[s]);
    return n;
}

class SampleClipboardTest : public SampleDialogTest {
protected:
    // Runs the organizer: selects row (-1 none), clicks the button. A paste
    // that reached the loader leaves the list rebuilt without a selection.
    void Click(int row, int button, bool loads = true) {
        RunOrganizer([&](CSampleOrganizerDlg& o) {
            if (row >= 0) o.m_sampleList.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
            o.ClickButton(button);
            EXPECT_EQ(o.GetDlgItemText(IDC_ORG_STATUS), "");
            EXPECT_EQ(o.m_sampleList.GetItemCount(), int(g_sampleCount.load()));
            if (button == IDC_ORG_PASTE && loads) {
                EXPECT_EQ(o.m_sampleList.GetSelectedCount(), 0);
                EXPECT_EQ(g_currentSample, -1);
            }
            o.PressEscape();
        });
    }
    // The sample-name dialog answered: typed text (none: untouched) and Enter,
    // or Escape.
    void NameDialog(const char* typed, bool ok = true) {
        dialogScripts.push_back([typed, ok](CDialog& d) {
            EXPECT_EQ(d.GetTemplateId(), IDD_SAMPLE_NAME);
            EXPECT_EQ(d.GetDlgItemText(IDC_SAMPLE_NAME), "Unnamed wave");
            if (typed) d.TypeText(IDC_SAMPLE_NAME, typed);
            if (ok) d.PressEnter();
            else d.PressEscape();
        });
    }
};

TEST_F(SampleClipboardTest, ExportWritesTheSampleImageLoopedOrNot) {
    AddSample("Bass.wav", 100, 100, 36);
    AddSample("Loop.wav", 100, 40, 24);
    std::vector<std::string> seen;
    SetFileDialogHandler([&](const CFileDialog& d) {
        seen.push_back(d.m_initialDir + "|" + d.m_fileName + "|" + d.m_defaultExt + "|" + d.m_filter);
        return (dir_ / "out" / d.m_fileName).string();
    });
    std::filesystem::create_directories(dir_ / "out");
    Click(0, IDC_ORG_EXPORT);
    Click(1, IDC_ORG_EXPORT);
    const auto bass = FileBytes((dir_ / "out" / "Bass.wav").string());
    const auto loop = FileBytes((dir_ / "out" / "Loop.wav").string());
    EXPECT_EQ(bass, BuildSampleWave(0));
    EXPECT_EQ(bass.size(), 103u + 200 + 8);
    EXPECT_EQ(loop, BuildSampleWave(1));
    EXPECT_EQ(loop.size(), 103u + 200 + 8 + 68);
    EXPECT_EQ(seen[0], dir_.string() + "|Bass.wav|wav|Wave Files (*.wav)|*.wav|");
    EXPECT_EQ(seen[1], (dir_ / "out").string() + "|Loop.wav|wav|Wave Files (*.wav)|*.wav|");
    EXPECT_EQ(g_lastSampleFolder, (dir_ / "out").string());
    EXPECT_EQ(g_docModified, 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SampleClipboardTest, ExportFailuresByWriteAndCauseLeaveThePartialFile) {
    AddSample("Loop.wav", 100, 40);
    struct Case {
        int failWrite;
        int cause;
        const char* text;
        size_t left;  // bytes on disk
    };
    const size_t image = BuildSampleWave(0).size();
    for (const Case& c : {Case{1, CFileException::generic, "Export failed due to a file error.", 0},
                          Case{1, CFileException::diskFull, "Disk Full!", 0},
                          Case{2, CFileException::accessDenied, "Export failed due to file error.", 44},
                          Case{3, CFileException::generic, "Export failed due to file error.", 244},
                          Case{4, CFileException::diskFull, "Disk Full!", 312}}) {
        SCOPED_TRACE(c.failWrite);
        FaultyFiles faulty;
        faulty.faults.failWrite = c.failWrite;
        faulty.faults.cause = c.cause;
        boxes.clear();
        const std::string path = (dir_ / "x.wav").string();
        filePicks = {path};
        Click(0, IDC_ORG_EXPORT);
        EXPECT_EQ(BoxTexts(), Names{c.text});
        EXPECT_EQ(FileBytes(path).size(), c.left);
        EXPECT_EQ(faulty.faults.writes, c.failWrite);
    }
    EXPECT_EQ(image, 312u + 59 + 8);
    // The pieces: header, frames, loop chunk, LIST chunk.
    EXPECT_EQ(SampleWavePieces(BuildSampleWave(0)), (std::vector<uint32_t>{44, 200, 68, 67}));
}

TEST_F(SampleClipboardTest, ExportIntoAMissingFolderOrAFullDisk) {
    AddSample("a.wav", 5000, 5000);
    // The device behind a name the dialog leaves as it is.
    std::filesystem::create_symlink("/dev/full", dir_ / "full.wav");
    filePicks = {(dir_ / "missing" / "a.wav").string(), (dir_ / "full.wav").string()};
    Click(0, IDC_ORG_EXPORT);
    Click(0, IDC_ORG_EXPORT);
    EXPECT_EQ(BoxTexts(), (Names{"Cannot create file!", "Disk Full!"}));
}

TEST_F(SampleClipboardTest, CopyPutsTheImageAndPasteOntoTheSameSampleReloadsIt) {
    AddSample("a.wav", 10, 10);
    AddSample("Pad.wav", 500, 120, 36, 3);
    Click(1, IDC_ORG_COPY);
    EXPECT_TRUE(clipboard.hasWave);
    EXPECT_EQ(clipboard.bytes, BuildSampleWave(1));
    const std::vector<int16_t> before(g_sampleData[1].load(), g_sampleData[1].load() + 501);
    answers = {IDYES};
    Click(1, IDC_ORG_PASTE);
    EXPECT_EQ(BoxTexts(), (Names{"Pad.wav already exists, reload changes?"}));
    EXPECT_EQ(StoreNames(), (Names{"a.wav", "Pad.wav"}));
    EXPECT_EQ(g_sampleLength[1].load(), 500u);
    EXPECT_EQ(g_sampleLoopPoint[1].load(), 120u);
    EXPECT_EQ(g_sampleRootKey[1], 36u);
    EXPECT_EQ(std::vector<int16_t>(g_sampleData[1].load(), g_sampleData[1].load() + 501), before);
    EXPECT_EQ(g_docModified, 1);
}

TEST_F(SampleClipboardTest, PasteNamesTheNewSample) {
    struct Case {
        const char* typed;  // null: Enter on the untouched field
        bool ok;
        Names after;
    };
    for (const Case& c : {Case{"Kick", true, {"Pad-L.wav", "Kick.wav"}},
                          Case{nullptr, true, {"Pad-L.wav", "Unnamed wave.wav"}},
                          Case{"Bass-Lead", true, {"Pad-L.wav", "Bass.wav"}},
                          Case{"Loop-Right.wav", true, {"Pad-L.wav", "Loop.wav"}},
                          Case{"Kick", false, {"Pad-L.wav"}}}) {
        SCOPED_TRACE(c.typed ? c.typed : "(untouched)");
        ResetSong();
        AddSample("Pad-L.wav", 50, 50);
        Click(0, IDC_ORG_COPY);
        NameDialog(c.typed, c.ok);
        Click(-1, IDC_ORG_PASTE);
        EXPECT_EQ(StoreNames(), c.after);
        EXPECT_TRUE(boxes.empty());
    }
    // A mono paste onto the selected "Pad-L.wav" loads as "Pad.wav", appended.
    ResetSong();
    AddSample("Pad-L.wav", 50, 50);
    Click(0, IDC_ORG_COPY);
    Click(0, IDC_ORG_PASTE);
    EXPECT_EQ(StoreNames(), (Names{"Pad-L.wav", "Pad.wav"}));
    EXPECT_EQ(g_sampleLength[1].load(), 50u);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SampleClipboardTest, PasteIntoTheFullStoreLoadsNothing) {
    AddSamples(255);
    clipboard.hasWave = true;
    file_fixture::WaveParams w;
    w.values = {1, 2, 3};
    clipboard.bytes = file_fixture::WaveBytes(w);
    NameDialog("New");
    Click(-1, IDC_ORG_PASTE);
    EXPECT_EQ(BoxTexts(), (Names{"Cannot load more samples!"}));
    EXPECT_EQ(g_sampleCount.load(), 255u);
    // A sample of the same name is still reloaded.
    boxes.clear();
    answers = {IDYES};
    Click(7, IDC_ORG_PASTE);
    EXPECT_EQ(BoxTexts(), (Names{"s7.wav already exists, reload changes?"}));
    EXPECT_EQ(g_sampleLength[7].load(), 3u);
}

TEST_F(SampleClipboardTest, ClipboardFailuresAndBadDataChangeNothing) {
    AddSample("a.wav", 10, 10);
    struct Case {
        int button;
        std::function<void(MemoryClipboard&)> setUp;
        const char* text;
        bool loads = false;
    };
    const std::vector<Case> cases = {
        {IDC_ORG_COPY, [](MemoryClipboard& c) { c.canOpen = false; }, "Cannot open the Clipboard"},
        {IDC_ORG_COPY, [](MemoryClipboard& c) { c.canEmpty = false; }, "Cannot empty the Clipboard"},
        {IDC_ORG_COPY, [](MemoryClipboard& c) { c.canSet = false; }, "Unable to set Clipboard data"},
        {IDC_ORG_PASTE, [](MemoryClipboard& c) { c.canOpen = false; }, "Cannot open the clipboard"},
        {IDC_ORG_PASTE, [](MemoryClipboard& c) { c.hasWave = false; }, "Cannot retrieve data from the clipboard"},
        {IDC_ORG_PASTE, [](MemoryClipboard& c) { c.bytes.clear(); }, "Invalid clipboard data size"},
        {IDC_ORG_PASTE, [](MemoryClipboard& c) { c.bytes.assign(300, 'x'); }, "Invalid wave file!", true},
        {IDC_ORG_PASTE, [](MemoryClipboard& c) { c.bytes.resize(30); }, "Unsupported wave format!", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        clipboard = MemoryClipboard();
        clipboard.hasWave = true;
        clipboard.bytes = BuildSampleWave(0);
        c.setUp(clipboard);
        boxes.clear();
        Click(0, c.button, c.loads);
        EXPECT_EQ(BoxTexts(), Names{c.text});
        EXPECT_EQ(StoreNames(), Names{"a.wav"});
        EXPECT_EQ(g_sampleLength[0].load(), 10u);
    }
}

TEST_F(SampleClipboardTest, PasteWritesNoFileAndLeavesAUsersClipboardTmpAlone) {
    AddSample("a.wav", 10, 10);
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    WriteBytes("clipboard.tmp", {'m', 'i', 'n', 'e'});
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    Click(0, IDC_ORG_COPY);
    NameDialog("Copy");
    Click(-1, IDC_ORG_PASTE);
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(FileBytes((dir_ / "clipboard.tmp").string()), (std::vector<uint8_t>{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(StoreNames(), (Names{"a.wav", "Copy.wav"}));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SampleClipboardTest, PasteButtonFollowsCopy) {
    AddSample("a.wav", 10, 10);
    RunOrganizer([](CSampleOrganizerDlg& o) {
        EXPECT_FALSE(Enabled(o, IDC_ORG_PASTE));
        o.m_sampleList.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
        o.ClickButton(IDC_ORG_COPY);
        EXPECT_TRUE(Enabled(o, IDC_ORG_PASTE));
        o.PressEscape();
    });
}

// The toolkit's clipboard: a copy pasted in this process, and read by a second
// process (this program again, running only the child test below) while this
// one runs and serves it.
TEST_F(SampleClipboardTest, ToolkitClipboardWithinAndAcrossProcesses) {
    SetClipboardBackend(nullptr);
    AddSample("Tone.wav", 300, 100, 36, 11);
    const std::vector<uint8_t> image = BuildSampleWave(0);
    Click(0, IDC_ORG_COPY);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_WAVE));
    std::vector<uint8_t> here;
    EXPECT_TRUE(GetClipboardData(CF_WAVE, here));
    CloseClipboard();
    EXPECT_EQ(here, image);
    NameDialog("Again");
    Click(-1, IDC_ORG_PASTE);
    EXPECT_EQ(StoreNames(), (Names{"Tone.wav", "Again.wav"}));
    EXPECT_EQ(g_sampleLength[1].load(), 300u);
    EXPECT_EQ(g_sampleLoopPoint[1].load(), 100u);

    const std::string out = (dir_ / "child.bin").string();
    const std::string env = "MC_CLIPBOARD_CHILD=" + out;
    std::vector<std::string> args = {"/proc/self/exe", "--gtest_filter=SampleClipboardChild.*"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    std::string envCopy = env;
    envp.push_back(envCopy.data());
    envp.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, argv.data(), envp.data()), 0);
    int status = 0;
    for (int i = 0; i < 3000; ++i) {
        PumpMessages(10);
        if (waitpid(child, &status, WNOHANG) == child) break;
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(FileBytes(out), image);
}

// The second process: reads the wave data through the organizer's paste and
// writes the sample it loaded back as a WAV image.
TEST(SampleClipboardChild, PasteFromAnotherProcess) {
    const char* out = std::getenv("MC_CLIPBOARD_CHILD");
    if (out == nullptr) GTEST_SKIP() << "runs as the second process of ToolkitClipboardWithinAndAcrossProcesses";
    ResetSong();
    SetMessageBoxHandler([](const std::string& text, unsigned, unsigned) {
        ADD_FAILURE() << text;
        return IDOK;
    });
    SetModalDialogHandler([](CDialog& d) {
        if (d.GetTemplateId() == IDD_SAMPLE_NAME) {
            d.TypeText(IDC_SAMPLE_NAME, "Tone");
            d.PressEnter();
            return;
        }
        auto& o = static_cast<CSampleOrganizerDlg&>(d);
        o.ClickButton(IDC_ORG_PASTE);
        o.PressEscape();
    });
    CSampleOrganizerDlg dlg;
    dlg.DoModal();
    ASSERT_EQ(g_sampleCount.load(), 1u);
    EXPECT_EQ(g_sampleName[0], "Tone.wav");
    const auto bytes = BuildSampleWave(0);
    std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ResetSong();
}

}  // namespace
