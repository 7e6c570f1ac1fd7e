// Rendering the whole song offline into a stereo 16-bit 44,100 Hz WAV file: the
// render loop that the export dialog and the command-line renderer share.
//
// The loop runs on the calling thread with no audio device rendering
// meanwhile. Every engine call renders into g_exportBuffer at period position
// 0, with the effect set-up just before it.
#pragma once

#include <cstdint>
#include <string>

#include "shared/relaxed.h"

inline constexpr uint32_t kExportBlockFrames = 8192;
inline constexpr uint32_t kExportBlockBytes = 4 * kExportBlockFrames;
inline constexpr uint32_t kPreRollBlocks = 8;
inline constexpr uint32_t kPreRollFrames = 4096;
inline constexpr uint32_t kMaxTailBlocks = 64;
inline constexpr double kExportBlockMs = 185.7596371882;  // 8,192 frames at 44.1 kHz
// The most song blocks a file can hold: the RIFF size (data + 36) must fit 32
// bits, and up to 64 tail blocks and the last block follow the song.
inline constexpr uint32_t kMaxSongExportBlocks = (0xFFFFFFFFu - 36) / kExportBlockBytes - kMaxTailBlocks - 1;

// The render target: one word per frame, left in the low 16 bits.
extern uint32_t g_exportBuffer[kExportBlockFrames];
// Kilobytes of sample data written so far (32 per block) and the audio time
// they hold.
extern Relaxed<uint32_t> g_exportKilobytes;
extern double g_exportElapsedMs;
// 1 while the export dialog runs: the view's timer holds the level meters at 0.
extern Relaxed<uint8_t> g_exportActive;
// 1 while the export dialog runs: the MIDI handler ignores every message.
extern Relaxed<uint32_t> g_exporting;
// The file the export writes.
extern std::string g_exportFileName;

// What the export dialog shows while the loop runs. Every call does nothing
// unless overridden.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    virtual void PreRoll(int /*position*/) {}              // before each pre-roll block: 0, 14, 21, 35, 49, 64, 78, 99
    virtual void SongStarted(uint32_t /*expectedBlocks*/) {}  // "Calculating music..."
    virtual void SongBlock() {}                            // a song block was written
    virtual void TailStarted() {}                          // "Fading effects..."
    virtual void TailBlock(int /*counter*/) {}             // before each tail block: 0, 1, ... 5, 0, ...
    virtual void BlockWritten() {}                         // after every written block
    virtual void BeforeMessage() {}                        // a message box follows: the usual cursor back
};

// The checks before an export: position 0 holding a value above 100 gives "There
// is no data to export!"; no end within the 200 positions (a 255, or a jump to
// its own position) gives the infinite-loop message. Both with the stop icon.
// True when the song may be exported.
bool CheckSongExportable();

// The song blocks of the longest song the order list can hold without a loop:
// every position a pattern at the song's tempo, with its longer row length,
// plus a margin of 1/32 and kLongestSongMarginBlocks; at most
// kMaxSongExportBlocks. A song still playing after that never ends (its end mark
// lies behind a jump back).
inline constexpr uint32_t kLongestSongMarginBlocks = 8;
uint32_t LongestSongBlocks();

// Blocks the progress bar expects for the song part (truncated): rows x leading
// pattern positions x beat length / block length / steps per beat.
uint32_t ExpectedExportBlocks();

enum class ExportResult {
    kDone,       // the file is complete
    kFileError,  // the file could not be created or written (message shown)
    kEndless,    // the song did not end within maxSongBlocks (message shown; the
                 // file holds what was rendered, with its sizes)
};

// Renders the song into a new file at path: stop request, effect memory cleared,
// what the live session left for its device dropped (queued note events, the
// rest of a test tone's fade, the voices' pitch bend; the engine's running
// state carries on), the discarded pre-roll of 8 x 4,096 frames, the start request at position 0
// with the polyphony at 32 voices, then 8,192-frame blocks until the song stops
// (at most maxSongBlocks, by default the longest song without a loop), the effect tail of at most 64 blocks ending on a
// quiet block, one block faded by the master mute, and the header sizes. File
// errors are shown by cause ("Export failed. Disk full!", "Export failed. Access
// Denied!", "Export failed. Disk error!"); every failure leaves the transport
// stopped (stop request, play flag clear). The file is made through the write
// seam of shared/file_io.h. Leaves g_polyphony at 32 voices: the caller
// restores it.
inline constexpr uint32_t kSongBlocksOfTheSong = 0;  // maxSongBlocks: LongestSongBlocks()
ExportResult ExportSong(const std::string& path, ExportProgress* progress = nullptr,
                        uint32_t maxSongBlocks = kSongBlocksOfTheSong);

// After an export: the effect memory cleared, the master mute off, and 8 blocks
// of 8,192 frames rendered and thrown away.
void RunExportPostRoll();
