#include "shared/master_state.h"

MasterState g_masterState{};
