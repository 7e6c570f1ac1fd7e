// Live output capture: the commands that start and stop writing the live output
// into a WAV file, and the part of the view's 40 ms tick that closes a stopped
// capture (the close countdown, then the rest of the staging buffer, the header
// and the close, or the deletion of a file nothing was flushed to).
#pragma once

// Runs first in every tick of the view's timer.
void CaptureTimerTick();
