// Counts every heap allocation of the process, the loaded module's included:
// a test that names heap_allocations links the replaced operator new.
#pragma once

#include <atomic>

extern std::atomic<long> heap_allocations;
