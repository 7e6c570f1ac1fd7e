// The instrument file: one sound with its name, its parameters and every sample
// and key-split set it plays, to carry it from one song to another.
//
// Layout (little-endian): "MCIns1" CR LF; the name's length N (one byte) and its
// N bytes; parameters 0..54 in bank order; the sample references of
// oscillators 1..3 as file sample numbers and their split references as file
// split-set numbers (255 = none); the number of sample records n and of
// split-set records m (0 when n is 0); n sample records (length, root key, loop
// point as 4 bytes each, the name's length K as one byte, its K bytes, length x 2
// bytes of PCM); m split-set records (128 file sample numbers, 128 transposes
// plus 128).
//
// The view's commands run: Save sound = (store the live knobs when "Store
// automatically" is on) file dialog, SaveInstrumentFile; Load sound = (release
// the preview note, store the live knobs when "Store automatically" is on)
// ConfirmReplaceCurrentSound, file dialog, LoadInstrumentFile.
#pragma once

#include <cstdint>
#include <string>

class CFile;

// Asks "This sound is already being used. Replace it?" when the current sound
// has a name other than "NOT USED"; true when the load may go on.
bool ConfirmReplaceCurrentSound();

// Writes sound to a new file at path. Messages: "Failed to create file!" when it
// cannot be created, "File or disk error!" when a write fails (the file is then
// abandoned). True when written.
bool SaveInstrumentFile(const std::string& path, uint32_t sound);
// The writing on a file already created; raises CFileException.
void WriteInstrument(CFile& file, uint32_t sound);

// Reads the file at path into the current sound: its name and parameters 0..53
// (the sound keeps its mixer channel), its samples added to the store (a sample
// equal in name, length, root key and loop point to a loaded one is reused; one
// equal in name only is renamed "-2.wav" ... "-9.wav"), its split sets placed
// in the first free sets. Sets g_docModified. A file that cannot be opened, is
// not an instrument file, is damaged or truncated, needs more samples than the
// store holds or more memory than there is, is refused after its message, and
// the sound, the store and the split sets are left as they were; the live knobs
// are loaded from the current sound in every case but the refusals of a file
// that was opened. True when loaded.
bool LoadInstrumentFile(const std::string& path);
// The same on a file already open.
bool LoadInstrumentFrom(CFile& file);
