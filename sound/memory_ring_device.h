// The ring operations of every device whose output takes samples through a
// callback of its own (SDL2, Web Audio, the tests' scripted device): the
// play position, lock and unlock over the device's MemoryRingBuffer, and a
// recover that has nothing to do, since a ring in memory can't be lost. Such
// a device supplies open, its thread and its close, and a buffer whose
// `ring` its output plays.
#pragma once

#include "sound/memory_ring.h"
#include "sound/sound_device.h"

struct MemoryRingBuffer {
    MemoryRing ring;
    // Where an output reads a burst ahead of its cursor: a stretch whose
    // write may reach what it is taking (ReachesCursor) is written with the
    // output held off, `holdOutput(buffer, true)` at the lock and `false` at
    // the unlock. Null where output and refill never run at once.
    void (*holdOutput)(MemoryRingBuffer& buffer, bool hold);
    uint32_t burstBytes;
    bool held;
    // The ring's count of bytes played when the server last looked.
    uint32_t playedAtLook;
};

// The device's SoundBuffer is its MemoryRingBuffer.
inline SoundBuffer* AsSoundBuffer(MemoryRingBuffer& buffer)
{
    return reinterpret_cast<SoundBuffer*>(&buffer);
}
inline MemoryRingBuffer& AsMemoryRingBuffer(SoundBuffer* buffer)
{
    return *reinterpret_cast<MemoryRingBuffer*>(buffer);
}

// Opens `buffer`'s ring (silent, cursor at 0) for `ringBytes`.
int OpenMemoryRingBuffer(MemoryRingBuffer& buffer, uint32_t ringBytes);

int MemoryRingPlayPosition(SoundBuffer* ring, PlayPosition* position);
int MemoryRingLock(SoundBuffer* ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                   uint32_t* size2);
int MemoryRingUnlock(SoundBuffer* ring, void* region1, uint32_t size1, void* region2, uint32_t size2);
int MemoryRingRecover(SoundBuffer* ring);

// A device record of the four ring operations above and the device's own.
constexpr SoundDeviceOps MemoryRingDevice(decltype(SoundDeviceOps::open) open,
                                          decltype(SoundDeviceOps::startThread) startThread,
                                          decltype(SoundDeviceOps::threadSleep) threadSleep,
                                          decltype(SoundDeviceOps::fadeOut) fadeOut,
                                          decltype(SoundDeviceOps::waitForThread) waitForThread,
                                          decltype(SoundDeviceOps::close) close,
                                          decltype(SoundDeviceOps::setMuted) setMuted = nullptr)
{
    return {
        open,    MemoryRingPlayPosition, MemoryRingLock, MemoryRingUnlock, MemoryRingRecover, startThread, threadSleep,
        fadeOut, waitForThread,          close,          setMuted};
}
