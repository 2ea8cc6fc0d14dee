// The device operations the SoundServer streams through, the whole life of a
// device: open a looping ring, read where it plays, lock and unlock a stretch
// of it, get a lost ring back, run the sound thread, and at the end fade the
// output out, wait for the thread and close. Each device (DirectSound on
// Windows, SDL2 audio on Linux, Web Audio in a browser, the tests' scripted
// one) fills in one SoundDeviceOps record; the front end hands it to the
// sound session, which gives it to the server. A device whose output plays a
// ring in memory takes its four ring operations from memory_ring_device.h and
// supplies only open, thread and close. Every operation that can fail
// returns 0 on success and anything else on failure.
#pragma once

#include <cstdint>

#include "base/stream_format.h"

class SoundServer;
struct SoundDevice;   // the output device (IDirectSound on Windows)
struct SoundBuffer;   // a buffer on it (IDirectSoundBuffer on Windows)
struct SoundThread;   // the streaming thread

// The ring: 4096 samples, about 93 ms.
constexpr uint32_t RingBytes = 8192;

// Where the ring plays.
struct PlayPosition {
    uint32_t playCursor;   // byte offset in the ring of the next byte to play
    // Devices whose own callback takes the bytes count them: `played` is the
    // number of bytes taken since the ring started, modulo 2^32, so a gap of
    // more than a lap between two looks shows. DirectSound can't tell.
    bool counted;
    uint32_t played;
};

struct SoundDeviceOps {
    // Opens the default output with the stream's format and starts a silent
    // ring of `ringBytes` playing in a loop. What it made is stored in
    // `device`, `primary` (a device that needs one to set the format) and
    // `ring` as it goes, and stays there when a later step fails.
    int (*open)(void* window, uint32_t ringBytes, SoundDevice** device, SoundBuffer** primary, SoundBuffer** ring);

    int (*getPlayPosition)(SoundBuffer* ring, PlayPosition* position);
    // Hands out `bytes` of the ring from `offset` as one or two regions (the
    // second, from the ring's start, only when the stretch wraps).
    int (*lock)(SoundBuffer* ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                uint32_t* size2);
    int (*unlock)(SoundBuffer* ring, void* region1, uint32_t size1, void* region2, uint32_t size2);
    // Gets a lost ring back and playing in a loop again.
    int (*recover)(SoundBuffer* ring);

    // Runs SoundServer::ThreadMain(server) on a thread of its own; null if it
    // couldn't start.
    SoundThread* (*startThread)(SoundServer* server);
    void (*threadSleep)(uint32_t milliseconds);

    // Closing, in this order, on the thread that opened the device:
    // Lets the output fall to silence while the sound thread still refills
    // (where the output fades; others stop as they are when closed).
    void (*fadeOut)(SoundBuffer* ring);
    // Waits for a sound thread that was asked to stop to end, at most
    // `milliseconds`; true once it has ended (or there was none).
    bool (*waitForThread)(SoundThread* thread, uint32_t milliseconds);
    // Stops the ring and lets go of what open made (any of it may be null).
    void (*close)(SoundDevice* device, SoundBuffer* primary, SoundBuffer* ring);

    // Silences the output or lets it be heard again, the ring playing on so
    // the music keeps its time. Null where the device can't.
    void (*setMuted)(bool muted);
};
