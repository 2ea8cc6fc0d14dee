// Asset files that anyone can replace: whatever they hold, the picture is
// built from them without reading or writing outside its buffers; and
// whatever stands under an asset's name (a directory, a FIFO, an unreadable
// file, a dangling link), reading it gives "missing" at once.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
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
#include "support/scratch_dir.h"

namespace {

// The shell's buffers for the asset files, as large as the loaders keep.
uint8_t SongFile[SongBufferSize];
uint8_t LogoFile[sizeof LogoState::LogoFileBuffer];
uint8_t FontTableFile[sizeof TextState::GlyphIndexTable];
uint8_t FontGlyphFile[sizeof TextState::GlyphBitmaps];

bool IsMissing(const AssetBytes& asset)
{
    return asset.fileSize == -1 && asset.bytes.empty();
}

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

    const AssetBytes song = ReadAsset(SongFileName, SongFile, sizeof SongFile);
    const AssetBytes logo = ReadAsset(LogoFileName, LogoFile, sizeof LogoFile);
    const AssetBytes table = ReadAsset(FontTableFileName, FontTableFile, sizeof FontTableFile);
    const AssetBytes glyphs = ReadAsset(FontGlyphFileName, FontGlyphFile, sizeof FontGlyphFile);
    for (const AssetBytes* asset : {&song, &logo, &table, &glyphs}) EXPECT_TRUE(IsMissing(*asset));

    RestorePlayerStartState();
    LoadSong(song);
    EXPECT_EQ(Player.songSize, -1);
    int16_t samples[64];
    for (int call = 0; call < 12; ++call) FillCallback(samples, sizeof samples);

    ResetLogo();
    ResetText();
    InitLogo(logo);
    LoadFont(table, glyphs);
    const std::vector<uint8_t> before = PatternedWorkImage();
    ApplyLogo();
    DrawTextPage();
    EXPECT_TRUE(WorkImageEquals(before)) << "no logo and no glyphs: nothing may change";
}

TEST(HostileFiles, AFontTableOfGlyph255DrawsNothing)
{
    const std::vector<uint8_t> table(512, 255), glyphs(2560, 0xFF);
    ResetText();
    BuildRecolourTable();
    LoadFont(AssetFromBytes(table), AssetFromBytes(glyphs));
    const std::vector<uint8_t> before = PatternedWorkImage();
    DrawTextPage();
    EXPECT_TRUE(WorkImageEquals(before));
}

TEST(HostileFiles, OversizeFontFilesFillTheirBuffersAndNoMore)
{
    std::vector<uint8_t> table(4096, 0);   // glyph 0 everywhere, then junk past the table
    std::fill(table.begin() + 512, table.end(), 77);
    const std::vector<uint8_t> glyphs(100000, 0x81);
    ResetText();
    BuildRecolourTable();
    LoadFont(AssetFromBytes(table), AssetFromBytes(glyphs));
    for (int i = 0; i < 512; ++i) ASSERT_EQ(Text.GlyphIndexTable[i], 0) << i;
    for (uint8_t byte : Text.GlyphBitmaps) ASSERT_EQ(byte, 0x81);
    EXPECT_EQ(Text.RecolourTable[0], 219) << "the table after the glyphs is intact";
}

TEST(HostileFiles, ALogoOfOnlyLitPixelsMasksExactlyItsRectangle)
{
    const std::vector<uint8_t> logo = picture_test::MakeLogo([](int, int) { return true; });
    ResetLogo();
    InitLogo(AssetFromBytes(logo));
    for (int y = 0; y < PictureHeight; ++y) {
        for (int x = 0; x < PictureWidth; ++x) {
            const bool inside = x >= 4 && x < 636 && y >= 77 && y < 323;
            ASSERT_EQ(Logo.LogoMask[y * PictureWidth + x], inside ? 16 : 0) << x << "," << y;
        }
    }
}

TEST(HostileFiles, AnOversizeLogoFillsTheBufferAndNoMore)
{
    const std::vector<uint8_t> logo(1 << 20, 0xFF);
    ResetLogo();
    InitLogo(AssetFromBytes(logo));
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
    const AssetBytes logo = ReadAsset(LogoFileName, LogoFile, sizeof LogoFile);
    EXPECT_TRUE(IsMissing(logo));
    ResetLogo();
    InitLogo(logo);
    for (uint8_t byte : Logo.LogoMask) ASSERT_EQ(byte, 0);
}

TEST(HostileFiles, ADanglingLinkCountsAsMissing)
{
    ScratchDir scratch("hostile-dangling");
    std::filesystem::create_symlink("nowhere", SongFileName);
    EXPECT_TRUE(IsMissing(ReadAsset(SongFileName, SongFile, sizeof SongFile)));
}

TEST(HostileFiles, AFifoCountsAsMissingAndIsNeverWaitedOn)
{
    ScratchDir scratch("hostile-fifo");
    ASSERT_EQ(mkfifo(SongFileName, 0600), 0);
    // Opening a FIFO for reading waits for a writer that never comes, so
    // the read runs in a child that an alarm ends if it blocks.
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        alarm(10);
        _exit(IsMissing(ReadAsset(SongFileName, SongFile, sizeof SongFile)) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) << "reading the FIFO blocked";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a FIFO must read as a missing file";
}

}   // namespace
