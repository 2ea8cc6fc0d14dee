#include "picture/surfaces.h"

#include <bit>
#include <cstring>

#include "app/arith.h"

// ConvertFrame writes two pixels per 64-bit store, the left one in the low half.
static_assert(std::endian::native == std::endian::little);

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
    // Four pixels per step: one 32-bit read of indices, four lookups, two
    // 64-bit writes.
    const uint32_t* palette = Screen.Palette;
    for (int y = 0; y < PictureHeight; ++y) {
        const uint8_t* source = WorkPixel(0, y);
        uint32_t* target = Screen.OutputImage + y * PictureWidth;
        for (int x = 0; x < PictureWidth; x += 4) {
            uint32_t four;
            std::memcpy(&four, source + x, sizeof four);
            const uint64_t low = palette[four & 0xFF] | static_cast<uint64_t>(palette[four >> 8 & 0xFF]) << 32;
            const uint64_t high = palette[four >> 16 & 0xFF] | static_cast<uint64_t>(palette[four >> 24]) << 32;
            std::memcpy(target + x, &low, sizeof low);
            std::memcpy(target + x + 2, &high, sizeof high);
        }
    }
    return 0;
}
