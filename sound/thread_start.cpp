#include "sound/thread_start.h"

namespace {

struct ThreadStart {
    uint32_t (*entry)(void*);
    void* parameter;
};

ThreadStart Start;

}   // namespace

void* PrepareThreadStart(uint32_t (*entry)(void*), void* parameter)
{
    Start = {entry, parameter};
    return &Start;
}

uint32_t RunThreadStart(void* start)
{
    const ThreadStart* s = static_cast<const ThreadStart*>(start);
    return s->entry(s->parameter);
}
