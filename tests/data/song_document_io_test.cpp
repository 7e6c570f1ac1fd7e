// The document's song file functions: a song saved to a file and read back, the
// reader's own refusal reported once, file errors by their cause; and the render
// lock held while a load, a File New or a close replaces the song.
#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <string>

#include "data/synth_doc.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/render_lock.h"
#include "shared/settings.h"
#include "tests/data/file_fixture.h"

namespace {

using namespace file_fixture;
namespace fs = std::filesystem;

// True when another thread finds the render lock taken, as a render path would.
bool RenderLockHeldElsewhere() {
    return std::async(std::launch::async, [] {
               if (!g_renderLock.try_lock()) return true;
               g_renderLock.unlock();
               return false;
           }).get();
}

// Records, each time the song reset closes the automation panel, whether the
// render lock was held then.
class LockProbeHooks : public UiHooks {
public:
    void DestroyAutomationPanel() override { lockHeld.push_back(RenderLockHeldElsewhere()); }
    std::vector<bool> lockHeld;
};

class SongDocumentIoTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        g_startingUp = 0;
        g_soundModuleMode = 0;
        g_tempoDisplay = 133;
        // (A sample's last frame reads back as 0: these hold 0 throughout.)
        SongBuilder().Patterns(3).Sample(50, 10, "a.wav", 0).Sample(7, 0, "b.wav", 0);
        g_songTitle = "Saved";
        g_soundNames[7] = "Bell";
    }
};

TEST_F(SongDocumentIoTest, ASongSavedToAFileReadsBackWhole) {
    const std::string path = TempPath("song.mcs");
    WriteTempFile("song.mcs", Bytes(3, 'x'));  // an earlier file is replaced
    ::chmod(path.c_str(), 0600);
    const Snapshot saved = TakeSnapshot();

    ASSERT_EQ(WriteSongFile(path), DocIoResult::Ok);
    EXPECT_FALSE(fs::exists(path + ".saving"));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    ResetSong();
    ResetSoundBank();
    ASSERT_TRUE(NewPattern());

    EXPECT_EQ(ReadSongFile(path), DocIoResult::Ok);
    ExpectSameSong(saved, TakeSnapshot());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(SongDocumentIoTest, FailuresAreReportedByTheirCauseOnceAndTheSongStays) {
    const Snapshot before = TakeSnapshot();
    const std::string refused = WriteTempFile("refused.mcs", Bytes{'M', 'C', 'F', 'm', 't', '2', '\r', '\n'});
    const std::string missingFolder = TempPath("no-such-folder") + "/song.mcs";

    // The reader's refusal: its own message, and nothing more to report.
    EXPECT_EQ(ReadSongFile(refused), DocIoResult::FailedReported);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Unsupported song format or invalid file!");

    // File errors: no message of their own (the document reports them).
    boxes.clear();
    EXPECT_EQ(ReadSongFile(TempPath("absent.mcs")), DocIoResult::NotFound);
    EXPECT_EQ(ReadSongFile(::testing::TempDir()), DocIoResult::Failed);  // a folder
    EXPECT_EQ(WriteSongFile(missingFolder), DocIoResult::NotFound);
    ASSERT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_EQ(WriteSongFile("/dev/full"), DocIoResult::DiskFull);  // written in place, never replaced
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(boxes.empty());
    ExpectSameSong(before, TakeSnapshot());
}

TEST_F(SongDocumentIoTest, SongReplacementsHoldTheRenderLock) {
    LockProbeHooks probe;
    SetUiHooks(&probe);
    const std::string path = TempPath("song.mcs");
    ASSERT_EQ(WriteSongFile(path), DocIoResult::Ok);
    g_soundModuleMode = 1;  // File New without the dialog
    g_firstNewDone = 1;

    g_automationOn = 1;
    ASSERT_EQ(ReadSongFile(path), DocIoResult::Ok);
    {
        auto* doc = new CSynthDoc;
        doc->m_bAutoDelete = false;
        g_automationOn = 1;
        ASSERT_TRUE(doc->OnNewDocument());
        g_automationOn = 1;
        doc->OnCloseDocument();
        delete doc;
    }
    EXPECT_EQ(probe.lockHeld, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(RenderLockHeldElsewhere());
    SetUiHooks(&ui);
    g_soundModuleMode = 0;
    g_firstNewDone = 0;
}

}  // namespace
