// The sound device of programs that have none: opening it fails, as
// DirectSoundCreate does on a machine without a sound card.
#include "sound/sound_device.h"

int DeviceOpen(void*, uint32_t, SoundDevice**, SoundBuffer**, SoundBuffer**)
{
    return -1;
}
int BufferGetPlayPosition(SoundBuffer*, PlayPosition*)
{
    return -1;
}
int BufferLock(SoundBuffer*, uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*)
{
    return -1;
}
int BufferUnlock(SoundBuffer*, void*, uint32_t, void*, uint32_t)
{
    return -1;
}
int BufferRecover(SoundBuffer*)
{
    return -1;
}
SoundThread* StartSoundThread(uint32_t (*)(void*), void*)
{
    return nullptr;
}
void SoundThreadSleep(uint32_t) {}
void DeviceFadeOut(SoundBuffer*) {}
bool WaitForSoundThread(SoundThread*, uint32_t)
{
    return true;
}
void DeviceClose(SoundDevice*, SoundBuffer*, SoundBuffer*) {}
