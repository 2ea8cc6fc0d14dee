// Frames as PNG files: 8-bit RGB through stb_image_write, whose integer-only
// deflate makes the same bytes on every platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The pixels as R, G, B bytes, 3 * count of them.
std::vector<uint8_t> PixelsToRgb(const uint32_t* pixels, size_t count);

// The PNG file of a width x height image of 0x00RRGGBB pixels, top row
// first, rows `width` pixels apart.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, uint32_t width, uint32_t height);
