// Asset files that anyone can replace: whatever they hold, the picture is
// built from them without reading or writing outside its buffers.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "app/asset_files.h"
#include "music/player.h"
#include "music/player_state.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"

namespace {

using picture_test::ScratchDir;
using picture_test::WriteFile;

// Fills the visible window with a pattern and returns a copy of the WorkImage.
std::vector<uint8_t> PatternedWorkImage()
{
    for (int y = -WorkMargin; y < PictureHeight + WorkMargin; ++y)
        for (int x = -WorkMargin; x < PictureWidth + WorkMargin; ++x)
            *WorkPixel(x, y) = static_cast<uint8_t>(x * 3 + y * 5);
    return {Screen.WorkImage, Screen.WorkImage + sizeof Screen.WorkImage};
}

bool WorkImageEquals(const std::vector<uint8_t>& image)
{
    return std::memcmp(image.data(), Screen.WorkImage, image.size()) == 0;
}

TEST(HostileFiles, DirectoriesWhereAssetsShouldBe)
{
    ScratchDir scratch("hostile-directories");
    for (const char* name : {SongFileName, LogoFileName, FontTableFileName, FontGlyphFileName})
        std::filesystem::create_directory(name);

    RestorePlayerStartState();
    LoadSongFromFile(SongFileName);
    EXPECT_LE(Player.songSize, 0);
    int16_t samples[64];
    for (int call = 0; call < 12; ++call) FillCallback(samples, sizeof samples);

    ResetLogo();
    ResetText();
    InitLogoFromFile(LogoFileName);
    LoadFontFromFiles(FontTableFileName, FontGlyphFileName);
    const std::vector<uint8_t> before = PatternedWorkImage();
    ApplyLogo();
    DrawTextPage();
    EXPECT_TRUE(WorkImageEquals(before)) << "no logo and no glyphs: nothing may change";
}

TEST(HostileFiles, AFontTableOfGlyph255DrawsNothing)
{
    ScratchDir scratch("hostile-font-255");
    WriteFile(FontTableFileName, std::vector<uint8_t>(512, 255));
    WriteFile(FontGlyphFileName, std::vector<uint8_t>(2560, 0xFF));
    ResetText();
    BuildRecolourTable();
    LoadFontFromFiles(FontTableFileName, FontGlyphFileName);
    const std::vector<uint8_t> before = PatternedWorkImage();
    DrawTextPage();
    EXPECT_TRUE(WorkImageEquals(before));
}

TEST(HostileFiles, OversizeFontFilesFillTheirBuffersAndNoMore)
{
    ScratchDir scratch("hostile-font-oversize");
    std::vector<uint8_t> table(4096, 0);   // glyph 0 everywhere, then junk past the table
    std::fill(table.begin() + 512, table.end(), 77);
    WriteFile(FontTableFileName, table);
    WriteFile(FontGlyphFileName, std::vector<uint8_t>(100000, 0x81));
    ResetText();
    BuildRecolourTable();
    LoadFontFromFiles(FontTableFileName, FontGlyphFileName);
    for (int i = 0; i < 512; ++i) ASSERT_EQ(Text.GlyphIndexTable[i], 0) << i;
    for (uint8_t byte : Text.GlyphBitmaps) ASSERT_EQ(byte, 0x81);
    EXPECT_EQ(Text.RecolourTable[0], 219) << "the table after the glyphs is intact";
}

TEST(HostileFiles, ALogoOfOnlyLitPixelsMasksExactlyItsRectangle)
{
    ScratchDir scratch("hostile-logo-lit");
    WriteFile(LogoFileName, picture_test::MakeLogo([](int, int) { return true; }));
    ResetLogo();
    InitLogoFromFile(LogoFileName);
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const bool inside = x >= 4 && x < 636 && y >= 77 && y < 323;
            ASSERT_EQ(Logo.LogoMask[y * PictureWidth + x], inside ? 16 : 0) << x << "," << y;
        }
    }
}

TEST(HostileFiles, AnOversizeLogoFillsTheBufferAndNoMore)
{
    ScratchDir scratch("hostile-logo-oversize");
    WriteFile(LogoFileName, std::vector<uint8_t>(1 << 20, 0xFF));
    ResetLogo();
    InitLogoFromFile(LogoFileName);
    for (uint8_t byte : Logo.LogoFileBuffer) ASSERT_EQ(byte, 0xFF);
    // The mask and the fold table after the buffer are still the overlay's own.
    EXPECT_EQ(Logo.LogoMask[0], 0);
    EXPECT_EQ(Logo.LogoMask[77 * PictureWidth + 4], 16);
    EXPECT_EQ(Logo.FoldTable[255 + 16], 240);
}

TEST(HostileFiles, AnUnreadableFileCountsAsMissing)
{
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file whatever its permissions";
    ScratchDir scratch("hostile-unreadable");
    WriteFile(LogoFileName, picture_test::MakeLogo([](int, int) { return true; }));
    ASSERT_EQ(chmod(LogoFileName, 0), 0);
    EXPECT_EQ(FileSizeByName(LogoFileName), -1);
    ResetLogo();
    InitLogoFromFile(LogoFileName);
    for (uint8_t byte : Logo.LogoMask) ASSERT_EQ(byte, 0);
}

TEST(HostileFiles, ADanglingLinkCountsAsMissing)
{
    ScratchDir scratch("hostile-dangling");
    std::filesystem::create_symlink("nowhere", SongFileName);
    RestorePlayerStartState();
    LoadSongFromFile(SongFileName);
    EXPECT_EQ(Player.songSize, -1);
}

} // namespace
