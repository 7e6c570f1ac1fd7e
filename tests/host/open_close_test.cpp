// Opening and closing the device: every failure with its message (forced
// through the test back-end), the latency table, and the state an open and a
// close leave.
#include <cstring>

#include "shared/events.h"
#include "tests/host/host_fixture.h"

namespace {

using OpenCloseTest = HostTest;

constexpr uint32_t U(HRESULT r) { return static_cast<uint32_t>(r); }

struct FailureCase {
    bool directSound;
    AudioCall call;
    uint32_t result;
    int skip;
    const char* message;  // null: no message
    bool stopIcon;
};

const char* const kAllocated =
    "Audio output device is already allocated...\nQuit or pause the other application occupying it!";
const char* const kNoMemory =
    "The DirectSound subsystem could not allocate sufficient memory to complete the caller's request.";
const char* const kInvalidArg = "An invalid parameter was passed to the returning function.";
const char* const kPriorityInUse =
    "The request failed because resources, such as a priority level, were already in use by another caller.";
const char* const kUninitialized =
    "The IDirectSound::Initialize method has not been called or has not been called successfully before other "
    "methods were called.";
const char* const kNotImplemented = "The function called is not supported at this time.";
const char* const kBadFormat = "The specified wave format is not supported.";

const FailureCase kFailures[] = {
    {false, AudioCall::WaveOutOpen, 2, 0, "Error! Specified device identifier is out of range.", false},
    {false, AudioCall::WaveOutOpen, 4, 0, kAllocated, true},
    {false, AudioCall::WaveOutOpen, 6, 0, "Error! No device driver is present.", false},
    {false, AudioCall::WaveOutOpen, 7, 0, "Error! Unable to allocate or lock memory.", false},
    {false, AudioCall::WaveOutOpen, 32, 0, "Error! This device doesn't support the required wave format.", false},
    {false, AudioCall::WaveOutOpen, 35, 0,
     "Error! The device is synchronous but waveOutOpen was called without using the WAVE_ALLOWSYNC flag.", false},
    {false, AudioCall::WaveOutOpen, 1, 0, nullptr, false},
    {false, AudioCall::AllocateBuffer, 1, 0, "Failed to allocate memory for mixingbuffers!", true},
    {false, AudioCall::AllocateBuffer, 1, 1, "Failed to allocate memory for mixingbuffers!", true},
    {false, AudioCall::WaveOutWrite, 5, 0, "Error! Specified device handle is invalid.", false},
    {false, AudioCall::WaveOutWrite, 6, 1, "Error! No device driver is present.", false},
    {false, AudioCall::WaveOutWrite, 7, 0, "Error! Unable to allocate or lock memory.", false},
    {false, AudioCall::WaveOutWrite, 34, 0,
     "Error! The data block pointed to by the pwh parameter hasn\u2019t been prepared.", false},
    {false, AudioCall::WaveOutWrite, 11, 0, nullptr, false},

    {true, AudioCall::DirectSoundCreate, U(DSERR_ALLOCATED), 0, kAllocated, true},
    {true, AudioCall::DirectSoundCreate, U(E_INVALIDARG), 0, kInvalidArg, false},
    {true, AudioCall::DirectSoundCreate, U(CLASS_E_NOAGGREGATION), 0, "The object does not support aggregation.",
     false},
    {true, AudioCall::DirectSoundCreate, U(DSERR_NODRIVER), 0, "No sound driver is available for use.", false},
    {true, AudioCall::DirectSoundCreate, U(E_OUTOFMEMORY), 0, kNoMemory, false},
    {true, AudioCall::DirectSoundCreate, U(E_FAIL), 0, nullptr, false},
    {true, AudioCall::SetCooperativeLevel, U(DSERR_ALLOCATED), 0, kPriorityInUse, false},
    {true, AudioCall::SetCooperativeLevel, U(E_INVALIDARG), 0, kInvalidArg, false},
    {true, AudioCall::SetCooperativeLevel, U(DSERR_UNINITIALIZED), 0, kUninitialized, false},
    {true, AudioCall::SetCooperativeLevel, U(E_NOTIMPL), 0, kNotImplemented, false},
    {true, AudioCall::SetCooperativeLevel, U(E_FAIL), 0, nullptr, false},
    {true, AudioCall::CreatePrimaryBuffer, U(E_FAIL), 0, "Failed to Create Primary DirectSound Buffer.", false},
    {true, AudioCall::SetFormat, U(DSERR_BADFORMAT), 0, kBadFormat, false},
    {true, AudioCall::SetFormat, U(DSERR_INVALIDCALL), 0,
     "This function is not valid for the current state of this object.", false},
    {true, AudioCall::SetFormat, U(E_INVALIDARG), 0, kInvalidArg, false},
    {true, AudioCall::SetFormat, U(E_OUTOFMEMORY), 0, kNoMemory, false},
    {true, AudioCall::SetFormat, U(DSERR_PRIOLEVELNEEDED), 0,
     "The caller does not have the priority level required for the function to succeed.", false},
    {true, AudioCall::SetFormat, U(E_NOTIMPL), 0, kNotImplemented, false},
    {true, AudioCall::SetFormat, U(E_FAIL), 0, nullptr, false},
    {true, AudioCall::CreateSoundBuffer, U(DSERR_ALLOCATED), 0, kPriorityInUse, false},
    {true, AudioCall::CreateSoundBuffer, U(DSERR_BADFORMAT), 0, kBadFormat, false},
    {true, AudioCall::CreateSoundBuffer, U(E_INVALIDARG), 0,
     "AN invalid parameter was passed to the returning function.", false},
    {true, AudioCall::CreateSoundBuffer, U(CLASS_E_NOAGGREGATION), 0, "The object does not support aggregation.",
     false},
    {true, AudioCall::CreateSoundBuffer, U(DSERR_NODRIVER), 0, "No sound driver is available for use.", false},
    {true, AudioCall::CreateSoundBuffer, U(E_OUTOFMEMORY), 0, kNoMemory, false},
    {true, AudioCall::CreateSoundBuffer, U(DSERR_UNINITIALIZED), 0, kUninitialized, false},
    {true, AudioCall::CreateSoundBuffer, U(E_NOTIMPL), 0, kNotImplemented, false},
    {true, AudioCall::CreateSoundBuffer, U(E_FAIL), 0, nullptr, false},
    {true, AudioCall::QueryNotify, U(E_NOINTERFACE), 0,
     "DirectSound initialization error!\nBe sure to use at least Direct-X 5!", true},
    {true, AudioCall::QueryNotify, U(E_FAIL), 0, "IDirectSound and IDirectSoundBuffer only!", false},
    {true, AudioCall::QueryNotify, U(E_INVALIDARG), 0,
     "Warning! An invalid parameter was passed to the returning function!!!", false},
    {true, AudioCall::QueryNotify, U(E_NOTIMPL), 0, nullptr, false},
    {true, AudioCall::SetNotificationPositions, U(E_OUTOFMEMORY), 0, kNoMemory, false},
    {true, AudioCall::SetNotificationPositions, U(E_INVALIDARG), 0,
     "An invalid parameter was passed to the returning function!!!", false},
    {true, AudioCall::SetNotificationPositions, U(E_FAIL), 0, nullptr, false},
};

TEST_F(OpenCloseTest, EveryFailureShowsItsMessageAndLeavesTheDeviceClosed) {
    for (const FailureCase& c : kFailures) {
        SCOPED_TRACE(std::string(c.message ? c.message : "(no message)") + " / result " + std::to_string(c.result));
        messages.clear();
        backend->ForceResult(c.call, c.result, c.skip);
        bool opened;
        if (c.directSound) {
            opened = OpenDirectSoundAt(20);  // 100 ms: notify path, so every step is taken
        } else {
            g_waveOutDevice = 0;
            g_responseTime = 4096;
            opened = OpenAudioDevice();
        }
        EXPECT_FALSE(opened);
        EXPECT_EQ(g_deviceOpen, 0);
        EXPECT_EQ(g_audioRunning, 0);
        ASSERT_EQ(messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(messages[0].text, c.message);
            EXPECT_EQ(messages[0].style & 0xF0, c.stopIcon ? MB_ICONSTOP : MB_ICONEXCLAMATION);
        }
        // Whatever the failed open had made is released: the next open works.
        EXPECT_EQ(backend->LiveStreams(), 0);
        EXPECT_TRUE(OpenAudioDevice());
        CloseAudioDevice();
    }
}

TEST_F(OpenCloseTest, DirectSoundIsRefusedWithoutRenderThreads) {
    g_threadsAvailable = 0;
    EXPECT_FALSE(OpenDirectSoundAt(10));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Cannot initialize DirectSound due to low Windows resources!");
    g_waveOutDevice = 0;  // waveOut entries still work
    EXPECT_TRUE(OpenAudioDevice());
}

TEST_F(OpenCloseTest, LatencyTableChoosesPeriodPathAndPollWait) {
    struct Row {
        int32_t index;
        uint32_t ms;
        uint32_t frames;
        uint32_t mode;  // 2 poll, 1 notify
        uint32_t wait;
    };
    const Row rows[] = {{0, 2, 88, 2, 1},      {1, 3, 132, 2, 1},     {2, 4, 176, 2, 1},    {3, 5, 220, 2, 1},
                        {4, 6, 264, 2, 1},     {5, 7, 308, 2, 1},     {6, 8, 352, 2, 1},    {7, 9, 396, 2, 1},
                        {8, 10, 440, 2, 2},    {9, 15, 660, 2, 2},    {10, 20, 880, 2, 2},  {11, 25, 1100, 2, 3},
                        {12, 30, 1320, 2, 4},  {13, 35, 1540, 2, 4},  {14, 40, 1760, 2, 5}, {15, 50, 2200, 1, 0},
                        {16, 60, 2640, 1, 0},  {17, 70, 3080, 1, 0},  {18, 80, 3520, 1, 0}, {19, 90, 3960, 1, 0},
                        {20, 100, 4400, 1, 0}, {21, 150, 6600, 1, 0}, {22, 200, 8800, 1, 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.ms);
        ASSERT_TRUE(OpenDirectSoundAt(r.index));
        EXPECT_EQ(g_bufferMs, r.ms);
        EXPECT_EQ(g_bufferFrames, r.frames);
        EXPECT_EQ(g_renderThreadMode, r.mode);
        if (r.mode == 2) {
            EXPECT_EQ(g_pollWaitMs, r.wait);
        }
        EXPECT_EQ(g_pSoundNotify != nullptr, r.mode == 1);
        EXPECT_EQ(g_deviceMode, 2);
        CloseAudioDevice();
        EXPECT_EQ(g_renderThreadMode, 0u);
    }
    // 250 ms is set back to 200 ms and kept so; a negative index opens 2 ms.
    ASSERT_TRUE(OpenDirectSoundAt(23));
    EXPECT_EQ(g_bufferMs, 200u);
    EXPECT_EQ(g_responseTime, 22);
    CloseAudioDevice();
    ASSERT_TRUE(OpenDirectSoundAt(-5));
    EXPECT_EQ(g_bufferMs, 2u);
}

TEST_F(OpenCloseTest, SubBlocksSplitEachHalfInFour) {
    // buffer ms, frames per sub-block, second half begins at byte
    const uint32_t rows[][3] = {{50, 550, 8800},   {60, 660, 10560},  {70, 770, 12320},  {80, 880, 14080},
                                {90, 990, 15840},  {100, 1100, 17600}, {150, 1650, 26400}, {200, 2200, 35200}};
    for (const auto& r : rows) {
        ComputeSubBlocks(44 * r[0]);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(g_subBlockFrames[i], r[1]) << r[0];
            EXPECT_EQ(g_subBlockOffsetB[i], i * r[1] * 4) << r[0];
            EXPECT_EQ(g_subBlockOffsetA[i], r[2] + i * r[1] * 4) << r[0];
        }
    }
    // A half that does not divide by four leaves the remainder to the last one.
    ComputeSubBlocks(2203);
    EXPECT_EQ(g_subBlockFrames[0], 550u);
    EXPECT_EQ(g_subBlockFrames[3], 553u);
    EXPECT_EQ(g_subBlockOffsetA[3], 2203u * 4 + 3 * 550 * 4);
}

