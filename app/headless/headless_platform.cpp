// The platform of programs without a window: the capture tool, the tests and
// the benchmarks. Nothing waits, and a warning goes to standard error.
#include <cstdio>

#include "app/platform.h"

void PlatformSleep(uint32_t) {}

void PlatformShowWarning(const char* caption, const char* text)
{
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
