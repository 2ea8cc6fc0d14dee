// Streams 16-bit mono PCM at 44,100 Hz through an 8192-byte looping ring on
// the sound device. A thread of its own wakes every 20 ms, finds how far the
// play cursor has moved and hands the stretch it has left behind to the
// FillCallback, which writes the sound that plays one ring length later.
#pragma once

#include <atomic>
#include <cstdint>

#include "sound/sound_device.h"

// Writes `bytes` / 2 samples at `samples`. The result is not used.
using SoundFillCallback = int (*)(int16_t* samples, uint32_t bytes);

constexpr uint32_t RingBytes = 8192;
constexpr uint32_t RefillMilliseconds = 20;
constexpr uint32_t LockRetryMilliseconds = 2;
// How long a front end that stops the sound at exit waits for the thread;
// one stuck in a device that no longer answers is left to the process's end.
constexpr uint32_t ShutdownMilliseconds = 1000;
// The refills of a server whose cursor keeps pace: the whole ring first, then
// the 20 ms the cursor moves between two refills.
constexpr uint32_t FirstRefillBytes = RingBytes;
constexpr uint32_t PacedRefillBytes = StreamSampleRate * 2 * RefillMilliseconds / 1000;   // 1764

class SoundServer {
public:
    explicit SoundServer(void* window);

    void Reset();
    bool Open(SoundFillCallback callback);
    static uint32_t ThreadMain(void* server);
    bool Refill();

    SoundFillCallback fillCallback;
    SoundDevice* directSound;
    void* window;
    SoundBuffer* primaryBuffer;
    SoundBuffer* streamBuffer;
    SoundThread* thread;
    uint32_t writeOffset;
    std::atomic<uint8_t> running;         // read by the front end at exit
    std::atomic<uint8_t> stopRequested;   // set by a front end that stops in order
    // Sound thread only: whether a refill has written the ring yet, and the
    // device's count of bytes played at the last refill (when it counts).
    uint8_t ringWritten;
    uint32_t playedAtRefill;

private:
    void SkipUnheard(uint32_t bytes);
    bool EndOfRefill();
};
