#include "data/instrument_file.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "data/byte_order.h"
#include "data/sample_store.h"
#include "data/sound_bank_ops.h"
#include "data/ui_hooks.h"
#include "data/value_limits.h"
#include "shared/constants.h"
#include "shared/editor.h"
#include "shared/file_io.h"
#include "shared/message_box.h"
#include "shared/samples.h"
#include "shared/sound_bank.h"

namespace {

constexpr char kMagic[8] = {'M', 'C', 'I', 'n', 's', '1', '\r', '\n'};
constexpr char kNotInstrument[] = "Not supported instrument file format!";
constexpr char kFileError[] = "File or disk error!";
constexpr char kNoMoreSamples[] = "Cannot load more samples!";
constexpr char kSampleMemory[] = "Failed to allocate memory for loading sample!";

constexpr int kFileParams = 55;      // parameters 0..54 are in the file
constexpr int kLoadedParams = 54;    // parameters 0..53 are loaded; the sound keeps its channel
constexpr uint8_t kNone = 255;
constexpr uint32_t kMaxNameBytes = 255;  // a name's length is one byte
constexpr uint32_t kMaxLoadedSampleLength = 0x7FFFFFFE;

constexpr SoundParam kWaveParam[3] = {kParamOsc1Wave, kParamOsc2Wave, kParamOsc3Wave};
constexpr SoundParam kSampleParam[3] = {kParamOsc1Sample, kParamOsc2Sample, kParamOsc3Sample};
constexpr SoundParam kSplitParam[3] = {kParamOsc1SplitSet, kParamOsc2SplitSet, kParamOsc3SplitSet};
constexpr uint8_t kSampleWave = 6;

uint8_t Bank(int p, uint32_t sound) { return RelaxedLoad(g_soundBank[p][sound]); }
int32_t SplitSampleEntry(uint32_t set, uint32_t key) { return RelaxedLoad(g_splitSample[set * kSplitKeys + key]); }

// The place of v in list, or 255.
uint8_t FileNumber(const std::vector<uint32_t>& list, uint32_t v) {
    const auto it = std::find(list.begin(), list.end(), v);
    return it == list.end() ? kNone : static_cast<uint8_t>(it - list.begin());
}

void WriteBytes(CFile& file, const void* data, size_t n) { file.Write(data, static_cast<uint32_t>(n)); }
void WriteU32(CFile& file, uint32_t v) {
    uint8_t b[4];
    PutU32(b, v);
    file.Write(b, 4);
}

// A name as the file stores it: one length byte and at most 255 bytes.
void WriteName(CFile& file, const std::string& name) {
    const uint8_t n = static_cast<uint8_t>(std::min<size_t>(name.size(), kMaxNameBytes));
    file.Write(&n, 1);
    WriteBytes(file, name.data(), n);
}

// ---------------------------------------------------------------------------
// Reading

// Reads from the file, counting what is left; a read beyond the end marks the
// file truncated.
class Reader {
public:
    explicit Reader(CFile& file) : file_(file) {
        const uint64_t length = file.GetLength();
        const uint64_t pos = file.GetPosition();
        left_ = length > pos ? length - pos : 0;
    }
    bool Bytes(void* out, uint32_t n) {
        if (n > left_) return false;
        if (file_.Read(out, n) != n) return false;
        left_ -= n;
        return true;
    }
    bool Byte(uint8_t& v) { return Bytes(&v, 1); }
    bool U32(uint32_t& v) {
        uint8_t b[4];
        if (!Bytes(b, 4)) return false;
        v = GetU32(b);
        return true;
    }
    bool Name(std::string& s) {
        uint8_t n;
        if (!Byte(n)) return false;
        char buf[kMaxNameBytes];
        if (!Bytes(buf, n)) return false;
        s.assign(buf, std::find(buf, buf + n, '\0'));
        return true;
    }
    bool Skip(uint64_t n) {
        if (n > left_) return false;
        file_.Seek(static_cast<int64_t>(n), CFile::current);
        left_ -= n;
        return true;
    }
    uint64_t Left() const { return left_; }

private:
    CFile& file_;
    uint64_t left_;
};

// The name a sample takes when a different sample of its name is loaded: the
// text before the first "." ending in -2 .. -8 counts on by one, any other gets
// "-2"; then ".wav".
std::string NextSampleName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    const size_t n = stem.size();
    if (n >= 2 && stem[n - 2] == '-' && stem[n - 1] >= '2' && stem[n - 1] <= '8') {
        stem[n - 1] = static_cast<char>(stem[n - 1] + 1);
        return stem + ".wav";
    }
    return stem + "-2.wav";
}

