// The output stage of both channels at once and the bus mixer with the four
// sub-frames of a bus at once (AVX2), and the master loop that uses them. All are
// available only where VoiceLanesSupported().
//
// LaneOutputFrames runs n frames of output_stage::Frame on the frame sums
// sums[2 i] (left) and sums[2 i + 1] (right), i = 0..n-1, with one equaliser
// switch, one limiter switch and one master volume for all n frames: out[i] is
// Frame's packed word of frame i, l and r hold the channel states after the
// last frame, and (for n > 0) lastLeft / lastRight its clipped samples. Every
// word equals what n calls of Frame leave, for any state and input.
//
// MasterLoopLanes is the master loop of RenderBlock (frames frames from period
// position periodPos; output at g_renderOut, which it advances) with the same
// order of work per frame: the meters and the mixer smoothing every 32 frames,
// the bus mixer (LaneMixBuses) every 4, the effect units every frame, then the
// output. The output stage of the frames between two meter updates runs in one
// LaneOutputFrames call after their bus mixer and effect work (it feeds
// neither), and before the next meter update reads the last output samples.
#pragma once

#include <cstdint>

#include "engine/output_stage.h"

void LaneOutputFrames(output_stage::OutputChannel& l, output_stage::OutputChannel& r, const int32_t* sums,
                      uint32_t n, bool eq, bool limiter, int32_t volume, uint32_t* out, int32_t& lastLeft,
                      int32_t& lastRight);

// MixBuses(pos) with the four sub-frames of a bus in one vector: the same sums,
// meter samples and cleared row.
void LaneMixBuses(uint32_t pos);

void MasterLoopLanes(uint32_t frames, uint32_t periodPos);
