#include "host/capture.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "data/wave_file.h"
#include "engine/event_queue.h"
#include "host/render_paths.h"
#include "host/wave_file_dialog.h"
#include "platform/resources.h"
#include "platform/threads.h"
#include "res/resource_ids.h"
#include "shared/file_io.h"
#include "shared/message_box.h"
#include "shared/transport.h"

std::string g_captureFileName;
Relaxed<uint32_t> g_captureWritten{0};

namespace {

constexpr char kPlaceholderHeader[] = "RIFF????WAVEfmt ????@@@@@@@@@@@@@@@@data????";
static_assert(sizeof(kPlaceholderHeader) - 1 == kWaveHeaderBytes);
constexpr char kCreateFailed[] = "Error while creating file!";
constexpr uint32_t kCloseTickClears = 1;  // the countdown value at which the capture stops
constexpr uint32_t kWriterPollMs = 10;    // the render paths hand over without signalling

// The open capture file. The GUI thread creates it while the writer is idle;
// from then on only the writer touches it, up to the end of the finish (or the
// GUI thread deletes it when nothing was ever handed to the writer).
std::unique_ptr<CFile> g_captureFile;

// The second buffer: a full staging buffer copied here for the writer. Its
// byte count is 0 while it is free; the render path stores it (release) after
// the copy, the writer stores 0 (release) after the write.
uint8_t g_handoff[kCaptureBufferBytes];
Relaxed<uint32_t> g_handoffBytes{0};

// A finish handed to the writer: the rest of the staging buffer (which nothing
// appends to until the next capture is created, after the writer is idle).
Relaxed<uint32_t> g_finishBytes{0};
Relaxed<uint32_t> g_finishRequested{0};

// A write of the current capture failed: nothing more is written to it.
Relaxed<uint32_t> g_writeFailed{0};
// The cause of a failure not yet told to the user, plus 1 (0: none).
Relaxed<int> g_failureToTell{0};

EventHandle g_writerEvent = nullptr;
ThreadHandle g_writerThread = nullptr;

void StopCapture() {
    g_captureArmed = 0;
    g_captureOn.store(0, std::memory_order_seq_cst);
}

// Waits until no render path is between its test of the capture flags and the
// end of its copy or flush (g_captureOn is already clear).
void WaitRenderPathsOut() {
    while (g_captureBusy.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
}

void WriteFailed(int cause) {
    g_writeFailed = 1;
    int none = 0;
    g_failureToTell.compare_exchange(none, cause + 1);
    StopCapture();
}

// Writer thread: appends data to the file and counts it; a write that fails
// stops the capture.
void WriteData(const uint8_t* data, uint32_t bytes) {
    if (g_writeFailed != 0 || bytes == 0) return;
    try {
        g_captureFile->Write(data, bytes);
        g_captureFile->Flush();
        g_captureWritten += bytes;
    } catch (const CFileException& e) {
        WriteFailed(e.m_cause);
    }
}

// Writer thread: the rest of the staging buffer, the header with the bytes that
// reached the file, the close.
void FinishFile() {
    WriteData(g_captureBuffer, g_finishBytes);
    try {
        const auto header = StereoWaveHeader(g_captureWritten);
        g_captureFile->Seek(0, CFile::begin);
        g_captureFile->Write(header.data(), kWaveHeaderBytes);
        g_captureFile->Close();
    } catch (const CFileException& e) {
        g_captureFile->Abort();
        if (g_writeFailed == 0) WriteFailed(e.m_cause);
    }
    g_captureFile.reset();
}

uint32_t CaptureWriterThread(void*) {
    for (;;) {
        WaitForSingleObject(g_writerEvent, kWriterPollMs);
        const uint32_t bytes = g_handoffBytes.load(std::memory_order_acquire);
        if (bytes != 0) {
            WriteData(g_handoff, bytes);
            g_handoffBytes.store(0, std::memory_order_release);
        }
        if (g_finishRequested.load(std::memory_order_acquire) != 0) {
            // A hand-over that came after the look above precedes the finish.
            const uint32_t late = g_handoffBytes.load(std::memory_order_acquire);
            if (late != 0) {
                WriteData(g_handoff, late);
                g_handoffBytes.store(0, std::memory_order_release);
            }
            FinishFile();
            g_finishRequested.store(0, std::memory_order_release);
        }
    }
}

// Render path: takes a full staging buffer unless the writer still writes the
// one before (the staging then keeps growing; a block that finds no room stops
// the capture).
bool HandToWriter(const uint8_t* data, uint32_t bytes) {
    if (g_handoffBytes.load(std::memory_order_acquire) != 0) return false;
    std::memcpy(g_handoff, data, bytes);
    g_handoffBytes.store(bytes, std::memory_order_release);
    return true;
}

bool StartWriter() {
    if (g_writerThread != nullptr) return true;
    if (g_writerEvent == nullptr) g_writerEvent = CreateAutoResetEvent();
    if (g_writerEvent == nullptr) return false;
    g_writerThread = CreatePlatformThread(CaptureWriterThread, nullptr, false);
    return g_writerThread != nullptr;
}

void DeleteCaptureFile() {
    if (g_captureFile) g_captureFile->Abort();
    g_captureFile.reset();
    std::remove(g_captureFileName.c_str());
}

// A stopped capture (g_captureOn clear) with its file open: a file nothing was
// captured into is deleted (true); any other is handed to the writer to finish.
bool FinishStoppedCapture() {
    WaitRenderPathsOut();
    const uint32_t state = g_captureFileState;
    const uint32_t fill = g_captureFill;
    g_captureFileState = 0;
    g_captureFill = 0;
    if (state == 1 && fill == 0) {
        DeleteCaptureFile();
        return true;
    }
    g_finishBytes = fill;
    g_finishRequested.store(1, std::memory_order_release);
    SetEvent(g_writerEvent);
    return false;
}

void TellFailure() {
    if (g_captureOverrun.exchange(0) != 0)
        AfxMessageBox("Capture stopped. Disk too slow!", MB_OK | MB_ICONSTOP);
    const int told = g_failureToTell.exchange(0);
    if (told == 0) return;
    const char* text = "Capture stopped. Disk error!";
    if (told - 1 == CFileException::diskFull) text = "Capture stopped. Disk full!";
    if (told - 1 == CFileException::accessDenied) text = "Capture stopped. Access Denied!";
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}

bool FileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

// Creates the capture file with its placeholder header and opens the capture.
void CreateCapture(const std::string& path) {
    g_captureFileName = path;
    if (!StartWriter()) {
        AfxMessageBox(kCreateFailed);
        return;
    }
    const bool existed = FileExists(path);
    CFileException error;
    std::unique_ptr<CFile> file = CreateWriteFile(path, &error);
    if (file) {
        try {
            file->Write(kPlaceholderHeader, kWaveHeaderBytes);
            file->Flush();
        } catch (const CFileException&) {
            file->Abort();
            file.reset();
            std::remove(path.c_str());  // emptied or made by this capture
        }
    } else if (!existed && FileExists(path)) {
        std::remove(path.c_str());
    }
    if (!file) {
        AfxMessageBox(kCreateFailed);
        return;
    }
    g_captureFile = std::move(file);
    g_captureWritten = 0;
    g_writeFailed = 0;
    g_captureOverrun = 0;
    g_captureWriter = HandToWriter;
    g_captureFileState = 1;
    g_captureFill = 0;
    g_captureArmed = 0;
    g_captureCloseCountdown = 0;
    g_captureTotal = 0;
    g_captureOn.store(1, std::memory_order_seq_cst);  // publishes the file to the render paths
}

}  // namespace

void CaptureOutputCommand(const std::string& documentTitle) {
    if (g_songPlaying == 0) QueueNoteOff();
    if (g_captureOn != 0) {
        // Abandon: a file nothing was captured into goes at once; any other is
        // finished by the next tick.
        g_captureOn.store(0, std::memory_order_seq_cst);
        WaitRenderPathsOut();
        if (g_captureFileState == 1 && g_captureFill == 0) {
            g_captureFileState = 0;
            DeleteCaptureFile();
            AfxMessageBox(LoadResString(IDS_CAPTURE_DELETED), MB_OK | MB_ICONINFORMATION);
        }
        return;
    }
    // A finish still under way keeps the writer and the staging buffer.
    WaitCaptureWriterIdle();
    const std::string path = AskWaveFileName(documentTitle);
    if (path.empty()) return;
    CreateCapture(path);
}

void StartCaptureCommand() { g_captureArmed = 1; }

void StopCaptureCommand() { StopCapture(); }

bool CaptureOutputChecked() { return g_captureOn != 0; }
bool CaptureStartEnabled() { return g_captureOn != 0 && g_captureArmed == 0; }
bool CaptureStopEnabled() { return g_captureOn != 0 && g_captureArmed != 0; }

void CaptureTimerTick() {
    // The tail after a stop request: the capture ends a second later.
    uint32_t countdown = g_captureCloseCountdown;
    if (countdown != 0) {
        --countdown;
        g_captureCloseCountdown = countdown;
        if (countdown == kCloseTickClears) StopCapture();
    }
    if (g_captureOn.load(std::memory_order_seq_cst) == 0 && g_captureFileState != 0) FinishStoppedCapture();
    TellFailure();
}

void FinishCaptureAtExit() {
    g_captureCloseCountdown = 0;
    if (g_captureFileState != 0) {
        StopCapture();
        FinishStoppedCapture();
    }
    WaitCaptureWriterIdle();
    TellFailure();
}

void WaitCaptureWriterIdle() {
    if (g_writerThread == nullptr) return;
    while (g_handoffBytes.load(std::memory_order_acquire) != 0 ||
           g_finishRequested.load(std::memory_order_acquire) != 0) {
        SetEvent(g_writerEvent);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
