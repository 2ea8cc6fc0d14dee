// Reading whole asset files and the embedded resources.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "app/asset_files.h"
#include "app/asset_folders.h"
#include "music/player_state.h"
#include "picture/logo_overlay.h"
#include "picture/text_page.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class AssetFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("quillmoor-assets-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const char* name, const std::vector<uint8_t>& bytes)
    {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    fs::path dir;
};

std::vector<uint8_t> Counting(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
    return bytes;
}

TEST_F(AssetFilesTest, FileSizeLeavesThePositionWhereItWas)
{
    const std::string path = Write("f.bin", Counting(1000));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    std::fseek(file, 123, SEEK_SET);
    EXPECT_EQ(FileSize(file), 1000);
    EXPECT_EQ(std::ftell(file), 123);
    std::fclose(file);
}

TEST_F(AssetFilesTest, SizeByName)
{
    EXPECT_EQ(FileSizeByName(Write("a.bin", Counting(77)).c_str()), 77);
    EXPECT_EQ(FileSizeByName(Write("e.bin", {}).c_str()), 0);
    EXPECT_EQ(FileSizeByName((dir / "missing").string().c_str()), -1);
}

TEST_F(AssetFilesTest, MissingAndEmptyFilesLeaveTheBufferAlone)
{
    uint8_t buffer[16];
    std::memset(buffer, 0xAB, sizeof buffer);
    EXPECT_EQ(ReadWholeFile((dir / "missing").string().c_str(), buffer, sizeof buffer), 0);
    EXPECT_EQ(ReadWholeFile(Write("e.bin", {}).c_str(), buffer, sizeof buffer), 0);
    for (uint8_t b : buffer) EXPECT_EQ(b, 0xAB);
}

TEST_F(AssetFilesTest, AShortFileFillsOnlyItsOwnLength)
{
    uint8_t buffer[16];
    std::memset(buffer, 0xAB, sizeof buffer);
    const auto bytes = Counting(5);
    EXPECT_EQ(ReadWholeFile(Write("s.bin", bytes).c_str(), buffer, sizeof buffer), 5);
    EXPECT_EQ(std::memcmp(buffer, bytes.data(), 5), 0);
    for (size_t i = 5; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xAB);
}

TEST_F(AssetFilesTest, AnOversizeFileFillsTheBufferAndNoMore)
{
    uint8_t buffer[24];
    std::memset(buffer, 0xAB, sizeof buffer);
    const auto bytes = Counting(100);
    // The caller's capacity is 16: the 8 bytes after it must survive.
    EXPECT_EQ(ReadWholeFile(Write("o.bin", bytes).c_str(), buffer, 16), 100);
    EXPECT_EQ(std::memcmp(buffer, bytes.data(), 16), 0);
    for (size_t i = 16; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xAB);
}

TEST_F(AssetFilesTest, ADirectoryReadsAsNothing)
{
    uint8_t buffer[16] = {};
    EXPECT_EQ(ReadWholeFile(dir.string().c_str(), buffer, sizeof buffer), 0);
    for (uint8_t b : buffer) EXPECT_EQ(b, 0);
}

TEST_F(AssetFilesTest, ReadAssetHandsOverWhatItReadAndTheFileSize)
{
    uint8_t buffer[24];
    std::memset(buffer, 0xAB, sizeof buffer);
    const auto bytes = Counting(100);
    // Cut at the caller's capacity of 16, the size still the file's; the 8
    // bytes after the capacity survive.
    AssetBytes asset = ReadAsset(Write("o.bin", bytes).c_str(), buffer, 16);
    EXPECT_EQ(asset.fileSize, 100);
    ASSERT_EQ(asset.bytes.size(), 16u);
    EXPECT_EQ(asset.bytes.data(), buffer);
    EXPECT_EQ(std::memcmp(buffer, bytes.data(), 16), 0);
    for (size_t i = 16; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0xAB);

    asset = ReadAsset(Write("s.bin", Counting(5)).c_str(), buffer, sizeof buffer);
    EXPECT_EQ(asset.fileSize, 5);
    EXPECT_EQ(asset.bytes.size(), 5u);

    asset = ReadAsset(Write("e.bin", {}).c_str(), buffer, sizeof buffer);
    EXPECT_EQ(asset.fileSize, 0) << "an empty file is there, with size 0";
    EXPECT_TRUE(asset.bytes.empty());

    asset = ReadAsset((dir / "missing").string().c_str(), buffer, sizeof buffer);
    EXPECT_EQ(asset.fileSize, -1);
    EXPECT_TRUE(asset.bytes.empty());
}

