#include "shared/channel_map.h"

Relaxed<int32_t> g_channelSound[kMidiChannels];
Relaxed<int32_t> g_channelPolyphony[kMidiChannels];
