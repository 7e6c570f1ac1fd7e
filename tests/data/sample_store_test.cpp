// The sample store: installing, replacing and removing samples, the guard frame,
// and the safe free while a render call reads the store.
#include <atomic>
#include <cstdint>
#include <thread>

#include "tests/data/data_fixture.h"
#include "shared/sound_bank.h"

namespace {

class SampleStoreTest : public DataTest {};

TEST_F(SampleStoreTest, InstallPublishesTheFramesWithAZeroGuardFrame) {
    SampleBlock block = SampleBlock::Allocate(5);
    ASSERT_TRUE(block);
    for (int i = 0; i < 6; ++i) block.data()[i] = static_cast<int16_t>(100 + i);  // guard overwritten too
    const int16_t* frames = block.data();
    ASSERT_TRUE(InstallSample(0, std::move(block), 9));  // loop point beyond the end: no loop

    EXPECT_EQ(g_sampleData[0].load(), frames);
    EXPECT_EQ(g_sampleMemory[0].data(), frames);
    EXPECT_EQ(g_sampleLength[0], 5u);
    EXPECT_EQ(g_sampleLoopPoint[0], 5u);
    EXPECT_EQ(frames[4], 104);
    EXPECT_EQ(frames[5], 0);
    EXPECT_EQ(g_sampleCount, 0u);  // counting is the caller's

    // A zero-length sample still has its guard frame.
    SampleBlock empty = SampleBlock::Allocate(0);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty.data()[0], 0);
}

TEST_F(SampleStoreTest, InstallRefusesSlot255GapsAndMissingBlocks) {
    SongBuilder().Samples(2, 10);
    EXPECT_FALSE(InstallSample(255, SampleBlock::Allocate(4), 0));
    EXPECT_FALSE(InstallSample(3, SampleBlock::Allocate(4), 0));  // slot 2 is next
    EXPECT_FALSE(InstallSample(2, SampleBlock(), 0));
    EXPECT_FALSE(SampleBlock::Allocate(0x80000000u));
    g_failBlockAllocations = 1;
    EXPECT_FALSE(SampleBlock::Allocate(10));
    EXPECT_EQ(g_sampleData[2].load(), nullptr);
    EXPECT_EQ(g_sampleData[255].load(), nullptr);
    EXPECT_TRUE(InstallSample(2, SampleBlock::Allocate(4), 0));
}

TEST_F(SampleStoreTest, ReplaceKeepsTheNumberAndSwapsTheData) {
    SongBuilder().Sample(1000, 200, "kick.wav", 5).Sample(50, 50, "snare.wav");
    SampleBlock block = SampleBlock::Allocate(30);
    const int16_t* frames = block.data();
    ASSERT_TRUE(InstallSample(0, std::move(block), 10));
    EXPECT_EQ(g_sampleData[0].load(), frames);
    EXPECT_EQ(g_sampleLength[0], 30u);
    EXPECT_EQ(g_sampleLoopPoint[0], 10u);
    EXPECT_EQ(g_sampleName[0], "kick.wav");
    EXPECT_EQ(g_sampleCount, 2u);
    EXPECT_EQ(RetiredBlockCount(), 0u);
}

// Ten samples; sample 3 goes.
TEST_F(SampleStoreTest, RemoveRenumbersReferencesAndMovesLaterSamplesDown) {
    SongBuilder().Samples(10, 100);
    const int16_t* data4 = g_sampleData[4];
    const int16_t* data9 = g_sampleData[9];
    g_soundBank[kParamOsc2Sample][7] = 5;
    g_soundBank[kParamOsc1Sample][7] = 3;
    g_soundBank[kParamOsc3Sample][0] = 9;
    g_soundBank[kParamOsc1Sample][99] = 2;
    g_soundBank[kParamOsc1Sample][50] = 255;
    g_splitSample[0] = 3;
    g_splitTranspose[0] = 12;
    g_splitSample[31 * 128 + 127] = 9;
    g_splitTranspose[31 * 128 + 127] = -5;
    g_splitSample[5] = 1;
    g_splitTranspose[5] = 2;
    g_curSound = 7;

    RemoveSample(3);

    EXPECT_EQ(g_sampleCount, 9u);
    EXPECT_EQ(g_soundBank[kParamOsc2Sample][7], 4);
    EXPECT_EQ(g_soundBank[kParamOsc1Sample][7], 255);
    EXPECT_EQ(g_soundBank[kParamOsc3Sample][0], 8);
    EXPECT_EQ(g_soundBank[kParamOsc1Sample][99], 2);
    EXPECT_EQ(g_soundBank[kParamOsc1Sample][50], 255);
    EXPECT_EQ(g_liveKnobs[kParamOsc2Sample], 4);  // the current sound reloaded
    EXPECT_EQ(g_liveKnobs[kParamOsc1Sample], 255);
    EXPECT_EQ(g_splitSample[0], 255);
    EXPECT_EQ(g_splitTranspose[0], 0);
    EXPECT_EQ(g_splitSample[31 * 128 + 127], 8);
    EXPECT_EQ(g_splitTranspose[31 * 128 + 127], -5);
    EXPECT_EQ(g_splitSample[5], 1);
    EXPECT_EQ(g_splitTranspose[5], 2);
    EXPECT_EQ(g_splitSample[6], 255);

    // Slot 3 now holds what was sample 4, slot 8 what was 9; slot 9 is free.
    EXPECT_EQ(g_sampleData[3].load(), data4);
    EXPECT_EQ(g_sampleName[3], "s4");
    EXPECT_EQ(g_sampleLength[3], 104u);
    EXPECT_EQ(g_sampleLoopPoint[3], 104u);
    EXPECT_EQ(g_sampleData[8].load(), data9);
    EXPECT_EQ(g_sampleName[8], "s9");
    EXPECT_EQ(g_sampleData[9].load(), nullptr);
    EXPECT_FALSE(g_sampleMemory[9]);
    for (uint32_t j = 0; j < 9; ++j) EXPECT_EQ(g_sampleData[j].load(), g_sampleMemory[j].data()) << j;
    EXPECT_EQ(g_sampleName[255], "");
    EXPECT_EQ(g_sampleLength[255], 0u);
    EXPECT_EQ(g_sampleLoopPoint[255], 0u);
    EXPECT_EQ(g_sampleRootKey[255], 0u);
    EXPECT_EQ(RetiredBlockCount(), 0u);

    // Numbers at or above the count are not samples.
    RemoveSample(9);
    EXPECT_EQ(g_sampleCount, 9u);
    EXPECT_EQ(g_sampleData[8].load(), data9);
}

