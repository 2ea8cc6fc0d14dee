// The font, the recolouring of glyph pixels and the wobbling page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "picture/surfaces.h"
#include "picture/text_page.h"

namespace {

class TextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&Screen, 0, sizeof Screen);
        ResetText();
        BuildRecolourTable();
    }

    static void SetGlyph(int glyph, const std::vector<uint16_t>& rows)
    {
        for (size_t k = 0; k < rows.size(); ++k) {
            Text.GlyphBitmaps[32 * glyph + 2 * k] = static_cast<uint8_t>(rows[k] >> 8);
            Text.GlyphBitmaps[32 * glyph + 2 * k + 1] = static_cast<uint8_t>(rows[k]);
        }
    }
    static void SetSolidGlyph(int glyph) { SetGlyph(glyph, std::vector<uint16_t>(16, 0xFFFF)); }

    static std::vector<uint8_t> Snapshot() { return {Screen.WorkImage, Screen.WorkImage + sizeof Screen.WorkImage}; }

    // Pixels of the whole surface that differ from `before`, by visible window
    // and margins.
    struct Changes {
        int visible = 0;
        int margin = 0;
    };
    static Changes ChangedSince(const std::vector<uint8_t>& before)
    {
        Changes changes;
        for (int y = -WorkMargin; y < PictureHeight + WorkMargin; ++y) {
            for (int x = -WorkMargin; x < PictureWidth + WorkMargin; ++x) {
                const size_t at = static_cast<size_t>(WorkPixel(x, y) - Screen.WorkImage);
                if (Screen.WorkImage[at] == before[at]) continue;
                const bool visible = x >= 0 && x < PictureWidth && y >= 0 && y < PictureHeight;
                ++(visible ? changes.visible : changes.margin);
            }
        }
        return changes;
    }
};

TEST_F(TextTest, EveryIndexUnderASetBitTakesItsRecolourTableEntry)
{
    // A solid glyph over a cell holding all 256 indices, once at an odd
    // column (the sixteen pixels straddle the surface's 16-byte alignment),
    // then a second pass over the same cell brings each back through the
    // table again.
    Text.GlyphIndexTable['#'] = 5;
    SetSolidGlyph(5);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) *WorkPixel(33 + x, 20 + y) = static_cast<uint8_t>(16 * y + x);
    DrawGlyph(33, 20, '#');
    for (int p = 0; p < 256; ++p) EXPECT_EQ(*WorkPixel(33 + p % 16, 20 + p / 16), Text.RecolourTable[p]) << p;
    DrawGlyph(33, 20, '#');
    for (int p = 0; p < 256; ++p)
        EXPECT_EQ(*WorkPixel(33 + p % 16, 20 + p / 16), Text.RecolourTable[Text.RecolourTable[p]]) << p;
}

TEST_F(TextTest, RecolourTableTurnsDarkBrightAndBack)
{
    const int low[] = {219, 218, 217, 216, 216, 215, 214, 214};
    const int high[] = {40, 40, 39, 38, 38, 37, 36, 35};
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(Text.RecolourTable[p], low[p]) << p;
        EXPECT_EQ(Text.RecolourTable[248 + p], high[p]) << 248 + p;
    }
    EXPECT_EQ(Text.RecolourTable[127], 127);
    EXPECT_EQ(Text.RecolourTable[128], 127);
    EXPECT_EQ(Text.RecolourTable[Text.RecolourTable[0]], 61);   // under two glyphs
}

