#include "app/picture_pixels.h"

#include <cstring>

#include "picture/surfaces.h"

void CopyPictureRows(uint8_t* rows, int pitch)
{
    const uint32_t* source = Screen.OutputImage;
    for (int y = 0; y < PictureHeight; ++y) {
        std::memcpy(rows, source, PictureWidth * sizeof(uint32_t));
        rows += pitch;
        source += PictureWidth;
    }
}

void ConvertPictureToRgba(uint32_t* rgba)
{
    // Little-endian: the word's lowest byte is the first in memory.
    const uint32_t* source = Screen.OutputImage;
    for (int i = 0; i < PictureWidth * PictureHeight; ++i) {
        const uint32_t pixel = source[i];
        rgba[i] = 0xFF000000u | (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
    }
}
