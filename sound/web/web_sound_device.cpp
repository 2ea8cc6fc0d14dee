// The sound device in a browser: the memory ring in the program's memory,
// played in a loop by a Web Audio ScriptProcessorNode that asks the program
// for each burst of samples (the ring's output side, with its fades) and so
// moves the cursor on by what it took. The audio context runs at 44,100 Hz
// and the browser resamples to the output.
//
// A ScriptProcessorNode runs its callback on the page's own thread, between
// frames and timer calls, so it and the refill never run at once and the
// ring needs no lock. Lock hands out the ring's own bytes.
//
// A page has no thread to give the SoundServer, so the sound thread's loop
// (refill, sleep 20 ms, again) becomes a 20 ms timer that makes the thread's
// passes (SoundServer::ThreadPass) for the server StartSoundThread was given. The timer shares the page's thread with
// the drawing, and a busy page can hold it back while the audio callbacks go
// on: when the audio has played half the ring since the last refill, its
// callback refills at once rather than play sound that is one lap old.
#include "sound/web/web_sound_device.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "sound/memory_ring.h"
#include "sound/sound_device.h"
#include "sound/sound_server.h"

struct SoundDevice {
    bool started;
    bool closing;   // fading out, to close once it has
    int refillTimer;
    uint32_t playedAtLook;   // the ring's count of bytes played when the server last looked
};

struct SoundBuffer {
    MemoryRing ring;
};

struct SoundThread {
    uint32_t (*entry)(void*);
    void* parameter;
};

namespace {

SoundDevice Device;
SoundBuffer Ring;
SoundThread Thread;

// 23 ms, a quarter of the ring.
constexpr int SamplesPerCallback = 1024;
int16_t Burst[SamplesPerCallback];

// The first 1.5 s as played (2^16 samples), kept for the page's tests.
constexpr int RecordedSamples = 65536;

// clang-format off
EM_JS(int, WebAudioAvailable, (), {
    return (typeof AudioContext !== 'undefined' || typeof webkitAudioContext !== 'undefined') ? 1 : 0;
});

// Builds ring -> ScriptProcessorNode -> gain -> speakers. The node takes each
// burst from the program and closes the context once the program says the
// music has faded out.
EM_JS(int, WebAudioStart, (int samplesPerCallback, int recordedSamples), {
    const Context = window.AudioContext || window.webkitAudioContext;
    let context;
    try {
        context = new Context({sampleRate: 44100, latencyHint: 'interactive'});
    } catch (e) {
        console.warn('Web Audio refused a 44,100 Hz context:', e);
        return 0;
    }
    const node = context.createScriptProcessor(samplesPerCallback, 0, 1);
    const gain = context.createGain();
    const recording = new Int16Array(recordedSamples);
    let recorded = 0;
    node.onaudioprocess = (event) => {
        const out = event.outputBuffer.getChannelData(0);
        const first = Module['_WebSoundTake'](out.length) >> 1;
        for (let i = 0; i < out.length; ++i) {
            const sample = HEAP16[first + i];
            if (recorded < recordedSamples) recording[recorded++] = sample;
            out[i] = sample / 32768;
        }
        if (Module['_WebSoundFadedOut']() && context.state !== 'closed') context.close();
    };
    node.connect(gain);
    gain.connect(context.destination);
    context.resume();
    Module['quillmoorAudio'] = {context: context, node: node, gain: gain, recording: recording};
    return 1;
});

EM_JS(void, WebAudioSetGain, (double gain), {
    const audio = Module['quillmoorAudio'];
    if (audio) audio.gain.gain.value = gain;
});
// clang-format on

void StopRefills()
{
    if (Device.refillTimer) emscripten_clear_interval(Device.refillTimer);
    Device.refillTimer = 0;
}

// One pass of the sound thread's loop; the loop ends, as the thread's
// does, when the server's pass says so.
void RefillNow()
{
    if (!SoundServer::ThreadPass(Thread.parameter)) StopRefills();
}

void RefillFromTimer(void*)
{
    RefillNow();
}

}   // namespace

// The node's burst: `samples` (at most one callback's) from the ring. The
// audio callback is also the way back in when the refill timer is late.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* WebSoundTake(int samples)
{
    if (samples > SamplesPerCallback) samples = SamplesPerCallback;
    PlayMemoryRing(Ring.ring, Burst, static_cast<uint32_t>(samples));
    const uint32_t sinceRefill = Ring.ring.played.load() - Device.playedAtLook;
    if (Device.refillTimer && sinceRefill >= Ring.ring.bytes / 2) RefillNow();
    return Burst;
}

// True once a closing intro's music has faded out: the context may close.
extern "C" EMSCRIPTEN_KEEPALIVE int WebSoundFadedOut()
{
    if (!Device.closing || !MemoryRingFadedOut(Ring.ring)) return 0;
    StopRefills();
    return 1;
}

int DeviceOpen(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer**, SoundBuffer** ring)
{
    if (!WebAudioAvailable()) return -1;
    Device = {};
    *device = &Device;
    if (OpenMemoryRing(Ring.ring, ringBytes) != 0) return -1;
    *ring = &Ring;
    // The ring counts as playing from here on; it is heard once
    // WebSoundStart has run inside a user gesture.
    return 0;
}

int BufferGetPlayPosition(SoundBuffer* buffer, PlayPosition* position)
{
    GetMemoryRingPosition(buffer->ring, position);
    Device.playedAtLook = position->played;
    return 0;
}

int BufferLock(SoundBuffer* buffer, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
               uint32_t* size2)
{
    return LockMemoryRing(buffer->ring, offset, bytes, region1, size1, region2, size2);
}

int BufferUnlock(SoundBuffer* buffer, void*, uint32_t, void*, uint32_t)
{
    UnlockMemoryRing(buffer->ring);
    return 0;
}

// The ring in memory can't be lost.
int BufferRecover(SoundBuffer*)
{
    return 0;
}

// The entry can't run as a loop here; the timer that WebSoundStart sets up
// calls the server's Refill in its stead.
SoundThread* StartSoundThread(uint32_t (*entry)(void*), void* parameter)
{
    Thread = {entry, parameter};
    return &Thread;
}

// Nothing may block the page's thread; the timer does the waiting.
void SoundThreadSleep(uint32_t) {}

bool WebSoundStart()
{
    if (Ring.ring.bytes == 0 || !Thread.parameter || Device.started) return false;
    Device.started = WebAudioStart(SamplesPerCallback, RecordedSamples) != 0;
    if (!Device.started) return false;
    // As the sound thread: the first refill at once, then one every 20 ms.
    Device.refillTimer = emscripten_set_interval(RefillFromTimer, RefillMilliseconds, nullptr);
    RefillNow();
    return true;
}

// The music fades out over 20 ms from the sound the ring already holds
// (a refill is always most of a ring ahead of the output); the node closes
// the context once it has.
void DeviceFadeOut(SoundBuffer* buffer)
{
    if (!Device.started) return;
    Device.closing = true;
    FadeOutMemoryRing(buffer->ring);
}

// The thread is the refill timer.
bool WaitForSoundThread(SoundThread*, uint32_t)
{
    StopRefills();
    return true;
}

// The audio context closes itself once the fade has played (WebSoundFadedOut).
void DeviceClose(SoundDevice*, SoundBuffer*, SoundBuffer*) {}

void WebSoundSetMuted(bool muted)
{
    WebAudioSetGain(muted ? 0.0 : 1.0);
}

uint32_t WebSoundConsumedBytes()
{
    return Ring.ring.played.load();
}
