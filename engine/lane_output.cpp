// Amplifier stage, filter and bus mix of eight voice lanes (see voice_lanes.h).
// (Temporary: lane by lane through the scalar stages.)
#include "engine/voice_lanes.h"
#include "engine/voice_output.h"

void LaneOutput(LaneState& s, const LaneRow& row, LaneMix& mix) {
    for (int l = 0; l < kLanes; ++l) {
        for (int i = 0; i < 4; ++i) mix.add[i][l] = 0;
        if (((row.active >> l) & 1u) == 0) continue;
        VoiceState vs{};
        vs.osc2RingMod = row.osc2RingMod[l]; vs.osc2Wave = row.osc2Wave[l]; vs.osc3Wave = row.osc3Wave[l];
        vs.osc2Volume = row.osc2Volume[l]; vs.osc3Volume = row.osc3Volume[l]; vs.ampEnv = row.ampEnv[l];
        vs.ampEnvPrev = row.ampEnvPrev[l]; vs.filterType = row.filterType[l]; vs.resonance = row.resonance[l];
        vs.filterCutoff = row.filterCutoff[l]; vs.drive = row.drive[l]; vs.voiceGain = row.voiceGain[l];
        vs.voiceGainPrev = s.voiceGainPrev[l];
        for (int i = 0; i < 4; ++i) {
            vs.osc1Out[i] = s.osc1Out[i][l]; vs.osc2Out[i] = s.osc2Out[i][l]; vs.osc3Out[i] = s.osc3Out[i][l];
            vs.voiceOut[i] = s.voiceOut[i][l];
        }
        vs.filterMem1Y1 = s.filterMem[0][l]; vs.filterMem1Y2 = s.filterMem[1][l]; vs.filterMem2Y1 = s.filterMem[2][l];
        vs.filterMem2Y2 = s.filterMem[3][l]; vs.filterMem3Y1 = s.filterMem[4][l]; vs.filterMem3Y2 = s.filterMem[5][l];
        int32_t bus[4] = {0, 0, 0, 0};
        AmpStage(vs);
        if (vs.filterType != 0) {
            RenderFilter(vs);
            MixVoiceToBus(vs, bus);
        } else {
            MixFilterOff(vs, bus);
        }
        for (int i = 0; i < 4; ++i) {
            mix.add[i][l] = bus[i];
            s.osc1Out[i][l] = vs.osc1Out[i]; s.voiceOut[i][l] = vs.voiceOut[i];
        }
        s.voiceGainPrev[l] = vs.voiceGainPrev;
        s.filterMem[0][l] = vs.filterMem1Y1; s.filterMem[1][l] = vs.filterMem1Y2; s.filterMem[2][l] = vs.filterMem2Y1;
        s.filterMem[3][l] = vs.filterMem2Y2; s.filterMem[4][l] = vs.filterMem3Y1; s.filterMem[5][l] = vs.filterMem3Y2;
    }
}
