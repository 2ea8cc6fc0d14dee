// The platform of programs without a window: the capture tool, the tests and
// the benchmarks. Nothing waits, and a warning goes to standard error.
#include <cstdio>

#include "app/platform.h"

void PlatformSleep(uint32_t) {}

// The text alone, once: it already says what kind of message it is.
void PlatformShowWarning(const char*, const char* text)
{
    std::fprintf(stderr, "%s\n", text);
}
