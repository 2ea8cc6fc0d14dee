#include "picture/text_page.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "base/arith.h"
#include "picture/surfaces.h"

TextState Text;

void ResetText()
{
    std::destroy_at(&Text);
    std::construct_at(&Text);
}

void LoadFont(const AssetBytes& glyphTable, const AssetBytes& glyphs)
{
    LoadGlyphTable(glyphTable);
    LoadGlyphs(glyphs);
}

// Missing files leave their buffers zero; longer ones are cut short.
void LoadGlyphTable(const AssetBytes& glyphTable)
{
    CopyAssetInto(glyphTable, Text.GlyphIndexTable, sizeof Text.GlyphIndexTable);
}

void LoadGlyphs(const AssetBytes& glyphs)
{
    CopyAssetInto(glyphs, Text.GlyphBitmaps, sizeof Text.GlyphBitmaps);
}

namespace {

// The RecolourTable's line: entry p is (RecolourStart - RecolourFall * p) >> 8,
// which stays within 0..65535 for every byte p.
constexpr uint16_t RecolourStart = 56100;
constexpr uint16_t RecolourFall = 184;
static_assert(RecolourStart - RecolourFall * 255 >= 0);

}   // namespace

void BuildRecolourTable()
{
    // A falling line from 219 to 35: dark turns bright and bright dark, and
    // the middle (127, 128) stays put.
    int32_t running = RecolourStart;
    for (int32_t& entry : Text.RecolourTable) {
        entry = running >> 8;
        running -= RecolourFall;
    }
}

void DrawGlyph(int32_t x, int32_t y, int32_t code)
{
    if (code == ' ' || x < -16 || x > PictureWidth || y < -16 || y > PictureHeight) return;
    if (code < 0 || code >= static_cast<int32_t>(sizeof Text.GlyphIndexTable)) return;
    const uint32_t glyph = Text.GlyphIndexTable[code];
    if (glyph >= GlyphCount) return;

    // A glyph row's sixteen pixels at once: each byte's RecolourTable entry
    // is the table's line worked out in 16-bit lanes (the even bytes, then
    // the odd ones), and the row's bits, spread to one byte each, pick it
    // or the pixel as it was.
    using Bytes16 = uint8_t __attribute__((vector_size(16)));
    using Words8 = uint16_t __attribute__((vector_size(16)));
    using Wide2 = uint64_t __attribute__((vector_size(16)));
    constexpr Bytes16 bitOfPixel = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01,
                                    0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    constexpr uint64_t everyByte = 0x0101010101010101u;
    const uint8_t* bits = Text.GlyphBitmaps + GlyphBytes * glyph;
    uint8_t* row = WorkPixel(x, y);
    for (int k = 0; k < 16; ++k, row += WorkPitch) {
        const uint64_t left = bits[2 * k], right = bits[2 * k + 1];
        if ((left | right) == 0) continue;
        const Wide2 spread = {left * everyByte, right * everyByte};
        const Bytes16 under = reinterpret_cast<Bytes16>((reinterpret_cast<Bytes16>(spread) & bitOfPixel) != 0);
        Bytes16 pixels;
        std::memcpy(&pixels, row, sizeof pixels);
        const Words8 even = reinterpret_cast<Words8>(pixels) & 0xFF;
        const Words8 odd = reinterpret_cast<Words8>(pixels) >> 8;
        const Words8 evenNew = (RecolourStart - RecolourFall * even) >> 8;
        const Words8 oddNew = (RecolourStart - RecolourFall * odd) >> 8;
        const Bytes16 recoloured = reinterpret_cast<Bytes16>(evenNew | oddNew << 8);
        const Bytes16 result = (recoloured & under) | (pixels & ~under);
        std::memcpy(row, &result, sizeof result);
    }
}

void DrawTextPage()
{
    // 0.215 as a single-precision value, widened.
    const double step = 0.2150000035762786865234375;

    // The horizontal wave depends on the column alone and the vertical one
    // on column + row (0..63), so 104 sines serve the whole page; each is
    // the same value a per-character evaluation would give.
    double waveX[TextColumns];
    double waveY[TextColumns + TextRows - 1];
    for (int c = 0; c < TextColumns; ++c) waveX[c] = std::sin(c * step + Text.WaveXPhase);
    for (int k = 0; k < TextColumns + TextRows - 1; ++k) waveY[k] = std::sin(k * step + Text.WaveYPhase);

    for (int r = 0; r < TextRows; ++r) {
        for (int c = 0; c < TextColumns; ++c) {
            const unsigned char ch = static_cast<unsigned char>(TextPage[TextColumns * r + c]);
            if (ch == ' ') continue;
            const int32_t x = TruncToInt(waveX[c] * 10.0 + 16 * c + 8.0);
            const int32_t y = TruncToInt(waveY[c + r] * 10.0 + 16 * r + 8.0);
            DrawGlyph(x, y, ch);
        }
    }

    AdvanceWavePhases();
}

void AdvanceWavePhases()
{
    // 0.1 and 0.115 as single-precision values, widened; never wrapped.
    Text.WaveXPhase += 0.10000000149011612;
    Text.WaveYPhase += 0.11500000208616257;
}
