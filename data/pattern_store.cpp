#include "data/pattern_store.h"

#include <cstring>
#include <utility>

#include "data/song_memory.h"
#include "shared/message_box.h"
#include "shared/song.h"

std::unique_ptr<uint8_t[]> g_patternHandles[kMaxPatterns];

namespace {

// Clears slot n's pointer and retires its memory.
void ReleasePattern(int n) {
    g_patterns[n] = nullptr;
    RetireBlock(std::move(g_patternHandles[n]));
}

}  // namespace

std::unique_ptr<uint8_t[]> AllocatePatternBlock() {
    const uint32_t length = g_patternLength;
    std::unique_ptr<uint8_t[]> block = AllocateZeroedBytes(static_cast<size_t>(length) * 128);
    if (!block) {
        AfxMessageBox("Failed to allocate memory for pattern!", MB_OK | MB_ICONSTOP);
        return nullptr;
    }
    for (uint32_t t = 0; t < kVoices; ++t) {
        std::memset(block.get() + PatternIndex(t, 3, 0, length), kNoteEmpty, length);
    }
    return block;
}

bool AddPattern(std::unique_ptr<uint8_t[]> block) {
    ReleaseRetiredBlocks();
    const uint32_t n = g_patternCount;
    if (n > kMaxPatterns - 1 || !block) return false;

    // A slot above the count never holds memory; should it, the old block goes
    // the safe way instead of being freed under the engine.
    if (g_patternHandles[n]) ReleasePattern(static_cast<int>(n));
    // The filled block becomes visible to every render call that starts after
    // the engine has been seen outside.
    WaitForEngineOutside();
    g_patterns[n].store(block.get(), std::memory_order_release);
    g_patternHandles[n] = std::move(block);
    g_patternCount = n + 1;
    return true;
}

bool NewPattern() {
    ReleaseRetiredBlocks();
    if (g_patternCount > kMaxPatterns - 1) return false;
    std::unique_ptr<uint8_t[]> block = AllocatePatternBlock();
    if (!block) return false;
    return AddPattern(std::move(block));
}

void ReleaseAllPatterns() {
    for (int n = 0; n < kMaxPatterns; ++n) {
        if (g_patterns[n] != nullptr || g_patternHandles[n]) ReleasePattern(n);
    }
    g_patternCount = 0;
}