struct SplitPlacement {
    bool placed = false;
    uint32_t set = 0;
    int32_t sample[kSplitKeys];
    int32_t transpose[kSplitKeys];
};

struct InstrumentImage {
    std::string name;
    uint8_t params[kFileParams];
    uint8_t sampleRefs[3];
    uint8_t splitRefs[3];
    uint32_t n = 0, m = 0;
    std::vector<LoadedSample> added;   // the samples new to the store, in order
    std::vector<uint32_t> storeNumber;  // file sample number -> store number
    std::vector<SplitPlacement> splits;
};

enum class LoadError { kNone, kNotInstrument, kNoMoreSamples, kSampleMemory };

LoadError ReadImage(Reader& r, InstrumentImage& img) {
    char magic[8];
    if (!r.Bytes(magic, 8) || std::memcmp(magic, kMagic, 8) != 0) return LoadError::kNotInstrument;
    uint8_t counts[2];
    if (!r.Name(img.name) || !r.Bytes(img.params, kFileParams) || !r.Bytes(img.sampleRefs, 3) ||
        !r.Bytes(img.splitRefs, 3) || !r.Bytes(counts, 2)) {
        return LoadError::kNotInstrument;
    }
    img.n = counts[0];
    img.m = counts[1];
    if (img.n == 0) return LoadError::kNone;

    const uint32_t before = g_sampleCount;  // C
    for (uint32_t i = 0; i < img.n; ++i) {
        if (before + img.added.size() > kMaxSamples - 1) return LoadError::kNoMoreSamples;
        uint32_t length, rootKey, loopPoint;
        std::string name;
        if (!r.U32(length) || !r.U32(rootKey) || !r.U32(loopPoint) || !r.Name(name)) return LoadError::kNotInstrument;
        if (length > kMaxLoadedSampleLength || uint64_t{2} * length > r.Left()) return LoadError::kNotInstrument;
        const uint32_t key = std::min(rootKey, kMaxRootKey);
        const uint32_t loop = std::min(loopPoint, length);

        // The loaded samples of this name: the same sample again, or another one
        // under a new name.
        int duplicate = -1;
        for (uint32_t j = 0; j < before; ++j) {
            if (g_sampleName[j] != name) continue;
            if (g_sampleLength[j] == length && g_sampleRootKey[j] == key && g_sampleLoopPoint[j] == loop) {
                duplicate = static_cast<int>(j);
                break;
            }
            name = NextSampleName(name);
        }
        if (duplicate >= 0) {
            img.storeNumber.push_back(static_cast<uint32_t>(duplicate));
            if (!r.Skip(uint64_t{2} * length)) return LoadError::kNotInstrument;
            continue;
        }

        LoadedSample sample;
        sample.block = SampleBlock::Allocate(length);
        if (!sample.block) return LoadError::kSampleMemory;
        int16_t* frames = sample.block.data();
        if (!r.Bytes(frames, 2 * length)) return LoadError::kNotInstrument;
        FramesFromFileOrder(frames, length);
        if (length != 0) frames[length - 1] = 0;
        sample.loopPoint = loop;
        sample.rootKey = key;
        sample.name = std::move(name);
        img.storeNumber.push_back(before + static_cast<uint32_t>(img.added.size()));
        img.added.push_back(std::move(sample));
    }

    // Split sets go to the first free set F and the sets after it, each only
    // into a set that is free (every key without a sample) and exists.
    if (img.m == 0) return LoadError::kNone;
    int first = -1;
    const auto isFree = [](uint32_t set) {
        for (uint32_t k = 0; k < kSplitKeys; ++k) {
            if (SplitSampleEntry(set, k) != kNoSample) return false;
        }
        return true;
    };
    for (uint32_t set = 0; set < kSplitSets && first < 0; ++set) {
        if (isFree(set)) first = static_cast<int>(set);
    }
    img.splits.resize(img.m);
    for (uint32_t i = 0; i < img.m; ++i) {
        uint8_t keys[kSplitKeys], transposes[kSplitKeys];
        if (!r.Bytes(keys, kSplitKeys) || !r.Bytes(transposes, kSplitKeys)) return LoadError::kNotInstrument;
        SplitPlacement& split = img.splits[i];
        const uint32_t set = static_cast<uint32_t>(first) + i;
        split.placed = first >= 0 && set < static_cast<uint32_t>(kSplitSets) && isFree(set);
        split.set = set;
        for (uint32_t k = 0; k < kSplitKeys; ++k) {
            const uint8_t f = keys[k];
            split.sample[k] = f < img.n ? static_cast<int32_t>(img.storeNumber[f]) : kNoSample;
            split.transpose[k] = static_cast<int32_t>(transposes[k]) - 128;
        }
    }
    return LoadError::kNone;
}

