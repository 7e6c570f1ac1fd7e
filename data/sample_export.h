// A single sample out of the store and wave data into it: the sample's WAV
// file written through the write seam (shared/file_io.h), and the naming rules
// of a paste from the wave clipboard.
//
// The file holds BuildSampleWave's image (data/wave_file.h), written as four
// pieces: the 44-byte header, the frames, the "smpl" chunk when the sample
// loops, the LIST chunk. A file that cannot be created gives "Cannot create
// file!"; a failed write gives "Disk Full!" when the disk is full, otherwise
// "Export failed due to a file error." for the header and "Export failed due
// to file error." for the later pieces (and the close); the file is then
// abandoned with what was written so far.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes sample s (below g_sampleCount) to path; false after a message.
bool ExportSampleWave(uint32_t s, const std::string& path);

// The pieces of an image as they are written: header, frames, "smpl" chunk
// (empty without a loop), LIST chunk; as byte counts.
std::vector<uint32_t> SampleWavePieces(const std::vector<uint8_t>& image);

// A name typed into the sample-name dialog: ".wav" appended unless it ends in
// ".wav" (case-sensitive).
std::string NameOfTypedSampleName(const std::string& typed);
// The name a paste loads under: cut before the first "-L" with ".wav"
// appended, then likewise before the first "-R" (the loader adds "-L.wav" or
// "-R.wav" again for stereo data). Empty stays empty.
std::string PasteLoadName(const std::string& name);
