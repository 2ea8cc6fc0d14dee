// The sample clock: a tick precedes every 32-sample block of the stream and
// decodes the next song frame when its accumulator crosses 2^31, about 50
// times a second. The player generates and mixes in runs between the ticks
// that decode, since the registers stay the same over such a run.
#pragma once

#include <cstdint>

// Advances the tick accumulator; decodes a frame when it crosses 2^31.
void FrameTick();

// The tick that begins the next block of 32 samples.
void BeginBlock();

// How many of the next `left` samples can be generated and mixed in one go:
// the rest of the pending block, then whole or partial blocks whose ticks
// decode nothing (those ticks are taken here), up to the tick that decodes
// the next frame or MaxRunSamples. The registers are the same throughout.
int32_t TakeQuietRun(int32_t left);