void CommitImage(InstrumentImage& img, uint32_t sound) {
    const uint32_t before = g_sampleCount;
    const uint32_t addedCount = static_cast<uint32_t>(img.added.size());
    InstallSamples(before, img.added);

    for (const SplitPlacement& split : img.splits) {
        if (!split.placed) continue;
        for (uint32_t k = 0; k < kSplitKeys; ++k) {
            RelaxedStore(g_splitSample[split.set * kSplitKeys + k], split.sample[k]);
            RelaxedStore(g_splitTranspose[split.set * kSplitKeys + k], split.transpose[k]);
        }
    }

    g_soundNames[sound] = img.name;
    for (int p = 0; p < kLoadedParams; ++p) {
        RelaxedStore(g_soundBank[p][sound], ClampSoundParam(p, img.params[p]));
    }
    for (int osc = 0; osc < 3; ++osc) {
        const uint8_t f = img.sampleRefs[osc];
        const uint8_t sample = f < img.n ? static_cast<uint8_t>(img.storeNumber[f]) : kNone;
        const uint8_t r = img.splitRefs[osc];
        const uint8_t set = (img.n != 0 && r < img.m && img.splits[r].placed) ? static_cast<uint8_t>(img.splits[r].set + 1)
                                                                           : 0;
        RelaxedStore(g_soundBank[kSampleParam[osc]][sound], sample);
        RelaxedStore(g_soundBank[kSplitParam[osc]][sound], set);
    }
    g_sampleCount = before + addedCount;
}

}  // namespace

