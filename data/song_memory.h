// Memory of the song that the render engine reads through plain pointers: pattern
// blocks and sample frames.
//
// The engine takes such a pointer from a global table during a render call and
// reads through it until the call ends; it keeps none across calls. A block whose
// pointer is cleared may therefore still be read until the engine has been seen
// outside RenderBlock after the clear. Owners clear the pointer first and then
// either hand the block to RetireBlock, which frees it at the first safe point,
// or wait with WaitForEngineOutside when they must reuse the slot at once.
//
// All of this runs on the GUI thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// Sample frames come from calloc: a long sample whose file holds few frames
// (a loop end far beyond the data) costs no clearing pass, its pages arrive
// zeroed from the system.
struct FrameDeleter {
    void operator()(int16_t* frames) const noexcept { std::free(frames); }
};
using FrameMemory = std::unique_ptr<int16_t[], FrameDeleter>;

// A zero-filled block of count elements, or null when the memory is not there.
std::unique_ptr<uint8_t[]> AllocateZeroedBytes(size_t count);
FrameMemory AllocateZeroedFrames(size_t count);

// Fault injection for tests: the next n block allocations fail.
extern int g_failBlockAllocations;
// Fault injection for tests and the fuzz targets: blocks of more bytes than this
// fail as if the memory were not there (0: no limit). A fuzz target lowers it so
// that a file asking for a huge sample takes the out-of-memory road without the
// cost of the memory.
extern size_t g_blockAllocationLimit;

// Keeps a block whose pointer has been cleared until the engine has been seen
// outside RenderBlock; then frees it.
void RetireBlock(std::unique_ptr<uint8_t[]> block);
void RetireBlock(FrameMemory block);

// A safe point: one look at the engine. When it is outside RenderBlock, every
// block retired so far is freed and the result is true; otherwise nothing
// changes and the result is false.
bool ReleaseRetiredBlocks();

// Waits until the engine has been seen outside RenderBlock, then frees every
// retired block. Afterwards no render call holds a pointer cleared before the
// wait, and every later call sees every store made before it.
void WaitForEngineOutside();

// Blocks waiting to be freed.
size_t RetiredBlockCount();