TEST_F(TextTest, LoadFontKeepsBothFilesAndCutsLongOnes)
{
    LoadFont(AssetBytes{}, AssetBytes{});   // both files missing: both buffers stay zero
    for (uint8_t b : Text.GlyphIndexTable) ASSERT_EQ(b, 0);
    for (uint8_t b : Text.GlyphBitmaps) ASSERT_EQ(b, 0);

    std::vector<uint8_t> table(600), glyphs(3000);
    for (size_t i = 0; i < table.size(); ++i) table[i] = static_cast<uint8_t>(i * 3 + 1);
    for (size_t i = 0; i < glyphs.size(); ++i) glyphs[i] = static_cast<uint8_t>(i * 5 + 2);
    LoadFont(AssetFromBytes(table), AssetFromBytes(glyphs));
    EXPECT_EQ(std::memcmp(Text.GlyphIndexTable, table.data(), 512), 0);
    EXPECT_EQ(std::memcmp(Text.GlyphBitmaps, glyphs.data(), 2560), 0);
}

TEST_F(TextTest, GlyphBitsRecolourThePixelsUnderThem)
{
    // Bit 15 is the leftmost pixel; the first byte of a row holds the left
    // eight pixels.
    Text.GlyphIndexTable['D'] = 3;
    SetGlyph(3, {0x8001, 0x0180, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFFF});
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>((x * 3 + y) % 120);
    const std::vector<uint8_t> before = Snapshot();

    // Indices below 120 all change under a glyph.
    DrawGlyph(100, 50, 'D');
    auto recoloured = [](int x, int y) { return Text.RecolourTable[(x * 3 + y) % 120]; };
    EXPECT_EQ(*WorkPixel(100, 50), recoloured(100, 50));
    EXPECT_EQ(*WorkPixel(115, 50), recoloured(115, 50));
    EXPECT_EQ(*WorkPixel(107, 51), recoloured(107, 51));
    EXPECT_EQ(*WorkPixel(108, 51), recoloured(108, 51));
    for (int x = 100; x < 116; ++x) EXPECT_EQ(*WorkPixel(x, 65), recoloured(x, 65)) << x;
    EXPECT_EQ(ChangedSince(before).visible, 2 + 2 + 16);
    EXPECT_EQ(ChangedSince(before).margin, 0);
}

TEST_F(TextTest, OverlappingGlyphsRecolourTwice)
{
    Text.GlyphIndexTable['A'] = 0;
    SetSolidGlyph(0);
    DrawGlyph(0, 0, 'A');
    DrawGlyph(8, 4, 'A');
    EXPECT_EQ(*WorkPixel(0, 0), 219);
    EXPECT_EQ(*WorkPixel(8, 4), 61);
    EXPECT_EQ(*WorkPixel(15, 15), 61);
    EXPECT_EQ(*WorkPixel(16, 4), 219);
    EXPECT_EQ(*WorkPixel(23, 19), 219);
    EXPECT_EQ(*WorkPixel(24, 19), 0);

    std::memset(Screen.WorkImage, 255, sizeof Screen.WorkImage);
    DrawGlyph(300, 200, 'A');
    EXPECT_EQ(*WorkPixel(300, 200), 35);
    std::memset(Screen.WorkImage, 127, sizeof Screen.WorkImage);
    DrawGlyph(300, 200, 'A');
    EXPECT_EQ(*WorkPixel(300, 200), 127);
}

TEST_F(TextTest, GlyphsAtTheBoundsTouchOnlyTheMarginsOrNothing)
{
    Text.GlyphIndexTable['W'] = 22;
    SetSolidGlyph(22);
    const struct {
        int x, y;
    } marginOnly[] = {{640, 0}, {640, 384}, {-16, 100}, {0, -16}, {300, 400}, {-16, -16}, {640, 400}};
    for (const auto& at : marginOnly) {
        std::memset(Screen.WorkImage, 0, sizeof Screen.WorkImage);
        const std::vector<uint8_t> before = Snapshot();
        DrawGlyph(at.x, at.y, 'W');
        const Changes changes = ChangedSince(before);
        EXPECT_EQ(changes.visible, 0) << at.x << "," << at.y;
        EXPECT_EQ(changes.margin, 256) << at.x << "," << at.y;
    }
    const struct {
        int x, y;
    } outside[] = {{641, 0}, {-17, 0}, {0, 401}, {0, -17}, {-17, -17}, {641, 401}, {100000, 5}, {5, -100000}};
    for (const auto& at : outside) {
        const std::vector<uint8_t> before = Snapshot();
        DrawGlyph(at.x, at.y, 'W');
        const Changes changes = ChangedSince(before);
        EXPECT_EQ(changes.visible + changes.margin, 0) << at.x << "," << at.y;
    }
    // Just inside: the visible part of the cell is recoloured.
    std::memset(Screen.WorkImage, 0, sizeof Screen.WorkImage);
    DrawGlyph(639, 399, 'W');
    EXPECT_EQ(*WorkPixel(639, 399), 219);
    EXPECT_EQ(*WorkPixel(654, 414), 219);
}

