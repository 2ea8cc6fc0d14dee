// The sample clock and the mixer. FillCallback (music/player.h) cuts each
// request into 32-sample blocks; a tick of the clock precedes every block and
// decodes a song frame about 50 times a second; MixBlock turns the generator
// blocks into output samples with a two-tap feedback echo.
#pragma once

#include <cstdint>

// Advances the tick accumulator; decodes a frame when it crosses 2^31.
void FrameTick();

// Mixes entries 0..count-1 of the generator blocks into `out`.
void MixBlock(int16_t* out, int32_t count);
