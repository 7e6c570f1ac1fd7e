#include "data/song_export.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <memory>

#include "data/byte_order.h"
#include "data/wave_file.h"
#include "engine/render.h"
#include "engine/stages.h"
#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/message_box.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

uint32_t g_exportBuffer[kExportBlockFrames];
Relaxed<uint32_t> g_exportKilobytes{0};
Relaxed<uint8_t> g_exportActive{0};
Relaxed<uint32_t> g_exporting{0};
std::string g_exportFileName;
double g_exportElapsedMs = 0;

namespace {

constexpr int kPreRollProgress[kPreRollBlocks] = {0, 14, 21, 35, 49, 64, 78, 99};
constexpr uint32_t kQuietSum = 131072;
constexpr uint32_t kPostRollBlocks = 8;
constexpr uint8_t kLastPatternValue = 100;

constexpr char kNoData[] = "There is no data to export!";
constexpr char kInfiniteLoop[] =
    "Cannot export current song, because it contains an infinite loop.\n"
    "Use the command \"STOP\" to mark the end of the song!";

// One engine call of frames frames into the export buffer.
void RenderExportBlock(uint32_t frames) {
    g_renderOut = g_exportBuffer;
    g_renderFrames = frames;
    g_renderPeriodPos = 0;
    UpdateEffectUnits();
    RenderBlock();
}

void ShowFileError(const CFileException& e) {
    const char* text = "Export failed. Disk error!";
    if (e.m_cause == CFileException::diskFull) text = "Export failed. Disk full!";
    if (e.m_cause == CFileException::accessDenied) text = "Export failed. Access Denied!";
    AfxMessageBox(text, MB_OK | MB_ICONSTOP);
}

// A failed export leaves the transport stopped: no start request waiting for
// the reopened device, no song running on.
void StopTransport() {
    g_engineReset = kResetStop;
    g_playFlag = 0;
}

class ExportFile {
public:
    // The export buffer as 16-bit little-endian left, right.
    void WriteBlock() {
        uint8_t bytes[kExportBlockBytes];
        for (uint32_t i = 0; i < kExportBlockFrames; ++i) PutU32(bytes + 4 * i, g_exportBuffer[i]);
        Write(bytes, kExportBlockBytes);
        g_exportElapsedMs += kExportBlockMs;
        g_exportKilobytes = g_exportKilobytes + kExportBlockBytes / 1024;
    }

    // Seeks to offset and writes the word there.
    void PatchWord(uint32_t offset, uint32_t v) {
        uint8_t b[4];
        PutU32(b, v);
        file->Seek(offset, CFile::begin);
        Write(b, 4);
    }

    // A write that fails with a cause raises; one without a cause is ignored.
    void Write(const void* data, uint32_t n) {
        try {
            file->Write(data, n);
        } catch (const CFileException& e) {
            if (e.m_cause != CFileException::none) throw;
        }
    }

    std::unique_ptr<CFile> file;
};

}  // namespace

bool CheckSongExportable() {
    if (RelaxedLoad(g_songOrder[0]) > kLastPatternValue) {
        AfxMessageBox(kNoData, MB_OK | MB_ICONSTOP);
        return false;
    }
    for (int pos = 0; pos < kOrderPositions; ++pos) {
        const uint8_t entry = RelaxedLoad(g_songOrder[pos]);
        if (entry == kOrderEnd) return true;
        if (entry == kOrderJump && RelaxedLoad(g_songOrderJump[pos]) == pos) return true;
    }
    AfxMessageBox(kInfiniteLoop, MB_OK | MB_ICONSTOP);
    return false;
}

uint32_t LongestSongBlocks() {
    const double beatMs = 60000.0 / std::max<uint32_t>(g_tempo, 1);
    const uint32_t steps = g_stepsPerBeat;
    const double rowMs = beatMs / ((steps == 6 || steps == 12) ? 6 : 4);  // the longer rows of the two settings
    const double blocks = static_cast<double>(kOrderPositions) * g_patternLength * rowMs / kExportBlockMs;
    const double bound = std::ceil(blocks + blocks / 32 + kLongestSongMarginBlocks);
    return bound >= kMaxSongExportBlocks ? kMaxSongExportBlocks : static_cast<uint32_t>(bound);
}

uint32_t ExpectedExportBlocks() {
    uint32_t positions = 0;
    while (positions < static_cast<uint32_t>(kOrderPositions) &&
           RelaxedLoad(g_songOrder[positions]) <= kLastPatternValue) {
        ++positions;
    }
    const uint32_t beatMs = 60000 / std::max<uint32_t>(g_tempo, 1);
    const uint32_t steps = g_stepsPerBeat;
    double s = (steps == 6 || steps == 12) ? 6 : 4;
    if (g_doubleStepsPerBeat != 0) s /= 2;
    const double blocks = static_cast<double>(g_patternLength) * positions * beatMs / kExportBlockMs / s;
    return static_cast<uint32_t>(blocks);
}

