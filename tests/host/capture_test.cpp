// Live output capture on the test audio device: the commands, the sizes in the
// finished header, the tail after a stop, the abandon and the deletion of an
// empty file, short captures, write failures and a stalled writer, the size
// limit, and the finish at shut-down.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/byte_order.h"
#include "host/capture.h"
#include "platform/services.h"
#include "shared/app_settings.h"
#include "tests/faulty_file.h"
#include "tests/host/host_fixture.h"

namespace {

constexpr uint32_t kBlock = 7000;  // 28,000 bytes: eleven blocks pass the 280,000-byte threshold
constexpr uint32_t kBlockBytes = 4 * kBlock;
constexpr char kPlaceholder[] = "RIFF????WAVEfmt ????@@@@@@@@@@@@@@@@data????";

class CaptureTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        dir = std::filesystem::path(::testing::TempDir()) / ("capture_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "out");
        g_lastExportFolder = dir.string();
        SetFileDialogHandler([this](const CFileDialog& d) {
            dialogs.push_back(d.m_initialDir + "|" + d.m_fileName + "|" + d.m_defaultExt + "|" + d.m_filter);
            return chosen;
        });
        chosen = (dir / "out" / "take.wav").string();
        g_captureCloseCountdown = 0;
        g_songPlaying = 0;
        g_responseTime = kBlock;
        ASSERT_TRUE(OpenAudioDevice());
    }

    void TearDown() override {
        CloseAudioDevice();
        FinishCaptureAtExit();
        SetFileDialogHandler(nullptr);
        std::filesystem::remove_all(dir);
        HostTest::TearDown();
    }

    // Blocks of output, each as the device takes it; the writer keeps up with
    // the device (which runs much faster than real time here) unless the test
    // stalls it.
    void Pull(int blocks = 1, bool writerKeepsUp = true) {
        for (int i = 0; i < blocks; ++i) {
            backend->Pull(kBlock);
            waveOutWaitIdle(g_hWaveOut);
            if (writerKeepsUp) WaitCaptureWriterIdle();
        }
    }

    // Ticks of the view's timer; the last one's finish is waited for.
    static void Tick(int ticks = 1) {
        for (int i = 0; i < ticks; ++i) CaptureTimerTick();
        WaitCaptureWriterIdle();
    }

    std::vector<uint8_t> FileBytes() const {
        std::ifstream in(chosen, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    // A finished file: a canonical stereo header whose sizes fit its length.
    void ExpectFinished(uint32_t dataBytes) const {
        const auto bytes = FileBytes();
        ASSERT_EQ(bytes.size(), 44u + dataBytes);
        EXPECT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
        EXPECT_EQ(GetU32(bytes.data() + 4), dataBytes + 36);
        EXPECT_EQ(std::memcmp(bytes.data() + 8, "WAVEfmt ", 8), 0);
        EXPECT_EQ(GetU32(bytes.data() + 16), 16u);
        EXPECT_EQ(GetU16(bytes.data() + 20), 1u);
        EXPECT_EQ(GetU16(bytes.data() + 22), 2u);
        EXPECT_EQ(GetU32(bytes.data() + 24), 44100u);
        EXPECT_EQ(GetU32(bytes.data() + 28), 176400u);
        EXPECT_EQ(GetU16(bytes.data() + 32), 4u);
        EXPECT_EQ(GetU16(bytes.data() + 34), 16u);
        EXPECT_EQ(std::memcmp(bytes.data() + 36, "data", 4), 0);
        EXPECT_EQ(GetU32(bytes.data() + 40), dataBytes);
    }

    // The file's audio as frames.
    std::vector<uint32_t> FileFrames() const {
        const auto bytes = FileBytes();
        std::vector<uint32_t> frames((bytes.size() - 44) / 4);
        std::memcpy(frames.data(), bytes.data() + 44, frames.size() * 4);
        return frames;
    }

    void OpenCapture() {
        CaptureOutputCommand("song.mcs");
        ASSERT_EQ(g_captureOn, 1u);
    }

    std::filesystem::path dir;
    std::string chosen;
    std::vector<std::string> dialogs;
};

TEST_F(CaptureTest, TheFileHoldsTheOutputFromTheStartWithSizesCountingTheStagingRest) {
    const auto tone = ToneFrames(16 * kBlock);
    OpenCapture();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0], dir.string() + "|song.wav|wav|Wave Files (*.wav)|*.wav|");
    EXPECT_EQ(g_lastExportFolder, (dir / "out").string());
    EXPECT_EQ(FileBytes(), std::vector<uint8_t>(kPlaceholder, kPlaceholder + 44));
    EXPECT_TRUE(CaptureStartEnabled());
    EXPECT_FALSE(CaptureStopEnabled());
    EXPECT_TRUE(CaptureOutputChecked());

