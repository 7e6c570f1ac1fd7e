#include "shared/events.h"

VoiceEventQueue g_voiceEvents{};