bool ConfirmReplaceCurrentSound() {
    const uint32_t sound = g_curSound;
    if (sound < static_cast<uint32_t>(kSounds) && g_soundNames[sound] == kUnusedSoundName) return true;
    return AfxMessageBox("This sound is already being used. Replace it?", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void WriteInstrument(CFile& file, uint32_t sound) {
    const uint32_t count = g_sampleCount;
    const auto playsSamples = [sound](int osc) { return Bank(kWaveParam[osc], sound) == kSampleWave; };
    const auto splitSet = [sound](int osc) -> uint32_t {
        const uint8_t s = Bank(kSplitParam[osc], sound);
        return s <= kSplitSets ? s : 0;
    };

    // The samples: direct references first, then the split sets' samples in key
    // order; only loaded samples, each once.
    std::vector<uint32_t> samples;
    const auto addSample = [&samples, count](int32_t s) {
        if (s < 0 || static_cast<uint32_t>(s) >= count || s == kNoSample) return;
        if (std::find(samples.begin(), samples.end(), static_cast<uint32_t>(s)) == samples.end())
            samples.push_back(static_cast<uint32_t>(s));
    };
    for (int osc = 0; osc < 3; ++osc) {
        if (playsSamples(osc) && splitSet(osc) == 0) addSample(Bank(kSampleParam[osc], sound));
    }
    std::vector<uint32_t> splits;
    for (int osc = 0; osc < 3; ++osc) {
        const uint32_t set = splitSet(osc);
        if (!playsSamples(osc) || set == 0) continue;
        for (uint32_t k = 0; k < kSplitKeys; ++k) addSample(SplitSampleEntry(set - 1, k));
        if (std::find(splits.begin(), splits.end(), set) == splits.end()) splits.push_back(set);
    }
    if (samples.empty()) splits.clear();

    WriteBytes(file, kMagic, 8);
    WriteName(file, g_soundNames[sound]);
    uint8_t params[kFileParams];
    for (int p = 0; p < kFileParams; ++p) params[p] = Bank(p, sound);
    WriteBytes(file, params, kFileParams);
    uint8_t refs[8];
    for (int osc = 0; osc < 3; ++osc) {
        refs[osc] = FileNumber(samples, Bank(kSampleParam[osc], sound));
        refs[3 + osc] = FileNumber(splits, Bank(kSplitParam[osc], sound));
    }
    refs[6] = static_cast<uint8_t>(samples.size());
    refs[7] = static_cast<uint8_t>(splits.size());
    WriteBytes(file, refs, 8);

    std::vector<uint8_t> pcm;
    for (uint32_t s : samples) {
        const uint32_t length = g_sampleLength[s];
        WriteU32(file, length);
        WriteU32(file, g_sampleRootKey[s]);
        WriteU32(file, g_sampleLoopPoint[s]);
        WriteName(file, g_sampleName[s]);
        pcm.resize(2 * static_cast<size_t>(length));
        FramesToFileOrder(g_sampleData[s].load(), pcm.data(), length);
        WriteBytes(file, pcm.data(), pcm.size());
    }
    for (uint32_t set : splits) {
        uint8_t record[2 * kSplitKeys];
        for (uint32_t k = 0; k < kSplitKeys; ++k) {
            const int32_t e = SplitSampleEntry(set - 1, k);
            record[k] = e < 0 || e == kNoSample ? kNone : FileNumber(samples, static_cast<uint32_t>(e));
            record[kSplitKeys + k] =
                static_cast<uint8_t>(RelaxedLoad(g_splitTranspose[(set - 1) * kSplitKeys + k]) + 128);
        }
        WriteBytes(file, record, sizeof(record));
    }
}

bool SaveInstrumentFile(const std::string& path, uint32_t sound) {
    if (sound >= static_cast<uint32_t>(kSounds)) return false;
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        AfxMessageBox("Failed to create file!");
        return false;
    }
    WaitCursor cursor;
    try {
        WriteInstrument(file, sound);
        file.Close();
    } catch (const CFileException&) {
        file.Abort();
        cursor.Restore();
        AfxMessageBox(kFileError);
        return false;
    }
    return true;
}

bool LoadInstrumentFile(const std::string& path) {
    g_docModified = 1;
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        AfxMessageBox("Failed to open file!");
        LoadSoundToKnobs(g_curSound);
        return false;
    }
    return LoadInstrumentFrom(file);
}

bool LoadInstrumentFrom(CFile& file) {
    g_docModified = 1;
    const uint32_t sound = g_curSound;
    if (sound >= static_cast<uint32_t>(kSounds)) return false;
    WaitCursor cursor;

    InstrumentImage img;
    LoadError error;
    try {
        Reader reader(file);
        error = ReadImage(reader, img);
    } catch (const CFileException&) {
        file.Abort();
        img = InstrumentImage();
        cursor.Restore();
        AfxMessageBox(kFileError);
        return false;
    }
    file.Abort();  // closed on every path; nothing was written
    if (error != LoadError::kNone) {
        img = InstrumentImage();
        cursor.Restore();
        switch (error) {
            case LoadError::kNoMoreSamples: AfxMessageBox(kNoMoreSamples); break;
            case LoadError::kSampleMemory: AfxMessageBox(kSampleMemory, MB_OK | MB_ICONSTOP); break;
            default: AfxMessageBox(kNotInstrument); break;
        }
        return false;
    }

    CommitImage(img, sound);
    LoadSoundToKnobs(sound);
    return true;
}
