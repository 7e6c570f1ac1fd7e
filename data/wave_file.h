// WAV files: loading one as a sample of the store, and the layouts the system
// writes (single samples with their loop and name, and the stereo output of the
// song export and the capture).
//
// Read: the first 255 bytes (the head) and the last 255 bytes (the tail) are
// looked at in the canonical layout: "WAVE" at 8, format tag at 20 (1 = PCM),
// channels at 22 (2 = stereo, else mono), rate at 24 (low 16 bits), bits at 34
// (16); the last "data" tag among head offsets 0..247 gives the data (its size
// follows the tag, the frames start 8 bytes after it); the last "smpl" tag with
// size 60 among tail offsets 0..195 gives a loop (start and end 52 and 56 bytes
// after the tag). Rates give root keys: 44,100 and 48,000 Hz key 48, 22,050 and
// 24,000 key 36, 11,025 and 12,000 key 24.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/relaxed.h"

class CFile;

// The slot the next load writes: g_sampleCount to append, or the slot to
// replace. After a successful load, the slot that was written.
extern Relaxed<int32_t> g_sampleLoadSlot;
// Set when the last load went into an existing slot (a reload or a replace).
extern Relaxed<uint8_t> g_sampleReloaded;

// The longest sample a WAV file may give (a loop end in a "smpl" chunk sets the
// length and may lie beyond the data, which is then padded with zeros): 2^26
// frames, 128 MB. Longer is refused like a failed allocation.
inline constexpr uint32_t kMaxWaveFrames = 1u << 26;

inline constexpr uint32_t kWaveHeaderBytes = 44;
inline constexpr uint32_t kSmplChunkBytes = 68;
inline constexpr uint32_t kMaxInfoNameChars = 64;

// Loads the WAV file at path into slot g_sampleLoadSlot, named after name ("-L.wav"
// or "-R.wav" in place of the extension for a channel of a stereo file). With
// replace the slot's sample is overwritten; otherwise the sample is appended,
// unless the user chooses to reload a sample of the same name. Returns true when
// a sample was loaded; false after a message or when the user declined the
// reload, with the store as it was. Sets g_docModified.
bool LoadWaveSample(const std::string& path, const std::string& name, bool replace);
// The same on a file already open (the path's open failure is the one thing
// left out).
bool LoadWaveSampleFrom(CFile& file, const std::string& name, bool replace);

// The sample rate a root key stands for when a sample is written: key 24 11,025,
// key 36 22,050, any other key 44,100 Hz.
uint32_t SampleRateOfRootKey(uint32_t rootKey);

// The 44-byte canonical header.
std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(uint16_t channels, uint32_t rate, uint32_t dataBytes,
                                                     uint32_t riffSize);
// The header of the song export and the capture: stereo, 44,100 Hz, 16 bits.
std::array<uint8_t, kWaveHeaderBytes> StereoWaveHeader(uint32_t dataBytes);

// The whole file of sample s: the header (mono, 16 bits, the rate of its root
// key), its frames, a "smpl" loop chunk when its loop point is not its length,
// and a LIST/INFO chunk with the comment "Exported by Morvel Canopy(tm)" and the
// first 64 characters of its name.
std::vector<uint8_t> BuildSampleWave(uint32_t s);
