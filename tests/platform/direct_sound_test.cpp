// The DirectSound-style looping buffer on a step-driven back-end: the play
// cursor, position notifications, Lock regions and the result codes.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/direct_sound.h"
#include "platform/test_audio_backend.h"

namespace {

struct Listed {
    std::vector<std::string> names;
    std::vector<bool> nullGuid;
};

int Collect(GUID* guid, const char* description, const char*, void* context) {
    auto* l = static_cast<Listed*>(context);
    l->names.emplace_back(description);
    l->nullGuid.push_back(guid == nullptr);
    return 1;
}

class DirectSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        AudioOutputInfo a, b;
        a.name = "Out A";
        b.name = "Out B";
        auto be = std::make_unique<TestAudioBackend>(std::vector<AudioOutputInfo>{a, b}, 1);
        backend = be.get();
        InstallAudioBackend(std::move(be));
        ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override {
        if (buffer) buffer->Release();
        if (ds) ds->Release();
        for (EventHandle e : events) CloseEvent(e);
    }

    // A looping buffer of two halves of `half` frames.
    HRESULT Create(uint32_t half, uint32_t flags) {
        DSBUFFERDESC d{};
        d.dwSize = sizeof(d);
        d.dwFlags = flags;
        d.dwBufferBytes = half * 8;
        d.lpwfxFormat = &format;
        return ds->CreateSoundBuffer(&d, &buffer, nullptr);
    }

    uint32_t Cursor() {
        uint32_t play = 0, write = 0;
        buffer->GetCurrentPosition(&play, &write);
        return play;
    }

    TestAudioBackend* backend = nullptr;
    IDirectSound* ds = nullptr;
    IDirectSoundBuffer* buffer = nullptr;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
    std::vector<EventHandle> events;
};

TEST_F(DirectSoundTest, EnumeratesTheDefaultFirstWithANullGuid) {
    Listed l;
    ASSERT_EQ(DirectSoundEnumerate(Collect, &l), DS_OK);
    EXPECT_EQ(l.names, (std::vector<std::string>{"Primary Sound Driver", "Out A", "Out B"}));
    EXPECT_EQ(l.nullGuid, (std::vector<bool>{true, false, false}));
    ASSERT_EQ(Create(100, 0), DS_OK);
    EXPECT_EQ(SoundBufferOutputIndex(buffer), 1);  // the default output
}

TEST_F(DirectSoundTest, CursorAdvancesWithThePulledAudioAndSignalsItsPositions) {
    ASSERT_EQ(Create(100, DSBCAPS_CTRLPOSITIONNOTIFY), DS_OK);
    void* object = nullptr;
    ASSERT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, &object), DS_OK);
    auto* notify = static_cast<IDirectSoundNotify*>(object);
    events = {CreateAutoResetEvent(), CreateAutoResetEvent()};
    const DSBPOSITIONNOTIFY positions[2] = {{0, events[0]}, {400, events[1]}};
    ASSERT_EQ(notify->SetNotificationPositions(2, positions), DS_OK);

    // Frame i of the buffer holds i + 1.
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer->Lock(0, 800, &p1, &n1, &p2, &n2, 0), DS_OK);
    ASSERT_EQ(n1, 800u);
    EXPECT_EQ(p2, nullptr);
    for (uint32_t i = 0; i < 200; ++i) static_cast<uint32_t*>(p1)[i] = i + 1;
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);

    ASSERT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    EXPECT_EQ(notify->SetNotificationPositions(2, positions), DSERR_INVALIDCALL);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0) << "the start position is reached at Play";
    auto out = backend->Pull(99);
    EXPECT_EQ(out.front(), 1u);
    EXPECT_EQ(out.back(), 99u);
    EXPECT_EQ(Cursor(), 99u * 4);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_TIMEOUT);
    out = backend->Pull(1);
    EXPECT_EQ(WaitForSingleObject(events[1], 0), WAIT_OBJECT_0) << "half reached";
    out = backend->Pull(150);  // wraps: 100 frames to the end, then 50 from the start
    EXPECT_EQ(out[99], 200u);
    EXPECT_EQ(out[100], 1u);
    EXPECT_EQ(Cursor(), 50u * 4);
    EXPECT_EQ(WaitForSingleObject(events[0], 0), WAIT_OBJECT_0) << "offset 0 passed";
    EXPECT_EQ(GetSoundBufferStats(buffer).framesPlayed, 250u);

    // The first half played again without a new write: one late half (the
    // very first half after Play does not count).
    backend->Pull(50);
    EXPECT_EQ(GetSoundBufferStats(buffer).lateHalves, 1u);

    ASSERT_EQ(buffer->Stop(), DS_OK);
    EXPECT_TRUE(backend->Pull(10).empty());
    EXPECT_EQ(Cursor(), 100u * 4);  // Stop keeps the cursor
    notify->Release();
}

TEST_F(DirectSoundTest, LockSplitsAtTheEndAndRefusesBadRegions) {
    ASSERT_EQ(Create(100, 0), DS_OK);
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer->Lock(700, 200, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(n2, 100u);
    EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 700);
    EXPECT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(buffer->Lock(800, 4, &p1, &n1, &p2, &n2, 0), E_INVALIDARG);
    EXPECT_EQ(buffer->Lock(0, 804, &p1, &n1, &p2, &n2, 0), E_INVALIDARG);
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, 0), E_INVALIDARG);
    uint32_t outside = 0;
    EXPECT_EQ(buffer->Unlock(&outside, 4, nullptr, 0), E_INVALIDARG);
}

TEST_F(DirectSoundTest, ResultCodes) {
    void* object = nullptr;
    ASSERT_EQ(Create(100, 0), DS_OK);
    EXPECT_EQ(buffer->QueryInterface(IID_IDirectSoundNotify, &object), E_NOINTERFACE);
    buffer->Release();
    buffer = nullptr;

    format.nSamplesPerSec = 48000;
    EXPECT_EQ(Create(100, 0), DSERR_BADFORMAT);
    format.nSamplesPerSec = 44100;
    backend->FailNextOpen(AudioOpenError::Busy);
    EXPECT_EQ(Create(100, 0), DSERR_ALLOCATED);

    DSBUFFERDESC primary{};
    primary.dwSize = sizeof(primary);
    primary.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* p = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&primary, &p, nullptr), DS_OK);
    EXPECT_EQ(p->SetFormat(&format), DS_OK);
    format.wBitsPerSample = 8;
    EXPECT_EQ(p->SetFormat(&format), DSERR_BADFORMAT);
    p->Release();
    int outer = 0;
    EXPECT_EQ(ds->CreateSoundBuffer(&primary, &p, &outer), CLASS_E_NOAGGREGATION);

    IDirectSound* other = nullptr;
    GUID unknown{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(DirectSoundCreate(&unknown, &other, nullptr), DSERR_NODRIVER);
    InstallAudioBackend(std::make_unique<TestAudioBackend>(std::vector<AudioOutputInfo>{}, -1));
    EXPECT_EQ(DirectSoundCreate(nullptr, &other, nullptr), DSERR_NODRIVER);
}

}  // namespace
