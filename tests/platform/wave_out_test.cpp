// The waveOut-style device on a step-driven back-end: gapless playback in
// queue order, done notifications on the driver thread, writes from the
// callback, reset and the result codes.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/test_audio_backend.h"
#include "platform/wave_out.h"

namespace {

WAVEFORMATEX Format() { return WAVEFORMATEX{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0}; }

struct Callbacks {
    std::mutex m;
    std::vector<uint32_t> messages;
    std::vector<WAVEHDR*> done;
    std::atomic<bool> rewrite{false};
    std::thread::id thread;
};

void Record(HWAVEOUT device, uint32_t message, uintptr_t instance, uintptr_t p1, uintptr_t) {
    auto* c = reinterpret_cast<Callbacks*>(instance);
    {
        std::lock_guard<std::mutex> lock(c->m);
        c->messages.push_back(message);
        c->thread = std::this_thread::get_id();
        if (message == WOM_DONE) c->done.push_back(reinterpret_cast<WAVEHDR*>(p1));
    }
    if (message == WOM_DONE && c->rewrite) {
        auto* h = reinterpret_cast<WAVEHDR*>(p1);
        EXPECT_TRUE(h->dwFlags & WHDR_DONE);
        EXPECT_EQ(waveOutWrite(device, h), MMSYSERR_NOERROR);
    }
}

class WaveOutTest : public ::testing::Test {
protected:
    void SetUp() override {
        AudioOutputInfo o;
        o.name = "Test out";
        auto b = std::make_unique<TestAudioBackend>(std::vector<AudioOutputInfo>{o, o});
        backend = b.get();
        InstallAudioBackend(std::move(b));
        const WAVEFORMATEX f = Format();
        ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &f, Record, reinterpret_cast<uintptr_t>(&calls),
                              CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        for (int i = 0; i < 3; ++i) {
            data[i].assign(1000, 0);
            for (uint32_t k = 0; k < 1000; ++k) data[i][k] = 1000 * i + k;
            header[i] = WAVEHDR{reinterpret_cast<char*>(data[i].data()), 4000, 0, 0};
            ASSERT_EQ(waveOutPrepareHeader(device, &header[i]), MMSYSERR_NOERROR);
        }
    }

    void TearDown() override {
        if (device == nullptr) return;
        calls.rewrite = false;
        EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
        for (WAVEHDR& h : header) EXPECT_EQ(waveOutUnprepareHeader(device, &h), MMSYSERR_NOERROR);
        EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
    }

    TestAudioBackend* backend = nullptr;
    HWAVEOUT device = nullptr;
    Callbacks calls;
    std::vector<uint32_t> data[3];
    WAVEHDR header[3];
};

TEST_F(WaveOutTest, PlaysQueuedBuffersBackToBackAndReturnsThemInOrder) {
    header[1].dwBufferLength = 400;  // only the first 100 frames of buffer 1
    for (WAVEHDR& h : header) ASSERT_EQ(waveOutWrite(device, &h), MMSYSERR_NOERROR);
    const auto out = backend->Pull(2200);  // pulls that cross buffer ends
    waveOutWaitIdle(device);
    std::vector<uint32_t> expected(data[0]);
    expected.insert(expected.end(), data[1].begin(), data[1].begin() + 100);
    expected.insert(expected.end(), data[2].begin(), data[2].end());
    expected.resize(2200, 0);  // then the queue is empty: silence
    EXPECT_EQ(out, expected);
    std::lock_guard<std::mutex> lock(calls.m);
    ASSERT_EQ(calls.done.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(calls.done[i], &header[i]);
    EXPECT_EQ(calls.messages.front(), WOM_OPEN);
    EXPECT_NE(calls.thread, std::this_thread::get_id()) << "callbacks come on the driver thread";
    for (WAVEHDR& h : header) EXPECT_EQ(h.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(waveOutUnderruns(device), 1u);
}

TEST_F(WaveOutTest, CallbackMayWriteTheFinishedBufferAgain) {
    calls.rewrite = true;
    ASSERT_EQ(waveOutWrite(device, &header[0]), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutWrite(device, &header[1]), MMSYSERR_NOERROR);
    std::vector<uint32_t> out;
    for (int i = 0; i < 6; ++i) {
        const auto part = backend->Pull(1000);
        waveOutWaitIdle(device);
        out.insert(out.end(), part.begin(), part.end());
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(std::vector<uint32_t>(out.begin() + 1000 * i, out.begin() + 1000 * (i + 1)), data[i % 2]) << i;
    EXPECT_EQ(waveOutUnderruns(device), 0u);
}

TEST_F(WaveOutTest, ResetReturnsThePendingBuffersInQueueOrder) {
    calls.rewrite = true;
    for (WAVEHDR& h : header) ASSERT_EQ(waveOutWrite(device, &h), MMSYSERR_NOERROR);
    backend->Pull(1500);  // buffer 0 done (and written again), buffer 1 half played
    waveOutWaitIdle(device);
    calls.rewrite = false;
    EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
    for (WAVEHDR& h : header) EXPECT_FALSE(h.dwFlags & WHDR_INQUEUE);
    std::lock_guard<std::mutex> lock(calls.m);
    EXPECT_EQ(calls.done.size(), 4u);  // 0, then 1, 2 and 0 again handed back in queue order
    EXPECT_EQ(calls.done[1], &header[1]);
    EXPECT_EQ(calls.done[3], &header[0]);
}

TEST_F(WaveOutTest, ResultCodes) {
    WAVEHDR loose{reinterpret_cast<char*>(data[0].data()), 4000, 0, 0};
    EXPECT_EQ(waveOutWrite(device, &loose), WAVERR_UNPREPARED);
    ASSERT_EQ(waveOutWrite(device, &header[0]), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(device, &header[0]), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(device, &header[0]), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutWrite(reinterpret_cast<HWAVEOUT>(&loose), &header[1]), MMSYSERR_INVALHANDLE);

    HWAVEOUT other = nullptr;
    WAVEFORMATEX mono = Format();
    mono.nChannels = 1;
    EXPECT_EQ(waveOutOpen(&other, 0, &mono, Record, 0, CALLBACK_FUNCTION), WAVERR_BADFORMAT);
    const WAVEFORMATEX f = Format();
    EXPECT_EQ(waveOutOpen(&other, 7, &f, Record, 0, CALLBACK_FUNCTION), MMSYSERR_BADDEVICEID);
    backend->FailNextOpen(AudioOpenError::Busy);
    EXPECT_EQ(waveOutOpen(&other, 1, &f, Record, 0, CALLBACK_FUNCTION), MMSYSERR_ALLOCATED);

    WAVEOUTCAPS caps{};
    EXPECT_EQ(waveOutGetNumDevs(), 2u);
    ASSERT_EQ(waveOutGetDevCaps(1, &caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Test out");
    EXPECT_EQ(caps.wChannels, 2);
    EXPECT_EQ(caps.dwFormats & WAVE_FORMAT_4S16, WAVE_FORMAT_4S16);
    EXPECT_EQ(waveOutGetDevCaps(2, &caps), MMSYSERR_BADDEVICEID);
}

}  // namespace