    Pull(2);  // open, not started: nothing is captured
    StartCaptureCommand();  // F3
    EXPECT_FALSE(CaptureStartEnabled());
    EXPECT_TRUE(CaptureStopEnabled());
    Pull(14);  // one flush after the eleventh block, three blocks waiting
    WaitCaptureWriterIdle();
    EXPECT_EQ(g_captureFileState, 2u);
    EXPECT_EQ(g_captureFill, 3 * kBlockBytes);
    EXPECT_EQ(FileBytes().size(), 44u + 11 * kBlockBytes) << "the flush reached the file";

    StopCaptureCommand();  // F4: finished at the next tick, no tail
    EXPECT_FALSE(CaptureOutputChecked());
    Pull();
    Tick();
    ExpectFinished(14 * kBlockBytes);
    EXPECT_EQ(FileFrames(), std::vector<uint32_t>(tone.begin() + 2 * kBlock, tone.end()));
    EXPECT_EQ(g_captureFileState, 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(CaptureTest, AStopRequestLeavesTwentyFiveTicksOfTailAndAPlayStartArmsTheCapture) {
    g_testSignal = 0;  // the engine itself serves the transport requests
    g_testToneLevel = 0;
    OpenCapture();
    g_engineReset = kResetStart;  // starting the song starts an opened capture
    Pull();
    EXPECT_EQ(g_captureArmed, 1u);
    g_engineReset = kResetStop;
    Pull();
    EXPECT_EQ(g_captureCloseCountdown, 26u);
    for (int tick = 1; tick <= 24; ++tick) {
        Tick();
        Pull();
        ASSERT_EQ(g_captureOn, 1u) << "tick " << tick;
    }
    Tick();  // the 25th tick ends the capture and finishes the file
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_EQ(g_captureArmed, 0u);
    EXPECT_EQ(g_captureCloseCountdown, 1u) << "the window may not close yet";
    ExpectFinished(26 * kBlockBytes);
    Tick();
    EXPECT_EQ(g_captureCloseCountdown, 0u);
}

TEST_F(CaptureTest, AFileNothingWasCapturedIntoIsDeleted) {
    // Abandoned by the command: deleted with the information box.
    OpenCapture();
    Pull(2);
    CaptureOutputCommand("song.mcs");
    EXPECT_FALSE(std::filesystem::exists(chosen));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Capture disabled, empty output file has been deleted.");
    EXPECT_EQ(messages[0].style, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(g_captureFileState, 0u);
    EXPECT_EQ(dialogs.size(), 1u) << "abandoning asks for no file";

    // Stopped by a stop request before it was started: deleted without a word.
    messages.clear();
    OpenCapture();
    g_captureCloseCountdown = 26;
    Tick(25);
    EXPECT_FALSE(std::filesystem::exists(chosen));
    EXPECT_TRUE(messages.empty());
}

TEST_F(CaptureTest, ACaptureShorterThanOneFlushIsKeptWithItsTrueSize) {
    const auto tone = ToneFrames(3 * kBlock);
    for (bool abandon : {false, true}) {
        SCOPED_TRACE(abandon ? "abandoned" : "F4");
        StartTone();
        OpenCapture();
        StartCaptureCommand();
        Pull(3);
        if (abandon) {
            CaptureOutputCommand("song.mcs");
        } else {
            StopCaptureCommand();
        }
        Tick();
        ExpectFinished(3 * kBlockBytes);
        EXPECT_EQ(FileFrames(), tone);
        EXPECT_TRUE(messages.empty());
    }
}

TEST_F(CaptureTest, AWriteFailureStopsTheCaptureAndLeavesAValidFileOfTheWrittenSize) {
    struct Case {
        const char* what;
        int failWrite;  // 1 is the placeholder, 2 the first flush, ...
        bool failClose;
        int cause;
        uint32_t dataBytes;
        const char* message;
    } cases[] = {
        {"second flush", 3, false, CFileException::diskFull, 11 * kBlockBytes, "Capture stopped. Disk full!"},
        {"rest at the finish", 4, false, CFileException::accessDenied, 22 * kBlockBytes,
         "Capture stopped. Access Denied!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        FaultyFiles files;
        files.faults.failWrite = c.failWrite;
        files.faults.cause = c.cause;
        OpenCapture();
        StartCaptureCommand();
        Pull(25);  // flushes after blocks 11 and 22, three blocks waiting
        WaitCaptureWriterIdle();
        StopCaptureCommand();
        Tick();
        Tick();
        ExpectFinished(c.dataBytes);
        EXPECT_EQ(g_captureOn, 0u);
        ASSERT_EQ(messages.size(), 1u) << "told once: " << messages.front().text;
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_EQ(messages[0].style, MB_OK | MB_ICONSTOP);
    }
    // A close that fails is a failure too, never a silent success.
    messages.clear();
    FaultyFiles files;
    files.faults.failClose = true;
    files.faults.cause = CFileException::generic;
    OpenCapture();
    StartCaptureCommand();
    Pull(3);
    StopCaptureCommand();
    Tick();
    Tick();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Capture stopped. Disk error!");
}

TEST_F(CaptureTest, AFlushFailureWhileCapturingStopsTheCaptureAtOnce) {
    FaultyFiles files;
    files.faults.failWrite = 2;
    OpenCapture();
    StartCaptureCommand();
    Pull(11);
    WaitCaptureWriterIdle();
    EXPECT_EQ(g_captureOn, 0u) << "the writer stopped the capture";
    Pull(3);
    Tick();
    ExpectFinished(0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Capture stopped. Disk full!");
}

TEST_F(CaptureTest, AStalledWriterStopsTheCaptureWithoutAGapAndTheFinishWaitsForIt) {
    const auto tone = ToneFrames(30 * kBlock);
    FaultyFiles files;
    OpenCapture();
    files.faults.gateClosed = true;  // the disk stalls from the first flush on
    StartCaptureCommand();
    Pull(11, false);  // the first flush is handed over and waits
    while (files.faults.writesWaiting == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Pull(11, false);  // the next flush finds the writer busy: the staging keeps it
    EXPECT_EQ(g_captureFill, 11 * kBlockBytes);
    EXPECT_EQ(g_captureOn, 1u);
    Pull(2, false);   // the second block finds no room
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_EQ(g_captureFill, 12 * kBlockBytes);
    CaptureTimerTick();  // the finish is queued behind the stalled flush
    EXPECT_EQ(FileBytes().size(), 44u) << "nothing written past the stalled flush";
    files.faults.gateClosed = false;
    WaitCaptureWriterIdle();
    ExpectFinished(23 * kBlockBytes);
    EXPECT_EQ(FileFrames(), std::vector<uint32_t>(tone.begin(), tone.begin() + 23 * kBlock));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Capture stopped. Disk too slow!");
}

TEST_F(CaptureTest, TheCaptureStopsBeforeTheSizeFieldsWouldOverflow) {
    OpenCapture();
    StartCaptureCommand();
    Pull();
    g_captureTotal = kCaptureMaxDataBytes - kBlockBytes - 1000;  // as if hours had been captured
    Pull();
    EXPECT_EQ(g_captureOn, 1u);
    Pull();
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_EQ(g_captureTotal, kCaptureMaxDataBytes);
    EXPECT_LE(uint64_t{g_captureTotal} + 36, 0xFFFFFFFFull);
    EXPECT_EQ(g_captureFill, 2 * kBlockBytes + 1000) << "the last block cut at a frame boundary";
    Tick();
    ExpectFinished(2 * kBlockBytes + 1000);  // the header counts what reached the file
    EXPECT_TRUE(messages.empty());
}

TEST_F(CaptureTest, ShutDownFinishesACaptureStillOpen) {
    OpenCapture();
    StartCaptureCommand();
    Pull(12);
    CloseAudioDevice();
    FinishCaptureAtExit();
    ExpectFinished(12 * kBlockBytes);
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_EQ(g_captureFileState, 0u);
}

TEST_F(CaptureTest, AFileThatCannotBeCreatedLeavesTheCaptureOffAndOtherFilesAlone) {
    {
        // The creation fails: a file already there is not deleted.
        FaultyFiles files;
        files.faults.createCause = CFileException::accessDenied;
        std::ofstream(chosen) << "keep";
        CaptureOutputCommand("song");
        EXPECT_EQ(g_captureOn, 0u);
        EXPECT_EQ(g_captureFileState, 0u);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Error while creating file!");
        EXPECT_TRUE(std::filesystem::exists(chosen));
        EXPECT_EQ(dialogs.back(), dir.string() + "|song.wav|wav|Wave Files (*.wav)|*.wav|");
    }
    {
        // The placeholder cannot be written: a failed creation, no file left.
        messages.clear();
        FaultyFiles files;
        files.faults.failWrite = 1;
        CaptureOutputCommand("a.b.mcs");
        EXPECT_EQ(g_captureOn, 0u);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].text, "Error while creating file!");
        EXPECT_FALSE(std::filesystem::exists(chosen));
        EXPECT_EQ(dialogs.back(), (dir / "out").string() + "|a.wav|wav|Wave Files (*.wav)|*.wav|");
    }
    // A cancelled dialog changes nothing.
    messages.clear();
    chosen.clear();
    CaptureOutputCommand("song");
    EXPECT_EQ(g_captureOn, 0u);
    EXPECT_TRUE(messages.empty());
}

}  // namespace
