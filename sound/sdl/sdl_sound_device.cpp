// The sound device on SDL2: an 8192-byte ring that SDL's audio callback plays
// in a loop at 44,100 Hz, 16-bit mono, moving the play cursor as it consumes.
// Lock hands out the ring's own bytes, so the refill writes straight into it.
//
// An output that goes away while playing (unplugged, its sound server gone)
// doesn't stop the ring: SDL keeps calling the callback at the pace of real
// playback, so the cursor moves on and the music keeps its time, unheard.
// Between refills the sound thread notices the loss and every two seconds
// opens the default output anew; once one opens, the ring moves over to it
// where its cursor stands and the music is heard again. (An opening that
// blocks holds the music with it; the picture never waits for the sound.)
#include "sound/sdl/sdl_sound_device.h"

#include <SDL.h>

#include <atomic>
#include <cstring>

#include "sound/sound_device.h"
#include "sound/sound_server.h"

namespace {

// One opened output. Its callback plays the ring only while it is the live
// one, so an old and a new output never both move the cursor.
struct Output {
    SDL_AudioDeviceID id = 0;
    std::atomic<bool> live{false};
};

constexpr uint32_t ReopenMilliseconds = 2000;
constexpr uint32_t ShutdownMilliseconds = 1000;
constexpr uint32_t CursorWaitMilliseconds = 500;

} // namespace

struct SoundDevice {
    Output outputs[2];
    int current = 0;              // index of the output the ring plays on
    bool lost = false;            // the current output has gone
    uint32_t nextReopen = 0;      // SDL_GetTicks time of the next attempt
    uint32_t lastCursor = 0;      // the play cursor the last refill was given
};

struct SoundBuffer {
    bool isRing;
    uint32_t bytes;
    uint8_t data[RingBytes];
    std::atomic<uint32_t> playCursor;
    // Counts the refills. Its increment on unlock publishes the bytes just
    // written, and the callback reads it before taking any, so what the
    // sound thread writes is fully seen by the thread that plays it.
    std::atomic<uint32_t> refills;
};

namespace {

SoundDevice Device;
SoundBuffer Primary;
SoundBuffer Ring;

void PlayRing(void* userdata, Uint8* stream, int length)
{
    const Output* output = static_cast<const Output*>(userdata);
    if (!output->live.load(std::memory_order_acquire)) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    Ring.refills.load(std::memory_order_acquire);
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

// Opens the default output, paused, with the ring's format. 0 on failure.
SDL_AudioDeviceID OpenOutput(Output& output)
{
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = 512;
    wanted.callback = PlayRing;
    wanted.userdata = &output;
    // SDL converts to whatever the hardware wants; the ring stays 44,100 Hz mono.
    output.live = false;
    output.id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    return output.id;
}

// Moves the ring from a lost output to a newly opened default one. On the
// sound thread, between refills, so the new output starts from a ring that
// is as up to date as it would be on the old one.
void Reopen()
{
    Output& old = Device.outputs[Device.current];
    Output& next = Device.outputs[1 - Device.current];
    if (OpenOutput(next) == 0) return;
    SDL_LockAudioDevice(old.id);   // waits for the old callback to finish
    old.live = false;
    next.live = true;
    SDL_UnlockAudioDevice(old.id);
    SDL_PauseAudioDevice(next.id, 0);
    SDL_CloseAudioDevice(old.id);
    old.id = 0;
    Device.current = 1 - Device.current;
    Device.lost = false;
}

// Looks after the output between refills.
void WatchOutput()
{
    const Output& output = Device.outputs[Device.current];
    if (output.id == 0 || !output.live) return;   // not playing yet, or shut down
    const uint32_t now = SDL_GetTicks();
    if (!Device.lost) {
        if (SDL_GetAudioDeviceStatus(output.id) != SDL_AUDIO_STOPPED) return;
        Device.lost = true;
        Device.nextReopen = now + ReopenMilliseconds;
        return;
    }
    if (static_cast<int32_t>(now - Device.nextReopen) < 0) return;
    Reopen();
    Device.nextReopen = SDL_GetTicks() + ReopenMilliseconds;
}

} // namespace

int DeviceCreate(SoundDevice** device)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return -1;
    if (OpenOutput(Device.outputs[0]) == 0) return -1;
    Device.current = 0;
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
    Ring.refills.store(0);
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
    Output& output = Device.outputs[Device.current];
    output.live = true;
    SDL_PauseAudioDevice(output.id, 0);
    return 0;
}

int BufferGetPlayCursor(SoundBuffer* buffer, uint32_t* playCursor)
{
    *playCursor = buffer->playCursor.load(std::memory_order_acquire);
    Device.lastCursor = *playCursor;
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

int BufferUnlock(SoundBuffer* buffer, void*, uint32_t, void*, uint32_t)
{
    buffer->refills.fetch_add(1, std::memory_order_release);
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
            // The ring holds only 93 ms: ask to be scheduled as promptly as
            // SDL's own audio thread (granted where the system allows it).
            SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
            const Start* s = static_cast<const Start*>(data);
            return static_cast<int>(s->entry(s->parameter));
        },
        "sound", &start);
    return reinterpret_cast<SoundThread*>(thread);
}

// The sound thread's pause between refills; it also looks after the output.
//
// SDL takes the ring in bursts (512 samples, 11.6 ms), not at a steady pace
// like a DirectSound cursor. Should a burst come late, the cursor would stand
// where the last refill left it, and the refill would take that as a whole lap
// played and write the ring over, skipping 93 ms of music. So after the pause
// the thread also waits, a little at a time, for the cursor to move (at most
// half a second: an output that takes nothing for that long has stopped).
void SoundThreadSleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
    WatchOutput();
    if (Ring.bytes == 0) return;   // no ring (a lock retry before the first refill)
    for (uint32_t waited = 0; waited < CursorWaitMilliseconds; ++waited) {
        if (Ring.playCursor.load(std::memory_order_acquire) != Device.lastCursor) break;
        SDL_Delay(1);
    }
}

bool SdlSoundShutdown(SoundServer* server)
{
    if (!server || !server->running) return true;
    server->stopRequested = 1;
    const uint32_t start = SDL_GetTicks();
    while (server->running) {
        if (SDL_GetTicks() - start >= ShutdownMilliseconds) return false;
        SDL_Delay(5);
    }
    SDL_WaitThread(reinterpret_cast<SDL_Thread*>(server->thread), nullptr);
    SDL_CloseAudioDevice(Device.outputs[Device.current].id);
    return true;
}
