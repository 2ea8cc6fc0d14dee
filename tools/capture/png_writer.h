// A minimal PNG writer: 8-bit RGB, no interlace, each row filtered the way
// that looks cheapest to compress, one zlib stream in one IDAT chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The CRC-32 of PNG chunks (and zip, and zlib's crc32): continues `crc`
// (0 for a new one) over `size` bytes.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The PNG file of a width x height image of 0x00RRGGBB pixels, top row
// first, rows `width` pixels apart.
std::vector<uint8_t> EncodePng(const uint32_t* pixels, uint32_t width, uint32_t height);
