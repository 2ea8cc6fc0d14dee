// The sound thread's entry has a platform-neutral signature; each platform's
// thread function has its own. The device's thread function calls
// RunThreadStart with the record PrepareThreadStart returned. There is one
// sound thread per process, so one record.
#pragma once

#include <cstdint>

void* PrepareThreadStart(uint32_t (*entry)(void*), void* parameter);
uint32_t RunThreadStart(void* start);