ExportResult ExportSong(const std::string& path, ExportProgress* progress, uint32_t maxSongBlocks) {
    ExportProgress none;
    if (progress == nullptr) progress = &none;
    if (maxSongBlocks == kSongBlocksOfTheSong) maxSongBlocks = LongestSongBlocks();

    // Stop, clear the effect memory, and run the discarded pre-roll. The engine
    // goes on from where the live session left it, but nothing the session
    // left for its device reaches the file: notes the keyboard or MIDI queued
    // at positions the pre-roll does not reach would sound in the first song
    // block, the rest of a test tone's fade would take the first call and put
    // the stop off by one call, and a held pitch bend would bend the song.
    g_engineReset = kResetStop;
    g_playFlag = 0;
    ResetEngineBuffers();
    ClearEventQueues();
    if (g_testSignal == 0) g_testToneLevel = 0;
    for (VoiceState& vs : g_voiceState) RelaxedStore(vs.pitchBend, 0);
    g_masterMute = 0;
    for (uint32_t k = 0; k < kPreRollBlocks; ++k) {
        progress->PreRoll(kPreRollProgress[k]);
        RenderExportBlock(kPreRollFrames);
    }

    // Start at song position 0 with every voice.
    g_exportElapsedMs = 0;
    g_exportKilobytes = 0;
    g_patternFocus = 0;
    g_loopPattern = 0;
    g_orderCursor = 0;
    g_orderTop = 0;
    g_engineReset = kResetStart;
    g_polyphony = static_cast<uint32_t>(std::size(g_polyphonyVoices) - 1);

    ExportFile out;
    CFileException openError;
    out.file = CreateWriteFile(path, &openError);
    if (!out.file) {
        StopTransport();
        progress->BeforeMessage();
        ShowFileError(openError);
        return ExportResult::kFileError;
    }
    try {
        const auto header = StereoWaveHeader(0);
        std::array<uint8_t, kWaveHeaderBytes> zeroSizes = header;
        PutU32(zeroSizes.data() + 4, 0);
        out.Write(zeroSizes.data(), kWaveHeaderBytes);

        progress->SongStarted(ExpectedExportBlocks());
        uint32_t songBlocks = 0;
        bool ended = false;
        while (songBlocks < maxSongBlocks) {
            RenderExportBlock(kExportBlockFrames);
            out.WriteBlock();
            ++songBlocks;
            progress->SongBlock();
            progress->BlockWritten();
            if (g_songPlaying == 0) {
                ended = true;
                break;
            }
        }
        if (!ended) {
            // A song whose end lies behind a jump back never stops: end it here
            // and keep what was rendered.
            StopTransport();
            const uint32_t dataBytes = g_exportKilobytes * 1024;
            out.PatchWord(4, dataBytes + 36);
            out.PatchWord(40, dataBytes);
            out.file->Close();
            progress->BeforeMessage();
            AfxMessageBox(kInfiniteLoop, MB_OK | MB_ICONSTOP);
            return ExportResult::kEndless;
        }

        // Effect tail: until a quiet block, at most 64 blocks.
        progress->TailStarted();
        int counter = 0;
        for (uint32_t k = 0; k < kMaxTailBlocks; ++k) {
            progress->TailBlock(counter);
            counter = counter == 5 ? 0 : counter + 1;
            RenderExportBlock(kExportBlockFrames);
            uint32_t left = 0;
            uint32_t right = 0;
            for (uint32_t w : g_exportBuffer) {
                const int32_t l = static_cast<int16_t>(w & 0xFFFF);
                const int32_t r = static_cast<int16_t>(w >> 16);
                left += static_cast<uint32_t>(l < 0 ? -l : l);
                right += static_cast<uint32_t>(r < 0 ? -r : r);
            }
            out.WriteBlock();
            progress->BlockWritten();
            if (left < kQuietSum && right < kQuietSum) break;
        }

        // The last block fades to silence.
        g_masterMute = 1;
        RenderExportBlock(kExportBlockFrames);
        out.WriteBlock();
        progress->BlockWritten();

        const uint32_t dataBytes = g_exportKilobytes * 1024;
        out.PatchWord(4, dataBytes + 36);
        out.PatchWord(40, dataBytes);
        out.file->Close();
    } catch (const CFileException& e) {
        out.file->Abort();
        StopTransport();
        progress->BeforeMessage();
        ShowFileError(e);
        return ExportResult::kFileError;
    }
    return ExportResult::kDone;
}

void RunExportPostRoll() {
    ResetEngineBuffers();
    g_masterMute = 0;
    for (uint32_t k = 0; k < kPostRollBlocks; ++k) RenderExportBlock(kExportBlockFrames);
}
