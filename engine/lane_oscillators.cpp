// Oscillators 1, 2 and 3 of eight voice lanes (see voice_lanes.h).
#include "engine/lane_math.h"
#include "engine/voice_lanes.h"

MC_LANE_FN void LaneOscillators(LaneState&, const LaneRow&) {}
