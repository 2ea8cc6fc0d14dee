// The sound device on SDL2: a memory ring that SDL's audio callback plays in
// a loop at 44,100 Hz, 16-bit mono, moving the play cursor as it takes bytes
// and counting them. Lock hands out the ring's own bytes, so the refill
// writes straight into it (memory_ring_device.h). The music fades in at its start and out when the
// sound closes (see memory_ring.h).
//
// An output that goes away while playing (unplugged, its sound server gone)
// doesn't stop the music's time: between refills the sound thread notices
// the loss, notes the time, and every two seconds opens the default output
// anew; once one opens, the ring's cursor moves on by the time away, the
// refill passes over the music that was due meanwhile, and the music is
// heard again from where it has got to. (An opening that blocks holds the
// sound thread with it; the picture never waits for the sound.)
#include <SDL.h>

#include <atomic>
#include <cstring>

#include "sound/memory_ring_device.h"
#include "sound/sdl/sdl_sound_device.h"
#include "sound/sound_server.h"

namespace {

// One opened output. Its callback plays the ring only while it is the live
// one, so an old and a new output never both move the cursor.
struct Output {
    SDL_AudioDeviceID id = 0;
    std::atomic<bool> live{false};
};

constexpr uint32_t ReopenMilliseconds = 2000;
// Longer than the fade and a burst of SDL's: an output that hasn't played the
// fade-out by then no longer takes sound.
constexpr uint32_t FadeOutWaitMilliseconds = 200;
constexpr uint32_t BurstSamples = 512;

}   // namespace

struct SoundDevice {
    Output outputs[2];
    int current = 0;           // index of the output the ring plays on
    bool lost = false;         // the current output has gone
    uint32_t lostAt = 0;       // SDL_GetTicks time it was found gone
    uint32_t nextReopen = 0;   // SDL_GetTicks time of the next attempt
};

namespace {

SoundDevice Device;
MemoryRingBuffer Ring;
SDL_AudioDeviceID HeldOutput = 0;   // the output whose callback a lock holds off
// Set by the sound thread as it leaves its entry: SDL waits for a thread
// without a time limit, so the wait looks here first.
std::atomic<bool> ThreadEnded{false};

void PlayRing(void* userdata, Uint8* stream, int length)
{
    const Output* output = static_cast<const Output*>(userdata);
    if (!output->live.load(std::memory_order_acquire)) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    PlayMemoryRing(Ring.ring, reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / 2);
}

// Opens the default output, paused, with the ring's format. 0 on failure.
SDL_AudioDeviceID OpenOutput(Output& output)
{
    SDL_AudioSpec wanted{};
    wanted.freq = StreamSampleRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 1;
    wanted.samples = BurstSamples;
    wanted.callback = PlayRing;
    wanted.userdata = &output;
    // SDL converts to whatever the hardware wants; the ring stays 44,100 Hz mono.
    output.live = false;
    output.id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    return output.id;
}

// Moves the ring from a lost output to a newly opened default one, its
// cursor moved on by the time the output was away. On the sound thread,
// between refills, so the next refill finds more than a lap played: the
// music that was due meanwhile is passed over and the ring written anew.
void Reopen()
{
    Output& old = Device.outputs[Device.current];
    Output& next = Device.outputs[1 - Device.current];
    if (OpenOutput(next) == 0) return;
    // The music went on, unheard, for as long as no output took it.
    const uint64_t away = SDL_GetTicks() - Device.lostAt;
    AdvanceMemoryRing(Ring.ring, static_cast<uint32_t>(away * StreamSampleRate * 2 / 1000) & ~1u);
    next.live = true;
    SDL_PauseAudioDevice(next.id, 0);
    SDL_CloseAudioDevice(old.id);
    old.id = 0;
    Device.current = 1 - Device.current;
    Device.lost = false;
}

// Looks after the output between refills. An output that has gone stops
// playing the ring at once; the device keeps the time until one comes back.
// (SDL would go on calling a gone output's callback, but only roughly at
// the pace of playback.)
void WatchOutput()
{
    Output& output = Device.outputs[Device.current];
    const uint32_t now = SDL_GetTicks();
    if (!Device.lost) {
        if (output.id == 0 || !output.live) return;   // not playing yet
        if (SDL_GetAudioDeviceStatus(output.id) != SDL_AUDIO_STOPPED) return;
        SDL_LockAudioDevice(output.id);   // waits for its callback to finish
        output.live = false;
        SDL_UnlockAudioDevice(output.id);
        Device.lost = true;
        Device.lostAt = now;
        Device.nextReopen = now + ReopenMilliseconds;
        return;
    }
    if (static_cast<int32_t>(now - Device.nextReopen) < 0) return;
    Reopen();
    Device.nextReopen = SDL_GetTicks() + ReopenMilliseconds;
}

// A refill writes behind the cursor while the callback reads a burst ahead
// of it; a stretch that reaches the bytes the callback may be taking (a whole
// ring, or a refill so late that less than a burst is left ahead) is written
// with the callback held off.
void HoldOutput(MemoryRingBuffer&, bool hold)
{
    if (hold) {
        HeldOutput = Device.outputs[Device.current].id;
        if (HeldOutput) SDL_LockAudioDevice(HeldOutput);
    } else {
        if (HeldOutput) SDL_UnlockAudioDevice(HeldOutput);
        HeldOutput = 0;
    }
}

void DeviceClose(SoundDevice* device, SoundBuffer*, SoundBuffer*);

// A new song (a new ring) plays on the output the last one played on, if it
// is still there: no device is opened anew and no output changes hands.
int DeviceOpen(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer**, SoundBuffer** ring)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return -1;
    Output& kept = Device.outputs[Device.current];
    if (kept.id == 0 || Device.lost) {
        DeviceClose(&Device, nullptr, nullptr);
        Device.current = 0;
        if (OpenOutput(Device.outputs[0]) == 0) return -1;
    }
    *device = &Device;
    Output& output = Device.outputs[Device.current];
    SDL_LockAudioDevice(output.id);   // its callback may be playing silence
    const int opened = OpenMemoryRingBuffer(Ring, ringBytes);
    Ring.holdOutput = HoldOutput;
    Ring.burstBytes = BurstSamples * 2;
    output.live = opened == 0;
    SDL_UnlockAudioDevice(output.id);
    if (opened != 0) return -1;
    *ring = AsSoundBuffer(Ring);
    SDL_PauseAudioDevice(output.id, 0);
    return 0;
}

