// The audio thread is the only thread here: the output, the refills and the
// page's messages all run on it, one after another, so the ring needs no
// lock and the sound thread's loop (refill, sleep 20 ms, again) becomes a
// refill after every 882 samples the output takes. The first pass runs as
// the thread starts (the whole ring), then every 20 ms of sound played (the
// 1764 bytes the cursor moved): the call pattern of a native sound thread
// that keeps pace.
//
// Nothing may wait on the audio thread, so closing takes the fade-out from
// the ring at once (the 20 ms the output would play next, faded) and plays
// it before anything else: a ring opened again straight away (another song)
// can't cut it short.
#include "sound/worklet/worklet_sound_device.h"

#include "sound/memory_ring_device.h"
#include "sound/sound_server.h"

struct SoundDevice {
    bool open;
    uint32_t sinceRefill;   // samples the output took since the last refill
    uint32_t tailAt;
    uint32_t tailSamples;   // of the fade-out of the ring that closed
};

struct SoundThread {
    SoundServer* server;
    bool running;
};

namespace {

SoundDevice Device;
MemoryRingBuffer Ring;
SoundThread Thread;
int16_t Tail[FadeSamples];

constexpr uint32_t RefillSamples = StreamSampleRate * RefillMilliseconds / 1000;   // 882
static_assert(RefillSamples * 2 == PacedRefillBytes, "a refill after each 20 ms the output played");

void Pass()
{
    if (Thread.running && !SoundServer::ThreadPass(Thread.server)) Thread.running = false;
    Device.sinceRefill = 0;
}

int DeviceOpen(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer**, SoundBuffer** ring)
{
    *device = &Device;
    Ring.holdOutput = nullptr;   // the output and the refill never run at once
    Ring.burstBytes = 0;
    if (OpenMemoryRingBuffer(Ring, ringBytes) != 0) return -1;
    *ring = AsSoundBuffer(Ring);
    Device.open = true;
    Device.sinceRefill = 0;
    return 0;
}

// The thread's first pass at once; the output makes the others.
SoundThread* StartSoundThread(SoundServer* server)
{
    Thread = {server, true};
    Pass();
    return &Thread;
}

void SoundThreadSleep(uint32_t) {}

void DeviceFadeOut(SoundBuffer*)
{
    FadeOutMemoryRing(Ring.ring);
    if (Device.tailSamples > 0) {
        // The fade of the ring before still plays: none of this one has
        // been heard, so its fade is silence.
        Device.tailSamples = 0;
        return;
    }
    PlayMemoryRing(Ring.ring, Tail, FadeSamples);
    Device.tailAt = 0;
    Device.tailSamples = FadeSamples;
}

// The server asked the thread to stop; its next pass would end it, and
// there is none to wait for.
bool WaitForSoundThread(SoundThread* thread, uint32_t)
{
    if (thread) thread->running = false;
    return true;
}

void DeviceClose(SoundDevice*, SoundBuffer*, SoundBuffer*)
{
    Device.open = false;
}

}   // namespace

const SoundDeviceOps WorkletSoundDevice = MemoryRingDevice(DeviceOpen, StartSoundThread, SoundThreadSleep,
                                                           DeviceFadeOut, WaitForSoundThread, DeviceClose);

bool WorkletSoundPlay(int16_t* out, uint32_t samples)
{
    const bool sounding = Device.open || Device.tailSamples > 0;
    while (samples > 0 && Device.tailSamples > 0) {
        *out++ = Tail[Device.tailAt++];
        --Device.tailSamples;
        --samples;
    }
    while (samples > 0) {
        if (!Device.open) {
            for (; samples > 0; --samples) *out++ = 0;
            break;
        }
        const uint32_t left = RefillSamples - Device.sinceRefill;
        const uint32_t take = samples < left ? samples : left;
        PlayMemoryRing(Ring.ring, out, take);
        out += take;
        samples -= take;
        Device.sinceRefill += take;
        if (Device.sinceRefill == RefillSamples) Pass();
    }
    return sounding;
}

bool WorkletSoundFadedOut()
{
    return !Device.open && Device.tailSamples == 0;
}

uint32_t WorkletSoundFadeLeft()
{
    return Device.tailSamples;
}
