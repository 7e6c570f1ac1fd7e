// The test program's global operator new counts every allocation.
#pragma once

// Allocations made through operator new since the program started.
long AllocationCount();
