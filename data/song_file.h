// The song file: one whole song in one file, read and written through an
// archive (the document's serialize calls SerializeSong).
//
// Layout, all numbers little-endian, a word 4 bytes:
//   0    "MCFmt1" CR LF
//   8    random word (written new at every save, never read back)
//   12   header words 1 and 2 (kept from the last song loaded)
//   20   tempo shown on the panel; 24 rows per pattern
//   28   the fourteen effect words (types of units 1..3, serial flag, serial
//        amount, sliders 1..3 of units 1, 2, 3)
//   84   volume of buses 1..8; 116 master volume; 120 pan of buses 1..8;
//   152  send 1 of buses 1..8; 184 send 2 of buses 1..8
//   216  volume overrides of buses 1..8 (the master's is not stored)
//   248  song mode; 252 pattern cue; 256 pattern count P; 260 sample count S
//   264  automation on; 268, 308, 348 enabled flag, sound and target of
//        automation knobs 0..9
//   388  sound of MIDI channels 1..16; 452 voices of MIDI channels 1..16
//   516  double steps per beat
//   520  order length N, N positions, N jump/transpose bytes; P packed patterns
//        (rows x 128 bytes each); 100 sound names as text lines; 61 packed bank
//        arrays of 100 bytes in bank order; when S is not 0 the packed split
//        sample and split transpose tables (4,096 bytes each, one byte per key,
//        set-major) and S sample records (name line, length, root key, loop
//        point, length x 2 bytes of PCM); ten lanes as two packed halves of
//        25,472 bytes; the show-information byte; the title and author lines;
//        the comment up to the end of the file.
// A text line is the characters followed by CR LF. Packed blocks use the
// run-length code of data/run_length.h.
#pragma once

#include <cstdint>

#include "shared/relaxed.h"

class CArchive;

inline constexpr uint32_t kSongFixedBytes = 520;
inline constexpr uint32_t kLaneHalfBytes = 25472;
inline constexpr uint32_t kSplitTableBytes = 4096;

// The split tables pass through this table of one byte per key on writing.
extern uint8_t g_splitBytes[kSplitTableBytes];

// Voices the loaded song uses: the highest track with a note (plus one) over all
// patterns, or the voices the MIDI channel map reserves when that is more.
extern Relaxed<uint32_t> g_songVoices;

// Writes the whole song. Write errors raise CFileException (the framework
// reports them). Ends by closing the archive.
void StoreSong(CArchive& ar);

// Reads a song file and, when it is sound, replaces the song with it and runs
// the post-load steps (sound 1 on the panel, effect memory cleared, cursor at
// the start, voice count, steps per beat, the automation panel). A file that is
// not a song file, is damaged or truncated, or whose samples cannot be held is
// refused after its message, and the song in memory is left exactly as it was:
// the result is then false. Values outside their ranges are clamped on load.
// An error of the file itself raises CFileException, also with the song
// untouched. Ends by closing the archive.
bool LoadSong(CArchive& ar);

// StoreSong or LoadSong by the archive's direction; true when stored or loaded.
bool SerializeSong(CArchive& ar);
