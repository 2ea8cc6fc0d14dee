#include "picture/surfaces.h"

#include <bit>
#include <cstring>

#include "base/arith.h"

Surfaces Screen;

int32_t ClampByte(int32_t value)
{
    if (value < 0) return 0;
    if (value > 255) return 255;
    return value;
}

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
}

int ConvertFrame()
{
    using Pixels4 = uint32_t __attribute__((vector_size(16)));
    const uint32_t* palette = Screen.Palette;
    for (int y = 0; y < PictureHeight; ++y) {
        const uint8_t* source = WorkPixel(0, y);
        uint32_t* target = Screen.OutputImage + y * PictureWidth;
        for (int x = 0; x < PictureWidth; x += 8) {
            // Gathered into vectors, stored with 16-byte writes.
            const Pixels4 four = {palette[source[x + 0]], palette[source[x + 1]], palette[source[x + 2]],
                                  palette[source[x + 3]]};
            const Pixels4 more = {palette[source[x + 4]], palette[source[x + 5]], palette[source[x + 6]],
                                  palette[source[x + 7]]};
            std::memcpy(target + x, &four, sizeof four);
            std::memcpy(target + x + 4, &more, sizeof more);
        }
    }
    return 0;
}
