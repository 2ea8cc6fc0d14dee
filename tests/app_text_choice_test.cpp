// A text page chosen from a file (--text) draws the frames a build with that
// page built in draws.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/intro.h"
#include "app/text_choice.h"
#include "base/frame_hash.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "support/scratch_dir.h"

namespace {

// The digest of frame 1 from the start, the text page being the one chosen.
uint64_t SecondFrameDigest()
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    ResetLogo();
    ResetText();
    picture_test::InitPictureWithTestAssets();
    FrameStep();
    FrameStep();
    return HashPixels(Screen.OutputImage, PictureWidth * PictureHeight);
}

void WriteText(const char* name, const std::string& text)
{
    WriteFile(name, std::vector<uint8_t>(text.begin(), text.end()));
}

// The built-in page again after each test, also one that failed half way.
class TextChoice : public ::testing::Test {
protected:
    void TearDown() override { ChooseBuiltInTextPage(); }
};

TEST_F(TextChoice, ChosenPageDrawsAsTheBuiltInOneWouldAndBack)
{
    // Frame 1 with the test assets and the committed page built in
    // (tests/picture_frames_test.cpp).
    constexpr uint64_t BuiltInSecondFrame = 0xe6de7cefd0b41270u;
    ASSERT_EQ(SecondFrameDigest(), BuiltInSecondFrame);

    ScratchDir scratch("text-choice");
    std::string reason;
    // The committed page itself, and the same page as a user may save it:
    // trailing spaces and the blank last rows left out, Windows line ends.
    ASSERT_TRUE(ChooseTextPage(QUILLMOOR_ASSETS_DIR "/text_page.txt", reason)) << reason;
    EXPECT_EQ(SecondFrameDigest(), BuiltInSecondFrame);
    std::string trimmed;
    for (int row = 0; row < 22; ++row) {
        std::string text(BuiltInTextPage + TextColumns * row, TextColumns);
        trimmed += text.substr(0, text.find_last_not_of(' ') + 1) + "\r\n";
    }
    WriteText("trimmed.txt", trimmed);
    ASSERT_TRUE(ChooseTextPage("trimmed.txt", reason)) << reason;
    EXPECT_EQ(SecondFrameDigest(), BuiltInSecondFrame);

    WriteText("other.txt", "\n     QUILLMOOR AND FRIENDS\n");
    ASSERT_TRUE(ChooseTextPage("other.txt", reason)) << reason;
    const uint64_t other = SecondFrameDigest();
    EXPECT_NE(other, BuiltInSecondFrame);

    // A page refused leaves the one before.
    WriteText("bad.txt", "\n\n  OK\n  NOT [OK]\n");
    EXPECT_FALSE(ChooseTextPage("bad.txt", reason));
    EXPECT_EQ(reason, "bad.txt:4:7: the font has no glyph for '['");
    EXPECT_FALSE(ChooseTextPage("missing.txt", reason));
    EXPECT_EQ(reason.rfind("cannot read missing.txt: ", 0), 0u) << reason;
    EXPECT_FALSE(ChooseTextPage(".", reason));
    EXPECT_EQ(reason, "cannot read .: it is a folder");
    EXPECT_EQ(SecondFrameDigest(), other);

    ChooseBuiltInTextPage();
    EXPECT_EQ(SecondFrameDigest(), BuiltInSecondFrame);
}

}   // namespace
