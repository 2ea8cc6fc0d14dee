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
//
// The audio context and its node live from the first start to the page's
// end; closing the sound for another song and opening it again gives the
// node a new ring. Nothing on the page's thread may wait, so the fade-out
// is taken from the ring as soon as it is asked for (the 20 ms the output
// would play next, faded) and the node plays it before anything else: a new
// ring opened at once can't cut it short, and only when no new ring has come
// by the time it has played does the context close.
#include "sound/web/web_sound_device.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "sound/memory_ring_device.h"
#include "sound/sound_server.h"

struct SoundDevice {
    bool started;   // the audio context plays (from WebSoundStart to the page's end)
    bool closing;   // fading out, to close once it has, unless a ring opens again
    int refillTimer;
    // The fade-out of the ring that closed, still to be played.
    uint32_t tailAt;
    uint32_t tailSamples;
    // The first samples of the current ring as played, for the page's tests.
    uint32_t recorded;
};

struct SoundThread {
    SoundServer* server;
};

namespace {

SoundDevice Device;
MemoryRingBuffer Ring;
SoundThread Thread;

// 23 ms, a quarter of the ring.
constexpr int SamplesPerCallback = 1024;
int16_t Burst[SamplesPerCallback];

int16_t Tail[FadeSamples];
static_assert(FadeSamples <= static_cast<uint32_t>(SamplesPerCallback), "a fade-out fits in one burst");

// The first 1.5 s of each ring as played (2^16 samples), kept for the
// page's tests: what the current song sounds like from its start.
constexpr uint32_t RecordedSamples = 65536;
int16_t Recording[RecordedSamples];

// clang-format off
EM_JS(int, WebAudioAvailable, (), {
    return (typeof AudioContext !== 'undefined' || typeof webkitAudioContext !== 'undefined') ? 1 : 0;
});

// Builds ring -> ScriptProcessorNode -> gain -> speakers. The node takes each
// burst from the program and closes the context once the program says the
// music has faded out for good. The program keeps the first samples the
// current ring played at `recording`; quillmoorAudio.recording is a copy.
EM_JS(int, WebAudioStart, (int sampleRate, int samplesPerCallback, const int16_t* recording, int recordedSamples), {
    const Context = window.AudioContext || window.webkitAudioContext;
    let context;
    try {
        context = new Context({sampleRate: sampleRate, latencyHint: 'interactive'});
    } catch (e) {
        console.warn('Web Audio refused a 44,100 Hz context:', e);
        return 0;
    }
    const node = context.createScriptProcessor(samplesPerCallback, 0, 1);
    const gain = context.createGain();
    // A buffer that comes later than the one before it by more than its
    // length, or after its time, is sound the page didn't make in time:
    // counted, in 128-frame quanta, for the page's tests.
    let lastPlayback = -1;
    node.onaudioprocess = (event) => {
        const out = event.outputBuffer.getChannelData(0);
        const length = out.length / context.sampleRate;
        if ((lastPlayback >= 0 && event.playbackTime - lastPlayback > 1.5 * length) ||
            event.playbackTime + 1e-3 < context.currentTime) {
            Module['quillmoorAudio'].emptyQuanta += out.length / 128;
        }
        lastPlayback = event.playbackTime;
        const first = Module['_WebSoundTake'](out.length) >> 1;
        for (let i = 0; i < out.length; ++i) out[i] = HEAP16[first + i] / 32768;
        if (Module['_WebSoundFadedOut']() && context.state !== 'closed') context.close();
    };
    node.connect(gain);
    gain.connect(context.destination);
    context.resume();
    Module['quillmoorAudio'] = {
        context: context, node: node, gain: gain, emptyQuanta: 0,
        get recording() {
            const first = recording >> 1;
            return HEAP16.slice(first, first + Module['_WebSoundRecordedSamples']());
        },
    };
    return 1;
});

EM_JS(void, WebAudioStop, (), {
    const audio = Module['quillmoorAudio'];
    if (audio && audio.context.state !== 'closed') audio.context.close();
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
    if (!SoundServer::ThreadPass(Thread.server)) StopRefills();
}

void RefillFromTimer(void*)
{
    RefillNow();
}

// As the sound thread starts: the first refill at once, then one every 20 ms.
void StartRefills()
{
    StopRefills();
    Device.refillTimer = emscripten_set_interval(RefillFromTimer, RefillMilliseconds, nullptr);
    RefillNow();
}

}   // namespace

// The node's burst: `samples` (at most one callback's) from the ring. The
// audio callback is also the way back in when the refill timer is late.
extern "C" EMSCRIPTEN_KEEPALIVE const int16_t* WebSoundTake(int samples)
{
    if (samples < 0) samples = 0;
    if (samples > SamplesPerCallback) samples = SamplesPerCallback;
    uint32_t taken = 0;
    while (Device.tailSamples > 0 && taken < static_cast<uint32_t>(samples)) {
        Burst[taken++] = Tail[Device.tailAt++];
        --Device.tailSamples;
    }
    int16_t* fromRing = Burst + taken;
    const uint32_t ringSamples = static_cast<uint32_t>(samples) - taken;
    PlayMemoryRing(Ring.ring, fromRing, ringSamples);
    for (uint32_t i = 0; i < ringSamples && Device.recorded < RecordedSamples; ++i)
        Recording[Device.recorded++] = fromRing[i];
    const uint32_t sinceRefill = Ring.ring.played.load() - Ring.playedAtLook;
    if (Device.refillTimer && sinceRefill >= Ring.ring.bytes / 2) RefillNow();
    return Burst;
}

// True once a closing intro's music has faded out and no new ring has
// opened: the context may close.
extern "C" EMSCRIPTEN_KEEPALIVE int WebSoundFadedOut()
{
    if (!Device.closing || Device.tailSamples > 0 || !MemoryRingFadedOut(Ring.ring)) return 0;
    StopRefills();
    return 1;
}

extern "C" EMSCRIPTEN_KEEPALIVE int WebSoundRecordedSamples()
{
    return static_cast<int>(Device.recorded);
}

namespace {

// The context and the node, once started, and the fade-out still to be
// played carry over to the new ring.
int DeviceOpen(void*, uint32_t ringBytes, SoundDevice** device, SoundBuffer**, SoundBuffer** ring)
{
    if (!WebAudioAvailable()) return -1;
    StopRefills();
    Device.closing = false;
    Device.recorded = 0;
    *device = &Device;
    if (OpenMemoryRingBuffer(Ring, ringBytes) != 0) return -1;
    *ring = AsSoundBuffer(Ring);
    // The ring counts as playing from here on; it is heard once
    // WebSoundStart has run inside a user gesture (at once when it has).
    return 0;
}

// The entry can't run as a loop here; the timer that WebSoundStart sets up
// calls the server's Refill in its stead.
SoundThread* StartSoundThread(SoundServer* server)
{
    Thread = {server};
    if (Device.started) StartRefills();   // a new song on a page already playing
    return &Thread;
}

// Nothing may block the page's thread; the timer does the waiting.
void SoundThreadSleep(uint32_t) {}

// The music fades out over 20 ms from the sound the ring already holds
// (a refill is always most of a ring ahead of the output), taken from it
// now for the node to play next; the node closes the context once it has,
// unless a new ring has opened meanwhile.
void DeviceFadeOut(SoundBuffer*)
{
    if (!Device.started) return;
    Device.closing = true;
    FadeOutMemoryRing(Ring.ring);
    if (Device.tailSamples > 0) {
        // The node is still playing the fade of the ring before: none of
        // this one has been heard, so its fade is silent as well.
        PlayMemoryRing(Ring.ring, Burst, FadeSamples);
        return;
    }
    PlayMemoryRing(Ring.ring, Tail, FadeSamples);
    Device.tailAt = 0;
    Device.tailSamples = FadeSamples;
}

// The thread is the refill timer.
bool WaitForSoundThread(SoundThread*, uint32_t)
{
    StopRefills();
    return true;
}

// The audio context closes itself once the fade has played (WebSoundFadedOut)
// and no ring has opened again.
void DeviceClose(SoundDevice*, SoundBuffer*, SoundBuffer*) {}

// The ring plays on behind a silent gain, so the music keeps its time.
void SetMuted(bool muted)
{
    WebAudioSetGain(muted ? 0.0 : 1.0);
}

}   // namespace

const SoundDeviceOps WebSoundDevice = MemoryRingDevice(DeviceOpen, StartSoundThread, SoundThreadSleep, DeviceFadeOut,
                                                       WaitForSoundThread, DeviceClose, SetMuted);

bool WebSoundStart()
{
    if (Ring.ring.bytes == 0 || !Thread.server) return false;
    // Started again (a page back from the browser's cache): a new context
    // replaces the one that closed, or was closing, as the page was left.
    if (Device.started) {
        WebAudioStop();
        Device.tailSamples = 0;
    }
    Device.started = WebAudioStart(static_cast<int>(StreamSampleRate), SamplesPerCallback, Recording,
                                   static_cast<int>(RecordedSamples)) != 0;
    if (!Device.started) return false;
    StartRefills();
    return true;
}

uint32_t WebSoundConsumedBytes()
{
    return Ring.ring.played.load();
}