TEST_F(OpenCloseTest, OpenSetsUpTheWaveOutPathAndRefusesASecondOpen) {
    g_masterMute = 1;
    g_voiceEvents.code[3][17] = 1;
    g_responseTime = 5000;
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(g_masterMute, 0u);
    EXPECT_EQ(g_voiceEvents.code[3][17], 0);
    EXPECT_EQ(g_deviceMode, 1);
    EXPECT_EQ(g_bufferMs, 250u);  // whatever the buffer size
    EXPECT_EQ(g_waveFormat.nAvgBytesPerSec, 176400u);
    EXPECT_EQ(g_waveHeader[0].dwBufferLength, 20000u);
    EXPECT_EQ(g_waveHeader[1].dwBufferLength, 20000u);
    EXPECT_TRUE(g_waveHeader[0].dwFlags & WHDR_INQUEUE);

    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_EQ(g_deviceMode, 1);
    EXPECT_EQ(backend->LiveStreams(), 1);

    g_songPlaying = 1;
    g_playFlag = 1;
    g_releaseDevicePending = 1;
    CloseAudioDevice();
    EXPECT_EQ(g_deviceOpen, 0);
    EXPECT_EQ(g_audioRunning, 0);
    EXPECT_EQ(g_songPlaying, 0u);
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_EQ(g_releaseDevicePending, 0);
    EXPECT_EQ(backend->LiveStreams(), 0);
    CloseAudioDevice();  // closing a closed device does nothing
}

