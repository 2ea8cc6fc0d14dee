// The lens table is built outwards as the view first reaches it: a frame
// drawn from a table built only as far as its own view needs is the frame
// drawn from the whole table, at every angle the view takes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "picture/lens_effect.h"
#include "picture/surfaces.h"

namespace {

std::vector<uint8_t> VisiblePixels()
{
    std::vector<uint8_t> pixels;
    for (int y = 0; y < PictureHeight; ++y)
        pixels.insert(pixels.end(), WorkPixel(0, y), WorkPixel(0, y) + PictureWidth);
    return pixels;
}

// Frame `frame` (the view of frame - 1 sets its angle), from a table built
// as far as BuildLensTable builds it, or whole.
std::vector<uint8_t> DrawFrame(int frame, bool wholeTable)
{
    std::memset(&Screen, 0, sizeof Screen);
    ResetEffect();
    BuildLensTable();
    if (wholeTable) ExtendLensTable(LensCentre);
    Effect.FrameCounter = frame - 1;
    UpdateView();
    Effect.FrameCounter = frame;
    RenderEffect();
    return VisiblePixels();
}

TEST(PictureLensReachTest, EachViewBuildsWhatItReads)
{
    // The first frames need less than a turned view; the turn reaches its
    // widest near frames 427 and 2133 (a quarter of the sway's cycle on).
    for (int frame : {0, 1, 2, 50, 300, 427, 1000, 2133, 2560, 3500, 4900}) {
        const std::vector<uint8_t> whole = DrawFrame(frame, true);
        EXPECT_TRUE(DrawFrame(frame, false) == whole) << "frame " << frame;
    }
}

TEST(PictureLensReachTest, TheFirstFramesNeedLessThanTheWholeTable)
{
    ResetEffect();
    BuildLensTable();
    const int32_t first = Effect.lensShellsBuilt;
    EXPECT_EQ(first, LensReachOf(StartLensWalk(0.0)) + 1);
    EXPECT_LT(first, 330);   // 320 columns either side of the centre
    ExtendLensTable(first - 10);
    EXPECT_EQ(Effect.lensShellsBuilt, first);   // never shrinks
    LensEntryAt(0, 0);
    EXPECT_EQ(Effect.lensShellsBuilt, LensCentre + 1);
}

}   // namespace
