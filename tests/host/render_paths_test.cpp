// The render paths driven step by step through the test back-end: what each
// buffer, half and sub-block holds, the oscilloscope positions, the capture
// staging and its flush threshold, the busy and lock skips.
#include <cstring>
#include <mutex>

#include "shared/relaxed.h"
#include "shared/render_lock.h"
#include "tests/host/host_fixture.h"

namespace {

// The oscilloscope ring's first n words, read as the oscilloscope reads them
// (the render threads go on writing it).
std::vector<uint32_t> ScopeWords(size_t n) {
    std::vector<uint32_t> words(n);
    RelaxedCopy(words.data(), g_scopeRing, n);
    return words;
}

std::vector<uint32_t> Slice(const std::vector<uint32_t>& v, size_t from, size_t count) {
    return std::vector<uint32_t>(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(from + count));
}

template <typename Pred>
void WaitFor(Pred pred, const char* what) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!pred()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << what;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

std::vector<uint8_t> g_written;
bool RecordCapture(const uint8_t* data, uint32_t bytes) {
    g_written.insert(g_written.end(), data, data + bytes);
    return true;
}

class RenderPathTest : public HostTest {
protected:
    // waveOut: pulls `frames` frames and waits until the callbacks of the
    // buffers that finished have run.
    std::vector<uint32_t> PullWave(uint32_t frames) {
        auto out = backend->Pull(frames);
        waveOutWaitIdle(g_hWaveOut);
        return out;
    }

