// The sound device of programs that have none: opening it fails, as
// DirectSoundCreate does on a machine without a sound card.
#include "sound/sound_device.h"

int DeviceCreate(SoundDevice**) { return -1; }
int DeviceSetCooperativeLevel(SoundDevice*, void*) { return -1; }
int DeviceCreatePrimaryBuffer(SoundDevice*, SoundBuffer**) { return -1; }
int DeviceCreateRingBuffer(SoundDevice*, uint32_t, const PcmFormat&, SoundBuffer**) { return -1; }
int BufferSetFormat(SoundBuffer*, const PcmFormat&) { return -1; }
int BufferPlayLooping(SoundBuffer*) { return -1; }
int BufferGetPlayCursor(SoundBuffer*, uint32_t*) { return -1; }
int BufferLock(SoundBuffer*, uint32_t, uint32_t, void**, uint32_t*, void**, uint32_t*) { return -1; }
int BufferUnlock(SoundBuffer*, void*, uint32_t, void*, uint32_t) { return -1; }
int BufferRestore(SoundBuffer*) { return -1; }
SoundThread* StartSoundThread(uint32_t (*)(void*), void*) { return nullptr; }
void SoundThreadSleep(uint32_t) {}
