#include "sound/sound_server.h"

const PcmFormat StreamFormat = {1, 1, 44100, 88200, 2, 16};

SoundServer::SoundServer(void* window) : fillCallback(nullptr), window(window)
{
    Reset();
}

void SoundServer::Reset()
{
    directSound = nullptr;
    primaryBuffer = nullptr;
    streamBuffer = nullptr;
    thread = nullptr;
    writeOffset = 0;
    running = 0;
    stopRequested = 0;
}

bool SoundServer::Open(SoundFillCallback callback)
{
    fillCallback = callback;
    if (DeviceCreate(&directSound) != 0) return false;
    if (DeviceSetCooperativeLevel(directSound, window) != 0) return false;
    if (DeviceCreatePrimaryBuffer(directSound, &primaryBuffer) != 0) return false;
    if (BufferSetFormat(primaryBuffer, StreamFormat) != 0) return false;
    if (DeviceCreateRingBuffer(directSound, RingBytes, StreamFormat, &streamBuffer) != 0) return false;
    if (BufferPlayLooping(streamBuffer) != 0) return false;
    // The ring already plays; the thread's first refill comes at once.
    thread = StartSoundThread(&SoundServer::ThreadMain, this);
    running = 1;
    return true;
}

uint32_t SoundServer::ThreadMain(void* parameter)
{
    SoundServer* server = static_cast<SoundServer*>(parameter);
    if (!server) return 0;
    while (server->Refill()) SoundThreadSleep(RefillMilliseconds);
    return 0;
}

bool SoundServer::Refill()
{
    uint32_t playCursor = 0;
    if (BufferGetPlayCursor(streamBuffer, &playCursor) != 0) playCursor = 0;

    // The stretch the cursor has passed since the last refill; equal
    // positions mean a whole lap.
    uint32_t bytes = playCursor - writeOffset;
    if (writeOffset >= playCursor) bytes += RingBytes;

    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t size1 = 0;
    uint32_t size2 = 0;
    while (BufferLock(streamBuffer, writeOffset, bytes, &region1, &size1, &region2, &size2) != 0) {
        // A lost ring: get it back and playing, then try again.
        BufferRestore(streamBuffer);
        BufferPlayLooping(streamBuffer);
        SoundThreadSleep(LockRetryMilliseconds);
    }

    if (fillCallback) {
        if (region1 && size1) fillCallback(static_cast<int16_t*>(region1), size1);
        if (region2 && size2) fillCallback(static_cast<int16_t*>(region2), size2);
    }
    BufferUnlock(streamBuffer, region1, size1, region2, size2);

    writeOffset += bytes;
    if (writeOffset >= RingBytes) writeOffset -= RingBytes;

    if (stopRequested) running = 0;
    return stopRequested == 0;
}
