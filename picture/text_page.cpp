#include "picture/text_page.h"

#include <cmath>
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
    // Missing files leave their buffers zero; longer ones are cut short.
    CopyAssetInto(glyphTable, Text.GlyphIndexTable, sizeof Text.GlyphIndexTable);
    CopyAssetInto(glyphs, Text.GlyphBitmaps, sizeof Text.GlyphBitmaps);
}

void BuildRecolourTable()
{
    // A falling line from 219 to 35: dark turns bright and bright dark, and
    // the middle (127, 128) stays put.
    int32_t running = 56100;
    for (int32_t& entry : Text.RecolourTable) {
        entry = running >> 8;
        running -= 184;
    }
    for (int p = 0; p < 256; ++p) {
        Text.inkTable[p] = static_cast<uint8_t>(p);
        Text.inkTable[256 + p] = static_cast<uint8_t>(Text.RecolourTable[p]);
    }
}

void DrawGlyph(int32_t x, int32_t y, int32_t code)
{
    if (code == ' ' || x < -16 || x > PictureWidth || y < -16 || y > PictureHeight) return;
    if (code < 0 || code >= static_cast<int32_t>(sizeof Text.GlyphIndexTable)) return;
    const uint32_t glyph = Text.GlyphIndexTable[code];
    if (glyph >= GlyphCount) return;

    const uint8_t* bits = Text.GlyphBitmaps + GlyphBytes * glyph;
    const uint8_t* ink = Text.inkTable;
    uint8_t* row = WorkPixel(x, y);
    for (int k = 0; k < 16; ++k, row += WorkPitch) {
        // Bit 15 - j of the row, moved to bit 8, picks the recoloured half
        // of the ink table for pixel j: no branch per pixel.
        const uint32_t word = (static_cast<uint32_t>(bits[2 * k]) << 8 | bits[2 * k + 1]) << 8;
        if (word == 0) continue;
        for (int j = 0; j < 16; ++j) row[j] = ink[(word >> (15 - j) & 0x100u) | row[j]];
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
