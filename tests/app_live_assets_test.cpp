// Pieces taken anew while the intro runs (a drop, a file saved under
// --watch): the frames drawn after them are those of a run started with the
// new files, and a file that can't be used leaves the piece with one warning.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/frame_cycle.h"
#include "app/live_assets.h"
#include "app/text_choice.h"
#include "base/frame_hash.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "support/scratch_dir.h"

namespace {

using picture_test::MakeLogo;
using picture_test::TestFontTable;
using picture_test::TestGlyphs;

// The new files: another logo (a frame), the glyph numbers moved on by one,
// glyphs inverted, and a page of their own.
const std::vector<uint8_t> NewLogo = MakeLogo([](int x, int y) { return x < 40 || y < 30 || (x + y) % 97 < 9; });
std::vector<uint8_t> NewTable()
{
    std::vector<uint8_t> table = TestFontTable();
    for (uint8_t& glyph : table) glyph = static_cast<uint8_t>((glyph + 1) % 56);
    return table;
}
std::vector<uint8_t> NewGlyphs()
{
    std::vector<uint8_t> glyphs = TestGlyphs();
    for (uint8_t& byte : glyphs) byte = static_cast<uint8_t>(~byte);
    return glyphs;
}
const std::string NewPage = "\n\n   LIVE FROM THE EDITOR\n\n      SAVED: 12:34\n";

void StartFresh()
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    ResetLogo();
    ResetText();
}

uint64_t Digest()
{
    return HashPixels(Screen.OutputImage, PictureWidth * PictureHeight);
}

void Turns(int count)
{
    for (int i = 0; i < count; ++i) RunTurn();
}

class LiveAssets : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile("logo.bmp", NewLogo);
        WriteFile("font.ftb", NewTable());
        WriteFile("font.gfx", NewGlyphs());
        WriteFile("page.txt", std::vector<uint8_t>(NewPage.begin(), NewPage.end()));
    }
    void TearDown() override { ChooseBuiltInTextPage(); }
    ScratchDir scratch{"live-assets"};
};

TEST_F(LiveAssets, FramesAfterTakingPiecesAreThoseOfAFreshRunWithThem)
{
    constexpr int Before = 37, After = 5;
    const std::vector<uint8_t> table = NewTable(), glyphs = NewGlyphs();
    StartFresh();
    InitPictureWith(AssetFromBytes(NewLogo), AssetFromBytes(table), AssetFromBytes(glyphs));
    std::string reason;
    ASSERT_TRUE(ChooseTextPage("page.txt", reason)) << reason;
    Turns(Before + After);
    const uint64_t fresh = Digest();

    ChooseBuiltInTextPage();
    StartFresh();
    picture_test::InitPictureWithTestAssets();
    Turns(Before);
    for (auto [piece, path] : {std::pair{Piece::Logo, "logo.bmp"},
                               {Piece::FontTable, "font.ftb"},
                               {Piece::FontGlyphs, "font.gfx"},
                               {Piece::TextPage, "page.txt"}})
        ASSERT_TRUE(TakePiece(piece, path, reason)) << reason;
    Turns(After);
    EXPECT_EQ(Digest(), fresh);
}

TEST_F(LiveAssets, AFileThatCantBeUsedKeepsThePieceAndWarnsOnce)
{
    StartFresh();
    picture_test::InitPictureWithTestAssets();
    FollowedFiles followed;
    followed.path[static_cast<int>(Piece::Logo)] = "logo.bmp";
    followed.path[static_cast<int>(Piece::FontGlyphs)] = "font.gfx";
    const std::vector<uint8_t> cut(NewLogo.begin(), NewLogo.end() - 1);
    WriteFile("logo.bmp", cut);
    WriteFile("font.gfx", std::vector<uint8_t>(33, 1));
    // A burst of saves, taken once it has settled.
    NoteChange(followed, Piece::Logo, 1000.0);
    NoteChange(followed, Piece::FontGlyphs, 1000.0);
    NoteChange(followed, Piece::Logo, 1020.0);
    NoteChange(followed, Piece::TextPage, 1020.0);   // not followed: nothing to take
    testing::internal::CaptureStderr();
    TakeSettledChanges(followed, 1000.0 + SettleMilliseconds + 1.0);
    const std::string early = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    TakeSettledChanges(followed, 1020.0 + SettleMilliseconds);
    TakeSettledChanges(followed, 2000.0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(early,
              "quillmoor: warning: cannot use font.gfx as the font's glyphs: the glyphs are 1 to 80 glyphs of 32 "
              "bytes (the font's glyphs before stays)\n");
    EXPECT_EQ(err, "quillmoor: warning: cannot use logo.bmp as the logo: it is too short for a 632 x 246 picture of 8 "
                   "bits a pixel (the logo before stays)\n");
    Turns(3);
    const uint64_t kept = Digest();
    StartFresh();
    picture_test::InitPictureWithTestAssets();
    Turns(3);
    EXPECT_EQ(kept, Digest());
}

TEST(LiveAssetKinds, DroppedFilesAreTakenByTheirExtension)
{
    EXPECT_EQ(PieceOfFile("/a/LOGO.BMP"), Piece::Logo);
    EXPECT_EQ(PieceOfFile("page.txt"), Piece::TextPage);
    EXPECT_EQ(PieceOfFile("FNT1616.FTB"), Piece::FontTable);
    EXPECT_EQ(PieceOfFile("x.Gfx"), Piece::FontGlyphs);
    EXPECT_EQ(PieceOfFile("ZEB_27.DMP"), Piece::Song);
    EXPECT_EQ(PieceOfFile("bmp"), Piece::Song);
}

}   // namespace
