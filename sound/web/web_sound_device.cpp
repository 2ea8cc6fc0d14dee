// The sound device in a browser: an 8192-byte ring in the program's memory,
// played in a loop by a Web Audio ScriptProcessorNode that reads 16-bit mono
// samples at the play cursor and moves the cursor on by what it took. The
// audio context runs at 44,100 Hz and the browser resamples to the output.
//
// A ScriptProcessorNode runs its callback on the page's own thread, between
// frames and timer calls, so it and the refill never run at once and the
// ring needs no lock. Lock hands out the ring's own bytes.
//
// A page has no thread to give the SoundServer, so the sound thread's loop
// (refill, sleep 20 ms, again) becomes a 20 ms timer that calls Refill on the
// server StartSoundThread was given. Two things differ from a sound card,
// and the timer allows for both:
// - The cursor moves in steps of one audio callback (1024 samples), not
//   smoothly. A refill that came before the next step would find the cursor
//   where the last refill left it, which the ring logic reads as a whole lap
//   to refill; such a timer call leaves the ring alone.
// - The timer shares the page's thread with the drawing, and a busy page can
//   hold it back while the audio callbacks go on. When the audio has played
//   half the ring since the last refill, its callback refills at once rather
//   than play sound that is one lap old.
#include "sound/web/web_sound_device.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "sound/sound_device.h"
#include "sound/sound_server.h"

struct SoundDevice {
    bool started;
    int refillTimer;
    bool refilled;   // at least once since the start
};

struct SoundBuffer {
    bool isRing;
    uint32_t bytes;
    alignas(4) uint8_t data[RingBytes];
    // Written by the audio callback between calls into the program.
    volatile uint32_t playCursor;
    volatile uint32_t consumed;    // bytes played since the start, modulo 2^32
    uint32_t consumedAtLock;       // `consumed` when the last refill locked the ring
};

struct SoundThread {
    uint32_t (*entry)(void*);
    void* parameter;
};

namespace {

SoundDevice Device;
SoundBuffer Primary;
SoundBuffer Ring;
SoundThread Thread;

// 23 ms, a quarter of the ring.
constexpr int SamplesPerCallback = 1024;

// The first 1.5 s as played (2^16 samples), kept for the page's tests.
constexpr int RecordedSamples = 65536;

// clang-format off
EM_JS(int, WebAudioAvailable, (), {
    return (typeof AudioContext !== 'undefined' || typeof webkitAudioContext !== 'undefined') ? 1 : 0;
});

// Builds ring -> ScriptProcessorNode -> gain -> speakers. The node copies
// samples from the ring at the cursor, stores the moved cursor back, and
// calls the program to refill when the timer has fallen behind.
EM_JS(int, WebAudioStart, (const int16_t* ring, int ringBytes, volatile uint32_t* cursor,
                           volatile uint32_t* consumed, const uint32_t* consumedAtLock,
                           int samplesPerCallback, int recordedSamples), {
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
    const first = ring >> 1;
    const ringSamples = ringBytes >> 1;
    const recording = new Int16Array(recordedSamples);
    let recorded = 0;
    node.onaudioprocess = (event) => {
        const out = event.outputBuffer.getChannelData(0);
        let at = HEAPU32[cursor >> 2] >> 1;
        for (let i = 0; i < out.length; ++i) {
            const sample = HEAP16[first + at];
            if (recorded < recordedSamples) recording[recorded++] = sample;
            out[i] = sample / 32768;
            if (++at === ringSamples) at = 0;
        }
        HEAPU32[cursor >> 2] = at << 1;
        const played = (HEAPU32[consumed >> 2] + out.length * 2) >>> 0;
        HEAPU32[consumed >> 2] = played;
        if (((played - HEAPU32[consumedAtLock >> 2]) >>> 0) >= ringBytes / 2) Module['_WebSoundCatchUp']();
    };
    node.connect(gain);
    gain.connect(context.destination);
    context.resume();
    Module['quillmoorAudio'] = {context: context, node: node, gain: gain, recording: recording};
    return 1;
});

EM_JS(void, WebAudioClose, (), {
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

// One pass of the sound thread's loop; the loop ends, as ThreadMain does,
// when the server asks to stop.
void RefillNow()
{
    SoundServer* server = static_cast<SoundServer*>(Thread.parameter);
    Device.refilled = true;
    if (!server->Refill()) StopRefills();
}

void RefillFromTimer(void*)
{
    if (Device.refilled && Ring.consumed == Ring.consumedAtLock) return;   // the cursor hasn't moved
    RefillNow();
}

} // namespace

// The audio callback's way back in when the timer is late.
extern "C" EMSCRIPTEN_KEEPALIVE void WebSoundCatchUp()
{
    if (Device.refillTimer) RefillNow();
}

int DeviceCreate(SoundDevice** device)
{
    if (!WebAudioAvailable()) return -1;
    Device = {};
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

int DeviceCreateRingBuffer(SoundDevice*, uint32_t bytes, const PcmFormat& format, SoundBuffer** buffer)
{
    if (bytes == 0 || bytes > RingBytes || bytes % 2 != 0) return -1;
    if (format.channels != 1 || format.bitsPerSample != 16 || format.samplesPerSecond != 44100)
        return -1;
    Ring.isRing = true;
    Ring.bytes = bytes;
    std::memset(Ring.data, 0, sizeof Ring.data);   // the ring starts as silence
    Ring.playCursor = 0;
    Ring.consumed = 0;
    Ring.consumedAtLock = 0;
    *buffer = &Ring;
    return 0;
}

int BufferSetFormat(SoundBuffer*, const PcmFormat&)
{
    return 0;
}

// The ring counts as playing from here on; it is heard once WebSoundStart
// has run inside a user gesture.
int BufferPlayLooping(SoundBuffer* buffer)
{
    return buffer->isRing ? 0 : -1;
}

int BufferGetPlayCursor(SoundBuffer* buffer, uint32_t* playCursor)
{
    *playCursor = buffer->playCursor;
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
    buffer->consumedAtLock = buffer->consumed;
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
    if (!Ring.isRing || !Thread.parameter || Device.started) return false;
    Device.started = WebAudioStart(reinterpret_cast<const int16_t*>(Ring.data), static_cast<int>(Ring.bytes),
                                   &Ring.playCursor, &Ring.consumed, &Ring.consumedAtLock,
                                   SamplesPerCallback, RecordedSamples) != 0;
    if (!Device.started) return false;
    // As the sound thread: the first refill at once, then one every 20 ms.
    Device.refillTimer = emscripten_set_interval(RefillFromTimer, RefillMilliseconds, nullptr);
    RefillNow();
    return true;
}

void WebSoundStop()
{
    StopRefills();
    if (Device.started) WebAudioClose();
}

void WebSoundSetMuted(bool muted)
{
    WebAudioSetGain(muted ? 0.0 : 1.0);
}

uint32_t WebSoundConsumedBytes()
{
    return Ring.consumed;
}
