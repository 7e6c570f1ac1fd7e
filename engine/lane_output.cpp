// Amplifier stage, filter and bus mix of eight voice lanes (see voice_lanes.h).
#include "engine/lane_math.h"
#include "engine/voice_lanes.h"

MC_LANE_FN void LaneOutput(LaneState&, const LaneRow&, LaneMix&) {}
