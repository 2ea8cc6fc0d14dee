// A small fixed set of picture assets for the tests: a logo, a font table
// and glyphs, handed to the picture as bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "app/frame_cycle.h"
#include "base/asset_bytes.h"

namespace picture_test {

// 632 x 246, 8-bit, bottom-up, pixel rows from byte 1078 (the header bytes
// are filled in as a real bitmap's would be, though nothing reads them).
// Logo pixel (x, y), y from the top, is set by `lit`; a set pixel gets a
// non-zero index that varies over the logo, a clear one index 0.
template <typename Lit>
std::vector<uint8_t> MakeLogo(Lit lit)
{
    std::vector<uint8_t> file(1078 + 632 * 246, 0);
    auto put32 = [&](size_t at, uint32_t value) {
        for (int b = 0; b < 4; ++b) file[at + b] = static_cast<uint8_t>(value >> (8 * b));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 1078);
    put32(14, 40);
    put32(18, 632);
    put32(22, 246);
    file[26] = 1;
    file[28] = 8;
    put32(34, 632 * 246);
    put32(46, 256);
    for (int i = 0; i < 256; ++i) put32(54 + 4 * i, 0x010101u * static_cast<uint32_t>(255 - i));
    for (int y = 0; y < 246; ++y) {
        uint8_t* stored = file.data() + 1078 + 632 * (245 - y);
        for (int x = 0; x < 632; ++x) stored[x] = lit(x, y) ? static_cast<uint8_t>(1 + (x + y) % 255) : 0;
    }
    return file;
}

// The test logo: an elliptical ring crossed by a vertical bar.
inline std::vector<uint8_t> TestLogo()
{
    return MakeLogo([](int x, int y) {
        const double dx = (x - 315.5) / 300.0, dy = (y - 122.5) / 115.0;
        const double ix = (x - 315.5) / 250.0, iy = (y - 122.5) / 80.0;
        const bool ring = dx * dx + dy * dy <= 1.0 && ix * ix + iy * iy > 1.0;
        return ring || (x >= 296 && x < 336);
    });
}

// The glyph numbering of the font table: letters 0..25, digits 26..35,
// space 36 and the page's punctuation.
inline std::vector<uint8_t> TestFontTable()
{
    std::vector<uint8_t> table(512, 0);
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<uint8_t>(c - 'A');
    for (int c = '0'; c <= '9'; ++c) table[c] = static_cast<uint8_t>(26 + c - '0');
    table[' '] = 36;
    table['!'] = 40;
    table['.'] = 42;
    table[':'] = 46;
    table['-'] = 47;
    table['/'] = 49;
    return table;
}

// 56 glyphs, each a two-pixel frame around the glyph number's six bits
// drawn as 4 x 4 blocks (two rows of three); distinct and easy to spot.
inline std::vector<uint8_t> TestGlyphs()
{
    std::vector<uint8_t> glyphs(56 * 32, 0);
    for (int g = 0; g < 56; ++g) {
        for (int k = 0; k < 16; ++k) {
            uint32_t word = 0;
            if (k < 2 || k > 13) {
                word = 0xFFFF;
            } else {
                word = 0xC003;
                const int blockRow = (k - 2) / 6;   // 0 or 1 in rows 2..13
                if ((k - 2) % 6 >= 1 && (k - 2) % 6 <= 4) {
                    for (int b = 0; b < 3; ++b)
                        if (g >> (3 * blockRow + b) & 1) word |= 0xFu << (10 - 4 * b);
                }
            }
            glyphs[32 * g + 2 * k] = static_cast<uint8_t>(word >> 8);
            glyphs[32 * g + 2 * k + 1] = static_cast<uint8_t>(word);
        }
    }
    return glyphs;
}

// The intro's picture set-up (InitPicture) over the test assets.
inline void InitPictureWithTestAssets()
{
    static const std::vector<uint8_t> logo = TestLogo(), table = TestFontTable(), glyphs = TestGlyphs();
    InitPictureWith(AssetFromBytes(logo), AssetFromBytes(table), AssetFromBytes(glyphs));
}

}   // namespace picture_test
