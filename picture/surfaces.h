// The drawing surfaces, the palette and the colour conversion.
//
// Frames are drawn at eight bits per pixel into the WorkImage, whose visible
// 640 x 400 window is surrounded by a 64-pixel margin that glyphs may spill
// into without clipping. ConvertFrame turns the visible window into the
// 32-bit OutputImage through the Palette.
#pragma once

#include <cstdint>

constexpr int PictureWidth = 640;
constexpr int PictureHeight = 400;
constexpr int WorkMargin = 64;
constexpr int WorkPitch = WorkMargin + PictureWidth + WorkMargin;   // 768
constexpr int WorkRows = WorkMargin + PictureHeight + WorkMargin;   // 528
constexpr int WorkOrigin = WorkMargin * WorkPitch + WorkMargin;     // picture (0, 0)

struct Surfaces {
    alignas(64) uint8_t WorkImage[WorkPitch * WorkRows];
    alignas(64) uint32_t OutputImage[PictureWidth * PictureHeight];   // 0x00RRGGBB, top row first
    alignas(64) uint32_t Palette[256];                                // 0x00RRGGBB
};

extern Surfaces Screen;

// The WorkImage byte at picture coordinates (x, y); valid for x in -64..703
// and y in -64..463.
inline uint8_t* WorkPixel(int x, int y)
{
    return Screen.WorkImage + WorkOrigin + y * WorkPitch + x;
}

int32_t ClampByte(int32_t value);
void BuildPalette();
int ConvertFrame();
