#include "picture/surfaces.h"

#include <bit>
#include <cstring>

#include "base/arith.h"

Surfaces Screen;

void BuildPalette()
{
    // One unit in the last place nearer zero than the double closest to
    // -0.99; the nearer constant turns entry 123's red from 134 into 135.
    const double redSlope = std::bit_cast<double>(uint64_t{0xBFEFAE147AE147ADu});
    for (int i = 0; i < 256; ++i) {
        const int32_t a = TruncToInt(i * 1.5 + 16.0);
        const int32_t red = ClampByte((72 - TruncToInt(a * redSlope)) / 2);
        const int32_t green = ClampByte((-43 - TruncToInt((i - 7) * -1.755)) / 2);
        const int32_t blue = ClampByte((-43 - TruncToInt((i - 4) * -1.755)) / 2);
        Screen.Palette[i] = static_cast<uint32_t>(red << 16 | green << 8 | blue);
    }
    // A pair's first pixel is the low byte of its 16 bits and the low half
    // of its entry (ConvertFrame holds the byte order to little-endian).
    for (uint32_t second = 0; second < 256; ++second) {
        for (uint32_t first = 0; first < 256; ++first)
            Screen.PalettePairs[second << 8 | first] = uint64_t{Screen.Palette[second]} << 32 | Screen.Palette[first];
    }
}

int ConvertFrame()
{
    // Eight pixels are one 8-byte load from the picture; each 16-bit
    // quarter of it names two pixels' colours in PalettePairs, and two pairs
    // make one 16-byte store.
    static_assert(std::endian::native == std::endian::little, "a pair's first pixel is its low byte and half");
    using Wide2 = uint64_t __attribute__((vector_size(16)));
    const uint64_t* pairs = Screen.PalettePairs;
    static_assert(PictureWidth % 8 == 0);
    for (int y = 0; y < PictureHeight; ++y) {
        const uint8_t* source = WorkPixel(0, y);
        uint32_t* target = Screen.OutputImage + y * PictureWidth;
        for (int x = 0; x < PictureWidth; x += 8) {
            uint64_t eight;
            std::memcpy(&eight, source + x, sizeof eight);
            const Wide2 first = {pairs[eight & 0xFFFF], pairs[eight >> 16 & 0xFFFF]};
            const Wide2 second = {pairs[eight >> 32 & 0xFFFF], pairs[eight >> 48]};
            std::memcpy(target + x, &first, sizeof first);
            std::memcpy(target + x + 4, &second, sizeof second);
        }
    }
    return 0;
}
