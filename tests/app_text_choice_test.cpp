// A text page chosen from a file (--text) draws the frames a build with that
// page built in draws.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/frame_cycle.h"
#include "app/text_choice.h"
#include "base/frame_hash.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "support/scratch_dir.h"

namespace {

// Frame 1's digest from a fresh start with the test assets and the page chosen.
uint64_t SecondFrameDigest()
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    ResetLogo();
    ResetText();
    picture_test::InitPictureWithTestAssets();
    RunTurn();
    RunTurn();
    return HashPixels(Screen.OutputImage, PictureWidth * PictureHeight);
}

bool ChooseText(const char* name, const std::string& text, std::string& reason)
{
    WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
    return ChooseTextPage(name, reason);
}

class TextChoice : public ::testing::Test {
protected:
    void TearDown() override { ChooseBuiltInTextPage(); }   // also after a failure
};

TEST_F(TextChoice, ChosenPageDrawsAsTheBuiltInOneWouldAndBack)
{
    // With the committed page built in (tests/picture_frames_test.cpp).
    constexpr uint64_t BuiltIn = 0xe6de7cefd0b41270u;
    ASSERT_EQ(SecondFrameDigest(), BuiltIn);
    ScratchDir scratch("text-choice");
    std::string reason;
    // The committed page, and the same as a user may save it: no trailing
    // spaces or blank last rows, Windows line ends.
    ASSERT_TRUE(ChooseTextPage(QUILLMOOR_ASSETS_DIR "/text_page.txt", reason)) << reason;
    EXPECT_EQ(SecondFrameDigest(), BuiltIn);
    std::string trimmed;
    for (int row = 0; row < 22; ++row) {
        const std::string text(BuiltInTextPage + TextColumns * row, TextColumns);
        trimmed += text.substr(0, text.find_last_not_of(' ') + 1) + "\r\n";
    }
    ASSERT_TRUE(ChooseText("trimmed.txt", trimmed, reason)) << reason;
    EXPECT_EQ(SecondFrameDigest(), BuiltIn);

    ASSERT_TRUE(ChooseText("other.txt", "\n     QUILLMOOR AND FRIENDS\n", reason)) << reason;
    const uint64_t other = SecondFrameDigest();
    EXPECT_NE(other, BuiltIn);
    // A page refused leaves the one before.
    EXPECT_FALSE(ChooseText("bad.txt", "\n\n  OK\n  NOT [OK]\n", reason));
    EXPECT_EQ(reason, "bad.txt:4:7: the font has no glyph for '['");
    EXPECT_FALSE(ChooseTextPage(".", reason));
    EXPECT_EQ(reason, "cannot read .: it is a folder");
    EXPECT_EQ(SecondFrameDigest(), other);

    ChooseBuiltInTextPage();
    EXPECT_EQ(SecondFrameDigest(), BuiltIn);
}

}   // namespace
