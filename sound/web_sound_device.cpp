// The sound device in a browser: an 8192-byte ring in the program's memory,
// played in a loop by a Web Audio ScriptProcessorNode that reads 16-bit mono
// samples at the play cursor and moves the cursor on by what it took. The
// audio context runs at 44,100 Hz and the browser resamples to the output.
//
// A ScriptProcessorNode runs its callback on the page's own thread, between
// frames and timer calls, so it and the refill never run at once and the
// ring needs no lock. Lock hands out the ring's own bytes.
//
// There is no thread: the front end drives the refills from a 20 ms timer
// (see app/web_main.cpp), and StartSoundThread only notes that it may.
#include "sound/web_sound_device.h"

#include <emscripten.h>

#include <cstring>

#include "sound/sound_device.h"
#include "sound/sound_server.h"

struct SoundDevice {
    bool started;
};

struct SoundBuffer {
    bool isRing;
    uint32_t bytes;
    alignas(4) uint8_t data[RingBytes];
    // Written by the audio callback between calls into the program.
    volatile uint32_t playCursor;
    volatile uint32_t consumed;
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

// 23 ms, a quarter of the ring: the cursor moves in steps of this, so the
// 20 ms refill finds it moved most of the time and stays well behind it.
constexpr int SamplesPerCallback = 1024;

// The first 1.5 s as played (2^16 samples), kept for the page's tests.
constexpr int RecordedSamples = 65536;

// clang-format off
EM_JS(int, WebAudioAvailable, (), {
    return (typeof AudioContext !== 'undefined' || typeof webkitAudioContext !== 'undefined') ? 1 : 0;
});

// Builds ring -> ScriptProcessorNode -> gain -> speakers. The node copies
// samples from the ring at the cursor and stores the moved cursor back.
EM_JS(int, WebAudioStart, (const int16_t* ring, int ringBytes, volatile uint32_t* cursor,
                           volatile uint32_t* consumed, int samplesPerCallback, int recordedSamples), {
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
        HEAPU32[consumed >> 2] = (HEAPU32[consumed >> 2] + out.length * 2) >>> 0;
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

} // namespace

int DeviceCreate(SoundDevice** device)
{
    if (!WebAudioAvailable()) return -1;
    Device.started = false;
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

// A page has no threads to spare: the entry is recorded and the front end
// calls SoundServer::Refill from a timer instead, as ThreadMain would.
SoundThread* StartSoundThread(uint32_t (*entry)(void*), void* parameter)
{
    Thread = {entry, parameter};
    return &Thread;
}

// Nothing may block the page's thread; the timer does the waiting.
void SoundThreadSleep(uint32_t) {}

bool WebSoundStart()
{
    if (!Ring.isRing || Device.started) return false;
    Device.started = WebAudioStart(reinterpret_cast<const int16_t*>(Ring.data), static_cast<int>(Ring.bytes),
                                   &Ring.playCursor, &Ring.consumed, SamplesPerCallback, RecordedSamples) != 0;
    return Device.started;
}

void WebSoundStop()
{
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
