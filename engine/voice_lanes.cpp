// Whether this processor runs the voice lanes.
#include "engine/voice_lanes.h"

bool VoiceLanesSupported() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool supported = __builtin_cpu_supports("avx2") != 0;
    return supported;
#else
    return false;
#endif
}
