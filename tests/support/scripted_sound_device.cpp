#include "support/scripted_sound_device.h"

#include "sound/memory_ring_device.h"

ScriptedDevice Scripted;

struct SoundDevice {};
struct SoundBuffer {};

namespace {

SoundDevice Device;
SoundBuffer Primary;
MemoryRingBuffer Ring;

int Open(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer** primary, SoundBuffer** ring)
{
    if (Scripted.failCreate) return -1;
    *device = &Device;
    *primary = &Primary;
    if (Scripted.failRingBuffer || OpenMemoryRingBuffer(Ring, ringBytes) != 0) return -1;
    *ring = AsSoundBuffer(Ring);
    ++Scripted.plays;
    return 0;
}

// The scripted cursors and failures first; then the ring's own cursor.
int GetPlayPosition(SoundBuffer* ring, PlayPosition* position)
{
    const size_t query = Scripted.cursorQueries++;
    if (query < Scripted.cursorFails.size() && Scripted.cursorFails[query]) return -1;
    if (query < Scripted.cursors.size()) {
        *position = {Scripted.cursors[query], false, 0};
        return 0;
    }
    MemoryRingPlayPosition(ring, position);
    if (!Scripted.countsPlayed) position->counted = false;
    return 0;
}

int Lock(SoundBuffer* ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
         uint32_t* size2)
{
    ++Scripted.locks;
    if (Scripted.failingLocks > 0) {
        --Scripted.failingLocks;
        return -1;
    }
    return MemoryRingLock(ring, offset, bytes, region1, size1, region2, size2);
}

int Unlock(SoundBuffer* ring, void* region1, uint32_t size1, void* region2, uint32_t size2)
{
    ++Scripted.unlocks;
    return MemoryRingUnlock(ring, region1, size1, region2, size2);
}

int Recover(SoundBuffer*)
{
    ++Scripted.recovers;
    ++Scripted.plays;
    return 0;
}

SoundThread* StartThread(SoundServer*)
{
    // The tests drive Refill themselves.
    Scripted.threadStarted = true;
    return reinterpret_cast<SoundThread*>(&Scripted);
}

void ThreadSleep(uint32_t) {}

void FadeOut(SoundBuffer*)
{
    ++Scripted.fadeOuts;
}

bool WaitForThread(SoundThread*, uint32_t)
{
    return !Scripted.threadStuck;
}

void Close(SoundDevice*, SoundBuffer*, SoundBuffer*)
{
    ++Scripted.closes;
}

}   // namespace

MemoryRing& ScriptedRing = Ring.ring;

const SoundDeviceOps ScriptedSoundDevice = {
    Open, GetPlayPosition, Lock, Unlock, Recover, StartThread, ThreadSleep, FadeOut, WaitForThread, Close, nullptr,
};

void ResetScriptedDevice()
{
    Scripted = ScriptedDevice{};
    OpenMemoryRingBuffer(Ring, RingBytes);
}
