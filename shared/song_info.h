// The song information shown in its dialog and kept in the song file, and the two
// header words the song file carries over from the last song loaded.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int kSongCommentChars = 512;  // a loaded comment keeps at most this many

extern std::string g_songTitle;      // "Untitled" for a new song
extern std::string g_songAuthor;     // "N/A"
extern std::string g_songComment;    // "N/A"
extern uint8_t g_showInfoOnOpen;     // 1 = show the information when the song is opened
extern uint32_t g_songHeaderWords[2];  // from the last song file loaded; 0 for a new song

// Set by the song reader after a song was read: the view's first paint after
// the load then runs its post-load checks and clears it.
