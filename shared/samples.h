// The sample store and the key-split sets, as the engine reads them.
//
// Entry n of g_sampleData points to g_sampleLength[n] signed 16-bit mono frames
// followed by one guard frame of value 0; null for a free slot. Sample number 255
// means none and is never filled. Loop points lie in 0..length; a loop point
// equal to the length means no loop. Lengths are below 2^31.
// Split sets 1..32: entry (set - 1) x 128 + key gives the key's sample number
// (255 = none) and its signed transpose in semitones.
#pragma once

#include <cstdint>
#include <string>

#include "shared/constants.h"
#include "shared/relaxed.h"

extern Relaxed<uint32_t> g_sampleCount;
extern Relaxed<const int16_t*> g_sampleData[kSampleSlots];
extern Relaxed<uint32_t> g_sampleLength[kSampleSlots];
extern Relaxed<uint32_t> g_sampleLoopPoint[kSampleSlots];
extern uint32_t g_sampleRootKey[kSampleSlots];  // 24, 36 or 48 by recording rate; not read by the engine
extern std::string g_sampleName[kSampleSlots];  // as a rule the file name with ".wav"; not read by the engine

extern int32_t g_splitSample[kSplitSets * kSplitKeys];
extern int32_t g_splitTranspose[kSplitSets * kSplitKeys];
