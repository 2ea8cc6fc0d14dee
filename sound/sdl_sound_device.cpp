// The sound device on SDL2: an 8192-byte ring that SDL's audio callback plays
// in a loop at 44,100 Hz, 16-bit mono, moving the play cursor as it consumes.
// Lock hands out the ring's own bytes, so the refill writes straight into it.
#include "sound/sdl_sound_device.h"

#include <SDL.h>

#include <atomic>
#include <cstring>

#include "sound/sound_device.h"
#include "sound/sound_server.h"
#include "app/intro.h"

struct SoundDevice {
    SDL_AudioDeviceID id;
};

struct SoundBuffer {
    bool isRing;
    uint32_t bytes;
    uint8_t data[RingBytes];
    std::atomic<uint32_t> playCursor;
};

namespace {

SoundDevice Device;
SoundBuffer Primary;
SoundBuffer Ring;

void PlayRing(void*, Uint8* stream, int length)
{
    uint32_t cursor = Ring.playCursor.load(std::memory_order_relaxed);
    uint32_t left = static_cast<uint32_t>(length);
    while (left > 0) {
        uint32_t chunk = Ring.bytes - cursor;
        if (chunk > left) chunk = left;
        std::memcpy(stream, Ring.data + cursor, chunk);
        stream += chunk;
        left -= chunk;
        cursor += chunk;
        if (cursor >= Ring.bytes) cursor = 0;
    }
    Ring.playCursor.store(cursor, std::memory_order_release);
}

} // namespace

int DeviceCreate(SoundDevice** device)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return -1;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = 512;
    wanted.callback = PlayRing;
    // SDL converts to whatever the hardware wants; the ring stays 44,100 Hz mono.
    Device.id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (Device.id == 0) return -1;
    *device = &Device;
    return 0;
}

int DeviceSetCooperativeLevel(SoundDevice*, void*)
{
    return 0;
}

int DeviceCreatePrimaryBuffer(SoundDevice*, SoundBuffer** buffer)
{
    Primary.isRing = false;
    *buffer = &Primary;
    return 0;
}

int DeviceCreateRingBuffer(SoundDevice*, uint32_t bytes, const PcmFormat&, SoundBuffer** buffer)
{
    if (bytes == 0 || bytes > RingBytes) return -1;
    Ring.isRing = true;
    Ring.bytes = bytes;
    std::memset(Ring.data, 0, sizeof Ring.data);   // the ring starts as silence
    Ring.playCursor.store(0);
    *buffer = &Ring;
    return 0;
}

int BufferSetFormat(SoundBuffer*, const PcmFormat&)
{
    return 0;
}

int BufferPlayLooping(SoundBuffer* buffer)
{
    if (!buffer->isRing) return -1;
    SDL_PauseAudioDevice(Device.id, 0);
    return 0;
}

int BufferGetPlayCursor(SoundBuffer* buffer, uint32_t* playCursor)
{
    *playCursor = buffer->playCursor.load(std::memory_order_acquire);
    return 0;
}

int BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes,
               void** region1, uint32_t* size1, void** region2, uint32_t* size2)
{
    if (offset >= buffer->bytes || bytes == 0 || bytes > buffer->bytes) return -1;
    const uint32_t first = bytes < buffer->bytes - offset ? bytes : buffer->bytes - offset;
    *region1 = buffer->data + offset;
    *size1 = first;
    *region2 = first < bytes ? buffer->data : nullptr;
    *size2 = bytes - first;
    return 0;
}

int BufferUnlock(SoundBuffer*, void*, uint32_t, void*, uint32_t)
{
    return 0;
}

int BufferRestore(SoundBuffer*)
{
    return 0;
}

SoundThread* StartSoundThread(uint32_t (*entry)(void*), void* parameter)
{
    struct Start {
        uint32_t (*entry)(void*);
        void* parameter;
    };
    static Start start;
    start = {entry, parameter};
    SDL_Thread* thread = SDL_CreateThread(
        [](void* data) -> int {
            const Start* s = static_cast<const Start*>(data);
            return static_cast<int>(s->entry(s->parameter));
        },
        "sound", &start);
    return reinterpret_cast<SoundThread*>(thread);
}

void SoundThreadSleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

void SdlSoundShutdown()
{
    SoundServer* server = TheSoundServer();
    if (!server || !server->running) return;
    server->stopRequested = 1;
    SDL_WaitThread(reinterpret_cast<SDL_Thread*>(server->thread), nullptr);
    SDL_CloseAudioDevice(Device.id);
}
