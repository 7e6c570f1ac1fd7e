// The pattern store: up to 100 patterns of g_patternLength rows, numbered in the
// order they were added and freed only all together (ReleaseAllPatterns, called
// by the song reset).
//
// A pattern is 128 x g_patternLength bytes: track t, plane p, row r at
// (4t + p) x g_patternLength + r (PatternIndex in shared/song.h). A new pattern
// holds 0 in planes 0..2 and 254 (empty) in every note byte of plane 3.
#pragma once

#include <cstdint>
#include <memory>

#include "shared/constants.h"

// The memory behind each pointer of g_patterns; null for a slot not allocated.
extern std::unique_ptr<uint8_t[]> g_patternHandles[kMaxPatterns];

// Adds one empty pattern as number g_patternCount (then counts it). Returns false
// without a message when 100 patterns exist, and false after the message "Failed
// to allocate memory for pattern!" when the memory is not there; the store then
// keeps its earlier patterns.
bool NewPattern();

// A block for one pattern of g_patternLength rows, filled as a new pattern is;
// null after the message "Failed to allocate memory for pattern!".
std::unique_ptr<uint8_t[]> AllocatePatternBlock();

// Adds block (128 x g_patternLength bytes, already filled) as pattern number
// g_patternCount, as NewPattern adds an empty one. False, changing nothing, when
// 100 patterns exist or the block is null.
bool AddPattern(std::unique_ptr<uint8_t[]> block);

// Clears every pattern pointer, hands the memory to the safe free and sets
// g_patternCount to 0.
void ReleaseAllPatterns();
