// Live output capture: the commands that start and stop writing the live output
// into a WAV file, and the part of the view's 40 ms tick that closes a stopped
// capture (the close countdown, then the rest of the staging buffer, the header
// and the close, or the deletion of a file nothing was captured into).
//
// The render paths never wait for the disk: a full staging buffer is copied
// into a second buffer that a writer thread of the host writes to the file; the
// writer also runs the finishes, after the flushes handed to it before. The
// header's sizes count the bytes that reached the file. A failed write stops the
// capture and finishes the file with what was written; the user is told once,
// from the GUI thread, at the next tick.
#pragma once

#include <cstdint>
#include <string>

#include "shared/relaxed.h"

// The capture file's full path.
extern std::string g_captureFileName;

// "&Capture output to wave file...": opens a capture file (file dialog in the
// export folder, the placeholder header), or abandons the open capture.
void CaptureOutputCommand(const std::string& documentTitle);
// "S&tart capture" (F3) and "Stop and sa&ve capture" (F4).
void StartCaptureCommand();
void StopCaptureCommand();
// The commands' menu states.
bool CaptureOutputChecked();  // a capture file is open
bool CaptureStartEnabled();   // open, not yet appending
bool CaptureStopEnabled();    // open and appending

// Runs first in every tick of the view's timer.
void CaptureTimerTick();

// Shut-down, after the audio device is closed: finishes a capture still open.
void FinishCaptureAtExit();

// Waits until the writer thread has written everything handed to it so far.
void WaitCaptureWriterIdle();

// Bytes of audio that reached the file of the current (or last) capture.
extern Relaxed<uint32_t> g_captureWritten;
