// The palette, ClampByte and the conversion of the visible window.
#include <gtest/gtest.h>

#include <cstring>

#include "picture/surfaces.h"

namespace {

class SurfacesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&Screen, 0, sizeof Screen);
        BuildPalette();
    }
};

TEST(ClampByteTest, ClampsToAByte)
{
    EXPECT_EQ(ClampByte(-1), 0);
    EXPECT_EQ(ClampByte(-100000), 0);
    EXPECT_EQ(ClampByte(0), 0);
    EXPECT_EQ(ClampByte(200), 200);
    EXPECT_EQ(ClampByte(255), 255);
    EXPECT_EQ(ClampByte(256), 255);
}

TEST_F(SurfacesTest, PaletteRows)
{
    const struct {
        int index;
        uint32_t entry;
    } rows[] = {
        {0, 0x002B0000},   {7, 0x00300000},   {30, 0x00420001},  {33, 0x00440103},
        {56, 0x00551518},  {100, 0x00763C3E}, {123, 0x00865052}, {128, 0x008A5457},
        {192, 0x00BA8C8F}, {204, 0x00C3979A}, {207, 0x00C59A9C}, {255, 0x00E9C4C6},
    };
    for (const auto& row : rows) EXPECT_EQ(Screen.Palette[row.index], row.entry) << "index " << row.index;
}

TEST_F(SurfacesTest, PaletteIsAMonotonicRampWithoutAlpha)
{
    int distinct = 1;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(Screen.Palette[i] >> 24, 0u);
        if (i == 0) continue;
        for (int shift : {0, 8, 16})
            EXPECT_GE((Screen.Palette[i] >> shift) & 0xFF, (Screen.Palette[i - 1] >> shift) & 0xFF) << i;
        distinct += Screen.Palette[i] != Screen.Palette[i - 1];
    }
    EXPECT_EQ(distinct, 249);
}

TEST_F(SurfacesTest, AnEmptySurfaceConvertsToPaletteZero)
{
    EXPECT_EQ(ConvertFrame(), 0);
    for (uint32_t pixel : Screen.OutputImage) ASSERT_EQ(pixel, 0x002B0000u);
}

TEST_F(SurfacesTest, ConversionReadsTheVisibleWindowOnly)
{
    // Every margin byte set; the corners of the visible window marked.
    std::memset(Screen.WorkImage, 255, sizeof Screen.WorkImage);
    for (int y = 0; y < PictureHeight; ++y) std::memset(WorkPixel(0, y), 0, PictureWidth);
    *WorkPixel(0, 0) = 123;
    *WorkPixel(639, 0) = 7;
    *WorkPixel(0, 399) = 56;
    *WorkPixel(639, 399) = 192;
    ConvertFrame();
    EXPECT_EQ(Screen.OutputImage[0], 0x00865052u);
    EXPECT_EQ(Screen.OutputImage[639], 0x00300000u);
    EXPECT_EQ(Screen.OutputImage[399 * 640], 0x00551518u);
    EXPECT_EQ(Screen.OutputImage[399 * 640 + 639], 0x00BA8C8Fu);
    int others = 0;
    for (uint32_t pixel : Screen.OutputImage) others += pixel == 0x002B0000u;
    EXPECT_EQ(others, 640 * 400 - 4);
}

}   // namespace
