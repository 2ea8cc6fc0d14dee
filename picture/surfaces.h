// The drawing surfaces, the palette and the colour conversion.
//
// Frames are drawn at eight bits per pixel into the WorkImage, whose visible
// 640 x 400 window is surrounded by a 64-pixel margin that glyphs may spill
// into without clipping. ConvertFrame turns the visible window into the
// 32-bit OutputImage through the Palette, two pixels at a time through
// PalettePairs.
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
    // Two neighbouring pixels at once: entry second << 8 | first holds
    // Palette[second] << 32 | Palette[first]. A frame's pairs are few (the
    // light comes in flat cells), so the entries in use stay in the caches.
    alignas(64) uint64_t PalettePairs[256 * 256];
};

extern Surfaces Screen;

// The WorkImage byte at picture coordinates (x, y); valid for x in -64..703
// and y in -64..463.
inline uint8_t* WorkPixel(int x, int y)
{
    return Screen.WorkImage + WorkOrigin + y * WorkPitch + x;
}

// Inline: the light map clamps 4096 cells a frame.
inline int32_t ClampByte(int32_t value)
{
    if (value < 0) return 0;
    if (value > 255) return 255;
    return value;
}

// Fills the Palette and from it the PalettePairs.
void BuildPalette();
int ConvertFrame();
