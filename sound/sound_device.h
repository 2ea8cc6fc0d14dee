// The handful of device operations the SoundServer streams through. Each
// build links exactly one implementation: DirectSound on Windows, SDL2 audio
// on Linux, a scripted device in the tests. Every operation that can fail
// returns 0 on success and anything else on failure, as DirectSound does.
#pragma once

#include <cstdint>

struct SoundDevice;   // the output device (IDirectSound on Windows)
struct SoundBuffer;   // a buffer on it (IDirectSoundBuffer on Windows)
struct SoundThread;   // the streaming thread

struct PcmFormat {
    uint16_t formatTag;        // 1: PCM
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t bytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
};

int DeviceCreate(SoundDevice** device);
int DeviceSetCooperativeLevel(SoundDevice* device, void* window);
int DeviceCreatePrimaryBuffer(SoundDevice* device, SoundBuffer** buffer);
int DeviceCreateRingBuffer(SoundDevice* device, uint32_t bytes, const PcmFormat& format,
                           SoundBuffer** buffer);

int BufferSetFormat(SoundBuffer* buffer, const PcmFormat& format);
int BufferPlayLooping(SoundBuffer* buffer);
int BufferGetPlayCursor(SoundBuffer* buffer, uint32_t* playCursor);
int BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes,
               void** region1, uint32_t* size1, void** region2, uint32_t* size2);
int BufferUnlock(SoundBuffer* buffer, void* region1, uint32_t size1, void* region2, uint32_t size2);
int BufferRestore(SoundBuffer* buffer);

// Starts `entry(parameter)` on a thread of its own; null if it couldn't start.
SoundThread* StartSoundThread(uint32_t (*entry)(void*), void* parameter);
void SoundThreadSleep(uint32_t milliseconds);
