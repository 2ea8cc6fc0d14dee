// The sound device on Windows: DirectSound on the default device. The
// primary buffer only carries the output format; the ring is a looping
// secondary buffer that the SoundServer locks and refills behind the play
// cursor.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "sound/sound_device.h"

namespace {

IDirectSound* AsDevice(SoundDevice* device)
{
    return reinterpret_cast<IDirectSound*>(device);
}

IDirectSoundBuffer* AsBuffer(SoundBuffer* buffer)
{
    return reinterpret_cast<IDirectSoundBuffer*>(buffer);
}

WAVEFORMATEX ToWaveFormat(const PcmFormat& format)
{
    WAVEFORMATEX wave = {};
    wave.wFormatTag = format.formatTag;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.samplesPerSecond;
    wave.nAvgBytesPerSec = format.bytesPerSecond;
    wave.nBlockAlign = format.blockAlign;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.cbSize = 0;
    return wave;
}

// Both buffers are described with the short (20-byte) description, which
// every DirectSound version accepts.
static_assert(sizeof(DSBUFFERDESC1) == 20 || sizeof(void*) != 4);

// The thread entry of the ring logic has the platform-neutral signature;
// CreateThread wants a WINAPI one. There is one sound thread per process.
struct ThreadStart {
    uint32_t (*entry)(void*) = nullptr;
    void* parameter = nullptr;
};

ThreadStart Start;

DWORD WINAPI RunSoundThread(LPVOID start)
{
    const ThreadStart* s = static_cast<const ThreadStart*>(start);
    return s->entry(s->parameter);
}

} // namespace

int DeviceCreate(SoundDevice** device)
{
    IDirectSound* directSound = nullptr;
    const HRESULT result = DirectSoundCreate(nullptr, &directSound, nullptr);
    *device = reinterpret_cast<SoundDevice*>(directSound);
    return result == DS_OK ? 0 : -1;
}

int DeviceSetCooperativeLevel(SoundDevice* device, void* window)
{
    return AsDevice(device)->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_EXCLUSIVE) ==
                   DS_OK
               ? 0
               : -1;
}

int DeviceCreatePrimaryBuffer(SoundDevice* device, SoundBuffer** buffer)
{
    DSBUFFERDESC1 description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_STICKYFOCUS;   // 0x4001
    description.dwBufferBytes = 0;
    description.dwReserved = 0;
    description.lpwfxFormat = nullptr;
    IDirectSoundBuffer* primary = nullptr;
    const HRESULT result = AsDevice(device)->CreateSoundBuffer(
        reinterpret_cast<const DSBUFFERDESC*>(&description), &primary, nullptr);
    *buffer = reinterpret_cast<SoundBuffer*>(primary);
    return result == DS_OK ? 0 : -1;
}

int DeviceCreateRingBuffer(SoundDevice* device, uint32_t bytes, const PcmFormat& format,
                           SoundBuffer** buffer)
{
    WAVEFORMATEX wave = ToWaveFormat(format);
    DSBUFFERDESC1 description = {};
    description.dwSize = sizeof description;
    description.dwFlags = DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STICKYFOCUS;   // 0x14000
    description.dwBufferBytes = bytes;
    description.dwReserved = 0;
    description.lpwfxFormat = &wave;
    IDirectSoundBuffer* ring = nullptr;
    const HRESULT result = AsDevice(device)->CreateSoundBuffer(
        reinterpret_cast<const DSBUFFERDESC*>(&description), &ring, nullptr);
    *buffer = reinterpret_cast<SoundBuffer*>(ring);
    if (result != DS_OK) return -1;

    // A new buffer's contents are undefined; the ring starts as silence so
    // that nothing but zeros plays before the first refill comes round.
    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD size1 = 0;
    DWORD size2 = 0;
    if (ring->Lock(0, bytes, &region1, &size1, &region2, &size2, 0) == DS_OK) {
        if (region1) std::memset(region1, 0, size1);
        if (region2) std::memset(region2, 0, size2);
        ring->Unlock(region1, size1, region2, size2);
    }
    return 0;
}

int BufferSetFormat(SoundBuffer* buffer, const PcmFormat& format)
{
    const WAVEFORMATEX wave = ToWaveFormat(format);
    return AsBuffer(buffer)->SetFormat(&wave) == DS_OK ? 0 : -1;
}

int BufferPlayLooping(SoundBuffer* buffer)
{
    return AsBuffer(buffer)->Play(0, 0, DSBPLAY_LOOPING) == DS_OK ? 0 : -1;
}

int BufferGetPlayCursor(SoundBuffer* buffer, uint32_t* playCursor)
{
    DWORD play = 0;
    DWORD write = 0;
    if (AsBuffer(buffer)->GetCurrentPosition(&play, &write) != DS_OK) return -1;
    *playCursor = play;
    return 0;
}

int BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes,
               void** region1, uint32_t* size1, void** region2, uint32_t* size2)
{
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    const HRESULT result =
        AsBuffer(buffer)->Lock(offset, bytes, region1, &bytes1, region2, &bytes2, 0);
    *size1 = bytes1;
    *size2 = bytes2;
    return result == DS_OK ? 0 : -1;
}

int BufferUnlock(SoundBuffer* buffer, void* region1, uint32_t size1, void* region2, uint32_t size2)
{
    return AsBuffer(buffer)->Unlock(region1, size1, region2, size2) == DS_OK ? 0 : -1;
}

int BufferRestore(SoundBuffer* buffer)
{
    return AsBuffer(buffer)->Restore() == DS_OK ? 0 : -1;
}

SoundThread* StartSoundThread(uint32_t (*entry)(void*), void* parameter)
{
    Start.entry = entry;
    Start.parameter = parameter;
    HANDLE thread = CreateThread(nullptr, 0, RunSoundThread, &Start, 0, nullptr);
    return reinterpret_cast<SoundThread*>(thread);
}

void SoundThreadSleep(uint32_t milliseconds)
{
    Sleep(milliseconds);
}
