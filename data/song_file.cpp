#include "data/song_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/byte_order.h"
#include "data/pattern_store.h"
#include "data/run_length.h"
#include "data/sample_store.h"
#include "data/song_memory.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "data/ui_hooks.h"
#include "data/value_limits.h"
#include "engine/stages.h"
#include "shared/automation.h"
#include "shared/channel_map.h"
#include "shared/constants.h"
#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/message_box.h"
#include "shared/mixer.h"
#include "shared/render_lock.h"
#include "shared/samples.h"
#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/song_info.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

uint8_t g_splitBytes[kSplitTableBytes];
Relaxed<uint32_t> g_songVoices{0};

namespace {

constexpr char kMagic[] = "MCFmt1";
constexpr char kLineEnd[] = "\r\n";
constexpr char kRefusal[] = "Unsupported song format or invalid file!";
constexpr char kSampleMemory[] = "Failed to allocate memory for loading sample!";
constexpr char kPatternMemory[] = "Failed to allocate memory for pattern!";

constexpr uint32_t kMaxSongSamples = kSampleSlots - 1;  // sample number 255 means none
constexpr uint32_t kMaxLoadedSampleLength = 0x7FFFFFFE;  // 2 x length + 2 stays below 2^32
constexpr uint32_t kBankBytesPerParam = kSounds;         // sounds 0..99 are stored

// Byte offsets of the fixed part.
enum : uint32_t {
    kOffHeaderWords = 12,
    kOffTempo = 20,
    kOffRows = 24,
    kOffEffects = 28,
    kOffVolume = 84,
    kOffMaster = 116,
    kOffPan = 120,
    kOffSend1 = 152,
    kOffSend2 = 184,
    kOffOverrides = 216,
    kOffSongMode = 248,
    kOffPatternCue = 252,
    kOffPatternCount = 256,
    kOffSampleCount = 260,
    kOffAutomationOn = 264,
    kOffKnobEnabled = 268,
    kOffKnobSound = 308,
    kOffKnobParam = 348,
    kOffChannelSound = 388,
    kOffChannelVoices = 452,
    kOffDoubleSteps = 516,
};
static_assert(kOffDoubleSteps + 4 == kSongFixedBytes);

// ---------------------------------------------------------------------------
// Writing

// A text line: the characters up to the first LF (a name holding one would end
// the line early and throw the rest of the file out of step), then CR LF.
void WriteLine(CArchive& ar, const std::string& s) {
    ar.WriteString(s.substr(0, s.find('\n')));
    ar.WriteString(kLineEnd);
}

void WritePacked(CArchive& ar, const uint8_t* block, uint32_t size) {
    const uint32_t n = PackRle(block, size);
    ar.Write(g_rleBuffer, n);
}

// Order length: up to and including the first end or jump mark; 200 without one.
uint32_t StoredOrderLength() {
    for (int pos = 0; pos < kOrderPositions; ++pos) {
        const uint8_t entry = RelaxedLoad(g_songOrder[pos]);
        if (entry == kOrderEnd || entry == kOrderJump) return static_cast<uint32_t>(pos + 1);
    }
    return kOrderPositions;
}

void BuildFixedPart(uint8_t* f) {
    std::copy_n(kMagic, 6, f);
    std::copy_n(kLineEnd, 2, f + 6);

    std::srand(static_cast<unsigned>(std::time(nullptr)));
    const uint32_t r1 = static_cast<uint32_t>(std::rand() % 32768);
    const uint32_t r2 = static_cast<uint32_t>(std::rand() % 32768);
    PutU32(f + 8, r1 * r2);

    const bool keepHeader = g_songHeaderWords[0] != 0;
    PutU32(f + kOffHeaderWords, keepHeader ? g_songHeaderWords[0] : 0);
    PutU32(f + kOffHeaderWords + 4, keepHeader ? g_songHeaderWords[1] : 0);
    PutU32(f + kOffTempo, g_tempoDisplay);
    PutU32(f + kOffRows, g_patternLength);

    const EffectSettings& fx = g_effectSettings;
    const int32_t effects[14] = {fx.fxType[0],    fx.fxType[1],    fx.fxType[2],    fx.fxSerial,     fx.fxSerialAmount,
                                 fx.fxParam[0][0], fx.fxParam[0][1], fx.fxParam[0][2], fx.fxParam[1][0], fx.fxParam[1][1],
                                 fx.fxParam[1][2], fx.fxParam[2][0], fx.fxParam[2][1], fx.fxParam[2][2]};
    for (int i = 0; i < 14; ++i) PutU32(f + kOffEffects + 4 * i, static_cast<uint32_t>(effects[i]));

    const MixerSettings& mx = g_mixerSettings;
    for (int b = 0; b < kBuses; ++b) {
        PutU32(f + kOffVolume + 4 * b, static_cast<uint32_t>(mx.volume[b].load()));
        PutU32(f + kOffPan + 4 * b, static_cast<uint32_t>(mx.pan[b].load()));
        PutU32(f + kOffSend1 + 4 * b, static_cast<uint32_t>(mx.send1[b].load()));
        PutU32(f + kOffSend2 + 4 * b, static_cast<uint32_t>(mx.send2[b].load()));
        PutU32(f + kOffOverrides + 4 * b, g_volumeOverrides.bus[b]);
    }
    PutU32(f + kOffMaster, static_cast<uint32_t>(mx.master.load()));

    PutU32(f + kOffSongMode, g_songMode);
    PutU32(f + kOffPatternCue, g_patternCue);
    PutU32(f + kOffPatternCount, g_patternCount);
    PutU32(f + kOffSampleCount, g_sampleCount);
    PutU32(f + kOffAutomationOn, g_automationOn);
    for (int k = 0; k < kAutomationKnobs; ++k) {
        PutU32(f + kOffKnobEnabled + 4 * k, g_knobEnabled[k]);
        PutU32(f + kOffKnobSound + 4 * k, g_knobSound[k]);
        PutU32(f + kOffKnobParam + 4 * k, g_knobParam[k]);
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        PutU32(f + kOffChannelSound + 4 * c, static_cast<uint32_t>(g_channelSound[c].load()));
        PutU32(f + kOffChannelVoices + 4 * c, static_cast<uint32_t>(g_channelPolyphony[c].load()));
    }
    PutU32(f + kOffDoubleSteps, g_doubleStepsPerBeat);
}

void WriteSampleRecords(CArchive& ar, uint32_t count) {
    std::vector<uint8_t> pcm;
    for (uint32_t s = 0; s < count; ++s) {
        const uint32_t length = g_sampleLength[s];
        const int16_t* frames = g_sampleData[s];
        WriteLine(ar, g_sampleName[s]);
        // A slot without data is written as a sample of length 0.
        const uint32_t stored = frames != nullptr ? length : 0;
        ar << stored << static_cast<uint32_t>(g_sampleRootKey[s]) << std::min<uint32_t>(g_sampleLoopPoint[s], stored);
        constexpr uint32_t kChunkFrames = 16384;
        pcm.resize(2 * kChunkFrames);
        for (uint32_t i = 0; i < stored; i += kChunkFrames) {
            const uint32_t n = std::min(kChunkFrames, stored - i);
            FramesToFileOrder(frames + i, pcm.data(), n);
            ar.Write(pcm.data(), 2 * n);
        }
    }
}

// ---------------------------------------------------------------------------
// Reading into a staging image

struct SongImage {
    uint8_t fixed[kSongFixedBytes];
    int32_t effects[14];
    int32_t orderLength = 0;
    uint8_t order[kOrderPositions];
    uint8_t jump[kOrderPositions];
    uint32_t rows = 0;
    std::vector<std::unique_ptr<uint8_t[]>> patterns;
    std::string soundNames[kSounds];
    uint8_t bank[kSoundParams][kBankBytesPerParam];
    uint32_t sampleCount = 0;
    uint8_t splitSample[kSplitTableBytes];
    uint8_t splitTranspose[kSplitTableBytes];
    std::vector<LoadedSample> samples;
    std::vector<uint8_t> packedLanes;  // the twenty lane halves as the file packs them
    uint8_t showInfo = 0;
    std::string title, author, comment;

