// What each fuzz target does with one input, apart from libFuzzer so that
// the unit tests can replay the inputs kept in regressions/ through the very
// same code. Each hands the input to a loader as bytes, as the shell hands
// over a file's contents, then runs the code that reads what was loaded.
// Each returns false when a property it checks does not hold.
#pragma once

#include <cstddef>
#include <cstdint>

// Any song file: loaded, played on the clock, then walked frame by frame.
bool FuzzSong(const uint8_t* data, size_t size);

// Any font: two bytes give the table file's length in fours, the table
// follows, the rest is the glyph file; then the page is drawn.
bool FuzzFont(const uint8_t* data, size_t size);

// Any logo file: the mask built from it and laid over a frame.
bool FuzzLogo(const uint8_t* data, size_t size);