SoundThread* StartSoundThread(SoundServer* server)
{
    ThreadEnded = false;
    SDL_Thread* thread = SDL_CreateThread(
        [](void* server) -> int {
            // The ring holds only 93 ms: ask to be scheduled as promptly as
            // SDL's own audio thread (granted where the system allows it).
            SDL_SetThreadPriority(SDL_THREAD_PRIORITY_TIME_CRITICAL);
            const int code = static_cast<int>(SoundServer::ThreadMain(server));
            ThreadEnded = true;
            return code;
        },
        "sound", server);
    return reinterpret_cast<SoundThread*>(thread);
}

// The sound thread's pause between refills; it also looks after the output.
void SoundThreadSleep(uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
    WatchOutput();
}

// The music fades out while the thread still refills, then the output plays
// silence for a burst before it closes.
void DeviceFadeOut(SoundBuffer* buffer)
{
    MemoryRing& ring = AsMemoryRingBuffer(buffer).ring;
    FadeOutMemoryRing(ring);
    const uint32_t fadeStart = SDL_GetTicks();
    while (!MemoryRingFadedOut(ring) && SDL_GetTicks() - fadeStart < FadeOutWaitMilliseconds) SDL_Delay(2);
    if (MemoryRingFadedOut(ring)) SDL_Delay(BurstSamples * 2000 / StreamSampleRate);
}

bool WaitForSoundThread(SoundThread* thread, uint32_t milliseconds)
{
    if (!thread) return true;
    const uint32_t start = SDL_GetTicks();
    while (!ThreadEnded) {
        if (SDL_GetTicks() - start >= milliseconds) return false;
        SDL_Delay(5);
    }
    SDL_WaitThread(reinterpret_cast<SDL_Thread*>(thread), nullptr);
    return true;
}

// The ring stops playing, and the output plays silence until a new ring
// comes (a new song) or the program ends (SDL_Quit closes it); a lost output
// is closed at once.
void DeviceClose(SoundDevice* device, SoundBuffer*, SoundBuffer*)
{
    if (!device) return;
    for (int i = 0; i < 2; ++i) {
        Output& output = device->outputs[i];
        if (output.id == 0) continue;
        SDL_LockAudioDevice(output.id);   // waits for its callback to finish
        output.live = false;
        SDL_UnlockAudioDevice(output.id);
        if (i != device->current || device->lost) {
            SDL_CloseAudioDevice(output.id);
            output.id = 0;
        }
    }
    device->lost = false;
}

}   // namespace

const SoundDeviceOps SdlSoundDevice = MemoryRingDevice(DeviceOpen, StartSoundThread, SoundThreadSleep, DeviceFadeOut,
                                                       WaitForSoundThread, DeviceClose);