TEST_F(SampleStoreTest, RemovingTheLastSampleLeavesAnEmptyStore) {
    SongBuilder().Sample(10, 10, "only.wav");
    g_sampleName[1] = "left behind by an earlier song";  // a slot above the count means nothing
    RemoveSample(0);
    EXPECT_EQ(g_sampleCount, 0u);
    EXPECT_EQ(g_sampleData[0].load(), nullptr);
    EXPECT_FALSE(g_sampleMemory[0]);
    EXPECT_EQ(g_sampleName[0], "left behind by an earlier song");
}

// A render thread reads every sample and pattern the way the engine does: the
// length before the pointer, then (after a preemption) every frame up to and
// including the guard frame, inside the busy marks. The GUI side meanwhile adds, replaces, removes
// and resets. Any read of freed memory or past a block fails the sanitizer
// build; a length that does not belong to its pointer misses the guard frame.
TEST_F(SampleStoreTest, ARenderThreadNeverReadsFreedOrForeignMemory) {
    g_patternLength = 16;
    std::atomic<bool> stop{false};
    std::atomic<int> badGuards{0};
    std::atomic<long> calls{0};
    std::thread render([&] {
        struct Held {
            const int16_t* frames;
            uint32_t length;
            uint32_t loop;
        };
        static Held held[kSampleSlots];
        static const uint8_t* patterns[kMaxPatterns];
        while (!stop.load(std::memory_order_relaxed)) {
            MarkRenderEntry();
            for (int n = 0; n < kSampleSlots; ++n) {
                held[n].length = g_sampleLength[n];
                held[n].loop = g_sampleLoopPoint[n];
                held[n].frames = g_sampleData[n];
            }
            for (int n = 0; n < kMaxPatterns; ++n) patterns[n] = g_patterns[n];
            std::this_thread::yield();  // the call may be preempted while it holds the pointers
            long sum = 0;
            for (const Held& h : held) {
                if (h.frames == nullptr) continue;
                for (uint32_t i = 0; i < h.length; ++i) sum += h.frames[i];
                if (h.frames[h.length] != 0 || h.loop > h.length) badGuards.fetch_add(1, std::memory_order_relaxed);
            }
            for (const uint8_t* p : patterns) {
                if (p == nullptr) continue;
                for (int i = 0; i < 16 * 128; ++i) sum += RelaxedLoad(p[i]);
            }
            MarkRenderExit();
            calls.fetch_add(sum >= 0 ? 1 : 2, std::memory_order_relaxed);
            std::this_thread::yield();
        }
    });

    for (int round = 0; round < 60; ++round) {
        SongBuilder().Patterns(3).Samples(6, 50 + round * 7);
        // Replace with shorter and longer data.
        SampleBlock shorter = SampleBlock::Allocate(3);
        for (int i = 0; i < 3; ++i) shorter.data()[i] = 1;
        ASSERT_TRUE(InstallSample(2, std::move(shorter), 1));
        SampleBlock longer = SampleBlock::Allocate(5000);
        for (int i = 0; i < 5000; ++i) longer.data()[i] = 1;
        ASSERT_TRUE(InstallSample(0, std::move(longer), 4000));
        RemoveSample(1);
        RemoveSample(3);
        ResetSong();
    }
    stop = true;
    render.join();

    EXPECT_EQ(badGuards.load(), 0);
    EXPECT_GT(calls.load(), 0);
    ReleaseRetiredBlocks();
    EXPECT_EQ(RetiredBlockCount(), 0u);
}

}  // namespace
