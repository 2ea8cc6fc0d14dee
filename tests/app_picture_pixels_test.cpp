// The OutputImage handed to the front ends' pixel stores.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/picture_pixels.h"
#include "picture/surfaces.h"

namespace {

void FillPicture()
{
    for (int i = 0; i < PictureWidth * PictureHeight; ++i)
        Screen.OutputImage[i] = 0x00123456u + static_cast<uint32_t>(i);
}

// A store with longer rows gets each row at its pitch, and what lies past a
// row's end (a texture's padding) is not written.
TEST(PicturePixels, RowsLandAtThePitchAndThePaddingIsKept)
{
    FillPicture();
    constexpr int Pitch = PictureWidth * 4 + 24;
    std::vector<uint8_t> store(static_cast<size_t>(Pitch) * PictureHeight, 0xEE);
    CopyPictureRows(store.data(), Pitch);
    for (int y : {0, 1, PictureHeight - 1}) {
        const uint8_t* row = store.data() + static_cast<size_t>(y) * Pitch;
        EXPECT_EQ(std::memcmp(row, Screen.OutputImage + y * PictureWidth, PictureWidth * 4), 0) << "row " << y;
        for (int i = PictureWidth * 4; i < Pitch; ++i) ASSERT_EQ(row[i], 0xEE) << "row " << y << " byte " << i;
    }
}

TEST(PicturePixels, TheCanvasGetsRedGreenBlueThenOpaque)
{
    FillPicture();
    Screen.OutputImage[7] = 0x00A1B2C3u;
    static uint32_t rgba[PictureWidth * PictureHeight];
    ConvertPictureToRgba(rgba);
    const auto* bytes = reinterpret_cast<const uint8_t*>(rgba + 7);
    EXPECT_EQ(bytes[0], 0xA1);
    EXPECT_EQ(bytes[1], 0xB2);
    EXPECT_EQ(bytes[2], 0xC3);
    EXPECT_EQ(bytes[3], 0xFF);
    const uint32_t last = Screen.OutputImage[PictureWidth * PictureHeight - 1];
    EXPECT_EQ(rgba[PictureWidth * PictureHeight - 1], 0xFF000000u | (last & 0xFF) << 16 | (last & 0xFF00) | last >> 16);
}

}   // namespace
