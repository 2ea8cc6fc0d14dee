// The logo mask, the fold table and the overlay pass.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"

namespace {

using picture_test::MakeLogo;

class LogoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&Screen, 0, sizeof Screen);
        ResetLogo();
        ResetText();
    }

    static void LoadLogo(const std::vector<uint8_t>& file) { InitLogo(AssetFromBytes(file)); }

    int MaskRowCount(int row)
    {
        int set = 0;
        for (int x = 0; x < PictureWidth; ++x) set += Logo.LogoMask[row * PictureWidth + x] != 0;
        return set;
    }
};

TEST_F(LogoTest, StoredRowsLandBottomUpAndCentred)
{
    // The first stored row is the logo's bottom (picture row 322), the last
    // its top (row 77); mark each with a different pattern.
    LoadLogo(MakeLogo([](int x, int y) {
        if (y == 245) return true;                 // first stored row: every pixel
        if (y == 0) return x % 3 == 0;             // last stored row: every third
        return y == 100 && (x == 0 || x == 631);   // logo row 100: both ends
    }));

    const uint8_t* mask = Logo.LogoMask;
    for (int x = 0; x < PictureWidth; ++x) {
        const bool inside = x >= 4 && x < 636;
        EXPECT_EQ(mask[322 * PictureWidth + x], inside ? 16 : 0) << x;
        EXPECT_EQ(mask[77 * PictureWidth + x], inside && (x - 4) % 3 == 0 ? 16 : 0) << x;
    }
    EXPECT_EQ(mask[177 * PictureWidth + 4], 16);
    EXPECT_EQ(mask[177 * PictureWidth + 635], 16);
    int total = 0;
    for (int y = 0; y < PictureHeight; ++y) total += MaskRowCount(y);
    EXPECT_EQ(total, 632 + 211 + 2);
}

TEST_F(LogoTest, FoldTableRampsAndRecolourTableBuilt)
{
    InitLogo(AssetBytes{});   // no logo file: the tables are built all the same
    const struct {
        int k, value;
    } known[] = {{0, 0},   {16, 16}, {255, 255}, {256, 255}, {271, 240},
                 {511, 0}, {512, 0}, {767, 255}, {768, 255}, {1023, 0}};
    for (const auto& k : known) EXPECT_EQ(Logo.FoldTable[k.k], k.value) << k.k;
    for (int k = 0; k < 1024; ++k) {
        const int expected = k < 256 ? k : k < 512 ? 511 - k : k < 768 ? k - 512 : 1023 - k;
        ASSERT_EQ(Logo.FoldTable[k], expected) << k;
    }
    EXPECT_EQ(Text.RecolourTable[0], 219);
    EXPECT_EQ(Text.RecolourTable[255], 35);
}

TEST_F(LogoTest, OverlayBrightensUnderTheLogoAndFoldsAtTheTop)
{
    // Logo rows 0..9 set; picture rows 77..86 lie under it.
    LoadLogo(MakeLogo([](int, int y) { return y < 10; }));
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>(x + y);
    ApplyLogo();

    const struct {
        int before, after;
    } under[] = {{0, 16}, {100, 116}, {239, 255}, {240, 255}, {250, 245}, {255, 240}};
    for (const auto& u : under) {
        // Picture (x, 80) held x + 80 before the pass.
        const int x = (u.before - 80 + 256) % 256;
        ASSERT_GE(x, 4);
        EXPECT_EQ(*WorkPixel(x, 80), u.after) << "index " << u.before;
    }
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const bool underLogo = y >= 77 && y < 87 && x >= 4 && x < 636;
            const int before = (x + y) & 255;
            const int expected = underLogo ? (before < 240 ? before + 16 : 495 - before) : before;
            ASSERT_EQ(*WorkPixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(LogoTest, OverlayIsTheFoldTableAtPixelPlusMaskForEveryPair)
{
    // Every pixel index against every mask value, in the logo's top row.
    InitLogo(AssetBytes{});
    uint8_t* pixels = WorkPixel(0, LogoTop);
    uint8_t* mask = Logo.LogoMask + LogoTop * PictureWidth;
    for (int m = 0; m < 256; ++m) {
        for (int x = 0; x < PictureWidth; ++x) pixels[x] = static_cast<uint8_t>(x);
        std::memset(mask, m, PictureWidth);
        ApplyLogo();
        for (int x = 0; x < PictureWidth; ++x)
            ASSERT_EQ(pixels[x], static_cast<uint8_t>(Logo.FoldTable[(x & 255) + m]))
                << "pixel " << (x & 255) << " mask " << m;
    }
}

TEST_F(LogoTest, OverlayLeavesTheMarginsAlone)
{
    LoadLogo(MakeLogo([](int, int) { return true; }));
    std::memset(Screen.WorkImage, 7, sizeof Screen.WorkImage);
    ApplyLogo();
    for (int y = -WorkMargin; y < PictureHeight + WorkMargin; ++y) {
        for (int x = -WorkMargin; x < PictureWidth + WorkMargin; ++x) {
            const bool underLogo = y >= 77 && y < 323 && x >= 4 && x < 636;
            ASSERT_EQ(*WorkPixel(x, y), underLogo ? 23 : 7) << x << "," << y;
        }
    }
}

TEST_F(LogoTest, WithoutALogoEveryIndexStays)
{
    InitLogo(AssetBytes{});
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) *WorkPixel(x, y) = static_cast<uint8_t>(x * 7 + y);
    ApplyLogo();
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) ASSERT_EQ(*WorkPixel(x, y), static_cast<uint8_t>(x * 7 + y));
}

TEST_F(LogoTest, ShortFileLeavesMissingRowsTransparent)
{
    // All pixels set, but the file ends halfway through stored row 100:
    // stored rows 0..99 and the first 316 pixels of row 100 count.
    std::vector<uint8_t> file = MakeLogo([](int, int) { return true; });
    file.resize(1078 + 632 * 100 + 316);
    LoadLogo(file);
    for (int y = 0; y < PictureHeight; ++y) {
        const int expected = y > 222 && y <= 322 ? 632 : y == 222 ? 316 : 0;
        ASSERT_EQ(MaskRowCount(y), expected) << "row " << y;
    }
}

TEST_F(LogoTest, OverlongFileFillsTheBufferAndNoMore)
{
    std::vector<uint8_t> file = MakeLogo([](int x, int y) { return (x ^ y) & 1; });
    file.resize(300000);
    for (size_t i = 156550; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i % 251 + 1);
    LoadLogo(file);
    EXPECT_EQ(std::memcmp(Logo.LogoFileBuffer, file.data(), sizeof Logo.LogoFileBuffer), 0);
    EXPECT_EQ(Logo.LogoMask[77 * PictureWidth + 4], 0);    // logo (0, 0)
    EXPECT_EQ(Logo.LogoMask[77 * PictureWidth + 5], 16);   // logo (1, 0)
}

}   // namespace
