// Streams 16-bit mono PCM at 44,100 Hz through an 8192-byte looping ring on
// the sound device. A thread of its own wakes every 20 ms, finds how far the
// play cursor has moved and hands the stretch it has left behind to the
// FillCallback, which writes the sound that plays one ring length later.
//
// The server's fields are its own: front ends and devices change them only
// through its operations (Open, Close), and the sound thread through
// ThreadMain or ThreadPass.
#pragma once

#include <atomic>
#include <cstdint>

#include "sound/sound_device.h"

// Writes `bytes` / 2 samples at `samples`. The result is not used.
using SoundFillCallback = int (*)(int16_t* samples, uint32_t bytes);

constexpr uint32_t RefillMilliseconds = 20;
constexpr uint32_t LockRetryMilliseconds = 2;
// How long Close waits for the thread; one stuck in a device that no longer
// answers is left to the process's end.
constexpr uint32_t ShutdownMilliseconds = 1000;
// The refills of a server whose cursor keeps pace: the whole ring first, then
// the 20 ms the cursor moves between two refills.
constexpr uint32_t FirstRefillBytes = RingBytes;
constexpr uint32_t PacedRefillBytes = StreamSampleRate * 2 * RefillMilliseconds / 1000;   // 1764

class SoundServer {
public:
    // Streams through `device`, which outlives the server.
    SoundServer(void* window, const SoundDeviceOps& device);

    void Reset();
    bool Open(SoundFillCallback callback);
    // The sound thread's entry: ThreadPass, then again every 20 ms, until it
    // returns false.
    static uint32_t ThreadMain(void* server);
    // One pass of the sound thread: a refill; false once the thread is to
    // end. A device without threads (a web page) calls it from a timer.
    static bool ThreadPass(void* server);
    bool Refill();

    // Stops the sound in order and closes the device: the output falls to
    // silence while the thread still refills, the thread ends after its
    // current refill, the device stops and lets go of the ring. The server
    // is then as constructed and may be opened again. False when the thread
    // did not end within ShutdownMilliseconds (stuck in a device that no
    // longer answers): it and the device are left to the process's end.
    bool Close();

    // True from a successful Open until Close.
    bool IsOpen() const { return running != 0; }

private:
    friend struct SoundServerProbe;   // the tests' view of the fields

    void SkipUnheard(uint32_t bytes);
    bool EndOfRefill();

    SoundFillCallback fillCallback;
    const SoundDeviceOps* device;
    SoundDevice* directSound;
    void* window;
    SoundBuffer* primaryBuffer;
    SoundBuffer* streamBuffer;
    SoundThread* thread;
    uint32_t writeOffset;
    std::atomic<uint8_t> running;
    std::atomic<uint8_t> stopRequested;
    // Sound thread only: whether a refill has written the ring yet, and the
    // device's count of bytes played at the last refill (when it counts).
    uint8_t ringWritten;
    uint32_t playedAtRefill;
};
