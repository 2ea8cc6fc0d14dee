// The mixer: the generator blocks turned into output samples, the three
// voices on a fixed offset with a two-tap feedback echo.
#pragma once

#include <cstdint>

// Mixes entries 0..count-1 of the generator blocks into `out`.
void MixBlock(int16_t* out, int32_t count);
