#include "shared/render_lock.h"

std::mutex g_renderLock;