TEST_F(OpenCloseTest, CloseParksTheRenderThreadsAndReleasesTheBuffer) {
    for (int32_t index : {1, 15}) {
        ASSERT_TRUE(OpenDirectSoundAt(index));
        EXPECT_TRUE(backend->AnyStreamRunning());
        g_releaseDevicePending = 1;
        CloseAudioDevice();
        EXPECT_EQ(backend->LiveStreams(), 0);
        EXPECT_EQ(g_pSoundBuffer, nullptr);
        EXPECT_EQ(g_releaseDevicePending, 0);
        // Parked: the poll thread, which wakes every millisecond while it runs,
        // makes no pass through its loop while the device is closed.
        const uint64_t poll = ThreadLoopCount(g_hPollThread);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ThreadLoopCount(g_hPollThread), poll);
    }
}

// At the end the render threads leave their loops and are joined, also the
// notify threads that wait for their events without a time-out; afterwards
// the threads are made again for the tests that follow.
TEST_F(OpenCloseTest, TheRenderThreadsEndAndAreJoined) {
    ASSERT_TRUE(OpenDirectSoundAt(20));  // 100 ms: the notify threads run
    ASSERT_NE(g_hNotifyThreadA, nullptr);
    g_threadsRun = 0;
    CloseAudioDevice();
    EndRenderThreads();
    EXPECT_EQ(g_hPollThread, nullptr);
    EXPECT_EQ(g_hNotifyThreadA, nullptr);
    EXPECT_EQ(g_hNotifyThreadB, nullptr);
    EXPECT_EQ(g_hNotifyEventA, nullptr);
    EndRenderThreads();  // twice does nothing
    g_threadsRun = 1;
    ASSERT_TRUE(CreateRenderThreads());
}

}  // namespace
