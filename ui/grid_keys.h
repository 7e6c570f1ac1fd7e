// The pattern grid's cursor, page, selection, focus and transport keys, and the
// pattern dump on F9.
//
// Shift with a cursor key (and with each single move of Page Up and Page Down)
// starts or extends a keyboard selection from a fixed anchor: a part boundary
// (three parts per track: command A, command B, the note) and a step boundary.
// The cursor keys without Shift, Home, End and Tab end the extending; the
// selection itself stays until a selection key changes it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/afx.h"
#include "shared/relaxed.h"

class KeyView;

extern Relaxed<uint32_t> g_selAnchorPart;  // the fixed part boundary
extern Relaxed<uint32_t> g_selAnchorStep;  // the fixed step boundary

// Name of the pattern dump written by F9 into the current directory.
inline constexpr const char* kPatternDumpFile = "PATTDATA.$$$";

// One key of the grid's table (this file's keys; editing keys elsewhere).
// True when it was one of them.
bool GridNavigationKey(UINT vk, KeyView& view);

// Writes the pattern dump to path: the first min(6,144, 128 x length) bytes of
// the edited pattern as they lie, an empty file when there is no pattern; a
// file that cannot be created is skipped silently.
void WritePatternDump(const std::string& path);
