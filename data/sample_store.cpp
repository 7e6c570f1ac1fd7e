#include "data/sample_store.h"

#include <utility>

#include "data/song_memory.h"
#include "data/sound_bank_ops.h"
#include "shared/relaxed.h"
#include "shared/samples.h"
#include "shared/sound_bank.h"

SampleBlock g_sampleMemory[kSampleSlots];

SampleBlock SampleBlock::Allocate(uint32_t length) {
    SampleBlock block;
    if (length > kMaxSampleLength) return block;
    block.frames_ = AllocateZeroedFrames(static_cast<size_t>(length) + 1);
    if (block.frames_) block.length_ = length;
    return block;
}

bool InstallSample(uint32_t slot, SampleBlock block, uint32_t loopPoint) {
    if (slot >= kMaxSamples || slot > g_sampleCount || !block) return false;
    const uint32_t length = block.length();
    block.data()[length] = 0;
    if (loopPoint > length) loopPoint = length;

    g_sampleData[slot] = nullptr;
    WaitForEngineOutside();
    // No render call holds the old pointer any more.
    g_sampleMemory[slot] = std::move(block);
    g_sampleLength[slot] = length;
    g_sampleLoopPoint[slot] = loopPoint;
    WaitForEngineOutside();
    // Every call from here on sees the new length and loop point and the frames.
    g_sampleData[slot].store(g_sampleMemory[slot].data(), std::memory_order_release);
    return true;
}

bool InstallSamples(uint32_t first, std::vector<LoadedSample>& samples) {
    const size_t n = samples.size();
    if (first > g_sampleCount || first > kMaxSamples || n > kMaxSamples - first) return false;
    for (const LoadedSample& s : samples) {
        if (!s.block) return false;
    }
    if (n == 0) return true;

    for (size_t i = 0; i < n; ++i) g_sampleData[first + i] = nullptr;
    WaitForEngineOutside();
    // No render call holds an old pointer of these slots any more.
    for (size_t i = 0; i < n; ++i) {
        LoadedSample& s = samples[i];
        const uint32_t slot = first + static_cast<uint32_t>(i);
        const uint32_t length = s.block.length();
        s.block.data()[length] = 0;
        g_sampleMemory[slot] = std::move(s.block);
        g_sampleLength[slot] = length;
        g_sampleLoopPoint[slot] = s.loopPoint < length ? s.loopPoint : length;
        g_sampleRootKey[slot] = s.rootKey;
        g_sampleName[slot] = std::move(s.name);
    }
    WaitForEngineOutside();
    // Every call from here on sees the new lengths, loop points and frames.
    for (size_t i = 0; i < n; ++i) {
        const uint32_t slot = first + static_cast<uint32_t>(i);
        g_sampleData[slot].store(g_sampleMemory[slot].data(), std::memory_order_release);
    }
    return true;
}

void RemoveSample(uint32_t s) {
    const uint32_t count = g_sampleCount;
    if (s >= count) return;

    // Every slot that is about to change goes silent first.
    for (uint32_t j = s; j < kSampleSlots; ++j) g_sampleData[j] = nullptr;

    // References: s becomes none, the samples above it move down one number.
    const auto renumber = [s](uint32_t ref, uint32_t none) -> uint32_t {
        if (ref == s) return none;
        if (ref > s && ref != kNoSample) return ref - 1;
        return ref;
    };
    for (SoundParam p : {kParamOsc1Sample, kParamOsc2Sample, kParamOsc3Sample}) {
        for (int sound = 0; sound < kSounds; ++sound) {
            const uint8_t ref = RelaxedLoad(g_soundBank[p][sound]);
            RelaxedStore(g_soundBank[p][sound], static_cast<uint8_t>(renumber(ref, kNoSample)));
        }
    }
    LoadSoundToKnobs(g_curSound);
    for (int i = 0; i < kSplitSets * kSplitKeys; ++i) {
        const int32_t entry = RelaxedLoad(g_splitSample[i]);
        if (entry < 0) continue;
        const uint32_t moved = renumber(static_cast<uint32_t>(entry), kNoSample);
        RelaxedStore(g_splitSample[i], static_cast<int32_t>(moved));
        if (static_cast<uint32_t>(entry) == s) RelaxedStore(g_splitTranspose[i], int32_t{0});
    }

    WaitForEngineOutside();
    // No render call holds a pointer of slots s and up any more.
    g_sampleMemory[s] = SampleBlock();
    for (uint32_t j = s; j < kSampleSlots - 1; ++j) {
        g_sampleName[j] = std::move(g_sampleName[j + 1]);
        g_sampleMemory[j] = std::move(g_sampleMemory[j + 1]);
        g_sampleLength[j] = g_sampleLength[j + 1].load();
        g_sampleLoopPoint[j] = g_sampleLoopPoint[j + 1].load();
        g_sampleRootKey[j] = g_sampleRootKey[j + 1];
    }
    const uint32_t last = kSampleSlots - 1;
    g_sampleName[last].clear();
    g_sampleMemory[last] = SampleBlock();
    g_sampleLength[last] = 0;
    g_sampleLoopPoint[last] = 0;
    g_sampleRootKey[last] = 0;

    WaitForEngineOutside();
    for (uint32_t j = s; j < kSampleSlots - 1; ++j) {
        if (g_sampleMemory[j]) g_sampleData[j].store(g_sampleMemory[j].data(), std::memory_order_release);
    }
    g_sampleCount = count - 1;
}

void ReleaseAllSamples() {
    for (int j = 0; j < kSampleSlots; ++j) {
        if (g_sampleData[j] == nullptr && !g_sampleMemory[j]) continue;
        g_sampleData[j] = nullptr;
        RetireBlock(g_sampleMemory[j].ReleaseFrames());
    }
    g_sampleCount = 0;
}
