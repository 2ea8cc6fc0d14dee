#include "support/scripted_sound_device.h"

ScriptedDevice Scripted;
MemoryRing ScriptedRing;

struct SoundDevice {};
struct SoundBuffer {};

namespace {
SoundDevice Device;
SoundBuffer Primary;
SoundBuffer Ring;
}   // namespace

void ResetScriptedDevice()
{
    Scripted = ScriptedDevice{};
    OpenMemoryRing(ScriptedRing, RingBytes);
}

int DeviceOpen(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer** primary, SoundBuffer** ring)
{
    if (Scripted.failCreate) return -1;
    *device = &Device;
    *primary = &Primary;
    if (Scripted.failRingBuffer || OpenMemoryRing(ScriptedRing, ringBytes) != 0) return -1;
    *ring = &Ring;
    ++Scripted.plays;
    return 0;
}

int BufferGetPlayPosition(SoundBuffer*, PlayPosition* position)
{
    const size_t query = Scripted.cursorQueries++;
    if (query < Scripted.cursorFails.size() && Scripted.cursorFails[query]) return -1;
    if (query < Scripted.cursors.size()) {
        *position = {Scripted.cursors[query], false, 0};
        return 0;
    }
    GetMemoryRingPosition(ScriptedRing, position);
    if (!Scripted.countsPlayed) position->counted = false;
    return 0;
}

int BufferLock(SoundBuffer*, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
               uint32_t* size2)
{
    ++Scripted.locks;
    if (Scripted.failingLocks > 0) {
        --Scripted.failingLocks;
        return -1;
    }
    return LockMemoryRing(ScriptedRing, offset, bytes, region1, size1, region2, size2);
}

int BufferUnlock(SoundBuffer*, void*, uint32_t, void*, uint32_t)
{
    ++Scripted.unlocks;
    UnlockMemoryRing(ScriptedRing);
    return 0;
}

int BufferRecover(SoundBuffer*)
{
    ++Scripted.recovers;
    ++Scripted.plays;
    return 0;
}

SoundThread* StartSoundThread(uint32_t (*)(void*), void*)
{
    // The tests drive Refill themselves.
    Scripted.threadStarted = true;
    return reinterpret_cast<SoundThread*>(&Scripted);
}

void SoundThreadSleep(uint32_t) {}

void DeviceFadeOut(SoundBuffer*)
{
    ++Scripted.fadeOuts;
}

bool WaitForSoundThread(SoundThread*, uint32_t)
{
    return !Scripted.threadStuck;
}

void DeviceClose(SoundDevice*, SoundBuffer*, SoundBuffer*)
{
    ++Scripted.closes;
}
