// The live render paths: the waveOut callback, the DirectSound poll thread
// (half-buffers under 50 ms) and the two DirectSound notify threads (from 50 ms
// up, each half in four sub-blocks). Each renders block by block through
// RenderBlock, hands the block to the device, copies it into the oscilloscope
// ring and the capture staging buffer, and last runs the effect set-up.
#pragma once

#include <cstdint>

#include "platform/threads.h"
#include "platform/wave_out.h"
#include "shared/relaxed.h"

inline constexpr int kSubBlockSlots = 32;
inline constexpr uint32_t kStagingFrames = 5520;
inline constexpr uint32_t kScopeRingBytes = 65536;
inline constexpr uint32_t kScopeResetBytes = 4096;     // poll path: restart the ring from here on
inline constexpr uint32_t kCaptureBufferBytes = 352800;
inline constexpr uint32_t kWaveOutFlushBytes = 280000;  // capture flush above this fill (waveOut)
inline constexpr uint32_t kDirectSoundFlushBytes = 308000;
inline constexpr uint32_t kNotifyPathMs = 50;           // DirectSound buffers from here up use notifications

// Render path state.
extern Relaxed<uint32_t> g_pollWaitMs;
extern Relaxed<uint32_t> g_subBlockCount;
extern uint32_t g_subBlockFrames[kSubBlockSlots];
extern uint32_t g_subBlockOffsetA[kSubBlockSlots];  // byte offsets in the second half (thread A)
extern uint32_t g_subBlockOffsetB[kSubBlockSlots];  // byte offsets in the first half (thread B)
extern Relaxed<int32_t> g_lastHalf;
extern Relaxed<int32_t> g_playHalf;
extern Relaxed<uint32_t> g_playCursor;
extern Relaxed<uint32_t> g_notifyBusy;        // 0 none, 1 thread A, 2 thread B filling
extern Relaxed<uint32_t> g_renderThreadMode;  // 0 none, 1 notify threads, 2 poll thread
extern uint32_t* g_stagingBuffers[kSubBlockSlots];
extern Relaxed<uint32_t*> g_blockStart;

// Oscilloscope ring: 16,384 frames in the output word format; byte offsets.
extern uint32_t g_scopeRing[kScopeRingBytes / 4];
extern Relaxed<uint32_t> g_scopeWritePos;
extern Relaxed<uint32_t> g_scopeReadPos;

// Capture staging: frames waiting for the capture file. While g_captureOn and
// g_captureArmed are both set each block is appended; above the path's
// threshold the whole content is offered to g_captureWriter, and once it has
// taken it g_captureFileState is 2 and g_captureFill 0 (a writer that cannot
// take it yet returns false and the staging keeps it). g_captureBusy is 1 while
// a path is between its test of the flags and the end of its copy or flush: the
// code that finishes the file clears g_captureOn first and then waits for it to
// be 0.
//
// A path stops the capture itself (clears g_captureOn and g_captureArmed) when
// a block finds no room in the staging buffer (the writer fell behind; it sets
// g_captureOverrun, no block is dropped from the middle of the file) or when
// g_captureTotal reaches kCaptureMaxDataBytes (the RIFF size field is full; the
// last block is cut at a frame boundary).
inline constexpr uint32_t kCaptureMaxDataBytes = (0xFFFFFFFFu - 36) & ~3u;
extern uint8_t g_captureBuffer[kCaptureBufferBytes];
extern Relaxed<uint32_t> g_captureFill;
extern Relaxed<uint32_t> g_captureTotal;
extern Relaxed<uint32_t> g_captureFileState;
extern Relaxed<uint32_t> g_captureBusy;
extern Relaxed<uint32_t> g_captureOverrun;
extern bool (*g_captureWriter)(const uint8_t* data, uint32_t bytes);

// Render threads and their wake-up events.
extern EventHandle g_hPollEvent;
extern EventHandle g_hNotifyEventA;
extern EventHandle g_hNotifyEventB;
extern ThreadHandle g_hPollThread;
extern ThreadHandle g_hNotifyThreadA;
extern ThreadHandle g_hNotifyThreadB;
extern Relaxed<uint8_t> g_threadsRun;

void WaveOutCallback(HWAVEOUT device, uint32_t message, uintptr_t instance, uintptr_t param1, uintptr_t param2);
uint32_t DSoundPollThread(void* event);
uint32_t DSoundNotifyThreadA(void* event);
uint32_t DSoundNotifyThreadB(void* event);

// Sub-block sizes and offsets for half-buffers of `frames` frames.
void ComputeSubBlocks(uint32_t frames);

// Start-up: clears g_audioRunning, sets g_threadsAvailable, creates the three
// auto-reset events and the three render threads suspended at time-critical
// priority. Returns false when an event or a thread could not be created (the
// caller then warns and sets g_threadsAvailable to 0).
bool CreateRenderThreads();
// Shut-down: clears g_threadsRun, wakes the threads wherever they wait, joins
// them and closes the events (their handles become null). Nothing happens for
// threads and events that were never created.
void EndRenderThreads();
