// A million frames on: the phases have grown without bound, and the render
// still reads only lit light-map cells and allocates nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "app/frame_cycle.h"
#include "picture/lens_effect.h"
#include "picture/logo_overlay.h"
#include "picture/surfaces.h"
#include "picture/text_page.h"
#include "picture_test_assets.h"
#include "support/allocation_counter.h"

namespace {

// Puts every per-frame state where `frames` rendered frames leave it, by
// the same phase steps the frames take, without drawing them.
void FastForward(int frames)
{
    for (int k = 0; k < frames; ++k) {
        AdvanceLightPhases();
        AdvanceWavePhases();
    }
    // The angle the previous frame stored.
    Effect.FrameCounter = frames - 1;
    UpdateView();
    Effect.FrameCounter = frames;
}

class LongRunPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&Screen, 0, sizeof Screen);
        ResetEffect();
        ResetLogo();
        ResetText();
        picture_test::InitPictureWithTestAssets();
    }
};

TEST_F(LongRunPicture, FastForwardMatchesFramesDrawnOneByOne)
{
    for (int k = 0; k < 300; ++k) RenderFrame();
    ConvertFrame();
    const std::vector<uint32_t> drawn(Screen.OutputImage, Screen.OutputImage + PictureWidth * PictureHeight);

    ResetEffect();
    ResetText();
    picture_test::InitPictureWithTestAssets();
    FastForward(299);
    RenderFrame();
    ConvertFrame();
    EXPECT_TRUE(std::equal(drawn.begin(), drawn.end(), Screen.OutputImage));
}

TEST_F(LongRunPicture, AMillionFramesOnEveryPixelIsStillLit)
{
    FastForward(1000000);
    const uint64_t allocationsBefore = AllocationCount();
    for (int frame = 0; frame < 200; ++frame) {
        // Every lit cell holds at least 5, so a pixel of 0 straight after the
        // effect would mean a read outside the cells the frame lit.
        RenderEffect();
        ASSERT_LT(std::abs(Effect.ViewAngle), 1.28);
        ASSERT_LE(std::abs(Effect.ViewOffsetX), 512);
        ASSERT_LE(std::abs(Effect.ViewOffsetY), 512);
        for (int y = 0; y < PictureHeight; ++y)
            ASSERT_EQ(std::count(WorkPixel(0, y), WorkPixel(0, y) + PictureWidth, 0), 0)
                << "frame " << frame << " row " << y;
        ApplyLogo();
        DrawTextPage();
        ConvertFrame();
        Effect.FrameCounter += 1.0;
    }
    EXPECT_EQ(AllocationCount(), allocationsBefore);
    EXPECT_EQ(Effect.FrameCounter, 1000200.0);
}

}   // namespace
