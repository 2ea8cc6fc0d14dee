// The lens table, the view, the light map and the rendered background.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "picture/lens_effect.h"
#include "picture/surfaces.h"

namespace {

LensEntry Lens(int row, int column)
{
    return LensEntryAt(row, column);
}

uint8_t LightCell(int row, int column)
{
    return Effect.LightMap[row * LightMapPitch + column];
}

class EffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(&Screen, 0, sizeof Screen);
        ResetEffect();
        BuildLensTable();
    }
};

TEST_F(EffectTest, LensEntriesAtKnownPlaces)
{
    const struct {
        int row, column, x, y;
    } known[] = {
        {512, 512, 0, 0},     {512, 513, 1, 0},       {512, 0, -196, 0},     {0, 512, 0, -196},
        {512, 768, 211, 0},   {768, 512, 0, 211},     {512, 862, 221, 0},    {0, 0, -81, -81},
        {1023, 1023, 82, 82}, {312, 192, -186, -116}, {900, 100, -132, 124}, {711, 831, 186, 116},
    };
    for (const auto& k : known) {
        EXPECT_EQ(Lens(k.row, k.column).x, k.x) << "row " << k.row << " column " << k.column;
        EXPECT_EQ(Lens(k.row, k.column).y, k.y) << "row " << k.row << " column " << k.column;
    }
}

TEST_F(EffectTest, EveryEntryOfTheFoldedTableFollowsTheLens)
{
    // Each entry computed on its own, at its signed distances from the
    // centre, against what the folded quarter gives; and the range.
    int32_t low = 0, high = 0;
    for (int row = 0; row < LensSize; ++row) {
        for (int column = 0; column < LensSize; ++column) {
            const double a = row - 512, d = column - 512;
            const double e = std::sqrt(532900.0 - d * d - a * a) * 4.0 - 1500.0;
            const double h = (1.0 - (LensHeightLow - e) / (LensHeightHigh - e)) * 0.3333333333333333;
            const LensEntry entry = Lens(row, column);
            ASSERT_EQ(entry.x, static_cast<int32_t>(static_cast<int64_t>(h * d))) << row << "," << column;
            ASSERT_EQ(entry.y, static_cast<int32_t>(static_cast<int64_t>(h * a))) << row << "," << column;
            low = std::min({low, entry.x, entry.y});
            high = std::max({high, entry.x, entry.y});
        }
    }
    EXPECT_EQ(low, -221);
    EXPECT_EQ(high, 221);
}

TEST_F(EffectTest, ViewOfTheFirstThreeFrames)
{
    UpdateView();
    EXPECT_EQ(Effect.ViewOffsetX, 512);
    EXPECT_EQ(Effect.ViewOffsetY, 0);
    EXPECT_EQ(Effect.ViewAngle, 0.0);

    Effect.FrameCounter = 1.0;
    UpdateView();
    EXPECT_EQ(Effect.ViewOffsetX, 511);
    EXPECT_EQ(Effect.ViewOffsetY, -3);
    EXPECT_EQ(Effect.ViewAngle, -0.009424692136084439);

    // The third frame turns by the angle the second one stored.
    const LensWalk turned = StartLensWalk(Effect.ViewAngle);
    EXPECT_EQ(turned.du, 255);
    EXPECT_EQ(turned.dv, 2);
    EXPECT_EQ(turned.eu, -2);
    EXPECT_EQ(turned.ev, 255);
    EXPECT_EQ(turned.u, 49638);
    EXPECT_EQ(turned.v, 79103);

    const LensWalk straight = StartLensWalk(0.0);
    EXPECT_EQ(straight.du, 256);
    EXPECT_EQ(straight.dv, 0);
    EXPECT_EQ(straight.eu, 0);
    EXPECT_EQ(straight.ev, 256);
    EXPECT_EQ(straight.u, 49152);
    EXPECT_EQ(straight.v, 79872);
}

TEST_F(EffectTest, ViewStaysInsideBothTablesOverManyFrames)
{
    // The corners of the visible window bound every table position a frame
    // reads; the offsets bound every light-map cell.
    for (int frame = 0; frame < 4096; ++frame) {
        Effect.FrameCounter = frame;
        const LensWalk walk = StartLensWalk(Effect.ViewAngle);   // the previous frame's angle
        UpdateView();
        ASSERT_LE(std::abs(Effect.ViewOffsetX), 512) << frame;
        ASSERT_LE(std::abs(Effect.ViewOffsetY), 512) << frame;
        ASSERT_LE(std::abs(Effect.ViewAngle), 1.2799999713897705) << frame;
        for (int row : {0, 399}) {
            for (int column : {0, 639}) {
                const int32_t u = (walk.u + row * walk.eu + column * walk.du) >> 8;
                const int32_t v = (walk.v + row * walk.ev + column * walk.dv) >> 8;
                ASSERT_TRUE(u >= 134 && u <= 888 && v >= 134 && v <= 888)
                    << "frame " << frame << " corner " << column << "," << row << ": " << u << "," << v;
            }
        }
        for (int32_t displacement : {-221, 221}) {
            for (int32_t offset : {Effect.ViewOffsetX, Effect.ViewOffsetY}) {
                const int32_t cell = (displacement + offset + 1024) >> 5;
                ASSERT_TRUE(cell >= 9 && cell <= 54) << frame;
            }
        }
    }
}

