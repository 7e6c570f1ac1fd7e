// The host test program counts its allocations with the engine tests' counter.
#include "tests/engine/allocation_count.cpp"  // NOLINT(bugprone-suspicious-include)
