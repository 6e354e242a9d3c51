#pragma once

#include <atomic>

// Heap allocations made so far by the whole program (allocation_count.cpp replaces operator new),
// so that a benchmark can show that a render or a tick makes none.
extern std::atomic<long> g_allocations;
