#include "shared/samples.h"

Relaxed<uint32_t> g_sampleCount{0};
Relaxed<const int16_t*> g_sampleData[kSampleSlots];
Relaxed<uint32_t> g_sampleLength[kSampleSlots];
Relaxed<uint32_t> g_sampleLoopPoint[kSampleSlots];
uint32_t g_sampleRootKey[kSampleSlots];
std::string g_sampleName[kSampleSlots];

int32_t g_splitSample[kSplitSets * kSplitKeys];
int32_t g_splitTranspose[kSplitSets * kSplitKeys];
