#include "host/capture.h"

void CaptureTimerTick() {}
