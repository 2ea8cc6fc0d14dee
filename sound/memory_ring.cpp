#include "sound/memory_ring.h"

#include <cstring>

int OpenMemoryRing(MemoryRing& ring, uint32_t bytes)
{
    if (bytes == 0 || bytes > RingBytes || bytes % 2 != 0) return -1;
    std::memset(ring.data, 0, sizeof ring.data);   // the ring starts as silence
    ring.bytes = bytes;
    ring.played.store(0);
    ring.refills.store(0);
    ring.fadeOutAsked.store(false);
    ring.fadedOut.store(false);
    ring.musicStarted = false;
    ring.fadeIn = 0;
    ring.fadeOut = 0;
    return 0;
}

void GetMemoryRingPosition(const MemoryRing& ring, PlayPosition* position)
{
    const uint32_t played = ring.played.load(std::memory_order_acquire);
    position->playCursor = played % ring.bytes;
    position->counted = true;
    position->played = played;
}

int LockMemoryRing(MemoryRing& ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                   uint32_t* size2)
{
    if (offset >= ring.bytes || bytes == 0 || bytes > ring.bytes) return -1;
    const uint32_t first = bytes < ring.bytes - offset ? bytes : ring.bytes - offset;
    *region1 = ring.data + offset;
    *size1 = first;
    *region2 = first < bytes ? ring.data : nullptr;
    *size2 = bytes - first;
    return 0;
}

void UnlockMemoryRing(MemoryRing& ring)
{
    ring.refills.fetch_add(1, std::memory_order_release);
}

bool ReachesCursor(const MemoryRing& ring, uint32_t bytes, uint32_t burstBytes)
{
    return bytes + burstBytes > ring.bytes;
}

void PlayMemoryRing(MemoryRing& ring, int16_t* out, uint32_t samples)
{
    ring.refills.load(std::memory_order_acquire);
    const bool fadingOut = ring.fadeOutAsked.load(std::memory_order_acquire);
    const uint32_t played = ring.played.load(std::memory_order_relaxed);
    const uint32_t ringSamples = ring.bytes / 2;
    const int16_t* data = reinterpret_cast<const int16_t*>(ring.data);
    uint32_t at = played % ring.bytes / 2;
    for (uint32_t i = 0; i < samples; ++i) {
        int32_t sample = data[at];
        if (++at == ringSamples) at = 0;
        if (!ring.musicStarted) ring.musicStarted = sample != 0;
        if (ring.musicStarted && ring.fadeIn < FadeSamples) {
            sample = sample * static_cast<int32_t>(ring.fadeIn) / static_cast<int32_t>(FadeSamples);
            ++ring.fadeIn;
        }
        if (fadingOut) {
            if (ring.fadeOut < FadeSamples) {
                sample = sample * static_cast<int32_t>(FadeSamples - 1 - ring.fadeOut) /
                         static_cast<int32_t>(FadeSamples);
                ++ring.fadeOut;
            } else {
                sample = 0;
            }
        }
        out[i] = static_cast<int16_t>(sample);
    }
    ring.played.store(played + samples * 2, std::memory_order_release);
    if (fadingOut && ring.fadeOut >= FadeSamples) ring.fadedOut.store(true, std::memory_order_release);
}

void AdvanceMemoryRing(MemoryRing& ring, uint32_t bytes)
{
    ring.played.store(ring.played.load(std::memory_order_relaxed) + bytes, std::memory_order_release);
}

void FadeOutMemoryRing(MemoryRing& ring)
{
    ring.fadeOutAsked.store(true, std::memory_order_release);
}

bool MemoryRingFadedOut(const MemoryRing& ring)
{
    return ring.fadedOut.load(std::memory_order_acquire);
}
