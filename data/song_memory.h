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
#include <memory>

// A zero-filled block of count elements, or null when the memory is not there.
std::unique_ptr<uint8_t[]> AllocateZeroedBytes(size_t count);
std::unique_ptr<int16_t[]> AllocateZeroedFrames(size_t count);

// Fault injection for tests: the next n block allocations fail.
extern int g_failBlockAllocations;

// Keeps a block whose pointer has been cleared until the engine has been seen
// outside RenderBlock; then frees it.
void RetireBlock(std::unique_ptr<uint8_t[]> block);
void RetireBlock(std::unique_ptr<int16_t[]> block);

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
