// Whole frames end to end: the picture set-up and frame cycle of the intro
// with a small fixed set of assets, each frame reduced to a digest of its
// OutputImage. The expected digests were computed once, by this code and
// by a separate plain per-pixel rendering that agreed with it, and the
// frames checked by eye.
#include <gtest/gtest.h>

#include <cstring>

#include "app/intro.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "base/frame_hash.h"

namespace {

using namespace picture_test;

// The frame hash quillmoor-capture prints: FNV-1a 64 over the OutputImage's
// pixels as little-endian bytes.
uint64_t OutputDigest()
{
    return HashPixels(Screen.OutputImage, sizeof Screen.OutputImage / sizeof Screen.OutputImage[0]);
}

TEST(PictureFramesTest, FramesWithTestAssets)
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    ResetLogo();
    ResetText();
    InitPictureWithTestAssets();
    for (uint32_t pixel : Screen.OutputImage) ASSERT_EQ(pixel, 0x002B0000u);

    const struct {
        int frame;
        uint64_t digest;
    } expected[] = {
        {0, 0x0334b9e25539b4a4u},
        {1, 0xe6de7cefd0b41270u},
        {2, 0x813e718dffa45252u},
        {100, 0x3833d04cd04dc8a0u},
    };
    int frame = 0;
    for (const auto& e : expected) {
        for (; frame <= e.frame; ++frame) FrameStep();
        EXPECT_EQ(OutputDigest(), e.digest) << "frame " << e.frame << std::hex << ": 0x" << OutputDigest();
    }
    EXPECT_EQ(Effect.FrameCounter, 101.0);
}

}   // namespace
