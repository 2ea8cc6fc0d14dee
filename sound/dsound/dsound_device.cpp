// The sound device on Windows: DirectSound on the default device, used
// exclusively by the window. The primary buffer only carries the output
// format; the ring is a looping secondary buffer that the SoundServer locks
// and refills behind the play cursor. DirectSound reports only where the
// cursor stands, not how many laps it made between two looks.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

#include "sound/dsound/dsound_device.h"
#include "sound/sound_server.h"

namespace {

IDirectSoundBuffer* AsBuffer(SoundBuffer* buffer)
{
    return reinterpret_cast<IDirectSoundBuffer*>(buffer);
}

// PCM, mono, 44,100 Hz, 16 bits.
WAVEFORMATEX StreamWaveFormat()
{
    WAVEFORMATEX wave = {};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = 1;
    wave.nSamplesPerSec = StreamSampleRate;
    wave.nAvgBytesPerSec = StreamSampleRate * 2;
    wave.nBlockAlign = 2;
    wave.wBitsPerSample = 16;
    wave.cbSize = 0;
    return wave;
}

// Both buffers are described with the short (20-byte) description, which
// every DirectSound version accepts.
static_assert(sizeof(DSBUFFERDESC1) == 20 || sizeof(void*) != 4);

IDirectSoundBuffer* CreateBuffer(IDirectSound* directSound, DWORD flags, DWORD bytes, WAVEFORMATEX* format)
{
    DSBUFFERDESC1 description = {};
    description.dwSize = sizeof description;
    description.dwFlags = flags;
    description.dwBufferBytes = bytes;
    description.dwReserved = 0;
    description.lpwfxFormat = format;
    IDirectSoundBuffer* buffer = nullptr;
    if (directSound->CreateSoundBuffer(reinterpret_cast<const DSBUFFERDESC*>(&description), &buffer, nullptr) != DS_OK)
        return nullptr;
    return buffer;
}

// A new buffer's contents are undefined; the ring starts as silence so that
// nothing but zeros plays before the first refill comes round.
void Silence(IDirectSoundBuffer* ring, DWORD bytes)
{
    void* region1 = nullptr;
    void* region2 = nullptr;
    DWORD size1 = 0;
    DWORD size2 = 0;
    if (ring->Lock(0, bytes, &region1, &size1, &region2, &size2, 0) != DS_OK) return;
    if (region1) std::memset(region1, 0, size1);
    if (region2) std::memset(region2, 0, size2);
    ring->Unlock(region1, size1, region2, size2);
}

DWORD WINAPI RunSoundThread(LPVOID server)
{
    return SoundServer::ThreadMain(server);
}

int DeviceOpen(void* window, uint32_t ringBytes, SoundDevice** device, SoundBuffer** primary, SoundBuffer** ring)
{
    IDirectSound* directSound = nullptr;
    if (DirectSoundCreate(nullptr, &directSound, nullptr) != DS_OK) return -1;
    *device = reinterpret_cast<SoundDevice*>(directSound);
    if (directSound->SetCooperativeLevel(static_cast<HWND>(window), DSSCL_EXCLUSIVE) != DS_OK) return -1;

    IDirectSoundBuffer* primaryBuffer = CreateBuffer(directSound, DSBCAPS_PRIMARYBUFFER | DSBCAPS_STICKYFOCUS, 0,
                                                     nullptr);   // 0x4001
    if (!primaryBuffer) return -1;
    *primary = reinterpret_cast<SoundBuffer*>(primaryBuffer);
    WAVEFORMATEX wave = StreamWaveFormat();
    if (primaryBuffer->SetFormat(&wave) != DS_OK) return -1;

    IDirectSoundBuffer* ringBuffer = CreateBuffer(directSound, DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_STICKYFOCUS,
                                                  ringBytes, &wave);   // 0x14000
    if (!ringBuffer) return -1;
    *ring = reinterpret_cast<SoundBuffer*>(ringBuffer);
    Silence(ringBuffer, ringBytes);
    return ringBuffer->Play(0, 0, DSBPLAY_LOOPING) == DS_OK ? 0 : -1;
}

int BufferGetPlayPosition(SoundBuffer* ring, PlayPosition* position)
{
    DWORD play = 0;
    DWORD write = 0;
    if (AsBuffer(ring)->GetCurrentPosition(&play, &write) != DS_OK) return -1;
    position->playCursor = play;
    position->counted = false;
    position->played = 0;
    return 0;
}

int BufferLock(SoundBuffer* ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
               uint32_t* size2)
{
    DWORD bytes1 = 0;
    DWORD bytes2 = 0;
    const HRESULT result = AsBuffer(ring)->Lock(offset, bytes, region1, &bytes1, region2, &bytes2, 0);
    *size1 = bytes1;
    *size2 = bytes2;
    return result == DS_OK ? 0 : -1;
}

int BufferUnlock(SoundBuffer* ring, void* region1, uint32_t size1, void* region2, uint32_t size2)
{
    return AsBuffer(ring)->Unlock(region1, size1, region2, size2) == DS_OK ? 0 : -1;
}

// A lost ring: restore it and play it again (neither result tells more).
int BufferRecover(SoundBuffer* ring)
{
    AsBuffer(ring)->Restore();
    AsBuffer(ring)->Play(0, 0, DSBPLAY_LOOPING);
    return 0;
}

SoundThread* StartSoundThread(SoundServer* server)
{
    HANDLE thread = CreateThread(nullptr, 0, RunSoundThread, server, 0, nullptr);
    return reinterpret_cast<SoundThread*>(thread);
}

void SoundThreadSleep(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

// DirectSound stops the ring at once when it closes; nothing fades.
void DeviceFadeOut(SoundBuffer*) {}

bool WaitForSoundThread(SoundThread* thread, uint32_t milliseconds)
{
    const HANDLE handle = reinterpret_cast<HANDLE>(thread);
    if (!handle) return true;
    if (WaitForSingleObject(handle, milliseconds) != WAIT_OBJECT_0) return false;
    CloseHandle(handle);
    return true;
}

// The ring stops before anything is released, so that the process ends with
// no thread of DirectSound's still playing it (Wine's process exit can wait
// for ever on one).
void DeviceClose(SoundDevice* device, SoundBuffer* primary, SoundBuffer* ring)
{
    if (ring) {
        AsBuffer(ring)->Stop();
        AsBuffer(ring)->Release();
    }
    if (primary) AsBuffer(primary)->Release();
    if (device) reinterpret_cast<IDirectSound*>(device)->Release();
}

}   // namespace

const SoundDeviceOps DirectSoundDevice = {
    DeviceOpen,       BufferGetPlayPosition, BufferLock,         BufferUnlock, BufferRecover, StartSoundThread,
    SoundThreadSleep, DeviceFadeOut,         WaitForSoundThread, DeviceClose,  nullptr,
};
