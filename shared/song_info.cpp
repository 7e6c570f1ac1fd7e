#include "shared/song_info.h"

std::string g_songTitle = "Untitled";
std::string g_songAuthor = "N/A";
std::string g_songComment = "N/A";
uint8_t g_showInfoOnOpen = 0;
uint32_t g_songHeaderWords[2] = {0, 0};
