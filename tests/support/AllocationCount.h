#pragma once

#include <atomic>

// Heap allocations made so far by the whole program (AllocationCount.cpp replaces operator new),
// so that a benchmark or a test can show that a render or a tick makes none.
extern std::atomic<long> g_allocations;
