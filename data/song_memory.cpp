#include "data/song_memory.h"

#include <cstdlib>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include "shared/render_call.h"

int g_failBlockAllocations = 0;
size_t g_blockAllocationLimit = 0;

namespace {

// Retired blocks; freed together at the next safe point or at exit.
struct RetiredBlocks {
    std::vector<std::unique_ptr<uint8_t[]>> bytes;
    std::vector<FrameMemory> frames;
};

RetiredBlocks& Retired() {
    static RetiredBlocks retired;
    return retired;
}

bool FailThisAllocation(size_t bytes) {
    if (g_blockAllocationLimit != 0 && bytes > g_blockAllocationLimit) return true;
    if (g_failBlockAllocations <= 0) return false;
    --g_failBlockAllocations;
    return true;
}

template <typename T>
std::unique_ptr<T[]> AllocateZeroed(size_t count) {
    if (count > SIZE_MAX / 2 / sizeof(T)) return nullptr;
    if (FailThisAllocation(count * sizeof(T))) return nullptr;
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

template <typename Block>
void Retire(std::vector<Block>& list, Block block) {
    if (!block) return;
    try {
        list.push_back(std::move(block));
    } catch (const std::bad_alloc&) {
        // No room to keep it: wait until it is free to go, then let it go here.
        WaitForEngineOutside();
    }
}

void FreeRetired() {
    RetiredBlocks& r = Retired();
    r.bytes.clear();
    r.frames.clear();
}

}  // namespace

std::unique_ptr<uint8_t[]> AllocateZeroedBytes(size_t count) { return AllocateZeroed<uint8_t>(count); }
FrameMemory AllocateZeroedFrames(size_t count) {
    if (count > SIZE_MAX / 2 / sizeof(int16_t)) return nullptr;
    if (FailThisAllocation(count * sizeof(int16_t))) return nullptr;
    return FrameMemory(static_cast<int16_t*>(std::calloc(count, sizeof(int16_t))));
}

void RetireBlock(std::unique_ptr<uint8_t[]> block) { Retire(Retired().bytes, std::move(block)); }
void RetireBlock(FrameMemory block) { Retire(Retired().frames, std::move(block)); }

bool ReleaseRetiredBlocks() {
    if (!ObserveRenderIdle()) return false;
    FreeRetired();
    return true;
}

void WaitForEngineOutside() {
    while (!ObserveRenderIdle()) std::this_thread::yield();
    FreeRetired();
}

size_t RetiredBlockCount() {
    const RetiredBlocks& r = Retired();
    return r.bytes.size() + r.frames.size();
}
