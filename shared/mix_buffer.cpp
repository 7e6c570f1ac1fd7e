#include "shared/mix_buffer.h"

MixBusBuffer g_mixBuffer{};