// The start-up's reads: each asset by its plain name from the current
// directory, into the loader that keeps it.
TEST(AssetFilesStartUp, EachAssetIsReadByNameFromTheCurrentDirectory)
{
    ScratchDir scratch("asset-names");
    const auto song = Counting(1000), logo = Counting(3000), table = Counting(512), glyphs = Counting(2000);
    WriteFile(SongFileName, song);
    WriteFile(LogoFileName, logo);
    WriteFile(FontTableFileName, table);
    WriteFile(FontGlyphFileName, glyphs);

    RestorePlayerStartState();
    LoadSongFromFile(SongFileName);
    EXPECT_EQ(Player.songSize, 1000);
    EXPECT_EQ(std::memcmp(Player.SongBuffer, song.data(), song.size()), 0);

    ResetLogo();
    InitLogoFromFile(LogoFileName);
    EXPECT_EQ(std::memcmp(Logo.LogoFileBuffer, logo.data(), logo.size()), 0);
    EXPECT_EQ(Logo.LogoFileBuffer[logo.size()], 0);
    // Read straight into the logo's buffer: a shorter logo read next leaves
    // no byte of the longer one behind.
    WriteFile(LogoFileName, Counting(1000));
    InitLogoFromFile(LogoFileName);
    EXPECT_EQ(std::memcmp(Logo.LogoFileBuffer, logo.data(), 1000), 0);
    EXPECT_EQ(Logo.LogoFileBuffer[1000], 0);
    EXPECT_EQ(Logo.LogoFileBuffer[2999], 0);

    ResetText();
    LoadFontFromFiles(FontTableFileName, FontGlyphFileName);
    EXPECT_EQ(std::memcmp(Text.GlyphIndexTable, table.data(), table.size()), 0);
    EXPECT_EQ(std::memcmp(Text.GlyphBitmaps, glyphs.data(), glyphs.size()), 0);
}

// Each asset comes from the first folder holding it as a regular file; one
// found nowhere is named and read by its plain name.
TEST_F(AssetFilesTest, EachAssetFromTheFirstFolderThatHoldsIt)
{
    fs::create_directories(dir / "first");
    fs::create_directories(dir / "second");
    fs::create_directories(dir / "first" / LogoFileName);                 // a directory is no asset
    ASSERT_EQ(mkfifo((dir / "first" / SongFileName).c_str(), 0600), 0);   // nor a FIFO
    Write("first/FNT1616.FTB", Counting(4));
    Write("second/FNT1616.FTB", Counting(4));
    Write("second/ZEB_27.DMP", Counting(4));
    Write("second/quillmoor_cut2_632x246x8.bmp", Counting(4));

    const std::vector<std::string> folders = {(dir / "first").string(), (dir / "second").string() + "/"};
    const std::vector<const char*> missing = LocateAssets(folders);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_STREQ(missing[0], FontGlyphFileName);
    EXPECT_EQ(AssetPath(SongFileName), (dir / "second" / SongFileName).string());   // one separator
    EXPECT_EQ(fs::path(AssetPath(LogoFileName)), dir / "second" / LogoFileName);
    EXPECT_EQ(fs::path(AssetPath(FontTableFileName)), dir / "first" / FontTableFileName);
    EXPECT_STREQ(AssetPath(FontGlyphFileName), FontGlyphFileName);

    // Looking again forgets the last answer.
    EXPECT_EQ(LocateAssets({}).size(), 4u);
    EXPECT_STREQ(AssetPath(SongFileName), SongFileName);
}

TEST(AssetFolders, CurrentFolderThenTheProgramsThenTheInstalledData)
{
    const std::vector<std::string> folders = AssetFolderSearch("/opt/q/bin");
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], ".");
    EXPECT_EQ(folders[1], "/opt/q/bin");
    EXPECT_EQ(fs::path(folders[2]).lexically_normal(), fs::path("/opt/q/share/quillmoor"));
    // SDL names the executable's folder with a separator at its end.
    EXPECT_EQ(AssetFolderSearch("/opt/q/bin/")[2], "/opt/q/bin/../share/quillmoor");
}

TEST(BinResources, TestBlockAndGlyphNumbering)
{
    uint32_t size = 99;
    const auto* test = static_cast<const uint8_t*>(LoadBinResource(101, &size));
    ASSERT_NE(test, nullptr);
    EXPECT_EQ(size, 512u);
    EXPECT_EQ(std::memcmp(test, "BINTEST!", 8), 0);
    for (int i = 8; i < 512; ++i) EXPECT_EQ(test[i], 0) << i;

    const auto* glyphs = static_cast<const uint8_t*>(LoadBinResource(102 + 0x10000, &size));
    ASSERT_NE(glyphs, nullptr);
    EXPECT_EQ(size, 512u);
    EXPECT_EQ(glyphs['A'], 0);
    EXPECT_EQ(glyphs['B'], 1);
    EXPECT_EQ(glyphs['Z'], 25);
    EXPECT_EQ(glyphs['0'], 26);
    EXPECT_EQ(glyphs[' '], 36);
    EXPECT_EQ(glyphs['_'], 55);
    EXPECT_EQ(glyphs['a'], 0);
    for (int i = 128; i < 512; ++i) EXPECT_EQ(glyphs[i], 0) << i;

    EXPECT_EQ(LoadBinResource(103, &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(LoadBinResource(103, nullptr), nullptr);
}

}   // namespace