    uint32_t Word(uint32_t offset) const { return GetU32(fixed + offset); }
    int32_t Int(uint32_t offset) const { return static_cast<int32_t>(GetU32(fixed + offset)); }
};

enum class ReadResult { kOk, kRefused, kSampleMemory, kPatternMemory };

ReadResult ReadImage(CArchive& ar, SongImage& img) {
    // The first line must be the magic.
    std::string line;
    if (!ar.ReadString(line, 16) || line != kMagic) return ReadResult::kRefused;

    std::copy_n(kMagic, 6, img.fixed);
    std::copy_n(kLineEnd, 2, img.fixed + 6);
    if (ar.Read(img.fixed + 8, kSongFixedBytes - 8) != kSongFixedBytes - 8) return ReadResult::kRefused;

    img.rows = img.Word(kOffRows);
    const uint32_t patternCount = img.Word(kOffPatternCount);
    const int32_t sampleCount = img.Int(kOffSampleCount);
    if (!IsPatternLength(img.rows) || patternCount > kMaxPatterns || sampleCount < 0 ||
        static_cast<uint32_t>(sampleCount) > kMaxSongSamples) {
        return ReadResult::kRefused;
    }
    img.sampleCount = static_cast<uint32_t>(sampleCount);
    for (int i = 0; i < 14; ++i) img.effects[i] = img.Int(kOffEffects + 4 * i);

    // Order list: at most 200 positions kept; the rest read past.
    int32_t n;
    ar >> n;  // a file that ends here raises endOfFile: refused by the caller
    img.orderLength = n;
    if (n > 0) {
        const uint32_t count = static_cast<uint32_t>(n);
        if (count * uint64_t{2} > ar.BytesLeft()) return ReadResult::kRefused;
        const uint32_t kept = std::min<uint32_t>(count, kOrderPositions);
        std::vector<uint8_t> skip;
        for (uint8_t* list : {img.order, img.jump}) {
            if (ar.Read(list, kept) != kept) return ReadResult::kRefused;
            skip.resize(count - kept);
            if (ar.Read(skip.data(), count - kept) != count - kept) return ReadResult::kRefused;
        }
    }

    // Patterns.
    const uint32_t patternBytes = img.rows * 128;
    img.patterns.reserve(patternCount);
    for (uint32_t p = 0; p < patternCount; ++p) {
        std::unique_ptr<uint8_t[]> block = AllocateZeroedBytes(patternBytes);
        if (!block) return ReadResult::kPatternMemory;
        if (!UnpackRle(ar, block.get(), patternBytes)) return ReadResult::kRefused;
        img.patterns.push_back(std::move(block));
    }

    for (std::string& name : img.soundNames) {
        if (!ar.ReadString(name)) return ReadResult::kRefused;
    }
    for (auto& param : img.bank) {
        if (!UnpackRle(ar, param, kBankBytesPerParam)) return ReadResult::kRefused;
    }

    if (img.sampleCount != 0) {
        if (!UnpackRle(ar, img.splitSample, kSplitTableBytes)) return ReadResult::kRefused;
        if (!UnpackRle(ar, img.splitTranspose, kSplitTableBytes)) return ReadResult::kRefused;
        img.samples.reserve(img.sampleCount);
        for (uint32_t s = 0; s < img.sampleCount; ++s) {
            LoadedSample sample;
            uint32_t length, loopPoint;
            int32_t rootKey;
            if (!ar.ReadString(sample.name)) return ReadResult::kRefused;
            uint8_t numbers[12];
            if (ar.Read(numbers, 12) != 12) return ReadResult::kRefused;
            length = GetU32(numbers);
            rootKey = static_cast<int32_t>(GetU32(numbers + 4));
            loopPoint = GetU32(numbers + 8);
            if (length > kMaxLoadedSampleLength || uint64_t{2} * length > ar.BytesLeft()) return ReadResult::kRefused;
            sample.block = SampleBlock::Allocate(length);
            if (!sample.block) return ReadResult::kSampleMemory;
            int16_t* frames = sample.block.data();
            if (ar.Read(frames, 2 * length) != 2 * length) return ReadResult::kRefused;
            FramesFromFileOrder(frames, length);
            // The last frame and the guard frame read back as 0.
            if (length != 0) frames[length - 1] = 0;
            frames[length] = 0;
            sample.loopPoint = std::min(loopPoint, length);
            sample.rootKey = static_cast<uint32_t>(ClampInt(rootKey, 0, static_cast<int32_t>(kMaxRootKey)));
            img.samples.push_back(std::move(sample));
        }
    }

    // The lanes (half a megabyte unpacked) are checked here and staged packed;
    // the commit unpacks them into the song.
    for (int half = 0; half < 2 * kAutomationKnobs; ++half) {
        if (!CopyRle(ar, img.packedLanes, kLaneHalfBytes)) return ReadResult::kRefused;
    }

    // The song information; a file that ends before its comment is refused.
    if (ar.Read(&img.showInfo, 1) != 1) return ReadResult::kRefused;
    if (!ar.ReadString(img.title) || !ar.ReadString(img.author)) return ReadResult::kRefused;
    char comment[kSongCommentChars];
    const uint32_t got = ar.Read(comment, kSongCommentChars);
    img.comment.assign(comment, std::find(comment, comment + got, '\0'));
    return ReadResult::kOk;
}

// ---------------------------------------------------------------------------
// Committing the image

uint32_t Flag(uint32_t v) { return v != 0 ? 1 : 0; }

// A lane byte as the song keeps it (at most kMaxLaneValue), looked up rather than
// compared: the lanes are half a megabyte.
constexpr auto kLaneValueOf = [] {
    std::array<uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(std::min<int>(v, kMaxLaneValue));
    return table;
}();

void CommitFixedPart(const SongImage& img) {
    g_songHeaderWords[0] = img.Word(kOffHeaderWords);
    g_songHeaderWords[1] = img.Word(kOffHeaderWords + 4);
    g_tempoDisplay = static_cast<uint32_t>(ClampInt(img.Int(kOffTempo), kMinTempo, kMaxTempo));
    g_patternLength = img.rows;

    int32_t fx[14];
    std::copy_n(img.effects, 14, fx);
    ClampEffectWords(fx);
    EffectSettings& e = g_effectSettings;
    for (int u = 0; u < 3; ++u) e.fxType[u] = fx[u];
    e.fxSerial = fx[3];
    e.fxSerialAmount = fx[4];
    for (int u = 0; u < 3; ++u) {
        for (int s = 0; s < 3; ++s) e.fxParam[u][s] = fx[5 + 3 * u + s];
    }

    MixerSettings& mx = g_mixerSettings;
    for (int b = 0; b < kBuses; ++b) {
        mx.volume[b] = ClampInt(img.Int(kOffVolume + 4 * b), 0, kMaxBusVolume);
        mx.pan[b] = ClampInt(img.Int(kOffPan + 4 * b), -kMaxPan, kMaxPan);
        mx.send1[b] = ClampInt(img.Int(kOffSend1 + 4 * b), 0, kMaxSendLevel);
        mx.send2[b] = ClampInt(img.Int(kOffSend2 + 4 * b), 0, kMaxSendLevel);
        g_volumeOverrides.bus[b] = img.Word(kOffOverrides + 4 * b);
    }
    mx.master = ClampInt(img.Int(kOffMaster), 0, kMaxBusVolume);

    g_songMode = Flag(img.Word(kOffSongMode));
    g_patternCue = Flag(img.Word(kOffPatternCue));
    g_automationOn = Flag(img.Word(kOffAutomationOn));
    for (int k = 0; k < kAutomationKnobs; ++k) {
        g_knobEnabled[k] = Flag(img.Word(kOffKnobEnabled + 4 * k));
        g_knobSound[k] = std::min<uint32_t>(img.Word(kOffKnobSound + 4 * k), kSounds - 1);
        g_knobParam[k] = std::min<uint32_t>(img.Word(kOffKnobParam + 4 * k), kModTargets - 1);
    }
    for (int c = 0; c < kMidiChannels; ++c) {
        g_channelSound[c] = ClampInt(img.Int(kOffChannelSound + 4 * c), 0, kSounds - 1);
        g_channelPolyphony[c] = ClampInt(img.Int(kOffChannelVoices + 4 * c), 0, kMaxChannelVoices);
    }
    g_doubleStepsPerBeat = Flag(img.Word(kOffDoubleSteps));
}

void CommitImage(SongImage& img) {
    ResetSong();
    CommitFixedPart(img);

    // Order positions the file stores; the rest keep the reset's values. A jump
    // target stays inside the list.
    const int stored = std::clamp(img.orderLength, 0, static_cast<int32_t>(kOrderPositions));
    for (int pos = 0; pos < stored; ++pos) {
        uint8_t target = img.jump[pos];
        if (img.order[pos] == kOrderJump) target = std::min<uint8_t>(target, kOrderPositions - 1);
        RelaxedStore(g_songOrder[pos], img.order[pos]);
        RelaxedStore(g_songOrderJump[pos], target);
    }

    for (auto& block : img.patterns) AddPattern(std::move(block));

    for (int s = 0; s < kSounds; ++s) g_soundNames[s] = std::move(img.soundNames[s]);
    for (int p = 0; p < kSoundParams; ++p) {
        for (uint32_t s = 0; s < kBankBytesPerParam; ++s) {
            RelaxedStore(g_soundBank[p][s], ClampSoundParam(p, img.bank[p][s]));
        }
    }

    if (img.sampleCount != 0) {
        for (uint32_t i = 0; i < kSplitTableBytes; ++i) {
            RelaxedStore(g_splitSample[i], static_cast<int32_t>(img.splitSample[i]));
            RelaxedStore(g_splitTranspose[i], static_cast<int32_t>(static_cast<int8_t>(img.splitTranspose[i])));
        }
        InstallSamples(0, img.samples);
        g_sampleCount = img.sampleCount;
    }

    CMemFile packed(img.packedLanes.data(), img.packedLanes.size());
    CArchive lanes(&packed, CArchive::load);
    uint8_t half[kLaneHalfBytes];
    for (int k = 0; k < kAutomationKnobs; ++k) {
        for (int h = 0; h < 2; ++h) {
            UnpackRle(lanes, half, kLaneHalfBytes);  // checked whole by the reading
            uint8_t* lane = g_tweakLaneData[k] + h * kLaneHalfBytes;
            for (uint32_t i = 0; i < kLaneHalfBytes; ++i) RelaxedStore(lane[i], kLaneValueOf[half[i]]);
        }
    }

    g_showInfoOnOpen = img.showInfo;
    g_songTitle = std::move(img.title);
    g_songAuthor = std::move(img.author);
    g_songComment = std::move(img.comment);
}

// The highest track with a note in any pattern (plus one), or the voices the
// channel map reserves when they are more.
uint32_t CountSongVoices() {
    uint32_t voices = 0;
    const uint32_t length = g_patternLength;
    const uint32_t count = g_patternCount;
    for (uint32_t p = 0; p < count; ++p) {
        const uint8_t* pattern = g_patterns[p];
        if (pattern == nullptr) continue;
        for (uint32_t t = voices; t < static_cast<uint32_t>(kVoices); ++t) {
            const uint8_t* notes = pattern + PatternIndex(t, 3, 0, length);
            if (std::any_of(notes, notes + length, [](uint8_t b) { return b <= 240; })) voices = t + 1;
        }
    }
    uint32_t reserved = 0;
    for (int c = 0; c < kMidiChannels; ++c) reserved += static_cast<uint32_t>(g_channelPolyphony[c].load());
    return std::max(voices, reserved);
}

void AfterLoad() {
    g_curSound = 1;
    LoadSoundToKnobs(1);
    ResetEngineBuffers();

    g_editStep = 0;
    g_cursorColumn = 0;
    g_firstTrack = 0;
    g_orderColumn = 0;
    g_orderCursor = 0;
    g_orderTop = 0;
    g_trackSongPos[0] = 0;
    g_trackRow[0] = 0;
    g_patternUndoCount = 0;

    g_songInfoOnLoad = 1;
    g_songVoices = CountSongVoices();
    const uint32_t rows = g_patternLength;
    g_stepsPerBeat = (rows == 16 || rows == 32 || rows == 64 || rows == 128) ? 4 : 6;
    g_patternFocus = 0;
}

}  // namespace

