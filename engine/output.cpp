// Output stage of one master frame. See output_stage.h.
#include "engine/master.h"
#include "engine/output_stage.h"
#include "engine/stages.h"
#include "shared/master_state.h"
#include "shared/settings.h"

int32_t g_lastOutLeft = 0;
int32_t g_lastOutRight = 0;

uint32_t OutputStage() {
    using namespace output_stage;
    MasterState& ms = g_masterState;
    const int k = ms.chunkPhase & 3;
    const int32_t left = wrapAdd(wrapAdd(ms.dryLeft[k], ms.fx1OutLeft), ms.fx2OutLeft);
    const int32_t right = wrapAdd(wrapAdd(ms.dryRight[k], ms.fx1OutRight), ms.fx2OutRight);
    OutputChannel l = LoadLeft(ms);
    OutputChannel r = LoadRight(ms);
    int32_t outLeft = 0;
    int32_t outRight = 0;
    const uint32_t word = Frame(l, r, left, right, g_bassTrebleEq != 0, g_trebleLimiter != 0, ms.masterVolume,
                                outLeft, outRight);
    StoreLeft(ms, l);
    StoreRight(ms, r);
    g_lastOutLeft = outLeft;
    g_lastOutRight = outRight;
    return word;
}
