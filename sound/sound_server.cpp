#include "sound/sound_server.h"

namespace {

// Where the sound that could not be heard is rendered and dropped; only the
// sound thread uses it.
int16_t Unheard[RingBytes / 2];

}   // namespace

SoundServer::SoundServer(void* window, const SoundDeviceOps& device)
    : fillCallback(nullptr), device(&device), window(window)
{
    Reset();
}

void SoundServer::Reset()
{
    directSound = nullptr;
    primaryBuffer = nullptr;
    streamBuffer = nullptr;
    thread = nullptr;
    writeOffset = 0;
    running = 0;
    stopRequested = 0;
    ringWritten = 0;
    playedAtRefill = 0;
}

bool SoundServer::Open(SoundFillCallback callback)
{
    fillCallback = callback;
    if (device->open(window, RingBytes, &directSound, &primaryBuffer, &streamBuffer) != 0) return false;
    // The ring already plays; the thread's first refill comes at once.
    thread = device->startThread(this);
    running = 1;
    return true;
}

uint32_t SoundServer::ThreadMain(void* server)
{
    if (!server) return 0;
    const SoundDeviceOps* device = static_cast<SoundServer*>(server)->device;
    while (ThreadPass(server)) device->threadSleep(RefillMilliseconds);
    return 0;
}

bool SoundServer::ThreadPass(void* server)
{
    return static_cast<SoundServer*>(server)->Refill();
}

bool SoundServer::Close()
{
    if (!streamBuffer && !directSound) return true;   // never opened
    if (running) {
        device->fadeOut(streamBuffer);
        stopRequested = 1;
        if (!device->waitForThread(thread, ShutdownMilliseconds)) return false;
        running = 0;
    }
    device->close(directSound, primaryBuffer, streamBuffer);
    Reset();
    return true;
}

bool SoundServer::Refill()
{
    PlayPosition position{};
    // Where the ring plays isn't known: nothing is known to have played.
    if (device->getPlayPosition(streamBuffer, &position) != 0) return EndOfRefill();
    const uint32_t playCursor = position.playCursor;

    // The stretch the cursor has passed since the last refill. Equal
    // positions mean a whole lap only before the ring was ever written (it
    // all waits to be filled); after that an unmoved cursor has played
    // nothing, and a cursor that reports in coarse steps or a refill that
    // comes early must not write over sound still to be heard.
    uint32_t bytes = playCursor - writeOffset;
    if (writeOffset >= playCursor) bytes += RingBytes;
    if (ringWritten && playCursor == writeOffset) bytes = 0;
    if (ringWritten && position.counted) {
        // More than a lap played since the last refill (the thread was held
        // up, or the output came back after a gap): the listener heard the
        // ring go round again. The music keeps its time: the sound that was
        // due meanwhile is passed over, and the whole ring is written anew
        // from the cursor, so it plays on in order.
        const uint32_t played = position.played - playedAtRefill;
        if (played >= RingBytes) {
            SkipUnheard(played - RingBytes);
            writeOffset = playCursor;
            bytes = RingBytes;
        }
    }
    playedAtRefill = position.played;
    if (bytes == 0) return EndOfRefill();

    void* region1 = nullptr;
    void* region2 = nullptr;
    uint32_t size1 = 0;
    uint32_t size2 = 0;
    while (device->lock(streamBuffer, writeOffset, bytes, &region1, &size1, &region2, &size2) != 0) {
        // A lost ring: get it back and playing, then try again; unless the
        // program is closing, when it is left as it is.
        if (stopRequested) return EndOfRefill();
        device->recover(streamBuffer);
        device->threadSleep(LockRetryMilliseconds);
    }

    if (fillCallback) {
        if (region1 && size1) fillCallback(static_cast<int16_t*>(region1), size1);
        if (region2 && size2) fillCallback(static_cast<int16_t*>(region2), size2);
    }
    device->unlock(streamBuffer, region1, size1, region2, size2);
    ringWritten = 1;

    writeOffset += bytes;
    if (writeOffset >= RingBytes) writeOffset -= RingBytes;
    return EndOfRefill();
}

void SoundServer::SkipUnheard(uint32_t bytes)
{
    if (!fillCallback) return;
    bytes &= ~1u;   // whole samples
    while (bytes > 0) {
        const uint32_t chunk = bytes < sizeof Unheard ? bytes : sizeof Unheard;
        fillCallback(Unheard, chunk);
        bytes -= chunk;
    }
}

// The stop request is read once a refill: the thread goes on or ends.
bool SoundServer::EndOfRefill()
{
    const bool stop = stopRequested != 0;
    if (stop) running = 0;
    return !stop;
}