TEST_F(EffectTest, FirstFrameLightMap)
{
    std::memset(Effect.LightMap, 0xEE, sizeof Effect.LightMap);   // cleared every frame
    RenderEffect();

    EXPECT_EQ(LightCell(32, 48), 255);
    EXPECT_EQ(LightCell(31, 48), 248);
    EXPECT_EQ(LightCell(33, 48), 248);
    EXPECT_EQ(LightCell(32, 47), 248);
    EXPECT_EQ(LightCell(32, 49), 248);
    EXPECT_EQ(LightCell(0, 0), 28);
    int lowest = 255;
    for (int row = 0; row < LightMapPitch; ++row) {
        for (int column = 0; column < LightMapPitch; ++column) {
            if (row < LightMapCells && column < LightMapCells)
                lowest = std::min<int>(lowest, LightCell(row, column));
            else
                ASSERT_EQ(LightCell(row, column), 0) << row << "," << column;
        }
    }
    EXPECT_EQ(lowest, 22);

    // The light's phases have each taken one step.
    EXPECT_EQ(Effect.HeightPhase, 0.013499999999999998);
    EXPECT_EQ(Effect.LightPhaseX, 0.033929999999999995);
    EXPECT_EQ(Effect.LightPhaseY, 0.038367);
}

TEST_F(EffectTest, FirstFramePixels)
{
    RenderEffect();
    EXPECT_EQ(*WorkPixel(320, 200), 255);
    EXPECT_EQ(*WorkPixel(0, 0), 124);
    EXPECT_EQ(*WorkPixel(639, 399), 144);
}

// Every pixel of a frame from the closed form of the walk, u = U + r eu + c du
// and v = V + r ev + c dv, against the render's stepping and packing.
void ExpectFrameFollowsWalk(const LensWalk& walk)
{
    const int32_t bx = Effect.ViewOffsetX + 1024;
    const int32_t by = Effect.ViewOffsetY + 1024;
    int wrong = 0;
    for (int r = 0; r < PictureHeight; ++r) {
        for (int c = 0; c < PictureWidth; ++c) {
            const int32_t u = walk.u + r * walk.eu + c * walk.du;
            const int32_t v = walk.v + r * walk.ev + c * walk.dv;
            const LensEntry entry = Lens(v >> 8, u >> 8);
            const uint8_t expected = LightCell((entry.y + by) >> 5, (entry.x + bx) >> 5);
            if (*WorkPixel(c, r) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << c << "," << r << ": " << int{*WorkPixel(c, r)} << " expected "
                              << int{expected};
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(EffectTest, TheTurnLagsTheOffsetsByOneFrame)
{
    RenderEffect();
    Effect.FrameCounter = 1.0;
    RenderEffect();
    // Second frame: offsets of frame 1, still unturned.
    EXPECT_EQ(Effect.ViewOffsetX, 511);
    EXPECT_EQ(Effect.ViewOffsetY, -3);
    ExpectFrameFollowsWalk({256, 0, 0, 256, 49152, 79872});

    Effect.FrameCounter = 2.0;
    RenderEffect();
    // Third frame: turned by the angle of the second.
    ExpectFrameFollowsWalk({255, 2, -2, 255, 49638, 79103});
}

// The render cuts each strip's row where it crosses the centre row or
// column and walks the pieces folded; the turn sweeps those crossings over
// every place in a strip and both directions, so frames spread over the
// view's whole cycle (5120 frames) are checked pixel by pixel.
TEST_F(EffectTest, EveryPixelFollowsTheWalkAtAnyAngle)
{
    double largestTurn = 0.0;
    for (int frame = 1; frame < 5120; frame += 331) {
        Effect.FrameCounter = frame - 1;
        RenderEffect();
        const LensWalk walk = StartLensWalk(Effect.ViewAngle);
        largestTurn = std::max(largestTurn, std::fabs(Effect.ViewAngle));
        Effect.FrameCounter = frame;
        RenderEffect();
        SCOPED_TRACE(frame);
        ExpectFrameFollowsWalk(walk);
    }
    EXPECT_GT(largestTurn, 1.2);   // the turn reaches nearly 1.28 radians either way
}

TEST_F(EffectTest, WritesEveryVisiblePixelAndNoMarginPixel)
{
    std::memset(Screen.WorkImage, 0x5A, sizeof Screen.WorkImage);
    RenderEffect();
    std::vector<uint8_t> first(PictureWidth * PictureHeight);
    for (int y = 0; y < PictureHeight; ++y) std::memcpy(first.data() + y * PictureWidth, WorkPixel(0, y), PictureWidth);
    for (int y = -WorkMargin; y < PictureHeight + WorkMargin; ++y) {
        for (int x = -WorkMargin; x < PictureWidth + WorkMargin; ++x) {
            if (x >= 0 && x < PictureWidth && y >= 0 && y < PictureHeight) continue;
            ASSERT_EQ(*WorkPixel(x, y), 0x5A) << x << "," << y;
        }
    }

    // The same frame over different contents gives the same picture.
    ResetEffect();
    BuildLensTable();
    std::memset(Screen.WorkImage, 0xA5, sizeof Screen.WorkImage);
    RenderEffect();
    for (int y = 0; y < PictureHeight; ++y)
        ASSERT_EQ(std::memcmp(first.data() + y * PictureWidth, WorkPixel(0, y), PictureWidth), 0) << "row " << y;
}

}   // namespace
