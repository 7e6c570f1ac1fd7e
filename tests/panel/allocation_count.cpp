// The panel test program counts its allocations as the engine tests do.
#include "tests/engine/allocation_count.cpp"