    // Notify path: pulls one half and waits until the half that its
    // notification asks for has been filled (all four sub-blocks).
    std::vector<uint32_t> PullHalfAndWaitFill(uint32_t half) {
        g_renderPeriodPos = 0xFFFF;
        auto out = backend->Pull(half);
        WaitFor([half] { return g_renderPeriodPos == half && g_notifyBusy == 0; }, "half not filled");
        return out;
    }
};

TEST_F(RenderPathTest, WaveOutPlaysTwoSilentBuffersThenEveryBlockGapless) {
    const uint32_t n = 2048;
    const auto tone = ToneFrames(6 * n);
    g_responseTime = n;
    g_scopeOn = 1;
    ASSERT_TRUE(OpenAudioDevice());
    // Buffer by buffer, as a device that takes a buffer's time to play it.
    EXPECT_EQ(PullWave(n), std::vector<uint32_t>(n, 0));  // the two zeroed buffers
    EXPECT_EQ(PullWave(n), std::vector<uint32_t>(n, 0));
    EXPECT_EQ(g_bufferFrames, n);
    for (uint32_t b = 0; b < 3; ++b) EXPECT_EQ(PullWave(n), Slice(tone, b * n, n)) << b;
    // Each block lands at the ring's start: the last one rendered is there.
    EXPECT_EQ(g_scopeWritePos, 4 * n);
    EXPECT_EQ(g_scopeReadPos, 0u);
    EXPECT_EQ(ScopeWords(n), Slice(tone, 4 * n, n));

    // A new buffer size takes effect at the next callback; the buffer length in
    // milliseconds stays 250.
    g_responseTime = 3000;
    EXPECT_EQ(PullWave(n), Slice(tone, 3 * n, n));
    EXPECT_EQ(g_bufferFrames, 3000u);
    EXPECT_EQ(g_bufferMs, 250u);
    EXPECT_EQ(PullWave(n), Slice(tone, 4 * n, n));
    EXPECT_EQ(waveOutUnderruns(g_hWaveOut), 0u);
}

TEST_F(RenderPathTest, WaveOutCallbackActsOnFinishedBuffersWhileRunningOnly) {
    g_responseTime = 1024;
    ASSERT_TRUE(OpenAudioDevice());
    uint32_t sentinel = 0;
    g_renderOut = &sentinel;
    for (uint32_t message : {WOM_OPEN, WOM_CLOSE}) {
        WaveOutCallback(g_hWaveOut, message, 0, reinterpret_cast<uintptr_t>(&g_waveHeader[0]), 0);
        EXPECT_EQ(g_renderOut.load(), &sentinel);
    }
    g_audioRunning = 0;
    WaveOutCallback(g_hWaveOut, WOM_DONE, 0, reinterpret_cast<uintptr_t>(&g_waveHeader[0]), 0);
    EXPECT_EQ(g_renderOut.load(), &sentinel);
    g_audioRunning = 1;
}

TEST_F(RenderPathTest, BusyEngineLeavesTheBufferOutOfTheQueue) {
    const uint32_t n = 1024;
    g_responseTime = n;
    ASSERT_TRUE(OpenAudioDevice());
    g_renderBusy = 1;
    PullWave(n);  // buffer 0 ends while the engine is busy
    g_renderBusy = 0;
    EXPECT_FALSE(g_waveHeader[0].dwFlags & WHDR_INQUEUE);
    PullWave(n);  // buffer 1 ends and is queued again; from now on it plays alone
    EXPECT_TRUE(g_waveHeader[1].dwFlags & WHDR_INQUEUE);
    EXPECT_FALSE(g_waveHeader[0].dwFlags & WHDR_INQUEUE);
}

TEST_F(RenderPathTest, ABlockWhoseRenderLockIsTakenIsSilentAndTheEngineDoesNotRun) {
    const uint32_t n = 1024;
    const auto tone = ToneFrames(3 * n);
    g_responseTime = n;
    ASSERT_TRUE(OpenAudioDevice());
    {
        std::lock_guard<std::mutex> songChange(g_renderLock);
        PullWave(n);  // buffer 0 is rendered while the lock is held
    }
    PullWave(n);                                              // buffer 1: tone from its start
    EXPECT_EQ(PullWave(n), std::vector<uint32_t>(n, 0));       // buffer 0: the silent block
    EXPECT_EQ(PullWave(n), Slice(tone, 0, n));                 // then the tone, unbroken
    EXPECT_EQ(PullWave(n), Slice(tone, n, n));
}

TEST_F(RenderPathTest, CaptureAppendsWhileBothFlagsAreSetAndFlushesAboveTheThreshold) {
    const uint32_t n = 7000;  // 28,000 bytes a block: ten blocks make exactly 280,000
    const auto tone = ToneFrames(13 * n);
    g_responseTime = n;
    g_written.clear();
    g_captureWriter = RecordCapture;
    ASSERT_TRUE(OpenAudioDevice());

    g_captureOn = 1;  // file open, not armed
    PullWave(n);
    g_captureOn = 0;
    g_captureArmed = 1;  // armed without a file
    PullWave(n);
    EXPECT_EQ(g_captureFill, 0u);
    EXPECT_EQ(g_captureTotal, 0u);

    g_captureOn = 1;
    for (int block = 0; block < 10; ++block) PullWave(n);
    EXPECT_EQ(g_captureFill, 280000u);  // equal to the threshold: not written yet
    EXPECT_TRUE(g_written.empty());
    EXPECT_EQ(g_captureFileState, 0u);
    PullWave(n);
    EXPECT_EQ(g_captureFileState, 2u);
    EXPECT_EQ(g_captureFill, 0u);
    EXPECT_EQ(g_captureTotal, 308000u);
    ASSERT_EQ(g_written.size(), 308000u);
    std::vector<uint32_t> words(77000);
    std::memcpy(words.data(), g_written.data(), g_written.size());
    EXPECT_EQ(words, Slice(tone, 2 * n, 11 * n));  // the blocks rendered after arming
}

TEST_F(RenderPathTest, PollPathRendersTheHalfThatIsNotPlaying) {
    const uint32_t half = 132;  // 3 ms
    const auto tone = ToneFrames(8 * half);
    g_scopeOn = 1;
    g_lastHalf = 7;
    ASSERT_TRUE(OpenDirectSoundAt(1));
    // The first poll renders at once, into the second half.
    WaitFor([] { return g_lastHalf == 0; }, "first poll");
    uint32_t scope = half * 4;
    EXPECT_EQ(g_scopeWritePos, scope);
    EXPECT_EQ(backend->Pull(half), std::vector<uint32_t>(half, 0));  // one half of leading silence
    for (uint32_t block = 0; block < 7; ++block) {
        WaitFor([block] { return g_lastHalf == static_cast<int32_t>((block + 1) % 2); }, "poll");
        if (scope >= 4096) scope = 0;
        scope += half * 4;
        EXPECT_EQ(g_scopeWritePos, scope) << block;
        EXPECT_EQ(g_scopeReadPos, 0u);
        EXPECT_EQ(g_bufferMs, 3u);
        EXPECT_EQ(backend->Pull(half), Slice(tone, block * half, half)) << block;
    }
}

TEST_F(RenderPathTest, NotifyPathFillsEachHalfInFourSubBlocks) {
    const uint32_t half = 2200;  // 50 ms, sub-blocks of 550
    const uint32_t sub = 550;
    const auto tone = ToneFrames(4 * half);
    g_scopeOn = 1;
    g_renderPeriodPos = 0xFFFF;
    ASSERT_TRUE(OpenDirectSoundAt(15));
    // Play starts on the notification at offset 0: thread A fills the second half.
    WaitFor([] { return g_renderPeriodPos == 2200 && g_notifyBusy == 0; }, "first half");
    EXPECT_EQ(g_scopeWritePos, half * 4);  // the four sub-blocks appended from the ring's start
    EXPECT_EQ(g_scopeReadPos, 0u);
    EXPECT_EQ(ScopeWords(half), Slice(tone, 0, half));

    EXPECT_EQ(PullHalfAndWaitFill(half), std::vector<uint32_t>(half, 0));  // one half of silence
    EXPECT_EQ(PullHalfAndWaitFill(half), Slice(tone, 0, half));
    // Thread A (second half) is still busy when B's notification comes: B's
    // notification is dropped and only the buffer start time moves.
    g_notifyBusy = 1;
    g_bufferStartTime = 0;
    g_renderPeriodPos = 0xFFFF;
    EXPECT_EQ(backend->Pull(half), Slice(tone, half, half));
    WaitFor([] { return g_bufferStartTime != 0; }, "dropped notification");
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(g_renderPeriodPos, 0xFFFFu);
    g_notifyBusy = 0;
    EXPECT_EQ(PullHalfAndWaitFill(half), Slice(tone, 2 * half, half));
    // The first half plays its old content again; the engine is busy while B
    // fills it, so each sub-block goes out with its staging buffer's last content.
    g_renderBusy = 1;
    EXPECT_EQ(PullHalfAndWaitFill(half), Slice(tone, half, half));
    g_renderBusy = 0;
    EXPECT_EQ(PullHalfAndWaitFill(half), Slice(tone, 3 * half, half));
    std::vector<uint32_t> stale = Slice(tone, 3 * half + 2 * sub, 2 * sub);
    stale.insert(stale.end(), stale.begin(), stale.end());
    EXPECT_EQ(backend->Pull(half), stale);
    EXPECT_EQ(GetSoundBufferStats(g_pSoundBuffer).lateHalves, 1u);  // the half played twice
}

}  // namespace
