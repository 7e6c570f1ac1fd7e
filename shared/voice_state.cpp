#include "shared/voice_state.h"

VoiceState g_voiceState[kVoices]{};
