// Ownership of the sample store's memory, and the operations that change which
// block a slot points to.
//
// The engine sees g_sampleData, g_sampleLength and g_sampleLoopPoint (shared/
// samples.h): entry n points to length frames and one guard frame of 0. It reads
// the three once per chunk, in any order, and reads frames through the pointer
// until the chunk ends. So a slot's pointer and length are never changed while a
// chunk may hold the old ones: the pointer is cleared, the engine is awaited, the
// length and loop point are written, the engine is awaited again, and only then
// the new pointer is stored. A cleared slot is silent meanwhile.
//
// Samples occupy slots 0..g_sampleCount-1 without gaps; at most 255 samples
// (slot 255 never holds one: sample number 255 means none).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/song_memory.h"
#include "shared/constants.h"

inline constexpr uint32_t kMaxSamples = kSampleSlots - 1;  // 255
inline constexpr uint32_t kMaxSampleLength = 0x7FFFFFFF;   // lengths lie below 2^31

// The frames of one sample: length frames followed by one guard frame of 0.
class SampleBlock {
public:
    SampleBlock() = default;
    SampleBlock(SampleBlock&& o) noexcept : frames_(std::move(o.frames_)), length_(o.length_) { o.length_ = 0; }
    SampleBlock& operator=(SampleBlock&& o) noexcept {
        frames_ = std::move(o.frames_);
        length_ = o.length_;
        o.length_ = 0;
        return *this;
    }

    // A zero-filled block for length frames (length + 1 in all); empty when the
    // memory is not there or the length is 2^31 or more.
    static SampleBlock Allocate(uint32_t length);

    explicit operator bool() const { return frames_ != nullptr; }
    int16_t* data() { return frames_.get(); }
    const int16_t* data() const { return frames_.get(); }
    uint32_t length() const { return length_; }
    FrameMemory ReleaseFrames() {
        length_ = 0;
        return std::move(frames_);
    }

private:
    FrameMemory frames_;
    uint32_t length_ = 0;
};

// The memory behind each entry of g_sampleData.
extern SampleBlock g_sampleMemory[kSampleSlots];

// Puts block into slot (0..254) as its data, with its length and the loop point
// (limited to the length); the guard frame is set to 0. The slot's former block
// is freed once no render call can read it. Name, root key and g_sampleCount are
// the caller's. Returns false, changing nothing, for slot 255 or up or an empty
// block.
bool InstallSample(uint32_t slot, SampleBlock block, uint32_t loopPoint);

// A sample read from a file, ready for the store.
struct LoadedSample {
    SampleBlock block;
    uint32_t loopPoint = 0;
    uint32_t rootKey = 0;
    std::string name;
};

// Puts samples into slots first, first + 1, ... as InstallSample does, with their
// names and root keys, waiting for the engine twice in all. first may be at most
// g_sampleCount and the last slot at most 254; g_sampleCount is the caller's.
// Returns false, changing nothing, when they do not fit or a block is empty.
bool InstallSamples(uint32_t first, std::vector<LoadedSample>& samples);

// Removes sample s (below g_sampleCount): the sounds' sample references (all
// sounds 0..99) and the split entries naming s become 255 (split transpose 0),
// those naming a higher sample are lowered by one; the live knobs are reloaded
// from the current sound; s's block is freed; every later slot moves down one
// (name, data, length, loop point, root key) and slot 255 is cleared;
// g_sampleCount goes down by one. Does nothing for s at or above the count.
void RemoveSample(uint32_t s);

// Clears every sample pointer, hands the memory to the safe free and sets
// g_sampleCount to 0. Names, lengths, loop points and root keys stay.
void ReleaseAllSamples();
