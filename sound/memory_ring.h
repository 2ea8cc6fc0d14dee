// The ring of the devices whose output takes samples through a callback of
// its own (SDL2, Web Audio, the tests' scripted device): the ring's bytes in
// memory, locked straight into by the refill, and the output's side that
// plays them in a loop and counts what it took.
//
// The output starts silent and fades in: the ring starts as zeros, and from
// the first sample that isn't silence (the player's first written sound) the
// music rises from 0 over FadeSamples. Asked to fade out, the output goes down
// to 0 over FadeSamples and then plays silence, so closing it makes no click.
#pragma once

#include <atomic>
#include <cstdint>

#include "sound/sound_device.h"

struct MemoryRing {
    alignas(4) uint8_t data[RingBytes];
    uint32_t bytes;
    // Bytes the output has taken since the ring opened, modulo 2^32; the play
    // cursor is this modulo `bytes`. Its store after each take hands the
    // bytes behind the cursor to the refill.
    std::atomic<uint32_t> played;
    // Counts the refills. Its increment on unlock publishes the bytes just
    // written; the output reads it before taking any.
    std::atomic<uint32_t> refills;
    std::atomic<bool> fadeOutAsked;
    std::atomic<bool> fadedOut;
    // The output's side only.
    bool musicStarted;
    uint32_t fadeIn;    // samples of the fade-in played
    uint32_t fadeOut;   // samples of the fade-out played
};

// A silent ring of `bytes` (even, at most RingBytes) with its cursor at 0.
int OpenMemoryRing(MemoryRing& ring, uint32_t bytes);
void GetMemoryRingPosition(const MemoryRing& ring, PlayPosition* position);
int LockMemoryRing(MemoryRing& ring, uint32_t offset, uint32_t bytes, void** region1, uint32_t* size1, void** region2,
                   uint32_t* size2);
void UnlockMemoryRing(MemoryRing& ring);
// True when a stretch of `bytes` written behind the cursor may reach what an
// output that takes `burstBytes` at a time reads next: a whole ring, or one
// so late (a refill held up) that less than a burst of it is left unplayed
// ahead of the cursor.
bool ReachesCursor(const MemoryRing& ring, uint32_t bytes, uint32_t burstBytes);

// The output moves on `bytes` without taking them: sound that played to no
// one while the output was away. Only while no output plays the ring.
void AdvanceMemoryRing(MemoryRing& ring, uint32_t bytes);

// The output takes `samples` samples at the cursor into `out`, with the fades.
void PlayMemoryRing(MemoryRing& ring, int16_t* out, uint32_t samples);
void FadeOutMemoryRing(MemoryRing& ring);
bool MemoryRingFadedOut(const MemoryRing& ring);
