#include "sound/memory_ring_device.h"

int OpenMemoryRingBuffer(MemoryRingBuffer& buffer, uint32_t ringBytes)
{
    buffer.held = false;
    buffer.playedAtLook = 0;
    return OpenMemoryRing(buffer.ring, ringBytes);
}

int MemoryRingPlayPosition(SoundBuffer* ring, PlayPosition* position)
{
    MemoryRingBuffer& buffer = AsMemoryRingBuffer(ring);
    GetMemoryRingPosition(buffer.ring, position);
    buffer.playedAtLook = position->played;
    return 0;
}

int MemoryRingLock(SoundBuffer* ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                   uint32_t* size2)
{
    MemoryRingBuffer& buffer = AsMemoryRingBuffer(ring);
    if (LockMemoryRing(buffer.ring, offset, bytes, region1, size1, region2, size2) != 0) return -1;
    if (buffer.holdOutput && ReachesCursor(buffer.ring, bytes, buffer.burstBytes)) {
        buffer.holdOutput(buffer, true);
        buffer.held = true;
    }
    return 0;
}

int MemoryRingUnlock(SoundBuffer* ring, void*, uint32_t, void*, uint32_t)
{
    MemoryRingBuffer& buffer = AsMemoryRingBuffer(ring);
    UnlockMemoryRing(buffer.ring);
    if (buffer.held) buffer.holdOutput(buffer, false);
    buffer.held = false;
    return 0;
}

int MemoryRingRecover(SoundBuffer*)
{
    return 0;
}
