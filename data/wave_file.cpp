#include "data/wave_file.h"

#include <algorithm>
#include <cstring>

#include "data/byte_order.h"
#include "data/sample_store.h"
#include "data/ui_hooks.h"
#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/message_box.h"
#include "shared/samples.h"

Relaxed<int32_t> g_sampleLoadSlot{0};
Relaxed<uint8_t> g_sampleReloaded{0};

namespace {

constexpr uint32_t kWindowBytes = 255;
constexpr uint32_t kLastDataTagOffset = 247;
constexpr uint32_t kLastSmplTagOffset = 195;
constexpr uint32_t kStereoBlockFrames = 256;

constexpr char kInvalidWave[] = "Invalid wave file!";
constexpr char kUnsupportedWave[] = "Unsupported wave format!";
constexpr char kSampleMemory[] = "Failed to allocate memory for loading sample!";
constexpr char kNoMoreSamples[] = "Cannot load more samples!";
constexpr char kStereoQuestion[] =
    "The sample is being loaded is stereo! Choose the specified channel which you would like to import.";
constexpr char kComment[] = "Exported by Morvel Canopy(tm)";

// Root key of a recording rate; -1 for a rate without one.
int RootKeyOfRate(uint32_t rate) {
    switch (rate) {
        case 44100:
        case 48000: return 48;
        case 22050:
        case 24000: return 36;
        case 11025:
        case 12000: return 24;
        default: return -1;
    }
}

// Reads count bytes at offset into out; the bytes the file does not have stay 0.
uint32_t ReadAt(CFile& file, uint64_t offset, uint8_t* out, uint32_t count) {
    std::memset(out, 0, count);
    file.Seek(static_cast<int64_t>(offset), CFile::begin);
    return file.Read(out, count);
}

bool Tag(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

struct WaveLayout {
    bool stereo = false;
    uint32_t rate = 0;
    bool hasData = false;
    uint64_t dataStart = 0;
    uint32_t dataBytes = 0;
    bool hasLoop = false;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
};

// The text before the first "." (all of it without one).
std::string Stem(const std::string& name) { return name.substr(0, name.find('.')); }

// Frames of one channel of the data chunk into frames[0..length): mono takes the
// values as they come, stereo the first (left) or second (right) value of each
// frame. What the data chunk does not hold stays 0 (the block is zero-filled).
void ReadFrames(CFile& file, const WaveLayout& w, bool right, int16_t* frames, uint32_t length) {
    file.Seek(static_cast<int64_t>(w.dataStart), CFile::begin);
    if (!w.stereo) {
        const uint32_t want = std::min(length, w.dataBytes / 2);
        const uint32_t got = file.Read(frames, 2 * want) / 2;
        FramesFromFileOrder(frames, got);
        if (got < length) frames[got] = 0;  // a last odd byte read into it
        return;
    }
    uint8_t block[4 * kStereoBlockFrames];
    const uint32_t channel = right ? 2 : 0;
    const uint32_t total = std::min(length, w.dataBytes / 4);
    uint32_t done = 0;
    while (done < total) {
        const uint32_t want = std::min(kStereoBlockFrames, total - done);
        const uint32_t got = file.Read(block, 4 * want) / 4;
        for (uint32_t i = 0; i < got; ++i) frames[done + i] = static_cast<int16_t>(GetU16(block + 4 * i + channel));
        done += got;
        if (got < want) break;
    }
}

}  // namespace

bool LoadWaveSample(const std::string& path, const std::string& name, bool replace) {
    g_sampleReloaded = 0;
    g_docModified = 1;
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        AfxMessageBox("Can't open file");
        return false;
    }
    return LoadWaveSampleFrom(file, name, replace);
}

