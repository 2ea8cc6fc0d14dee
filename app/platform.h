// What the portable shell needs from the platform it runs on. Each front end
// (Win32, SDL2, the capture tool, the tests) supplies these.
#pragma once

#include <cstdint>

// Suspends the calling thread for about `milliseconds`.
void PlatformSleep(uint32_t milliseconds);

// Shows a modal warning with an OK button and waits until it is dismissed.
void PlatformShowWarning(const char* caption, const char* text);
