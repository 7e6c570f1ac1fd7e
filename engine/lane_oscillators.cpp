// Oscillators 1, 2 and 3 of eight voice lanes (see voice_lanes.h).
// (Temporary: lane by lane through the scalar oscillators.)
#include "engine/oscillators.h"
#include "engine/voice_lanes.h"

void LaneOscillators(LaneState& s, const LaneRow& row) {
    for (int l = 0; l < kLanes; ++l) {
        if (((row.active >> l) & 1u) == 0) continue;
        VoiceState vs{};
        vs.osc1Wave = row.osc1Wave[l]; vs.osc1Pitch = row.osc1Pitch[l]; vs.osc1FmDepth = row.osc1FmDepth[l];
        vs.osc1PulseOffset = row.osc1PulseOffset[l]; vs.osc2Wave = row.osc2Wave[l]; vs.osc2Pitch = row.osc2Pitch[l];
        vs.osc2Sync = row.osc2Sync[l]; vs.osc3Wave = row.osc3Wave[l]; vs.osc3Pitch = row.osc3Pitch[l];
        vs.osc1Phase = s.osc1Phase[l]; vs.osc1Phase2 = s.osc1Phase2[l]; vs.osc1SyncMask = s.osc1SyncMask[l];
        vs.osc2Phase = s.osc2Phase[l]; vs.osc3Phase = s.osc3Phase[l];
        for (int i = 0; i < 4; ++i) {
            vs.osc1History[i] = s.osc1History[i][l]; vs.osc1History2[i] = s.osc1History2[i][l];
            vs.osc1Out[i] = s.osc1Out[i][l]; vs.osc2History[i] = s.osc2History[i][l]; vs.osc2Out[i] = s.osc2Out[i][l];
            vs.osc3History[i] = s.osc3History[i][l]; vs.osc3Out[i] = s.osc3Out[i][l];
        }
        RenderOscillator1(vs);
        if (RenderOscillator2(vs)) RenderOscillator3(vs);
        s.osc1Phase[l] = vs.osc1Phase; s.osc1Phase2[l] = vs.osc1Phase2; s.osc1SyncMask[l] = vs.osc1SyncMask;
        s.osc2Phase[l] = vs.osc2Phase; s.osc3Phase[l] = vs.osc3Phase;
        for (int i = 0; i < 4; ++i) {
            s.osc1History[i][l] = vs.osc1History[i]; s.osc1History2[i][l] = vs.osc1History2[i];
            s.osc1Out[i][l] = vs.osc1Out[i]; s.osc2History[i][l] = vs.osc2History[i]; s.osc2Out[i][l] = vs.osc2Out[i];
            s.osc3History[i][l] = vs.osc3History[i]; s.osc3Out[i][l] = vs.osc3Out[i];
        }
    }
}
