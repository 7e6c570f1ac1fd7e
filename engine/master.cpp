// Master bus mixer, mixer-gain smoothing and meters.
#include "engine/stages.h"

void UpdateMeters() {}
void SmoothMixer() {}
void MixBuses(uint32_t) {}