void StoreSong(CArchive& ar) {
    WaitCursor cursor;

    uint8_t fixed[kSongFixedBytes];
    BuildFixedPart(fixed);
    ar.Write(fixed, kSongFixedBytes);

    const uint32_t orderLength = StoredOrderLength();
    ar << orderLength;
    uint8_t list[kOrderPositions];
    for (uint32_t i = 0; i < orderLength; ++i) list[i] = RelaxedLoad(g_songOrder[i]);
    ar.Write(list, orderLength);
    for (uint32_t i = 0; i < orderLength; ++i) list[i] = RelaxedLoad(g_songOrderJump[i]);
    ar.Write(list, orderLength);

    const uint32_t rows = g_patternLength;
    const uint32_t patternBytes = rows * 128;
    std::vector<uint8_t> block(patternBytes);
    const uint32_t patternCount = g_patternCount;
    for (uint32_t p = 0; p < patternCount; ++p) {
        const uint8_t* pattern = g_patterns[p];
        if (pattern != nullptr) {
            for (uint32_t i = 0; i < patternBytes; ++i) block[i] = RelaxedLoad(pattern[i]);
        } else {
            // A counted slot without memory is written as an empty pattern.
            std::fill(block.begin(), block.end(), uint8_t{0});
            for (uint32_t t = 0; t < static_cast<uint32_t>(kVoices); ++t)
                std::fill_n(block.data() + PatternIndex(t, 3, 0, rows), rows, kNoteEmpty);
        }
        WritePacked(ar, block.data(), patternBytes);
    }

    for (const std::string& name : g_soundNames) WriteLine(ar, name);
    for (int p = 0; p < kSoundParams; ++p) {
        uint8_t values[kBankBytesPerParam];
        for (uint32_t s = 0; s < kBankBytesPerParam; ++s) values[s] = RelaxedLoad(g_soundBank[p][s]);
        WritePacked(ar, values, kBankBytesPerParam);
    }

    const uint32_t sampleCount = g_sampleCount;
    if (sampleCount != 0) {
        for (uint32_t i = 0; i < kSplitTableBytes; ++i) {
            g_splitBytes[i] = static_cast<uint8_t>(RelaxedLoad(g_splitSample[i]));
        }
        WritePacked(ar, g_splitBytes, kSplitTableBytes);
        for (uint32_t i = 0; i < kSplitTableBytes; ++i) {
            g_splitBytes[i] = static_cast<uint8_t>(RelaxedLoad(g_splitTranspose[i]));
        }
        WritePacked(ar, g_splitBytes, kSplitTableBytes);
        WriteSampleRecords(ar, sampleCount);
    }

    std::vector<uint8_t> half(kLaneHalfBytes);
    for (int k = 0; k < kAutomationKnobs; ++k) {
        for (uint32_t h = 0; h < 2; ++h) {
            for (uint32_t i = 0; i < kLaneHalfBytes; ++i) half[i] = RelaxedLoad(g_tweakLaneData[k][h * kLaneHalfBytes + i]);
            WritePacked(ar, half.data(), kLaneHalfBytes);
        }
    }

    ar << g_showInfoOnOpen;
    WriteLine(ar, g_songTitle);
    WriteLine(ar, g_songAuthor);
    ar.WriteString(g_songComment);
    ar.Close();
}