TEST_F(TextTest, CodesAndGlyphNumbersOutsideTheTablesDrawNothing)
{
    // Every glyph the bitmaps hold is solid, so any stray read would show.
    for (int g = 0; g < GlyphCount; ++g) SetSolidGlyph(g);
    Text.GlyphIndexTable[' '] = 5;    // a space never draws, whatever its glyph
    Text.GlyphIndexTable['Q'] = 80;   // one past the last glyph
    Text.GlyphIndexTable['R'] = 255;
    Text.GlyphIndexTable['S'] = 79;   // the last glyph
    for (int32_t code : {32, -1, -200, 512, 513, 1000, int32_t{'Q'}, int32_t{'R'}}) {
        const std::vector<uint8_t> before = Snapshot();
        DrawGlyph(200, 200, code);
        EXPECT_EQ(ChangedSince(before).visible, 0) << "code " << code;
    }

    DrawGlyph(200, 200, 'S');
    EXPECT_EQ(*WorkPixel(215, 215), 219);
    DrawGlyph(300, 200, 'z');   // table entry 0: glyph 0
    EXPECT_EQ(*WorkPixel(300, 200), 219);
    DrawGlyph(400, 200, 511);   // the table's last entry, also 0
    EXPECT_EQ(*WorkPixel(400, 200), 219);
}

TEST_F(TextTest, PageIsBuiltIn)
{
    EXPECT_EQ(std::strlen(TextPage), 1000u);
    EXPECT_EQ(TextPage[1000], '\0');
}

TEST_F(TextTest, PageWobblesFrameByFrame)
{
    // Each glyph marks only its top-left pixel, so each frame shows where
    // every character went. The first character of row 1 is in column 5.
    ASSERT_EQ(std::string(TextPage + 40, 6).find_first_not_of(' '), 5u) << "row 1 must begin in column 5";
    std::memset(Text.GlyphIndexTable, 0, sizeof Text.GlyphIndexTable);
    SetGlyph(0, {0x8000});

    DrawTextPage();
    EXPECT_EQ(*WorkPixel(96, 33), 219);
    EXPECT_EQ(*WorkPixel(97, 33), 0);
    EXPECT_EQ(Text.WaveXPhase, 0.10000000149011612);
    EXPECT_EQ(Text.WaveYPhase, 0.11500000208616257);

    std::memset(Screen.WorkImage, 0, sizeof Screen.WorkImage);
    DrawTextPage();
    EXPECT_EQ(*WorkPixel(96, 33), 0);
    EXPECT_EQ(*WorkPixel(97, 33), 219);
    EXPECT_EQ(Text.WaveXPhase, 0.10000000149011612 + 0.10000000149011612);
    EXPECT_EQ(Text.WaveYPhase, 0.11500000208616257 + 0.11500000208616257);
}

TEST_F(TextTest, EmptyGlyphsLeaveThePictureButStillAdvance)
{
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>(x ^ y);
    const std::vector<uint8_t> before = Snapshot();
    for (int frame = 0; frame < 3; ++frame) DrawTextPage();
    EXPECT_EQ(ChangedSince(before).visible + ChangedSince(before).margin, 0);
    EXPECT_GT(Text.WaveXPhase, 0.3);
    EXPECT_GT(Text.WaveYPhase, 0.345);
}

}   // namespace
