// The sample clock and the mixer. A tick of the clock precedes every
// 32-sample block of the stream and decodes a song frame about 50 times a
// second; FillCallback (music/player.h) generates and mixes each request in
// runs between the ticks that decode, and MixBlock turns the generator
// blocks into output samples with a two-tap feedback echo.
#pragma once

#include <cstdint>

// Advances the tick accumulator; decodes a frame when it crosses 2^31.
void FrameTick();

// Mixes entries 0..count-1 of the generator blocks into `out`.
void MixBlock(int16_t* out, int32_t count);
