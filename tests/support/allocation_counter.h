// Counts heap allocations made through operator new anywhere in the test
// program, so a test can show that a stretch of work allocates nothing.
#pragma once

#include <cstdint>

uint64_t AllocationCount();