bool LoadSong(CArchive& ar) {
    WaitCursor cursor;
    auto img = std::make_unique<SongImage>();
    std::fill_n(img->order, kOrderPositions, uint8_t{0});
    std::fill_n(img->jump, kOrderPositions, uint8_t{0});

    ReadResult result;
    try {
        result = ReadImage(ar, *img);
    } catch (const CArchiveException&) {
        result = ReadResult::kRefused;  // the file ended inside a number
    }
    if (result != ReadResult::kOk) {
        img.reset();  // what was staged goes before the message
        cursor.Restore();
        switch (result) {
            case ReadResult::kSampleMemory: AfxMessageBox(kSampleMemory, MB_OK | MB_ICONSTOP); break;
            case ReadResult::kPatternMemory: AfxMessageBox(kPatternMemory, MB_OK | MB_ICONSTOP); break;
            default: AfxMessageBox(kRefusal, MB_OK | MB_ICONEXCLAMATION); break;
        }
        ar.Close();
        return false;
    }

    {
        // The engine sees the old song or the new one, never a mixture.
        RenderLockGuard lock;
        CommitImage(*img);
        AfterLoad();
    }
    img.reset();
    if (g_startingUp == 0 && g_automationOn != 0 && g_soundModuleMode == 0) Ui().OpenAutomationPanel();
    ar.Close();
    return true;
}

bool SerializeSong(CArchive& ar) {
    if (ar.IsStoring()) {
        StoreSong(ar);
        return true;
    }
    return LoadSong(ar);
}
