#include "support/scripted_sound_device.h"

#include <cstring>

ScriptedDevice Scripted;

struct SoundDevice {};
struct SoundBuffer {
    bool ring;
};

namespace {
SoundDevice Device;
SoundBuffer Primary{false};
SoundBuffer Ring{true};
} // namespace

void ResetScriptedDevice()
{
    Scripted = ScriptedDevice{};
}

int DeviceCreate(SoundDevice** device)
{
    if (Scripted.failCreate) return -1;
    *device = &Device;
    return 0;
}

int DeviceSetCooperativeLevel(SoundDevice*, void*) { return 0; }

int DeviceCreatePrimaryBuffer(SoundDevice*, SoundBuffer** buffer)
{
    *buffer = &Primary;
    return 0;
}

int DeviceCreateRingBuffer(SoundDevice*, uint32_t bytes, const PcmFormat& format, SoundBuffer** buffer)
{
    if (Scripted.failRingBuffer || bytes != RingBytes || format.samplesPerSecond != 44100) return -1;
    *buffer = &Ring;
    return 0;
}

int BufferSetFormat(SoundBuffer*, const PcmFormat&) { return 0; }

int BufferPlayLooping(SoundBuffer*)
{
    ++Scripted.plays;
    return 0;
}

int BufferGetPlayCursor(SoundBuffer*, uint32_t* playCursor)
{
    const size_t query = Scripted.cursorQueries++;
    if (query < Scripted.cursorFails.size() && Scripted.cursorFails[query]) return -1;
    *playCursor = query < Scripted.cursors.size() ? Scripted.cursors[query] : 0;
    return 0;
}

int BufferLock(SoundBuffer*, uint32_t offset, uint32_t bytes,
               void** region1, uint32_t* size1, void** region2, uint32_t* size2)
{
    ++Scripted.locks;
    if (Scripted.failingLocks > 0) {
        --Scripted.failingLocks;
        return -1;
    }
    const uint32_t first = bytes < RingBytes - offset ? bytes : RingBytes - offset;
    *region1 = Scripted.ring + offset;
    *size1 = first;
    *region2 = first < bytes ? Scripted.ring : nullptr;
    *size2 = bytes - first;
    return 0;
}

int BufferUnlock(SoundBuffer*, void*, uint32_t, void*, uint32_t)
{
    ++Scripted.unlocks;
    return 0;
}

int BufferRestore(SoundBuffer*)
{
    ++Scripted.restores;
    return 0;
}

SoundThread* StartSoundThread(uint32_t (*)(void*), void*)
{
    // The tests drive Refill themselves.
    Scripted.threadStarted = true;
    return reinterpret_cast<SoundThread*>(&Scripted);
}

void SoundThreadSleep(uint32_t) {}