bool LoadWaveSampleFrom(CFile& file, const std::string& name, bool replace) {
    g_sampleReloaded = 0;
    g_docModified = 1;
    WaitCursor cursor;
    const auto fail = [&cursor](const char* text, unsigned type) {
        cursor.Restore();
        AfxMessageBox(text, type);
        return false;
    };

    // The head window.
    const uint64_t fileLength = file.GetLength();
    uint8_t head[kWindowBytes];
    const uint32_t headBytes = ReadAt(file, 0, head, kWindowBytes);
    if (headBytes < 12 || !Tag(head + 8, "WAVE")) return fail(kInvalidWave, MB_OK | MB_ICONSTOP);
    if (head[20] != 1 || head[34] != 16) return fail(kUnsupportedWave, MB_OK | MB_ICONSTOP);

    WaveLayout w;
    w.stereo = head[22] == 2;
    w.rate = GetU16(head + 24);

    bool right = false;
    std::string sampleName = name;
    if (w.stereo) {
        cursor.Restore();
        right = AfxMessageBox(kStereoQuestion, MB_OKCANCEL | MB_LEFTRIGHT) != IDOK;
        sampleName = Stem(name) + (right ? "-R.wav" : "-L.wav");
    }

    // Reload check: a sample of the same name may be loaded again in its slot.
    bool reloaded = false;
    int32_t slot = g_sampleLoadSlot;
    const uint32_t count = g_sampleCount;
    for (uint32_t j = 0; j < count; ++j) {
        if (g_sampleName[j] != sampleName) continue;
        cursor.Restore();
        if (AfxMessageBox(sampleName + " already exists, reload changes?", MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return false;
        }
        slot = static_cast<int32_t>(j);
        reloaded = true;
        break;
    }
    if (replace) reloaded = true;

    // The data chunk (last "data" tag of the head) and the loop (last "smpl"
    // tag with size 60 of the tail).
    for (uint32_t i = 0; i <= kLastDataTagOffset && i + 8 <= headBytes; ++i) {
        if (Tag(head + i, "data")) {
            w.hasData = true;
            w.dataStart = i + 8;
            w.dataBytes = GetU32(head + i + 4);
        }
    }
    const uint32_t tailBytes = static_cast<uint32_t>(std::min<uint64_t>(fileLength, kWindowBytes));
    uint8_t tail[kWindowBytes];
    ReadAt(file, fileLength - tailBytes, tail, tailBytes);
    for (uint32_t i = 0; i <= kLastSmplTagOffset && i + 60 <= tailBytes; ++i) {
        if (Tag(tail + i, "smpl") && GetU32(tail + i + 4) == 60) {
            w.hasLoop = true;
            w.loopStart = GetU32(tail + i + 52);
            w.loopEnd = GetU32(tail + i + 56);
        }
    }
    if (!w.hasData) return fail(kInvalidWave, MB_OK | MB_ICONSTOP);

    uint64_t length;
    uint64_t loopPoint;
    if (w.hasLoop) {
        length = uint64_t{w.loopEnd} + 1;
        loopPoint = std::min<uint64_t>(w.loopStart, length);  // a loop starting after its end has none
    } else {
        length = w.stereo ? w.dataBytes / 4 : w.dataBytes / 2;
        loopPoint = length;
    }

    // The slot must be one the store can take: an existing sample for a reload
    // or replace, the next free slot (below 255) for an append.
    const bool slotOk = slot >= 0 && (reloaded ? static_cast<uint32_t>(slot) < count
                                               : static_cast<uint32_t>(slot) == count && count < kMaxSamples);
    if (!slotOk) return fail(kNoMoreSamples, MB_OK);

    SampleBlock block;
    if (length <= kMaxWaveFrames) block = SampleBlock::Allocate(static_cast<uint32_t>(length));
    if (!block) return fail(kSampleMemory, MB_OK | MB_ICONSTOP);
    const uint32_t frames = block.length();
    ReadFrames(file, w, right, block.data(), frames);
    if (!w.hasLoop && frames != 0) block.data()[frames - 1] = 0;

    const uint32_t target = static_cast<uint32_t>(slot);
    InstallSample(target, std::move(block), static_cast<uint32_t>(loopPoint));
    const int rootKey = RootKeyOfRate(w.rate);
    if (rootKey >= 0) g_sampleRootKey[target] = static_cast<uint32_t>(rootKey);
    g_sampleName[target] = sampleName;
    g_sampleLoadSlot = slot;
    g_sampleReloaded = reloaded ? 1 : 0;
    if (!reloaded) g_sampleCount = count + 1;
    return true;
}

uint32_t SampleRateOfRootKey(uint32_t rootKey) {
    switch (rootKey) {
        case 24: return 11025;
        case 36: return 22050;
        default: return 44100;
    }
}

std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(uint16_t channels, uint32_t rate, uint32_t dataBytes,
                                                     uint32_t riffSize) {
    std::array<uint8_t, kWaveHeaderBytes> h{};
    uint8_t* p = h.data();
    std::memcpy(p, "RIFF", 4);
    PutU32(p + 4, riffSize);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    PutU32(p + 16, 16);
    PutU16(p + 20, 1);
    PutU16(p + 22, channels);
    PutU32(p + 24, rate);
    PutU32(p + 28, rate * 2 * channels);
    PutU16(p + 32, static_cast<uint16_t>(2 * channels));
    PutU16(p + 34, 16);
    std::memcpy(p + 36, "data", 4);
    PutU32(p + 40, dataBytes);
    return h;
}

std::array<uint8_t, kWaveHeaderBytes> StereoWaveHeader(uint32_t dataBytes) {
    return MakeWaveHeader(2, 44100, dataBytes, dataBytes + 36);
}

std::vector<uint8_t> BuildSampleWave(uint32_t s) {
    const int16_t* frames = s < kMaxSamples ? g_sampleData[s].load() : nullptr;
    const uint32_t length = frames != nullptr ? g_sampleLength[s].load() : 0;
    const uint32_t loopPoint = g_sampleLoopPoint[s];
    const bool loop = frames != nullptr && loopPoint != length;
    const std::string name = g_sampleName[s].substr(0, kMaxInfoNameChars);
    const uint32_t n = static_cast<uint32_t>(name.size());

    const uint32_t dataBytes = 2 * length;
    const uint32_t listBytes = 59 + n;
    const uint32_t riffSize = 36 + dataBytes + (loop ? kSmplChunkBytes : 0) + listBytes;
    std::vector<uint8_t> out(static_cast<size_t>(riffSize) + 8, 0);
    const auto header = MakeWaveHeader(1, SampleRateOfRootKey(g_sampleRootKey[s]), dataBytes, riffSize);
    uint8_t* p = out.data();
    std::memcpy(p, header.data(), kWaveHeaderBytes);
    p += kWaveHeaderBytes;
    FramesToFileOrder(frames, p, length);
    p += dataBytes;

    if (loop) {
        std::memcpy(p, "smpl", 4);
        PutU32(p + 4, 60);
        PutU32(p + 36, 1);  // one loop, forward, endless; every other field 0
        PutU32(p + 52, loopPoint);
        PutU32(p + 56, length - 1);
        p += kSmplChunkBytes;
    }

    std::memcpy(p, "LIST", 4);
    PutU32(p + 4, n + 51);
    std::memcpy(p + 8, "INFOICMT", 8);
    PutU32(p + 16, 29);
    std::memcpy(p + 20, kComment, 29);
    std::memcpy(p + 50, "INAM", 4);
    PutU32(p + 54, n);
    std::memcpy(p + 58, name.data(), n);
    return out;
}
