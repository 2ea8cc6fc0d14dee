// The tune made fit for other programs: the player's samples sit far from
// zero (about -0.7 of full scale), which wastes headroom and thumps when a
// player starts or stops them. A first-order high-pass at 5 Hz takes the
// offset out; a fade-in over FadeSamples (20 ms) hides the start.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr double DcBlockCornerHz = 5.0;

// Filters a stream in place, block by block. Leading silence (zeros, as the
// lead-in of silent calls) passes as it is; the filter starts at the first
// other sample as though the tune had always been at that level, so the
// start is no step, and the fade-in runs from there.
struct DcBlocker {
    bool started = false;
    double previousIn = 0.0;
    double previousOut = 0.0;
    uint32_t faded = 0;   // samples of the fade-in done

    void Process(int16_t* samples, size_t count);
};
